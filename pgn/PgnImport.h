#pragma once

#include "model/CError.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <vector>

class CWorkBook;

// How a PGN import runs. The callbacks run on the importing thread.
struct PgnImportOptions {
    int intBatchSize = 2000; // games per transaction
    // Called after every game and at the end: games read, games imported, games skipped.
    std::function<void(int read, int imported, int skipped)> progress;
    // Called once per skipped game with one line naming the game, its tags and the reason.
    std::function<void(const std::string& line)> skipped;
    // Called once per imported game that lost a part on the way in (a variation with a null
    // move), with one line naming the game, its tags and what was left out.
    std::function<void(const std::string& line)> noted;
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

// A failure that stopped an import (a full disk, a file that went away, a stream that failed,
// memory): the message says how many games were kept, and objKept holds them (the games committed
// before the failure, whole).
class PgnImportError : public CError {
public:
    PgnImportError(const std::string& description, PgnImportResult kept)
        : CError(9999, "CWorkBook", description), objKept(std::move(kept)) {}

    PgnImportResult objKept;
};

// Reads every game of the PGN text into the open workbook, one workbook game per PGN game, in
// large transactions with a savepoint per game. A game that cannot be read or stored is skipped
// and reported, leaving nothing behind; the others are imported. Any other failure (the
// workbook's, the stream's, memory) drops the unfinished transaction and raises PgnImportError;
// every game committed before stays, whole. After its first block the stream is read on a thread of
// the import's own, a few games ahead of the writing; that thread has ended when the function
// returns or throws.
PgnImportResult ImportPgn(CWorkBook& workbook, std::istream& input,
                          const PgnImportOptions& options = {});
