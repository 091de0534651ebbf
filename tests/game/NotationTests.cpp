#include "game/MoveText.h"
#include "game/Perft.h"
#include "game/UciMoves.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "tests/game/RulesTestSupport.h"
#include "tests/model/Checks.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

const char* const start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

TEST(Notation, WritingStoredTexts) {
    const std::tuple<const char*, CMove, const char*> cases[] = {
        {start, mv("P", "e2", "e4"), "Pe4"},
        {start, mv("N", "g1", "f3"), "Nf3"},
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - -", mv("P", "e4", "d5"), "Pexd5"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", mv("P", "e5", "d6"), "Pexd6"},
        {"3nk3/4P3/8/8/8/8/8/4K3 w - -", mv("P", "e7", "e8", "Q"), "Pe8=Q"},
        {"3nk3/4P3/8/8/8/8/8/4K3 w - -", mv("P", "e7", "d8", "N"), "Pexd8=N"},
        {"4k3/8/8/8/8/8/3p4/4K3 b - -", mv("p", "d2", "d1", "R"), "Pd1=R"},
        {"4k3/8/8/8/8/5N2/8/1N2K3 w - -", mv("N", "b1", "d2"), "Nbd2"},
        {"4k3/8/8/8/8/4R3/8/4R1K1 w - -", mv("R", "e1", "e2"), "R1e2"},
        {"4k3/8/8/8/8/4R3/8/4R1K1 w - -", mv("R", "e3", "a3"),
         "Ra3"}, // the other rook cannot go there
        {"7k/8/8/8/Q2p3Q/8/8/3QK3 w - -", mv("Q", "d1", "d4"), "Qd1xd4"},
        {"7k/8/8/8/Q6Q/8/8/3QK3 w - -", mv("Q", "a4", "a8"),
         "Qa4a8"}, // three queens: full square always
        {"4k3/8/8/8/8/8/4p3/4K3 w - -", mv("K", "e1", "e2"), "Kxe2"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", mv("K", "e1", "g1"), "O-O"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", mv("k", "e8", "c8"), "O-O-O"},
        // The other knight is pinned, yet the pseudo-legal test still adds the file.
        {"4k3/4r3/8/8/8/5N2/4N3/4K3 w - -", mv("N", "f3", "d4"), "Nfd4"},
        {"4k3/8/8/8/8/8/8/RR2K2R w - -", mv("R", "h1", "h5"), "Rh1h5"},
    };
    for (const auto& [fenText, move, text] : cases)
        EXPECT_EQ(fen(fenText)->strGetMoveNotation(move), text) << fenText;
}

TEST(Notation, ReadingMoves) {
    // expected: the FEN after the move, "" for nothing, the error a readable text no piece can play
    // raises
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {start, "e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3"},
        {start, "Pe4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3"},
        {start, "Nf3", "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq -"},
        {start, "Ng1-f3", "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq -"},
        {"4k3/8/8/3p4/2P1P3/8/8/4K3 w - -", "exd5", "4k3/8/8/3P4/2P5/8/8/4K3 b - -"},
        {"4k3/8/8/3p4/2P1P3/8/8/4K3 w - -", "cxd5", "4k3/8/8/3P4/4P3/8/8/4K3 b - -"},
        {"4k3/8/8/8/8/5N2/8/1N2K3 w - -", "Nbd2", "4k3/8/8/8/8/5N2/3N4/4K3 b - -"},
        {"4k3/8/8/8/8/5N2/8/1N2K3 w - -", "Nd2",
         "4k3/8/8/8/8/8/3N4/1N2K3 b - -"}, // first in diagram order
        // The first knight is pinned: the other one is meant.
        {"4k3/8/8/3b4/8/5N2/8/1N5K w - -", "Nd2", "4k3/8/8/3b4/8/5N2/3N4/7K b - -"},
        {"3k4/4P3/8/8/8/8/8/4K3 w - -", "e8=Q", "3kQ3/8/8/8/8/8/8/4K3 b - -"},
        {"3k4/4P3/8/8/8/8/8/4K3 w - -", "e8Q", "3kQ3/8/8/8/8/8/8/4K3 b - -"},
        {"3k4/4P3/8/8/8/8/8/4K3 w - -", "e8=N+", "3kN3/8/8/8/8/8/8/4K3 b - -"},
        {"3k4/4P3/8/8/8/8/8/4K3 w - -", "e8", ""}, // a pawn never stays on its last rank
        {"4k3/8/8/8/8/8/p7/4K3 b - -", "a1=N", "4k3/8/8/8/8/8/8/n3K3 w - -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "O-O+", "r3k2r/8/8/8/8/8/8/R4RK1 b kq -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "O-O-O#", "r3k2r/8/8/8/8/8/8/2KR3R b kq -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "O-O", "r4rk1/8/8/8/8/8/8/R3K2R w KQ -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Qkq -", "O-O", ""},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "Ox", ""},
        {"7k/8/8/8/7Q/8/8/Q3r1K1 w - -", "Qh4xe1", "7k/8/8/8/8/8/8/Q3Q1K1 b - -"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "exd6", "4k3/8/3P4/8/8/8/8/4K3 b - -"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "exd6 e.p.", "4k3/8/3P4/8/8/8/8/4K3 b - -"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "exd6ep", "4k3/8/3P4/8/8/8/8/4K3 b - -"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "exd6 ep+", "4k3/8/3P4/8/8/8/8/4K3 b - -"},
        {start, "e", ""},
        {start, "Nf", ""},
        {start, "N3", ""},
        {"4k3/4r3/8/8/8/8/4N3/4K3 w - -", "Nc3", ""}, // the only knight is pinned
        // Texts that are not moves are refused, never guessed.
        {start, "Nf3e", ""},
        {start, "e4!x", ""},
        {start, "Nxf3", ""}, // nothing to take on f3
        {start, "e2xe4", ""},
        {start, "N-f3", ""},
        {start, "Ng1:f3", ""},
        {"4k3/8/8/8/8/5p2/8/4K1N1 w - -", "Ng1:f3", "4k3/8/8/8/8/5N2/8/4K3 b - -"},
        {start,
         "\xE2\x99\x98"
         "f3",
         "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq -"},
        {"3k4/4P3/8/8/8/8/8/4K3 w - -", "e8=q", "3kQ3/8/8/8/8/8/8/4K3 b - -"},
        {"3k4/4P3/8/8/8/8/8/4K3 w - -", "e8=K", ""},
        {start, "e5", "CPosition 9999: No Move e5"},
        {start, "Nd4", "CPosition 9999: No Move Nd4"},
        // a pawn without a file hint stays on its file
        {"4k3/8/8/3n4/8/8/3P4/4K3 w - -", "xd5", "CPosition 9999: No Move xd5"},
        {"4k3/8/8/8/8/8/8/4K3 w - -", "Qd1", "CPosition 9999: No Move Qd1"},
    };
    for (const auto& [fenText, text, expected] : cases) {
        const auto position = fen(fenText);
        std::shared_ptr<CPosition> after;
        const std::string error =
            ErrorOf([&] { after = position->objProcessMove(position, text); });
        EXPECT_EQ(after                 ? after->strGetFEN()
                  : error == "no error" ? ""
                                        : error,
                  expected)
            << fenText << " " << text;
        if (after) {
            EXPECT_EQ(after->strStoredMoveText().substr(0, std::string(text).size()), text);
        }
    }
}

TEST(Notation, ReadingNamesWhyATextIsNotAMove) {
    const std::tuple<const char*, const char*> cases[] = {
        {"Sf3", "unknown piece letter S"},
        {"Dxd1+", "unknown piece letter D"},
        {"Nf3x", "unreadable move"},
        {"Nf3 junk", "unreadable move"},
        {"0-0", "unreadable move"},
        {"Ke1g1h", "unreadable move"},
        {"Nxe4=Q", "unreadable move"},
        {"--", "unreadable move"},
        {"Nbd2", ""},
        {"exd6 e.p.", ""},
        {"O-O-O#", ""},
        {"Pe8=Q", ""},
        {"xd5", ""},
        {"Qh4xe1!?", ""},
    };
    for (const auto& [text, error] : cases)
        EXPECT_EQ(objReadMoveText(text).strError, error) << text;
}

// Reading a move hands back its locations; replaying a text refuses an unplayable one with
// nothing, where the reading raises.
TEST(Notation, ProcessMoveHandsBackTheLocationsAndReplayingRefusesQuietly) {
    const auto position = fen(start);
    std::shared_ptr<CPieceLocation> from, to;
    ASSERT_TRUE(position->objProcessMove2(position, "Nc3", from, to));
    EXPECT_EQ(from->strToString(), "White Nb1");
    EXPECT_EQ(to->strToString(), "White Nc3");
    std::shared_ptr<CPieceLocation> kept = from, ending;
    EXPECT_THROW(position->objProcessMove2(position, "Nd4", kept, ending), CError);
    EXPECT_EQ(kept, nullptr);
    ASSERT_TRUE(ending);
    EXPECT_EQ(ending->strToString(), "White Nd4");
    EXPECT_NE(position->objPlayMoveText("Nf3", from, to), nullptr);
    for (const char* text : {"Nd4", "Ke2", "zz", "", "e5"})
        EXPECT_EQ(position->objPlayMoveText(text, from, to), nullptr) << text;
}

TEST(Notation, WrittenTextReadsBackToTheSameMove) {
    for (const char* text :
         {start, "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
          "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
          "4k3/8/8/8/8/5N2/8/1N2K3 w - -", "7k/8/8/8/Q6Q/8/8/3QK3 w - -"}) {
        const auto position = fen(text);
        for (const auto& legal : arrGetLegalMoves(position)) {
            const auto read = position->objProcessMove(position, legal.position->strMoveText());
            ASSERT_TRUE(read) << text << " " << legal.position->strMoveText();
            EXPECT_EQ(read->strGetFEN(), legal.position->strGetFEN())
                << text << " " << legal.position->strMoveText();
        }
    }
}

TEST(UciMoves, PlayAndWriteBackForBothColours) {
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
