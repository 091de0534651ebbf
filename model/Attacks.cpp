#include "model/Attacks.h"

#include "model/Geometry.h"
#include "model/PieceCodes.h"

int Attacks::attackers(const int8_t* board, int target, bool byWhite, int limit, int8_t* out) {
    int n = 0;
    const auto found = [&](int square) {
        out[n++] = int8_t(square);
        return n >= limit;
    };
    const int pawn = byWhite ? WhitePawnCode : BlackPawnCode;
    const int knight = pawn + 1, bishop = pawn + 2, rook = pawn + 3, queen = pawn + 4,
              king = pawn + 5;
    const int file = fileOf(target), rank = rankOf(target);
    // A pawn attacks from one rank behind the target, seen from its own side.
    const int pawnRank = byWhite ? rank - 1 : rank + 1;
    if (pawnRank >= 0 && pawnRank < 8) {
        if (file > 0 && board[squareOf(file - 1, pawnRank)] == pawn &&
            found(squareOf(file - 1, pawnRank)))
            return n;
        if (file < 7 && board[squareOf(file + 1, pawnRank)] == pawn &&
            found(squareOf(file + 1, pawnRank)))
            return n;
    }
    const int8_t* squares;
    int count = Geometry::knightTargets(target, &squares);
    for (int i = 0; i < count; ++i)
        if (board[squares[i]] == knight && found(squares[i])) return n;
    count = Geometry::kingTargets(target, &squares);
    for (int i = 0; i < count; ++i)
        if (board[squares[i]] == king && found(squares[i])) return n;
    for (int dir = 0; dir < 8; ++dir) {
        const int length = Geometry::rayLength(target, dir);
        const int slider = dir < 4 ? rook : bishop;
        for (int i = 0; i < length; ++i) {
            const int sq = Geometry::raySquare(target, dir, i);
            const int code = board[sq];
            if (code == 0) continue;
            if ((code == slider || code == queen) && found(sq)) return n;
            break;
        }
    }
    return n;
}
