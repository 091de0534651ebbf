#include "pgn/PgnImport.h"

#include "game/CGameTree.h"
#include "pgn/PgnReader.h"
#include "pgn/PgnTreeBuilder.h"
#include "workbook/CWorkBook.h"

PgnImportResult ImportPgn(CWorkBook& workbook, std::istream& input,
                          const PgnImportOptions& options) {
    PgnImportResult result;
    PgnReader reader(input);
    PgnTreeBuilder builder;
    const int batchSize = options.intBatchSize > 0 ? options.intBatchSize : 1;
    // A batch opened by the caller stays the caller's to commit.
    const bool ownBatch = !workbook.isInBatch();
    int inBatch = 0;
    try {
        if (ownBatch) workbook.BeginBatch();
        while (!(options.cancel && options.cancel->load())) {
            if (!reader.readGame(builder)) break;
            PgnGame game = builder.takeGame();
            ++result.intRead;
            if (game.objTree) {
                result.arrlngGameIDs.push_back(workbook.lngSaveGame(
                    game.objTree, 0, game.strDescription, game.strPageRef, game.strDiagramRef));
                ++result.intImported;
                if (ownBatch && ++inBatch >= batchSize) {
                    workbook.CommitBatch();
                    workbook.BeginBatch();
                    inBatch = 0;
                }
            } else {
                ++result.intSkipped;
                if (options.skipped) {
                    std::string identity = game.strIdentity();
                    options.skipped("game " + std::to_string(game.intNumber) +
                                    (identity.empty() ? "" : " " + identity) + ": " +
                                    game.strError);
                }
            }
            if (options.progress)
                options.progress(result.intRead, result.intImported, result.intSkipped);
        }
        result.isCancelled = options.cancel && options.cancel->load();
        if (ownBatch) workbook.CommitBatch();
    } catch (...) {
        if (ownBatch && workbook.isInBatch()) workbook.RollbackBatch();
        throw;
    }
    result.isLatin1 = reader.isLatin1();
    result.isNotText = reader.isNotText();
    if (options.progress) options.progress(result.intRead, result.intImported, result.intSkipped);
    return result;
}
