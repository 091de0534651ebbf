// The progress commands of brisolt-cli run as a user runs them, on a workbook whose history the
// test writes.
#include "ProgressWorkbook.h"
#include "tests/cli/WorkbookCli.h"
#include "tests/model/Checks.h"
#include "workbook/ReviewDay.h"
#include "workbook/WorkBookProgress.h"

namespace {

class ProgressCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
    static TrainingAttempt attempt(int64_t game, const char* date, int64_t second, bool solved,
                                   int32_t wrong, bool shown) {
        TrainingAttempt row;
        row.lngGameId = game;
        row.lngAttemptedAt = *ReviewDay::parse(date) * 86400 + second;
        row.isSolved = solved;
        row.lngWrongMoves = wrong;
        row.isSolutionShown = shown;
        row.lngSeconds = 7;
        return row;
    }
    static std::string folderOf(const std::string& file) {
        return file.substr(0, file.find_last_of('/'));
    }
};

TEST_F(ProgressCommandsTest, HistoryListsTheAttemptsOfGamesThatExist) {
    ProgressWorkbook file(3);
    {
        WorkBookProgress progress(file.db());
        progress.lngRecordAttempt(attempt(1, "2024-03-01", 3600, true, 0, false));
        progress.lngRecordAttempt(attempt(2, "2024-03-02", 7200, false, 2, true));
        progress.lngRecordAttempt(attempt(3, "2024-03-05", 60, true, 1, false));
        file.exec("delete from GameTree where ID = 3");
    }
    const std::string folder = folderOf(file.file());
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"history", file.file()},
         "2024-03-01 01:00:00\t1\tsuccess\t0\tno\t7\n2024-03-02 02:00:00\t2\tfailure\t2\tyes\t7\n"},
        {{"history", file.file(), "--since", "2024-03-02"},
         "2024-03-02 02:00:00\t2\tfailure\t2\tyes\t7\n"},
        {{"history", file.file(), "--csv", "--since", "2024-03-03"},
         "time,game,result,wrong_moves,solution_shown,seconds\n"},
        {{"history", file.file(), "--csv"},
         "time,game,result,wrong_moves,solution_shown,seconds\n"
         "2024-03-01 01:00:00,1,success,0,no,7\n2024-03-02 02:00:00,2,failure,2,yes,7\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const CliResult run = Cli(c.args, folder);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
}

TEST_F(ProgressCommandsTest, DueListsTheReviewOrderOfTheDay) {
    ProgressWorkbook file(4);
    {
        WorkBookProgress progress(file.db());
        progress.lngRecordAttempt(attempt(1, "2024-03-01", 0, true, 0, false));
        progress.lngRecordAttempt(attempt(2, "2024-03-01", 0, false, 0, false));
    }
    const struct {
        const char* date;
        std::string out;
    } cases[] = {
        {"2024-03-01", std::string("3\tnew\n4\tnew\n")},
        {"2024-03-02", std::string("2\t2024-03-02\n3\tnew\n4\tnew\n")},
        {"2024-03-09", std::string("2\t2024-03-02\n1\t2024-03-04\n3\tnew\n4\tnew\n")},
    };
    for (const auto& c : cases) {
        const CliResult run = Cli({"due", file.file(), "--date", c.date}, folderOf(file.file()));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.out) << c.date;
    }
}

// A workbook from before the history, and one whose schedule holds values of the wrong kind.
TEST_F(ProgressCommandsTest, WorkbooksWithoutUsableTablesShowNoAttemptsAndEveryGameNew) {
    const char* setups[] = {
        "select 1",
        "create table TrainingHistory (ID INTEGER PRIMARY KEY, GameTreeID, AttemptedAt, Solved, "
        "WrongMoves, SolutionShown, Seconds); "
        "create table TrainingSchedule (GameTreeID INTEGER PRIMARY KEY, Stability, Difficulty, "
        "LastReviewDay, DueDay, IntervalDays, Reviews, Lapses, FirstReviewDay); insert into "
        "TrainingSchedule values (1, 'x', 'y', 0, 0, 0, 1, 0, 0)",
    };
    for (const char* setup : setups) {
        SCOPED_TRACE(setup);
        ProgressWorkbook file(2);
        file.exec(setup);
        const std::string folder = folderOf(file.file());
        const CliResult history = Cli({"history", file.file(), "--csv"}, folder);
        EXPECT_EQ(history.status, 0) << history.err;
        EXPECT_EQ(history.out, "time,game,result,wrong_moves,solution_shown,seconds\n");
        const CliResult due = Cli({"due", file.file(), "--date", "2024-01-01"}, folder);
        EXPECT_EQ(due.status, 0) << due.err;
        EXPECT_EQ(due.out, "1\tnew\n2\tnew\n");
    }
}

TEST_F(ProgressCommandsTest, BadArgumentsAndMissingFilesAreRefused) {
    ProgressWorkbook file(1);
    const std::string folder = folderOf(file.file());
    const struct {
        std::vector<std::string> args;
        int status;
        const char* err;
    } cases[] = {
        {{"history"}, 2, "usage: brisolt-cli history"},
        {{"history", file.file(), "--since"}, 2, "usage: brisolt-cli history"},
        {{"history", file.file(), "--since", "2024-02-30"}, 2, "Not a date (YYYY-MM-DD)"},
        {{"history", file.file(), "--sense", "2024-02-03"}, 2, "usage: brisolt-cli history"},
        {{"due", file.file(), "--csv"}, 2, "usage: brisolt-cli due"},
        {{"due", file.file(), "--date", "tomorrow"}, 2, "Not a date (YYYY-MM-DD)"},
        {{"due", folder + "/missing.wbk"}, 1, "No such workbook"},
        {{"history", folder + "/missing.wbk"}, 1, "No such workbook"},
    };
    for (const auto& c : cases) {
        const CliResult run = Cli(c.args, folder);
        EXPECT_EQ(run.status, c.status) << c.args.back();
        EXPECT_TRUE(Contains(run.err, c.err));
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

TEST_F(ProgressCommandsTest, StatsCountsTheDayTheStreakAndThePeriods) {
    ProgressWorkbook file(2);
    {
        WorkBookProgress progress(file.db());
        progress.lngRecordAttempt(attempt(1, "2024-03-01", 3600, true, 0, false));
        progress.lngRecordAttempt(attempt(2, "2024-03-02", 7200, false, 2, true));
        progress.lngRecordAttempt(attempt(1, "2024-03-02", 9000, true, 0, false));
    }
    const struct {
        const char* date;
        const char* head;
        const char* days; // the last rows of the thirty days
    } cases[] = {
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
    for (const auto& c : cases) {
        const CliResult run = Cli({"stats", file.file(), "--date", c.date}, folderOf(file.file()));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.substr(0, std::string(c.head).size()), c.head) << run.out;
        EXPECT_TRUE(Contains(run.out, std::string(c.days) + "Per week from")) << run.out;
    }
}

} // namespace
