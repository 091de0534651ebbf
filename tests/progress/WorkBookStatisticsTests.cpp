// The statistics as SQLite aggregates them from a history and counters the tests write, and the
// review order of a training batch.
#include "ProgressWorkbook.h"
#include "tests/model/Checks.h"
#include "workbook/GameAnnotations.h"
#include "workbook/ReviewDay.h"

#include <set>

namespace {

const int64_t kToday = 20000; // Friday 2024-10-04

// A history row written straight into the table (the tables are made first).
void Row(const ProgressWorkbook& file, int64_t game, const std::string& when, bool solved) {
    WorkBookProgress(file.connection()).EnsureTables();
    file.exec("insert into TrainingHistory (GameTreeID, AttemptedAt, Solved, WrongMoves, "
              "SolutionShown, Seconds) values (" +
              std::to_string(game) + ", " + when + ", " + (solved ? "1" : "0") + ", 0, 0, 5)");
}

std::vector<int64_t> Attempts(const std::vector<PeriodFigures>& periods) {
    std::vector<int64_t> counts;
    for (const PeriodFigures& period : periods)
        counts.push_back(period.lngAttempts);
    return counts;
}

TEST(WorkBookStatistics, ZerosWithoutHistoryThenOneAttemptIsTodayTheStreakAndTheRun) {
    for (int games : {0, 3}) {
        ProgressWorkbook file(games);
        const TrainingStatistics figures = WorkBookStatistics(file.connection()).objRead(kToday);
        EXPECT_EQ(figures.objSummary.lngTodayAttempts + figures.objSummary.lngStreakDays +
                      figures.objSummary.lngSuccessRun,
                  0);
        ASSERT_EQ(figures.arrByDay.size(), 30U);
        EXPECT_EQ(figures.arrByDay.back().lngFirstDay, kToday);
        EXPECT_EQ(Attempts(figures.arrByDay), std::vector<int64_t>(30, 0));
        EXPECT_EQ(Attempts(figures.arrByWeek), std::vector<int64_t>(26, 0));
        EXPECT_TRUE(figures.arrByPage.empty());
        EXPECT_TRUE(figures.arrMostFailed.empty());
        EXPECT_TRUE(figures.arrLongestUnseen.empty());
        EXPECT_NE(figures.strText().find("Today (2024-10-04): 0 attempts"), std::string::npos);
    }
    ProgressWorkbook file(2);
    WorkBookProgress(file.connection()).lngRecordAttempt(Attempt(2, At(kToday, 9), true));
    file.exec("update GameTree set Hits = 1, Solve = 1, XRefPage = '7' where ID = 2");
    const TrainingStatistics figures = WorkBookStatistics(file.connection()).objRead(kToday);
    const TrainingSummary& summary = figures.objSummary;
    EXPECT_EQ(std::vector<int64_t>({summary.lngTodayAttempts, summary.lngTodaySolved,
                                    summary.lngStreakDays, summary.lngSuccessRun}),
              std::vector<int64_t>(4, 1));
    EXPECT_EQ(figures.arrByDay.back().lngAttempts, 1);
    EXPECT_EQ(figures.arrByWeek.back().lngSolved, 1);
    ASSERT_EQ(figures.arrByPage.size(), 1U);
    EXPECT_EQ(figures.arrByPage[0].strName, "7");
    EXPECT_EQ(GameIds(figures.arrLongestUnseen), std::vector<int64_t>{2});
    EXPECT_EQ(figures.arrLongestUnseen[0].lngLastDay, kToday);
    EXPECT_TRUE(figures.arrMostFailed.empty());
}

// Future dates, values that are no times and a clock set back between two results never reach a
// chart or break the streak. An attempt at a game deleted by another program still counts for
// its day (Brisolt deletes a game's rows with it), but it neither makes nor breaks a run or a
// streak.
TEST(WorkBookStatistics, PeriodsStreakAndRunFromAnUntidyHistory) {
    ProgressWorkbook file(3);
    Row(file, 1, std::to_string(At(kToday - 4, 12)), true);
    Row(file, 1, std::to_string(At(kToday - 2, 10)), true);
    Row(file, 2, std::to_string(At(kToday - 2, 11)), false);
    Row(file, 1, std::to_string(At(kToday - 1, 23)), true);
    Row(file, 99, std::to_string(At(kToday - 3, 0)), false); // a game that is gone, at midnight
    Row(file, 3, std::to_string(At(kToday + 3, 12)), false); // a clock in the future
    Row(file, 3, "'yesterday'", false);                      // not a time at all
    Row(file, 2, std::to_string(At(kToday, 8)), false);
    Row(file, 3, std::to_string(At(kToday, 9)), true);
    Row(file, 1, std::to_string(At(kToday, 7)), true); // recorded last, clock set back an hour
    WorkBookStatistics statistics(file.connection());

    const auto days = statistics.arrByDay(kToday, 5);
    EXPECT_EQ(Attempts(days), (std::vector<int64_t>{1, 1, 2, 1, 3}));
    EXPECT_EQ(days[2].lngSolved, 1);
    EXPECT_EQ(days[4].lngSolved, 2);
    const TrainingSummary summary = statistics.objSummary(kToday);
    EXPECT_EQ(summary.lngStreakDays, 3);
    EXPECT_EQ(summary.lngTodayAttempts, 3);
    // In recording order: failure (today 8h), success, success; the text row is a failure.
    EXPECT_EQ(summary.lngSuccessRun, 2);
    // Before today's first attempt the streak runs to yesterday; a gap ends it.
    EXPECT_EQ(statistics.objSummary(kToday + 1).lngStreakDays, 3);
    EXPECT_EQ(statistics.objSummary(kToday + 2).lngStreakDays, 0);
    EXPECT_EQ(statistics.objSummary(kToday - 3).lngStreakDays, 1);

    // Weeks run Monday to Sunday: the Friday's week began on the Monday before.
    const auto weeks = statistics.arrByWeek(kToday, 2);
    EXPECT_EQ(weeks[1].lngFirstDay, kToday - 4);
    EXPECT_EQ(ReviewDay::strText(weeks[1].lngFirstDay), "2024-09-30");
    EXPECT_EQ(Attempts(weeks), (std::vector<int64_t>{0, 8}));
}

TEST(WorkBookStatistics, PagesChaptersAndGamesFromTheCounters) {
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
}

TEST(WorkBookStatistics, LongestUnseenSkipsDeletedGames) {
    ProgressWorkbook file(4);
    WorkBookProgress progress(file.connection());
    for (const auto& [game, day] :
         {std::pair{1, kToday - 1}, {2, kToday - 9}, {3, kToday - 4}, {4, kToday - 20}})
        progress.lngRecordAttempt(Attempt(game, At(day), true));
    file.exec("delete from GameTree where ID = 4");
    const auto games = WorkBookStatistics(file.connection()).arrLongestUnseen(10);
    EXPECT_EQ(GameIds(games), (std::vector<int64_t>{2, 3, 1}));
    EXPECT_EQ(games[0].lngLastDay, kToday - 9);
}

TEST(WorkBookStatistics, CsvQuotesTextsAndDefusesFormulas) {
    TrainingStatistics figures;
    figures.arrMostFailed = {{7, "=HYPERLINK(\"x\")", "p, 3", 2, 1, -1},
                             {8, "Line\nbreak", "", 1, 0, -1}};
    const std::string csv = figures.strCsv();
    EXPECT_TRUE(Contains(csv, "failed_most,7,\"'=HYPERLINK(\"\"x\"\")\",\"p, 3\",2,1,\n"));
    EXPECT_TRUE(Contains(csv, "failed_most,8,\"Line\nbreak\",,1,0,\n"));
}

// Spaced repetition: games due first (most overdue first), then new games up to the day's
// limit, then the classic order fills the batch; reading the order changes no counter.
TEST(WorkBookStatistics, ReviewBatchKeepsItsShape) {
    ProgressWorkbook file(14);
    file.exec("update GameTree set Hits = 2, Solve = 0, ErrorStreak = 2 where ID = 14");
    CWorkBook book;
    book.strOpenWorkBook(file.file());
    const auto counters = [&] {
        return std::to_string(file.number("select sum(Hits) * 1000 + sum(Solve) from GameTree"));
    };
    const std::string before = counters();
    // Nothing reviewed yet: three new games by identifier, then the worst first.
    const auto fresh = book.arrlngGetGameIDsForReview(10, 3, kToday);
    ASSERT_EQ(fresh.size(), 10U);
    EXPECT_EQ(std::vector<int32_t>(fresh.begin(), fresh.begin() + 4),
              (std::vector<int32_t>{1, 2, 3, 14}));
    EXPECT_EQ(before, counters());

    // Failures a week ago are due again: the older one comes first, before any new game.
    book.RecordAttempt(Attempt(9, At(kToday - 7), false, 3));
    book.RecordAttempt(Attempt(5, At(kToday - 8), false, 1, true));
    const auto due = book.arrlngGetGameIDsForReview(10, 3, kToday);
    ASSERT_EQ(due.size(), 10U);
    EXPECT_EQ(std::vector<int32_t>(due.begin(), due.begin() + 4),
              (std::vector<int32_t>{5, 9, 1, 2}));
    EXPECT_EQ(std::set<int32_t>(due.begin(), due.end()).size(), 10U);
    EXPECT_EQ(book.arrlngGetGameIDsForReview(3, 3, kToday), (std::vector<int32_t>{5, 9, 1}));
    EXPECT_EQ(book.arrlngGetGameIDsForReview(20000, 0, kToday).size(), 14U); // beyond 16 bits
    // A game solved before is due again but last in the classic order: the batch stops at 4.
    book.RecordAttempt(Attempt(7, At(kToday - 10), true));
    file.exec("update GameTree set ErrorStreak = 0 where ErrorStreak is null");
    EXPECT_EQ(book.arrlngGetGameIDsForReview(4, 0, kToday), (std::vector<int32_t>{5, 7, 9, 14}));
}

} // namespace
