#include "model/Attacks.h"

#include "model/GeometryTables.h"
#include "model/PieceCodes.h"

int Attacks::attackers(const int8_t* board, int target, bool byWhite, int limit, int8_t* out) {
    int n = 0;
    const int pawn = byWhite ? WhitePawnCode : BlackPawnCode;
    const int knight = pawn + 1, bishop = pawn + 2, rook = pawn + 3, queen = pawn + 4,
              king = pawn + 5;
    const int file = fileOf(target), rank = rankOf(target);
    // A pawn attacks from one rank behind the target, seen from its own side.
    const int pawnRank = byWhite ? rank - 1 : rank + 1;
    if (pawnRank >= Rank1 && pawnRank <= Rank8) {
        if (file > FileA && board[squareOf(file - 1, pawnRank)] == pawn) {
            out[n++] = int8_t(squareOf(file - 1, pawnRank));
            if (n >= limit) return n;
        }
        if (file < FileH && board[squareOf(file + 1, pawnRank)] == pawn) {
            out[n++] = int8_t(squareOf(file + 1, pawnRank));
            if (n >= limit) return n;
        }
    }
    for (const int8_t* sq = kGeometry.knight[target]; *sq >= 0; ++sq)
        if (board[*sq] == knight) {
            out[n++] = *sq;
            if (n >= limit) return n;
        }
    for (const int8_t* sq = kGeometry.king[target]; *sq >= 0; ++sq)
        if (board[*sq] == king) {
            out[n++] = *sq;
            if (n >= limit) return n;
        }
    for (int dir = 0; dir < 8; ++dir) {
        const int slider = dir < 4 ? rook : bishop;
        const int8_t* ray = kGeometry.rays[target][dir];
        const int length = kGeometry.rayLength[target][dir];
        for (int i = 0; i < length; ++i) {
            const int code = board[ray[i]];
            if (code == EmptyCode) continue;
            if (code == slider || code == queen) {
                out[n++] = ray[i];
                if (n >= limit) return n;
            }
            break;
        }
    }
    return n;
}

bool Attacks::isAttacked(const int8_t* board, int target, bool byWhite) {
    const int pawn = byWhite ? WhitePawnCode : BlackPawnCode;
    const int knight = pawn + 1, bishop = pawn + 2, rook = pawn + 3, queen = pawn + 4,
              king = pawn + 5;
    for (int dir = 0; dir < 8; ++dir) {
        const int slider = dir < 4 ? rook : bishop;
        const int8_t* ray = kGeometry.rays[target][dir];
        const int length = kGeometry.rayLength[target][dir];
        for (int i = 0; i < length; ++i) {
            const int code = board[ray[i]];
            if (code == EmptyCode) continue;
            if (code == slider || code == queen) return true;
            break;
        }
    }
    for (const int8_t* sq = kGeometry.knight[target]; *sq >= 0; ++sq)
        if (board[*sq] == knight) return true;
    for (const int8_t* sq = kGeometry.king[target]; *sq >= 0; ++sq)
        if (board[*sq] == king) return true;
    const int file = fileOf(target), rank = rankOf(target);
    const int pawnRank = byWhite ? rank - 1 : rank + 1;
    if (pawnRank < Rank1 || pawnRank > Rank8) return false;
    return (file > FileA && board[squareOf(file - 1, pawnRank)] == pawn) ||
           (file < FileH && board[squareOf(file + 1, pawnRank)] == pawn);
}

bool Attacks::isAttackedAlong(const int8_t* board, int target, int direction, bool byWhite) {
    const int queen = byWhite ? WhiteQueenCode : BlackQueenCode;
    const int slider = direction < 4 ? (byWhite ? WhiteRookCode : BlackRookCode)
                                     : (byWhite ? WhiteBishopCode : BlackBishopCode);
    const int8_t* ray = kGeometry.rays[target][direction];
    const int length = kGeometry.rayLength[target][direction];
    for (int i = 0; i < length; ++i) {
        const int code = board[ray[i]];
        if (code != EmptyCode) return code == slider || code == queen;
    }
    return false;
}
