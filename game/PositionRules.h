#pragma once

class CPosition;

// The rules of a position on square indices and piece codes, without allocating; CPosition's
// public operations and the move generator are built on them.
class CPositionRules {
public:
    // Everything about moving the piece code from one square to another but the mover's king.
    static bool isLegal(const CPosition& position, int from, int to, int startCode);
    // Castling to the destination (c1, g1, c8, g8) is allowed now: right kept, king and rook
    // at home, squares between empty, king's path not attacked.
    static bool isCastlingAllowed(const CPosition& position, int destination);
    // True when the move (with endCode on the destination) leaves the mover's king unattacked,
    // applied in full: an en-passant capture removes the pawn taken, castling moves the rook.
    static bool leavesKingSafe(const CPosition& position, int from, int to, int startCode,
                               int endCode);
    // True when the side to move has at least one legal move, castling included.
    static bool hasLegalMove(const CPosition& position);
    // True when the piece code standing on a square attacks the target square on the board.
    static bool pieceAttacks(const signed char* board, int code, int at, int target);
    // True when the check on the king (square index) can be parried by a capture of the checker
    // (en passant included) or an interposition.
    static bool isParried(const CPosition& position, int kingSquare, int checkerSquare);
};
