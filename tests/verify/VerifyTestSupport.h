#pragma once

#include "game/CGameTree.h"
#include "pgn/PgnImport.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"

#include <memory>
#include <sstream>
#include <string>

// A PGN game starting from the FEN with the moves given.
inline std::string PgnGame(const std::string& fen, const std::string& moves) {
    return "[Event \"exercise\"]\n[SetUp \"1\"]\n[FEN \"" + fen + "\"]\n\n" + moves + " *\n\n";
}

// A workbook file in a temporary folder holding the PGN games, read back as trees.
class ExerciseBook {
public:
    explicit ExerciseBook(const std::string& pgn) {
        workbook.strOpenWorkBook(folder.file("book.brl"));
        std::istringstream input(pgn);
        result = ImportPgn(workbook, input);
    }
    // The tree of the n-th imported game (0-based).
    std::shared_ptr<CGameTree> objTree(size_t n) {
        std::string description, page, diagram;
        return workbook.objLoadGame(result.arrlngGameIDs.at(n), description, page, diagram);
    }

    TempFolder folder;
    CWorkBook workbook;
    PgnImportResult result;
};
