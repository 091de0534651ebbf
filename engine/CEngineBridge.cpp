#include "engine/CEngineBridge.h"

#include "engine/CUciSession.h"
#include "engine/CUciTranslator.h"
#include "engine/EngineOutput.h"
#include "model/Utilities.h"

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;

std::string seconds(int msecs) {
    return std::to_string((msecs + 999) / 1000);
}

std::string firstWordLowered(const std::string& line) {
    const std::string text = strTrimmed(line);
    return strLowered(text.substr(0, text.find(' ')));
}

long msSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

} // namespace

CEngineBridge::CEngineBridge(std::string path, EngineProtocol protocol)
    : enginePath(std::move(path)), engineProtocol(protocol) {}

CEngineBridge::~CEngineBridge() {
    stopEngine();
}

int CEngineBridge::initialize_chess_engine(int /*reserved*/) {
    stopEngine();
    session.reset();
    translator.reset();
    error.clear();
    engineName.clear();
    pending.clear();
    started = stopping = searching = awaitingAnswer = batchHandedOut = false;
    consoleMoveTimeMs = 0;
    consoleWhiteToMove = true;
    consoleEngineSide.clear();

    if (strTrimmed(enginePath).empty()) {
        fail("The engine could not be started: no engine program is chosen.");
        return 0;
    }
    if (!process.isStart(enginePath)) {
        fail("The engine could not be started: " + process.strError());
        return 0;
    }
    if (engineProtocol != EngineProtocol::Console &&
        !isStartUci(engineProtocol == EngineProtocol::Uci)) {
        if (!error.empty()) return 0;
        // No "uciok" from an engine of unknown protocol: it is spoken to as a console engine,
        // in the same process.
        engineProtocol = EngineProtocol::Console;
    }
    started = true;
    return 1;
}

bool CEngineBridge::isStartUci(bool required) {
    session = std::make_unique<CUciSession>(process);
    if (session->isHandshake(handshakeTimeoutMs)) {
        engineProtocol = EngineProtocol::Uci;
        engineName = session->strName();
        translator = std::make_unique<CUciTranslator>();
        return true;
    }
    const bool ended = process.isFinished();
    if (required || ended) {
        fail("The engine could not be started: " + enginePath + " " + session->strError() +
             (ended ? "." : "; it is not a UCI engine."));
        stopping = true;
        process.Stop();
    }
    session.reset();
    return false;
}

int CEngineBridge::send_message(const std::string& line) {
    if (!started || !process.isRunning()) {
        checkProcess();
        return 0;
    }
    if (translator) {
        translator->command(line);
        flushTranslator();
    } else {
        sendConsole(line);
    }
    if (stopping) pending.clear();
    return 1;
}

void CEngineBridge::sendConsole(const std::string& line) {
    process.isSend(line);
    const std::string command = firstWordLowered(line);
    if (command == "end" || command == "quit") {
        stopping = true;
        return;
    }
    if (command == "st") {
        try {
            consoleMoveTimeMs = static_cast<int>(std::stod(strTrimmed(line).substr(2)) * 1000);
        } catch (const std::exception&) {
        }
    }
    static const char* const quiet[] = {"alarm", "ansi", "st",       "sd",     "display", "log",
                                        "bell",  "new",  "setboard", "xboard", ""};
    if (command == "setboard" || command == "new") {
        // The engine's side is what it plays next in this position.
        const std::string fen = strTrimmed(strTrimmed(line).substr(command.size()));
        const size_t space = fen.find(' ');
        consoleWhiteToMove = command == "new" || space == std::string::npos ||
                             strLowered(strTrimmed(fen.substr(space))).rfind('b', 0) != 0;
        consoleEngineSide.clear();
    }
    if (std::find(std::begin(quiet), std::end(quiet), command) != std::end(quiet)) return;
    // Anything else is a move (or a question) that the engine answers.
    const bool engineWhite =
        command == "go" || command == "move" ? consoleWhiteToMove : !consoleWhiteToMove;
    if (consoleEngineSide.empty()) consoleEngineSide = engineWhite ? "White" : "Black";
    awaitingAnswer = true;
    askedAt = Clock::now();
}

std::string CEngineBridge::get_message() {
    if (pending.empty()) {
        // Once a batch has been handed out, a blank ends the caller's reading before the next.
        if (batchHandedOut) {
            batchHandedOut = false;
            return {};
        }
        if (started) {
            takeOutput(0);
            checkProcess();
            checkDeadline();
        }
        if (pending.empty()) return {};
    }
    std::string line = std::move(pending.front());
    pending.pop_front();
    batchHandedOut = pending.empty();
    return line;
}

int CEngineBridge::intEngineReportedMs() const {
    return session ? session->intReportedTimeMs() : -1;
}

void CEngineBridge::waitForOutput(int msecs) {
    if (started) takeOutput(msecs);
}

void CEngineBridge::stopEngine() {
    if (!process.isRunning()) return;
    stopping = true;
    if (session)
        session->Quit();
    else
        process.Stop("end");
}

void CEngineBridge::takeOutput(int waitMs) {
    if (!translator) {
        // A batch at a time: an engine that floods its output cannot hold the caller.
        const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(waitMs, 5));
        std::string line;
        for (int wait = waitMs; process.isReadLine(line, wait); wait = 0) {
            takeConsoleLine(line);
            if (Clock::now() >= deadline) break;
        }
        return;
    }
    if (!searching || !session->isSearchDone(waitMs)) return;
    searching = false;
    // After "end" the game is over: whatever the engine still says is dropped.
    if (stopping) return;
    translator->EngineMoved(session->strBestMove());
    flushTranslator();
}

void CEngineBridge::takeConsoleLine(const std::string& line) {
    if (stopping) return;
    // Only the engine's move or the end of the game answers: an echo of what was sent does not.
    if (consoleEngineSide.empty()) {
        if (!strTrimmed(line).empty()) awaitingAnswer = false;
    } else {
        const EngineOutputParse parse = parseEngineOutput(line, consoleEngineSide);
        if (!parse.strMove.empty() || parse.isGameOver) awaitingAnswer = false;
    }
    pending.push_back(line + "\n");
}

void CEngineBridge::flushTranslator() {
    for (const UciRequest& request : translator->takeRequests()) {
        switch (request.kind) {
        case UciRequest::Kind::NewGame:
            session->isNewGame();
            break;
        case UciRequest::Kind::Search:
            searching = session->isGo(request.strFen, request.arrstrMoves, request.limit);
            break;
        case UciRequest::Kind::Quit:
            stopping = true;
            searching = false;
            session->Quit();
            break;
        }
    }
    if (stopping) return;
    for (const std::string& line : translator->takeLinesForCaller())
        pending.push_back(line + "\n");
    if (translator->strFault().empty() || !error.empty()) return;
    // An engine that plays nonsense has left the game: it is stopped and says why.
    fail(translator->strFault());
    stopping = true;
    searching = false;
    session->Quit();
}

void CEngineBridge::checkProcess() {
    if (!started || stopping || !error.empty() || process.isRunning()) return;
    // What the engine wrote before it went is still handed out.
    takeOutput(0);
    fail("The engine stopped: " + process.strExitReason() + ".");
}

void CEngineBridge::checkDeadline() {
    if (!error.empty() || stopping) return;
    long waited = 0;
    int allowed = 0;
    if (searching && session->intMoveTimeMs() > 0) {
        waited = session->lngSearchElapsedMs();
        allowed = session->intMoveTimeMs() + answerGraceMs;
    } else if (awaitingAnswer && consoleMoveTimeMs > 0) {
        waited = msSince(askedAt);
        allowed = consoleMoveTimeMs + answerGraceMs;
    } else {
        return;
    }
    if (waited <= allowed) return;
    fail("The engine did not answer within " + seconds(allowed) + " seconds and was stopped.");
    stopping = true;
    searching = awaitingAnswer = false;
    process.Stop();
}

void CEngineBridge::fail(const std::string& message) {
    error = message;
}
