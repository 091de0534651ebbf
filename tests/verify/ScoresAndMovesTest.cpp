// Engine scores and the conversion between move texts and the UCI forms.
#include "engine/EngineScore.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/UciMoves.h"

#include <gtest/gtest.h>

namespace {

TEST(EngineScore, OrdersFromWorstToBestForTheSideToMove) {
    // Worst first: mated at once, mated later, losing, equal, winning, mating later, mating now.
    const EngineScore ordered[] = {{true, -1},   {true, -5}, {false, -300}, {false, 0},
                                   {false, 900}, {true, 4},  {true, 1}};
    for (size_t i = 0; i + 1 < std::size(ordered); ++i)
        EXPECT_LT(ordered[i].lngRank(), ordered[i + 1].lngRank())
            << ordered[i].strText() << " vs " << ordered[i + 1].strText();
}

TEST(EngineScore, TextsAndClearWins) {
    const struct {
        EngineScore score;
        const char* text;
        bool clearWin;
    } cases[] = {{{false, 125}, "+1.25", false}, {{false, -40}, "-0.40", false},
                 {{false, 0}, "+0.00", false},   {{false, 200}, "+2.00", true},
                 {{false, -7}, "-0.07", false},  {{true, 3}, "#3", true},
                 {{true, -2}, "#-2", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.score.strText(), c.text);
        EXPECT_EQ(c.score.isClearWin(200), c.clearWin) << c.text;
        EXPECT_EQ(c.score.objNegated().objNegated().strText(), c.text);
    }
}

TEST(UciMoves, ConvertBothWays) {
    const struct {
        const char* fen;
        const char* uci;
        const char* text; // the program's move text; "" when the move is refused
    } cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "e2e4", "e4"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "g1f3", "Nf3"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", "O-O"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", "O-O-O"},
        {"8/4P3/8/8/8/8/k7/4K3 w - - 0 1", "e7e8q", "e8=Q"},
        {"8/4P3/8/8/8/8/k7/4K3 w - - 0 1", "e7e8n", "e8=N"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "exd6"},
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "a1a8", "Ra8#"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "e2e5", ""},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "e7e5", ""},
        {"8/4P3/8/8/8/8/k7/4K3 w - - 0 1", "e7e8", ""},
        {"8/4P3/8/8/8/8/k7/4K3 w - - 0 1", "e7e8x", ""},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "z9e4", ""},
    };
    for (const auto& c : cases) {
        auto position = objReadFen(c.fen);
        auto next = objPlayUciMove(*position, c.uci);
        if (std::string(c.text).empty()) {
            EXPECT_EQ(next, nullptr) << c.uci;
            continue;
        }
        ASSERT_NE(next, nullptr) << c.uci;
        EXPECT_EQ(next->strMoveText(), c.text) << c.uci;
        EXPECT_EQ(strUciOfMoveText(*position, c.text), c.uci) << c.text;
    }
}

TEST(UciMoves, EngineFenDropsRightsThePiecesContradict) {
    const struct {
        const char* fen;
        const char* engineFen;
    } cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"},
        {"r3k3/8/8/8/8/8/8/4K2R b KQkq - 0 1", "r3k3/8/8/8/8/8/8/4K2R b Kq - 0 1"},
        {"4k3/8/8/8/8/8/8/R3K2R w - - 0 1", "4k3/8/8/8/8/8/8/R3K2R w - - 0 1"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(strEngineFen(*objReadFen(c.fen)), c.engineFen);
}

} // namespace
