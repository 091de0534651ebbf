#pragma once

#include <array>
#include <memory>
#include <string>

class CPosition;

// What a typed move text names in a position.
struct MoveTextMatch {
    enum Result { Played = 0, Unreadable, Illegal, Ambiguous };
    Result result = Unreadable;
    int from = -1;      // square index (file + 8 * rank) of the moving piece
    int to = -1;        // square index of its destination
    char promotion = 0; // 'Q', 'R', 'B', 'N' when the text names one, 0 otherwise
};

// Reads a move typed by a user: short algebraic ("Nf3", "exd5", "e8=Q", "O-O", "0-0", with or
// without "+", "#", "x", "!" and "?") or the coordinate form ("g1f3", "e7e8q"), against the legal
// moves of the position. A text that fits several moves is ambiguous, one that fits none illegal.
MoveTextMatch objMatchMoveText(const std::shared_ptr<CPosition>& position, const std::string& text);

// The legal destinations of the piece on a square index in the position, by square index:
// 0 none, 1 a move to an empty square, 2 a capture (en passant included).
std::array<unsigned char, 64> arrLegalTargets(const std::shared_ptr<CPosition>& position, int from);

// Square index of a king that stands in check (after a mate too), -1 when neither does.
int intCheckedKing(const CPosition& position);

// From and to square indices of the move that turned one placement into the next: the mover's
// piece that left a square and the square it arrived on (the king's squares for castling).
// {-1, -1} when the two do not differ by one move of the side given.
std::pair<int, int> LastMoveSquares(const CPosition& before, const CPosition& after,
                                    bool whiteMoved);
