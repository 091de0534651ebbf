// brisolt-cli verify through the real program and the real Stockfish.
#include "VerifyTestSupport.h"
#include "tests/cli/WorkbookCli.h"
#include "tests/model/Checks.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

TEST(VerifyCommand, PrintsOneLinePerGameAndRefusesBadInvocations) {
    ExerciseBook book(PgnGame("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "1. Ra8#") +
                      PgnGame("6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1", "1. Ra8# (1. Rb8#?)"));
    const std::string file = book.folder.file("book.brl");
    const std::string engine = "--engine", stockfish = BRISOLT_STOCKFISH;
    // parts: the first starts the output, the others are in it
    const std::tuple<std::vector<std::string>, int, std::vector<std::string>> cases[] = {
        {{"verify", file, engine, stockfish, "--depth", "6"},
         0,
         {"1\tok\tstored Ra8# #1", "\n2\tmarked-wrong-but-good\tmarked Rb8#? #1"}},
        {{"verify", file, "2", engine, stockfish, "--time", "0.25"},
         0,
         {"2\tmarked-wrong-but-good"}},
        {{"verify"}, 2, {"", "missing FILE"}},
        {{"verify", file, "--time"}, 2, {"", "--time needs a value"}},
        {{"verify", file, "--time", "-1"}, 2, {"", "bad time"}},
        {{"verify", file, "--depth", "0"}, 2, {"", "bad depth"}},
        {{"verify", file, "--lines", "many"}, 2, {"", "bad number of lines"}},
        {{"verify", file, "abc"}, 2, {"", "bad game id"}},
        {{"verify", file, "--colour", "red"}, 2, {"", "unknown option"}},
        {{"verify", book.folder.file("none.brl")}, 1, {"", "no such workbook"}},
        {{"verify", file, "7", engine, stockfish, "--depth", "1"},
         1,
         {"7\terror\tno game with this identifier"}},
        {{"verify", file, engine, "/nonexistent/engine"}, 1, {"", "Cannot start the engine"}},
    };
    for (const auto& [args, status, parts] : cases) {
        SCOPED_TRACE(args.back());
        const CliResult run = Cli(args, book.folder.path().string());
        const std::string output = run.out + run.err;
        EXPECT_EQ(run.status, status) << output;
        EXPECT_EQ(output.rfind(parts[0], 0), 0u) << output;
        for (const std::string& part : parts)
            EXPECT_TRUE(Contains(output, part));
    }
}

} // namespace
