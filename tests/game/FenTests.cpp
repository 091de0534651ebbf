#include "model/CDiagram.h"
#include "model/CError.h"
#include "tests/game/RulesTestSupport.h"
#include "tests/model/Checks.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

TEST(FenReader, LenientReaderReadsTheFourFieldsAndRefusesLikeTheBoard) {
    // written: the FEN written back, "" for nothing; number and text: of the position read
    const std::tuple<const char*, const char*, int, const char*> cases[] = {
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
         "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", 1, "e4"},
        {"4k3/8/8/8/8/8/8/4K3 w Kq -", "4k3/8/8/8/8/8/8/4K3 w Kq -", 0, "..."},
        {"4k3/8/8/8/8/8/8/4K3  w   -  -", "4k3/8/8/8/8/8/8/4K3 w - -", 0, "..."},
        {"4k3/8/8/8/8/8/8/4K3 x KQ e", "4k3/8/8/8/8/8/8/4K3 b KQ e3", 1, "e4"}, // not w: Black
        {"4k3/8/8/8/8/8/8/4K3 w - e6 12 40", "4k3/8/8/8/8/8/8/4K3 w - e6", 0, "e5"},
        {"4k3/8/8/8/8/8/8/4K3 w -", "", 0, ""},    // three fields
        {"4k3/8/8/8/8/8/8/4K2 w - -", "", 0, ""},  // 63 cells
        {" 4k3/8/8/8/8/8/8/4K3 w - -", "", 0, ""}, // leading space: empty placement
        {"", "", 0, ""},
    };
    for (const auto& [fenText, written, number, text] : cases) {
        const auto position = objTryReadFen(fenText);
        EXPECT_EQ(position ? position->strGetFEN() : "", written) << fenText;
        if (position) {
            EXPECT_EQ(position->intMoveNumber(), number) << fenText;
            EXPECT_EQ(position->strMoveText(), text) << fenText;
        }
    }
}

TEST(FenReader, StrictReaderNamesTheProblem) {
    // start: beginning of the message
    const std::tuple<const char*, const char*> cases[] = {
        {"", "FEN needs four fields"},
        {"4k3/8/8/8/8/8/8/4K3 w -", "FEN needs four fields"},
        {"4k3/8/8/8/8/8/8/4K2 w - -", "FEN placement must give 8 ranks of 8 squares"},
        {"4k3/8/8/8/8/8/8 w - -", "FEN placement must give 8 ranks of 8 squares"},
        {"4k4/8/8/8/8/8/8/4K3 w - -", "FEN rank 1 does not hold 8 squares"},
        {"4k3/8/8/8/8/8/8/4K3/8 w - -", "FEN placement must give 8 ranks of 8 squares"},
        {"4k3/8/8/8/8/8/8/4X3 w - -", "FEN placement may hold only"},
        {"4k3/8/8/8/8/8/8/4K3 white - -", "FEN side to move must be w or b"},
        {"4k3/8/8/8/8/8/8/4K3 w KX -", "FEN castling field must be"},
        {"4k3/8/8/8/8/8/8/4K3 w - e3", "FEN en-passant field must be"},
        {"4k3/8/8/8/8/8/8/4K3 b - z3", "FEN en-passant field must be"},
        {"4k3/8/8/8/8/8/8/8 w - -", "No white king in diagram"},
        {"8/8/8/8/8/8/8/4K3 b - -", "No black king in diagram"},
    };
    for (const auto& [fenText, start] : cases)
        EXPECT_EQ(MessageOf([&] { objReadFen(fenText); }).rfind(start, 0), 0u) << fenText;
}

TEST(FenReader, EnPassantRightOnEveryFileReadsBackAndCanBeTaken) {
    // The edge files matter: a file index off by one loses the right on a or h.
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        {"4k3/8/8/pP6/8/8/8/4K3 w - a6", 0, "bxa6", "4k3/8/P7/8/8/8/8/4K3 b - -"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", 3, "exd6", "4k3/8/3P4/8/8/8/8/4K3 b - -"},
        {"4k3/8/8/6Pp/8/8/8/4K3 w - h6", 7, "gxh6", "4k3/8/7P/8/8/8/8/4K3 b - -"},
        {"4k3/8/8/8/Pp6/8/8/4K3 b - a3", 0, "bxa3", "4k3/8/8/8/8/p7/8/4K3 w - -"},
        {"4k3/8/8/8/3Pp3/8/8/4K3 b - d3", 3, "exd3", "4k3/8/8/8/8/3p4/8/4K3 w - -"},
        {"4k3/8/8/8/6pP/8/8/4K3 b - h3", 7, "gxh3", "4k3/8/8/8/8/7p/8/4K3 w - -"},
    };
    for (const auto& [fenText, file, capture, after] : cases) {
        const auto position = objReadFen(fenText);
        EXPECT_EQ(position->intEnPassantFile(), file) << fenText;
        EXPECT_EQ(position->strGetFEN(), fenText);
        const auto taken = position->objProcessMove(position, capture);
        ASSERT_TRUE(taken) << fenText;
        EXPECT_EQ(taken->strGetFEN(), after) << fenText;
        EXPECT_EQ(position->strGetFEN(), fenText) << "the position moved from is unchanged";
    }
}

TEST(FenReader, OddPositionsNeverCrashTheRules) {
    // Hand-made positions: pawns on the edge ranks, the side not to move in check, extra kings.
    for (const char* text :
         {"P3k2p/8/8/8/8/8/8/p3K2P w - -", "4k3/8/8/8/8/8/8/4K2R w KQkq -",
          "4k3/4R3/8/8/8/8/8/4K3 w - -", "4k3/8/8/8/8/8/8/KK2K3 b - -",
          "k7/8/8/8/8/8/8/7K w KQkq a6", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq h3"}) {
        const auto position = objReadFen(text);
        ASSERT_TRUE(position) << text;
        for (const char* move : {"a8", "h1=Q", "O-O", "O-O-O", "Kxe8", "Rxe8", "axb6", "Kd2"}) {
            try {
                position->objProcessMove(position, move);
            } catch (const CError& error) {
                EXPECT_EQ(std::string(error.what()), std::string("No Move ") + move);
            }
        }
    }
}

} // namespace
