#pragma once

#include "model/CError.h"

#include <cstdint>
#include <string>

// An error of one game's content (a damaged row, a move that cannot be played, a text too long
// to store) as opposed to the workbook's: the other games stay usable, so a caller working
// through many games names this one and goes on.
class CWorkBookGameError : public CError {
public:
    // The error about the game, with the source of the part that refused it.
    CWorkBookGameError(int64_t gameId, const std::string& source, const std::string& description)
        : CError(9999, source, description), lngGameID(gameId) {}

    int64_t lngGameID;
};
