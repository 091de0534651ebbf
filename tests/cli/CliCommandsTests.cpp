// The commands of brisolt-cli, run as a user runs them: outputs, exit statuses and the files they
// leave. The rules commands add only their command line to the rules, which the rules tests check
// in full; the workbook commands run on workbooks from anywhere (damaged games are named and the
// others served) and on a full disk (nothing kept is lost); the progress commands on a workbook
// whose history the test writes.
#include "WorkbookCli.h"
#include "tests/model/Checks.h"
#include "tests/progress/ProgressWorkbook.h"
#include "workbook/ReviewDay.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

TEST(RulesCommands, RunsPrintTheResultAndRefusalsExitWithOneLine) {
    RunSteps({
        {{"perft", start, "3"}, 0, "8902\n", ""},
        {{"perft", start + " 0 1", "0"}, 0, "1\n", ""},
        {{"perft", "4k3/8/8/8/8/8/8/4K2R w K -", "2", "--divide"},
         0,
         "Kd1: 5\nKd2: 5\nKe2: 5\nKf1: 5\nKf2: 5\nO-O: 3\nRh2: 5\nRh3: 5\nRh4: 5\nRh5: 5\n"
         "Rf1: 3\nRh6: 5\nRg1: 5\nRh7: 2\nRh8: 3\n66\n",
         ""},
        {{"moves", "7k/P7/8/8/8/8/8/K7 w - -"}, 0, "a8=Q\na8=R\na8=B\na8=N\nKa2\nKb1\nKb2\n", ""},
        {{"play", start, "f3", "e5", "g4", "Qh4#"},
         0,
         "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -\n0-1 (Checkmate)\n",
         ""},
        {{"play", "K7/1q6/1k6/8/8/8/8/8 w - -"},
         0,
         "K7/1q6/1k6/8/8/8/8/8 w - -\n0-1 (Checkmate)\n",
         ""},
        {{"play", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "0-0", "0-0-0"},
         0,
         "2kr3r/8/8/8/8/8/8/R4RK1 w - -\nWhite to move\n",
         ""},
        {{"perft", "4k3/8/8/8/8/8/8/8 w - -", "1"}, 2, "", "No white king"},
        {{"perft", start, "x"}, 2, "", "depth"},
        {{"perft", start, "99"}, 2, "", "depth"},
        {{"perft", start}, 2, "", "usage"},
        {{"perft", start, "2", "--split"}, 2, "", "usage"},
        {{"moves"}, 2, "", "usage"},
        {{"moves", std::string("\xff\xfe k \x01 w - -")}, 2, "", "FEN"},
        {{"play"}, 2, "", "usage"},
        {{"play", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq -", "e4"}, 2, "", "side"},
        {{"play", start, "e4", "e4"}, 1, "", "e4"},
        {{"play", start, "zz"}, 1, "", "zz"},
        {{"play", start, "f3", "e5", "g4", "Qh4", "Nc3"}, 1, "", "Nc3"},
        {{"frobnicate"}, 2, "", "unknown command: frobnicate\nusage: brisolt-cli COMMAND"},
    });
    // Asked for, the usage is the output, and the command worked.
    const CliResult help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: brisolt-cli COMMAND ARGS...\ncommands:\n  perft", 0), 0u);
    EXPECT_EQ(help.err, "");
}

const char* const kPgn =
    "[Event \"Opening\"]\n[PageRef \"p. 3\"]\n[DiagramRef \"1\"]\n\n"
    "1. e4 e5 (1... c5 2. Nf3) 2. Nf3 *\n\n"
    "[Event \"Blunder\"]\n[White \"Smith\"]\n\n1. e4 e5 2. Ke3 *\n\n"
    "[Event \"O'Neil's\tending\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/4K3/4P3/8/8/8/8 w - - 0 60\"]\n\n"
    "60. Kd6 Kd8 61. e6 *\n";

TEST(WorkbookCommands, ATrainingSessionFromTheCommandLine) {
    TempFolder folder;
    WriteFile(folder.file("games.pgn"), kPgn);
    const std::string shown =
        "[Event \"O'Neil's ending\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"?\"]\n"
        "[White \"?\"]\n[Black \"?\"]\n[Result \"*\"]\n[Description \"O'Neil's ending\"]\n"
        "[PageRef \"\"]\n[DiagramRef \"\"]\n[SetUp \"1\"]\n"
        "[FEN \"4k3/8/4K3/4P3/8/8/8/8 w - - 0 60\"]\n\n60. Kd6 Kd8 61. e6 *\n\n";
    // A link is written through and stays a link; a pipe is written straight and stays a pipe.
    std::filesystem::create_directory(folder.file("real"));
    std::filesystem::create_symlink("real/linked.pgn", folder.file("link.pgn"));
    ASSERT_EQ(mkfifo(folder.file("pipe.pgn").c_str(), 0600), 0);
    const int pipe = open(folder.file("pipe.pgn").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(pipe, 0);
    RunSteps(
        {
            {{"new", "book.brl", "--title", "Ed's book"}, 0, "", ""},
            {{"new", "book.brl"}, 1, "", "already exists"},
            {{"title", "book.brl"}, 0, "Ed's book\n", ""},
            {{"import", "book.brl", "games.pgn"},
             0,
             "imported 2 games, skipped 1\n",
             "skipped game 2 [Event \"Blunder\"] [White \"Smith\"]: illegal move 2. Ke3"},
            {{"show", "book.brl", "2"}, 0, shown, ""},
            {{"record", "book.brl", "1", "error"}, 0, "", ""},
            {{"record", "book.brl", "2", "success"}, 0, "", ""},
            {{"record", "book.brl", "2", "error"}, 0, "", ""},
            {{"batch", "book.brl"}, 0, "1\n2\n", ""},
            {{"score", "book.brl"}, 0, "3\t1\t33.33\n", ""},
            {{"record", "book.brl", "1", "success"}, 0, "", ""},
            {{"list", "book.brl"},
             0,
             "1\t2\t1\t0\t1\tp. 3\t1\tOpening\n2\t2\t1\t1\t0\t\t\tO'Neil's ending\n",
             ""},
            {{"clear-log", "book.brl"}, 0, "", ""},
            {{"score", "book.brl"}, 0, "0\t0\t-----\n", ""},
            {{"title", "book.brl", "New title"}, 0, "", ""},
            {{"title", "book.brl"}, 0, "New title\n", ""},
            {{"export", "book.brl", "out.pgn", "2"}, 0, "", ""},
            {{"export", "book.brl", "link.pgn", "2"}, 0, "", ""},
            {{"export", "book.brl", "pipe.pgn", "2"}, 0, "", ""},
            {{"delete", "book.brl", "1"}, 0, "", ""},
            {{"batch", "book.brl", "10"}, 0, "2\n", ""},
        },
        folder.path().string());
    EXPECT_EQ(FileBytes(folder.file("out.pgn")), shown);
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.pgn.part")));
    EXPECT_EQ(FileBytes(folder.file("real/linked.pgn")), shown);
    std::string piped(4096, '\0');
    piped.resize(std::max<ssize_t>(read(pipe, piped.data(), piped.size()), 0));
    close(pipe);
    EXPECT_EQ(piped, shown);
}

TEST(WorkbookCommands, MistakesGiveOneClearLineAndTheRightStatus) {
    TempFolder folder;
    WriteFile(folder.file("not.brl"), "this is not a workbook, just some text\n");
    WriteFile(folder.file("one.pgn"), "[Event \"Study\"]\n\n1. e4 (1. d4 d5 2. -- c5) *\n");
    ASSERT_EQ(mkfifo(folder.file("pipe.pgn").c_str(), 0600), 0); // its opening would wait for ever
    // Deeper than the 512 bytes of a path SQLite opens, though the system allows it.
    const std::string deep = folder.file(std::string(200, 'd') + "/" + std::string(200, 'e') + "/" +
                                         std::string(200, 'f'));
    std::filesystem::create_directories(deep);
    std::filesystem::create_symlink("no/such/folder/w.brl", folder.file("link.brl"));
    RunSteps(
        {
            {{"new", "w.brl"}, 0, "", ""},
            {{"import", "w.brl", "one.pgn"},
             0,
             "imported 1 game, skipped 0\n",
             "game 1 [Event \"Study\"]: a variation with a null move left out at 2. --"},
            {{"list"}, 2, "", "usage: brisolt-cli list FILE"},
            {{"batch", "w.brl", "0"}, 2, "", "usage"},
            {{"batch", "w.brl", "40000"}, 2, "", "usage"},
            {{"record", "w.brl", "1", "maybe"}, 2, "", "usage"},
            {{"show", "w.brl", "one"}, 2, "", "usage"},
            {{"new", "x.brl", "--name", "t"}, 2, "", "usage"},
            {{"list", "missing.brl"}, 1, "", "No such workbook: missing.brl"},
            {{"record", "w.brl", "7", "success"}, 1, "", "No game with the identifier 7"},
            // read whole: cut to 32 bits, this identifier would be game 1's
            {{"delete", "w.brl", "4294967297"}, 1, "", "No game with the identifier 4294967297"},
            {{"show", "w.brl", "7"}, 1, "", "No game with the identifier 7"},
            {{"export", "w.brl", "o.pgn", "7"}, 1, "", "No game with the identifier 7"},
            {{"export", "w.brl", "o.pgn", "4294967297"}, 2, "", "usage"}, // not game 1's
            {{"export", "w.brl", "./w.brl"}, 1, "", "./w.brl is the open workbook itself"},
            {{"export", "w.brl", "no/o.pgn"},
             1,
             "",
             "Cannot write the file no/o.pgn: No such file"},
            {{"import", "w.brl", "missing.pgn"}, 1, "", "Cannot read the PGN file: missing.pgn"},
            {{"import", "w.brl", "one.pgn", "."}, 1, "", "Cannot read the PGN file: ."},
            {{"import", "w.brl", "pipe.pgn"}, 1, "", "Cannot read the PGN file: pipe.pgn"},
            {{"import", "x.brl", "w.brl"}, 1, "imported 0 games, skipped 0\n", "not PGN text"},
            {{"list", "not.brl"}, 1, "", "not a database"},
            {{"new", "link.brl"}, 1, "", "unable to open"},
            {{"new", deep + "/w.brl"}, 1, "", "move the workbook to a folder with a shorter path"},
        },
        folder.path().string());
    for (const char* name : {"o.pgn", "o.pgn.part", "x.brl", "missing.brl"})
        EXPECT_FALSE(std::filesystem::exists(folder.file(name))) << name;
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link.brl"))); // the user's, kept
}

TEST(WorkbookSafety, ExportOfADamagedWorkbookWritesEveryReadableGameAndNamesTheOthers) {
    TempFolder folder;
    const std::string book = folder.file("d.brl");
    RawDatabase(book).exec(kWorkbookWithTwoGames);
    RawDatabase(book).exec("update GameNode set MoveText='Ke3' where GameTreeID=2 and "
                           "MoveText='e4'; insert into GameTree values (3,'empty','','',0,0,0,0);"
                           "insert into GameTree values (4,hex(randomblob(600000)),'','',0,0,0,0)");
    const std::string good =
        "[Event \"one\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"?\"]\n[White \"?\"]\n"
        "[Black \"?\"]\n[Result \"*\"]\n[Description \"one\"]\n[PageRef \"p. 1\"]\n"
        "[DiagramRef \"1\"]\n\n1. e4 *\n\n";
    const std::tuple<std::vector<std::string>, std::string> cases[] = {
        {{"export", "d.brl", "all.pgn"}, ""},
        {{"export", "d.brl", "-"}, good},
        {{"export", "d.brl", "-", "4", "3", "2", "1"}, good},
    };
    for (const auto& [args, out] : cases) {
        SCOPED_TRACE(args[2] + (args.size() > 3 ? " with ids" : ""));
        CliResult run = Cli(args, folder.path().string());
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, out);
        EXPECT_TRUE(
            Contains(run.err, "skipped game 2: Game 2 cannot be loaded: the stored move Ke3"));
        EXPECT_TRUE(Contains(run.err, "skipped game 4: "));
    }
    EXPECT_EQ(FileBytes(folder.file("all.pgn")), good);
    // Tags too long to read: the game is shown without them, and that is said.
    RawDatabase(book).exec("create table GameTag (GameTreeID INTEGER PRIMARY KEY, Tags TEXT); "
                           "insert into GameTag values (1, hex(randomblob(600000)))");
    RunSteps({{{"show", "d.brl", "1"}, 1, good, "could not be read; it is shown without them"},
              {{"list", "d.brl"},
               1,
               "1\t0\t0\t0\t0\tp. 1\t1\tone\n2\t0\t0\t0\t0\tp. 2\t2\ttwo\n"
               "3\t0\t0\t0\t0\t\t\tempty\n",
               "skipped game 4: string or blob too big"},
              {{"show", "d.brl", "4"}, 1, "", "Game 4 cannot be read: string or blob too big"}},
             folder.path().string());
}

TEST(WorkbookSafety, AFullDiskStopsAnImportKeepingWholeBatchesAndAnExportLeavingNothing) {
    TempFolder folder;
    WriteFile(folder.file("small.pgn"), "1. e4 e5 *\n\n1. d4 d5 *\n\n1. c4 c5 *\n");
    std::string big;
    for (int i = 0; i < 3000; ++i)
        big += "[Event \"Game " + std::to_string(i) + "\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *\n\n";
    WriteFile(folder.file("big.pgn"), big);
    // Room for the small file and two of the big file's batches, not for the third.
    CliResult run =
        Cli({"import", "book.brl", "small.pgn", "big.pgn"}, folder.path().string(), 2000 * 1024);
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_TRUE(Contains(run.err, "2000 games imported before are kept"));
    EXPECT_EQ(run.out, "imported 2003 games, skipped 0; stopped by an error, 2003 games kept\n");
    RunSteps({{{"batch", "book.brl"}, 0, "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n", ""}},
             folder.path().string());
    RawDatabase raw(folder.file("book.brl"));
    EXPECT_EQ(raw.value("select count(*) from GameNode"), "14009");
    EXPECT_EQ(raw.value("pragma integrity_check"), "ok");
    // An export the disk cannot take fails, and leaves neither the file nor a part of it.
    run = Cli({"export", "book.brl", "all.pgn"}, folder.path().string(), 64 * 1024);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(Contains(run.err, "Could not write the PGN text"));
    EXPECT_FALSE(std::filesystem::exists(folder.file("all.pgn")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("all.pgn.part")));
}

TEST(ProgressCommands, HistoryDueAndStatsOfAWorkbookWithAttempts) {
    ProgressWorkbook file(5);
    {
        const int64_t day = *ReviewDay::parse("2024-03-01");
        WorkBookProgress progress(file.connection());
        progress.lngRecordAttempt(Attempt(1, At(day, 1), true));
        progress.lngRecordAttempt(Attempt(4, At(day + 1, 3), true));
        progress.lngRecordAttempt(Attempt(2, At(day + 1, 2), false, 2, true));
        progress.lngRecordAttempt(Attempt(3, At(day + 4, 0), true, 1));
        file.exec("delete from GameTree where ID = 3");
    }
    const std::string f = file.file(), missing = file.folder() + "/missing.wbk";
    const std::string one = "2024-03-01 01:00:00\t1\tsuccess\t0\tno\t42\n";
    const std::string two = "2024-03-02 02:00:00\t2\tfailure\t2\tyes\t42\n";
    const std::string four = "2024-03-02 03:00:00\t4\tsuccess\t0\tno\t42\n";
    RunSteps(
        {
            {{"history", f}, 0, one + two + four, ""},
            {{"history", f, "--csv", "--since", "2024-03-02"},
             0,
             "time,game,result,wrong_moves,solution_shown,seconds\n"
             "2024-03-02 02:00:00,2,failure,2,yes,42\n"
             "2024-03-02 03:00:00,4,success,0,no,42\n",
             ""},
            {{"due", f, "--date", "2024-03-03"}, 0, "2\t2024-03-03\n5\tnew\n", ""},
            {{"history"}, 2, "", "usage: brisolt-cli history"},
            {{"history", f, "--since"}, 2, "", "usage: brisolt-cli history"},
            {{"history", f, "--since", "2024-02-30"}, 2, "", "Not a date (YYYY-MM-DD)"},
            {{"history", f, "--sense", "2024-02-03"}, 2, "", "usage: brisolt-cli history"},
            {{"due", f, "--csv"}, 2, "", "usage: brisolt-cli due"},
            {{"due", missing}, 1, "", "No such workbook"},
            {{"history", missing}, 1, "", "No such workbook"},
        },
        file.folder());
    // days: the last rows of the thirty days
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"2024-03-01",
         "Today (2024-03-01): 1 attempt, 1 solved\nStreak: 1 day in a row; last 1 attempt "
         "solved\n",
         "2024-02-29\t0\t-\n2024-03-01\t1\t100%\n\n"},
        {"2024-03-02",
         "Today (2024-03-02): 2 attempts, 1 solved\nStreak: 2 days in a row; last 0 attempts "
         "solved\n",
         "2024-03-01\t1\t100%\n2024-03-02\t2\t50%\n\n"},
    };
    for (const auto& [date, head, days] : cases) {
        const CliResult run = Cli({"stats", file.file(), "--date", date}, file.folder());
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.rfind(head, 0), 0u) << run.out;
        EXPECT_TRUE(Contains(run.out, std::string(days) + "Per week from"));
    }
}

} // namespace
