#include "pgn/PgnExport.h"

#include "game/CGameTree.h"
#include "model/CError.h"
#include "pgn/PgnWriter.h"
#include "workbook/CWorkBook.h"

#include <string>

int ExportPgn(CWorkBook& workbook, std::ostream& output, const std::vector<int32_t>& ids,
              const std::function<void(int written, int total)>& progress) {
    std::vector<int32_t> games = ids;
    if (games.empty()) {
        games = workbook.arrlngGetGameIDs();
    } else {
        for (int32_t id : games)
            if (!workbook.objGetGameRow(id))
                RaiseError("CWorkBook", "No game with the identifier " + std::to_string(id));
    }
    int written = 0;
    int done = 0;
    for (int32_t id : games) {
        std::string description;
        std::string page;
        std::string diagram;
        std::shared_ptr<CGameTree> tree = workbook.objLoadGame(id, description, page, diagram);
        if (tree) {
            output << PgnWriter::strWriteGame(*tree, description, page, diagram);
            ++written;
        }
        if (progress) progress(++done, static_cast<int>(games.size()));
    }
    if (!output) RaiseError("CWorkBook", "Could not write the PGN text");
    return written;
}
