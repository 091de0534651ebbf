#include "BoardFixture.h"
#include "game/CGameNode.h"
#include "model/CError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>

namespace {

using SetupMode = BoardFixture;

const QString kStart = "rnbqkbnrpppppppp" + QString(32, 'e') + "PPPPPPPPRNBQKBNR";

TEST_F(SetupMode, PlainDragCopiesCtrlDragMovesAndOffBoardRemoves) {
    board->Mode(BoardMode::Setup);
    drag("e2", "e4");
    EXPECT_EQ(board->intPictureSlot(idx("e2")), 5);
    EXPECT_EQ(board->intPictureSlot(idx("e4")), 5);
    drag("d2", "d4", Qt::ControlModifier);
    EXPECT_EQ(board->intPictureSlot(idx("d2")), -1);
    EXPECT_EQ(board->intPictureSlot(idx("d4")), 5);
    drag(idx("e4"), QPoint(board->width() - 2, board->height() - 2));
    EXPECT_EQ(board->intPictureSlot(idx("e4")), -1);
    drag("e5", "a8"); // an empty square copies emptiness
    EXPECT_EQ(board->intPictureSlot(idx("a8")), -1);
    drag("h1", "h1", Qt::ControlModifier); // onto itself: the piece stays
    EXPECT_EQ(board->intPictureSlot(idx("h1")), 4);
    EXPECT_TRUE(events.filter(QRegularExpression("^(Moved|Status|Setup)")).isEmpty());
    EXPECT_EQ(board->GameStatus(), "White to move");
    EXPECT_EQ(diagram(), kStart.toStdString()); // the position is not touched until applied
}

TEST_F(SetupMode, RackPiecesAreDroppedOnSquares) {
    board->Mode(BoardMode::Setup);
    auto rackDrag = [&](int slot, QPoint to) {
        const QPoint start = board->rcRackPixels(slot).center();
        QTest::mousePress(board.get(), Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), board->mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(board.get(), &move);
        EXPECT_TRUE(board->isRackDragging());
        QTest::mouseRelease(board.get(), Qt::LeftButton, {}, to);
        EXPECT_FALSE(board->isRackDragging());
    };
    rackDrag(7, board->rcSquarePixels(idx("e4")).center());
    EXPECT_EQ(board->intPictureSlot(idx("e4")), 7);
    const QString before = board->GetDiagramFromGui();
    rackDrag(1, QPoint(board->width() - 2, board->height() - 2));
    EXPECT_EQ(board->GetDiagramFromGui(), before);
    EXPECT_EQ(board->GetDiagramFromGui()[idx("e4")], QChar('q'));
}

TEST_F(SetupMode, KingChecksReportTheFirstFault) {
    const struct {
        const char* fen;
        const char* message;
    } cases[] = {
        {"8/8/8/8/8/8/8/7k w - -", "The white king is missing"},
        {"8/8/8/8/8/8/8/K6K w - -", "Too many white kings"},
        {"8/8/8/8/8/8/8/K7 w - -", "The black king is missing"},
        {"kk6/8/8/8/8/8/8/K7 w - -", "Too many black kings"},
        {"k7/8/8/8/8/8/8/R6K w - -", "The side not to move is in check"},
        {"k7/8/8/8/8/8/8/K5P1 w - -", "A pawn stands on the first or last rank"},
        {"k2p4/8/8/8/8/8/8/K7 w - -", "A pawn stands on the first or last rank"},
        {"k7/8/8/8/8/8/8/R6K b - -", nullptr}, // last: applies
    };
    for (const auto& c : cases) {
        board->Mode(BoardMode::Setup);
        ASSERT_TRUE(board->SetFen(c.fen));
        messages->shown.clear();
        events.clear();
        board->cmdApplySetup_Click();
        EXPECT_EQ(events, QStringList({"Setup"}));
        if (c.message == nullptr) { // Black to move and in check: a sound position
            EXPECT_TRUE(messages->shown.isEmpty()) << c.fen;
            EXPECT_EQ(board->boardMode(), BoardMode::FreePlay);
            continue;
        }
        EXPECT_EQ(messages->shown, QStringList({QString("Chess: ") + c.message})) << c.fen;
        EXPECT_EQ(board->boardMode(), BoardMode::Setup);
        EXPECT_EQ(diagram(), kStart.toStdString());
    }
}

TEST_F(SetupMode, ApplyingGivesAFreshTreeFromTheSetUpPosition) {
    board->MovePgn("e4", true, false);
    board->Mode(BoardMode::Setup);
    ASSERT_TRUE(board->SetFen("4k3/8/8/8/8/8/8/4K3 w - -"));
    board->cmdApplySetup_Click();
    EXPECT_TRUE(messages->shown.isEmpty());
    EXPECT_EQ(board->boardMode(), BoardMode::FreePlay);
    const auto pos = board->objPosition();
    for (int colour : {0, 1}) {
        EXPECT_TRUE(pos->isKCastleForfeited(colour));
        EXPECT_TRUE(pos->isQCastleForfeited(colour));
    }
    EXPECT_EQ(pos->intEnPassantFile(), -1);
    EXPECT_EQ(board->GameStatus(), "White to move");
    EXPECT_EQ(pos->intMoveNumber(), 0);
    EXPECT_EQ(board->objGameTree()->Count(), 1);
    EXPECT_EQ(board->lstWhiteMoves->count(), 0);
    EXPECT_TRUE(board->cmdNavigation[0]->isVisibleTo(board.get()));

    // Black to move starts at move one
    board->Mode(BoardMode::Setup);
    ASSERT_TRUE(board->SetFen("4k3/4p3/8/8/8/8/8/4K3 b - -"));
    board->cmdApplySetup_Click();
    EXPECT_EQ(board->GameStatus(), "Black to move");
    EXPECT_EQ(board->objPosition()->intMoveNumber(), 1);
    board->MovePgn("e5", true, false);
    EXPECT_EQ(items(board->lstWhiteMoves), QStringList({"1.  ... "}));
    EXPECT_EQ(items(board->lstBlackMoves), QStringList({"e5"}));
}

TEST_F(SetupMode, FlippedSetupAppliesWhatTheBoardShows) {
    board->isWhiteOnTop(true);
    board->Mode(BoardMode::Setup);
    board->cmdApplySetup_Click();
    EXPECT_EQ(diagram(), kStart.toStdString());
    EXPECT_EQ(board->GetDiagramFromGui().left(1), "R"); // pictures read in display order
}

TEST_F(SetupMode, ClearAndStartingPositionButtons) {
    // outside setup the errors are swallowed; Apply still raises Setup
    board->cmdClear_Click();
    EXPECT_EQ(diagram(), kStart.toStdString());
    board->cmdApplySetup_Click();
    EXPECT_EQ(events, QStringList({"Setup"}));
    EXPECT_TRUE(messages->shown.isEmpty());
    board->Mode(BoardMode::Setup);
    board->chkWhiteOO->setChecked(true);
    const auto treeBefore = board->objGameTree();
    const auto rootPosition = treeBefore->Item(CGameNode::strINITIAL_KEY())->objPosition();
    board->cmdClear_Click();
    EXPECT_EQ(board->GetDiagramFromGui(), QString(64, 'e'));
    EXPECT_EQ(rootPosition->objDiagram()->strToString(), kStart.toStdString())
        << "the tree keeps its root";
    events.clear();
    board->cmdInitPos_Click();
    EXPECT_EQ(board->GetDiagramFromGui(), kStart);
    EXPECT_NE(board->objGameTree(), treeBefore);
    EXPECT_TRUE(board->chkWhiteOO->isChecked());
    EXPECT_EQ(events, QStringList({"Status:White to move:0"}));
}

TEST_F(SetupMode, DisplayDiagramWritesPicturesInDisplayOrder) {
    board->isWhiteOnTop(true);
    QString text(64, 'e');
    text[0] = 'K';
    text[63] = 'k';
    text[5] = 'x';
    board->DisplayDiagram(text);
    EXPECT_EQ(board->intPictureSlot(0), 0);
    EXPECT_EQ(board->intPictureSlot(63), 6);
    EXPECT_EQ(board->intPictureSlot(5), -1);
    EXPECT_EQ(board->GetDiagramFromGui(), QString(text).replace('x', 'e'));
}

} // namespace
