#pragma once

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class cntrlChessGui;
class CPropertyStore;

// The board's look-and-feel options as menu entries: a theme submenu with a preview of each
// theme, and switches for coordinates, legal-move marks, the last-move tint, sliding moves,
// sounds and the move box. The host passes a callback that saves the options when one changes.
class CBoardOptionsMenu : public QObject {
    Q_OBJECT
public:
    // Adds the entries to the menu; changed runs after every change the user makes.
    CBoardOptionsMenu(QMenu* menu, cntrlChessGui* board, std::function<void()> changed);

    // Reads the switches from the store ("ShowCoordinates", "ShowLegalMoves", "ShowLastMove",
    // "AnimateMoves", "Sounds", "ShowMoveBox"; all on when absent) and applies them.
    static void ReadOptions(cntrlChessGui* board, const CPropertyStore& store);
    // Writes the board's switches to the store (values equal to the default are not kept).
    static void WriteOptions(const cntrlChessGui* board, CPropertyStore& store);

    // Ticks the entries that match the board (after the host changed it).
    void Synchronise();

    QMenu* mnuTheme;
    QAction* mnuCoordinates;
    QAction* mnuLegalMoves;
    QAction* mnuLastMove;
    QAction* mnuAnimate;
    QAction* mnuSounds;
    QAction* mnuMoveBox;

private:
    cntrlChessGui* board;
    std::function<void()> changed;
};
