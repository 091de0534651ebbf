// brisolt-cli on workbooks from anywhere and on a full disk: damaged games are named and the
// others are served, hostile files are refused untouched, and nothing kept is lost.
#include "WorkbookCli.h"
#include "tests/model/Checks.h"
#include "tests/workbook/HostileWorkbooks.h"

#include <tuple>

namespace {

TEST(WorkbookSafety, ExportOfADamagedWorkbookWritesEveryReadableGameAndNamesTheOthers) {
    TempFolder folder;
    const std::string book = folder.file("d.brl");
    WriteWorkbookWithTwoGames(book);
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
        EXPECT_TRUE(Contains(run.err, "skipped game 3: no positions are stored for it"));
        EXPECT_TRUE(Contains(run.err, "skipped game 4: "));
    }
    EXPECT_EQ(FileBytes(folder.file("all.pgn")), good);
    RunSteps({{{"list", "d.brl"},
               1,
               "1\t0\t0\t0\t0\tp. 1\t1\tone\n2\t0\t0\t0\t0\tp. 2\t2\ttwo\n"
               "3\t0\t0\t0\t0\t\t\tempty\n",
               "skipped game 4: string or blob too big"},
              {{"show", "d.brl", "4"}, 1, "", "Game 4 cannot be read: string or blob too big"}},
             folder.path().string());
}

// The workbook library refuses every kind of hostile file; each command passes the refusal on.
TEST(WorkbookSafety, AHostileWorkbookIsRefusedByEveryCommandAndLeftAsItIs) {
    TempFolder folder;
    WriteFile(folder.file("one.pgn"), "1. e4 *\n");
    const std::string book = folder.file("h.brl");
    const HostileWorkbook& hostile = HostileWorkbooks().front();
    WriteWorkbookWithTwoGames(book);
    RawDatabase(book).exec(hostile.sql);
    const std::string before = FileBytes(book);
    RunSteps({{{"record", "h.brl", "1", "success"}, 1, "", hostile.naming},
              {{"import", "h.brl", "one.pgn"}, 1, "", hostile.naming},
              {{"list", "h.brl"}, 1, "", hostile.naming}},
             folder.path().string());
    EXPECT_EQ(FileBytes(book), before);
}

TEST(WorkbookSafety, AFullDiskStopsTheImportAndSaysHowManyGamesWereKept) {
    TempFolder folder;
    WriteFile(folder.file("small.pgn"), "1. e4 e5 *\n\n1. d4 d5 *\n\n1. c4 c5 *\n");
    std::string big;
    for (int i = 0; i < 3000; ++i)
        big += "[Event \"Game " + std::to_string(i) + "\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *\n\n";
    WriteFile(folder.file("big.pgn"), big);
    CliResult run =
        Cli({"import", "book.brl", "small.pgn", "big.pgn"}, folder.path().string(), 400 * 1024);
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_EQ(run.out, "imported 3 games, skipped 0; stopped by an error, 3 games kept\n");
    EXPECT_TRUE(Contains(run.err, "the import stopped at game"));
    EXPECT_TRUE(Contains(run.err, "0 games imported before are kept"));
    RunSteps({{{"batch", "book.brl"}, 0, "1\n2\n3\n", ""}}, folder.path().string());
    RawDatabase raw(folder.file("book.brl"));
    EXPECT_EQ(raw.value("select count(*) from GameNode"), "9");
    EXPECT_EQ(raw.value("pragma integrity_check"), "ok");
}

} // namespace
