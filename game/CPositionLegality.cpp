#include "game/CPosition.h"
#include "game/PositionRules.h"
#include "model/Attacks.h"
#include "model/CChessSquare.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "model/CPieceColor.h"
#include "model/CPieceLocation.h"
#include "model/Geometry.h"
#include "model/GeometryTables.h"
#include "model/PieceCodes.h"

#include <cstdlib>
#include <cstring>

bool CPositionRules::isLegal(const CPosition& position, int from, int to, int startCode) {
    if (startCode == 0 || from < 0 || to < 0 || !position.m_diagram) return false;
    const bool white = isWhiteCode(startCode);
    if (white != position.isWhiteToMove()) return false;
    const int8_t* board = position.m_diagram->board();
    const int target = board[to];
    if (target != 0 && isWhiteCode(target) == white) return false;
    const int kind = kindOfCode(startCode);
    const int df = fileOf(to) - fileOf(from), dr = rankOf(to) - rankOf(from);
    const int adf = df < 0 ? -df : df, adr = dr < 0 ? -dr : dr;
    // The squares passed must be empty (the destination is judged below); steps counts them with
    // the destination, as the kinds' transit lists do.
    int steps = 1;
    switch (kind) {
    case 0: {
        const int forward = white ? dr : -dr;
        if (df == 0 && forward == 2 && rankOf(from) == (white ? 1 : 6)) {
            if (board[from + (white ? 8 : -8)] != 0) return false;
            steps = 2;
        } else if (forward != 1 || adf > 1) {
            return false;
        }
        break;
    }
    case 1:
        if (adf * adr != 2) return false;
        break;
    case 2:
    case 3:
    case 4: {
        const bool diagonal = adf == adr && adf != 0;
        const bool straight = (df == 0) != (dr == 0);
        if (!(kind == 2 ? diagonal : kind == 3 ? straight : diagonal || straight)) return false;
        const int step = kGeometry.step[from][to];
        for (int sq = from + step; sq != to; sq += step)
            if (board[sq] != 0) return false;
        break;
    }
    case 5:
        if (adf < 2 && adr < 2) break;
        if (dr == 0 && adf == 2 && from == (white ? 4 : 60)) {
            if (board[from + df / 2] != 0) return false;
            steps = 2;
            break;
        }
        return false;
    default:
        return false;
    }
    if (target != 0) {
        if (kindOfCode(target) == 5) return false; // a king is never captured
        if (kind == 0) return adf == 1;
        if (kind == 5) return steps == 1;
        return true;
    }
    if (kind != 0 && kind != 5) return true;
    if (kind == 5) return steps == 1 || isCastlingAllowed(position, to);
    if (df == 0) return true;
    if (fileOf(to) != position.m_enPassantFile) return false;
    if (rankOf(to) != (white ? 5 : 2)) return false;
    return board[squareOf(fileOf(to), white ? 4 : 3)] == (white ? BlackPawnCode : WhitePawnCode);
}

bool CPositionRules::isCastlingAllowed(const CPosition& position, int destination) {
    if (position.isCastlingForfeited(CChessSquare::objAt(destination))) return false;
    const int home = rankOf(destination);
    const bool queenSide = fileOf(destination) == 2;
    const bool white = home == 0;
    const CDiagram& diagram = *position.m_diagram;
    // The king and the rook of that side must stand at home, whatever the flags say.
    if (diagram.intCodeAt(squareOf(4, home)) != codeOf(5, white)) return false;
    if (diagram.intCodeAt(squareOf(queenSide ? 0 : 7, home)) != codeOf(3, white)) return false;
    static const int emptyQueen[] = {1, 2, 3}, emptyKing[] = {5, 6};
    static const int safeQueen[] = {4, 3, 2}, safeKing[] = {4, 5, 6};
    if (queenSide) {
        for (int file : emptyQueen)
            if (diagram.intCodeAt(squareOf(file, home)) != 0) return false;
    } else {
        for (int file : emptyKing)
            if (diagram.intCodeAt(squareOf(file, home)) != 0) return false;
    }
    for (int file : queenSide ? safeQueen : safeKing)
        if (Attacks::isAttacked(diagram.board(), squareOf(file, home), !white)) return false;
    return true;
}

bool CPositionRules::leavesKingSafe(const CPosition& position, int from, int to, int startCode,
                                    int endCode) {
    const CDiagram& diagram = *position.m_diagram;
    const bool mover = isWhiteCode(startCode);
    const int kind = kindOfCode(startCode);
    const int ownKing = diagram.intKingIndex(mover ? 0 : 1);
    // A piece other than the king, whose king is not in check, can only expose it along the line
    // through the square it leaves; an en-passant capture also empties the taken pawn's square.
    if (kind != 5 && ownKing >= 0 && !diagram.isKingAttacked(mover ? 0 : 1) &&
        !(kind == 0 && fileOf(from) != fileOf(to) && diagram.intCodeAt(to) == 0)) {
        const int direction = kGeometry.direction[ownKing][from];
        if (direction < 0) return true;
        const int8_t* ray = kGeometry.rays[ownKing][direction];
        const int length = kGeometry.rayLength[ownKing][direction];
        const int queen = mover ? BlackQueenCode : WhiteQueenCode;
        const int slider = direction < 4 ? (mover ? BlackRookCode : WhiteRookCode)
                                         : (mover ? BlackBishopCode : WhiteBishopCode);
        for (int i = 0; i < length; ++i) {
            const int sq = ray[i];
            if (sq == to) return true;
            if (sq == from) continue;
            const int code = diagram.intCodeAt(sq);
            if (code != 0) return code != slider && code != queen;
        }
        return true;
    }
    int8_t board[64];
    std::memcpy(board, diagram.board(), 64);
    const bool white = mover;
    if (kind == 0 && fileOf(from) != fileOf(to) && board[to] == 0)
        board[squareOf(fileOf(to), white ? 4 : 3)] = 0;
    if (kind == 5 && rankOf(from) == rankOf(to) && std::abs(fileOf(to) - fileOf(from)) == 2) {
        const int home = rankOf(from);
        const int rookFrom = squareOf(fileOf(to) == 6 ? 7 : 0, home);
        const int rookTo = squareOf(fileOf(to) == 6 ? 5 : 3, home);
        board[rookTo] = board[rookFrom];
        board[rookFrom] = 0;
    }
    board[from] = 0;
    board[to] = int8_t(endCode);
    const int king = kind == 5 ? to : ownKing;
    if (king < 0) return true;
    return !Attacks::isAttacked(board, king, !white);
}

bool CPositionRules::pieceAttacks(const signed char* board, int code, int at, int target) {
    const int df = fileOf(target) - fileOf(at), dr = rankOf(target) - rankOf(at);
    const int adf = df < 0 ? -df : df, adr = dr < 0 ? -dr : dr;
    switch (kindOfCode(code)) {
    case 0:
        return adf == 1 && dr == (isWhiteCode(code) ? 1 : -1);
    case 1:
        return adf * adr == 2;
    case 5:
        return adf < 2 && adr < 2 && (adf | adr) != 0;
    case 2:
        if (adf != adr) return false;
        break;
    case 3:
        if (df != 0 && dr != 0) return false;
        break;
    case 4:
        break;
    default:
        return false;
    }
    const int step = kGeometry.step[at][target];
    if (step == 0) return false;
    for (int sq = at + step; sq != target; sq += step)
        if (board[sq] != 0) return false;
    return true;
}

bool CPositionRules::hasLegalMove(const CPosition& position) {
    const CDiagram& diagram = *position.m_diagram;
    const bool white = position.isWhiteToMove();
    // Pawns, knights and the king first: their few candidates usually settle it at once.
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < diagram.intCount(); ++i) {
            const int from = diagram.intSquareAt(i);
            const int code = diagram.intCodeAt(from);
            if (isWhiteCode(code) != white) continue;
            const int kind = kindOfCode(code);
            const bool slider = kind >= 2 && kind <= 4;
            if (slider != (pass == 1)) continue;
            for (const auto& square : Geometry::candidates(kind, white, from)) {
                const int to = square->intIndex();
                if (isLegal(position, from, to, code) &&
                    leavesKingSafe(position, from, to, code, code))
                    return true;
            }
            if (kind == 5 && from == squareOf(4, white ? 0 : 7))
                for (int file : {6, 2}) {
                    const int to = squareOf(file, rankOf(from));
                    if (isLegal(position, from, to, code) &&
                        leavesKingSafe(position, from, to, code, code))
                        return true;
                }
        }
    return false;
}

bool CPositionRules::isParried(const CPosition& position, int kingSquare, int checkerSquare) {
    const CDiagram& diagram = *position.m_diagram;
    const int kingCode = diagram.intCodeAt(kingSquare);
    const bool white = kingCode != 0 ? isWhiteCode(kingCode) : position.isWhiteToMove();
    if (diagram.intCountAttacks(kingSquare, white ? 0 : 1, 2, true) >= 2) return false;
    const int checker = diagram.intCodeAt(checkerSquare);
    int8_t targets[8];
    int count = Geometry::transit(kindOfCode(checker), isWhiteCode(checker), checkerSquare,
                                  kingSquare, targets);
    if (count == 0) count = 1;
    targets[count - 1] = int8_t(checkerSquare);
    for (int i = 0; i < diagram.intCount(); ++i) {
        const int from = diagram.intSquareAt(i);
        const int code = diagram.intCodeAt(from);
        if (code == 0 || isWhiteCode(code) != white) continue;
        for (int t = 0; t < count; ++t)
            if (isLegal(position, from, targets[t], code) &&
                leavesKingSafe(position, from, targets[t], code, code))
                return true;
    }
    // A pawn that gives check right after its double step may be taken en passant.
    const bool checkerWhite = isWhiteCode(checker);
    if (kindOfCode(checker) == 0 && position.m_enPassantFile == fileOf(checkerSquare) &&
        rankOf(checkerSquare) == (checkerWhite ? 3 : 4)) {
        const int target = squareOf(fileOf(checkerSquare), checkerWhite ? 2 : 5);
        const int pawn = codeOf(0, white);
        for (int file : {fileOf(checkerSquare) - 1, fileOf(checkerSquare) + 1}) {
            if (file < 0 || file > 7) continue;
            const int from = squareOf(file, rankOf(checkerSquare));
            if (diagram.intCodeAt(from) == pawn && isLegal(position, from, target, pawn) &&
                leavesKingSafe(position, from, target, pawn, pawn))
                return true;
        }
    }
    return false;
}

bool CPosition::isLegalMove(const CMove& move) const {
    const auto& start = move.objStartingLocation();
    const auto& end = move.objEndingLocation();
    if (!start || !end) return false;
    return CPositionRules::isLegal(*this, start->intSquare(), end->intSquare(), start->intCode());
}

bool CPosition::isFullyLegal(const CMove& move) const {
    const auto& start = move.objStartingLocation();
    const auto& end = move.objEndingLocation();
    return isLegalMove(move) &&
           CPositionRules::leavesKingSafe(*this, start->intSquare(), end->intSquare(),
                                          start->intCode(), end->intCode());
}

bool CPosition::isCastlingForfeited(const std::shared_ptr<CChessSquare>& square) const {
    const int index = square ? square->intIndex() : -1;
    switch (index) {
    case 2:
        return m_qForfeit[0];
    case 58:
        return m_qForfeit[1];
    case 6:
        return m_kForfeit[0];
    case 62:
        return m_kForfeit[1];
    default:
        RaiseError("CPosition", "Invalid Castling destination");
    }
}

bool CPosition::isCastlingOK(const std::shared_ptr<CChessSquare>& square) const {
    isCastlingForfeited(square); // raises for anything but c1, c8, g1, g8
    return m_diagram && CPositionRules::isCastlingAllowed(*this, square->intIndex());
}

bool CPosition::isMated() {
    const int status = m_status ? m_status->intCode() : CGameStatus::Unknown;
    if (status != CGameStatus::WhiteToMove && status != CGameStatus::BlackToMove)
        return status == CGameStatus::WhiteWins || status == CGameStatus::BlackWins;
    if (!m_diagram) return false;
    const bool white = status == CGameStatus::WhiteToMove;
    const int slot = white ? 0 : 1;
    const int king = m_diagram->intKingIndex(slot);
    if (king < 0 || m_diagram->intCountAttacks(king, slot, 2, true) == 0) return false;
    const auto checker = m_diagram->objGetAttackingLocation(white ? CPieceColor::objWHITE()
                                                                  : CPieceColor::objBLACK());
    const int kingCode = codeOf(5, white);
    for (int dr = -1; dr <= 1; ++dr)
        for (int df = -1; df <= 1; ++df) {
            const int file = fileOf(king) + df, rank = rankOf(king) + dr;
            if (file < 0 || file > 7 || rank < 0 || rank > 7 || (df == 0 && dr == 0)) continue;
            const int to = squareOf(file, rank);
            const int there = m_diagram->intCodeAt(to);
            if (there != 0 && isWhiteCode(there) == white) continue;
            if (CPositionRules::leavesKingSafe(*this, king, to, kingCode, kingCode)) return false;
        }
    if (checker && isCheckParried(CPieceLocation::objShared(kingCode, king), checker)) return false;
    m_status = white ? CGameStatus::objBLACK_WINS() : CGameStatus::objWHITE_WINS();
    return true;
}

bool CPosition::isCheckParried(const std::shared_ptr<CPieceLocation>& king,
                               const std::shared_ptr<CPieceLocation>& checker) const {
    if (!king || !checker || king->intSquare() < 0 || checker->intSquare() < 0 || !m_diagram)
        return false;
    return CPositionRules::isParried(*this, king->intSquare(), checker->intSquare());
}

void CPosition::CheckStalemate() {
    if (!isWhiteToMove() && !(m_status && m_status->intCode() == CGameStatus::BlackToMove)) return;
    if (!m_diagram || CPositionRules::hasLegalMove(*this)) return;
    m_status = CGameStatus::objDRAWN_BY_STALEMATE();
}
