#include "practice/frmCrafty.h"

#include "board/cntrlChessGui.h"
#include "engine/CEngineBridge.h"
#include "engine/EngineOutput.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/PositionSoundness.h"
#include "model/CDiagram.h"
#include "settings/CEngineSettings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

void showCritical(QWidget* parent, const QString& message) {
    QMessageBox::critical(parent, "Brisolt", message);
}

// A caption button drawn as the window's clickable labels.
QPushButton* linkLabel(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet("QPushButton { text-align: left; color: palette(link); border: none; "
                          "padding: 2px; } QPushButton:disabled { color: palette(mid); }");
    return button;
}

} // namespace

PracticeEngine PracticeEngine::FromSettings() {
    return {CEngineSettings::strEnginePath(), CEngineSettings::protocol(),
            CEngineSettings::strEngineName()};
}

frmCrafty::frmCrafty(cntrlChessGui* board, QWidget* owner)
    : frmCrafty(board, PracticeEngine::FromSettings(), owner) {}

frmCrafty::frmCrafty(cntrlChessGui* board, PracticeEngine chosen, QWidget* owner, ErrorSink sink)
    : QDialog(owner), mainBoard(board), engine(std::move(chosen)),
      errorSink(sink ? std::move(sink) : ErrorSink(showCritical)) {
    setModal(true);
    setWindowTitle("Practice with " + engine.strName);
    CreateControls();
    engineBridge = std::make_unique<CEngineBridge>(engine.strPath.toStdString(), engine.protocol);
    Guarded([this] { Form_Load(); });
}

frmCrafty::~frmCrafty() {
    Form_Unload();
}

void frmCrafty::CreateControls() {
    cntrlChess = new cntrlChessGui(this);
    lblResult = new QLabel(this);
    lblResult->setWordWrap(true);
    lblExamine = linkLabel("Stop Game", this);
    lblReplay = linkLabel("Replay from beginning", this);
    lblReplay2 = linkLabel("Replay from this point", this);
    lblClose = linkLabel("Close this window", this);
    timerPoll = new QTimer(this);
    timerPoll->setInterval(1);

    // A side panel of fixed width: a longer status text never resizes the board.
    auto* panel = new QWidget(this);
    panel->setFixedWidth(240);
    auto* side = new QVBoxLayout(panel);
    side->setContentsMargins(0, 0, 0, 0);
    side->addWidget(lblResult);
    side->addSpacing(12);
    for (QPushButton* label : {lblExamine, lblReplay, lblReplay2, lblClose})
        side->addWidget(label);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(cntrlChess, 1);
    layout->addWidget(panel);
    // Room for a board of comfortable size beside its move lists.
    resize(QSize(960, 660).boundedTo(screen()->availableGeometry().size()));

    connect(cntrlChess, &cntrlChessGui::Moved, this, &frmCrafty::cntrlChess_Moved);
    connect(timerPoll, &QTimer::timeout, this, &frmCrafty::timerPoll_Timer);
    connect(lblExamine, &QPushButton::clicked, this, &frmCrafty::lblExamine_Click);
    connect(lblReplay, &QPushButton::clicked, this, &frmCrafty::lblReplay_Click);
    connect(lblReplay2, &QPushButton::clicked, this, &frmCrafty::lblReplay2_Click);
    connect(lblClose, &QPushButton::clicked, this, &frmCrafty::lblClose_Click);
}

void frmCrafty::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        errorSink(this, QString::fromStdString(error.what()));
    }
}

void frmCrafty::SetBoardMode(BoardMode mode) {
    cntrlChess->Mode(mode);
    // The practice game is always played at its last move (navigation is off while playing), so
    // the board's Delete has no variation to delete here: the window does without it.
    cntrlChess->cmdDelete->hide();
}

std::shared_ptr<CPosition> frmCrafty::objTestPosition() const {
    // The first node of the main board's game is its test position; without a game, the
    // position the main board shows.
    const auto tree = mainBoard ? mainBoard->objGameTree() : nullptr;
    if (tree && tree->Count() > 0 && tree->Item(1)->objPosition())
        return tree->Item(1)->objPosition();
    return mainBoard ? mainBoard->objPosition() : nullptr;
}

void frmCrafty::Form_Load() {
    if (mainBoard) {
        cntrlChess->isWhiteOnTop(mainBoard->isWhiteOnTop());
        cntrlChess->SquareColorDark(mainBoard->SquareColorDark());
        cntrlChess->SquareColorLight(mainBoard->SquareColorLight());
    }
    StartPractice(objTestPosition());
    // The keyboard starts in the move box, not on the board: the first move can be typed at once.
    if (cntrlChess->txtMove->isVisibleTo(cntrlChess)) cntrlChess->txtMove->setFocus();
}

bool frmCrafty::isShowUnplayable(const std::shared_ptr<CPosition>& position) {
    std::string reason = position ? strUnplayableReason(*position) : "there is no test position";
    if (reason.empty() && !cntrlChess->ApplyPosition(position))
        reason = "the board does not take it";
    if (reason.empty()) return false;
    // The position stays in view as it is; no other position takes its place.
    if (engineBridge) engineBridge->stopEngine();
    SetBoardMode(BoardMode::View);
    cntrlChess->EnableNavigation(false);
    if (position && position->objDiagram()) {
        std::string cells = position->objDiagram()->strToString();
        if (cntrlChess->isWhiteOnTop()) std::reverse(cells.begin(), cells.end());
        cntrlChess->DisplayDiagram(QString::fromStdString(cells));
    }
    lblResult->setText("This position cannot be played: " + QString::fromStdString(reason) + ".");
    lblExamine->setEnabled(false);
    lblReplay2->setEnabled(false);
    return true;
}

void frmCrafty::StartPractice(const std::shared_ptr<CPosition>& position) {
    unsetCursor();
    timerPoll->stop();
    playable = waitingForEngine = awaitingResult = false;
    if (mainBoard) cntrlChess->isWhiteOnTop(mainBoard->isWhiteOnTop());
    SetBoardMode(BoardMode::FreePlay);
    if (isShowUnplayable(position)) return;
    lblExamine->setEnabled(true);
    lblReplay2->setEnabled(true);
    const bool started = engineBridge && engineBridge->isStartEngine();
    if (started && engine.protocol == EngineProtocol::Unknown) {
        // What this start found out is kept: the next game starts without finding out again.
        engine.protocol = engineBridge->protocol();
        const QString name = QString::fromStdString(engineBridge->strEngineName());
        if (engine.protocol == EngineProtocol::Console) engine.strName = "Crafty";
        if (!name.isEmpty()) engine.strName = name;
        CEngineSettings::Remember(engine.strPath, engine.protocol, name);
        setWindowTitle("Practice with " + engine.strName);
    }
    if (engineBridge) {
        for (const std::string& command : arrstrSetupCommands())
            engineBridge->SendEngineCommand(command);
        const auto current = cntrlChess->objGameTree()->objCurrentNode()->objPosition();
        engineBridge->SendEngineCommand("setboard " + current->strGetFEN());
    }
    lblResult->setText(cntrlChess->GameStatus());
    cntrlChess->EnableNavigation(false);
    playable = true;
    // The trainee learns at once that no engine will answer, and why.
    if (!started && engineBridge)
        lblResult->setText(QString::fromStdString(engineBridge->strError()));
}

void frmCrafty::lblExamine_Click() {
    Guarded([this] {
        waitingForEngine = awaitingResult = false;
        timerPoll->stop();
        unsetCursor();
        SetBoardMode(BoardMode::View);
        cntrlChess->EnableNavigation(true);
        lblResult->setText("Examine mode");
        lblExamine->setEnabled(false);
    });
}

void frmCrafty::lblReplay_Click() {
    Guarded([this] { StartPractice(objTestPosition()); });
}

void frmCrafty::lblReplay2_Click() {
    Guarded([this] {
        if (!playable) return;
        StartPractice(cntrlChess->objGameTree()->objCurrentNode()->objPosition());
    });
}

void frmCrafty::lblClose_Click() {
    Guarded([this] { close(); });
}

void frmCrafty::done(int result) {
    Guarded([this] { Form_Unload(); });
    QDialog::done(result);
}

void frmCrafty::Form_Unload() {
    if (unloaded) return;
    unloaded = true;
    timerPoll->stop();
    unsetCursor();
    if (!engineBridge) return;
    engineBridge->SendEngineCommand("end");
    // The engine and its working folder go with the window.
    engineBridge.reset();
}
