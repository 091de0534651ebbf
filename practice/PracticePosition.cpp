#include "practice/PracticePosition.h"

#include "game/CPosition.h"
#include "model/CDiagram.h"

#include <algorithm>

std::string strUnplayableReason(const CPosition& position) {
    if (!position.objDiagram()) return "the position is empty";
    const CDiagram& diagram = *position.objDiagram();
    const std::string cells = diagram.strToString();
    if (cells.size() != 64) return "the position is empty";
    for (const auto& [king, side] : {std::pair{'K', "white"}, std::pair{'k', "black"}}) {
        const auto kings = std::count(cells.begin(), cells.end(), king);
        if (kings == 0) return std::string("the ") + side + " king is missing";
        if (kings > 1) return std::string("there is more than one ") + side + " king";
    }
    // The text runs from a8 to h1: its first and last eight cells are the back ranks.
    const auto pawn = [](char cell) { return cell == 'P' || cell == 'p'; };
    if (std::any_of(cells.begin(), cells.begin() + 8, pawn) ||
        std::any_of(cells.end() - 8, cells.end(), pawn))
        return "a pawn stands on the first or last rank";
    if (diagram.isKingAttacked(position.isWhiteToMove() ? 1 : 0))
        return "the side not to move is in check";
    return "";
}
