#include "engine/CUciSession.h"

#include "engine/CEngineProcess.h"
#include "model/Utilities.h"

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

// The blanks taken off the ends of an engine's line (a line break never reaches here).
constexpr std::string_view kBlanks = " \t\r";

} // namespace

bool CUciSession::isSend(const std::string& line) {
    if (process.isSend(line)) return true;
    error = process.strError();
    return false;
}

bool CUciSession::isHandshake(int waitMs) {
    error.clear();
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    // A program that has already gone cannot take "uci"; what it wrote is still read, and the
    // reason below says why it went.
    process.isSend("uci");
    std::string line;
    while (process.isReadLine(line, msLeft(deadline))) {
        line = strTrimmed(line, kBlanks);
        if (line.rfind("id name ", 0) == 0) name = strTrimmed(line.substr(8), kBlanks);
        if (line == "uciok") return true;
        // An engine that never stops writing must not hold the wait past its time.
        if (msLeft(deadline) == 0) break;
    }
    error = process.isFinished()
                ? "ended before answering \"uci\" (" + process.strExitReason() + ")"
                : "did not answer \"uci\" with \"uciok\" within " +
                      std::to_string((waitMs + 999) / 1000) + " seconds";
    return false;
}

bool CUciSession::isSetOption(const std::string& option, const std::string& value) {
    return isSend("setoption name " + option + " value " + value);
}

bool CUciSession::isReady(int waitMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    if (!isSend("isready")) return false;
    std::string line;
    while (process.isReadLine(line, msLeft(deadline))) {
        if (strTrimmed(line, kBlanks) == "readyok") return true;
        TakeLine(line);
        if (msLeft(deadline) == 0) break;
    }
    error = "the engine did not get ready";
    return false;
}

bool CUciSession::isNewGame() {
    return isSend("ucinewgame");
}

bool CUciSession::isGo(const std::string& fen, const std::vector<std::string>& moves,
                       const UciLimit& limit, const std::vector<std::string>& searchMoves) {
    lines.clear();
    bestMove.clear();
    if (!isSend(strUciPositionCommand(fen, moves)) || !isSend(strUciGoCommand(limit, searchMoves)))
        return false;
    moveTimeMs = limit.intMoveTimeMs > 0 || limit.intDepth > 0 ? limit.intMoveTimeMs : 2000;
    thinking = true;
    searchStart = Clock::now();
    return true;
}

void CUciSession::TakeLine(const std::string& line) {
    UciInfo info;
    if (isParseUciInfo(line, info)) {
        if (info.intTimeMs >= 0) reportedTimeMs = info.intTimeMs;
        if (!thinking || !info.hasScore || info.arrstrPv.empty() || info.intMultiPv < 1) return;
        const auto found = lines.find(info.intMultiPv);
        // A bound is a guess half way through a depth: an exact line of the same depth stays.
        if (found != lines.end() && info.isBound && !found->second.isBound &&
            found->second.intDepth >= info.intDepth)
            return;
        lines[info.intMultiPv] = std::move(info);
        return;
    }
    std::string move;
    if (thinking && isParseBestMove(line, move)) {
        bestMove = move;
        thinking = false;
    }
}

bool CUciSession::isSearchDone(int waitMs) {
    // An engine that never stops talking must not hold its caller: the reading ends with the
    // wait, and a poll still gets a few milliseconds for what has already arrived.
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(waitMs, 5));
    std::string line;
    while (thinking && process.isReadLine(line, msLeft(deadline))) {
        TakeLine(strTrimmed(line, kBlanks));
        if (msLeft(deadline) == 0) break;
    }
    // Whatever else the engine says between searches is read and let go.
    while (!thinking && msLeft(deadline) > 0 && process.isReadLine(line, 0))
        TakeLine(strTrimmed(line, kBlanks));
    return !thinking;
}

void CUciSession::Quit() {
    thinking = false;
    process.Stop("quit");
}

long CUciSession::lngSearchElapsedMs() const {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - searchStart).count());
}
