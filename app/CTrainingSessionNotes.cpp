// The training session's use of a game's annotations: the moves marked as mistakes are refuted
// tries, and the comments after stored moves are shown as the moves are played.
#include "app/CTrainingSession.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "workbook/CWorkBook.h"
#include "workbook/GameAnnotations.h"

#include <algorithm>

namespace {

const char* const lineBreak = "\r\n";

} // namespace

// Reads the game's marks and comments; a workbook without annotation tables gives none, and the
// game trains on its moves alone.
void CTrainingSession::ReadNotes(int32_t gameId, const std::shared_ptr<CGameTree>& tree) {
    TrainingTries tries;
    std::unordered_map<std::string, std::string> comments;
    if (tree) {
        const GameAnnotations annotations = RequireWorkBook().objLoadAnnotations(gameId);
        for (const auto& [key, node] : annotations.mapNodes) {
            if (std::any_of(node.arrNags.begin(), node.arrNags.end(), isMistakeGlyph))
                tries.insert(key);
            if (!node.strAfter.empty()) comments[key] = node.strAfter;
        }
    }
    shownTree = tree;
    shownTries = std::move(tries);
    shownComments = std::move(comments);
    turnKey = CGameNode::strINITIAL_KEY();
    turnComments.clear();
    tryExplanation.clear();
}

TrainingComments CTrainingSession::objCommentOf() const {
    return [this](const std::string& key) {
        const auto found = shownComments.find(key);
        return found == shownComments.end() ? std::string() : found->second;
    };
}

void CTrainingSession::RefutedTry(const std::string& nodeKey) {
    if (shownGameId == 0 || !shownTree || !shownTree->isExists(nodeKey)) return;
    tryExplanation = ::strTryExplanation(*shownTree, shownTree->Item(nodeKey), objCommentOf());
}

// Gathers the comments of the stored moves played since the trainee's turn began (the trainee's
// move and the program's reply), one line each, and starts the next turn at the board's node.
void CTrainingSession::NoteStoredMoves() {
    if (!shownTree || !shownTree->objCurrentNode()) return;
    const TrainingComments commentOf = objCommentOf();
    const std::shared_ptr<CGameNode> current = shownTree->objCurrentNode();
    std::vector<std::string> lines;
    std::shared_ptr<CGameNode> node = current;
    // A turn is at most the trainee's move and one reply; the bound also ends a broken chain.
    for (int steps = 0; steps < 4 && node && node->strKey() != turnKey; ++steps) {
        const std::string line = strMoveComment(*node, commentOf);
        if (!line.empty()) lines.insert(lines.begin(), line);
        const std::string& parent = node->strParentKey();
        if (parent == node->strKey() || !shownTree->isExists(parent)) break;
        node = shownTree->Item(parent);
    }
    if (current->strKey() == turnKey) return;
    turnKey = current->strKey();
    turnComments.clear();
    for (const std::string& line : lines)
        turnComments += (turnComments.empty() ? "" : lineBreak) + line;
}

std::string CTrainingSession::strWithComments(const std::string& message) const {
    return turnComments.empty() ? message : turnComments + lineBreak + lineBreak + message;
}

// After the last move the comments of the moves that ended the game stay in the message area.
