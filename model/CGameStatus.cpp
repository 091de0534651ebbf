#include "model/CGameStatus.h"

#include "model/CPieceColor.h"
#include "model/Constructors.h"
#include "model/Utilities.h"

#include <array>

namespace {
const std::array<const char*, 16> texts = {"No Result",
                                           "Suspended",
                                           "Aborted",
                                           "White to move",
                                           "Black to move",
                                           "1-0 (Checkmate)",
                                           "1-0 (White wins on time)",
                                           "Black resigned",
                                           "0-1 (Checkmate)",
                                           "0-1 (Black wins on time)",
                                           "White resigned",
                                           "1/2-1/2 (Repetition)",
                                           "1/2-1/2 (50 move rule)",
                                           "1/2-1/2 (Stalemate)",
                                           "1/2-1/2 (By agreement)",
                                           "1/2-1/2 (Insufficient material)"};

const std::shared_ptr<CGameStatus>& constant(int code) {
    static const std::array<std::shared_ptr<CGameStatus>, 16> all = [] {
        std::array<std::shared_ptr<CGameStatus>, 16> made;
        for (int i = 0; i < 16; ++i)
            made[i] = objForever(objNewGameStatus(texts[i]));
        return made;
    }();
    return all[code];
}
} // namespace

void CGameStatus::strName(const std::string& name) {
    m_name = name;
    m_code = Unknown;
    for (int i = 0; i < 16; ++i)
        if (name == texts[i]) m_code = Code(i);
}

const std::shared_ptr<CGameStatus>& CGameStatus::objNO_RESULT() {
    return constant(NoResult);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objSUSPENDED() {
    return constant(Suspended);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objABORTED() {
    return constant(Aborted);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objWHITE_TO_MOVE() {
    return constant(WhiteToMove);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objBLACK_TO_MOVE() {
    return constant(BlackToMove);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objWHITE_WINS() {
    return constant(WhiteWins);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objBLACK_LOST_ON_TIME() {
    return constant(BlackLostOnTime);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objBLACK_RESIGNED() {
    return constant(BlackResigned);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objBLACK_WINS() {
    return constant(BlackWins);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objWHITE_LOST_ON_TIME() {
    return constant(WhiteLostOnTime);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objWHITE_RESIGNED() {
    return constant(WhiteResigned);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objDRAWN_BY_REPETITION() {
    return constant(DrawnByRepetition);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objDRAWN_BY_50_MOVE_RULE() {
    return constant(DrawnBy50MoveRule);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objDRAWN_BY_STALEMATE() {
    return constant(DrawnByStalemate);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objDRAWN_BY_AGREEMENT() {
    return constant(DrawnByAgreement);
}
const std::shared_ptr<CGameStatus>& CGameStatus::objDRAWN_BY_INSUFFICIENT_MATERIAL() {
    return constant(DrawnByInsufficientMaterial);
}

bool CGameStatus::isOnMove(const std::shared_ptr<CPieceColor>& color) const {
    if (!color) return false;
    if (color->strColor() == CPieceColor::objWHITE()->strColor()) return m_code == WhiteToMove;
    if (color->strColor() == CPieceColor::objBLACK()->strColor()) return m_code == BlackToMove;
    return false;
}

std::shared_ptr<CGameStatus> CGameStatus::objFind(const std::string& name) {
    for (int i = 0; i < 16; ++i)
        if (name == texts[i]) return constant(i);
    return nullptr;
}
