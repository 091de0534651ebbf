#include "model/Attacks.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CPieceColor.h"
#include "model/PieceCodes.h"
#include "model/Utilities.h"
#include "tests/model/Checks.h"
#include "tests/model/ModelTestSupport.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <tuple>

namespace {

const std::string initialText = "rnbqkbnrpppppppp" + std::string(32, 'e') + "PPPPPPPPRNBQKBNR";

TEST(Diagram, ReadsAndWritesTheInitialText) {
    const auto diagram = objNewDiagram(initialText);
    EXPECT_EQ(diagram->colMap().Count(), 32);
    EXPECT_EQ(diagram->objWhiteKingSquare()->strToString(), "e1");
    EXPECT_EQ(diagram->objBlackKingSquare()->strToString(), "e8");
    EXPECT_EQ(diagram->lngCheckSum(), 3790);
    EXPECT_EQ(objNewInitialDiagram()->strToString(), initialText);
    EXPECT_EQ(objNewInitialDiagram()->lngCheckSum(), 3790);
    // Text order is a8 first; the initial diagram is a1 first.
    EXPECT_EQ(diagram->colMap().Item(1)->strToString(), "Black Ra8");
    EXPECT_EQ(objNewInitialDiagram()->colMap().Item(17)->strToString(), "Black Ra8");
    EXPECT_EQ(diagram->colMap().Item("e1")->strToString(), "White Ke1");
    EXPECT_EQ(diagram->strTagValue(), "[Diagram \"" + initialText + "\"]");
    EXPECT_EQ(objNewDiagram(diagram->strTagValue())->strToString(), initialText);
    // A FEN placement as diagram text.
    std::string afterE4 = initialText;
    afterE4[52] = 'e';
    afterE4[36] = 'P';
    EXPECT_EQ(CDiagram::strFenToDiagram("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR"), afterE4);
    EXPECT_EQ(CDiagram::strFenToDiagram("8/8/8/8/8/8/8/8"), std::string(64, 'e'));
    EXPECT_EQ(CDiagram::strFenToDiagram("9"), std::string(9, 'e'));
    EXPECT_EQ(CDiagram::strFenToDiagram("k0x/K"), "kK");
}

TEST(Diagram, TextAndCheckSumFollowTheBoard) {
    // Boards from nearly empty to full, with pieces taken off again, so that every piece stands
    // on every square in some of them.
    std::uint32_t seed = 1;
    for (int round = 0; round < 300; ++round) {
        CDiagram diagram;
        for (int square = 0; square < 64; ++square) {
            seed = seed * 1103515245u + 12345u;
            const int code = int((seed >> 16) % std::uint32_t(BlackKingCode + 1 + round % 50));
            if (code != EmptyCode && code <= BlackKingCode) diagram.addInPlace(square, code);
        }
        for (int square = round % 7; square < 64; square += 9)
            diagram.removeInPlace(square);
        std::string expected;
        for (int rank = Rank8; rank >= Rank1; --rank)
            for (int file = FileA; file <= FileH; ++file)
                expected += symbolOfCode(diagram.intCodeAt(squareOf(file, rank)));
        EXPECT_EQ(diagram.strText(), expected);
        EXPECT_EQ(diagram.lngCheckSum(), lngCrc16(expected)) << expected;
    }
}

TEST(Diagram, ReadingErrors) {
    std::string tenthX = initialText;
    tenthX[9] = 'x';
    const std::string shortText = initialText.substr(0, 63);
    const std::string shortTag = "[Diagram \"" + shortText + "\"]";
    std::string noKings = initialText;
    noKings[4] = 'e';
    noKings[60] = 'e';
    std::string noBlackKing = initialText;
    noBlackKing[4] = 'e';
    const std::tuple<std::string, std::string> cases[] = {
        {shortText, "Wrong number of elements in diagram; expected 64, found 63 in " + shortText},
        {shortTag, "Wrong number of elements in diagram; expected 64, found 75 in " + shortTag},
        {"", "Wrong number of elements in diagram; expected 64, found 0 in "},
        {tenthX, "Illegal element in diagram at offset 9: x"},
        {noKings, "No white king in diagram"},
        {noBlackKing, "No black king in diagram"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(ErrorOf([&] { objNewDiagram(text); }), "CDiagram 9999: " + message);
    // Upper-case empty cells read as empty.
    std::string upper = initialText;
    for (int i = 16; i < 48; ++i)
        upper[i] = 'E';
    EXPECT_EQ(objNewDiagram(upper)->strToString(), initialText);
}

TEST(Diagram, AttackCountingErrorsTheKingSquareAndTheLastAttacker) {
    const auto color = CPieceColor::objWHITE();
    const std::tuple<const char*, int, int> cases[] = {
        // White king e1, black rook e8.
        {"....r.k./......../......../......../......../......../......../....K...", 1, 1},
        {"....r.k./......../......../......../....P.../......../......../....K...", 1, 0},
        {"......k./......../......../......../......../......../...p..../....K...", 1, 1},
        {"......k./......../......../......../......../......../....p.../....K...", 1, 0},
        {"....r.k./......../......../......../......../......../......n./....K...", 1, 1},
        {"....r.k./......../......../......../......../......../......n./....K...", 2, 2},
        {"......k./......../......../......../......../......../......../b...K...", 1, 0},
        {"......k./......../......../......../.......b/......../......../....K...", 2, 1},
    };
    for (const auto& [rows, limit, expected] : cases) {
        const auto diagram = objNewDiagram(cells(rows));
        EXPECT_EQ(diagram->intIsInCheck(nullptr, color, limit), expected) << rows;
    }
    const auto diagram = objNewInitialDiagram();
    EXPECT_EQ(ErrorOf([&] { diagram->intIsInCheck(nullptr, CPieceColor::objWHITE(), 3); }),
              "CDiagram 9999: Check limit value 3 not 1 or 2.");
    EXPECT_EQ(ErrorOf([&] { diagram->intIsInCheck(nullptr, nullptr, 1); }),
              "CDiagram 9999: Must Specify King Color");
    std::shared_ptr<CChessSquare> square;
    EXPECT_EQ(diagram->intIsInCheck(square, CPieceColor::objBLACK(), 1), 0);
    ASSERT_TRUE(square);
    EXPECT_EQ(square->strToString(), "e8");
    // Rook e8 comes before knight g2 in text order; with limit 2 the second is kept.
    const auto two = objNewDiagram(
        cells("....r.k./......../......../......../......../......../......n./....K..."));
    EXPECT_EQ(two->objGetAttackingLocation(CPieceColor::objWHITE())->strToString(), "Black Ng2");
    EXPECT_EQ(two->objGetAttackingLocation(CPieceColor::objBLACK()), nullptr);
}

TEST(Diagram, AttacksOnASquareByKingsAndEdgePawns) {
    // Kings e8 and e1; White pawns a2 and h2, Black pawns a7 and h7.
    const auto diagram = objNewDiagram(
        cells("....k.../p......p/......../......../......../......../P......P/....K..."));
    const std::tuple<const char*, bool, int> cases[] = {
        {"e1", false, 0}, {"g1", true, 0},  {"f1", true, 1},  {"d2", true, 1},  {"e3", true, 0},
        {"b3", true, 1},  {"g3", true, 1},  {"h3", true, 0},  {"a3", true, 0},  {"b6", false, 1},
        {"g6", false, 1}, {"h6", false, 0}, {"g1", false, 0}, {"d7", false, 1}, {"b1", true, 0},
    };
    for (const auto& [square, byWhite, attackers] : cases) {
        const int target = sq(square)->intIndex();
        EXPECT_EQ(Attacks::isAttacked(diagram->board(), target, byWhite), attackers > 0) << square;
        EXPECT_EQ(diagram->intCountAttacks(target, byWhite ? 1 : 0, 2), attackers) << square;
    }
}

TEST(Diagram, MoveGivesANewDiagram) {
    const auto before = objNewDiagram(
        cells("....k.../......../......../...p..../....P.../......../......../....K..."));
    const auto after = before->objMove(mv("P", "e4", "d5"));
    EXPECT_EQ(before->colMap().Count(), 4);
    EXPECT_EQ(after->colMap().Count(), 3);
    EXPECT_EQ(after->colMap().Item(3)->strToString(), "White Pd5");
    EXPECT_EQ(before->objGetChessPiece(sq("d5")), CChessPiece::objBLACK_PAWN());
    const auto kingMoved = before->objMove(mv("K", "e1", "f2"));
    EXPECT_EQ(kingMoved->objWhiteKingSquare()->strToString(), "f2");
    EXPECT_EQ(before->objWhiteKingSquare()->strToString(), "e1");
    const auto blackKingMoved = before->objMove(mv("k", "e8", "d8"));
    EXPECT_EQ(blackKingMoved->objBlackKingSquare()->strToString(), "d8");
    EXPECT_EQ(blackKingMoved->objWhiteKingSquare()->strToString(), "e1");
    const auto promoted = before->objMove(mv("P", "e4", "e5", "Q"));
    EXPECT_EQ(promoted->objGet(sq("e5"))->strToString(), "White Qe5");
    EXPECT_EQ(promoted->objGet(sq("e4"))->strToString(), " e4");
}

TEST(Diagram, EqualityFollowsTheTextAndClonesAreIndependent) {
    auto first = std::make_shared<CDiagram>();
    first->add_(at("K", "e1"));
    first->add_(at("k", "e8"));
    auto second = std::make_shared<CDiagram>();
    second->add_(at("k", "e8"));
    second->add_(at("K", "e1"));
    EXPECT_TRUE(first->isEqual(second));
    EXPECT_EQ(first->lngCheckSum(), second->lngCheckSum());
    EXPECT_FALSE(first->isEqual(objNewInitialDiagram()));
    EXPECT_FALSE(first->isEqual(nullptr));
    EXPECT_THROW(first->add_(at("Q", "e1")), CError);
    EXPECT_EQ(first->objRemove(sq("e1")), first);
    EXPECT_EQ(first->colMap().Count(), 1);
    EXPECT_EQ(first->objWhiteKingSquare(), nullptr) << "add_ does not set king squares";
    EXPECT_EQ(first->objAdd(at("Q", "d4"))->colMap().Count(), 2);
    EXPECT_EQ(first->colMap().Count(), 1);
    EXPECT_EQ(first->objAdd(sq("d4")->objGetEmptyLocation()), first);
    const auto original = objNewInitialDiagram();
    const auto copy = original->objClone();
    copy->objRemove(sq("d1"));
    EXPECT_EQ(original->colMap().Count(), 32);
    EXPECT_EQ(copy->colMap().Count(), 31);
    EXPECT_EQ(copy->objWhiteKingSquare()->strToString(), "e1");
}

TEST(Diagram, InsufficientMaterial) {
    const std::tuple<const char*, bool> cases[] = {
        {"....k.../......../......../......../......../......../......../....K...", true},
        {"....k.../......../......../......../......../......../......../....KN..", true},
        {"....k.../......n./......../......../......../......../......../....KN..", true},
        {"....k.../......../......../......../......../..B...../......../B...K...", true},
        {"....k.../......../......../......../......../......../P......./....K...", false},
        {"....k.../......../......../......../......../......../......../..B.KN..", false},
        {"....k.../......../......../......../......../......../......../....KNB.", false},
        {"....k.../......../......../......../......../......../......../BB..K...", false},
        {"....k.../......../......../......../......../......../......../...RK...", false},
        {"....k.../......n./......../......../......../......../......N./....KN..", false},
    };
    for (const auto& [rows, expected] : cases)
        EXPECT_EQ(objNewDiagram(cells(rows))->isInsufficientMaterial(), expected) << rows;
}

TEST(Diagram, PawnSkeleton) {
    const auto a = objNewDiagram(
        cells("....k.../pp....../......../......../......../......../PP....../....K..N"));
    const auto b = objNewDiagram(
        cells("....k.../pp....../......../......../......../......../PP....../....KN.."));
    const auto c = objNewDiagram(
        cells("....k.../p.p...../......../......../......../......../PP....../....K..N"));
    EXPECT_TRUE(a->isMatchingPawnSkeleton(b));
    EXPECT_FALSE(a->isMatchingPawnSkeleton(c));
    EXPECT_FALSE(a->isMatchingPawnSkeleton(objNewInitialDiagram()));
}

} // namespace
