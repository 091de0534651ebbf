// brisolt-cli engine-move through the real program, the real Stockfish and the fake engines.
#include "EngineTestSupport.h"
#include "tests/cli/WorkbookCli.h"
#include "tests/model/Checks.h"

#include <tuple>

namespace {

// engine-move run in the folder, which holds the command's settings store and the fakes' notes.
CliResult runCli(const TempFolder& folder, std::vector<std::string> args) {
    args.insert(args.begin(), "engine-move");
    return Cli(args, folder.path().string(), 0,
               {"XDG_CONFIG_HOME=" + folder.path().string(),
                "BRISOLT_START_LOG=" + folder.file("starts")});
}

std::string lastLine(std::string text) {
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text.substr(text.find_last_of('\n') + 1);
}

const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

TEST(EngineMoveCommandTest, PrintsTheEnginesMoveOrSaysWhyNot) {
    const std::string anyFen = "8/8/8/8/8/8/k7/K7 w - -";
    // arguments, exit status, the last output line (status 0) or a part of the error line
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"4r1k1/5ppp/8/8/8/8/6PP/N6K b - -", "--depth", "4"}, 0, "Re1#"},
        {{"4r1k1/5ppp/8/8/8/8/6PP/N6K", "b", "-", "-"}, 0, "Re1#"}, // FEN in separate fields
        {{"6k1/5ppp/8/8/8/8/6PP/4r2K w - -"}, 1, "no move: the game is over (0-1 {Black mates})"},
        {{start, "--engine", fakeEngine("crash.sh")}, 1, "The engine stopped: it crashed"},
        {{"rnbqkbnr/pppppppp/8 w - -"}, 1, "bad FEN"},
        {{"--time", "1"}, 2, "missing FEN"},
        {{anyFen, "--depth", "deep"}, 2, "bad depth"},
        {{anyFen, "--time", "-3"}, 2, "bad time"},
    };
    for (const auto& [args, exitCode, expected] : cases) {
        SCOPED_TRACE(args.back());
        TempFolder scratch;
        const CliResult result = runCli(scratch, args);
        EXPECT_EQ(result.status, exitCode) << result.err;
        if (exitCode == 0)
            EXPECT_EQ(lastLine(result.out), expected);
        else
            EXPECT_TRUE(Contains(result.err, expected));
    }
}

TEST(EngineMoveCommandTest, OneEngineStartPerCommandAndTheProtocolRemembered) {
    TempFolder scratch;
    const std::string engine = fakeEngine("counted.sh");
    for (int run = 1; run <= 2; ++run) {
        const CliResult result = runCli(scratch, {start, "--engine", engine, "--time", "0.1"});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(lastLine(result.out), "e4");
        EXPECT_EQ(FileBytes(scratch.file("starts")), run == 1 ? "started\n" : "started\nstarted\n");
        const std::string settings = FileBytes(scratch.file("Brisolt/Brisolt.conf"));
        EXPECT_TRUE(Contains(settings, "[EngineCache]"));
        EXPECT_TRUE(Contains(settings, "UCI, "));
        EXPECT_TRUE(Contains(settings, "Fake Counted"));
    }
}

} // namespace
