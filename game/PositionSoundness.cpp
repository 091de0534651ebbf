#include "game/PositionSoundness.h"

#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "model/CDiagram.h"
#include "model/PieceCodes.h"

#include <cctype>

namespace {

// The reason with its first letter in lower case, to follow a colon.
std::string strFirstLetterLowered(std::string reason) {
    if (!reason.empty())
        reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    return reason;
}

} // namespace

std::string strUnsoundReason(const CPosition& position) {
    const auto& diagram = position.objDiagram();
    if (!diagram) return "The white king is missing";
    int kings[2] = {0, 0};
    bool backRankPawn = false;
    for (int square = SqA1; square < SquareCount; ++square) {
        const int code = diagram->intCodeAt(square);
        const int rank = rankOf(square);
        if (kindOfCode(code) == Pawn && (rank == Rank1 || rank == Rank8)) backRankPawn = true;
        if (code == WhiteKingCode) ++kings[WhiteSlot];
        if (code == BlackKingCode) ++kings[BlackSlot];
    }
    if (kings[WhiteSlot] == 0) return "The white king is missing";
    if (kings[WhiteSlot] > 1) return "Too many white kings";
    if (kings[BlackSlot] == 0) return "The black king is missing";
    if (kings[BlackSlot] > 1) return "Too many black kings";
    if (backRankPawn) return "A pawn stands on the first or last rank";
    if (diagram->isKingAttacked(slotOf(!position.isWhiteToMove())))
        return "The side not to move is in check";
    return "";
}

std::string strUnsoundTestPosition(const CGameTree& tree) {
    if (!tree.isExists(CGameNode::strINITIAL_KEY())) return "";
    const auto& root = tree.Item(CGameNode::strINITIAL_KEY());
    if (!root || !root->objPosition()) return "";
    const std::string reason = strFirstLetterLowered(strUnsoundReason(*root->objPosition()));
    return reason.empty() ? "" : "the test position is unsound: " + reason;
}

std::string strUnplayableReason(const CPosition& position) {
    if (!position.objDiagram() || position.objDiagram()->strToString().size() != 64)
        return "the position is empty";
    return strFirstLetterLowered(strUnsoundReason(position));
}
