#include "game/PositionSoundness.h"

#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "model/CDiagram.h"

#include <cctype>

std::string strUnsoundReason(const CPosition& position) {
    const auto& diagram = position.objDiagram();
    if (!diagram) return "The white king is missing";
    int kings[2] = {0, 0};
    bool backRankPawn = false;
    for (int square = 0; square < 64; ++square) {
        const int code = diagram->intCodeAt(square);
        const int rank = square / 8;
        if ((code == 1 || code == 7) && (rank == 0 || rank == 7)) backRankPawn = true;
        if (code == 6) ++kings[0];
        if (code == 12) ++kings[1];
    }
    if (kings[0] == 0) return "The white king is missing";
    if (kings[0] > 1) return "Too many white kings";
    if (kings[1] == 0) return "The black king is missing";
    if (kings[1] > 1) return "Too many black kings";
    if (backRankPawn) return "A pawn stands on the first or last rank";
    const int idle = position.isWhiteToMove() ? 1 : 0;
    const int king = diagram->intKingIndex(idle);
    if (king >= 0 && diagram->intCountAttacks(king, idle, 1) > 0)
        return "The side not to move is in check";
    return "";
}

std::string strUnsoundTestPosition(const CGameTree& tree) {
    if (!tree.isExists(CGameNode::strINITIAL_KEY())) return "";
    const auto& root = tree.Item(CGameNode::strINITIAL_KEY());
    if (!root || !root->objPosition()) return "";
    std::string reason = strUnsoundReason(*root->objPosition());
    if (reason.empty()) return "";
    reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    return "the test position is unsound: " + reason;
}
