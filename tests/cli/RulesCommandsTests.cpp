// The rules commands (perft, moves, play) run through the real brisolt-cli program.
#include "WorkbookCli.h"
#include "tests/model/Checks.h"

#include <algorithm>
#include <tuple>

namespace {

CliResult runCli(const std::vector<std::string>& args) {
    TempFolder folder;
    return Cli(args, folder.path().string());
}

const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

TEST(RulesCommands, SuccessfulRunsPrintTheResult) {
    const std::tuple<std::vector<std::string>, std::string> cases[] = {
        {{"perft", start, "3"}, "8902\n"},
        {{"perft", start + " 0 1", "0"}, "1\n"},
        {{"perft", "4k3/8/8/8/8/8/8/4K2R w K -", "2", "--divide"},
         "Kd1: 5\nKd2: 5\nKe2: 5\nKf1: 5\nKf2: 5\nO-O: 3\nRh2: 5\nRh3: 5\nRh4: 5\nRh5: 5\n"
         "Rf1: 3\nRh6: 5\nRg1: 5\nRh7: 2\nRh8: 3\n66\n"},
        // castling follows the king's own moves, before the h-rook's
        {{"moves", "r3k2r/8/8/8/8/8/8/4K3 b kq -"},
         "Ra1\nRb8\nRa2\nRc8\nRa3\nRd8\nRa4\nRa5\nRa6\nRa7\nKd7\nKd8\nKe7\nKf7\nKf8\nO-O\nO-O-O\n"
         "Rh1\nRh2\nRh3\nRh4\nRh5\nRf8\nRh6\nRg8\nRh7\n"},
        {{"play", start, "e4", "e5", "Nf3"},
         "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -\nBlack to move\n"},
        {{"play", start, "f3", "e5", "g4", "Qh4#"},
         "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -\n0-1 (Checkmate)\n"},
        // After a mate or stalemate the side field names the side that is mated or stalemated.
        {{"play", "6k1/5ppp/8/8/8/8/8/R5K1 w - -", "Ra8#"},
         "R5k1/5ppp/8/8/8/8/8/6K1 b - -\n1-0 (Checkmate)\n"},
        {{"play", "7k/4Q3/6K1/8/8/8/8/8 w - -", "Qf7"},
         "7k/5Q2/6K1/8/8/8/8/8 b - -\n1/2-1/2 (Stalemate)\n"},
        {{"play", start}, start + "\nWhite to move\n"},
    };
    for (const auto& [args, out] : cases) {
        const CliResult run = runCli(args);
        EXPECT_EQ(run.status, 0) << args[0] << " " << args[1] << ": " << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, out) << args[0] << " " << args[1];
    }
}

TEST(RulesCommands, RefusalsExitWithOneLine) {
    // mention: a text the message must contain
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"perft", "not a fen", "2"}, 2, "FEN"},
        {{"perft", "4k3/8/8/8/8/8/8/8 w - -", "1"}, 2, "No white king"},
        {{"perft", start, "x"}, 2, "depth"},
        {{"perft", start, "-1"}, 2, "depth"},
        {{"perft", start, "99"}, 2, "depth"},
        {{"perft", start}, 2, "usage"},
        {{"perft", start, "2", "--split"}, 2, "usage"},
        {{"moves"}, 2, "usage"},
        {{"moves", "8/8/8/8 w - -"}, 2, "FEN"},
        {{"moves", std::string("\xff\xfe k \x01 w - -")}, 2, "FEN"},
        {{"play"}, 2, "usage"},
        {{"play", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq -", "e4"}, 2, "side"},
        {{"play", start, "e4", "e4"}, 1, "e4"},
        {{"play", start, "zz"}, 1, "zz"},
        {{"play", start, "f3", "e5", "g4", "Qh4", "Nc3"}, 1, "Nc3"},
        {{"frobnicate"}, 2, "unknown command"},
    };
    for (const auto& [args, status, mention] : cases) {
        const CliResult run = runCli(args);
        EXPECT_EQ(run.status, status) << args[0] << ": " << run.err;
        EXPECT_TRUE(Contains(run.err, mention)) << args[0];
        if (args[0] != "frobnicate") {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            EXPECT_EQ(run.out, "");
        }
    }
}

} // namespace
