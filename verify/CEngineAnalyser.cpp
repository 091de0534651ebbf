#include "verify/CEngineAnalyser.h"

#include "model/CError.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace {

// What one "info" line says about one principal variation.
struct InfoLine {
    int multiPv = 1;
    int depth = 0;
    bool isBound = false;
    bool hasScore = false;
    AnalysisLine line;
};

bool parseInfo(const std::string& text, InfoLine& info) {
    std::istringstream words(text);
    std::string word;
    words >> word;
    if (word != "info") return false;
    while (words >> word) {
        if (word == "string") return false;
        if (word == "multipv") {
            words >> info.multiPv;
        } else if (word == "depth") {
            words >> info.depth;
        } else if (word == "lowerbound" || word == "upperbound") {
            info.isBound = true;
        } else if (word == "score") {
            std::string kind;
            words >> kind >> info.line.objScore.intValue;
            info.line.objScore.isMate = kind == "mate";
            info.hasScore = kind == "mate" || kind == "cp";
        } else if (word == "pv") {
            for (std::string move; words >> move;)
                info.line.arrstrUciMoves.push_back(move);
        }
    }
    return info.hasScore && !info.line.arrstrUciMoves.empty() && !words.bad();
}

} // namespace

void CEngineAnalyser::Start() {
    if (engine.isRunning()) return;
    if (!engine.isStart(path)) RaiseError("CEngineAnalyser", engine.strError());
    currentMultiPv = 1;
    if (!engine.isReady()) RaiseError("CEngineAnalyser", "The engine did not get ready.");
}

std::vector<AnalysisLine> CEngineAnalyser::arrAnalyse(const std::string& fen, int multiPv,
                                                      const AnalysisLimit& limit,
                                                      const std::vector<std::string>& searchMoves) {
    Start();
    multiPv = std::clamp(multiPv, 1, 64);
    if (multiPv != currentMultiPv) {
        engine.isSend("setoption name MultiPV value " + std::to_string(multiPv));
        currentMultiPv = multiPv;
    }
    engine.isSend("position fen " + fen);
    std::string go = "go";
    if (limit.intDepth > 0) go += " depth " + std::to_string(limit.intDepth);
    if (limit.intMoveTimeMs > 0 || limit.intDepth <= 0)
        go += " movetime " + std::to_string(limit.intMoveTimeMs > 0 ? limit.intMoveTimeMs : 300);
    if (!searchMoves.empty()) {
        go += " searchmoves";
        for (const std::string& move : searchMoves)
            go += " " + move;
    }
    if (!engine.isSend(go)) RaiseError("CEngineAnalyser", engine.strError());

    // A depth-only search has no clock of its own; it gets a generous one.
    const int waitMs = (limit.intMoveTimeMs > 0 ? limit.intMoveTimeMs : 60000) + 10000;
    std::map<int, InfoLine> best;
    std::string text;
    for (;;) {
        if (!engine.isReadLine(text, waitMs)) {
            const std::string reason = engine.strError();
            engine.Stop();
            RaiseError("CEngineAnalyser", "The engine gave no move: " + reason);
        }
        if (text.rfind("bestmove", 0) == 0) break;
        InfoLine info;
        if (!parseInfo(text, info) || info.multiPv < 1) continue;
        auto found = best.find(info.multiPv);
        // A bound is a guess half way through a depth: an exact line of the same depth stays.
        if (found != best.end() && info.isBound && !found->second.isBound &&
            found->second.depth >= info.depth)
            continue;
        best[info.multiPv] = info;
    }
    std::vector<AnalysisLine> lines;
    for (auto& [index, info] : best)
        if (index <= multiPv) lines.push_back(info.line);
    std::stable_sort(lines.begin(), lines.end(), [](const AnalysisLine& a, const AnalysisLine& b) {
        return a.objScore.lngRank() > b.objScore.lngRank();
    });
    return lines;
}
