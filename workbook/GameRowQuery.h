#pragma once

#include <cstdint>
#include <string>

// A page of the games list as a list view asks for it: sorted and filtered by the database.
struct GameRowQuery {
    // The sort columns; ties are broken by the identifier.
    enum class Sort { ID, Description, Page, Diagram, Hits, Solve, ErrorStreak, SolveStreak };
    Sort sort = Sort::ID;
    bool isDescending = false;
    // Games whose description or references contain this text (any case); "" matches all.
    std::string strFilter;
    int64_t lngOffset = 0;
    int64_t lngLimit = 100;
};
