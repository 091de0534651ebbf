#pragma once

#include "pgn/PgnImport.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class CTaskControl;
class CWorkBook;

// What an import from a PGN file did, for the summary shown at its end.
struct PgnImportSummary {
    PgnImportResult objResult;
    QStringList arrstrSkipped; // one line per skipped game with its reason
    QStringList arrstrNoted;   // one line per imported game with what it was imported without
    double dblSeconds = 0;
};

// The progress line of an import: games read, imported, skipped and the rate.
QString strImportProgress(int read, int imported, int skipped, double seconds);

// Imports the PGN file into the open workbook, reporting progress to the task and stopping when
// it is cancelled (the games wholly imported stay, none half). A file that cannot be read, or is
// not a regular file (a pipe, a device, a folder), raises a CError with source "PGN".
PgnImportSummary ImportPgnFile(CWorkBook& workbook, const QString& file, CTaskControl& control);

// What an export to a PGN file did, for the summary shown at its end.
struct PgnExportSummary {
    int intWritten = 0;
    QStringList arrstrSkipped; // one line per game that could not be read, with the reason
};

// Writes the games (every game when the list is empty) to the file as PGN, a block at a time,
// replacing the file whole only once everything is written. A game that cannot be read is left
// out and named in the summary; a file that cannot be written raises.
PgnExportSummary ExportPgnFile(CWorkBook& workbook, const QString& file,
                               const std::vector<int32_t>& ids);
