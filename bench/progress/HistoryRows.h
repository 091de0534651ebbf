#pragma once

// Adds a training history to a generated workbook: rows attempts over the last 1,000 days up to
// today (seven in ten solved), and a schedule row for every game with a history, so that the
// statistics and the review order have realistic work to do.
#include "workbook/ReviewDay.h"
#include "workbook/SqlConnection.h"
#include "workbook/WorkBookProgress.h"

#include <cstdint>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace bench {

inline void AddHistory(const std::string& path, int64_t rows) {
    {
        SqlConnection connection(path);
        WorkBookProgress(connection).EnsureTables();
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot open " + path);
    const auto exec = [db](const std::string& sql) {
        char* message = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            const std::string text = message != nullptr ? message : "error";
            sqlite3_free(message);
            sqlite3_close(db);
            throw std::runtime_error(text);
        }
    };
    exec("pragma journal_mode=off; pragma synchronous=off");
    const int64_t end = ReviewDay::lngLocalStartOf(ReviewDay::lngToday() + 1);
    const int64_t span = 1000 * 86400;
    exec("begin");
    exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
         std::to_string(rows) +
         ") insert into TrainingHistory (GameTreeID, AttemptedAt, Solved, WrongMoves, "
         "SolutionShown, Seconds) select 1 + abs(random()) % (select max(ID) from GameTree), " +
         std::to_string(end - span) + " + i * " + std::to_string(span) + " / " +
         std::to_string(rows + 1) +
         ", abs(random()) % 10 < 7, abs(random()) % 3, 0, abs(random()) % 90 from n");
    const int64_t today = ReviewDay::lngToday();
    exec("replace into TrainingSchedule select GameTreeID, 1.0 + abs(random() % 300), 1.0 + "
         "abs(random() % 9), " +
         std::to_string(today) + " - abs(random() % 400), " + std::to_string(today) +
         " - 60 + abs(random() % 120), 30, 1 + abs(random() % 10), abs(random() % 3), " +
         std::to_string(today) +
         " - 400 - abs(random() % 300) from (select distinct GameTreeID from TrainingHistory)");
    exec("commit");
    exec("analyze");
    sqlite3_close(db);
}

} // namespace bench
