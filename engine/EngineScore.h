#pragma once

#include <string>

// An engine evaluation from the point of view of the side to move: centipawns, or the number of
// moves to mate (positive: the side to move mates; negative: it is mated).
struct EngineScore {
    bool isMate = false;
    int intValue = 0;

    // A value that orders scores from worst to best for the side to move: any mate beats any
    // centipawn figure, a shorter mate beats a longer one, a longer defence beats a shorter one.
    long lngRank() const;
    // The score seen from the other side.
    EngineScore objNegated() const { return {isMate, -intValue}; }
    // "+1.25", "-0.40", "#3" or "#-2".
    std::string strText() const;
    // True for a mate by the side to move or at least winCp centipawns.
    bool isClearWin(int winCp) const { return isMate ? intValue > 0 : intValue >= winCp; }
    // True for a mate by the side to move.
    bool isMateFor() const { return isMate && intValue > 0; }
};
