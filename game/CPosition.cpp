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

#include <cstdint>

namespace {
void checkIndex(int color) {
    if (color != WhiteSlot && color != BlackSlot)
        throw CError(9, "CPosition", "Subscript out of range");
}
} // namespace

CPosition::CPosition() : m_status(CGameStatus::objWHITE_TO_MOVE()) {}

bool& CPosition::forfeit(const Castling& castling) {
    return (castling.kingSide ? m_kForfeit : m_qForfeit)[castling.slot];
}

bool CPosition::forfeit(const Castling& castling) const {
    return (castling.kingSide ? m_kForfeit : m_qForfeit)[castling.slot];
}

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

bool CPosition::isStartPosition() const {
    int dots = 0;
    for (char c : m_moveText) {
        if (c == '+' || c == 'P') continue;
        if (c != '.' || ++dots > 3) return false;
    }
    return dots == 3;
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

namespace {

// What a move did on the board, for the check tests that follow it.
struct PlacedMove {
    int from, to, endCode;
    PieceKind kind;
    bool white;     // the colour of the piece moved
    bool enPassant; // a pawn was taken en passant
};

// Moves the pieces on the successor's diagram: the piece itself, the pawn taken en passant and
// the rook of a castling. A pawn's double step opens its file to an en-passant capture.
PlacedMove placePieces(CDiagram& diagram, int from, int to, int startCode, int endCode,
                       int& enPassantFile) {
    PlacedMove placed{from, to, endCode, kindOfCode(startCode), isWhiteCode(startCode), false};
    int8_t transit[8];
    const int steps =
        placed.kind == NoKind ? 0 : Geometry::transit(placed.kind, placed.white, from, to, transit);
    if (placed.kind == Pawn) {
        if (steps == 2) {
            enPassantFile = fileOf(from);
        } else if (fileOf(from) != fileOf(to) && diagram.intCodeAt(to) == EmptyCode) {
            diagram.removeInPlace(squareOf(fileOf(to), enPassantRankOf(placed.white)));
            placed.enPassant = true;
        }
    } else if (placed.kind == King && steps == 2) {
        if (const Castling* castling = castlingTo(to))
            diagram.applyInPlace(castling->rookFrom, castling->rookTo,
                                 codeOf(Rook, castling->slot == WhiteSlot));
    }
    diagram.applyInPlace(from, to, endCode);
    return placed;
}

// True when a move other than the king's, not taking en passant, by the side to move whose king
// stood unchecked: such a move can only expose that king along the line through the square it
// left, and only check the other king from its destination or along that same line.
bool isQuietForKings(const CDiagram& before, const CDiagram& after, const PlacedMove& placed,
                     ColorSlot mover) {
    const int ownKing = after.intKingIndex(mover);
    return placed.kind != NoKind && placed.kind != King && !placed.enPassant &&
           slotOf(placed.white) == mover && ownKing >= 0 && before.intKingIndex(mover) == ownKing &&
           !before.isKingAttacked(mover);
}

// True when the mover's king stands attacked after the move.
bool isOwnKingExposed(const CDiagram& after, const PlacedMove& placed, ColorSlot mover,
                      bool quiet) {
    const int king = after.intKingIndex(mover);
    if (king < 0) return false;
    if (!quiet) return after.intCountAttacks(king, mover, 1, true) > 0;
    const int direction = kGeometry.direction[king][placed.from];
    return direction >= 0 &&
           Attacks::isAttackedAlong(after.board(), king, direction, mover == BlackSlot);
}

// Number of checks (0-2) on the other king after the move; the attacker is remembered.
int countChecksGiven(const CDiagram& before, const CDiagram& after, const PlacedMove& placed,
                     ColorSlot mover, bool quiet) {
    const ColorSlot other = otherSlot(mover);
    const int king = after.intKingIndex(other);
    if (king < 0) return 0;
    // A quiet move that keeps its piece's colour, against a king unchecked before, can only check
    // it from the destination or by uncovering a line through the square left.
    if (quiet && placed.endCode != EmptyCode && isWhiteCode(placed.endCode) == placed.white &&
        before.intKingIndex(other) == king && !before.isKingAttacked(other)) {
        const int direction = kGeometry.direction[king][placed.from];
        const bool mayCheck =
            CPositionRules::pieceAttacks(after.board(), placed.endCode, placed.to, king) ||
            (direction >= 0 &&
             Attacks::isAttackedAlong(after.board(), king, direction, placed.white));
        if (!mayCheck) return 0;
    }
    return after.intCountAttacks(king, other, 2, true);
}

} // namespace

std::shared_ptr<CPosition> CPosition::objMove2(const CMove& move,
                                               const std::string& moveText) const {
    const auto& start = move.objStartingLocation();
    const auto& end = move.objEndingLocation();
    if (!start || !end || start->intSquare() < 0 || end->intSquare() < 0 || !m_diagram)
        return nullptr;
    const int from = start->intSquare(), to = end->intSquare();

    auto next = objSuccessor(moveText);
    next->ForfeitCastlings(from, to, start->intCode());
    auto diagram = m_diagram->objClone();
    const PlacedMove placed =
        placePieces(*diagram, from, to, start->intCode(), end->intCode(), next->m_enPassantFile);
    next->m_diagram = diagram;

    const ColorSlot mover = slotOf(isWhiteToMove());
    const bool quiet = isQuietForKings(*m_diagram, *diagram, placed, mover);
    if (isOwnKingExposed(*diagram, placed, mover, quiet)) return nullptr;
    diagram->rememberKingAttacked(mover, false);
    const int checks = countChecksGiven(*m_diagram, *diagram, placed, mover, quiet);
    diagram->rememberKingAttacked(otherSlot(mover), checks > 0);
    next->SettleStatus(checks > 0);
    return next;
}

std::shared_ptr<CPosition> CPosition::objSuccessor(const std::string& moveText) const {
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
    return next;
}

void CPosition::ForfeitCastlings(int from, int to, int startCode) {
    // Every corner the move touches loses its castling right; a king's move loses both. Most
    // moves touch no corner: one test of a mask settles them.
    constexpr uint64_t corners = [] {
        uint64_t mask = 0;
        for (const Castling& castling : kCastlings)
            mask |= uint64_t(1) << castling.rookFrom;
        return mask;
    }();
    if (((uint64_t(1) << from) | (uint64_t(1) << to)) & corners)
        for (const Castling& castling : kCastlings)
            if (from == castling.rookFrom || to == castling.rookFrom) forfeit(castling) = true;
    if (kindOfCode(startCode) == King) {
        const ColorSlot slot = slotOf(isWhiteCode(startCode));
        m_kForfeit[slot] = true;
        m_qForfeit[slot] = true;
    }
}

void CPosition::SettleStatus(bool inCheck) {
    if (inCheck)
        isMated();
    else
        CheckStalemate();
    const int code = m_status->intCode();
    if ((code == CGameStatus::WhiteWins || code == CGameStatus::BlackWins) &&
        strMoveText().find('#') == std::string::npos)
        m_moveText += "#";
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
    for (const Castling& each : kCastlings)
        if (!forfeit(each)) castling += "KQkq"[2 * each.slot + (each.kingSide ? 0 : 1)];
    fen += castling.empty() ? "-" : castling;
    fen += ' ';
    if (m_enPassantFile >= FileA && m_enPassantFile <= FileH) {
        fen += char('a' + m_enPassantFile);
        fen += isWhiteToMove() ? '6' : '3';
    } else {
        fen += '-';
    }
    return fen;
}
