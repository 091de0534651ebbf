#pragma once

#include <cstdint>

// Attack detection on a 64-slot board of piece codes (see PieceCodes.h).
class Attacks {
public:
    // Squares of the pieces of one colour that attack the target square, written to out (room
    // for 16); returns their number, stopping once limit have been found. A pawn attacks the two
    // squares diagonally ahead, a king its eight neighbours, a line piece along a free line.
    static int attackers(const int8_t* board, int target, bool byWhite, int limit, int8_t* out);
    // True when a piece of the colour attacks the target square.
    static bool isAttacked(const int8_t* board, int target, bool byWhite);
    // True when a line piece of the colour attacks the target along the one ray in the direction
    // (0-7, as in GeometryTables) from the target.
    static bool isAttackedAlong(const int8_t* board, int target, int direction, bool byWhite);
};
