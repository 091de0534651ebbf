// Positions: move texts, moves and castling rights, construction, equality, and FEN reading.
#include "game/PositionConstructors.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "tests/game/RulesTestSupport.h"
#include "tests/model/Checks.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

TEST(Position, MoveTextGetterHidesPawnLetterAndCheck) {
    const std::tuple<const char*, const char*> cases[] = {
        {"Pe4+", "e4"}, {"Qxf7#", "Qxf7#"}, {"Pexd8=Q+", "exd8=Q"},
        {"...", "..."}, {"O-O+", "O-O"},    {"P.+..", "..."},
        {"..", ".."},   {"....", "...."},   {"", ""}};
    for (const auto& [stored, shown] : cases) {
        CPosition position;
        position.strMoveText(stored);
        EXPECT_EQ(position.strMoveText(), shown);
        EXPECT_EQ(position.strStoredMoveText(), stored);
        // A start position is known by the text the getter shows.
        EXPECT_EQ(position.isStartPosition(), std::string(shown) == "...") << stored;
    }
}

TEST(Position, StartPositionAndMoveNumbers) {
    const auto start = objNewStartPosition();
    EXPECT_EQ(start->strGetFEN(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    EXPECT_EQ(start->strMoveText(), "...");
    EXPECT_EQ(start->intMoveNumber(), 0);
    EXPECT_EQ(CPosition::objINITIAL_POSITION(), CPosition::objINITIAL_POSITION());
    EXPECT_TRUE(CPosition::objINITIAL_POSITION()->isEqual(start));
    // A move numbers itself: White's counts on from the move before, Black's keeps it.
    const auto next = start->objMove1(mv("P", "e2", "e4"));
    EXPECT_EQ(next->objStatus(), CGameStatus::objBLACK_TO_MOVE());
    const auto reply = next->objMove1(mv("n", "g8", "f6"));
    EXPECT_EQ(reply->intMoveNumber(), 1);
    EXPECT_EQ(reply->objMove1(mv("N", "g1", "f3"))->intMoveNumber(), 2);
}

TEST(Position, CastlingMovesTheRookAndMovesForfeitRights) {
    const std::string corners = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -";
    const std::string black = "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -";
    const std::tuple<std::string, CMove, const char*> cases[] = {
        {corners, mv("K", "e1", "g1"), "r3k2r/8/8/8/8/8/8/R4RK1 b kq -"},
        {corners, mv("K", "e1", "c1"), "r3k2r/8/8/8/8/8/8/2KR3R b kq -"},
        {black, mv("k", "e8", "g8"), "r4rk1/8/8/8/8/8/8/R3K2R w KQ -"},
        {black, mv("k", "e8", "c8"), "2kr3r/8/8/8/8/8/8/R3K2R w KQ -"},
        {corners, mv("R", "h1", "h5"), "r3k2r/8/8/7R/8/8/8/R3K3 b Qkq -"},
        {corners, mv("R", "a1", "a5"), "r3k2r/8/8/R7/8/8/8/4K2R b Kkq -"},
        {corners, mv("K", "e1", "e2"), "r3k2r/8/8/8/8/8/4K3/R6R b kq -"},
        // A capture on a corner forfeits both corners' rights.
        {corners, mv("R", "a1", "a8"), "R3k2r/8/8/8/8/8/8/4K2R b Kk -"},
        {corners, mv("R", "h1", "h8"), "r3k2R/8/8/8/8/8/8/R3K3 b Qq -"},
        {black, mv("r", "h8", "h1"), "r3k3/8/8/8/8/8/8/R3K2r w Qq -"},
    };
    for (const auto& [fenText, move, expected] : cases) {
        const auto position = fen(fenText);
        const auto after = position->objMove1(move);
        ASSERT_TRUE(after) << move.strToString();
        EXPECT_EQ(after->strGetFEN(), expected) << move.strToString();
        EXPECT_EQ(position->strGetFEN(), fenText) << "the position moved from is unchanged";
    }
    EXPECT_EQ(fen(black)->objMove1(mv("k", "e8", "c8"))->strMoveText(), "O-O-O");
}

TEST(Position, AfterAResultBlackMovesAndWhiteKeepsTheNumber) {
    const auto position = fen("4k3/8/8/8/8/8/8/4K3 w - -");
    position->objStatus(CGameStatus::objWHITE_WINS());
    position->intMoveNumber(7);
    EXPECT_FALSE(position->isLegalMove(mv("K", "e1", "d1")));
    EXPECT_TRUE(position->isLegalMove(mv("k", "e8", "d8")));
    const auto next = position->objMove2(mv("k", "e8", "d8"), "Kd8");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->objStatus(), CGameStatus::objWHITE_TO_MOVE());
    EXPECT_EQ(next->intMoveNumber(), 7);
}

TEST(Position, NewPositionChecksItsArgumentsAndKeepsTheDiagram) {
    const auto diagram = objNewInitialDiagram();
    const auto white = CGameStatus::objWHITE_TO_MOVE();
    const std::vector<bool> none(4, false);
    const std::tuple<std::shared_ptr<CDiagram>, std::shared_ptr<CGameStatus>, int,
                     std::vector<bool>, const char*>
        cases[] = {
            {diagram, CGameStatus::objWHITE_WINS(), 0, none, "gameStatus"},
            {diagram, nullptr, 0, none, "gameStatus"},
            {nullptr, white, 0, none, "Diagram is null"},
            {diagram, white, -1, none, "Movenum cannot be negative"},
            {diagram,
             white,
             0,
             {true, true, true},
             "castlingPrivledges array parameter must have a length of 4"},
            {nullptr, CGameStatus::objNO_RESULT(), -1, {}, "gameStatus"},
        };
    for (const auto& [given, status, number, forfeits, message] : cases)
        EXPECT_EQ(ErrorOf([&] { objNewPosition(given, status, number, forfeits, " "); }),
                  std::string("CPosition 9999: ") + message);
    const auto noFile = objNewPosition(diagram, white, 3, {true, false, false, true}, "x");
    EXPECT_EQ(noFile->intEnPassantFile(), -1);
    EXPECT_EQ(noFile->strMoveText(), "...");
    EXPECT_EQ(noFile->objDiagram(), diagram) << "the diagram itself is kept";
    EXPECT_EQ(noFile->strGetFEN(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Qk -");
    const auto file = objNewPosition(diagram, CGameStatus::objBLACK_TO_MOVE(), 1, none, "d");
    EXPECT_EQ(file->intEnPassantFile(), 3);
    EXPECT_EQ(file->strMoveText(), "d4");
    EXPECT_EQ(objNewPosition(diagram, white, 1, none, "c")->strMoveText(), "c5");
    EXPECT_THROW(file->isKCastleForfeited(2), CError);
    // Setting rights and the en-passant file shows in the FEN; a file off the board shows none.
    file->isKCastleForfeited(0, true);
    file->isQCastleForfeited(1, true);
    file->intEnPassantFile(0);
    EXPECT_EQ(file->strGetFEN(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b Qk a3");
    file->intEnPassantFile(9);
    EXPECT_EQ(file->strGetFEN(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b Qk -");
}

TEST(Position, EqualityIgnoresNumberAndTextAndClonesShareNothingMutable) {
    const auto a = fen("4k3/8/8/8/8/8/8/4K3 w - -");
    const auto b = fen("4k3/8/8/8/8/8/8/4K3 w - -");
    b->intMoveNumber(12);
    b->strMoveText("Kd2");
    EXPECT_TRUE(a->isEqual(b));
    const auto forfeit = fen("4k3/8/8/8/8/8/8/4K3 w - -");
    forfeit->isQCastleForfeited(1, false);
    for (const auto& other :
         {fen("4k3/8/8/8/8/8/8/4K3 b - -"), fen("4k3/8/8/8/8/8/8/3K4 w - -"),
          fen("4k3/8/8/8/8/8/8/4K3 w - e6"), forfeit, std::shared_ptr<CPosition>()})
        EXPECT_FALSE(a->isEqual(other)) << (other ? other->strGetFEN() : "nothing");
    const auto copy = b->objClone();
    EXPECT_TRUE(copy->isEqual(b));
    EXPECT_EQ(copy->strStoredMoveText(), "Kd2");
    EXPECT_EQ(copy->intMoveNumber(), 12);
    copy->objDiagram()->objRemove(sq("e1"));
    EXPECT_EQ(b->objDiagram()->colMap().Count(), 2);
}

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
