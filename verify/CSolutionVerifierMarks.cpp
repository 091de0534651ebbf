// The verifier's check of move marks: a stored solution marked as a mistake contradicts itself,
// and a move marked "?" or "??" that the engine finds as good as the solution is marked wrongly.
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/UciMoves.h"
#include "verify/CSolutionVerifier.h"
#include "workbook/GameAnnotations.h"

#include <algorithm>
#include <deque>
#include <unordered_set>

namespace {

constexpr int kMistake = 2; // "?"
constexpr int kBlunder = 4; // "??"
constexpr int kDubious = 6; // "?!"

std::string markText(int mark) {
    return mark == kBlunder ? "??" : mark == kDubious ? "?!" : "?";
}

} // namespace

int CSolutionVerifier::intMarkOf(const std::string& nodeKey) const {
    if (!marks) return 0;
    const NodeAnnotation* node = marks->objNode(nodeKey);
    if (!node) return 0;
    for (int nag : node->arrNags)
        if (nag == kMistake || nag == kBlunder || nag == kDubious) return nag;
    return 0;
}

// The tolerance of second solutions: as short a mate, or a clear win within the margin.
bool CSolutionVerifier::isAsGood(const EngineScore& solution, const EngineScore& other) const {
    if (solution.isMateFor()) return other.isMateFor() && other.intValue <= solution.intValue;
    return solution.isClearWin(options.intWinCp) && other.isClearWin(options.intWinCp) &&
           (other.isMate || other.intValue >= solution.intValue - options.intMarginCp);
}

void CSolutionVerifier::JudgeTries(const CPosition& position, const std::string& nodeKey,
                                   const std::vector<VerifyStoredMove>& stored,
                                   VerifyReport& report) const {
    const VerifyStoredMove* solution = nullptr;
    for (const VerifyStoredMove& move : stored)
        if (!move.isTry() &&
            (!solution || move.line.objScore.lngRank() > solution->line.objScore.lngRank()))
            solution = &move;
    if (!solution) return;
    for (const VerifyStoredMove& move : stored) {
        if (move.intMark != kMistake && move.intMark != kBlunder) continue;
        // A try the engine ranks no lower than the solution is no mistake, won or not.
        if (!isAsGood(solution->line.objScore, move.line.objScore) &&
            move.line.objScore.lngRank() < solution->line.objScore.lngRank())
            continue;
        report.arrFindings.push_back(
            {VerifyVerdict::MarkedWrongButGood,
             nodeKey,
             {},
             move.line.objScore,
             "marked " + move.strText + markText(move.intMark) + " " +
                 move.line.objScore.strText() + " is as good as the solution " + solution->strText +
                 " " + solution->line.objScore.strText() +
                 (nodeKey == CGameNode::strINITIAL_KEY() ? ""
                                                         : " after " + position.strMoveText())});
    }
}

void CSolutionVerifier::CheckMarks(const CGameTree& tree, VerifyReport& report) {
    if (!marks || marks->mapNodes.empty()) return;
    // The trainee's turns along the lines training plays; below a try lies only its refutation.
    std::deque<std::shared_ptr<CGameNode>> turns{tree.Item(CGameNode::strINITIAL_KEY())};
    std::unordered_set<std::string> seen; // lines that meet again are checked once
    int analysed = 0;
    while (!turns.empty()) {
        const std::shared_ptr<CGameNode> node = turns.front();
        turns.pop_front();
        if (!seen.insert(node->strKey()).second) continue;
        const auto& children = node->childrenKeys();
        if (children.empty()) continue;
        const std::string& mainKey = children.front();
        if (const int mark = intMarkOf(mainKey))
            report.arrFindings.push_back({VerifyVerdict::Contradiction,
                                          node->strKey(),
                                          {},
                                          {},
                                          "the stored solution " +
                                              tree.Item(mainKey)->objPosition()->strMoveText() +
                                              " is marked " + markText(mark)});
        bool hasMarkedTry = false;
        for (const std::string& key : children) {
            const int mark = intMarkOf(key);
            hasMarkedTry = hasMarkedTry || mark == kMistake || mark == kBlunder;
            if (mark != 0) continue;
            for (const std::string& reply : tree.Item(key)->childrenKeys())
                turns.push_back(tree.Item(reply));
        }
        // The first move's tries were judged with its analysis.
        if (!hasMarkedTry || node->strKey() == CGameNode::strINITIAL_KEY() ||
            analysed >= options.intMaxMarkNodes)
            continue;
        ++analysed;
        const CPosition& position = *node->objPosition();
        const std::string fen = strEngineFen(position);
        const auto lines = engine.arrAnalyse(fen, options.intMultiPv, options.limit);
        JudgeTries(position, node->strKey(), arrStoredMoves(tree, *node, fen, lines), report);
    }
}
