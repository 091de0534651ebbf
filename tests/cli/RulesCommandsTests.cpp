// The rules commands (perft, moves, play) run through the real brisolt-cli program: what the
// command line adds to the rules, which the rules tests check in full.
#include "WorkbookCli.h"
#include "tests/model/Checks.h"

#include <algorithm>
#include <tuple>

namespace {

const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

TEST(RulesCommands, SuccessfulRunsPrintTheResult) {
    const std::tuple<std::vector<std::string>, std::string> cases[] = {
        {{"perft", start, "3"}, "8902\n"},
        {{"perft", start + " 0 1", "0"}, "1\n"},
        {{"perft", "4k3/8/8/8/8/8/8/4K2R w K -", "2", "--divide"},
         "Kd1: 5\nKd2: 5\nKe2: 5\nKf1: 5\nKf2: 5\nO-O: 3\nRh2: 5\nRh3: 5\nRh4: 5\nRh5: 5\n"
         "Rf1: 3\nRh6: 5\nRg1: 5\nRh7: 2\nRh8: 3\n66\n"},
        {{"moves", "7k/P7/8/8/8/8/8/K7 w - -"}, "a8=Q\na8=R\na8=B\na8=N\nKa2\nKb1\nKb2\n"},
        {{"play", start, "e4", "e5", "Nf3"},
         "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -\nBlack to move\n"},
        {{"play", start, "f3", "e5", "g4", "Qh4#"},
         "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -\n0-1 (Checkmate)\n"},
        {{"play", start}, start + "\nWhite to move\n"},
    };
    for (const auto& [args, out] : cases) {
        const CliResult run = Cli(args);
        EXPECT_EQ(run.status, 0) << args[0] << " " << args[1] << ": " << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, out) << args[0] << " " << args[1];
    }
}

TEST(RulesCommands, RefusalsExitWithOneLine) {
    // mention: a text the message must contain
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"perft", "4k3/8/8/8/8/8/8/8 w - -", "1"}, 2, "No white king"},
        {{"perft", start, "x"}, 2, "depth"},
        {{"perft", start, "99"}, 2, "depth"},
        {{"perft", start}, 2, "usage"},
        {{"perft", start, "2", "--split"}, 2, "usage"},
        {{"moves"}, 2, "usage"},
        {{"moves", std::string("\xff\xfe k \x01 w - -")}, 2, "FEN"},
        {{"play"}, 2, "usage"},
        {{"play", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq -", "e4"}, 2, "side"},
        {{"play", start, "e4", "e4"}, 1, "e4"},
        {{"play", start, "zz"}, 1, "zz"},
        {{"play", start, "f3", "e5", "g4", "Qh4", "Nc3"}, 1, "Nc3"},
        {{"frobnicate"}, 2, "unknown command"},
    };
    for (const auto& [args, status, mention] : cases) {
        const CliResult run = Cli(args);
        EXPECT_EQ(run.status, status) << args[0] << ": " << run.err;
        EXPECT_TRUE(Contains(run.err, mention)) << args[0];
        if (args[0] != "frobnicate") {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            EXPECT_EQ(run.out, "");
        }
    }
}

} // namespace
