// The board model: diagrams and their attacks, colours, pieces, squares, locations, moves, game
// statuses and the text helpers.
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "model/CPiece.h"
#include "model/CPieceColor.h"
#include "model/ColPieceLocations.h"
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
    // Text order is a8 first; the initial diagram is a1 first.
    EXPECT_EQ(diagram->colMap().Item(1)->strToString(), "Black Ra8");
    EXPECT_EQ(objNewInitialDiagram()->colMap().Item(17)->strToString(), "Black Ra8");
    EXPECT_EQ(diagram->colMap().Item("e1")->strToString(), "White Ke1");
    EXPECT_EQ(diagram->strTagValue(), "[Diagram \"" + initialText + "\"]");
    EXPECT_EQ(objNewDiagram(diagram->strTagValue())->strToString(), initialText);
    std::string afterE4 = initialText;
    afterE4[52] = 'e';
    afterE4[36] = 'P';
    EXPECT_EQ(CDiagram::strFenToDiagram("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR"), afterE4);
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
        const auto diagram = board(rows);
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
    const auto two =
        board("....r.k./......../......../......../......../......../......n./....K...");
    EXPECT_EQ(two->objGetAttackingLocation(CPieceColor::objWHITE())->strToString(), "Black Ng2");
    EXPECT_EQ(two->objGetAttackingLocation(CPieceColor::objBLACK()), nullptr);
}

TEST(Diagram, MoveGivesANewDiagram) {
    const auto before =
        board("....k.../......../......../...p..../....P.../......../......../....K...");
    const auto after = before->objMove(mv("P", "e4", "d5"));
    EXPECT_EQ(after->colMap().Count(), 3);
    EXPECT_EQ(after->colMap().Item(3)->strToString(), "White Pd5");
    EXPECT_EQ(before->objGetChessPiece(sq("d5")), CChessPiece::objBLACK_PAWN());
    const auto kingMoved = before->objMove(mv("K", "e1", "f2"));
    EXPECT_EQ(kingMoved->objWhiteKingSquare()->strToString(), "f2");
    const auto blackKingMoved = before->objMove(mv("k", "e8", "d8"));
    EXPECT_EQ(blackKingMoved->objBlackKingSquare()->strToString(), "d8");
    EXPECT_EQ(blackKingMoved->objWhiteKingSquare()->strToString(), "e1");
    const auto promoted = before->objMove(mv("P", "e4", "e5", "Q"));
    EXPECT_EQ(promoted->objGet(sq("e5"))->strToString(), "White Qe5");
    EXPECT_EQ(promoted->objGet(sq("e4"))->strToString(), " e4");
}

TEST(Diagram, EqualityFollowsTheBoardAndAnAddedPieceMakesANewDiagram) {
    auto first = std::make_shared<CDiagram>();
    first->add_(at("K", "e1"));
    first->add_(at("k", "e8"));
    auto second = std::make_shared<CDiagram>();
    second->add_(at("k", "e8"));
    second->add_(at("K", "e1"));
    EXPECT_TRUE(first->isEqual(second));
    EXPECT_FALSE(first->isEqual(objNewInitialDiagram()));
    EXPECT_FALSE(first->isEqual(nullptr));
    EXPECT_THROW(first->add_(at("Q", "e1")), CError);
    EXPECT_EQ(first->objRemove(sq("e1")), first);
    EXPECT_EQ(first->objWhiteKingSquare(), nullptr) << "add_ does not set king squares";
    EXPECT_EQ(first->objAdd(at("Q", "d4"))->colMap().Count(), 2);
    EXPECT_EQ(first->colMap().Count(), 1);
    EXPECT_EQ(first->objAdd(sq("d4")->objGetEmptyLocation()), first);
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
        EXPECT_EQ(board(rows)->isInsufficientMaterial(), expected) << rows;
}

TEST(Diagram, PawnSkeleton) {
    const auto a = board("....k.../pp....../......../......../......../......../PP....../....K..N");
    const auto b = board("....k.../pp....../......../......../......../......../PP....../....KN..");
    const auto c = board("....k.../p.p...../......../......../......../......../PP....../....K..N");
    EXPECT_TRUE(a->isMatchingPawnSkeleton(b));
    EXPECT_FALSE(a->isMatchingPawnSkeleton(c));
    EXPECT_FALSE(a->isMatchingPawnSkeleton(objNewInitialDiagram()));
}

TEST(PieceColor, SetterTrimsAndNormalisesAndTheOppositeIsTheOther) {
    const std::tuple<const char*, const char*> cases[] = {
        {"  Black ", "Black"}, {"White", "White"}, {"black", "White"}};
    for (const auto& [given, stored] : cases) {
        const auto color = objNewPieceColor(given);
        EXPECT_EQ(color->strColor(), stored) << given;
        EXPECT_EQ(color->objOppositeColor()->objOppositeColor()->strToString(), stored);
        EXPECT_NE(color->objOppositeColor()->strToString(), stored);
    }
}

TEST(ChessPiece, LookupBySymbolKindAndColour) {
    const std::tuple<const char*, std::shared_ptr<CChessPiece>, const char*, const char*> cases[] =
        {
            {"P", CChessPiece::objWHITE_PAWN(), "White P", "P"},
            {"k", CChessPiece::objBLACK_KING(), "Black K", "k"},
            {"x", CChessPiece::objEMPTY_SQUARE(), " ", "e"},
            {"PP", CChessPiece::objEMPTY_SQUARE(), " ", "e"},
        };
    for (const auto& [symbol, piece, text, symbolBack] : cases) {
        EXPECT_EQ(CChessPiece::objGet(symbol), piece) << symbol;
        EXPECT_EQ(piece->strToString(), text) << symbol;
        EXPECT_EQ(piece->charGetDiagramSymbol(), symbolBack) << symbol;
    }
    for (const char* letter : {"P", "N", "B", "R", "Q", "K"}) {
        const auto kind = objNewPiece(letter);
        const std::string black(1, static_cast<char>(std::tolower(letter[0])));
        EXPECT_EQ(kind->objGetChessPiece(CPieceColor::objWHITE()), CChessPiece::objGet(letter));
        EXPECT_EQ(kind->objGetChessPiece(CPieceColor::objBLACK()), CChessPiece::objGet(black));
        EXPECT_EQ(kind->objGetChessPiece(nullptr), CChessPiece::objGet(black))
            << "no colour counts as Black";
        EXPECT_EQ(objNewChessPiece(kind, CPieceColor::objBLACK(), "")->charGetDiagramSymbol(),
                  black);
        EXPECT_EQ(CMove::objGetPieceFromValue(CMove::intGetPieceValue(kind))->strToString(),
                  letter);
    }
    EXPECT_EQ(CMove::intGetPieceValue(CPiece::objQUEEN()), 5);
    EXPECT_EQ(objNewPiece("X")->objGetChessPiece(CPieceColor::objWHITE()), nullptr);
    EXPECT_EQ(
        objNewChessPiece(objNewPiece("Z"), CPieceColor::objWHITE(), "")->charGetDiagramSymbol(),
        "e");
    for (int value : {0, 7, -3})
        EXPECT_EQ(ErrorOf([&] { CMove::objGetPieceFromValue(value); }),
                  "CMove 9999: Value " + std::to_string(value) + " must be within range 1-6");
    EXPECT_EQ(ErrorOf([] { CMove::intGetPieceValue(objNewPiece("X")); }),
              "CMove 9999: Piece not specified");
}

TEST(Piece, CandidateSquaresInRuleOrder) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"P", "White", "e2", "e3 d3 f3 e4"},
        {"P", "Black", "h7", "h6 g6 h5"},
        {"P", "White", "e8", ""}, // a pawn on its last rank gets nothing off the board
        {"P", "Black", "d1", ""},
        {"N", "White", "g1", "e2 f3 h3"},
        {"B", "White", "c1", "a3 b2 d2 e3 f4 g5 h6"},
        {"B", "White", "b3", "a4 c2 d1 a2 c4 d5 e6 f7 g8"},
        {"R", "White", "e4", "a4 e1 b4 e2 c4 e3 d4 e5 f4 e6 g4 e7 h4 e8"},
        {"K", "White", "e1", "d1 d2 e2 f1 f2"},
        {"X", "White", "e4", ""},
    };
    for (const auto& [kind, color, square, expected] : cases)
        EXPECT_EQ(names(objNewPiece(kind)->arrobjGetPossibleMoveSquares(sq(square),
                                                                        objNewPieceColor(color))),
                  expected)
            << kind << " on " << square;
    // A queen's list is a bishop's then a rook's.
    const auto white = CPieceColor::objWHITE();
    EXPECT_EQ(names(CPiece::objQUEEN()->arrobjGetPossibleMoveSquares(sq("d4"), white)),
              names(CPiece::objBISHOP()->arrobjGetPossibleMoveSquares(sq("d4"), white)) + " " +
                  names(CPiece::objRook()->arrobjGetPossibleMoveSquares(sq("d4"), white)));
}

TEST(Piece, TransitSquaresOfPiecesMovesAndSquares) {
    const std::tuple<const char*, const char*, const char*, const char*, const char*> cases[] = {
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
    for (const auto& [kind, color, from, to, expected] : cases)
        EXPECT_EQ(names(objNewPiece(kind)->arrobjGetTransitSquares(sq(from), sq(to),
                                                                   objNewPieceColor(color))),
                  expected)
            << kind << " " << from << "-" << to;
    EXPECT_TRUE(CPiece::objRook()
                    ->arrobjGetTransitSquares(nullptr, nullptr, CPieceColor::objWHITE())
                    .empty());
    EXPECT_EQ(names(mv("P", "e7", "e8", "Q").arrobjGetTransitSquares()), "e8");
    EXPECT_EQ(names(CMove().arrobjGetTransitSquares()), "");
    // A square's own list is the straight or diagonal line up to it.
    EXPECT_EQ(names(sq("d4")->arrobjGetTransitSquares(sq("d1"))), "d3 d2 d1");
    EXPECT_EQ(names(sq("h8")->arrobjGetTransitSquares(sq("a1"))), "g7 f6 e5 d4 c3 b2 a1");
    EXPECT_EQ(names(sq("e4")->arrobjGetTransitSquares(sq("e4"))), "");
}

TEST(ChessSquare, LookupAndRelations) {
    const auto e4 = CChessSquare::objGetSquare(4, 3);
    EXPECT_EQ(e4->strToString(), "e4");
    EXPECT_EQ(CChessSquare::objGetSquare("e", "4"), e4);
    EXPECT_EQ(CChessSquare::objGetSquare("E", "4"), e4);
    EXPECT_EQ(CChessSquare::objGetSquare("4", "3"), e4);
    EXPECT_EQ(objNewChessSquare(2, 5)->objGetEmptyLocation()->strToString(), " c6");
    const std::tuple<const char*, const char*> bad[] = {{"8", "0"}, {"i", "1"}, {"e", "9"},
                                                        {"", ""},   {"4", "x"}, {"-1", "0"}};
    for (const auto& [file, rank] : bad)
        EXPECT_EQ(ErrorOf([&] { CChessSquare::objGetSquare(file, rank); }),
                  "CChessSquare 9: Subscript out of range")
            << file << "," << rank;
    const std::tuple<const char*, const char*, bool> hints[] = {
        {"e", " ", true},  {" ", "4", true}, {" ", " ", true},
        {"d", " ", false}, {"e", "4", true}, {"e", "5", false}};
    for (const auto& [file, rank, expected] : hints)
        EXPECT_EQ(e4->isConsistantWith(file, rank), expected)
            << "'" << file << "' '" << rank << "'";
    EXPECT_EQ(sq("d2")->charGetDistinguishingLocation(sq("d6")), "2");
    EXPECT_EQ(sq("b1")->charGetDistinguishingLocation(sq("f3")), "b");
    EXPECT_TRUE(sq("a1")->isDiagonal(sq("h8")));
    EXPECT_TRUE(sq("a1")->isDiagonal(sq("a1")));
    EXPECT_FALSE(sq("b1")->isDiagonal(sq("c3")));
    EXPECT_TRUE(sq("a1")->isSameFile(sq("a8")));
    EXPECT_FALSE(sq("a1")->isSameRank(sq("a8")));
    std::string dark;
    for (const char* name : {"a1", "b1", "h1", "h8", "c7"})
        dark += sq(name)->isDarkSquare() ? "1" : "0";
    EXPECT_EQ(dark, "10011");
}

TEST(PieceLocations, TextEqualityAndTheKeyedOrderedCollection) {
    EXPECT_TRUE(at("K", "e1")->isEqual(at("K", "e1")));
    EXPECT_FALSE(at("K", "e1")->isEqual(at("K", "e2")));
    EXPECT_FALSE(at("K", "e1")->isEqual(at("k", "e1")));
    EXPECT_FALSE(at("K", "e1")->isEqual(nullptr));
    const auto kind =
        objNewPieceLocationOfKind(sq("d5"), CPiece::objKNIGHT(), CPieceColor::objBLACK());
    EXPECT_EQ(kind->strToString(), "Black Nd5");
    ColPieceLocations collection;
    collection.Add(at("K", "e1"), "e1");
    collection.Add(at("q", "d8"), "d8");
    collection.Add(at("P", "a2"));
    collection.Remove("e4");
    EXPECT_EQ(collection.Count(), 3);
    EXPECT_EQ(collection.Item("e4"), nullptr);
    EXPECT_EQ(collection.Item(2)->strToString(), "Black Qd8");
    EXPECT_EQ(collection.Item(4), nullptr);
    EXPECT_EQ(collection.Item(0), nullptr);
    EXPECT_TRUE(Contains(ErrorOf([&] { collection.Add(at("R", "e1"), "e1"); }), " 457: "));
    collection.Remove(1);
    EXPECT_EQ(collection.Item("e1"), nullptr);
    std::string seen;
    for (const auto& location : collection)
        seen += location->strToString() + ";";
    EXPECT_EQ(seen, "Black Qd8;White Pa2;");
}

TEST(Move, EqualityTextAndTheMoveBetweenTwoDiagrams) {
    EXPECT_TRUE(mv("N", "g1", "f3").isEqual(mv("N", "g1", "f3")));
    EXPECT_FALSE(mv("N", "g1", "f3").isEqual(mv("N", "g1", "h3")));
    EXPECT_FALSE(mv("N", "g1", "f3").isEqual(std::shared_ptr<CMove>()));
    const std::tuple<CMove, const char*> cases[] = {
        {mv("R", "h1", "f1"), "White O-O"},           {mv("r", "a8", "d8"), "Black O-O-O"},
        {mv("P", "e2", "e4"), "White Pe2-e4"},        {mv("n", "g8", "f6"), "Black Ng8-f6"},
        {mv("P", "e7", "e8", "Q"), "White Pe7-e8=Q"}, {CMove(), " null-null"}};
    for (const auto& [move, text] : cases)
        EXPECT_EQ(move.strToString(), text);
    EXPECT_EQ(CMove::objBLACK_KINGSIDE_CASTLE_ROOK_MOVE()->strToString(), "Black O-O");

    const auto before =
        board("....k.../......../......../...p..../....P.../......../......../....K..R");
    const auto found = CMove::objDetermineMove(before, before->objMove(mv("P", "e4", "d5")));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->strToString(), "White Pe4-d5");
    EXPECT_EQ(CMove::objDetermineMove(before, before->objClone()), nullptr);
    const auto castled = before->objMove(mv("K", "e1", "g1"))->objMove(mv("R", "h1", "f1"));
    EXPECT_EQ(CMove::objDetermineMove(before, castled), nullptr);
}

TEST(GameStatus, TextsAndQuestions) {
    const std::tuple<std::shared_ptr<CGameStatus>, const char*, bool, bool, bool> cases[] = {
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
    for (const auto& [status, text, inProgress, whiteOnMove, blackOnMove] : cases) {
        EXPECT_EQ(status->strToString(), text);
        EXPECT_EQ(status->isInProgress(), inProgress) << text;
        EXPECT_EQ(status->isOnMove(CPieceColor::objWHITE()), whiteOnMove) << text;
        EXPECT_EQ(status->isOnMove(CPieceColor::objBLACK()), blackOnMove) << text;
    }
    EXPECT_EQ(CGameStatus::objFind("Black resigned"), CGameStatus::objBLACK_RESIGNED());
    EXPECT_EQ(CGameStatus::objFind("black resigned"), nullptr);
}

TEST(Utilities, CrcTrimmedAndLowered) {
    // Every length, so that each split between whole steps and single bytes is taken, and
    // bytes over 127, against the checksum computed a bit at a time.
    std::string text;
    for (int i = 0; i < 70; ++i)
        text += char(i * 37 + 11);
    for (size_t length = 0; length <= text.size(); ++length) {
        unsigned crc = 0xFFFF;
        for (size_t i = 0; i < length; ++i) {
            crc ^= static_cast<unsigned char>(text[i]);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? (crc >> 1) ^ 0x8408u : crc >> 1;
        }
        EXPECT_EQ(lngCrc16(text, long(length)), long(crc)) << length;
    }
    // The blanks each caller names are the only characters taken off, and only at the ends.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"\te4\r\n", " \t\r\n", "e4"},
        {"\te4\r\n", " ", "\te4\r\n"},
        {"id name  X \r", " \t\r", "id name  X"},
        {"   ", " ", ""},
        {"a b", " ", "a b"},
    };
    for (const auto& [text, blanks, expected] : cases)
        EXPECT_EQ(strTrimmed(text, blanks), expected) << '"' << text << '"';
    EXPECT_EQ(strTrimmed(" \t x \r\n"), "x");
    EXPECT_EQ(strLowered("SetBoard Q-Side 1/2"), "setboard q-side 1/2");
    EXPECT_EQ(strLowered("\xC4\xD6 Z@["), "\xC4\xD6 z@[");
}

} // namespace
