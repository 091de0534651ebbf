#include "pgn/PgnImport.h"

#include "game/CGameTree.h"
#include "game/PositionSoundness.h"
#include "pgn/PgnReader.h"
#include "pgn/PgnTreeBuilder.h"
#include "workbook/CWorkBook.h"
#include "workbook/CWorkBookGameError.h"

namespace {

void ReportSkipped(const PgnImportOptions& options, const PgnGame& game,
                   const std::string& reason) {
    if (!options.skipped) return;
    std::string identity = game.strIdentity();
    options.skipped("game " + std::to_string(game.intNumber) +
                    (identity.empty() ? "" : " " + identity) + ": " + reason);
}

} // namespace

PgnImportResult ImportPgn(CWorkBook& workbook, std::istream& input,
                          const PgnImportOptions& options) {
    PgnImportResult result;
    PgnReader reader(input);
    PgnTreeBuilder builder;
    const int batchSize = options.intBatchSize > 0 ? options.intBatchSize : 1;
    // A batch opened by the caller stays the caller's to commit.
    const bool ownBatch = !workbook.isInBatch();
    // The games of the open transaction: they are lost with it when the workbook fails.
    size_t committed = 0;
    try {
        if (ownBatch) workbook.BeginBatch();
        while (!(options.cancel && options.cancel->load())) {
            if (!reader.readGame(builder)) break;
            PgnGame game = builder.takeGame();
            ++result.intRead;
            if (game.objTree) {
                // A test position the board refuses cannot be trained or played out.
                std::string unsound = strUnsoundTestPosition(*game.objTree);
                if (!unsound.empty()) {
                    game.strError = std::move(unsound);
                    game.objTree.reset();
                }
            }
            if (!game.objTree) {
                ++result.intSkipped;
                ReportSkipped(options, game, game.strError);
            } else {
                try {
                    result.arrlngGameIDs.push_back(static_cast<int32_t>(
                        workbook.lngSaveGame(game.objTree, 0, game.strDescription, game.strPageRef,
                                             game.strDiagramRef, game.objAnnotations)));
                    ++result.intImported;
                } catch (const CWorkBookGameError& refused) {
                    // The game's savepoint is rolled back: nothing of it stays.
                    ++result.intSkipped;
                    ReportSkipped(options, game, refused.what());
                }
                if (ownBatch &&
                    result.arrlngGameIDs.size() - committed >= static_cast<size_t>(batchSize)) {
                    workbook.CommitBatch();
                    committed = result.arrlngGameIDs.size();
                    workbook.BeginBatch();
                }
            }
            if (options.progress)
                options.progress(result.intRead, result.intImported, result.intSkipped);
        }
        result.isCancelled = options.cancel && options.cancel->load();
        if (ownBatch) workbook.CommitBatch();
    } catch (const CError& error) {
        if (ownBatch && workbook.isInBatch()) {
            try {
                workbook.RollbackBatch();
            } catch (const CError&) {
                // The failed connection may have dropped the transaction itself.
            }
        }
        if (!ownBatch) committed = 0;
        PgnImportResult kept = result;
        kept.arrlngGameIDs.resize(committed);
        kept.intImported = static_cast<int>(committed);
        throw PgnImportError(std::string(error.what()) + " (the import stopped at game " +
                                 std::to_string(result.intRead) + "; " + std::to_string(committed) +
                                 " games imported before are kept)",
                             std::move(kept));
    }
    result.isLatin1 = reader.isLatin1();
    result.isNotText = reader.isNotText();
    if (options.progress) options.progress(result.intRead, result.intImported, result.intSkipped);
    return result;
}
