// The training board and how the window drives it.
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"

#include <QSizePolicy>
#include <QTimer>
#include <algorithm>

namespace {

// The narrowest board the window shrinks to: in training its squares stay big enough to drop a
// piece on; after a game, beside the move lists, big enough to read (a 1024-pixel screen at 125%).
int intMinimumBoardWidth(BoardMode mode) {
    return mode == BoardMode::Training ? 360 : 470;
}

// Where the window is narrower than that (a 1024-pixel screen at 150%), the board gives up room
// down to this width, so that the panel beside it keeps its own.
constexpr int smallestBoardWidth = 340;

} // namespace

void frmMain::CreateBoard() {
    cntrlChess = new cntrlChessGui(this);
    cntrlChess->setObjectName("cntrlChess");
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    cntrlChess->setSizePolicy(policy);
    // The squares follow the room the window gives the board; the lists and buttons it shows
    // after a game take their place beside them.
    cntrlChess->isFillingSpace(true);
    cntrlChess->installEventFilter(this);
    connect(cntrlChess, &cntrlChessGui::TrainingStatus, this, &frmMain::OnTrainingStatus);
    connect(cntrlChess, &cntrlChessGui::RefutedTry, this, [this](const QString& key) {
        Guarded([&] { session.RefutedTry(key.toStdString()); });
    });
    // Moves reach the board before its position changes: the line is read once they are done.
    connect(cntrlChess, &cntrlChessGui::Moved, this,
            [this] { QTimer::singleShot(0, this, &frmMain::UpdateToPlay); });
}

void frmMain::OnTrainingStatus(const QString& status) {
    Guarded([&] { session.TrainingStatus(status.toStdString()); });
    UpdateToPlay();
}

long frmMain::lngBoardLightColor() const {
    return static_cast<long>(cntrlChess->SquareColorLight());
}

long frmMain::lngBoardDarkColor() const {
    return static_cast<long>(cntrlChess->SquareColorDark());
}

void frmMain::SetBoardColors(long light, long dark) {
    cntrlChess->SquareColorLight(static_cast<quint32>(light) & 0xFFFFFFu);
    cntrlChess->SquareColorDark(static_cast<quint32>(dark) & 0xFFFFFFu);
}

bool frmMain::isBoardWhiteOnTop() const {
    return cntrlChess->isWhiteOnTop();
}

void frmMain::SetBoardWhiteOnTop(bool whiteOnTop) {
    cntrlChess->isWhiteOnTop(whiteOnTop);
}

void frmMain::SetBoardComputerPlays(int side) {
    cntrlChess->ComputerPlays(side);
}

void frmMain::SetBoardGameTree(const std::shared_ptr<CGameTree>& tree) {
    solutionShown = false;
    cntrlChess->ClearArrows();
    cntrlChess->objGameTree(tree);
}

void frmMain::SetBoardTrainingTries(const TrainingTries& keys) {
    cntrlChess->objTrainingTries(keys);
}

void frmMain::SetBoardMode(BoardMode mode) {
    cntrlChess->Mode(mode);
    FitBoardMinimum();
    FitBoard();
    if (isVisible()) FocusForKeys();
}

BoardMode frmMain::boardMode() const {
    return cntrlChess->boardMode();
}

void frmMain::FitBoardMinimum() {
    const int wanted = intMinimumBoardWidth(cntrlChess->boardMode());
    const QWidget* central = centralWidget();
    int room = wanted;
    if (central != nullptr) {
        // What the window's contents need beside the board, at their narrowest.
        const int rest = central->minimumSizeHint().width() - cntrlChess->minimumWidth();
        room = std::clamp(central->width() - rest, smallestBoardWidth, wanted);
    }
    if (cntrlChess->minimumWidth() != room) cntrlChess->setMinimumWidth(room);
}
