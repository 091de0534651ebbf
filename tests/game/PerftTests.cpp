#include "game/Perft.h"
#include "tests/game/RulesTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

// Counts small enough for the test suite; the deeper ones run in the benchmark.
constexpr std::uint64_t testLimit = 120000;

// Each line of the cases file: name | FEN | depth:leaves ...
TEST(Perft, PublishedCounts) {
    std::ifstream file(BRISOLT_PERFT_CASES);
    int cases = 0, checked = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name, fenText, count;
        std::getline(fields, name, '|');
        std::getline(fields, fenText, '|');
        const auto position = objReadFen(fenText.substr(1, fenText.size() - 2));
        ++cases;
        while (fields >> count) {
            const int depth = std::stoi(count);
            const std::uint64_t expected = std::stoull(count.substr(count.find(':') + 1));
            if (expected > testLimit) continue;
            EXPECT_EQ(lngPerft(position, depth), expected) << name << "depth " << depth;
            ++checked;
        }
    }
    EXPECT_GE(cases, 20) << "cases file " << BRISOLT_PERFT_CASES;
    EXPECT_GT(checked, 60);
}

TEST(Perft, MovesAreListedInRuleOrderWithTheirPositions) {
    const std::pair<const char*, const char*> cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
         "a3 a4 b3 b4 c3 c4 d3 d4 e3 e4 f3 f4 g3 g4 h3 h4 Na3 Nc3 Nf3 Nh3 "},
        {"7k/P7/8/8/8/8/8/K7 w - -", "a8=Q a8=R a8=B a8=N Ka2 Kb1 Kb2 "},
        // castling follows the king's own moves, before the h-rook's
        {"r3k2r/8/8/8/8/8/8/4K3 b kq -", "Ra1 Rb8 Ra2 Rc8 Ra3 Rd8 Ra4 Ra5 Ra6 Ra7 Kd7 Kd8 Ke7 Kf7 "
                                         "Kf8 O-O O-O-O Rh1 Rh2 Rh3 Rh4 Rh5 Rf8 Rh6 Rg8 Rh7 "},
    };
    for (const auto& [fenText, expected] : cases) {
        const auto position = fen(fenText);
        std::string moves;
        for (const auto& legal : arrGetLegalMoves(position)) {
            moves += strMoveTextOf(*position, legal.move) + " ";
            EXPECT_EQ(legal.position->strMoveText(), strMoveTextOf(*position, legal.move));
        }
        EXPECT_EQ(moves, expected);
    }
}

} // namespace
