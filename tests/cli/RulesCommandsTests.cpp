// The rules commands (perft, moves, play) run through the real brisolt-cli program.
#include "WorkbookCli.h"
#include "tests/model/Checks.h"

#include <algorithm>
#include <sstream>
#include <tuple>

namespace {

CliResult runCli(const std::vector<std::string>& args) {
    TempFolder folder;
    return Cli(args, folder.path().string());
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
const std::string kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";

TEST(RulesCommands, SuccessfulRunsPrintTheResult) {
    const std::tuple<std::vector<std::string>, std::string> cases[] = {
        {{"perft", start, "3"}, "8902\n"},
        {{"perft", start + " 0 1", "0"}, "1\n"},
        {{"moves", "4k3/8/8/8/8/8/8/4K3 w - -"}, "Kd1\nKd2\nKe2\nKf1\nKf2\n"},
        {{"moves", "3n1k2/4P3/8/8/8/8/8/4K3 w - -"},
         "e8=Q\ne8=R\ne8=B\ne8=N\nexd8=Q\nexd8=R\nexd8=B\nexd8=N\nKd1\nKd2\nKe2\nKf1\nKf2\n"},
        {{"play", start, "e4", "e5", "Nf3"},
         "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -\nBlack to move\n"},
        {{"play", start, "f3", "e5", "g4", "Qh4#"},
         "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -\n0-1 (Checkmate)\n"},
        // After a mate or stalemate the side field names the side that is mated or stalemated.
        {{"play", "6k1/5ppp/8/8/8/8/8/R5K1 w - -", "Ra8#"},
         "R5k1/5ppp/8/8/8/8/8/6K1 b - -\n1-0 (Checkmate)\n"},
        {{"play", "r5k1/8/8/8/8/8/5PPP/6K1 b - -", "Ra1#"},
         "6k1/8/8/8/8/8/5PPP/r5K1 w - -\n0-1 (Checkmate)\n"},
        {{"play", "7k/4Q3/6K1/8/8/8/8/8 w - -", "Qf7"},
         "7k/5Q2/6K1/8/8/8/8/8 b - -\n1/2-1/2 (Stalemate)\n"},
        {{"play", "7K/4q3/6k1/8/8/8/8/8 b - -", "Qf7"},
         "7K/5q2/6k1/8/8/8/8/8 w - -\n1/2-1/2 (Stalemate)\n"},
        {{"play", start}, start + "\nWhite to move\n"},
    };
    for (const auto& [args, out] : cases) {
        const CliResult run = runCli(args);
        EXPECT_EQ(run.status, 0) << args[0] << " " << args[1] << ": " << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, out) << args[0] << " " << args[1];
    }
    const auto castling = lines(runCli({"moves", "r3k2r/8/8/8/8/8/8/4K3 b kq -"}).out);
    EXPECT_EQ(castling.size(), 26u);
    // Castling follows the king's own moves, before the h-rook's.
    const auto at = [&](const char* text) {
        return std::find(castling.begin(), castling.end(), text) - castling.begin();
    };
    EXPECT_EQ(at("O-O"), at("Kf8") + 1);
    EXPECT_EQ(at("O-O-O"), at("O-O") + 1);
    EXPECT_LT(at("O-O-O"), at("Rh7"));
}

TEST(RulesCommands, DivideListsEveryRootMoveThenTheTotal) {
    const CliResult run = runCli({"perft", start, "2", "--divide"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto output = lines(run.out);
    ASSERT_EQ(output.size(), 21u);
    EXPECT_EQ(output.front(), "a3: 20");
    EXPECT_EQ(output[17], "Nc3: 20");
    EXPECT_EQ(output.back(), "400");
    const auto kiwi = lines(runCli({"perft", kiwipete, "1", "--divide"}).out);
    EXPECT_EQ(kiwi.back(), "48");
    EXPECT_NE(std::find(kiwi.begin(), kiwi.end(), "O-O: 1"), kiwi.end());
    EXPECT_NE(std::find(kiwi.begin(), kiwi.end(), "Bxa6: 1"), kiwi.end());
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
        {{"play", start, "e5"}, 1, "e5"},
        {{"play", start, "zz"}, 1, "zz"},
        {{"play", start, "O-O"}, 1, "O-O"},
        {{"play", start, "f3", "e5", "g4", "Qh4", "Nc3"}, 1, "Nc3"},
        {{"frobnicate"}, 2, "unknown command"},
    };
    for (const auto& [args, status, mention] : cases) {
        const CliResult run = runCli(args);
        EXPECT_EQ(run.status, status) << args[0] << ": " << run.err;
        EXPECT_TRUE(Contains(run.err, mention)) << args[0];
        if (args[0] != "frobnicate") {
            EXPECT_EQ(lines(run.err).size(), 1u) << run.err;
            EXPECT_EQ(run.out, "");
        }
    }
}

} // namespace
