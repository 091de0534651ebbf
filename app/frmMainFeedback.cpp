// How the training window shows progress and the solution: tries left, the refused move shown
// and taken back, the place in the batch, the session's score, the batch summary, the solution's
// next move as an arrow, stepping through moves with the keys, and the window's colours.
#include "app/CActionLabel.h"
#include "app/CAppearance.h"
#include "app/CBatchSummaryDialog.h"
#include "app/CSettings.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "workbook/CWorkBook.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {

// How long a refused move stays on its target square before it is taken back.
constexpr int refusedMoveMs = 600;

QString plainCaption(const QAction* action) {
    return action->text().remove('&').remove("...");
}

} // namespace

void frmMain::ShowGameOfBatch(const std::string& text) {
    lblGameOf->setText(QString::fromStdString(text));
}

void frmMain::ShowSessionScoreText(const std::string& text) {
    lblSessionScore->setText(QString::fromStdString(text));
}

// The refused move is drawn as a red arrow and its piece stands on the target square for a
// moment; then the piece goes back. Whatever the board shows meanwhile (another move, another
// game, the board flipped) wins: the piece is put up only on the position and orientation it
// was refused on, and goes back only while the pictures are still the ones put up here.
void frmMain::ShowRefusedMove() {
    const auto [from, to] = cntrlChess->RefusedMove();
    if (from < 0 || from > 63 || to < 0 || to > 63 || from == to) return;
    cntrlChess->DrawArrow(from, to, CBoardMarks::Red);
    QPointer<cntrlChessGui> board = cntrlChess;
    const std::shared_ptr<CPosition> refusedOn = cntrlChess->objPosition();
    const bool whiteOnTop = cntrlChess->isWhiteOnTop(); // the squares are display indices
    // The board ends the drop first; the move is put up once it has.
    QTimer::singleShot(0, this, [board, refusedOn, whiteOnTop, from, to] {
        if (!board || board->boardMode() != BoardMode::Training) return;
        if (board->objPosition() != refusedOn || board->isWhiteOnTop() != whiteOnTop) return;
        // The pictures may still show an earlier refused move: the position is what goes back.
        const QString before = board->strPositionDiagram();
        if (before.at(from) == 'e') return;
        QString shown = before;
        shown[to] = before.at(from);
        shown[from] = 'e';
        board->DisplayDiagram(shown);
        QTimer::singleShot(refusedMoveMs, board, [board, before, shown] {
            if (board && board->GetDiagramFromGui() == shown) board->DisplayDiagram(before);
        });
    });
}

void frmMain::ShowSolutionMoves(bool shown) {
    solutionShown = shown;
    cntrlChess->ClearArrows();
    UpdateSolutionArrow();
    FocusForKeys();
}

std::shared_ptr<CGameTree> frmMain::objBoardGameTree() const {
    return cntrlChess->objGameTree();
}

// The solution's next move, the variation chosen for the next step, as a blue arrow (it stands
// out on every theme, the green ones too).
void frmMain::UpdateSolutionArrow() {
    if (!solutionShown || cntrlChess->boardMode() != BoardMode::View) return;
    cntrlChess->ClearArrows();
    const QListWidgetItem* item = cntrlChess->lstVariations->currentItem();
    if (item == nullptr) return;
    QString move = item->text();
    move.remove('+').remove('#');
    if (move.isEmpty() || move == "...") return;
    cntrlChess->DrawMoveArrow(move, CBoardMarks::Blue);
}

int32_t frmMain::lngAskBatchSummary(const TrainingFeedback::BatchSummary& summary) {
    if (unattended_) return 0;
    std::vector<std::pair<int32_t, QString>> again;
    for (int32_t id : summary.again) {
        QString caption;
        if (workbook) {
            if (const auto row = workbook->objGetGameRow(id)) {
                caption = QString::fromStdString(row->strDescription).simplified();
                const QString page = QString::fromStdString(row->strXRefPage).simplified();
                if (!page.isEmpty()) caption += (caption.isEmpty() ? "" : ", ") + page;
            }
        }
        if (caption.isEmpty()) caption = QString("Game %1").arg(id);
        again.emplace_back(id, caption);
    }
    CBatchSummaryDialog dialog(
        this, QString::fromStdString(TrainingFeedback::strSummaryCounts(summary)), again);
    dialog.exec();
    return dialog.lngChosenGame();
}

// Keys go where they act: the move box while a game is trained, the board once it has ended.
void frmMain::FocusForKeys() {
    if (txtWorkbook->hasFocus()) return;
    if (cntrlChess->boardMode() == BoardMode::Training && cntrlChess->txtMove->isVisible())
        cntrlChess->txtMove->setFocus();
    else
        cntrlChess->setFocus();
}

// Moves are stepped through in free play and after a game, never while one is trained.
bool frmMain::isSteppable() const {
    const BoardMode mode = cntrlChess->boardMode();
    return mode == BoardMode::FreePlay || mode == BoardMode::View;
}

void frmMain::StepMoves(int k) {
    if (!isSteppable() || !cntrlChess->cmdNavigation[0]->isEnabled()) return;
    cntrlChess->cmdNavigation_Click(k);
}

void frmMain::ChooseVariation(int delta) {
    QListWidget* list = cntrlChess->lstVariations;
    if (!isSteppable() || list->count() < 2) return;
    list->setCurrentRow(std::clamp(list->currentRow() + delta, 0, list->count() - 1));
}

void frmMain::BuildMoveMenu(QMenu* training) {
    QMenu* moves = training->addMenu("&Moves");
    moves->setObjectName("mnuMoves");
    auto add = [&](const char* name, const QString& caption, Qt::Key key) {
        QAction* action = moves->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(QKeySequence(key));
        return action;
    };
    mnuMoveFirst = add("mnuMoveFirst", "&First Move", Qt::Key_Home);
    mnuMovePrevious = add("mnuMovePrevious", "&Previous Move", Qt::Key_Left);
    mnuMoveNext = add("mnuMoveNext", "&Next Move", Qt::Key_Right);
    mnuMoveLast = add("mnuMoveLast", "Next &Branch", Qt::Key_End);
    moves->addSeparator();
    mnuVariationUp = add("mnuVariationUp", "Previous &Variation", Qt::Key_Up);
    mnuVariationDown = add("mnuVariationDown", "Next V&ariation", Qt::Key_Down);
    connect(mnuMoveFirst, &QAction::triggered, this, [this] { StepMoves(0); });
    connect(mnuMovePrevious, &QAction::triggered, this, [this] { StepMoves(2); });
    connect(mnuMoveNext, &QAction::triggered, this, [this] { StepMoves(3); });
    connect(mnuMoveLast, &QAction::triggered, this, [this] { StepMoves(4); });
    connect(mnuVariationUp, &QAction::triggered, this, [this] { ChooseVariation(-1); });
    connect(mnuVariationDown, &QAction::triggered, this, [this] { ChooseVariation(1); });
    connect(cntrlChess, &cntrlChessGui::Moved, this, &frmMain::UpdateSolutionArrow);
    connect(cntrlChess->lstVariations, &QListWidget::currentRowChanged, this,
            &frmMain::UpdateSolutionArrow);
}

void frmMain::BuildAppearanceMenu(QMenu* options) {
    mnuAppearance = options->addMenu("A&ppearance");
    mnuAppearance->setObjectName("mnuAppearance");
    auto* group = new QActionGroup(mnuAppearance);
    for (const QString& choice : CAppearance::arrChoices()) {
        QAction* action = mnuAppearance->addAction(choice == "System" ? "&System" : "&" + choice);
        action->setObjectName("mnuAppearance" + choice);
        action->setCheckable(true);
        action->setData(choice);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, choice] { ChooseAppearance(choice); });
    }
}

void frmMain::ShowAppearance(const QString& choice) {
    CAppearance::Apply(choice);
    // A widget's style sheet keeps the palette it was applied under until it is applied again:
    // the command labels would stay dark blue on a dark window.
    for (QWidget* widget : findChildren<QWidget*>())
        if (!widget->styleSheet().isEmpty()) widget->setStyleSheet(widget->styleSheet());
    const QString applied = CAppearance::strApplied();
    for (QAction* action : mnuAppearance->actions())
        action->setChecked(action->data().toString() == applied);
}

void frmMain::ChooseAppearance(const QString& choice) {
    ShowAppearance(choice);
    CSettings::strAppearance(CAppearance::strApplied());
}

// The command labels and the Next button name the keys that run them.
void frmMain::AddShortcutTips() {
    const std::pair<QWidget*, QAction*> pairs[] = {{lblNextGame, mnuNextGame},
                                                   {lblPreviousGame, mnuPreviousGame},
                                                   {lblShowSolution, mnuShowSolution},
                                                   {lblCrafty, mnuCrafty},
                                                   {lblFlip, mnuFlip},
                                                   {cmdNext, mnuNextGame},
                                                   {cmdOpenWbk, mnuOpenWorkbook}};
    for (const auto& [widget, action] : pairs) {
        const QString tip = widget->toolTip().isEmpty() ? plainCaption(action) : widget->toolTip();
        widget->setToolTip(tip + " (" + action->shortcut().toString(QKeySequence::NativeText) +
                           ")");
    }
}

// The board is as wide as its squares at the height it is given, so that the panel stands right
// beside it; what is left goes to the right edge.
void frmMain::FitBoard() {
    const int height = cntrlChess->height();
    if (height <= 0) return;
    int low = 120, high = 8000; // widths: the largest whose board fits the height
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (cntrlChess->heightForWidth(middle) <= height)
            low = middle;
        else
            high = middle - 1;
    }
    low = std::max(low, cntrlChess->minimumWidth());
    if (cntrlChess->maximumWidth() != low) cntrlChess->setMaximumWidth(low);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cntrlChess && event->type() == QEvent::Resize) FitBoard();
    if (watched == centralWidget() && event->type() == QEvent::Resize) FitBoardMinimum();
    // After a game the board holds the keys: Enter presses Next, drawn as the default button.
    // While a game is trained Next is hidden and the move box keeps its Enter.
    if (watched == cntrlChess && event->type() == QEvent::KeyPress && cmdNext->isVisible()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdNext->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
