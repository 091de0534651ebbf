#include "BoardFixture.h"

#include <QMouseEvent>

namespace {

// Clicks (press and release on the same square) with real mouse events.
class ClickMoves : public BoardFixture {
protected:
    void click(const char* square, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers keys = Qt::NoModifier) {
        const QPoint at = board->rcSquarePixels(idx(square)).center();
        QTest::mousePress(board.get(), button, keys, at);
        QTest::mouseRelease(board.get(), button, keys, at);
    }
    void rightDrag(const char* from, const char* to, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QTest::mousePress(board.get(), Qt::RightButton, keys,
                          board->rcSquarePixels(idx(from)).center());
        QTest::mouseRelease(board.get(), Qt::RightButton, keys,
                            board->rcSquarePixels(idx(to)).center());
    }
    // Squares carrying a target mark, as "e4:1" (dot) or "d5:2" (ring), sorted by name.
    QStringList targetMarks() const {
        QStringList out;
        for (int i = 0; i < 64; ++i)
            if (board->intTargetMark(i) != 0)
                out << QString::fromStdString(
                           CBoardGeometry::strSquareName(i, board->isWhiteOnTop())) +
                           ":" + QString::number(board->intTargetMark(i));
        out.sort();
        return out;
    }
};

TEST_F(ClickMoves, ClickThenTargetPlaysTheMoveAndOtherClicksCancelOrReselect) {
    const struct {
        const char* clicks;   // squares clicked in turn
        const char* moved;    // Moved events raised, joined by ","
        const char* selected; // square selected at the end, "" for none
    } cases[] = {
        {"e2 e4", "e4", ""},    {"g1 f3", "Nf3", ""},
        {"e2 e5", "", ""},   // not a target: the selection is cancelled, nothing moves
        {"e2 d2", "", "d2"}, // another own piece takes the selection
        {"e2 e2", "", ""},   // a second click on the piece lets it go
        {"e7", "", ""},      // a piece of the side not to move is not selected
        {"e2 d2 d4", "d4", ""},
    };
    for (const auto& c : cases) {
        board->InitialPosition();
        events.clear();
        for (const QString& square : QString(c.clicks).split(' '))
            click(square.toLatin1().constData());
        QStringList moved;
        for (const QString& e : events)
            if (e.startsWith("Moved:")) moved << e.mid(6);
        EXPECT_EQ(moved.join(","), c.moved) << c.clicks;
        const int sel = board->intSelectedSquare();
        EXPECT_EQ(sel < 0 ? QString()
                          : QString::fromStdString(CBoardGeometry::strSquareName(sel, false)),
                  c.selected)
            << c.clicks;
        EXPECT_TRUE(c.selected[0] != 0 || targetMarks().isEmpty()) << c.clicks;
    }
}

TEST_F(ClickMoves, TargetsOfTheSelectedPieceFollowTheRules) {
    const struct {
        const char* fen;
        const char* square;
        const char* marks;
    } cases[] = {
        // a knight pinned to its king has no move; a bishop pinned on a diagonal keeps it
        {"4k3/8/8/8/4r3/8/4N3/4K3 w - -", "e2", ""},
        {"4k3/8/8/8/7b/8/5B2/4K3 w - -", "f2", "g3:1 h4:2"},
        // castling on both sides, and not through an attacked square
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", "e1", "c1:1 d1:1 d2:1 e2:1 f1:1 f2:1 g1:1"},
        {"4k3/8/8/8/8/8/5r2/R3K2R w KQ -", "e1", "c1:1 d1:1 f2:2"},
        // en passant is a capture onto an empty square
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "e5", "d6:2 e6:1"},
        // a piece of the side not to move offers nothing
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "d5", ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(board->ApplyFen(c.fen)) << c.fen;
        board->SelectSquare(idx(c.square));
        EXPECT_EQ(targetMarks().join(' '), c.marks) << c.fen;
    }
}

TEST_F(ClickMoves, DotsShowWhileDraggingAndCanBeSwitchedOff) {
    const QPoint start = board->rcSquarePixels(idx("g1")).center();
    QTest::mousePress(board.get(), Qt::LeftButton, Qt::NoModifier, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(30, -30)),
                     board->mapToGlobal(QPointF(start + QPoint(30, -30))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(board.get(), &move);
    EXPECT_TRUE(board->isDragging());
    EXPECT_EQ(targetMarks().join(' '), "f3:1 h3:1");
    board->isLegalHintsShown(false);
    EXPECT_TRUE(targetMarks().isEmpty());
    QTest::mouseRelease(board.get(), Qt::LeftButton, Qt::NoModifier,
                        board->rcSquarePixels(idx("f3")).center());
    EXPECT_EQ(diagram().substr(40, 8), "eeeeeNee") << "the drop still plays";
    // without the marks, click-click still works
    click("e7");
    click("e5");
    EXPECT_EQ(diagram().substr(24, 8), "eeeepeee");
}

TEST_F(ClickMoves, RightButtonDrawsArrowsAndMarksThatLeftClicksAndMovesClear) {
    // while the button is held a pale arrow follows the pointer
    const QPoint e3 = board->rcSquarePixels(idx("e3")).center();
    const QColor plain = board->grab().toImage().pixelColor(e3);
    QTest::mousePress(board.get(), Qt::RightButton, Qt::NoModifier,
                      board->rcSquarePixels(idx("e2")).center());
    const QPoint e4 = board->rcSquarePixels(idx("e4")).center();
    QMouseEvent hold(QEvent::MouseMove, QPointF(e4), board->mapToGlobal(QPointF(e4)), Qt::NoButton,
                     Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(board.get(), &hold);
    EXPECT_NE(board->grab().toImage().pixelColor(e3), plain);
    EXPECT_TRUE(board->objMarks().isEmpty()) << "nothing is kept before the button is let go";
    QTest::mouseRelease(board.get(), Qt::RightButton, Qt::NoModifier, e4);
    ASSERT_EQ(board->objMarks().arrArrows().size(), 1u);
    board->ClearArrows();
    EXPECT_EQ(board->grab().toImage().pixelColor(e3), plain);

    rightDrag("e2", "e4");
    rightDrag("g1", "f3", Qt::ShiftModifier);
    click("d4", Qt::RightButton, Qt::ControlModifier);
    click("c5", Qt::RightButton, Qt::AltModifier);
    const CBoardMarks& marks = board->objMarks();
    ASSERT_EQ(marks.arrArrows().size(), 2u);
    EXPECT_EQ(marks.arrArrows()[0].from, 12); // e2 as file + 8 * rank
    EXPECT_EQ(marks.arrArrows()[0].to, 28);
    EXPECT_EQ(marks.arrArrows()[0].color, CBoardMarks::Green);
    EXPECT_EQ(marks.arrArrows()[1].color, CBoardMarks::Red);
    EXPECT_EQ(marks.intMark(27), CBoardMarks::Blue);
    EXPECT_EQ(marks.intMark(34), CBoardMarks::Yellow);
    rightDrag("e2", "e4"); // the same arrow again takes it away
    EXPECT_EQ(marks.arrArrows().size(), 1u);
    click("a5"); // a left click anywhere clears
    EXPECT_TRUE(marks.isEmpty());

    rightDrag("e2", "e4");
    board->MovePgn("d4", true, false); // so does the next move
    EXPECT_TRUE(board->objMarks().isEmpty());

    // the program's own arrow from a move text, kept on its squares when the board turns
    EXPECT_TRUE(board->DrawMoveArrow("Nc6", CBoardMarks::Blue));
    EXPECT_FALSE(board->DrawMoveArrow("Nc5"));
    EXPECT_FALSE(board->DrawMoveArrow("nonsense"));
    board->isWhiteOnTop(true);
    ASSERT_EQ(board->objMarks().arrArrows().size(), 1u);
    EXPECT_EQ(board->objMarks().arrArrows()[0].from, 57); // b8
    EXPECT_EQ(board->objMarks().arrArrows()[0].to, 42);   // c6
    const QImage image = board->grab().toImage();
    const QPoint mid =
        (board->rcSquarePixels(idx("b8")).center() + board->rcSquarePixels(idx("c6")).center()) / 2;
    EXPECT_GT(image.pixelColor(mid).blue(), image.pixelColor(mid).red() + 60)
        << "the arrow is painted in its colour";
    board->ClearArrows();
    EXPECT_TRUE(board->objMarks().isEmpty());
}

} // namespace
