#include "game/SideToMove.h"

#include "game/CPosition.h"
#include "game/Perft.h"
#include "game/PositionRules.h"
#include "model/CDiagram.h"
#include "model/CGameStatus.h"
#include "model/PieceCodes.h"

#include <string>

bool isWhiteSideToMove(const CPosition& position) {
    const auto& status = position.objStatus();
    const int code = status ? status->intCode() : CGameStatus::Unknown;
    switch (code) {
    case CGameStatus::WhiteToMove:
    case CGameStatus::BlackToMove: {
        // A final position stored by an older version names the side that moved; the side in
        // check is the side to move, as no sound position has the other side in check.
        const bool white = code == CGameStatus::WhiteToMove;
        const auto& diagram = position.objDiagram();
        if (diagram && diagram->isKingAttacked(slotOf(!white)) &&
            !diagram->isKingAttacked(slotOf(white)))
            return !white;
        return white;
    }
    case CGameStatus::WhiteWins:
        return false; // Black is mated
    case CGameStatus::BlackWins:
        return true;
    case CGameStatus::DrawnByStalemate: {
        // The stalemated side is the one without a move; the other side always has one unless
        // both are blocked, where either answer gives a sound position.
        auto asWhite = position.objClone();
        asWhite->objStatus(CGameStatus::objWHITE_TO_MOVE());
        return arrGetLegalMoves(asWhite).empty();
    }
    default:
        return false;
    }
}

GameEnd gameEndOf(const CPosition& position) {
    const int code = position.objStatus() ? position.objStatus()->intCode() : CGameStatus::Unknown;
    if (code == CGameStatus::WhiteWins || code == CGameStatus::BlackWins) return GameEnd::Checkmate;
    if (code == CGameStatus::DrawnByStalemate) return GameEnd::Stalemate;
    const auto& diagram = position.objDiagram();
    if ((code != CGameStatus::WhiteToMove && code != CGameStatus::BlackToMove) || !diagram)
        return GameEnd::None;
    const bool white = isWhiteSideToMove(position);
    // Asked on every status shown: the first legal move found settles it. A final position an
    // older version stored names the side that moved; the side to move is asked on a copy.
    bool hasMove = false;
    if (white == position.isWhiteToMove()) {
        hasMove = CPositionRules::hasLegalMove(position);
    } else {
        auto toMove = position.objClone();
        toMove->objStatus(white ? CGameStatus::objWHITE_TO_MOVE()
                                : CGameStatus::objBLACK_TO_MOVE());
        hasMove = CPositionRules::hasLegalMove(*toMove);
    }
    if (hasMove) return GameEnd::None;
    return diagram->isKingAttacked(slotOf(white)) ? GameEnd::Checkmate : GameEnd::Stalemate;
}

std::string strGameEndOf(const CPosition& position) {
    switch (gameEndOf(position)) {
    case GameEnd::Checkmate:
        return "Checkmate";
    case GameEnd::Stalemate:
        return "Stalemate";
    default:
        return "";
    }
}

std::string strWithCheckSign(const CPosition& position, std::string text) {
    std::erase(text, '+');
    std::erase(text, '#');
    if (text.empty() || text == "...") return text;
    const int code = position.objStatus() ? position.objStatus()->intCode() : CGameStatus::Unknown;
    if (code == CGameStatus::WhiteWins || code == CGameStatus::BlackWins) return text + "#";
    const auto& diagram = position.objDiagram();
    if ((code == CGameStatus::WhiteToMove || code == CGameStatus::BlackToMove) && diagram &&
        diagram->isKingAttacked(slotOf(isWhiteSideToMove(position))))
        text += gameEndOf(position) == GameEnd::Checkmate ? "#" : "+";
    return text;
}

std::shared_ptr<CGameStatus> objShownStatus(const CPosition& position) {
    switch (gameEndOf(position)) {
    case GameEnd::Checkmate:
        return isWhiteSideToMove(position) ? CGameStatus::objBLACK_WINS()
                                           : CGameStatus::objWHITE_WINS();
    case GameEnd::Stalemate:
        return CGameStatus::objDRAWN_BY_STALEMATE();
    case GameEnd::None:
        break;
    }
    return position.objStatus();
}
