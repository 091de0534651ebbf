#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

class CWorkBook;

// Writes games of the open workbook to the stream as PGN: the listed identifiers in that order,
// or every game when the list is empty (read one at a time, never the whole table). An
// identifier that names no game raises before anything is written. A game that cannot be read
// (damaged rows, no positions stored) is handed to `skipped` with the reason and the others are
// written; without `skipped` it raises. Returns the number of games written.
int ExportPgn(CWorkBook& workbook, std::ostream& output, const std::vector<int32_t>& ids = {},
              const std::function<void(int written, int total)>& progress = {},
              const std::function<void(int64_t id, const std::string& reason)>& skipped = {});

// Raises when the target names the workbook's own file, by any path or link: writing the PGN
// there would replace the games being written.
void CheckExportTarget(const CWorkBook& workbook, const std::string& target);

// Writes the games to the file as ExportPgn does, once CheckExportTarget passes. The text goes
// beside the file and is renamed over it at the end, so that no half-written file remains. A link
// is followed, so that the file it names is replaced and the link stays; a device or a pipe
// (/dev/stdout, a FIFO) is written straight, never replaced. Raises error "PGN" naming the file
// when it cannot be written.
int ExportPgnToFile(CWorkBook& workbook, const std::string& file,
                    const std::vector<int32_t>& ids = {},
                    const std::function<void(int64_t id, const std::string& reason)>& skipped = {});
