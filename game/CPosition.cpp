#include "game/CPosition.h"

#include "game/PositionConstructors.h"
#include "game/PositionRules.h"
#include "game/SideToMove.h"
#include "model/Attacks.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "model/CPieceLocation.h"
#include "model/Geometry.h"
#include "model/GeometryTables.h"
#include "model/PieceCodes.h"

namespace {
void checkIndex(int color) {
    if (color < 0 || color > 1) throw CError(9, "CPosition", "Subscript out of range");
}
} // namespace

CPosition::CPosition() : m_status(CGameStatus::objWHITE_TO_MOVE()) {}

bool CPosition::isQCastleForfeited(int color) const {
    checkIndex(color);
    return m_qForfeit[color];
}

void CPosition::isQCastleForfeited(int color, bool forfeited) {
    checkIndex(color);
    m_qForfeit[color] = forfeited;
}

bool CPosition::isKCastleForfeited(int color) const {
    checkIndex(color);
    return m_kForfeit[color];
}

void CPosition::isKCastleForfeited(int color, bool forfeited) {
    checkIndex(color);
    m_kForfeit[color] = forfeited;
}

std::string CPosition::strMoveText() const {
    std::string text;
    text.reserve(m_moveText.size());
    for (char c : m_moveText)
        if (c != '+' && c != 'P') text += c;
    return text;
}

const std::shared_ptr<CPosition>& CPosition::objINITIAL_POSITION() {
    static const std::shared_ptr<CPosition> position = [] {
        auto start = std::make_shared<CPosition>();
        start->m_diagram = objSharedInitialDiagram();
        start->m_status = CGameStatus::objWHITE_TO_MOVE();
        return start;
    }();
    return position;
}

std::shared_ptr<CPosition> CPosition::objMove2(const CMove& move,
                                               const std::string& moveText) const {
    const auto& start = move.objStartingLocation();
    const auto& end = move.objEndingLocation();
    if (!start || !end || start->intSquare() < 0 || end->intSquare() < 0 || !m_diagram)
        return nullptr;
    const int from = start->intSquare(), to = end->intSquare();
    const int startCode = start->intCode(), endCode = end->intCode();

    // The successor's shell, as objNewNextPosition makes it.
    auto next = std::make_shared<CPosition>();
    next->m_qForfeit = m_qForfeit;
    next->m_kForfeit = m_kForfeit;
    if (isWhiteToMove()) {
        next->m_status = CGameStatus::objBLACK_TO_MOVE();
        next->m_moveNumber = m_moveNumber + 1;
    } else {
        next->m_status = CGameStatus::objWHITE_TO_MOVE();
        next->m_moveNumber = m_moveNumber;
    }
    next->m_moveText = moveText;

    // Every corner the move touches loses its castling right.
    if (from == 0 || to == 0) next->m_qForfeit[0] = true;
    if (from == 56 || to == 56) next->m_qForfeit[1] = true;
    if (from == 7 || to == 7) next->m_kForfeit[0] = true;
    if (from == 63 || to == 63) next->m_kForfeit[1] = true;

    auto diagram = m_diagram->objClone();
    const int kind = kindOfCode(startCode);
    const bool pieceWhite = isWhiteCode(startCode);
    int8_t transit[8];
    const int steps = kind < 0 ? 0 : Geometry::transit(kind, pieceWhite, from, to, transit);
    bool enPassant = false;
    if (kind == 0) {
        if (steps == 2) {
            next->m_enPassantFile = fileOf(from);
        } else if (fileOf(from) != fileOf(to) && diagram->intCodeAt(to) == 0) {
            diagram->removeInPlace(squareOf(fileOf(to), pieceWhite ? 4 : 3));
            enPassant = true;
        }
    } else if (kind == 5) {
        next->m_kForfeit[pieceWhite ? 0 : 1] = true;
        next->m_qForfeit[pieceWhite ? 0 : 1] = true;
        if (steps == 2) {
            switch (to) {
            case 62:
                diagram->applyInPlace(63, 61, BlackRookCode);
                break;
            case 6:
                diagram->applyInPlace(7, 5, WhiteRookCode);
                break;
            case 58:
                diagram->applyInPlace(56, 59, BlackRookCode);
                break;
            case 2:
                diagram->applyInPlace(0, 3, WhiteRookCode);
                break;
            default:
                break;
            }
        }
    }
    diagram->applyInPlace(from, to, endCode);
    next->m_diagram = diagram;

    const int moverSlot = isWhiteToMove() ? 0 : 1;
    const int ownKing = diagram->intKingIndex(moverSlot);
    // A move of a piece other than the king by the side to move, not taking en passant, while its
    // king was not in check, can only expose the king along the line through the square it left.
    const bool simple = kind >= 0 && kind < 5 && !enPassant && pieceWhite == (moverSlot == 0) &&
                        ownKing >= 0 && m_diagram->intKingIndex(moverSlot) == ownKing &&
                        !m_diagram->isKingAttacked(moverSlot);
    bool exposed;
    if (simple) {
        const int direction = kGeometry.direction[ownKing][from];
        exposed = direction >= 0 &&
                  Attacks::isAttackedAlong(diagram->board(), ownKing, direction, moverSlot == 1);
    } else {
        exposed = ownKing >= 0 && diagram->intCountAttacks(ownKing, moverSlot, 1, true) > 0;
    }
    if (exposed) return nullptr;
    diagram->rememberKingAttacked(moverSlot, false);

    const int otherSlot = 1 - moverSlot;
    const int otherKing = diagram->intKingIndex(otherSlot);
    // Likewise the opponent's king, unchecked before, can only be checked by the piece that moved
    // or along the line through the square it left; then the checks are counted in full.
    const bool simpleOther =
        simple && otherKing >= 0 && endCode != 0 && isWhiteCode(endCode) == pieceWhite &&
        m_diagram->intKingIndex(otherSlot) == otherKing && !m_diagram->isKingAttacked(otherSlot);
    bool mayCheck = otherKing >= 0;
    if (simpleOther) {
        const int direction = kGeometry.direction[otherKing][from];
        mayCheck = CPositionRules::pieceAttacks(diagram->board(), endCode, to, otherKing) ||
                   (direction >= 0 &&
                    Attacks::isAttackedAlong(diagram->board(), otherKing, direction, pieceWhite));
    }
    const int checks = mayCheck ? diagram->intCountAttacks(otherKing, otherSlot, 2, true) : 0;
    diagram->rememberKingAttacked(otherSlot, checks > 0);
    if (checks > 0)
        next->isMated();
    else
        next->CheckStalemate();

    const int code = next->m_status->intCode();
    if ((code == CGameStatus::WhiteWins || code == CGameStatus::BlackWins) &&
        next->strMoveText().find('#') == std::string::npos)
        next->m_moveText += "#";
    return next;
}

bool CPosition::isEqual(const std::shared_ptr<CPosition>& other) const {
    if (!other) return false;
    if (other.get() == this) return true;
    const std::string mine = m_status ? m_status->strToString() : std::string();
    const std::string theirs = other->m_status ? other->m_status->strToString() : std::string();
    if (mine != theirs || m_qForfeit != other->m_qForfeit || m_kForfeit != other->m_kForfeit ||
        m_enPassantFile != other->m_enPassantFile)
        return false;
    return m_diagram ? m_diagram->isEqual(other->m_diagram) : !other->m_diagram;
}

std::shared_ptr<CPosition> CPosition::objClone() const {
    auto copy = std::make_shared<CPosition>();
    copy->m_diagram = m_diagram ? m_diagram->objClone() : nullptr;
    copy->m_enPassantFile = m_enPassantFile;
    copy->m_qForfeit = m_qForfeit;
    copy->m_kForfeit = m_kForfeit;
    copy->m_moveText = m_moveText;
    copy->m_moveNumber = m_moveNumber;
    if (m_status) {
        auto status = CGameStatus::objFind(m_status->strName());
        copy->m_status = status ? status : objNewGameStatus(m_status->strName());
    } else {
        copy->m_status = nullptr;
    }
    return copy;
}

std::string CPosition::strGetFEN() const {
    std::string fen;
    const std::string cells = m_diagram ? m_diagram->strToString() : std::string(64, 'e');
    for (int rank = 0; rank < 8; ++rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const char c = cells[rank * 8 + file];
            if (std::string("prnbqkPRNBQK").find(c) != std::string::npos) {
                if (empty > 0) fen += char('0' + empty);
                empty = 0;
                fen += c;
            } else {
                ++empty;
            }
        }
        if (empty > 0) fen += char('0' + empty);
        if (rank < 7) fen += '/';
    }
    fen += isWhiteSideToMove(*this) ? " w " : " b ";
    std::string castling;
    if (!m_kForfeit[0]) castling += 'K';
    if (!m_qForfeit[0]) castling += 'Q';
    if (!m_kForfeit[1]) castling += 'k';
    if (!m_qForfeit[1]) castling += 'q';
    fen += castling.empty() ? "-" : castling;
    fen += ' ';
    if (m_enPassantFile >= 0 && m_enPassantFile <= 7) {
        fen += char('a' + m_enPassantFile);
        fen += isWhiteToMove() ? '6' : '3';
    } else {
        fen += '-';
    }
    return fen;
}
