#pragma once

#include "engine/CEngineProcess.h"
#include "engine/EngineProtocol.h"

#include <chrono>
#include <deque>
#include <memory>
#include <string>

class CUciSession;
class CUciTranslator;

// The link the practice window and the engine-move command use: an engine spoken to in Crafty's
// console protocol. With a UCI engine the console commands are translated (CUciTranslator) and
// played through a UCI session; with a console engine they pass through as written. Output is
// handed out line by line, each with its line feed; a line the engine has not finished stays
// buffered until it is. Plain C++: the caller polls (get_message) or waits (waitForOutput).
class CEngineBridge {
public:
    // A bridge for the engine program at path; with protocol Unknown the first start finds out
    // which protocol the engine speaks (its answer to "uci") and keeps it for later starts.
    CEngineBridge(std::string path, EngineProtocol protocol);
    // Stops the engine; its working folder goes with the bridge.
    ~CEngineBridge();

    CEngineBridge(const CEngineBridge&) = delete;
    CEngineBridge& operator=(const CEngineBridge&) = delete;

    // (Re)starts the engine; 1 when it runs and, for UCI, has answered "uci" with "uciok".
    int initialize_chess_engine(int reserved);
    // Passes one command line to the engine; 1 when it was taken, 0 when no engine runs.
    int send_message(const std::string& line);
    // The next pending line of engine output with its line feed, "" when nothing is pending.
    std::string get_message();

    // Starts the engine; true when it runs.
    bool isStartEngine() { return initialize_chess_engine(0) == 1; }
    // Sends one command to the engine.
    void SendEngineCommand(const std::string& line) { send_message(line); }

    // Why the engine could not start or stopped working, "" while all is well.
    const std::string& strError() const { return error; }
    // True while the engine process runs.
    bool isRunning() { return process.isRunning(); }
    // The engine's own name ("id name" of a UCI engine), "" when it gave none.
    const std::string& strEngineName() const { return engineName; }
    // The engine's private working folder, "" before the first start.
    const std::string& strWorkingFolder() const { return process.strWorkingFolder(); }
    // The search time a UCI engine last reported for itself (milliseconds), -1 when unknown.
    int intEngineReportedMs() const;
    // The protocol spoken to the engine (Unknown only before a first successful start).
    EngineProtocol protocol() const { return engineProtocol; }

    // Takes in the engine's output, waiting up to msecs for it; for callers without a timer.
    void waitForOutput(int msecs);
    // Ends the engine: "end" for the console protocol, "quit" for UCI; kills it if it lingers.
    void stopEngine();

    // How long the start waits for "uciok" (milliseconds); an engine of unknown protocol that
    // stays silent this long is spoken to as a console engine.
    void setHandshakeTimeout(int msecs) { handshakeTimeoutMs = msecs; }
    // How long past its search time an engine may take before it is given up (milliseconds).
    void setAnswerGrace(int msecs) { answerGraceMs = msecs; }

private:
    bool isStartUci(bool required);
    void takeOutput(int waitMs);
    void takeConsoleLine(const std::string& line);
    void sendConsole(const std::string& line);
    void flushTranslator();
    void checkProcess();
    void checkDeadline();
    void fail(const std::string& message);

    std::string enginePath;
    EngineProtocol engineProtocol;
    CEngineProcess process;
    std::unique_ptr<CUciSession> session;
    std::unique_ptr<CUciTranslator> translator;
    std::deque<std::string> pending;
    std::string error;
    std::string engineName;
    bool started = false;
    bool stopping = false;
    bool searching = false;         // UCI: a search was handed to the session
    bool awaitingAnswer = false;    // console: a move was sent and no answer has come back
    bool batchHandedOut = false;    // the last pending line went out: a blank comes next
    int consoleMoveTimeMs = 0;      // console: the last "st" in milliseconds
    bool consoleWhiteToMove = true; // console: the side to move in the last position set
    std::string consoleEngineSide;  // console: "White" or "Black" once the engine has a side
    std::chrono::steady_clock::time_point askedAt;
    int handshakeTimeoutMs = kUciHandshakeMs;
    int answerGraceMs = 10000;
};
