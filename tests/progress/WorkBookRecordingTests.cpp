#include "model/CError.h"
#include "tests/workbook/RawDatabase.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"
#include "workbook/WorkBookProgress.h"

#include <gtest/gtest.h>

namespace {

// The whole number a query gives.
int64_t Number(const std::string& file, const char* sql) {
    return std::stoll(RawDatabase(file).value(sql));
}

void Exec(const std::string& file, const char* sql) {
    RawDatabase(file).exec(sql);
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
        TempFolder folder;
        const std::string file = folder.file("book.brl");
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
        TempFolder folder;
        const std::string file = folder.file("book.brl");
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
