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
