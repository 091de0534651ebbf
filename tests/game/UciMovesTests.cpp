#include "game/UciMoves.h"
#include "tests/game/RulesTestSupport.h"
#include "tests/model/Checks.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

TEST(UciMoves, PlayAndWriteBackForBothColours) {
    const char* const start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
    const char* const corners = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -";
    const char* const cornersBlack = "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -";
    // text: the move text played, "" when the move is refused
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {start, "e2e4", "e4"},
        {start, "g1f3", "Nf3"},
        {start, "e7e5", ""}, // Black's pawn while White is to move
        {start, "e2e5", ""},
        {start, "e2e9", ""},
        {start, "z9e4", ""},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "e5d6", "exd6"},
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - -", "a1a8", "Ra8#"},
        {"4k3/P7/8/8/8/8/8/4K3 w - -", "a7a8x", ""},
        {"4k3/P7/8/8/8/8/8/4K3 w - -", "a7a8q", "a8=Q"},
        {"4k3/P7/8/8/8/8/8/4K3 w - -", "a7a8n", "a8=N"},
        {"4k3/P7/8/8/8/8/8/4K3 w - -", "a7a8", ""},      // a pawn on the last rank needs its piece
        {"4k3/8/8/8/8/8/p7/4K3 b - -", "a2a1r", "a1=R"}, // Black promotes on the first rank
        {"4k3/8/8/8/8/8/p7/4K3 b - -", "a2a1", ""},
        {"4k3/8/8/8/8/p7/8/4K3 b - -", "a3a2q", ""}, // no promotion before the last rank
        {corners, "e1g1", "O-O"},
        {corners, "e1c1", "O-O-O"},
        {cornersBlack, "e8g8", "O-O"},
        {cornersBlack, "e8c8", "O-O-O"},
    };
    for (const auto& [fenText, uci, text] : cases) {
        const auto position = fen(fenText);
        const auto next = objPlayUciMove(*position, uci);
        EXPECT_EQ(next ? next->strMoveText() : "", text) << fenText << " " << uci;
        if (next) {
            EXPECT_EQ(strUciOfMoveText(*position, text), uci) << fenText;
        }
    }
}

TEST(UciMoves, EngineFenDropsRightsThePiecesContradict) {
    const std::tuple<const char*, const char*> cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"},
        {"r3k3/8/8/8/8/8/8/4K2R b KQkq - 0 1", "r3k3/8/8/8/8/8/8/4K2R b Kq - 0 1"},
        {"4k3/8/8/8/8/8/8/R3K2R w - - 0 1", "4k3/8/8/8/8/8/8/R3K2R w - - 0 1"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"},
    };
    for (const auto& [fenText, engineFen] : cases)
        EXPECT_EQ(strEngineFen(*fen(fenText)), engineFen);
}

} // namespace
