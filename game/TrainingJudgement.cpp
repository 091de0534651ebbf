#include "game/TrainingJudgement.h"

#include "game/CGameNode.h"
#include "game/CPosition.h"
#include "game/SideToMove.h"
#include "model/Utilities.h"

#include <algorithm>
#include <string_view>

namespace {

// A move text as training compares it: check and mate marks and the pawn letter do not count,
// since the board writes its moves without them and a workbook may store them.
std::string strComparable(std::string text) {
    std::erase_if(text, [](char c) { return c == '+' || c == '#' || c == 'P'; });
    return text;
}

bool isEndOfSentence(char c) {
    return c == '.' || c == '!' || c == '?';
}

std::string strCommentOf(const CGameNode& node, const TrainingComments& commentOf) {
    return commentOf ? strTrimmed(commentOf(node.strKey())) : "";
}

} // namespace

bool isMistakeGlyph(int nag) {
    return nag == 2 || nag == 4 || nag == 6;
}

GameNodeList arrStoredMoves(const CGameTree& tree, const std::shared_ptr<CGameNode>& node) {
    GameNodeList moves;
    if (node == nullptr) return moves;
    for (const auto& child : tree.arrobjGetNextNodes(node))
        if (child != nullptr && child->objPosition() != nullptr) moves.push_back(child);
    return moves;
}

TrainingJudgement objJudgeTrainingMove(const GameNodeList& moves, const std::string& moveText,
                                       const TrainingTries& tries) {
    const std::string played = strComparable(moveText);
    TrainingJudgement judgement;
    for (const auto& move : moves) {
        if (strComparable(move->objPosition()->strMoveText()) != played) continue;
        judgement.objNode = move;
        break;
    }
    if (judgement.objNode == nullptr) return judgement;
    const bool marked = tries.count(judgement.objNode->strKey()) != 0;
    const bool solutionBeside = std::any_of(moves.begin(), moves.end(), [&](const auto& move) {
        return tries.count(move->strKey()) == 0;
    });
    judgement.verdict =
        marked && solutionBeside ? TrainingVerdict::RefutedTry : TrainingVerdict::Solution;
    return judgement;
}

std::shared_ptr<CGameNode> objChooseReply(const GameNodeList& moves, std::mt19937& random) {
    if (moves.empty()) return nullptr;
    size_t chosen = 0;
    if (moves.size() > 1)
        chosen = std::uniform_int_distribution<size_t>(0, moves.size() - 1)(random);
    return moves[chosen];
}

GameNodeList arrRefutation(const CGameTree& tree, const std::shared_ptr<CGameNode>& tryNode,
                           size_t maxMoves) {
    GameNodeList line;
    std::shared_ptr<CGameNode> node = tryNode;
    // The length bound also ends a line whose links run in a circle.
    while (line.size() < maxMoves) {
        const GameNodeList moves = arrStoredMoves(tree, node);
        if (moves.empty()) break;
        node = moves.front();
        line.push_back(node);
    }
    return line;
}

std::string strNumberedMove(const CGameNode& node) {
    const CPosition& after = *node.objPosition();
    // The position after a Black move has White to move again.
    const char* dots = isWhiteSideToMove(after) ? "..." : ".";
    return std::to_string(after.intMoveNumber()) + dots +
           strWithCheckSign(after, after.strMoveText());
}

std::string strTryExplanation(const CGameTree& tree, const std::shared_ptr<CGameNode>& tryNode,
                              const TrainingComments& commentOf) {
    constexpr size_t shownMoves = 8;
    std::string comment = strCommentOf(*tryNode, commentOf);
    const GameNodeList refutation = arrRefutation(tree, tryNode, shownMoves + 1);
    std::string text = strNumberedMove(*tryNode) + " ";
    if (refutation.empty()) {
        if (comment.empty()) return text + "is a mistake.";
        return text + comment + (isEndOfSentence(comment.back()) ? "" : ".");
    }
    // The refutation reads on after a colon, so the comment's own stop or colon goes.
    while (!comment.empty() && std::string_view(".:;, ").find(comment.back()) != std::string::npos)
        comment.pop_back();
    text += (comment.empty() ? "is refuted" : comment) + ": after";
    for (size_t k = 0; k < refutation.size() && k < shownMoves; ++k) {
        const CGameNode& move = *refutation[k];
        // Black's move needs its number only at the start and after a comment.
        const bool numbered = k == 0 || !isWhiteSideToMove(*move.objPosition()) ||
                              !strCommentOf(*refutation[k - 1], commentOf).empty();
        const CPosition& after = *move.objPosition();
        text +=
            " " + (numbered ? strNumberedMove(move) : strWithCheckSign(after, after.strMoveText()));
        const std::string said = strCommentOf(move, commentOf);
        if (!said.empty()) text += " " + said;
    }
    if (refutation.size() > shownMoves) text += " ...";
    return text;
}

std::string strMoveComment(const CGameNode& node, const TrainingComments& commentOf) {
    const std::string comment = strCommentOf(node, commentOf);
    return comment.empty() ? "" : strNumberedMove(node) + " " + comment;
}
