#include "model/CError.h"
#include "workbook/CWorkBook.h"
#include "workbook/WorkBookProgress.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>
#include <unistd.h>

namespace {

struct Folder {
    Folder() {
        char pattern[] = "/tmp/brisolt-recording-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

int64_t Number(const std::string& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    int64_t value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
}

void Exec(const std::string& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

TEST(WorkBookRecording, ResultsHistoryAndScheduleAreWrittenTogetherOrNotAtAll) {
    const struct {
        const char* name;
        const char* setup; // run on the file before the result
        bool kept;
    } cases[] = {
        {"new workbook", "select 1", true},
        {"older workbook without the tables",
         "drop table TrainingHistory; drop table TrainingSchedule", true},
        {"history row refused",
         "drop table TrainingHistory; create table TrainingHistory (ID INTEGER PRIMARY KEY, "
         "GameTreeID, AttemptedAt, Solved, WrongMoves, SolutionShown, Seconds check (Seconds < 0))",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Folder folder;
        const std::string file = folder.path + "/book.brl";
        {
            CWorkBook workbook;
            workbook.CreateEmptyWorkbook(file);
        }
        Exec(file, "insert into GameTree (ID, Hits, Solve) values (1, 0, 0)");
        Exec(file, c.setup);
        CWorkBook workbook;
        workbook.strOpenWorkBook(file);
        TrainingAttempt attempt;
        attempt.lngGameId = 1;
        attempt.lngAttemptedAt = 1700000000;
        attempt.isSolved = true;
        attempt.lngSeconds = 12;
        if (c.kept) {
            workbook.RecordAttempt(attempt);
        } else {
            EXPECT_THROW(workbook.RecordAttempt(attempt), CError);
        }
        workbook.CloseWorkBook();
        EXPECT_EQ(Number(file, "select Hits from GameTree where ID = 1"), c.kept ? 1 : 0);
        EXPECT_EQ(Number(file, "select count(*) from TrainingHistory"), c.kept ? 1 : 0);
        EXPECT_EQ(Number(file, "select count(*) from TrainingSchedule"), c.kept ? 1 : 0);
    }
}

TEST(WorkBookRecording, DeletingAGameRemovesItsRowsAndClearLogAsksForTheHistory) {
    for (const bool clearHistory : {false, true}) {
        Folder folder;
        const std::string file = folder.path + "/book.brl";
        CWorkBook workbook;
        workbook.CreateEmptyWorkbook(file);
        workbook.CloseWorkBook();
        Exec(file, "insert into GameTree (ID, Hits, Solve) values (1, 0, 0), (2, 0, 0)");
        workbook.strOpenWorkBook(file);
        workbook.UpdateSuccess(1);
        workbook.UpdateError(2);
        workbook.DeleteGame(2);
        workbook.ClearLog(clearHistory);
        workbook.CloseWorkBook();
        EXPECT_EQ(Number(file, "select count(*) from TrainingHistory where GameTreeID = 2"), 0);
        EXPECT_EQ(Number(file, "select count(*) from TrainingSchedule where GameTreeID = 2"), 0);
        EXPECT_EQ(Number(file, "select count(*) from TrainingHistory"), clearHistory ? 0 : 1);
        EXPECT_EQ(Number(file, "select sum(Hits) from GameTree"), 0);
    }
}

} // namespace
