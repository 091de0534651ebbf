// The practice game itself: the trainee's moves to the engine, and the engine's output polled,
// read and played on the practice board.
#include "board/cntrlChessGui.h"
#include "engine/CEngineBridge.h"
#include "engine/EngineOutput.h"
#include "game/CPosition.h"
#include "model/CGameStatus.h"
#include "practice/frmCrafty.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

void frmCrafty::cntrlChess_Moved(const QString& strMove) {
    Guarded([&] {
        if (!playable || cntrlChess->boardMode() == BoardMode::View) return;
        const QString move = strMove.trimmed();
        if (move.isEmpty() || move == "...") return;
        answerClock.start();
        // The board takes no moves until the engine has answered: a move of the engine's pieces
        // would leave the board and the engine in different games.
        waitingForEngine = true;
        SetBoardMode(BoardMode::View);
        cntrlChess->EnableNavigation(false);
        setCursor(Qt::WaitCursor);
        lblResult->setText("Wait for " + engine.strName + " to move");
        sentMove = move;
        if (engineBridge) engineBridge->SendEngineCommand(move.toStdString());
        timerPoll->start();
    });
}

QString frmCrafty::strEngineSide() const {
    // The trainee has moved, so the side to move is the engine's.
    return cntrlChess->objPosition()->isWhiteToMove() ? "White" : "Black";
}

void frmCrafty::EndGame(const QString& text) {
    waitingForEngine = awaitingResult = false;
    lblResult->setText(text);
    SetBoardMode(BoardMode::View);
    cntrlChess->EnableNavigation(true);
    unsetCursor();
}

void frmCrafty::PlayEngineMove(const std::string& move, bool resultRead) {
    waitingForEngine = false;
    int from = 0;
    int to = 0;
    const auto before = cntrlChess->objPosition();
    cntrlChess->MovePgn2(QString::fromStdString(move), from, to, true, false);
    if (cntrlChess->objPosition() == before) {
        // The board refused the engine's move: the engine is in another game than the board,
        // whose pieces of the engine's side must not pass to the trainee.
        engineBridge->stopEngine();
        EndGame("The engine played an illegal move: " + QString::fromStdString(move) + ".");
        return;
    }
    if (!resultRead) {
        if (cntrlChess->objPosition()->objStatus()->isInProgress()) {
            SetBoardMode(BoardMode::FreePlay);
            cntrlChess->EnableNavigation(false);
        } else {
            // The move ended the game; the engine's own result line may come in a later write.
            SetBoardMode(BoardMode::View);
            awaitingResult = true;
            resultClock.start();
        }
    }
    // The board tints the move's squares and slides the piece there: no line is drawn over it.
    lblResult->setText(cntrlChess->GameStatus());
    unsetCursor();
    lastAnswerMs = answerClock.isValid() ? answerClock.elapsed() : -1;
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
            const bool moveDue = waitingForEngine;
            if (parse.isGameOver) EndGame(QString::fromStdString(parse.strResult));
            if (!parse.strMove.empty() && moveDue) PlayEngineMove(parse.strMove, parse.isGameOver);
            if (parse.strMove.empty() && parse.isRefusalOf(sentMove.toStdString()) && moveDue) {
                // The engine will not answer a move it refused: it plays another game.
                engineBridge->stopEngine();
                EndGame("The engine refused the move: " + QString::fromStdString(parse.strRefusal) +
                        ".");
            }
        }
        if (waitingForEngine && !engineBridge->strError().empty()) {
            // No answer will come: the game on the board can still be examined.
            waitingForEngine = false;
            SetBoardMode(BoardMode::View);
            lblResult->setText(QString::fromStdString(engineBridge->strError()));
            unsetCursor();
        }
        if (awaitingResult && resultClock.elapsed() > resultWaitMs) awaitingResult = false;
        // The timer runs only while something is expected from the engine.
        if (!waitingForEngine && !awaitingResult) timerPoll->stop();
    } catch (...) {
    }
}
