#pragma once

#include <cstdint>

class SqlStatement;

// A whole number read from a stored row: an integer, or a text or real that holds one exactly.
// Anything else (NULL, other text, a fraction) raises a CWorkBookGameError naming the column,
// the game and the value.
int64_t lngStoredNumber(const SqlStatement& row, int column, const char* name, int64_t gameId);

// A statistic: NULL or anything that is not a whole number reads as 0, as SQL's sum() counts it,
// so that one damaged counter never hides a game from the lists.
int64_t lngStoredCount(const SqlStatement& row, int column, const char* name, int64_t gameId);

// The value cut to the 32-bit range.
inline int32_t lngClamped32(int64_t value) {
    return value > INT32_MAX   ? INT32_MAX
           : value < INT32_MIN ? INT32_MIN
                               : static_cast<int32_t>(value);
}
