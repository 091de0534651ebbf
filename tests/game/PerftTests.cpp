#include "game/Perft.h"
#include "tests/game/RulesTestSupport.h"
#include "tests/model/Checks.h"

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

// The legal moves in the order the rules list them, each with its position.
std::string MovesOf(const std::string& text) {
    const auto position = fen(text);
    std::string moves;
    for (const auto& legal : arrGetLegalMoves(position)) {
        moves += strMoveTextOf(*position, legal.move) + " ";
        EXPECT_EQ(legal.position->strMoveText() + " ", strMoveTextOf(*position, legal.move) + " ");
    }
    return moves;
}

TEST(Perft, MovesAreListedWithTheirPositionsAndDivideAddsUp) {
    const auto start = fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    std::uint64_t total = 0;
    for (const auto& legal : arrGetLegalMoves(start))
        total += lngPerft(legal.position, 2);
    EXPECT_EQ(total, 8902u);
    EXPECT_EQ(lngPerft(start, 0), 1u);
    EXPECT_EQ(MovesOf("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"),
              "a3 a4 b3 b4 c3 c4 d3 d4 e3 e4 f3 f4 g3 g4 h3 h4 Na3 Nc3 Nf3 Nh3 ");
    EXPECT_EQ(MovesOf("7k/P7/8/8/8/8/8/K7 w - -"), "a8=Q a8=R a8=B a8=N Ka2 Kb1 Kb2 ");
    EXPECT_TRUE(Contains(MovesOf("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -"), " O-O O-O-O "));
    const auto mated = play(fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"),
                            {"f3", "e5", "g4", "Qh4"});
    ASSERT_TRUE(mated);
    EXPECT_TRUE(arrGetLegalMoves(mated).empty());
    EXPECT_EQ(lngPerft(mated, 3), 0u);
}

} // namespace
