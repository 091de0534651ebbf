#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

class CWorkBook;

// Writes games of the open workbook to the stream as PGN: the listed identifiers in that order,
// or every game when the list is empty. An identifier that names no game raises before anything
// is written. Games without nodes are left out. Returns the number of games written.
int ExportPgn(CWorkBook& workbook, std::ostream& output, const std::vector<int32_t>& ids = {},
              const std::function<void(int written, int total)>& progress = {});
