#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "model/CPiece.h"
#include "model/CPieceColor.h"
#include "tests/model/Checks.h"
#include "tests/model/ModelTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(Move, PieceCodes) {
    EXPECT_EQ(CMove::intGetPieceValue(CPiece::objPAWN()), 1);
    EXPECT_EQ(CMove::intGetPieceValue(CPiece::objQUEEN()), 5);
    EXPECT_EQ(CMove::intGetPieceValue(objNewPiece("K")), 6);
    EXPECT_EQ(CMove::objGetPieceFromValue(4), CPiece::objRook());
    for (int value : {0, 7, -3})
        EXPECT_EQ(ErrorOf([&] { CMove::objGetPieceFromValue(value); }),
                  "CMove 9999: Value " + std::to_string(value) + " must be within range 1-6");
    EXPECT_EQ(ErrorOf([] { CMove::intGetPieceValue(objNewPiece("X")); }),
              "CMove 9999: Piece not specified");
}

TEST(Move, TransitSquares) {
    const struct {
        CMove move;
        const char* expected;
    } cases[] = {{mv("K", "e1", "g1"), "f1 g1"},
                 {mv("P", "e2", "e4"), "e3 e4"},
                 {mv("N", "g1", "f3"), "f3"},
                 {mv("R", "a1", "b3"), ""},
                 {mv("P", "e7", "e8", "Q"), "e8"}};
    for (const auto& c : cases)
        EXPECT_EQ(names(c.move.arrobjGetTransitSquares()), c.expected) << c.move.strToString();
}

TEST(Move, EqualityAndText) {
    EXPECT_TRUE(mv("N", "g1", "f3").isEqual(mv("N", "g1", "f3")));
    EXPECT_FALSE(mv("N", "g1", "f3").isEqual(mv("N", "g1", "h3")));
    EXPECT_FALSE(mv("N", "g1", "f3").isEqual(std::shared_ptr<CMove>()));
    const struct {
        CMove move;
        const char* text;
    } cases[] = {
        {mv("R", "h1", "f1"), "White O-O"},           {mv("r", "a8", "d8"), "Black O-O-O"},
        {mv("P", "e2", "e4"), "White Pe2-e4"},        {mv("n", "g8", "f6"), "Black Ng8-f6"},
        {mv("P", "e7", "e8", "Q"), "White Pe7-e8=Q"}, {CMove(), " null-null"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.move.strToString(), c.text);
    EXPECT_EQ(CMove::objBLACK_KINGSIDE_CASTLE_ROOK_MOVE()->strToString(), "Black O-O");
    EXPECT_EQ(CMove::objWHITE_QUEENSIDE_CASTLE_ROOK_MOVE(),
              CMove::objWHITE_QUEENSIDE_CASTLE_ROOK_MOVE());
}

TEST(Move, DetermineMoveBetweenDiagrams) {
    const auto initial = objNewInitialDiagram();
    const auto afterE4 = initial->objMove(mv("P", "e2", "e4"));
    const auto found = CMove::objDetermineMove(initial, afterE4);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->strToString(), "White Pe2-e4");
    EXPECT_EQ(CMove::objDetermineMove(initial, initial->objClone()), nullptr);

    const auto capture = objNewDiagram(
        cells("....k.../......../......../...p..../....P.../......../......../....K..."));
    const auto captured = capture->objMove(mv("P", "e4", "d5"));
    EXPECT_EQ(CMove::objDetermineMove(capture, captured)->strToString(), "White Pe4-d5");

    const auto castle = objNewDiagram(
        cells("....k.../......../......../......../......../......../......../....K..R"));
    const auto castled = castle->objMove(mv("K", "e1", "g1"))->objMove(mv("R", "h1", "f1"));
    EXPECT_EQ(CMove::objDetermineMove(castle, castled), nullptr);
}

TEST(GameStatus, ConstantsAndQuestions) {
    const struct {
        std::shared_ptr<CGameStatus> status;
        const char* text;
        bool inProgress, whiteOnMove, blackOnMove;
    } cases[] = {
        {CGameStatus::objNO_RESULT(), "No Result", false, false, false},
        {CGameStatus::objWHITE_TO_MOVE(), "White to move", true, true, false},
        {CGameStatus::objBLACK_TO_MOVE(), "Black to move", true, false, true},
        {CGameStatus::objWHITE_WINS(), "1-0 (Checkmate)", false, false, false},
        {CGameStatus::objBLACK_WINS(), "0-1 (Checkmate)", false, false, false},
        {CGameStatus::objBLACK_LOST_ON_TIME(), "1-0 (White wins on time)", false, false, false},
        {CGameStatus::objWHITE_LOST_ON_TIME(), "0-1 (Black wins on time)", false, false, false},
        {CGameStatus::objDRAWN_BY_50_MOVE_RULE(), "1/2-1/2 (50 move rule)", false, false, false},
        {CGameStatus::objDRAWN_BY_STALEMATE(), "1/2-1/2 (Stalemate)", false, false, false},
        {CGameStatus::objDRAWN_BY_INSUFFICIENT_MATERIAL(), "1/2-1/2 (Insufficient material)", false,
         false, false},
        {objNewGameStatus("White to move"), "White to move", true, true, false},
        {objNewGameStatus("white to move"), "white to move", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.status->strToString(), c.text);
        EXPECT_EQ(c.status->isInProgress(), c.inProgress) << c.text;
        EXPECT_EQ(c.status->isOnMove(CPieceColor::objWHITE()), c.whiteOnMove) << c.text;
        EXPECT_EQ(c.status->isOnMove(CPieceColor::objBLACK()), c.blackOnMove) << c.text;
    }
    EXPECT_EQ(CGameStatus::objFind("Black resigned"), CGameStatus::objBLACK_RESIGNED());
    EXPECT_EQ(CGameStatus::objFind("black resigned"), nullptr);
}

} // namespace
