#include "game/Perft.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "tests/game/RulesTestSupport.h"
#include "tests/model/Checks.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

namespace {

const char* const start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

TEST(Legality, IsLegalMove) {
    const std::tuple<const char*, CMove, bool> cases[] = {
        {start, mv("P", "e2", "e4"), true},
        {start, mv("N", "g1", "f3"), true},
        {start, mv("P", "e2", "e5"), false},
        {start, mv("N", "g1", "g3"), false},
        {start, mv("R", "a1", "a3"), false},
        {start, mv("p", "e7", "e5"), false},                           // Black piece, White to move
        {start, mv("B", "c1", "e3"), false},                           // blocked by d2
        {"4k3/8/8/4p3/4P3/8/8/4K3 w - -", mv("P", "e4", "e5"), false}, // straight onto a piece
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - -", mv("P", "e4", "d5"), true},
        {"4k3/8/8/8/4P3/8/8/4K3 w - -", mv("P", "e4", "d5"), false}, // diagonal onto nothing
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", mv("P", "e5", "d6"), true},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - -", mv("P", "e5", "d6"), false},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - f6", mv("P", "e5", "d6"), false},
        {"4k3/8/8/2p1P3/8/8/8/4K3 w - d6", mv("P", "e5", "d6"), false}, // no pawn to take
        {"4k3/8/8/8/3Pp3/8/8/4K3 b - d3", mv("p", "e4", "d3"), true},
        {"4k3/8/8/8/4K3/8/8/8 w - -", mv("K", "e4", "e4"), false},
        {"4k3/8/8/8/3rK3/8/8/8 w - -", mv("K", "e4", "d4"), true}, // king safety is not judged here
        {"4k3/4r3/8/8/8/8/4N3/4K3 w - -", mv("N", "e2", "c3"), true}, // pinned, still accepted
        {"4k3/8/8/8/8/8/8/4RK2 w - -", mv("R", "e1", "e8"), false},   // a king is never captured
        {"4k3/8/8/8/8/8/8/4RK2 w - -", mv("K", "f1", "f1", "Q"), false},
    };
    for (const auto& [fenText, move, legal] : cases)
        EXPECT_EQ(fen(fenText)->isLegalMove(move), legal) << fenText << " " << move.strToString();
    // The pinned knight passes that test, yet moving it gives nothing.
    const auto position = fen("4k3/4r3/8/8/8/8/4N3/4K3 w - -");
    EXPECT_EQ(position->objMove1(mv("N", "e2", "c3")), nullptr);
    EXPECT_FALSE(position->isFullyLegal(mv("N", "e2", "c3")));
    EXPECT_TRUE(position->isFullyLegal(mv("K", "e1", "d1")));
}

TEST(Legality, Castling) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"4k3/8/8/8/8/8/8/4K2R w K -", "g1", true},
        {"4k3/8/8/8/8/8/8/4K2R w - -", "g1", false},   // right lost
        {"4k3/8/8/8/8/8/4r3/4K2R w K -", "g1", false}, // in check
        {"4kr2/8/8/8/8/8/8/4K2R w K -", "g1", false},  // f1 attacked
        {"4k1r1/8/8/8/8/8/8/4K2R w K -", "g1", false}, // g1 attacked
        {"4k3/8/8/8/8/8/8/4KN1R w K -", "g1", false},  // f1 occupied
        {"1r2k3/8/8/8/8/8/8/R3K3 w Q -", "c1", true},  // only b1 attacked
        {"3rk3/8/8/8/8/8/8/R3K3 w Q -", "c1", false},  // d1 attacked
        {"4k3/8/8/8/8/8/8/RN2K3 w Q -", "c1", false},  // b1 occupied
        {"4k3/8/8/8/8/8/8/4K3 w K -", "g1", false},    // no rook on h1
        {"4k3/8/8/8/8/8/8/4K2r w K -", "g1", false},   // the corner rook is Black's
        {"4k3/8/8/8/8/8/8/3K3R w K -", "g1", false},   // king not at home
        {"r3k3/8/8/8/8/8/8/4K3 b q -", "c8", true},
        {"r3k3/8/8/8/8/8/8/4K3 b q -", "g8", false},
        {"r3k3/8/8/8/8/8/B7/4K3 b q -", "c8", true},   // the bishop on a2 eyes g8, not c8-e8
        {"r3k3/8/8/8/8/8/8/2R1K3 b q -", "c8", false}, // c8 attacked
    };
    for (const auto& [fenText, destination, allowed] : cases)
        EXPECT_EQ(fen(fenText)->isCastlingOK(sq(destination)), allowed)
            << fenText << " to " << destination;
    const auto position = fen("r3k2r/8/8/8/8/8/8/R3K2R w Kq -");
    EXPECT_FALSE(position->isCastlingForfeited(sq("g1")));
    EXPECT_TRUE(position->isCastlingForfeited(sq("c1")));
    EXPECT_TRUE(position->isCastlingForfeited(sq("g8")));
    EXPECT_FALSE(position->isCastlingForfeited(sq("c8")));
    for (const char* square : {"e1", "h1", "b8"})
        EXPECT_EQ(MessageOf([&] { position->isCastlingOK(sq(square)); }),
                  "Invalid Castling destination");
}

TEST(Legality, MateAndStalemate) {
    const std::tuple<const char*, std::vector<std::string>, std::shared_ptr<CGameStatus>,
                     const char*>
        cases[] = {
            {start, {"f3", "e5", "g4", "Qh4"}, CGameStatus::objBLACK_WINS(), "Qh4#"},
            {"6k1/5ppp/8/8/8/8/8/R5K1 w - -", {"Ra8"}, CGameStatus::objWHITE_WINS(), "Ra8#"},
            {"6k1/5ppp/8/8/4b3/8/8/R5K1 w - -", {"Ra8"}, CGameStatus::objBLACK_TO_MOVE(), "Ra8"},
            {"7k/4Q3/6K1/8/8/8/8/8 w - -", {"Qf7"}, CGameStatus::objDRAWN_BY_STALEMATE(), "Qf7"},
            {"7k/4Q3/6K1/8/8/8/8/8 w - -", {"Qe8"}, CGameStatus::objWHITE_WINS(), "Qe8#"},
            // The check by a pawn's double step is parried by taking it en passant, from the edge
            // file too: not mate; without the pawn to take it, mate.
            {"4r2k/2p5/q2p4/3P4/3K4/r7/8/8 b - -", {"c5"}, CGameStatus::objWHITE_TO_MOVE(), "c5"},
            {"k3r3/6p1/5p2/r6P/5K2/r7/8/3q4 b - -", {"g5"}, CGameStatus::objWHITE_TO_MOVE(), "g5"},
            {"k3r3/6p1/5p2/r7/5K2/r7/8/3q4 b - -", {"g5"}, CGameStatus::objBLACK_WINS(), "g5#"},
        };
    for (const auto& [fenText, moves, status, lastText] : cases) {
        auto after = fen(fenText);
        for (const std::string& move : moves)
            ASSERT_TRUE(after = after->objProcessMove(after, move)) << fenText << " " << move;
        EXPECT_EQ(after->objStatus()->strToString(), status->strToString())
            << fenText << " " << after->strGetFEN();
        EXPECT_EQ(after->strMoveText(), lastText) << fenText;
    }
}

TEST(Legality, IsMatedOnAGivenPosition) {
    const std::tuple<const char*, bool> cases[] = {
        {"7k/8/8/8/8/1n6/PP6/K1rR4 w - -", true}, // double check: taking one checker is no help
        {"7k/8/8/8/8/8/PP6/K1rR4 w - -", false},  // single check: Rxc1
        {"7k/8/8/8/8/8/PP6/KRr5 w - -", false},   // no check at all
        {"k7/8/1Q6/8/8/8/8/K7 b - -", false},     // stalemate is not mate
        {"kQ6/2K5/8/8/8/8/8/8 b - -", true},      {"kQ6/8/1K6/8/8/8/8/8 b - -", false},  // Kxb8
        {"k7/1Q6/1K6/8/8/8/8/8 b - -", true},     {"k7/1Q6/3K4/8/8/8/8/8 b - -", false}, // Kxb7
        {"k7/8/1Q6/8/8/8/1r6/R5K1 b - -", false}, // Ra2 interposes
        {"k7/8/1Q6/8/8/8/8/R5K1 b - -", true},
    };
    for (const auto& [fenText, mated] : cases) {
        const auto position = fen(fenText);
        EXPECT_EQ(position->isMated(), mated) << fenText;
        EXPECT_EQ(position->objStatus()->isInProgress(), !mated) << fenText;
    }
    const auto over = fen("4k3/8/8/8/8/8/8/4K3 w - -");
    over->objStatus(CGameStatus::objWHITE_WINS());
    EXPECT_TRUE(over->isMated());
    over->objStatus(CGameStatus::objDRAWN_BY_STALEMATE());
    EXPECT_FALSE(over->isMated());
}

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
