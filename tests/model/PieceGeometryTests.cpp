#include "model/CPiece.h"
#include "model/CPieceColor.h"
#include "tests/model/ModelTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(PieceColor, SetterTrimsAndNormalisesAndTheOppositeIsTheOther) {
    const struct {
        const char* given;
        const char* stored;
    } cases[] = {{"  Black ", "Black"}, {"White", "White"}, {"black", "White"}, {"BLACK", "White"},
                 {"Red", "White"},      {"", "White"},      {" White", "White"}};
    for (const auto& c : cases) {
        const auto color = objNewPieceColor(c.given);
        EXPECT_EQ(color->strColor(), c.stored) << c.given;
        EXPECT_EQ(color->objOppositeColor()->objOppositeColor()->strToString(), c.stored);
        EXPECT_NE(color->objOppositeColor()->strToString(), c.stored);
    }
}

TEST(Piece, KindConstantsAndColouredPieces) {
    const struct {
        std::shared_ptr<CPiece> kind;
        const char* letter;
        std::shared_ptr<CChessPiece> white, black;
    } cases[] = {
        {CPiece::objPAWN(), "P", CChessPiece::objWHITE_PAWN(), CChessPiece::objBLACK_PAWN()},
        {CPiece::objKNIGHT(), "N", CChessPiece::objWHITE_KNIGHT(), CChessPiece::objBLACK_KNIGHT()},
        {CPiece::objBISHOP(), "B", CChessPiece::objWHITE_BISHOP(), CChessPiece::objBLACK_BISHOP()},
        {CPiece::objRook(), "R", CChessPiece::objWHITE_ROOK(), CChessPiece::objBLACK_ROOK()},
        {CPiece::objQUEEN(), "Q", CChessPiece::objWHITE_QUEEN(), CChessPiece::objBLACK_QUEEN()},
        {CPiece::objKing(), "K", CChessPiece::objWHITE_KING(), CChessPiece::objBLACK_KING()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.kind->strToString(), c.letter);
        EXPECT_EQ(c.kind->objGetChessPiece(CPieceColor::objWHITE()), c.white) << c.letter;
        EXPECT_EQ(c.kind->objGetChessPiece(CPieceColor::objBLACK()), c.black) << c.letter;
        EXPECT_EQ(c.kind->objGetChessPiece(nullptr), c.black) << "no colour counts as Black";
    }
    EXPECT_EQ(objNewPiece("X")->objGetChessPiece(CPieceColor::objWHITE()), nullptr);
}

TEST(Piece, CandidateSquaresInRuleOrder) {
    const struct {
        const char* kind;
        const char* color;
        const char* square;
        const char* expected;
    } cases[] = {
        {"P", "White", "e2", "e3 d3 f3 e4"},
        {"P", "White", "a2", "a3 b3 a4"},
        {"P", "White", "h5", "h6 g6"},
        {"P", "Black", "h7", "h6 g6 h5"},
        {"P", "Black", "e5", "e4 d4 f4"},
        {"P", "White", "e8", ""}, // a pawn on its last rank gets nothing off the board
        {"P", "Black", "d1", ""},
        {"N", "White", "g1", "e2 f3 h3"},
        {"N", "White", "a1", "b3 c2"},
        {"N", "Black", "b1", "a3 c3 d2"},
        {"B", "White", "c1", "a3 b2 d2 e3 f4 g5 h6"},
        {"B", "White", "b3", "a4 c2 d1 a2 c4 d5 e6 f7 g8"},
        {"R", "White", "e4", "a4 e1 b4 e2 c4 e3 d4 e5 f4 e6 g4 e7 h4 e8"},
        {"K", "White", "e1", "d1 d2 e2 f1 f2"},
        {"K", "Black", "h8", "g7 g8 h7"},
        {"X", "White", "e4", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names(objNewPiece(c.kind)->arrobjGetPossibleMoveSquares(
                      sq(c.square), objNewPieceColor(c.color))),
                  c.expected)
            << c.kind << " on " << c.square;
}

TEST(Piece, QueenListIsBishopThenRook) {
    const auto queen =
        CPiece::objQUEEN()->arrobjGetPossibleMoveSquares(sq("d4"), CPieceColor::objWHITE());
    EXPECT_EQ(queen.size(), 27u);
    EXPECT_EQ(
        CPiece::objQUEEN()->arrobjGetPossibleMoveSquares(sq("a1"), CPieceColor::objWHITE()).size(),
        21u);
    const auto bishop =
        CPiece::objBISHOP()->arrobjGetPossibleMoveSquares(sq("d4"), CPieceColor::objWHITE());
    const auto rook =
        CPiece::objRook()->arrobjGetPossibleMoveSquares(sq("d4"), CPieceColor::objWHITE());
    SquareArray joined = bishop;
    joined.insert(joined.end(), rook.begin(), rook.end());
    EXPECT_EQ(names(queen), names(joined));
}

TEST(Piece, TransitSquares) {
    const struct {
        const char* kind;
        const char* color;
        const char* from;
        const char* to;
        const char* expected;
    } cases[] = {
        {"P", "White", "e2", "e4", "e3 e4"},    {"P", "White", "e3", "e5", ""},
        {"P", "Black", "d7", "d5", "d6 d5"},    {"P", "White", "e4", "d5", "d5"},
        {"P", "White", "e4", "e3", ""},         {"P", "Black", "e4", "d3", "d3"},
        {"N", "White", "g1", "e2", "e2"},       {"N", "White", "g1", "g3", ""},
        {"R", "White", "a1", "a4", "a2 a3 a4"}, {"B", "White", "c1", "h6", "d2 e3 f4 g5 h6"},
        {"R", "White", "a1", "b2", ""},         {"Q", "Black", "h8", "a1", "g7 f6 e5 d4 c3 b2 a1"},
        {"B", "White", "e4", "e4", ""},         {"K", "White", "e4", "e4", "e4"},
        {"K", "White", "e1", "g1", "f1 g1"},    {"K", "White", "e2", "g2", ""},
        {"K", "Black", "e8", "c8", "d8 c8"},    {"K", "Black", "e1", "g1", ""},
        {"K", "White", "e1", "e3", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names(objNewPiece(c.kind)->arrobjGetTransitSquares(sq(c.from), sq(c.to),
                                                                     objNewPieceColor(c.color))),
                  c.expected)
            << c.kind << " " << c.from << "-" << c.to;
    EXPECT_TRUE(CPiece::objRook()
                    ->arrobjGetTransitSquares(nullptr, nullptr, CPieceColor::objWHITE())
                    .empty());
}

} // namespace
