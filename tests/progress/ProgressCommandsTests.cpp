// The progress commands of brisolt-cli run as a user runs them, on a workbook whose history the
// test writes.
#include "ProgressWorkbook.h"
#include "tests/cli/WorkbookCli.h"
#include "tests/model/Checks.h"
#include "workbook/ReviewDay.h"

#include <tuple>

namespace {

// The moment of the second of a date's day.
int64_t On(const char* date, int64_t second) {
    return *ReviewDay::parse(date) * 86400 + second;
}

const std::string kCsvHeader = "time,game,result,wrong_moves,solution_shown,seconds\n";

TEST(ProgressCommands, HistoryAndDueListTheAttemptsAndTheReviewOrder) {
    ProgressWorkbook file(4);
    {
        WorkBookProgress progress(file.connection());
        progress.lngRecordAttempt(Attempt(1, On("2024-03-01", 3600), true));
        progress.lngRecordAttempt(Attempt(2, On("2024-03-02", 7200), false, 2, true));
        progress.lngRecordAttempt(Attempt(3, On("2024-03-05", 60), true, 1));
        file.exec("delete from GameTree where ID = 3");
    }
    const std::string f = file.file(), missing = file.folder() + "/missing.wbk";
    const std::string one = "2024-03-01 01:00:00\t1\tsuccess\t0\tno\t42\n";
    const std::string two = "2024-03-02 02:00:00\t2\tfailure\t2\tyes\t42\n";
    RunSteps(
        {
            {{"history", f}, 0, one + two, ""},
            {{"history", f, "--since", "2024-03-02"}, 0, two, ""},
            {{"history", f, "--csv", "--since", "2024-03-03"}, 0, kCsvHeader, ""},
            {{"history", f, "--csv"},
             0,
             kCsvHeader + "2024-03-01 01:00:00,1,success,0,no,42\n"
                          "2024-03-02 02:00:00,2,failure,2,yes,42\n",
             ""},
            {{"due", f, "--date", "2024-03-01"}, 0, "4\tnew\n", ""},
            {{"due", f, "--date", "2024-03-03"}, 0, "2\t2024-03-03\n4\tnew\n", ""},
            {{"due", f, "--date", "2024-03-09"}, 0, "2\t2024-03-03\n1\t2024-03-04\n4\tnew\n", ""},
            {{"history"}, 2, "", "usage: brisolt-cli history"},
            {{"history", f, "--since"}, 2, "", "usage: brisolt-cli history"},
            {{"history", f, "--since", "2024-02-30"}, 2, "", "Not a date (YYYY-MM-DD)"},
            {{"history", f, "--sense", "2024-02-03"}, 2, "", "usage: brisolt-cli history"},
            {{"due", f, "--csv"}, 2, "", "usage: brisolt-cli due"},
            {{"due", f, "--date", "tomorrow"}, 2, "", "Not a date (YYYY-MM-DD)"},
            {{"due", missing}, 1, "", "No such workbook"},
            {{"history", missing}, 1, "", "No such workbook"},
        },
        file.folder());
}

TEST(ProgressCommands, StatsCountsTheDayTheStreakAndThePeriods) {
    ProgressWorkbook file(2);
    {
        WorkBookProgress progress(file.connection());
        progress.lngRecordAttempt(Attempt(1, On("2024-03-01", 3600), true));
        progress.lngRecordAttempt(Attempt(2, On("2024-03-02", 7200), false, 2, true));
        progress.lngRecordAttempt(Attempt(1, On("2024-03-02", 9000), true));
    }
    // days: the last rows of the thirty days
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"2024-03-01",
         "Today (2024-03-01): 1 attempt, 1 solved\nStreak: 1 day in a row; last 1 attempt solved\n",
         "2024-02-29\t0\t-\n2024-03-01\t1\t100%\n\n"},
        {"2024-03-02",
         "Today (2024-03-02): 2 attempts, 1 solved\nStreak: 2 days in a row; last 1 attempt "
         "solved\n",
         "2024-03-01\t1\t100%\n2024-03-02\t2\t50%\n\n"},
        {"2024-03-04", "Today (2024-03-04): 0 attempts, 0 solved\nStreak: 0 days in a row;",
         "2024-03-03\t0\t-\n2024-03-04\t0\t-\n\n"},
    };
    for (const auto& [date, head, days] : cases) {
        const CliResult run = Cli({"stats", file.file(), "--date", date}, file.folder());
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.rfind(head, 0), 0u) << run.out;
        EXPECT_TRUE(Contains(run.out, std::string(days) + "Per week from"));
    }
}

} // namespace
