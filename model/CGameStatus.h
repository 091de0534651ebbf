#pragma once

#include "model/Types.h"

#include <memory>
#include <string>

// The state of a game at a position: the side to move, or how the game ended.
class CGameStatus {
public:
    // Stores the status text unchanged.
    void strName(const std::string& name);
    // The status text.
    const std::string& strName() const { return m_name; }

    static const std::shared_ptr<CGameStatus>& objNO_RESULT();
    static const std::shared_ptr<CGameStatus>& objSUSPENDED();
    static const std::shared_ptr<CGameStatus>& objABORTED();
    static const std::shared_ptr<CGameStatus>& objWHITE_TO_MOVE();
    static const std::shared_ptr<CGameStatus>& objBLACK_TO_MOVE();
    static const std::shared_ptr<CGameStatus>& objWHITE_WINS();
    static const std::shared_ptr<CGameStatus>& objBLACK_LOST_ON_TIME();
    static const std::shared_ptr<CGameStatus>& objBLACK_RESIGNED();
    static const std::shared_ptr<CGameStatus>& objBLACK_WINS();
    static const std::shared_ptr<CGameStatus>& objWHITE_LOST_ON_TIME();
    static const std::shared_ptr<CGameStatus>& objWHITE_RESIGNED();
    static const std::shared_ptr<CGameStatus>& objDRAWN_BY_REPETITION();
    static const std::shared_ptr<CGameStatus>& objDRAWN_BY_50_MOVE_RULE();
    static const std::shared_ptr<CGameStatus>& objDRAWN_BY_STALEMATE();
    static const std::shared_ptr<CGameStatus>& objDRAWN_BY_AGREEMENT();
    static const std::shared_ptr<CGameStatus>& objDRAWN_BY_INSUFFICIENT_MATERIAL();

    // The status text.
    std::string strToString() const { return m_name; }
    // True when this is "White to move" and the colour White, or "Black to move" and Black.
    bool isOnMove(const std::shared_ptr<CPieceColor>& color) const;
    // True for "White to move" and "Black to move" only.
    bool isInProgress() const { return m_code == WhiteToMove || m_code == BlackToMove; }

    // The constant with this exact text, or nothing.
    static std::shared_ptr<CGameStatus> objFind(const std::string& name);

    // Place of the text among the constants (0-15), -1 for any other text.
    enum Code {
        Unknown = -1,
        NoResult = 0,
        Suspended,
        Aborted,
        WhiteToMove,
        BlackToMove,
        WhiteWins,
        BlackLostOnTime,
        BlackResigned,
        BlackWins,
        WhiteLostOnTime,
        WhiteResigned,
        DrawnByRepetition,
        DrawnBy50MoveRule,
        DrawnByStalemate,
        DrawnByAgreement,
        DrawnByInsufficientMaterial
    };
    // The code of the text.
    Code intCode() const { return m_code; }

private:
    std::string m_name;
    Code m_code = Unknown;
};
