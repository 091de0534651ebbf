#include "board/frmPromote.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(PromoteDialog, EachButtonChoosesItsLetterAndClosesTheDialog) {
    const struct {
        QPushButton* frmPromote::*button;
        const char* caption;
        const char* letter;
    } cases[] = {
        {&frmPromote::cmdQueen, "Queen", "Q"},
        {&frmPromote::cmdKnight, "Knight", "N"},
        {&frmPromote::cmdBishop, "Bishop", "B"},
        {&frmPromote::cmdRook, "Rook", "R"},
    };
    for (const auto& c : cases) {
        frmPromote dialog;
        EXPECT_EQ(dialog.windowTitle(), "Select promotion piece");
        EXPECT_TRUE(dialog.isModal());
        EXPECT_EQ(dialog.strChosen(), "");
        QPushButton* button = dialog.*(c.button);
        EXPECT_EQ(button->toolTip(), c.caption);
        EXPECT_FALSE(button->icon().isNull()) << "the piece is shown as a picture";
        dialog.show();
        button->click();
        EXPECT_EQ(dialog.strChosen(), c.letter);
        EXPECT_FALSE(dialog.isVisible());
    }
}

// Drives the real modal loop: a timer presses a button (or closes the window) while it runs.
TEST(PromoteDialog, AskReturnsTheChoiceOrNothingWhenClosed) {
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<frmPromote*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->cmdBishop->click();
    });
    EXPECT_EQ(frmPromote::strAsk(nullptr), "B");

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<frmPromote*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->close();
    });
    EXPECT_EQ(frmPromote::strAsk(nullptr), "");

    // Over a square: the queen sits on the square itself.
    const QRect square(300, 100, 60, 60);
    QTimer::singleShot(0, [square] {
        auto* dialog = qobject_cast<frmPromote*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        const QRect queen(dialog->cmdQueen->mapToGlobal(QPoint(0, 0)), dialog->cmdQueen->size());
        EXPECT_TRUE(queen.intersects(square));
        dialog->cmdKnight->click();
    });
    EXPECT_EQ(frmPromote::strAsk(nullptr, square, false), "N");
}

} // namespace
