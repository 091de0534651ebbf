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
    if (startCode == EmptyCode || from < 0 || to < 0 || !position.m_diagram) return false;
    const bool white = isWhiteCode(startCode);
    if (white != position.isWhiteToMove()) return false;
    const int8_t* board = position.m_diagram->board();
    const int target = board[to];
    if (target != EmptyCode && isWhiteCode(target) == white) return false;
    const int kind = kindOfCode(startCode);
    const int df = fileOf(to) - fileOf(from), dr = rankOf(to) - rankOf(from);
    const int adf = df < 0 ? -df : df, adr = dr < 0 ? -dr : dr;
    // The squares passed must be empty (the destination is judged below); steps counts them with
    // the destination, as the kinds' transit lists do.
    int steps = 1;
    switch (kind) {
    case Pawn: {
        const int forward = white ? dr : -dr;
        if (df == 0 && forward == 2 && rankOf(from) == pawnRankOf(white)) {
            if (board[from + (white ? 8 : -8)] != EmptyCode) return false;
            steps = 2;
        } else if (forward != 1 || adf > 1) {
            return false;
        }
        break;
    }
    case Knight:
        if (adf * adr != 2) return false;
        break;
    case Bishop:
    case Rook:
    case Queen: {
        const bool diagonal = adf == adr && adf != 0;
        const bool straight = (df == 0) != (dr == 0);
        if (!(kind == Bishop ? diagonal : kind == Rook ? straight : diagonal || straight))
            return false;
        const int step = kGeometry.step[from][to];
        for (int sq = from + step; sq != to; sq += step)
            if (board[sq] != EmptyCode) return false;
        break;
    }
    case King:
        if (adf < 2 && adr < 2) break;
        if (dr == 0 && adf == 2 && from == kingHomeOf(white)) {
            if (board[from + df / 2] != EmptyCode) return false;
            steps = 2;
            break;
        }
        return false;
    default:
        return false;
    }
    if (target != EmptyCode) {
        if (kindOfCode(target) == King) return false; // a king is never captured
        if (kind == Pawn) return adf == 1;
        if (kind == King) return steps == 1;
        return true;
    }
    if (kind != Pawn && kind != King) return true;
    if (kind == King) return steps == 1 || isCastlingAllowed(position, to);
    if (df == 0) return true;
    if (fileOf(to) != position.m_enPassantFile) return false;
    if (rankOf(to) != (white ? Rank6 : Rank3)) return false;
    return board[squareOf(fileOf(to), enPassantRankOf(white))] == codeOf(Pawn, !white);
}

bool CPositionRules::isCastlingAllowed(const CPosition& position, int destination) {
    const Castling* castling = castlingTo(destination);
    if (!castling || position.forfeit(*castling)) return false;
    const bool white = castling->slot == WhiteSlot;
    const CDiagram& diagram = *position.m_diagram;
    // The king and the rook of that side must stand at home, whatever the flags say.
    if (diagram.intCodeAt(castling->kingFrom) != codeOf(King, white)) return false;
    if (diagram.intCodeAt(castling->rookFrom) != codeOf(Rook, white)) return false;
    for (int i = 0; i < castling->betweenCount; ++i)
        if (diagram.intCodeAt(castling->between[i]) != EmptyCode) return false;
    for (int square : castling->kingPath)
        if (Attacks::isAttacked(diagram.board(), square, !white)) return false;
    return true;
}

bool CPositionRules::leavesKingSafe(const CPosition& position, int from, int to, int startCode,
                                    int endCode) {
    const CDiagram& diagram = *position.m_diagram;
    const bool mover = isWhiteCode(startCode);
    const int kind = kindOfCode(startCode);
    const ColorSlot slot = slotOf(mover);
    const int ownKing = diagram.intKingIndex(slot);
    const bool enPassant =
        kind == Pawn && fileOf(from) != fileOf(to) && diagram.intCodeAt(to) == EmptyCode;
    // A piece other than the king, whose king is not in check, can only expose it along the line
    // through the square it leaves; an en-passant capture also empties the taken pawn's square.
    if (kind != King && ownKing >= 0 && !diagram.isKingAttacked(slot) && !enPassant) {
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
            if (code != EmptyCode) return code != slider && code != queen;
        }
        return true;
    }
    int8_t board[64];
    std::memcpy(board, diagram.board(), 64);
    if (enPassant) board[squareOf(fileOf(to), enPassantRankOf(mover))] = EmptyCode;
    if (kind == King && rankOf(from) == rankOf(to) && std::abs(fileOf(to) - fileOf(from)) == 2) {
        if (const Castling* castling = castlingTo(to)) {
            board[castling->rookTo] = board[castling->rookFrom];
            board[castling->rookFrom] = EmptyCode;
        }
    }
    board[from] = EmptyCode;
    board[to] = int8_t(endCode);
    const int king = kind == King ? to : ownKing;
    if (king < 0) return true;
    return !Attacks::isAttacked(board, king, !mover);
}

bool CPositionRules::pieceAttacks(const signed char* board, int code, int at, int target) {
    const int df = fileOf(target) - fileOf(at), dr = rankOf(target) - rankOf(at);
    const int adf = df < 0 ? -df : df, adr = dr < 0 ? -dr : dr;
    switch (kindOfCode(code)) {
    case Pawn:
        return adf == 1 && dr == (isWhiteCode(code) ? 1 : -1);
    case Knight:
        return adf * adr == 2;
    case King:
        return adf < 2 && adr < 2 && (adf | adr) != 0;
    case Bishop:
        if (adf != adr) return false;
        break;
    case Rook:
        if (df != 0 && dr != 0) return false;
        break;
    case Queen:
        break;
    default:
        return false;
    }
    const int step = kGeometry.step[at][target];
    if (step == 0) return false;
    for (int sq = at + step; sq != target; sq += step)
        if (board[sq] != EmptyCode) return false;
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
            if (isSliderKind(kind) != (pass == 1)) continue;
            for (const int to : Geometry::targets(kind, white, from)) {
                if (isLegal(position, from, to, code) &&
                    leavesKingSafe(position, from, to, code, code))
                    return true;
            }
            if (kind == King && from == kingHomeOf(white))
                for (const Castling& castling : kCastlings) {
                    const int to = castling.kingTo;
                    if (castling.kingFrom == from && isLegal(position, from, to, code) &&
                        leavesKingSafe(position, from, to, code, code))
                        return true;
                }
        }
    return false;
}

bool CPositionRules::isParried(const CPosition& position, int kingSquare, int checkerSquare) {
    const CDiagram& diagram = *position.m_diagram;
    const int kingCode = diagram.intCodeAt(kingSquare);
    const bool white = kingCode != EmptyCode ? isWhiteCode(kingCode) : position.isWhiteToMove();
    if (diagram.intCountAttacks(kingSquare, slotOf(white), 2, true) >= 2) return false;
    const int checker = diagram.intCodeAt(checkerSquare);
    int8_t targets[8];
    int count = Geometry::transit(kindOfCode(checker), isWhiteCode(checker), checkerSquare,
                                  kingSquare, targets);
    if (count == 0) count = 1;
    targets[count - 1] = int8_t(checkerSquare);
    for (int i = 0; i < diagram.intCount(); ++i) {
        const int from = diagram.intSquareAt(i);
        const int code = diagram.intCodeAt(from);
        if (code == EmptyCode || isWhiteCode(code) != white) continue;
        for (int t = 0; t < count; ++t)
            if (isLegal(position, from, targets[t], code) &&
                leavesKingSafe(position, from, targets[t], code, code))
                return true;
    }
    // A pawn that gives check right after its double step may be taken en passant.
    const bool checkerWhite = isWhiteCode(checker);
    if (kindOfCode(checker) == Pawn && position.m_enPassantFile == fileOf(checkerSquare) &&
        rankOf(checkerSquare) == enPassantRankOf(!checkerWhite)) {
        const int target = squareOf(fileOf(checkerSquare), checkerWhite ? Rank3 : Rank6);
        const int pawn = codeOf(Pawn, white);
        for (int file : {fileOf(checkerSquare) - 1, fileOf(checkerSquare) + 1}) {
            if (file < FileA || file > FileH) continue;
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
    const Castling* castling = castlingTo(square ? square->intIndex() : NoSquare);
    if (!castling) RaiseError("CPosition", "Invalid Castling destination");
    return forfeit(*castling);
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
    const ColorSlot slot = slotOf(white);
    const int king = m_diagram->intKingIndex(slot);
    if (king < 0 || m_diagram->intCountAttacks(king, slot, 2, true) == 0) return false;
    const auto checker = m_diagram->objGetAttackingLocation(white ? CPieceColor::objWHITE()
                                                                  : CPieceColor::objBLACK());
    const int kingCode = codeOf(King, white);
    for (const int8_t* to = kGeometry.king[king]; *to >= 0; ++to) {
        const int there = m_diagram->intCodeAt(*to);
        if (there != EmptyCode && isWhiteCode(there) == white) continue;
        if (CPositionRules::leavesKingSafe(*this, king, *to, kingCode, kingCode)) return false;
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
