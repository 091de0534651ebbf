#include "BoardFixture.h"
#include "board/MoveTextInput.h"

#include <QLabel>
#include <QLineEdit>

namespace {

using MoveEntry = BoardFixture;

TEST(MoveTextInput, TypedTextsAreMatchedAgainstTheLegalMoves) {
    const char* start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
    const char* open = "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -";
    const char* knights = "4k3/8/8/8/8/5N2/8/1N2K3 w - -";
    const char* rooks = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -";
    const char* pawn = "4k3/P7/8/8/8/8/8/4K3 w - -";
    const struct {
        const char* fen;
        const char* text;
        MoveTextMatch::Result result;
        const char* from;
        const char* to;
        char promotion;
    } cases[] = {
        {start, "Nf3", MoveTextMatch::Played, "g1", "f3", 0},
        {start, "g1f3", MoveTextMatch::Played, "g1", "f3", 0},
        {start, "e4!", MoveTextMatch::Played, "e2", "e4", 0},
        {start, "e5", MoveTextMatch::Illegal, "", "", 0},
        {start, "Ke2", MoveTextMatch::Illegal, "", "", 0},
        {start, "hello", MoveTextMatch::Unreadable, "", "", 0},
        {start, "", MoveTextMatch::Unreadable, "", "", 0},
        {open, "exd5", MoveTextMatch::Played, "e4", "d5", 0},
        {open, "exd5+", MoveTextMatch::Played, "e4", "d5", 0},
        // two knights reach d2: the bare text is ambiguous, a file or a rank settles it
        {knights, "Nd2", MoveTextMatch::Ambiguous, "", "", 0},
        {knights, "Nbd2", MoveTextMatch::Played, "b1", "d2", 0},
        {knights, "N3d2", MoveTextMatch::Played, "f3", "d2", 0},
        {knights, "Ngd2", MoveTextMatch::Illegal, "", "", 0},
        {rooks, "O-O", MoveTextMatch::Played, "e1", "g1", 0},
        {rooks, "0-0-0", MoveTextMatch::Played, "e1", "c1", 0},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "O-O", MoveTextMatch::Played, "e8", "g8", 0},
        {"r3k2r/8/8/8/8/8/8/R3K2R w - -", "O-O", MoveTextMatch::Illegal, "", "", 0},
        {pawn, "a8=N", MoveTextMatch::Played, "a7", "a8", 'N'},
        {pawn, "a7a8q", MoveTextMatch::Played, "a7", "a8", 'Q'},
        {pawn, "a8", MoveTextMatch::Played, "a7", "a8", 0},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "exd6", MoveTextMatch::Played, "e5", "d6", 0},
    };
    for (const auto& c : cases) {
        auto board = std::make_unique<cntrlChessGui>();
        ASSERT_TRUE(board->ApplyFen(c.fen)) << c.fen;
        const MoveTextMatch m = objMatchMoveText(board->objPosition(), c.text);
        EXPECT_EQ(m.result, c.result) << c.fen << " " << c.text;
        if (c.result != MoveTextMatch::Played) continue;
        EXPECT_EQ(
            CBoardGeometry::strSquareName(CBoardGeometry::intIndexOfSquare(m.from, false), false),
            c.from)
            << c.text;
        EXPECT_EQ(
            CBoardGeometry::strSquareName(CBoardGeometry::intIndexOfSquare(m.to, false), false),
            c.to)
            << c.text;
        EXPECT_EQ(m.promotion, c.promotion) << c.text;
    }
}

TEST_F(MoveEntry, EnterInTheMoveBoxPlaysLikeADropOrSaysWhyNot) {
    const struct {
        BoardMode mode;
        const char* text;
        bool played;      // the box is emptied and the move made
        const char* said; // start of the message left beside the box
    } cases[] = {
        {BoardMode::FreePlay, "Nf3", true, ""},
        {BoardMode::FreePlay, "  e2e4 ", true, ""},
        {BoardMode::FreePlay, "Nf6", false, "\"Nf6\" is not a legal move"},
        {BoardMode::FreePlay, "zz9", false, "\"zz9\" is not a move"},
        {BoardMode::View, "e4", false, "Moves are not taken"},
    };
    for (const auto& c : cases) {
        board->InitialPosition();
        board->Mode(c.mode);
        events.clear();
        board->txtMove->setText(c.text);
        QTest::keyClick(board->txtMove, Qt::Key_Return);
        EXPECT_EQ(board->txtMove->text().isEmpty(), c.played) << c.text;
        const QString said = board->lblMoveResult->text();
        EXPECT_TRUE(c.said[0] == 0 ? said.isEmpty() : said.startsWith(c.said))
            << c.text << " said: " << said.toStdString();
        EXPECT_EQ(board->objPosition()->isWhiteToMove(), !c.played) << c.text;
        EXPECT_EQ(events.contains("Moved:" + QString(c.text).trimmed()),
                  c.played && c.text[0] == 'N')
            << c.text;
    }
    EXPECT_TRUE(board->txtMove->isHidden()) << "no box in view mode";
    board->Mode(BoardMode::Training);
    EXPECT_FALSE(board->txtMove->isHidden());
    board->isMoveEntryShown(false);
    EXPECT_TRUE(board->txtMove->isHidden());
}

TEST_F(MoveEntry, TypedTrainingMovesAreJudgedAndPromotionsTakeTheTypedPiece) {
    board->ComputerPlays(1);
    board->objGameTree(makeTree({"e4 e5 Nf3"}));
    board->Mode(BoardMode::Training);
    events.clear();
    EXPECT_EQ(board->strPlayMoveText("d4"), "") << "a legal move is played, then judged";
    EXPECT_EQ(events, QStringList({"Training:Wrong move", "Moved:"}));
    events.clear();
    EXPECT_EQ(board->strPlayMoveText("e2e4"), "");
    EXPECT_TRUE(events.contains("Training:e5"));

    int asked = 0;
    board->SetPromotionChooser([&asked](QWidget*) {
        ++asked;
        return QString("Q");
    });
    board->Mode(BoardMode::FreePlay);
    ASSERT_TRUE(board->ApplyFen("4k3/P7/8/8/8/8/8/4K3 w - -"));
    EXPECT_EQ(board->strPlayMoveText("a8=R"), "");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(diagram().substr(0, 1), "R");
    ASSERT_TRUE(board->ApplyFen("4k3/P7/8/8/8/8/8/4K3 w - -"));
    EXPECT_EQ(board->strPlayMoveText("a8"), "");
    EXPECT_EQ(asked, 1) << "without a piece named the chooser is asked";
}

} // namespace
