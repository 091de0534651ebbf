#pragma once

// A real workbook file in a temporary folder with a raw connection to it, for the tests of the
// progress tables.
#include "tests/workbook/RawDatabase.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"

#include <gtest/gtest.h>
#include <string>

class ProgressWorkbook {
public:
    // Creates an empty workbook with the three workbook tables only, holding games 1 to games.
    explicit ProgressWorkbook(int games) {
        // A workbook as written before the progress tables existed.
        exec("drop table if exists TrainingHistory; drop table if exists TrainingSchedule");
        for (int id = 1; id <= games; ++id)
            exec("insert into GameTree (ID, Description, Hits, Solve) values (" +
                 std::to_string(id) + ", 'game', 0, 0)");
    }

    sqlite3* db() const { return m_raw.handle(); }
    const std::string& file() const { return m_file; }

    // Runs SQL of the test's own; a failure fails the test.
    void exec(const std::string& sql) const { EXPECT_NO_THROW(m_raw.exec(sql)) << sql; }

    // The first column of the first row of a query, as a whole number (-1 without rows).
    int64_t number(const std::string& sql) const {
        const auto rows = m_raw.rows(sql);
        return rows.empty() ? -1 : std::stoll(rows[0][0] == "NULL" ? "0" : rows[0][0]);
    }

private:
    static std::string Created(const std::string& file) {
        CWorkBook().CreateEmptyWorkbook(file);
        return file;
    }

    TempFolder m_folder;
    std::string m_file = m_folder.file("progress.wbk");
    mutable RawDatabase m_raw{Created(m_file)};
};
