#include "pgn/PgnExport.h"

#include "game/CGameTree.h"
#include "model/CError.h"
#include "pgn/PgnWriter.h"
#include "workbook/CWorkBook.h"
#include "workbook/CWorkBookGameError.h"
#include "workbook/GameAnnotations.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

int ExportPgn(CWorkBook& workbook, std::ostream& output, const std::vector<int32_t>& ids,
              const std::function<void(int written, int total)>& progress,
              const std::function<void(int64_t id, const std::string& reason)>& skipped) {
    for (int32_t id : ids) {
        bool exists = true;
        try {
            exists = workbook.objGetGameRow(id).has_value();
        } catch (const CWorkBookGameError&) {
            // There, but damaged: named when its turn comes.
        }
        if (!exists) RaiseError("CWorkBook", "No game with the identifier " + std::to_string(id));
    }
    const int total =
        ids.empty() ? static_cast<int>(workbook.lngCountGames()) : static_cast<int>(ids.size());
    int written = 0;
    int done = 0;
    auto exportGame = [&](int64_t id) {
        std::string description;
        std::string page;
        std::string diagram;
        std::string text;
        try {
            std::shared_ptr<CGameTree> tree = workbook.objLoadGame(id, description, page, diagram);
            if (!tree) {
                if (skipped) skipped(id, "no positions are stored for it");
            } else {
                const GameAnnotations annotations = workbook.objLoadAnnotations(id);
                // Written without them, the game would lose its comments and tags unnoticed.
                if (!annotations.isReadable)
                    throw CWorkBookGameError(id, "CWorkBook",
                                             "Game " + std::to_string(id) +
                                                 "'s comments and tags could not be read");
                text = PgnWriter::strWriteGame(*tree, description, page, diagram, annotations);
            }
        } catch (const CWorkBookGameError& error) {
            if (!skipped) throw;
            skipped(id, error.what());
        }
        if (!text.empty()) {
            output << text;
            ++written;
        }
        if (progress) progress(++done, total);
    };
    if (ids.empty()) {
        workbook.ForEachGameRow([&](const WorkBookGameRow& row) { exportGame(row.lngID); },
                                [&](int64_t id, const std::string& reason) {
                                    if (!skipped) throw CWorkBookGameError(id, "CWorkBook", reason);
                                    skipped(id, reason);
                                    if (progress) progress(++done, total);
                                });
    } else {
        for (int32_t id : ids)
            exportGame(id);
    }
    if (!output) RaiseError("CWorkBook", "Could not write the PGN text");
    return written;
}

void CheckExportTarget(const CWorkBook& workbook, const std::string& target) {
    std::error_code unknown; // a target that does not exist yet is another file
    if (std::filesystem::equivalent(target, workbook.strFileName(), unknown))
        RaiseError("PGN", target + " is the open workbook itself: choose another file for the PGN");
}

int ExportPgnToFile(CWorkBook& workbook, const std::string& file, const std::vector<int32_t>& ids,
                    const std::function<void(int64_t id, const std::string& reason)>& skipped) {
    CheckExportTarget(workbook, file);
    std::filesystem::path target = file;
    std::error_code ignored;
    const std::filesystem::file_status status = std::filesystem::status(target, ignored);
    const bool straight =
        std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
    for (int hops = 0; !straight && hops < 40 && std::filesystem::is_symlink(target, ignored);
         ++hops) {
        const std::filesystem::path next = std::filesystem::read_symlink(target, ignored);
        if (next.empty()) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    const std::filesystem::path written =
        straight ? target : std::filesystem::path(target.string() + ".part");
    const auto fail = [&] {
        const std::string reason = errno != 0 ? std::strerror(errno) : "the text was not written";
        if (!straight) std::filesystem::remove(written, ignored);
        RaiseError("PGN", "Cannot write the file " + file + ": " + reason);
    };
    errno = 0;
    std::ofstream output(written, std::ios::binary | std::ios::trunc);
    if (!output) fail();
    int count = 0;
    try {
        count = ExportPgn(workbook, output, ids, {}, skipped);
        errno = 0; // what the closing write says, not what the reading left
        output.close();
    } catch (const std::exception&) {
        if (!straight) std::filesystem::remove(written, ignored);
        throw;
    }
    if (!output) fail();
    std::error_code renamed;
    if (!straight) std::filesystem::rename(written, target, renamed);
    if (renamed) {
        errno = renamed.value();
        fail();
    }
    return count;
}
