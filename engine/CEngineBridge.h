#pragma once

#include "engine/EngineProtocol.h"

#include <QElapsedTimer>
#include <QString>
#include <deque>
#include <memory>
#include <string>

class QProcess;
class QTemporaryDir;
class CUciTranslator;

// The link to one engine process: starts it in a private working folder, passes command lines
// to it and buffers its output so that reading never waits. With the UCI protocol the lines are
// translated both ways (CUciTranslator); with the console protocol they pass through as written.
// Output is handed out line by line, each with its line feed; a line the engine has not finished
// stays buffered until it is.
class CEngineBridge {
public:
    // A bridge for the engine program at path, spoken to in the given protocol.
    CEngineBridge(QString path, EngineProtocol protocol);
    // Stops the engine and removes its working folder.
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
    QString strError() const { return error; }
    // True while the engine process runs.
    bool isRunning() const;
    // The engine's own name ("id name" of a UCI engine), "" when it gave none.
    QString strEngineName() const { return engineName; }
    // The engine's private working folder, "" before the first start.
    QString strWorkingFolder() const;
    // The search time a UCI engine last reported for itself (milliseconds), -1 when unknown.
    int intEngineReportedMs() const;
    // The protocol spoken to the engine.
    EngineProtocol protocol() const { return engineProtocol; }

    // Waits up to msecs for engine output and takes it in; for callers without an event loop.
    void waitForOutput(int msecs);
    // Ends the engine: "end" for the console protocol, "quit" for UCI; kills it if it lingers.
    void stopEngine();

    // How long the start waits for "uciok" (milliseconds).
    void setHandshakeTimeout(int msecs) { handshakeTimeoutMs = msecs; }
    // How long past its search time a UCI engine may take before it is given up (milliseconds).
    void setAnswerGrace(int msecs) { answerGraceMs = msecs; }

private:
    void takeOutput();
    void takeEngineLine(const std::string& line);
    void flushTranslator();
    void writeLine(const std::string& line);
    void checkProcess();
    void checkDeadline();
    bool handshake();
    void fail(const QString& message);
    QString strExitReason() const;

    QString enginePath;
    EngineProtocol engineProtocol;
    std::unique_ptr<QTemporaryDir> workingFolder;
    std::unique_ptr<QProcess> process;
    std::unique_ptr<CUciTranslator> translator;
    std::string partialLine;
    std::string lastErrorOutput;
    std::deque<std::string> pending;
    QString error;
    QString engineName;
    bool stopping = false;
    bool searchTimed = false;
    QElapsedTimer searchClock;
    int handshakeTimeoutMs = 5000;
    int answerGraceMs = 10000;
};
