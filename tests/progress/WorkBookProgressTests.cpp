// Results recorded on a workbook: the counters, the history and the review schedule written
// together, by one process or two at once, and read back whatever the file holds.
#include "ProgressWorkbook.h"
#include "model/CError.h"
#include "workbook/ReviewDay.h"
#include "workbook/SqlTransaction.h"

#include <sys/wait.h>
#include <unistd.h>

namespace {

const int64_t kDay = 20000;

std::vector<TrainingAttempt> History(const WorkBookProgress& progress, int64_t since = INT64_MIN) {
    std::vector<TrainingAttempt> rows;
    progress.ForEachAttempt(since, [&](const TrainingAttempt& row) { rows.push_back(row); });
    return rows;
}

// The counters, the history row and the schedule are written together or not at all, whether the
// tables are there before or made by the result.
TEST(WorkBookProgress, AResultIsRecordedWithItsCountersOrNotAtAll) {
    const std::tuple<const char*, bool> cases[] = {
        {"select 1", true},
        {"create table TrainingHistory (ID INTEGER PRIMARY KEY, GameTreeID, AttemptedAt, Solved, "
         "WrongMoves, SolutionShown, Seconds check (Seconds < 0)); create table TrainingSchedule "
         "(GameTreeID INTEGER PRIMARY KEY, Stability, Difficulty, LastReviewDay, DueDay, "
         "IntervalDays, Reviews, Lapses, FirstReviewDay)",
         false},
    };
    for (const auto& [setup, kept] : cases) {
        SCOPED_TRACE(setup);
        ProgressWorkbook file(2);
        file.exec(setup);
        CWorkBook workbook;
        workbook.strOpenWorkBook(file.file());
        if (kept)
            workbook.RecordAttempt(Attempt(1, At(kDay), true));
        else
            EXPECT_THROW(workbook.RecordAttempt(Attempt(1, At(kDay), true)), CError);
        EXPECT_EQ(file.number("select Hits from GameTree where ID = 1"), kept);
        EXPECT_EQ(file.number("select count(*) from TrainingHistory"), kept);
        EXPECT_EQ(file.number("select count(*) from TrainingSchedule"), kept);
        WorkBookProgress progress(file.connection());
        EXPECT_TRUE(progress.hasTables());
        EXPECT_EQ(progress.objScheduleOf(1).has_value(), kept);
        EXPECT_FALSE(progress.objScheduleOf(2).has_value());
    }
}

// Once seen, the tables are taken as there and their statements kept, until the schema changes:
// another program dropping or remaking them, or the rollback of the work that made them.
TEST(WorkBookProgress, ResultsFollowTablesChangedAfterTheyWereSeen) {
    const std::tuple<const char*, const char*, int64_t> cases[] = {
        {"drop both tables", "drop table TrainingHistory; drop table TrainingSchedule", 1},
        {"remade with the columns in another order",
         "drop table TrainingHistory; create table TrainingHistory (Seconds, SolutionShown, "
         "WrongMoves, Solved, AttemptedAt, GameTreeID, ID INTEGER PRIMARY KEY)",
         1},
        {"rolled back with the batch that made them", "", 1},
        {"a view in the history's place",
         "drop table TrainingHistory; create view TrainingHistory as select 1", -1},
    };
    for (const auto& [name, change, history] : cases) {
        SCOPED_TRACE(name);
        ProgressWorkbook file(1);
        CWorkBook workbook;
        workbook.strOpenWorkBook(file.file());
        if (*change == '\0') workbook.BeginBatch();
        // The first result makes the tables, the second finds them.
        workbook.RecordAttempt(Attempt(1, At(kDay), true));
        workbook.RecordAttempt(Attempt(1, At(kDay), true));
        if (*change == '\0') workbook.RollbackBatch();
        file.exec(change);
        if (history < 0) {
            EXPECT_THROW(workbook.RecordAttempt(Attempt(1, At(kDay + 1), false)), CError);
            EXPECT_EQ(file.number("select Hits from GameTree where ID = 1"), 2);
            continue;
        }
        workbook.RecordAttempt(Attempt(1, At(kDay + 1), false));
        EXPECT_EQ(file.number("select count(*) from TrainingHistory where Solved = 0 and "
                              "GameTreeID = 1 and Seconds = 42"),
                  history);
        EXPECT_EQ(workbook.objProgress().objScheduleOf(1)->lngLastReviewDay, kDay + 1);
    }
}

// Tables made by work that was rolled back are gone even when another program's changes have
// since brought the schema's version back to the one at which they were seen.
TEST(WorkBookProgress, TablesOfRolledBackWorkAreLookedForAgain) {
    ProgressWorkbook file(1);
    SqlConnection& connection = file.connection();
    WorkBookProgress progress(connection);
    int64_t seenAt = 0;
    {
        SqlTransaction work(connection);
        progress.lngRecordAttempt(Attempt(1, At(kDay), true));
        progress.lngRecordAttempt(Attempt(1, At(kDay), true));
        seenAt = connection.objSchemaState().first;
    }
    for (int table = 0; file.number("pragma schema_version") < seenAt; ++table)
        file.exec("create table Other" + std::to_string(table) + " (x)");
    ASSERT_EQ(file.number("pragma schema_version"), seenAt);
    progress.lngRecordAttempt(Attempt(1, At(kDay + 1), false));
    EXPECT_EQ(file.number("select count(*) from TrainingHistory"), 1);
}

// Guards nest to any depth, each ending its own work only.
TEST(SqlTransaction, NestedGuardsEachEndTheirOwnWork) {
    for (const bool kept : {true, false}) {
        ProgressWorkbook file(0);
        SqlConnection& connection = file.connection();
        SqlTransaction outer(connection);
        {
            SqlTransaction middle(connection);
            connection.exec("insert into GameTree (ID) values (1)");
            SqlTransaction(connection).Commit();
            {
                SqlTransaction dropped(connection);
                connection.exec("insert into GameTree (ID) values (2)");
            }
            if (kept) middle.Commit();
        }
        outer.Commit();
        EXPECT_EQ(file.number("select total(ID) from GameTree"), kept ? 1 : 0) << kept;
    }
}

TEST(WorkBookProgress, EachResultMovesTheScheduleByItsGrade) {
    const std::tuple<const char*, bool, int32_t, bool, ReviewRating> cases[] = {
        {"clean success", true, 0, false, ReviewRating::Good},
        {"success after wrong moves", true, 2, false, ReviewRating::Hard},
        {"success after many wrong moves", true, 7, false, ReviewRating::Hard},
        {"a negative count of wrong moves", true, -2, false, ReviewRating::Good},
        {"failure", false, 1, false, ReviewRating::Again},
        {"solution shown", false, 0, true, ReviewRating::Again},
        {"solution shown, then played", true, 0, true, ReviewRating::Again},
    };
    const ReviewSchedule schedule;
    for (const auto& [name, solved, wrong, shown, grade] : cases) {
        SCOPED_TRACE(name);
        ProgressWorkbook file(1);
        WorkBookProgress progress(file.connection());
        progress.lngRecordAttempt(Attempt(1, At(kDay), true));
        const ReviewState first = *progress.objScheduleOf(1);
        progress.lngRecordAttempt(Attempt(1, At(first.lngDueDay), solved, wrong, shown));
        const ReviewState expected = schedule.objReview(first, grade, first.lngDueDay);
        const ReviewState stored = *progress.objScheduleOf(1);
        EXPECT_EQ(Outcome(stored), Outcome(expected));
        EXPECT_EQ(std::pair(stored.lngReviews, stored.lngLapses), std::pair(2, expected.lngLapses));
    }
}

TEST(WorkBookProgress, DueGamesComeMostOverdueFirstThenNewGamesWithinTheDailyLimit) {
    ProgressWorkbook file(7);
    WorkBookProgress progress(file.connection());
    // First reviews on kDay: "good" is due 3 days later, "again" 1, "hard" 2, "easy" 16.
    for (const auto& [game, solved, wrong] :
         {std::tuple{1, true, 0}, {2, false, 0}, {3, true, 1}, {4, true, 0}, {4, true, 0}})
        progress.lngRecordAttempt(Attempt(game, At(kDay), solved, wrong));
    const std::tuple<int64_t, int32_t, int64_t, std::vector<int64_t>> cases[] = {
        {kDay, 20, 99, {5, 6, 7}},
        {kDay, 4, 99, {}},
        {kDay, 5, 99, {5}},
        {kDay + 1, 2, 99, {2, 5, 6}},
        {kDay + 3, 20, 99, {2, 3, 1, 5, 6, 7}},
        {kDay + 3, 0, 99, {2, 3, 1}},
        {kDay + 3, 20, 4, {2, 3, 1, 5}},
        {kDay + 3, 20, 2, {2, 3}},
        {kDay + 3, 20, 0, {}},
        {kDay + 100, -5, 99, {2, 3, 1, 4}},
        {kDay - 10, 1, 99, {5}},
    };
    for (const auto& [day, limit, most, expected] : cases) {
        SCOPED_TRACE(ReviewDay::strText(day) + " limit " + std::to_string(limit) + " most " +
                     std::to_string(most));
        const auto order = progress.arrDueGames(day, limit, most);
        EXPECT_EQ(GameIds(order), expected);
        for (const DueGame& game : order)
            EXPECT_EQ(game.isNew, game.lngGameId >= 5);
    }
    // A game reviewed again stays new on its first day; one deleted by another program no longer
    // takes a place of that day's new games.
    progress.lngRecordAttempt(Attempt(2, At(kDay + 1), true));
    EXPECT_EQ(GameIds(progress.arrDueGames(kDay + 1, 2, 99)), (std::vector<int64_t>{5, 6}));
    file.exec("delete from GameTree where ID = 4");
    EXPECT_EQ(GameIds(progress.arrDueGames(kDay, 5, 99)), (std::vector<int64_t>{5, 6}));
}

TEST(WorkBookProgress, HistoryComesInTimeOrderFromTheAskedMoment) {
    ProgressWorkbook file(2);
    WorkBookProgress progress(file.connection());
    // The clock went backwards between the second and the third result.
    progress.lngRecordAttempt(Attempt(1, At(kDay + 5), true));
    progress.lngRecordAttempt(Attempt(2, At(kDay + 9), false));
    const int64_t late = progress.lngRecordAttempt(Attempt(1, At(kDay + 2), true, 3));
    EXPECT_EQ(History(progress).front().lngId, late);
    const std::tuple<int64_t, std::vector<int64_t>> cases[] = {
        {INT64_MIN, {kDay + 2, kDay + 5, kDay + 9}},
        {At(kDay + 5), {kDay + 5, kDay + 9}},
        {At(kDay + 5) + 1, {kDay + 9}},
        {At(kDay + 10), {}},
    };
    for (const auto& [since, expected] : cases) {
        std::vector<int64_t> days;
        for (const auto& row : History(progress, since))
            days.push_back(row.lngAttemptedAt / 86400);
        EXPECT_EQ(days, expected) << since;
    }
    // The schedule never moves back to the earlier day.
    EXPECT_EQ(progress.objScheduleOf(1)->lngLastReviewDay, kDay + 5);
}

// Deleting a game takes its rows with it; Clear Log keeps the schedule and drops the history
// only when asked.
TEST(WorkBookProgress, DeletingAGameAndClearingTheLogTakeTheirRows) {
    ProgressWorkbook file(3);
    CWorkBook workbook;
    workbook.strOpenWorkBook(file.file());
    for (int64_t game : {3, 2, 1})
        workbook.RecordAttempt(Attempt(game, At(kDay), true));
    workbook.DeleteGame(3);
    file.exec("insert into GameTree (ID, Description) values (3, 'new game')");
    WorkBookProgress progress(file.connection());
    EXPECT_FALSE(progress.objScheduleOf(3).has_value());
    EXPECT_EQ(History(progress).size(), 2U);
    EXPECT_EQ(GameIds(progress.arrDueGames(kDay + 1, 20)), (std::vector<int64_t>{3}));
    workbook.ClearLog(false);
    EXPECT_EQ(History(progress).size(), 2U);
    EXPECT_EQ(file.number("select sum(Hits) from GameTree"), 0);
    workbook.ClearLog(true);
    EXPECT_TRUE(History(progress).empty());
    EXPECT_TRUE(progress.objScheduleOf(1).has_value());
}

// Rows written by anyone: values of the wrong kind, games that are gone, states out of range.
TEST(WorkBookProgress, HostileRowsNeitherCrashNorCountAsDue) {
    ProgressWorkbook file(6);
    WorkBookProgress progress(file.connection());
    // The file's own tables, without the types and constraints of the program's.
    file.exec("create table TrainingHistory (ID INTEGER PRIMARY KEY, GameTreeID, AttemptedAt, "
              "Solved, WrongMoves, SolutionShown, Seconds); create table TrainingSchedule "
              "(GameTreeID INTEGER PRIMARY KEY, Stability, Difficulty, LastReviewDay, DueDay, "
              "IntervalDays, Reviews, Lapses, FirstReviewDay)");
    file.exec("insert into TrainingSchedule values (1, 'x', 5, 0, 19000, 3, 2, 0, 19000), "
              "(2, 3.0, 5, 0, 'soon', 3, 2, 0, 19000), (3, -3.0, 5, 0, 19000, 3, 2, 0, 19000), "
              "(4, 3.0, 5, 0, 19000, 3, -7, 0, 19000), (5, 9e999, 5, 0, 19000, 3, 2, 0, 19000), "
              "(6, 3.0, 5, 0, 19000, 3, 2, 0, 19000), (99, 3.0, 5, 0, 0, 3, 2, 0, 19000)");
    file.exec("insert into TrainingHistory values (1, 99, 100, 1, 0, 0, 5), "
              "(2, 1, 200, 'yes', x'00ff', NULL, -40)");
    EXPECT_EQ(GameIds(progress.arrDueGames(kDay, 20)), (std::vector<int64_t>{6, 1, 2, 3, 4, 5}));
    const auto read = History(progress);
    ASSERT_EQ(read.size(), 1U);
    EXPECT_EQ(std::tuple(read[0].lngGameId, read[0].isSolved, read[0].lngWrongMoves,
                         read[0].isSolutionShown, read[0].lngSeconds),
              std::tuple(1, false, 0, false, 0));
    // A result on a game whose row is unusable starts it afresh.
    progress.lngRecordAttempt(Attempt(5, At(kDay), true));
    EXPECT_EQ(progress.objScheduleOf(5)->lngReviews, 1);
    EXPECT_EQ(progress.objScheduleOf(5)->lngDueDay, kDay + 3);
}

TEST(WorkBookProgress, ANameTakenByAViewIsRefusedAndTheFileLeftAlone) {
    for (const char* sql :
         {"create view TrainingHistory as select 1", "create view trainingschedule as select 1",
          "create table TrainingHistoryByTime (x)"}) {
        SCOPED_TRACE(sql);
        ProgressWorkbook file(1);
        file.exec(sql);
        WorkBookProgress progress(file.connection());
        const int64_t before = file.number("select count(*) from sqlite_master");
        EXPECT_THROW(progress.lngRecordAttempt(Attempt(1, At(kDay), true)), CError);
        EXPECT_EQ(file.number("select count(*) from sqlite_master"), before);
        EXPECT_FALSE(progress.hasTables());
        EXPECT_TRUE(History(progress).empty());
    }
}

// Two processes recording results on one workbook at the same moment: every result is kept with
// its history row, none is refused, and the file stays whole.
// Records results on games 1 to 10 in turn; returns how many were refused.
int RecordMany(const std::string& file, int count) {
    CWorkBook book;
    book.strOpenWorkBook(file);
    int refused = 0;
    for (int i = 0; i < count; ++i) {
        try {
            book.RecordAttempt({0, (i % 10) + 1, std::time(nullptr), i % 3 != 0, i % 3, false, 4});
        } catch (const std::exception&) {
            ++refused;
        }
    }
    return refused;
}

TEST(WorkBookConcurrencyTest, TwoProcessesRecordingAtOnceKeepEveryResultWithItsRow) {
    constexpr int kEach = 150;
    ProgressWorkbook file(10);
    // Quick commits in memory give the processes more chances to meet inside each other's
    // transactions.
    TempFolder folder(MemoryFolder());
    const std::string path = folder.file("book.brl");
    std::filesystem::copy_file(file.file(), path);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(std::min(RecordMany(path, kEach), 255));
    EXPECT_EQ(RecordMany(path, kEach), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    RawDatabase shared(path);
    EXPECT_EQ(shared.value("select count(*) from TrainingHistory"), std::to_string(2 * kEach));
    EXPECT_EQ(shared.value("select sum(Hits) from GameTree"), std::to_string(2 * kEach));
    EXPECT_EQ(shared.value("pragma integrity_check"), "ok");
}

} // namespace
