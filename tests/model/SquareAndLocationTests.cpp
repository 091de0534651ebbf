#include "model/CError.h"
#include "model/CPiece.h"
#include "model/CPieceColor.h"
#include "model/ColPieceLocations.h"
#include "model/Utilities.h"
#include "tests/model/Checks.h"
#include "tests/model/ModelTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ChessPiece, LookupBySymbolAndBack) {
    const struct {
        const char* symbol;
        std::shared_ptr<CChessPiece> piece;
        const char* text;
        const char* symbolBack;
    } cases[] = {
        {"P", CChessPiece::objWHITE_PAWN(), "White P", "P"},
        {"p", CChessPiece::objBLACK_PAWN(), "Black P", "p"},
        {"k", CChessPiece::objBLACK_KING(), "Black K", "k"},
        {"Q", CChessPiece::objWHITE_QUEEN(), "White Q", "Q"},
        {"N", CChessPiece::objWHITE_KNIGHT(), "White N", "N"},
        {"e", CChessPiece::objEMPTY_SQUARE(), " ", "e"},
        {"x", CChessPiece::objEMPTY_SQUARE(), " ", "e"},
        {"", CChessPiece::objEMPTY_SQUARE(), " ", "e"},
        {"PP", CChessPiece::objEMPTY_SQUARE(), " ", "e"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CChessPiece::objGet(c.symbol), c.piece) << c.symbol;
        EXPECT_EQ(c.piece->strToString(), c.text) << c.symbol;
        EXPECT_EQ(c.piece->charGetDiagramSymbol(), c.symbolBack) << c.symbol;
    }
    // A piece made of a kind and a colour has its colour's symbol; an unknown kind is empty.
    EXPECT_EQ(
        objNewChessPiece(CPiece::objQUEEN(), CPieceColor::objBLACK(), "")->charGetDiagramSymbol(),
        "q");
    EXPECT_EQ(
        objNewChessPiece(objNewPiece("Z"), CPieceColor::objWHITE(), "")->charGetDiagramSymbol(),
        "e");
}

TEST(ChessSquare, LookupByNumbersAndTexts) {
    const auto e4 = CChessSquare::objGetSquare(4, 3);
    EXPECT_EQ(e4->strToString(), "e4");
    EXPECT_EQ(CChessSquare::objGetSquare("e", "4"), e4);
    EXPECT_EQ(CChessSquare::objGetSquare("E", "4"), e4);
    EXPECT_EQ(CChessSquare::objGetSquare("4", "3"), e4);
    const struct {
        const char* file;
        const char* rank;
    } bad[] = {{"8", "0"}, {"i", "1"}, {"e", "9"}, {"", ""}, {"4", "x"}, {"-1", "0"}};
    for (const auto& c : bad)
        EXPECT_EQ(ErrorOf([&] { CChessSquare::objGetSquare(c.file, c.rank); }),
                  "CChessSquare 9: Subscript out of range")
            << c.file << "," << c.rank;
    EXPECT_THROW(CChessSquare::objGetSquare(8, 0), CError);
    EXPECT_EQ(CChessSquare::objE8()->strToString(), "e8");
    EXPECT_EQ(CChessSquare::objQUEENSIDE_CASTLE_BLACK()->strToString(), "c8");
    EXPECT_EQ(CChessSquare::objKINGSIDE_CASTLE_WHITE(), CChessSquare::objGetSquare(6, 0));
}

TEST(ChessSquare, Relations) {
    const struct {
        const char* file;
        const char* rank;
        bool expected;
    } hints[] = {{"e", " ", true},  {" ", "4", true}, {" ", " ", true},
                 {"d", " ", false}, {"e", "4", true}, {"e", "5", false}};
    for (const auto& hint : hints)
        EXPECT_EQ(sq("e4")->isConsistantWith(hint.file, hint.rank), hint.expected)
            << "'" << hint.file << "' '" << hint.rank << "'";
    EXPECT_EQ(sq("d2")->charGetDistinguishingLocation(sq("d6")), "2");
    EXPECT_EQ(sq("b1")->charGetDistinguishingLocation(sq("f3")), "b");
    EXPECT_TRUE(sq("a1")->isDiagonal(sq("h8")));
    EXPECT_TRUE(sq("a1")->isDiagonal(sq("a1")));
    EXPECT_FALSE(sq("b1")->isDiagonal(sq("c3")));
    EXPECT_TRUE(sq("a1")->isSameFile(sq("a8")));
    EXPECT_FALSE(sq("a1")->isSameRank(sq("a8")));
    EXPECT_TRUE(sq("a1")->isDarkSquare());
    EXPECT_FALSE(sq("b1")->isDarkSquare());
    EXPECT_FALSE(sq("h1")->isDarkSquare());
    EXPECT_TRUE(sq("h8")->isDarkSquare());
    EXPECT_EQ(sq("c7")->charGetFileAsString() + sq("c7")->charGetRankAsString(), "c7");
}

TEST(ChessSquare, OwnTransitList) {
    const struct {
        const char* from;
        const char* to;
        const char* expected;
    } cases[] = {{"a1", "a4", "a2 a3 a4"},
                 {"h8", "a1", "g7 f6 e5 d4 c3 b2 a1"},
                 {"e4", "e4", ""},
                 {"e4", "d4", "d4"},
                 {"d4", "d1", "d3 d2 d1"}};
    for (const auto& c : cases)
        EXPECT_EQ(names(sq(c.from)->arrobjGetTransitSquares(sq(c.to))), c.expected);
    // Fresh squares equal the shared ones by name.
    EXPECT_EQ(objNewChessSquare(2, 5)->strToString(), "c6");
    EXPECT_EQ(objNewChessSquare(2, 5)->objGetEmptyLocation()->strToString(), " c6");
}

TEST(PieceLocation, TextAndEquality) {
    EXPECT_EQ(at("K", "e1")->strToString(), "White Ke1");
    EXPECT_EQ(sq("e4")->objGetEmptyLocation()->strToString(), " e4");
    EXPECT_TRUE(at("K", "e1")->isEqual(at("K", "e1")));
    EXPECT_FALSE(at("K", "e1")->isEqual(at("K", "e2")));
    EXPECT_FALSE(at("K", "e1")->isEqual(at("k", "e1")));
    EXPECT_FALSE(at("K", "e1")->isEqual(nullptr));
    const auto kind =
        objNewPieceLocationOfKind(sq("d5"), CPiece::objKNIGHT(), CPieceColor::objBLACK());
    EXPECT_EQ(kind->objPiece(), CChessPiece::objBLACK_KNIGHT());
    EXPECT_EQ(kind->objGetColor(), CPieceColor::objBLACK());
    EXPECT_EQ(kind->objGetPieceValue(), CPiece::objKNIGHT());
}

TEST(PieceLocations, KeyedOrderedCollection) {
    ColPieceLocations collection;
    collection.Add(at("K", "e1"), "e1");
    collection.Add(at("q", "d8"), "d8");
    collection.Add(at("P", "a2"));
    EXPECT_EQ(collection.Count(), 3);
    EXPECT_EQ(collection.Item("e4"), nullptr);
    collection.Remove("e4");
    EXPECT_EQ(collection.Count(), 3);
    EXPECT_EQ(collection.Item(2)->strToString(), "Black Qd8");
    EXPECT_EQ(collection.Item(4), nullptr);
    EXPECT_EQ(collection.Item(0), nullptr);
    EXPECT_NE(ErrorOf([&] { collection.Add(at("R", "e1"), "e1"); }).find(" 457: "),
              std::string::npos);
    collection.Remove(1);
    EXPECT_EQ(collection.Item(1)->strToString(), "Black Qd8");
    EXPECT_EQ(collection.Item("e1"), nullptr);
    std::string seen;
    for (const auto& location : collection)
        seen += location->strToString() + ";";
    EXPECT_EQ(seen, "Black Qd8;White Pa2;");
}

TEST(Utilities, ArrayLengthAndCrc) {
    EXPECT_EQ(intArrayLength(SquareArray{}), 0);
    EXPECT_EQ(intArrayLength(CChessSquare::objEMPTY_ARRAY()), 0);
    EXPECT_EQ(intArrayLength(std::vector<int>{1, 2, 3}), 3);
    EXPECT_EQ(lngCrc16("123456789"), 28561);
    EXPECT_EQ(lngCrc16("123456789", -1), 0x6F91);
    EXPECT_EQ(lngCrc16("123456789xyz", 9), 28561);
    EXPECT_EQ(lngCrc16(""), 0xFFFF);
}

} // namespace
