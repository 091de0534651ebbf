#pragma once

// A real workbook file in a temporary folder with a raw connection to it and the program's own,
// for the tests of the progress tables, and the results the tests record on it.
#include "tests/workbook/RawDatabase.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"
#include "workbook/SqlConnection.h"
#include "workbook/WorkBookProgress.h"
#include "workbook/WorkBookStatistics.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

class ProgressWorkbook {
public:
    // Creates an empty workbook with the three workbook tables only, holding games 1 to games.
    // Days are local days: the zone is fixed so that a moment's day is known.
    explicit ProgressWorkbook(int games) {
        setenv("TZ", "UTC", 1);
        tzset();
        // A workbook as written before the progress tables existed.
        exec("drop table if exists TrainingHistory; drop table if exists TrainingSchedule");
        for (int id = 1; id <= games; ++id)
            exec("insert into GameTree (ID, Description, Hits, Solve) values (" +
                 std::to_string(id) + ", 'game', 0, 0)");
    }

    SqlConnection& connection() const { return m_connection; }
    const std::string& file() const { return m_file; }
    std::string folder() const { return m_folder.path().string(); }

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
    mutable SqlConnection m_connection{m_file};
};

// The moment of the hour of a day (days counted from 1970-01-01).
inline int64_t At(int64_t day, int hour = 12) {
    return day * 86400 + hour * 3600;
}

// A result on the game at the moment, taking 42 seconds.
inline TrainingAttempt Attempt(int64_t game, int64_t moment, bool solved, int32_t wrong = 0,
                               bool shown = false) {
    return {0, game, moment, solved, wrong, shown, 42};
}

// What a review decides, without the counters of reviews and lapses.
inline std::tuple<double, double, int64_t, int64_t, int32_t> Outcome(const ReviewState& state) {
    return {state.dblStability, state.dblDifficulty, state.lngLastReviewDay, state.lngDueDay,
            state.lngIntervalDays};
}

// The games of a list of due games or of game figures, in its order.
template <typename Rows> std::vector<int64_t> GameIds(const Rows& rows) {
    std::vector<int64_t> games;
    for (const auto& row : rows)
        games.push_back(row.lngGameId);
    return games;
}

// The groups as "name games attempts solved".
inline std::vector<std::string> Groups(const std::vector<GroupFigures>& groups) {
    std::vector<std::string> listed;
    for (const GroupFigures& g : groups)
        listed.push_back(g.strName + " " + std::to_string(g.lngGames) + " " +
                         std::to_string(g.lngAttempts) + " " + std::to_string(g.lngSolved));
    return listed;
}
