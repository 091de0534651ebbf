#pragma once

#include <cstdint>
#include <string>

// One game's row of table GameTree: its texts and its training statistics. The identifier is
// the stored one, of any size; statistics stored as NULL read as 0.
struct WorkBookGameRow {
    int64_t lngID = 0;
    std::string strDescription;
    std::string strXRefPage;
    std::string strXRefDiagram;
    int32_t lngHits = 0;
    int32_t lngSolve = 0;
    int32_t lngErrorStreak = 0;
    int32_t lngSolveStreak = 0;
    // True when a move or the game has a comment or a mark (an annotation of a node it has).
    bool isAnnotated = false;
};
