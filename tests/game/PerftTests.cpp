#include "game/Perft.h"
#include "tests/game/RulesTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

struct PerftCase {
    std::string name, fen;
    std::vector<std::pair<int, std::uint64_t>> counts;
};

std::vector<PerftCase> readCases() {
    std::vector<PerftCase> cases;
    std::ifstream file(BRISOLT_PERFT_CASES);
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        PerftCase c;
        std::string part;
        std::getline(fields, c.name, '|');
        std::getline(fields, c.fen, '|');
        c.name = c.name.substr(0, c.name.find_last_not_of(' ') + 1);
        c.fen = c.fen.substr(c.fen.find_first_not_of(' '));
        c.fen = c.fen.substr(0, c.fen.find_last_not_of(' ') + 1);
        while (fields >> part) {
            const auto colon = part.find(':');
            c.counts.emplace_back(std::stoi(part.substr(0, colon)),
                                  std::stoull(part.substr(colon + 1)));
        }
        cases.push_back(c);
    }
    return cases;
}

// Counts small enough for the test suite; the deeper ones run in the benchmark.
constexpr std::uint64_t testLimit = 120000;

TEST(Perft, PublishedCounts) {
    const auto cases = readCases();
    ASSERT_GE(cases.size(), 20u) << "cases file " << BRISOLT_PERFT_CASES;
    int checked = 0;
    for (const auto& c : cases) {
        const auto position = objReadFen(c.fen);
        for (const auto& [depth, expected] : c.counts) {
            if (expected > testLimit) continue;
            EXPECT_EQ(lngPerft(position, depth), expected) << c.name << " depth " << depth;
            ++checked;
        }
    }
    EXPECT_GT(checked, 60);
}

TEST(Perft, DivideAddsUpAndNamesMoves) {
    const auto start = fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    const auto moves = arrGetLegalMoves(start);
    std::string texts;
    std::uint64_t total = 0;
    for (const auto& legal : moves) {
        texts += strMoveTextOf(*start, legal.move) + " ";
        total += lngPerft(legal.position, 2);
    }
    EXPECT_EQ(texts, "a3 a4 b3 b4 c3 c4 d3 d4 e3 e4 f3 f4 g3 g4 h3 h4 Na3 Nc3 Nf3 Nh3 ");
    EXPECT_EQ(total, 8902u);
    EXPECT_EQ(lngPerft(start, 0), 1u);
}

TEST(Perft, FinishedGamesHaveNoMoves) {
    const auto mated = play(fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"),
                            {"f3", "e5", "g4", "Qh4"});
    ASSERT_TRUE(mated);
    EXPECT_TRUE(arrGetLegalMoves(mated).empty());
    EXPECT_EQ(lngPerft(mated, 3), 0u);
    const auto moves = arrGetLegalMoves(fen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -"));
    std::string texts;
    for (const auto& legal : moves)
        texts += legal.position->strMoveText() + " ";
    EXPECT_NE(texts.find("O-O "), std::string::npos);
    EXPECT_NE(texts.find("O-O-O "), std::string::npos);
    const auto promotions = arrGetLegalMoves(fen("7k/P7/8/8/8/8/8/K7 w - -"));
    std::string promoted;
    for (const auto& legal : promotions)
        promoted += strMoveTextOf(*fen("7k/P7/8/8/8/8/8/K7 w - -"), legal.move) + " ";
    EXPECT_EQ(promoted, "a8=Q a8=R a8=B a8=N Ka2 Kb1 Kb2 ");
}

} // namespace
