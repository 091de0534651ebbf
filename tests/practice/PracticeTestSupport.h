#pragma once

#include "board/cntrlChessGui.h"
#include "engine/CEngineBridge.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "practice/frmCrafty.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

inline const char* const startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

// A fake engine of tests/engine/fakes (or a path relative to it).
inline QString fake(const char* name) {
    return QString(BRISOLT_FAKE_ENGINES) + "/" + name;
}

// Runs the event loop until the condition holds or the time is up.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// A practice window against the engine, recording the errors its handlers report.
struct Practice {
    std::unique_ptr<cntrlChessGui> mainBoard;
    std::vector<QString> errors;
    std::unique_ptr<frmCrafty> window;

    // prepare: what the main board is given and does before the window opens.
    Practice(const std::string& fen, const QString& enginePath,
             const QString& name = "Stockfish 15.1", EngineProtocol protocol = EngineProtocol::Uci,
             const std::function<void(cntrlChessGui&)>& prepare = {})
        : mainBoard(std::make_unique<cntrlChessGui>()) {
        mainBoard->Mode(BoardMode::FreePlay);
        mainBoard->ApplyPosition(objReadFen(fen));
        if (prepare) prepare(*mainBoard);
        window = std::make_unique<frmCrafty>(
            mainBoard.get(), PracticeEngine{enginePath, protocol, name}, nullptr,
            [this](QWidget*, const QString& message) { errors.push_back(message); });
        window->show();
    }

    cntrlChessGui& board() const { return *window->cntrlChess; }
    QString result() const { return window->lblResult->text(); }
    std::string fen() const { return board().objPosition()->strGetFEN(); }

    // The trainee drags a move on the practice board.
    void traineeMoves(const QString& move) const { board().MovePgn(move, true, true); }

    // Waits until the hourglass goes: the engine has answered, the game ended or it failed.
    bool awaitAnswer() const {
        return waitUntil([&] { return window->cursor().shape() != Qt::WaitCursor; });
    }
};
