#pragma once

#include "model/Types.h"

#include <cstdint>
#include <span>

// The movement geometry of the piece kinds on square indices (file + 8 * rank), shared by the
// kind class, attack counting and the rules so that none of them allocates.
class Geometry {
public:
    // Candidate destinations of a kind index (0-5) on a square, as shared squares in the order
    // of the kind's rule; pawns never get squares off the board.
    static const SquareArray& candidates(int kind, bool white, int square);
    // The same candidates as square indices, for the rules' loops.
    static std::span<const int8_t> targets(int kind, bool white, int square);
    // Transit squares of a kind index from one square to another into out (room for 8); returns
    // their number, 0 when the kind cannot make the displacement.
    static int transit(int kind, bool white, int from, int to, int8_t* out);
    // Squares stepped through from one square towards another (excluding the start, including
    // the target when on a line); returns their number.
    static int line(int from, int to, int8_t* out);
};
