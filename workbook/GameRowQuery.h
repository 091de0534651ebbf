#pragma once

#include <cstdint>
#include <string>

// A page of the games list as a list view asks for it: sorted and filtered by the database.
struct GameRowQuery {
    // The sort columns; ties are broken by the identifier. Texts sort as a reader expects (any
    // case alike, "p.9" before "p.10"); Score is the rounded share of successes, -1 untried.
    enum class Sort {
        ID,
        Description,
        Page,
        Diagram,
        Hits,
        Solve,
        ErrorStreak,
        SolveStreak,
        Score
    };
    Sort sort = Sort::ID;
    bool isDescending = false;
    // Games whose description or references contain this text (any case); "" matches all.
    std::string strFilter;
    int64_t lngOffset = 0;
    int64_t lngLimit = 100;
};
