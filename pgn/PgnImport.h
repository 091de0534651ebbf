#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <vector>

class CWorkBook;

// How a PGN import runs. The callbacks run on the importing thread.
struct PgnImportOptions {
    int intBatchSize = 500; // games per transaction
    // Called after every game and at the end: games read, games imported, games skipped.
    std::function<void(int read, int imported, int skipped)> progress;
    // Called once per skipped game with one line naming the game, its tags and the reason.
    std::function<void(const std::string& line)> skipped;
    // Set from any thread to stop after the current game; the games imported so far stay.
    const std::atomic<bool>* cancel = nullptr;
};

// What a PGN import did.
struct PgnImportResult {
    int intRead = 0;
    int intImported = 0;
    int intSkipped = 0;
    bool isCancelled = false;
    bool isLatin1 = false;              // some text was not UTF-8 and was read as Latin-1
    bool isNotText = false;             // the input is binary data, not PGN text: nothing was read
    std::vector<int32_t> arrlngGameIDs; // the identifiers of the imported games, in file order
};

// Reads every game of the PGN text into the open workbook, one workbook game per PGN game,
// committing in batches. A game that cannot be read is skipped and reported; the others are
// imported. A failure of the workbook itself raises its error after dropping the unfinished
// batch; every game of an earlier batch stays, whole.
PgnImportResult ImportPgn(CWorkBook& workbook, std::istream& input,
                          const PgnImportOptions& options = {});
