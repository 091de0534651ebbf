#include "engine/frmCrafty.h"

#include "board/cntrlChessGui.h"
#include "engine/CEngineBridge.h"
#include "engine/CEngineSettings.h"
#include "engine/EngineOutput.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/PositionConstructors.h"
#include "model/CGameStatus.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Sent before every practice game: quiet output, 2 seconds and depth 6 per move, no log files.
const char* const setupCommands[] = {"alarm off",
                                     "ansi off",
                                     "st 2",
                                     "sd 6",
                                     "display nogeneral",
                                     "display notime",
                                     "display nostats",
                                     "display noextstats",
                                     "display nochanges",
                                     "display nomoves",
                                     "display nomovenum",
                                     "log off"};

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
    engineBridge = std::make_unique<CEngineBridge>(engine.strPath, engine.protocol);
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
    resize(960, 660);

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

std::shared_ptr<CPosition> frmCrafty::objTestPosition() const {
    // The first node of the main board's game is its test position.
    const auto tree = mainBoard ? mainBoard->objGameTree() : nullptr;
    if (tree && tree->Count() > 0 && tree->Item(1)->objPosition())
        return tree->Item(1)->objPosition();
    if (mainBoard && mainBoard->objPosition()) return mainBoard->objPosition();
    return objNewStartPosition();
}

void frmCrafty::Form_Load() {
    if (mainBoard) {
        cntrlChess->isWhiteOnTop(mainBoard->isWhiteOnTop());
        cntrlChess->SquareColorDark(mainBoard->SquareColorDark());
        cntrlChess->SquareColorLight(mainBoard->SquareColorLight());
    }
    StartPractice(objTestPosition());
}

void frmCrafty::StartPractice(const std::shared_ptr<CPosition>& position) {
    unsetCursor();
    waitingForEngine = false;
    cntrlChess->Mode(0);
    cntrlChess->ApplyPosition(position);
    if (mainBoard) cntrlChess->isWhiteOnTop(mainBoard->isWhiteOnTop());
    timerPoll->stop();
    const bool started = engineBridge && engineBridge->isStartEngine();
    if (engineBridge) {
        for (const char* command : setupCommands)
            engineBridge->SendEngineCommand(command);
        const auto current = cntrlChess->objGameTree()->objCurrentNode()->objPosition();
        engineBridge->SendEngineCommand("setboard " + current->strGetFEN());
    }
    lblResult->setText(cntrlChess->GameStatus());
    cntrlChess->EnableNavigation(false);
    // The trainee learns at once that no engine will answer, and why.
    if (!started && engineBridge) lblResult->setText(engineBridge->strError());
}

void frmCrafty::cntrlChess_Moved(const QString& strMove) {
    Guarded([&] {
        if (cntrlChess->Mode() == 2) return;
        const QString move = strMove.trimmed();
        if (move.isEmpty() || move == "...") return;
        answerClock.start();
        // The board takes no moves until the engine has answered: a move of the engine's pieces
        // would leave the board and the engine in different games.
        waitingForEngine = true;
        cntrlChess->Mode(2);
        cntrlChess->EnableNavigation(false);
        setCursor(Qt::WaitCursor);
        lblResult->setText("Wait for " + engine.strName + " to move");
        if (engineBridge) engineBridge->SendEngineCommand(move.toStdString());
        timerPoll->start();
    });
}

QString frmCrafty::strEngineSide() const {
    // The trainee has moved, so the side to move is the engine's.
    const QString whiteToMove =
        QString::fromStdString(CGameStatus::objWHITE_TO_MOVE()->strToString());
    return cntrlChess->GameStatus() == whiteToMove ? "White" : "Black";
}

void frmCrafty::timerPoll_Timer() {
    // A poll never troubles the trainee with errors: what fails here simply has no effect.
    try {
        if (!engineBridge) return timerPoll->stop();
        const std::string output =
            strReadEngineOutput([this] { return engineBridge->get_message(); });
        if (!output.empty()) {
            const EngineOutputParse parse =
                parseEngineOutput(output, strEngineSide().toStdString());
            if (parse.isGameOver) {
                waitingForEngine = false;
                lblResult->setText(QString::fromStdString(parse.strResult));
                cntrlChess->Mode(2);
                cntrlChess->EnableNavigation(true);
                unsetCursor();
                timerPoll->stop();
            }
            if (!parse.strMove.empty()) {
                if (waitingForEngine && !parse.isGameOver) {
                    cntrlChess->Mode(0);
                    cntrlChess->EnableNavigation(false);
                }
                waitingForEngine = false;
                int from = 0;
                int to = 0;
                cntrlChess->MovePgn2(QString::fromStdString(parse.strMove), from, to, true, false);
                lblResult->setText(cntrlChess->GameStatus());
                cntrlChess->DrawLine(from, to, false);
                unsetCursor();
                lastAnswerMs = answerClock.isValid() ? answerClock.elapsed() : -1;
                // Nothing more comes before the trainee's next move.
                timerPoll->stop();
                return;
            }
        }
        if (!engineBridge->strError().isEmpty()) {
            // No answer will come: the game on the board can still be examined.
            waitingForEngine = false;
            cntrlChess->Mode(2);
            lblResult->setText(engineBridge->strError());
            unsetCursor();
            timerPoll->stop();
        }
    } catch (...) {
    }
}

void frmCrafty::lblExamine_Click() {
    Guarded([this] {
        waitingForEngine = false;
        cntrlChess->Mode(2);
        cntrlChess->EnableNavigation(true);
        lblResult->setText("Examine mode");
        lblExamine->setEnabled(false);
    });
}

void frmCrafty::lblReplay_Click() {
    Guarded([this] {
        lblExamine->setEnabled(true);
        StartPractice(objTestPosition());
    });
}

void frmCrafty::lblReplay2_Click() {
    Guarded([this] {
        lblExamine->setEnabled(true);
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
