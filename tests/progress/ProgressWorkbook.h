#pragma once

// A real workbook file in a temporary folder with a raw connection to it, for the tests of the
// progress tables.
#include "workbook/CWorkBook.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>
#include <unistd.h>

class ProgressWorkbook {
public:
    // Creates an empty workbook with the three workbook tables only, holding games 1 to games.
    explicit ProgressWorkbook(int games) {
        char pattern[] = "/tmp/brisolt-progress-XXXXXX";
        m_folder = mkdtemp(pattern);
        m_file = m_folder + "/progress.wbk";
        {
            CWorkBook workbook;
            workbook.CreateEmptyWorkbook(m_file);
            workbook.CloseWorkBook();
        }
        EXPECT_EQ(sqlite3_open_v2(m_file.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        // A workbook as written before the progress tables existed.
        exec("drop table if exists TrainingHistory; drop table if exists TrainingSchedule");
        for (int id = 1; id <= games; ++id)
            exec("insert into GameTree (ID, Description, Hits, Solve) values (" +
                 std::to_string(id) + ", 'game', 0, 0)");
    }
    ~ProgressWorkbook() {
        sqlite3_close(m_db);
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    ProgressWorkbook(const ProgressWorkbook&) = delete;
    ProgressWorkbook& operator=(const ProgressWorkbook&) = delete;

    sqlite3* db() const { return m_db; }
    const std::string& file() const { return m_file; }

    // Runs SQL of the test's own; a failure fails the test.
    void exec(const std::string& sql) const {
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
            << sql << ": " << (message != nullptr ? message : "");
        sqlite3_free(message);
    }

    // The first column of the first row of a query, as a whole number (-1 without rows).
    int64_t number(const std::string& sql) const {
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
        int64_t value = -1;
        if (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW)
            value = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        return value;
    }

private:
    std::string m_folder;
    std::string m_file;
    sqlite3* m_db = nullptr;
};
