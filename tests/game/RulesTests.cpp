// The rules of positions: move texts, moves and castling rights, construction, equality, FEN
// reading, legality, perft, and the notation and UCI moves read and written.
#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/MoveText.h"
#include "game/Perft.h"
#include "game/PositionConstructors.h"
#include "game/SideToMove.h"
#include "game/UciMoves.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "tests/model/Checks.h"
#include "tests/model/ModelTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

namespace {

const auto fen = objReadFen;
const char* const start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

TEST(Position, MoveTextGetterHidesPawnLetterAndCheckAndTheStartPosition) {
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
    const auto initial = objNewStartPosition();
    EXPECT_EQ(initial->strGetFEN(), start);
    EXPECT_EQ(initial->strMoveText(), "...");
    EXPECT_EQ(initial->intMoveNumber(), 0);
    EXPECT_TRUE(CPosition::objINITIAL_POSITION()->isEqual(initial));
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
    const std::vector<bool> none(4, false), three(3, true);
    const std::tuple<std::shared_ptr<CDiagram>, std::shared_ptr<CGameStatus>, int,
                     std::vector<bool>, const char*>
        cases[] = {
            {diagram, nullptr, 0, none, "gameStatus"},
            {nullptr, white, 0, none, "Diagram is null"},
            {diagram, white, -1, none, "Movenum cannot be negative"},
            {diagram, white, 0, three,
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
    // The pawns stand where their double steps end.
    const auto passable = fen("4k2r/8/8/2p5/3P4/8/8/R3K3 w - -")->objDiagram();
    const auto file = objNewPosition(passable, CGameStatus::objBLACK_TO_MOVE(), 1, none, "d");
    EXPECT_EQ(file->intEnPassantFile(), 3);
    EXPECT_EQ(file->strMoveText(), "d4");
    EXPECT_EQ(objNewPosition(passable, white, 1, none, "c")->strMoveText(), "c5");
    EXPECT_THROW(file->isKCastleForfeited(2), CError);
    // Setting rights and the en-passant file shows in the FEN; a file off the board shows none.
    file->isKCastleForfeited(0, true);
    file->isQCastleForfeited(1, true);
    file->intEnPassantFile(0);
    EXPECT_EQ(file->strGetFEN(), "4k2r/8/8/2p5/3P4/8/8/R3K3 b Qk a3");
    file->intEnPassantFile(9);
    EXPECT_EQ(file->strGetFEN(), "4k2r/8/8/2p5/3P4/8/8/R3K3 b Qk -");
}

TEST(Position, EqualityIgnoresNumberAndTextAndClonesShareNothingMutable) {
    const auto a = fen("4k3/8/8/8/8/8/8/4K3 w - -");
    const auto b = fen("4k3/8/8/8/8/8/8/4K3 w - -");
    b->intMoveNumber(12);
    b->strMoveText("Kd2");
    EXPECT_TRUE(a->isEqual(b));
    const auto forfeit = fen("4k3/8/8/8/8/8/8/4K3 w - -");
    forfeit->isQCastleForfeited(1, false);
    const auto passant = fen("4k3/8/8/8/8/8/8/4K3 w - -");
    passant->intEnPassantFile(4);
    for (const auto& other : {fen("4k3/8/8/8/8/8/8/4K3 b - -"), fen("4k3/8/8/8/8/8/8/3K4 w - -"),
                              passant, forfeit, std::shared_ptr<CPosition>()})
        EXPECT_FALSE(a->isEqual(other)) << (other ? other->strGetFEN() : "nothing");
    const auto copy = b->objClone();
    EXPECT_TRUE(copy->isEqual(b));
    EXPECT_EQ(copy->strStoredMoveText(), "Kd2");
    EXPECT_EQ(copy->intMoveNumber(), 12);
    copy->objDiagram()->objRemove(sq("e1"));
    EXPECT_EQ(b->objDiagram()->colMap().Count(), 2);
}

TEST(FenReader, LenientReaderReadsTheFieldsAndRefusesLikeTheBoard) {
    // written: the FEN written back, "" for nothing; number and text: of the position read
    const std::tuple<const char*, const char*, int, const char*> cases[] = {
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
         "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", 1, "e4"},
        {"4k3/8/8/8/8/8/8/4K3 w Kq -", "4k3/8/8/8/8/8/8/4K3 w - -", 0, "..."}, // no rooks
        {"4k3/8/8/8/8/8/8/4K3  w   -  -", "4k3/8/8/8/8/8/8/4K3 w - -", 0, "..."},
        {"4k3/8/8/8/4P3/8/8/R3K2R x KQ e", "4k3/8/8/8/4P3/8/8/R3K2R b KQ e3", 1, "e4"}, // not w
        {"4k3/8/8/4p3/8/8/8/4K3 w - e6 12 9999", "4k3/8/8/4p3/8/8/8/4K3 w - e6", 9998, "e5"},
        {"4k3/8/8/8/8/8/8/4K3 b - - 0 40", "4k3/8/8/8/8/8/8/4K3 b - -", 40, "..."},
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 x", "4k3/8/8/8/8/8/8/4K3 w - -", 0, "..."},
        // Full-move numbers past 9999, and 0, read as 1.
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 10000", "4k3/8/8/8/8/8/8/4K3 w - -", 0, "..."},
        {"4k3/8/8/8/8/8/8/4K3 b - - 0 0", "4k3/8/8/8/8/8/8/4K3 b - -", 1, "..."},
        {"4k3/8/8/8/8/8/8/4K3 w -", "", 0, ""},    // three fields
        {"4k3/8/8/8/8/8/8/4K2 w - -", "", 0, ""},  // 63 cells
        {" 4k3/8/8/8/8/8/8/4K3 w - -", "", 0, ""}, // leading space: empty placement
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
    // the beginning of the message
    const std::tuple<const char*, const char*> cases[] = {
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
    };
    for (const auto& [fenText, message] : cases)
        EXPECT_EQ(MessageOf([&] { objReadFen(fenText); }).rfind(message, 0), 0u) << fenText;
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
            const std::string error = MessageOf([&] { position->objProcessMove(position, move); });
            EXPECT_TRUE(error == "no error" || error == std::string("No Move ") + move) << error;
        }
    }
}

// Blocked lines, captures and en passant are judged by the perft counts (the generator asks
// isLegalMove for every candidate square); these are moves the generator never offers.
TEST(Legality, IsLegalMove) {
    const std::tuple<const char*, CMove, bool> cases[] = {
        {start, mv("P", "e2", "e5"), false},
        {start, mv("N", "g1", "g3"), false},
        {start, mv("p", "e7", "e5"), false}, // Black piece, White to move
        {"4k3/8/8/2p1P3/8/8/8/4K3 w - d6", mv("P", "e5", "d6"), false}, // no pawn to take
        {"4k3/8/8/3nP3/8/8/8/4K3 w - d6", mv("P", "e5", "d6"), false},  // a knight is no pawn
        // A named square no pawn can have just passed: the square it came from is taken.
        {"4k3/3n4/8/3pP3/8/8/8/4K3 w - d6", mv("P", "e5", "d6"), false},
        {"4k3/8/8/8/3pP3/8/4N3/4K3 b - e3", mv("p", "d4", "e3"), false},
        {"4k3/8/8/8/4K3/8/8/8 w - -", mv("K", "e4", "e4"), false},
        {"4k3/4r3/8/8/8/8/4N3/4K3 w - -", mv("N", "e2", "c3"), true}, // pinned, still accepted
        {"4k3/8/8/8/8/8/8/4RK2 w - -", mv("R", "e1", "e8"), false},   // a king is never captured
        {"4k3/8/8/8/8/8/8/4RK2 w - -", mv("K", "f1", "f1", "Q"), false},
    };
    for (const auto& [fenText, move, legal] : cases)
        EXPECT_EQ(fen(fenText)->isLegalMove(move), legal) << fenText << " " << move.strToString();
    // The pinned knight passes that test, yet moving it gives nothing.
    const auto position = fen("4k3/4r3/8/8/8/8/4N3/4K3 w - -");
    EXPECT_EQ(position->objMove1(mv("N", "e2", "c3")), nullptr);
    EXPECT_FALSE(position->isFullyLegal(mv("N", "e2", "c3")));
    // A pawn on an edge file attacks the file beside it, and nothing on the other edge.
    const std::tuple<const char*, CMove, bool> pawnsOnTheEdge[] = {
        {"8/8/k7/8/8/7P/8/7K b - -", mv("k", "a6", "a5"), true},
        {"8/8/7k/P7/8/8/8/K7 b - -", mv("k", "h6", "h5"), true},
        {"k7/8/8/8/7p/K7/8/8 w - -", mv("K", "a3", "a4"), true},
        {"k7/8/p7/8/8/7K/8/8 w - -", mv("K", "h3", "h4"), true},
        {"8/8/6k1/8/7P/8/8/K7 b - -", mv("k", "g6", "g5"), false},
        {"8/8/1k6/8/P7/8/8/7K b - -", mv("k", "b6", "b5"), false},
    };
    for (const auto& [fenText, move, legal] : pawnsOnTheEdge)
        EXPECT_EQ(fen(fenText)->isFullyLegal(move), legal) << fenText;
}

// Castling out of or through check is judged by the perft counts.
TEST(Legality, Castling) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"4k3/8/8/8/8/8/8/4K2R w K -", "g1", true},
        {"4k1r1/8/8/8/8/8/8/4K2R w K -", "g1", false}, // g1 attacked
        {"4k3/8/8/8/8/8/8/4KN1R w K -", "g1", false},  // f1 occupied
        {"4k3/8/8/8/8/8/8/4K1NR w K -", "g1", false},  // g1 occupied
        {"1r2k3/8/8/8/8/8/8/R3K3 w Q -", "c1", true},  // only b1 attacked
        {"4k3/8/8/8/8/8/8/RN2K3 w Q -", "c1", false},  // b1 occupied
        {"r3k2r/8/8/8/8/8/8/4K3 b q -", "g8", false},  // right lost
        {"r3k3/8/8/8/8/8/B7/4K3 b q -", "c8", true},   // the bishop on a2 eyes g8, not c8-e8
        {"r3k3/8/8/8/8/8/8/2R1K3 b q -", "c8", false}, // c8 attacked
    };
    for (const auto& [fenText, destination, allowed] : cases)
        EXPECT_EQ(fen(fenText)->isCastlingOK(sq(destination)), allowed)
            << fenText << " to " << destination;
    const auto position = fen("r3k2r/8/8/8/8/8/8/R3K2R w Kq -");
    EXPECT_FALSE(position->isCastlingForfeited(sq("g1")));
    EXPECT_TRUE(position->isCastlingForfeited(sq("c1")));
    EXPECT_TRUE(position->isCastlingForfeited(sq("g8")));
    EXPECT_FALSE(position->isCastlingForfeited(sq("c8")));
    for (const char* square : {"e1", "h1", "b8"})
        EXPECT_EQ(MessageOf([&] { position->isCastlingOK(sq(square)); }),
                  "Invalid Castling destination");
}

TEST(Legality, MateAndStalemate) {
    const std::tuple<const char*, std::vector<std::string>, std::shared_ptr<CGameStatus>,
                     const char*>
        cases[] = {
            {start, {"f3", "e5", "g4", "Qh4"}, CGameStatus::objBLACK_WINS(), "Qh4#"},
            {"6k1/5ppp/8/8/8/8/8/R5K1 w - -", {"Ra8"}, CGameStatus::objWHITE_WINS(), "Ra8#"},
            {"7k/4Q3/6K1/8/8/8/8/8 w - -", {"Qf7"}, CGameStatus::objDRAWN_BY_STALEMATE(), "Qf7"},
            // The check by a pawn's double step is parried by taking it en passant, from the edge
            // file too: not mate; without the pawn to take it, mate.
            {"4r2k/2p5/q2p4/3P4/3K4/r7/8/8 b - -", {"c5"}, CGameStatus::objWHITE_TO_MOVE(), "c5"},
            {"k3r3/6p1/5p2/r6P/5K2/r7/8/3q4 b - -", {"g5"}, CGameStatus::objWHITE_TO_MOVE(), "g5"},
            {"k3r3/6p1/5p2/r7/5K2/r7/8/3q4 b - -", {"g5"}, CGameStatus::objBLACK_WINS(), "g5#"},
        };
    for (const auto& [fenText, moves, status, lastText] : cases) {
        auto after = fen(fenText);
        for (const std::string& move : moves)
            ASSERT_TRUE(after = after->objProcessMove(after, move)) << fenText << " " << move;
        EXPECT_EQ(after->objStatus()->strToString(), status->strToString())
            << fenText << " " << after->strGetFEN();
        EXPECT_EQ(after->strMoveText(), lastText) << fenText;
    }
}

TEST(Legality, IsMatedOnAGivenPosition) {
    const std::tuple<const char*, bool> cases[] = {
        {"7k/8/8/8/8/1n6/PP6/K1rR4 w - -", true}, // double check: taking one checker is no help
        {"7k/8/8/8/8/8/PP6/K1rR4 w - -", false},  // single check: Rxc1
        {"k7/8/1Q6/8/8/8/8/K7 b - -", false},     // stalemate is not mate
        {"kQ6/2K5/8/8/8/8/8/8 b - -", true},      {"kQ6/8/1K6/8/8/8/8/8 b - -", false}, // Kxb8
        {"k7/8/1Q6/8/8/8/1r6/R5K1 b - -", false}, // Ra2 interposes
        {"k7/8/1Q6/8/8/8/8/R5K1 b - -", true},
    };
    for (const auto& [fenText, mated] : cases) {
        const auto position = fen(fenText);
        EXPECT_EQ(position->isMated(), mated) << fenText;
        EXPECT_EQ(position->objStatus()->isInProgress(), !mated) << fenText;
    }
    // A game already ended is mated by either side's win, not by a draw.
    const auto over = fen("4k3/8/8/8/8/8/8/4K3 w - -");
    for (const auto& [status, mated] : {std::pair{CGameStatus::objWHITE_WINS(), true},
                                        {CGameStatus::objBLACK_WINS(), true},
                                        {CGameStatus::objDRAWN_BY_STALEMATE(), false}}) {
        over->objStatus(status);
        EXPECT_EQ(over->isMated(), mated) << status->strToString();
    }
}

// The end a position given without its result makes, read from the rules: also a mate an older
// version stored with the side that moved as the side to move.
TEST(Legality, GameEndOfAPositionFollowsTheSideToMove) {
    const std::tuple<const char*, bool, GameEnd> cases[] = {
        {"kQ6/2K5/8/8/8/8/8/8 b - -", false, GameEnd::Checkmate},
        {"kQ6/2K5/8/8/8/8/8/8 b - -", true, GameEnd::Checkmate},
        {"k7/8/1Q6/8/8/8/8/K7 b - -", false, GameEnd::Stalemate}};
    for (const auto& [fenText, storedAsMoved, end] : cases) {
        const auto position = fen(fenText);
        if (storedAsMoved) position->objStatus(CGameStatus::objWHITE_TO_MOVE());
        EXPECT_EQ(gameEndOf(*position), end) << fenText << (storedAsMoved ? " stored" : "");
    }
}

// Counts small enough for the test suite; the deeper ones run in the benchmark.
constexpr std::uint64_t testLimit = 120000;

// Each line of the cases file: name | FEN | depth:leaves ...
TEST(Perft, PublishedCounts) {
    std::ifstream file(BRISOLT_PERFT_CASES);
    int cases = 0, checked = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name, fenText, count;
        std::getline(fields, name, '|');
        std::getline(fields, fenText, '|');
        const auto position = objReadFen(fenText.substr(1, fenText.size() - 2));
        ++cases;
        while (fields >> count) {
            const int depth = std::stoi(count);
            const std::uint64_t expected = std::stoull(count.substr(count.find(':') + 1));
            if (expected > testLimit) continue;
            EXPECT_EQ(lngPerft(position, depth), expected) << name << "depth " << depth;
            ++checked;
        }
    }
    EXPECT_GE(cases, 20) << "cases file " << BRISOLT_PERFT_CASES;
    EXPECT_GT(checked, 60);
}

TEST(Perft, MovesAreListedInRuleOrderWithTheirPositions) {
    const std::pair<const char*, const char*> cases[] = {
        {start, "a3 a4 b3 b4 c3 c4 d3 d4 e3 e4 f3 f4 g3 g4 h3 h4 Na3 Nc3 Nf3 Nh3 "},
        {"7k/P7/8/8/8/8/8/K7 w - -", "a8=Q a8=R a8=B a8=N Ka2 Kb1 Kb2 "},
        // castling follows the king's own moves, before the h-rook's
        {"r3k2r/8/8/8/8/8/8/4K3 b kq -", "Ra1 Rb8 Ra2 Rc8 Ra3 Rd8 Ra4 Ra5 Ra6 Ra7 Kd7 Kd8 Ke7 Kf7 "
                                         "Kf8 O-O O-O-O Rh1 Rh2 Rh3 Rh4 Rh5 Rf8 Rh6 Rg8 Rh7 "},
    };
    for (const auto& [fenText, expected] : cases) {
        const auto position = fen(fenText);
        std::string moves;
        for (const auto& legal : arrGetLegalMoves(position))
            moves += strMoveTextOf(*position, legal.move) + " ";
        EXPECT_EQ(moves, expected);
    }
}

// Plain moves, promotions and castling are written in the move lists of the test above; these rows
// add captures, en passant, Black's promotion and the hints that tell pieces apart.
TEST(Notation, WritingStoredTexts) {
    const std::tuple<const char*, CMove, const char*> cases[] = {
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - -", mv("P", "e4", "d5"), "Pexd5"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", mv("P", "e5", "d6"), "Pexd6"},
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
        {start, "Pe4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3"},
        {start, "Ng1-f3", "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq -"},
        {"4k3/8/8/3p4/2P1P3/8/8/4K3 w - -", "exd5", "4k3/8/8/3P4/2P5/8/8/4K3 b - -"},
        {"4k3/8/8/3p4/2P1P3/8/8/4K3 w - -", "cxd5", "4k3/8/8/3P4/4P3/8/8/4K3 b - -"},
        {"4k3/8/8/8/8/5N2/8/1N2K3 w - -", "Nd2",
         "4k3/8/8/8/8/8/3N4/1N2K3 b - -"}, // first in diagram order
        // The first knight is pinned: the other one is meant.
        {"4k3/8/8/3b4/8/5N2/8/1N5K w - -", "Nd2", "4k3/8/8/3b4/8/5N2/3N4/7K b - -"},
        {"2k5/4P3/8/8/8/8/8/4K3 w - -", "e8=Q", "2k1Q3/8/8/8/8/8/8/4K3 b - -"},
        {"2k5/4P3/8/8/8/8/8/4K3 w - -", "e8Q", "2k1Q3/8/8/8/8/8/8/4K3 b - -"},
        {"2k5/4P3/8/8/8/8/8/4K3 w - -", "e8", ""}, // a pawn never stays on its last rank
        {"4k3/8/8/8/8/8/p7/4K3 b - -", "a1=N", "4k3/8/8/8/8/8/8/n3K3 w - -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "O-O+", "r3k2r/8/8/8/8/8/8/R4RK1 b kq -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "O-O-O#", "r3k2r/8/8/8/8/8/8/2KR3R b kq -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "O-O", "r4rk1/8/8/8/8/8/8/R3K2R w KQ -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "O-O-O", "2kr3r/8/8/8/8/8/8/R3K2R w KQ -"},
        // A rook's or king's move forfeits its side's rights, a capture on a corner that corner's.
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "Rh5", "r3k2r/8/8/7R/8/8/8/R3K3 b Qkq -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "Ra5", "r3k2r/8/8/R7/8/8/8/4K2R b Kkq -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "Ke2", "r3k2r/8/8/8/8/8/4K3/R6R b kq -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "Rxa8", "R3k2r/8/8/8/8/8/8/4K2R b Kk -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "Rxh8", "r3k2R/8/8/8/8/8/8/R3K3 b Qq -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "Rxh1", "r3k3/8/8/8/8/8/8/R3K2r w Qq -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Qkq -", "O-O", ""},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "Ox", ""},
        {"7k/8/8/8/7Q/8/8/Q3r1K1 w - -", "Qh4xe1", "7k/8/8/8/8/8/8/Q3Q1K1 b - -"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "exd6 e.p.", "4k3/8/3P4/8/8/8/8/4K3 b - -"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "exd6 ep+", "4k3/8/3P4/8/8/8/8/4K3 b - -"},
        // The edge files matter: a file index off by one loses the right on a or h.
        {"4k3/8/8/pP6/8/8/8/4K3 w - a6", "bxa6", "4k3/8/P7/8/8/8/8/4K3 b - -"},
        {"4k3/8/8/6Pp/8/8/8/4K3 w - h6", "gxh6", "4k3/8/7P/8/8/8/8/4K3 b - -"},
        {"4k3/8/8/8/Pp6/8/8/4K3 b - a3", "bxa3", "4k3/8/8/8/8/p7/8/4K3 w - -"},
        {"4k3/8/8/8/6pP/8/8/4K3 b - h3", "gxh3", "4k3/8/8/8/8/7p/8/4K3 w - -"},
        {"4k3/4r3/8/8/8/8/4N3/4K3 w - -", "Nc3", ""}, // the only knight is pinned
        {"4k3/8/8/8/8/5p2/8/4K1N1 w - -", "Ng1:f3", "4k3/8/8/8/8/5N2/8/4K3 b - -"},
        {start, "\u2658f3", "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq -"},
        {"2k5/4P3/8/8/8/8/8/4K3 w - -", "e8=q", "2k1Q3/8/8/8/8/8/8/4K3 b - -"},
        {"2k5/4P3/8/8/8/8/8/4K3 w - -", "e8=K", ""},
        {"2k5/8/8/8/4p3/8/8/K7 b - -", "e3=N", ""}, // a pawn promotes on its last rank only
        {start, "e5", "CPosition 9999: No Move e5"},
        // a pawn without a file hint stays on its file
        {"4k3/8/8/3n4/8/8/3P4/4K3 w - -", "xd5", "CPosition 9999: No Move xd5"},
    };
    const auto played = [](const char* fenText, const std::string& text) -> std::string {
        const auto position = fen(fenText);
        std::shared_ptr<CPosition> after;
        const std::string error =
            ErrorOf([&] { after = position->objProcessMove(position, text); });
        // The FEN read writes back as given, and the position moved from is unchanged.
        EXPECT_EQ(position->strGetFEN(), fenText);
        if (!after) return error == "no error" ? "" : error;
        EXPECT_EQ(after->strStoredMoveText().substr(0, text.size()), text);
        return after->strGetFEN();
    };
    for (const auto& [fenText, text, expected] : cases)
        EXPECT_EQ(played(fenText, text), expected) << fenText << " " << text;
    // Texts that are no moves, or no whole ones, are refused, never guessed (Nxf3 takes nothing).
    for (const char* text : {"e", "Nf", "N3", "Nf3e", "e4!x", "Nxf3", "e2xe4", "N-f3", "Ng1:f3"})
        EXPECT_EQ(played(start, text), "") << text;
}

TEST(Notation, ReadingNamesWhyATextIsNotAMove) {
    const std::pair<const char*, std::vector<const char*>> cases[] = {
        {"unknown piece letter S", {"Sf3"}},
        {"unreadable move", {"Nf3x", "Nf3 junk", "0-0", "Ke1g1h", "Nxe4=Q", "--"}},
    };
    for (const auto& [error, texts] : cases)
        for (const char* text : texts)
            EXPECT_EQ(objReadMoveText(text).strError, error) << text;
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
        {"4k3/8/8/8/8/p7/8/4K3 b - -", "a3a2q", ""},     // no promotion before the last rank
        {corners, "e1g1", "O-O"},
        {corners, "e1c1", "O-O-O"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "e8c8", "O-O-O"},
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
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"},
    };
    for (const auto& [fenText, engineFen] : cases)
        EXPECT_EQ(strEngineFen(*fen(fenText)), engineFen);
}

} // namespace
