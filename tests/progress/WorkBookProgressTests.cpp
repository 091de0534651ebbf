// Results recorded on a workbook: the counters, the history and the schedule written together,
// by one process or two at once, and read back whatever the file holds; the statistics SQLite
// aggregates from them, and the review order of a training batch.
#include "ProgressWorkbook.h"
#include "model/CError.h"
#include "tests/model/Checks.h"
#include "tests/workbook/KilledChild.h"
#include "workbook/GameAnnotations.h"
#include "workbook/ReviewDay.h"
#include "workbook/ReviewSchedule.h"
#include "workbook/SqlTransaction.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace {

const int64_t kDay = 20000; // Friday 2024-10-04

std::vector<TrainingAttempt> History(const WorkBookProgress& progress, int64_t since = INT64_MIN) {
    std::vector<TrainingAttempt> rows;
    progress.ForEachAttempt(since, [&](const TrainingAttempt& row) { rows.push_back(row); });
    return rows;
}

// Once seen, the tables are taken as there and their statements kept, until the schema changes:
// another program dropping or remaking them.
TEST(WorkBookProgress, ResultsFollowTablesChangedAfterTheyWereSeen) {
    // Both tables dropped; the history remade with its columns in another order.
    const char* const changes[] = {
        "drop table TrainingHistory; drop table TrainingSchedule",
        "drop table TrainingHistory; create table TrainingHistory (Seconds, SolutionShown, "
        "WrongMoves, Solved, AttemptedAt, GameTreeID, ID INTEGER PRIMARY KEY)"};
    for (const char* change : changes) {
        SCOPED_TRACE(change);
        ProgressWorkbook file(1);
        CWorkBook workbook;
        workbook.strOpenWorkBook(file.file());
        // The first result makes the tables, the second finds them.
        workbook.RecordAttempt(Attempt(1, At(kDay), true));
        workbook.RecordAttempt(Attempt(1, At(kDay), true));
        file.exec(change);
        workbook.RecordAttempt(Attempt(1, At(kDay + 1), false));
        EXPECT_EQ(file.number("select count(*) from TrainingHistory where Solved = 0 and "
                              "GameTreeID = 1 and Seconds = 42"),
                  1);
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
        {"a negative count of wrong moves", true, -2, false, ReviewRating::Good},
        {"failure", false, 1, false, ReviewRating::Again},
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
        {kDay, 20, 99, {5, 6, 7}},              // room for more new games than are left
        {kDay, 4, 99, {}},                      // the day's four new games already introduced
        {kDay + 1, 2, 99, {2, 5, 6}},           // the due game, then new games up to the limit
        {kDay + 3, 20, 99, {2, 3, 1, 5, 6, 7}}, // most overdue first
        {kDay + 3, 20, 4, {2, 3, 1, 5}},        // the batch's size cuts the new games
        {kDay + 3, 20, 2, {2, 3}},              // and the due games
        {kDay + 100, -5, 99, {2, 3, 1, 4}},     // a limit below zero allows no new game
        {kDay - 10, 1, 99, {5}},                // before the first reviews, none introduced
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
    EXPECT_EQ(History(progress).size(), 2U);
    EXPECT_EQ(GameIds(progress.arrDueGames(kDay + 1, 20)), (std::vector<int64_t>{3}));
    workbook.ClearLog(false);
    EXPECT_EQ(History(progress).size(), 2U);
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
    // A result on a game whose row is unusable starts it afresh, as one of the day's new games.
    progress.lngRecordAttempt(Attempt(5, At(kDay), true));
    EXPECT_EQ(GameIds(progress.arrDueGames(kDay, 1)), std::vector<int64_t>{6});
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
    for (int i = 0; i < count; ++i)
        refused += ErrorOf([&] {
                       book.RecordAttempt(
                           {0, (i % 10) + 1, std::time(nullptr), i % 3 != 0, i % 3, false, 4});
                   }) != "no error";
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
    EXPECT_EQ(ExitCode(child), 0);
    RawDatabase shared(path);
    EXPECT_EQ(shared.value("select count(*) from TrainingHistory"), std::to_string(2 * kEach));
    EXPECT_EQ(shared.value("select sum(Hits) from GameTree"), std::to_string(2 * kEach));
    EXPECT_EQ(shared.value("pragma integrity_check"), "ok");
}

// A history row written straight into the table (the tables are made first).
void Row(const ProgressWorkbook& file, int64_t game, const std::string& when, bool solved) {
    WorkBookProgress(file.connection()).EnsureTables();
    file.exec("insert into TrainingHistory (GameTreeID, AttemptedAt, Solved, WrongMoves, "
              "SolutionShown, Seconds) values (" +
              std::to_string(game) + ", " + when + ", " + (solved ? "1" : "0") + ", 0, 0, 5)");
}

std::vector<int64_t> Counts(const std::vector<PeriodFigures>& periods,
                            int64_t PeriodFigures::*count = &PeriodFigures::lngAttempts) {
    std::vector<int64_t> counts;
    for (const PeriodFigures& period : periods)
        counts.push_back(period.*count);
    return counts;
}

TEST(WorkBookStatistics, ZerosWithoutHistoryThenOneAttemptIsTodayTheStreakAndTheRun) {
    ProgressWorkbook file(3);
    const TrainingStatistics zeros = WorkBookStatistics(file.connection()).objRead(kDay);
    EXPECT_EQ(zeros.objSummary.lngTodayAttempts + zeros.objSummary.lngStreakDays +
                  zeros.objSummary.lngSuccessRun,
              0);
    ASSERT_EQ(Counts(zeros.arrByDay), std::vector<int64_t>(30, 0));
    EXPECT_EQ(zeros.arrByDay.back().lngFirstDay, kDay);
    EXPECT_EQ(Counts(zeros.arrByWeek), std::vector<int64_t>(26, 0));
    WorkBookProgress(file.connection()).lngRecordAttempt(Attempt(2, At(kDay, 9), true));
    file.exec("update GameTree set Hits = 1, Solve = 1, XRefPage = '7' where ID = 2");
    const TrainingStatistics figures = WorkBookStatistics(file.connection()).objRead(kDay);
    const TrainingSummary& summary = figures.objSummary;
    EXPECT_EQ(std::vector<int64_t>({summary.lngTodayAttempts, summary.lngTodaySolved,
                                    summary.lngStreakDays, summary.lngSuccessRun}),
              std::vector<int64_t>(4, 1));
    EXPECT_EQ(figures.arrByDay.back().lngAttempts, 1);
    EXPECT_EQ(figures.arrByWeek.back().lngSolved, 1);
    ASSERT_EQ(figures.arrByPage.size(), 1U);
    EXPECT_EQ(figures.arrByPage[0].strName, "7");
    EXPECT_EQ(GameIds(figures.arrLongestUnseen), std::vector<int64_t>{2});
}

// Future dates, values that are no times and a clock set back between two results never reach a
// chart or break the streak. An attempt at a game deleted by another program still counts for
// its day (Brisolt deletes a game's rows with it), but it neither makes nor breaks a run or a
// streak.
TEST(WorkBookStatistics, PeriodsStreakAndRunFromAnUntidyHistory) {
    ProgressWorkbook file(3);
    Row(file, 1, std::to_string(At(kDay - 4, 12)), true);
    Row(file, 1, std::to_string(At(kDay - 2, 10)), true);
    Row(file, 2, std::to_string(At(kDay - 2, 11)), false);
    Row(file, 1, std::to_string(At(kDay - 1, 23)), true);
    Row(file, 99, std::to_string(At(kDay - 3, 0)), false); // a game that is gone, at midnight
    Row(file, 3, std::to_string(At(kDay + 3, 12)), false); // a clock in the future
    Row(file, 3, "'yesterday'", false);                    // not a time at all
    Row(file, 2, std::to_string(At(kDay, 8)), false);
    Row(file, 3, std::to_string(At(kDay, 9)), true);
    Row(file, 1, std::to_string(At(kDay, 7)), true); // recorded last, clock set back an hour
    WorkBookStatistics statistics(file.connection());

    const auto days = statistics.arrByDay(kDay, 5);
    EXPECT_EQ(Counts(days), (std::vector<int64_t>{1, 1, 2, 1, 3}));
    EXPECT_EQ(Counts(days, &PeriodFigures::lngSolved), (std::vector<int64_t>{1, 0, 1, 1, 2}));
    const TrainingSummary summary = statistics.objSummary(kDay);
    EXPECT_EQ(summary.lngStreakDays, 3);
    EXPECT_EQ(summary.lngTodayAttempts, 3);
    // In recording order: failure (today 8h), success, success; the text row is a failure.
    EXPECT_EQ(summary.lngSuccessRun, 2);
    // Before today's first attempt the streak runs to yesterday; a gap ends it.
    EXPECT_EQ(statistics.objSummary(kDay + 1).lngStreakDays, 3);
    EXPECT_EQ(statistics.objSummary(kDay + 2).lngStreakDays, 0);
    EXPECT_EQ(statistics.objSummary(kDay - 3).lngStreakDays, 1);

    // Weeks run Monday to Sunday: the Friday's week began on the Monday before.
    const auto weeks = statistics.arrByWeek(kDay, 2);
    EXPECT_EQ(weeks[1].lngFirstDay, kDay - 4);
    EXPECT_EQ(Counts(weeks), (std::vector<int64_t>{0, 8}));
}

TEST(WorkBookStatistics, PagesChaptersAndTheListsOfGames) {
    ProgressWorkbook file(6);
    file.exec("drop table if exists GameTag"); // a workbook from before the annotations
    // Game 5's counter is no number and counts as 0; game 6 has more successes than attempts,
    // all solved.
    file.exec("delete from GameTree; insert into GameTree (ID, Description, XRefPage, Hits, Solve) "
              "values (1, 'Sicilian Najdorf trap', '12', 4, 1), (2, 'Sicilian: the Dragon', '12', "
              "2, 2), (3, 'French advance', '30', 3, 3), (4, 'French never tried', '30', 0, 0), "
              "(5, '  Endings rook', ' 30 ', 'x', 2), (6, 'Caro', '9', 5, 9)");
    WorkBookStatistics statistics(file.connection());

    // The weakest first: 3 of 6, then 5 of 5 with more attempts than page 30.
    EXPECT_EQ(Groups(statistics.arrByPage(10)),
              (std::vector<std::string>{"12 2 6 3", "9 1 5 5", "30 1 3 3"}));
    EXPECT_EQ(statistics.arrByPage(1).size(), 1U);
    // "Sicilian:" is the chapter Sicilian.
    EXPECT_EQ(Groups(statistics.arrByChapter(10)),
              (std::vector<std::string>{"Sicilian 2 6 3", "Caro 1 5 5", "French 1 3 3"}));
    // A chapter tag from an import wins over the description's first word.
    file.exec("create table GameTag (GameTreeID INTEGER PRIMARY KEY, Tags TEXT NOT NULL)");
    file.exec("insert into GameTag values (2, '" +
              GameAnnotations::strTagsText({{"Event", "Club"}, {"Chapter", "Open \"Sicilian\""}}) +
              "')");
    EXPECT_EQ(Groups(statistics.arrByChapter(10)),
              (std::vector<std::string>{"Sicilian 1 4 1", "Caro 1 5 5", "French 1 3 3",
                                        "Open \"Sicilian\" 1 2 2"}));

    EXPECT_EQ(GameIds(statistics.arrMostFailed(10)), (std::vector<int64_t>{1}));
    file.exec("update GameTree set Hits = 9, Solve = 5 where ID = 3");
    EXPECT_EQ(GameIds(statistics.arrMostFailed(10)), (std::vector<int64_t>{3, 1}));
    EXPECT_EQ(GameIds(statistics.arrMostFailed(1)), (std::vector<int64_t>{3}));

    // The games not seen for longest skip a deleted game.
    WorkBookProgress progress(file.connection());
    for (const auto& [game, day] :
         {std::pair{1, kDay - 1}, {2, kDay - 9}, {3, kDay - 4}, {4, kDay - 20}})
        progress.lngRecordAttempt(Attempt(game, At(day), true));
    file.exec("delete from GameTree where ID = 4");
    const auto games = statistics.arrLongestUnseen(10);
    EXPECT_EQ(GameIds(games), (std::vector<int64_t>{2, 3, 1}));
    EXPECT_EQ(games[0].lngLastDay, kDay - 9);
}

TEST(WorkBookStatistics, CsvQuotesTextsAndDefusesFormulas) {
    TrainingStatistics figures;
    figures.arrMostFailed = {{7, "=HYPERLINK(\"x\")", "p, 3", 2, 1, -1},
                             {8, "Line\nbreak", "\t=1+2", 1, 0, -1}};
    const std::string csv = figures.strCsv();
    EXPECT_TRUE(Contains(csv, "failed_most,7,\"'=HYPERLINK(\"\"x\"\")\",\"p, 3\",2,1,\n"));
    EXPECT_TRUE(Contains(csv, "failed_most,8,\"Line\nbreak\",'\t=1+2,1,0,\n"));
}

// Spaced repetition: games due first (most overdue first), then new games up to the day's
// limit, then the classic order fills the batch; reading the order changes no counter.
TEST(WorkBookStatistics, ReviewBatchKeepsItsShape) {
    ProgressWorkbook file(14);
    file.exec("update GameTree set Hits = 2, Solve = 0, ErrorStreak = 2 where ID = 14");
    CWorkBook book;
    book.strOpenWorkBook(file.file());
    const char* const counters = "select sum(Hits) * 1000 + sum(Solve) from GameTree";
    const int64_t before = file.number(counters);
    // Nothing reviewed yet: three new games by identifier, then the worst first.
    EXPECT_EQ(book.arrlngGetGameIDsForReview(10, 3, kDay),
              (std::vector<int32_t>{1, 2, 3, 14, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(file.number(counters), before);

    // Failures a week ago are due again: the older one comes first, before any new game.
    book.RecordAttempt(Attempt(9, At(kDay - 7), false, 3));
    book.RecordAttempt(Attempt(5, At(kDay - 8), false, 1, true));
    EXPECT_EQ(book.arrlngGetGameIDsForReview(10, 3, kDay),
              (std::vector<int32_t>{5, 9, 1, 2, 3, 14, 4, 6, 7, 8}));
    EXPECT_EQ(book.arrlngGetGameIDsForReview(3, 3, kDay), (std::vector<int32_t>{5, 9, 1}));
    EXPECT_EQ(book.arrlngGetGameIDsForReview(20000, 0, kDay).size(), 14U); // beyond 16 bits
    // A game solved before is due again but last in the classic order: the batch stops at 4.
    book.RecordAttempt(Attempt(7, At(kDay - 10), true));
    file.exec("update GameTree set ErrorStreak = 0 where ErrorStreak is null");
    EXPECT_EQ(book.arrlngGetGameIDsForReview(4, 0, kDay), (std::vector<int32_t>{5, 7, 9, 14}));
}

} // namespace
