#pragma once

// PGN texts read into trees, and a workbook file to import them into and export them from.
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "pgn/PgnExport.h"
#include "pgn/PgnImport.h"
#include "pgn/PgnReader.h"
#include "pgn/PgnTreeBuilder.h"
#include "tests/workbook/SampleGames.h"

#include <sstream>
#include <string>
#include <vector>

// Every game of the PGN text as the tree builder makes it.
inline std::vector<PgnGame> ReadGames(const std::string& pgn) {
    std::istringstream input(pgn);
    PgnReader reader(input);
    PgnTreeBuilder builder;
    std::vector<PgnGame> games;
    while (reader.readGame(builder))
        games.push_back(builder.takeGame());
    return games;
}

// The one game of the PGN text, read into a tree; throws when the text gives no such game.
inline PgnGame OneGame(const std::string& pgn) {
    std::vector<PgnGame> games = ReadGames(pgn);
    if (games.size() != 1 || !games[0].objTree || !games[0].strError.empty())
        throw std::runtime_error("not one readable game: " + pgn.substr(0, 200));
    return games[0];
}

// The PGN text imported into a new workbook file, and every game exported from the file as it is
// on disk.
inline std::string ImportAndExport(const std::string& pgn, const std::string& path) {
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    std::istringstream input(pgn);
    ImportPgn(workbook, input);
    workbook.CloseWorkBook();
    workbook.strOpenWorkBook(path);
    std::ostringstream output;
    ExportPgn(workbook, output);
    return output.str();
}

// A workbook file in a fresh folder; the import collects the lines of skipped games.
class PgnBook : public WorkbookTest {
protected:
    PgnImportResult Import(const std::string& pgn, PgnImportOptions options = {}) {
        std::istringstream input(pgn);
        if (!options.skipped)
            options.skipped = [this](const std::string& line) { skipped.push_back(line); };
        return ImportPgn(workbook, input, options);
    }

    std::vector<std::string> skipped;
};
