#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Workbooks for the training tests: real SQLite files made from PGN text by the program's own
// import, comments and move marks included.
namespace testwb {

// Four exercises: a line from the start with replies (White), a back-rank mate for Black,
// a back-rank mate for White, and Fool's mate for Black (description with an apostrophe).
extern const char* const fourGamesPgn;

// Creates the workbook file from PGN text; returns the new games' identifiers in file order.
std::vector<int32_t> Build(const std::string& file, const std::string& pgn);

// Statistics of one game straight from the file (opened separately from the program's object).
struct Stats {
    int32_t hits = -1;
    int32_t solve = -1;
};
Stats Read(const std::string& file, int32_t id);
// The training history of the file as "game solved wrong-moves solution-shown timed", oldest
// first.
std::vector<std::string> History(const std::string& file);

} // namespace testwb
