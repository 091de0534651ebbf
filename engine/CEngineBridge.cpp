#include "engine/CEngineBridge.h"

#include "engine/CUciTranslator.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr int startTimeoutMs = 5000;
constexpr int quitGraceMs = 300;
constexpr size_t errorTailSize = 300;

// Cuts complete lines off the front of buffer (without their line ends); the unfinished rest
// stays in the buffer.
std::vector<std::string> completeLines(std::string& buffer) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = buffer.find('\n'); end != std::string::npos; end = buffer.find('\n', start)) {
        std::string line = buffer.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    buffer.erase(0, start);
    return lines;
}

QString seconds(int msecs) {
    return QString::number((msecs + 999) / 1000);
}

} // namespace

CEngineBridge::CEngineBridge(QString path, EngineProtocol protocol)
    : enginePath(std::move(path)), engineProtocol(protocol) {}

CEngineBridge::~CEngineBridge() {
    stopEngine();
    process.reset();
    workingFolder.reset();
}

int CEngineBridge::initialize_chess_engine(int /*reserved*/) {
    stopEngine();
    process.reset();
    error.clear();
    engineName.clear();
    pending.clear();
    partialLine.clear();
    lastErrorOutput.clear();
    stopping = false;
    searchTimed = false;
    translator.reset(engineProtocol == EngineProtocol::Uci ? new CUciTranslator : nullptr);

    if (enginePath.trimmed().isEmpty()) {
        fail("The engine could not be started: no engine program is chosen.");
        return 0;
    }
    if (!workingFolder) {
        workingFolder =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + "/brisolt-engine-XXXXXX");
        if (!workingFolder->isValid()) {
            const QString reason = workingFolder->errorString();
            workingFolder.reset();
            fail("The engine could not be started: no working folder (" + reason + ").");
            return 0;
        }
    }
    process = std::make_unique<QProcess>();
    process->setWorkingDirectory(workingFolder->path());
    process->setProgram(enginePath);
    process->start(QIODevice::ReadWrite);
    if (!process->waitForStarted(startTimeoutMs)) {
        const QString reason = process->errorString();
        process->kill();
        process->waitForFinished(quitGraceMs);
        process.reset();
        fail("The engine could not be started: " + enginePath + ": " + reason);
        return 0;
    }
    if (engineProtocol == EngineProtocol::Uci && !handshake()) {
        stopping = true;
        process->kill();
        process->waitForFinished(quitGraceMs);
        process.reset();
        return 0;
    }
    return 1;
}

bool CEngineBridge::handshake() {
    writeLine("uci");
    QElapsedTimer clock;
    clock.start();
    while (true) {
        process->waitForReadyRead(std::max(1, handshakeTimeoutMs - int(clock.elapsed())));
        partialLine += process->readAllStandardOutput().toStdString();
        for (const std::string& line : completeLines(partialLine)) {
            if (line.rfind("id name ", 0) == 0) engineName = QString::fromStdString(line.substr(8));
            if (QString::fromStdString(line).trimmed() == "uciok") return true;
        }
        if (process->state() == QProcess::NotRunning) {
            fail("The engine could not be started: " + enginePath + " ended before answering " +
                 "\"uci\" (" + strExitReason() + ").");
            return false;
        }
        if (clock.elapsed() >= handshakeTimeoutMs) {
            fail("The engine could not be started: " + enginePath + " did not answer \"uci\" " +
                 "with \"uciok\" within " + seconds(handshakeTimeoutMs) +
                 " seconds; it is not a UCI engine.");
            return false;
        }
    }
}

int CEngineBridge::send_message(const std::string& line) {
    if (!isRunning()) {
        checkProcess();
        return 0;
    }
    if (translator) {
        translator->command(line);
        flushTranslator();
        if (translator->isQuitRequested()) stopping = true;
    } else {
        writeLine(line);
        const QString command = QString::fromStdString(line).trimmed();
        if (command == "end" || command == "quit") stopping = true;
    }
    if (stopping) pending.clear();
    return 1;
}

std::string CEngineBridge::get_message() {
    if (process) {
        takeOutput();
        checkProcess();
        checkDeadline();
    }
    if (pending.empty()) return {};
    std::string line = std::move(pending.front());
    pending.pop_front();
    return line;
}

bool CEngineBridge::isRunning() const {
    return process && process->state() == QProcess::Running;
}

QString CEngineBridge::strWorkingFolder() const {
    return workingFolder ? workingFolder->path() : QString();
}

int CEngineBridge::intEngineReportedMs() const {
    return translator ? translator->intLastReportedTimeMs() : -1;
}

void CEngineBridge::waitForOutput(int msecs) {
    if (!isRunning()) return;
    process->waitForReadyRead(msecs);
    takeOutput();
}

void CEngineBridge::stopEngine() {
    if (!isRunning()) return;
    stopping = true;
    if (translator) {
        if (!translator->isQuitRequested()) writeLine("quit");
    } else {
        writeLine("end");
    }
    process->closeWriteChannel();
    if (!process->waitForFinished(quitGraceMs)) {
        process->kill();
        process->waitForFinished(quitGraceMs);
    }
}

void CEngineBridge::takeOutput() {
    if (!process) return;
    const std::string errors = process->readAllStandardError().toStdString();
    if (!errors.empty()) {
        lastErrorOutput += errors;
        if (lastErrorOutput.size() > errorTailSize)
            lastErrorOutput.erase(0, lastErrorOutput.size() - errorTailSize);
    }
    partialLine += process->readAllStandardOutput().toStdString();
    if (process->state() == QProcess::NotRunning && !partialLine.empty()) partialLine += '\n';
    for (const std::string& line : completeLines(partialLine))
        takeEngineLine(line);
}

void CEngineBridge::takeEngineLine(const std::string& line) {
    if (stopping) return; // the game is over: whatever the engine still says is dropped
    if (!translator) {
        pending.push_back(line + "\n");
        return;
    }
    translator->engineLine(line);
    flushTranslator();
}

void CEngineBridge::flushTranslator() {
    for (const std::string& line : translator->takeLinesForEngine()) {
        writeLine(line);
        if (line.rfind("go", 0) == 0) {
            searchClock.start();
            searchTimed = translator->intMoveTimeMs() > 0;
        }
    }
    for (const std::string& line : translator->takeLinesForCaller())
        pending.push_back(line + "\n");
    if (!translator->isThinking()) searchTimed = false;
    if (!translator->strFault().empty() && error.isEmpty())
        fail(QString::fromStdString(translator->strFault()));
}

void CEngineBridge::writeLine(const std::string& line) {
    if (!isRunning()) return;
    process->write(QByteArray::fromStdString(line + "\n"));
}

void CEngineBridge::checkProcess() {
    if (!process || process->state() != QProcess::NotRunning || stopping || !error.isEmpty())
        return;
    fail("The engine stopped: " + strExitReason() + ".");
}

void CEngineBridge::checkDeadline() {
    if (!translator || !searchTimed || !translator->isThinking() || !error.isEmpty()) return;
    const int allowed = translator->intMoveTimeMs() + answerGraceMs;
    if (searchClock.elapsed() <= allowed) return;
    fail("The engine did not answer within " + seconds(allowed) + " seconds and was stopped.");
    stopping = true;
    process->kill();
    process->waitForFinished(quitGraceMs);
}

void CEngineBridge::fail(const QString& message) {
    error = message;
}

QString CEngineBridge::strExitReason() const {
    QString reason;
    if (!process) return "it is not running";
    if (process->exitStatus() == QProcess::CrashExit)
        reason = "it crashed";
    else
        reason = "it ended with exit code " + QString::number(process->exitCode());
    const QString tail = QString::fromLocal8Bit(lastErrorOutput).trimmed();
    if (!tail.isEmpty()) reason += ": " + tail.split('\n').last().trimmed();
    return reason;
}
