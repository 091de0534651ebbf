#include "verify/CEngineAnalyser.h"

#include "engine/EngineProtocol.h"
#include "game/Fen.h"
#include "game/Perft.h"
#include "model/CError.h"

#include <algorithm>
#include <chrono>

void CEngineAnalyser::Start() {
    if (process.isRunning()) return;
    if (!process.isStart(path))
        RaiseError("CEngineAnalyser", "Cannot start the engine " + process.strError());
    if (!session.isHandshake(kUciHandshakeMs)) {
        const std::string reason = session.strError();
        session.Quit();
        RaiseError("CEngineAnalyser", "The engine " + path + " " + reason + ".");
    }
    currentMultiPv = 1;
    if (!session.isReady(5000)) {
        // An engine that gave up on its way (no network file, say) tells why it went.
        const std::string reason =
            process.isFinished() ? " (" + process.strExitReason() + ")" : std::string();
        session.Quit();
        RaiseError("CEngineAnalyser", "The engine did not get ready" + reason + ".");
    }
}

std::vector<AnalysisLine> CEngineAnalyser::arrAnalyse(const std::string& fen, int multiPv,
                                                      const AnalysisLimit& limit,
                                                      const std::vector<std::string>& searchMoves) {
    Start();
    multiPv = std::clamp(multiPv, 1, 64);
    if (multiPv != currentMultiPv) {
        session.isSetOption("MultiPV", std::to_string(multiPv));
        currentMultiPv = multiPv;
    }
    UciLimit uciLimit{limit.intMoveTimeMs, limit.intDepth};
    if (uciLimit.intMoveTimeMs <= 0 && uciLimit.intDepth <= 0) uciLimit.intMoveTimeMs = 300;
    if (!session.isGo(fen, {}, uciLimit, searchMoves))
        RaiseError("CEngineAnalyser", "The engine gave no move: " + session.strError());

    // A depth-only search has no clock of its own; it gets a generous one. The wait is taken in
    // short steps so that a cancel is seen while the engine searches.
    const auto deadline =
        std::chrono::steady_clock::now() +
        std::chrono::milliseconds((limit.intMoveTimeMs > 0 ? limit.intMoveTimeMs : 60000) + 10000);
    constexpr auto kCancelCheck = std::chrono::milliseconds(50);
    while (!session.isSearchDone(static_cast<int>(kCancelCheck.count()))) {
        if (cancel && cancel->load()) {
            session.Quit();
            throw AnalysisCancelled();
        }
        if (std::chrono::steady_clock::now() < deadline && process.isRunning()) continue;
        const std::string reason = process.isRunning()
                                       ? "it did not answer in time"
                                       : "it ended (" + process.strExitReason() + ")";
        session.Quit();
        RaiseError("CEngineAnalyser", "The engine gave no move: " + reason + ".");
    }
    std::vector<AnalysisLine> lines;
    for (const auto& [index, info] : session.mapLines())
        if (index <= multiPv) lines.push_back({info.objScore, info.arrstrPv});
    std::stable_sort(lines.begin(), lines.end(), [](const AnalysisLine& a, const AnalysisLine& b) {
        return a.objScore.lngRank() > b.objScore.lngRank();
    });
    // Only a position without a move has no line; a move with no line is no analysis.
    const std::string& move = session.strBestMove();
    if (move.empty())
        RaiseError("CEngineAnalyser", "The engine gave no move: its \"bestmove\" named none.");
    // "No move" is an answer only where there is none: elsewhere it is an engine's fault.
    if ((move == "(none)" || move == "0000") && !arrGetLegalMoves(objReadFen(fen)).empty())
        RaiseError("CEngineAnalyser", "The engine gave no move: its \"bestmove " + move +
                                          "\" names none in a position with legal moves.");
    if (lines.empty() && !move.empty() && move != "(none)" && move != "0000")
        RaiseError("CEngineAnalyser", "The engine gave the move " + move +
                                          " but no evaluated line (score and moves).");
    return lines;
}
