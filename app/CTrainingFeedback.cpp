#include "app/CTrainingFeedback.h"

#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/SideToMove.h"

#include <algorithm>

namespace TrainingFeedback {

std::string strWrongMove(int wrongMoves) {
    const int left = intTries - wrongMoves;
    if (left <= 0) return strFailed();
    return "Not the solution. " + std::to_string(left) +
           (left == 1 ? " try left." : " tries left.");
}

std::string strSolved(const std::string& line) {
    return line.empty() ? "Solved." : "Solved: " + line;
}

std::string strFailed() {
    return "Not solved. The arrow shows the solution's next move: step through the line with "
           "Right and Left, Home and End.";
}

std::string strGameOf(int number, int count) {
    if (number <= 0 || count <= 0) return "";
    return "Game " + std::to_string(number) + " of " + std::to_string(count);
}

std::string strSessionScore(int32_t attempts, int32_t solved) {
    if (attempts <= 0) return "";
    return "Session: " + std::to_string(solved) + " of " + std::to_string(attempts) + " solved";
}

std::string strLinePlayed(const std::shared_ptr<CGameTree>& tree) {
    if (!tree || !tree->objCurrentNode()) return "";
    std::vector<std::shared_ptr<CGameNode>> path;
    // A damaged tree whose parents loop stops at the number of its nodes.
    for (auto node = tree->objCurrentNode();
         node && node->strKey() != CGameNode::strINITIAL_KEY() && path.size() < 2048;) {
        path.push_back(node);
        if (!tree->isExists(node->strParentKey())) return "";
        node = tree->Item(node->strParentKey());
    }
    std::reverse(path.begin(), path.end());
    std::string line;
    bool first = true;
    for (const auto& node : path) {
        const auto& position = node->objPosition();
        if (!position || !tree->isExists(node->strParentKey())) return "";
        const auto& before = tree->Item(node->strParentKey())->objPosition();
        if (!before) return "";
        // A position counts the move that led to it; Black's move keeps the number of White's.
        const bool whiteMoved = isWhiteSideToMove(*before);
        const std::string number =
            std::to_string((whiteMoved ? position : before)->intMoveNumber());
        if (!first) line += ' ';
        if (whiteMoved)
            line += number + ". ";
        else if (first)
            line += number + "... ";
        line += strWithCheckSign(*position, position->strMoveText());
        first = false;
    }
    return line;
}

BatchSummary objSummarize(const std::vector<GameResult>& results) {
    std::vector<GameResult> last;
    for (const GameResult& result : results) {
        auto found = std::find_if(last.begin(), last.end(), [&](const GameResult& seen) {
            return seen.gameId == result.gameId;
        });
        if (found == last.end())
            last.push_back(result);
        else
            found->solved = result.solved;
    }
    BatchSummary summary;
    for (const GameResult& result : last) {
        if (result.solved) {
            ++summary.solved;
        } else {
            ++summary.failed;
            summary.again.push_back(result.gameId);
        }
    }
    return summary;
}

std::string strSummaryCounts(const BatchSummary& summary) {
    return std::to_string(summary.solved) + " solved, " + std::to_string(summary.failed) +
           " failed.";
}

} // namespace TrainingFeedback
