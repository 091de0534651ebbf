// The workbook commands of brisolt-cli: new, import, export, list, show, batch, record, score,
// delete, clear-log and title.
#include "cli/Commands.h"
#include "game/CGameTree.h"
#include "model/CError.h"
#include "model/Utilities.h"
#include "pgn/PgnExport.h"
#include "pgn/PgnImport.h"
#include "pgn/PgnWriter.h"
#include "workbook/CWorkBook.h"
#include "workbook/GameAnnotations.h"
#include "workbook/ScoreText.h"
#include "workbook/WriteFailure.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace {

bool parseNumber(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && !text.empty();
}

// Stored identifiers are any 64-bit number but 0 (which means a new game).
bool parseGameId(const std::string& text, int64_t& id) {
    long long value = 0;
    if (!parseNumber(text, value) || value == 0) return false;
    id = value;
    return true;
}

// Tabs and line breaks inside a text would break the tab-separated lines.
std::string cell(const std::string& text) {
    std::string clean = text;
    for (char& c : clean)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return clean;
}

bool requireGame(CWorkBook& workbook, int64_t id) {
    if (workbook.objGetGameRow(id)) return true;
    std::fprintf(stderr, "No game with the identifier %lld\n", static_cast<long long>(id));
    return false;
}

// Names a game that an export left out, on stderr.
void reportSkipped(int64_t id, const std::string& reason) {
    std::fprintf(stderr, "skipped game %lld: %s\n", static_cast<long long>(id), reason.c_str());
}

} // namespace

int runNew(const CommandArgs& args) {
    const char* usage = "new FILE [--title TEXT]";
    if (args.size() != 1 && !(args.size() == 3 && args[1] == "--title")) return printUsage(usage);
    try {
        CWorkBook workbook;
        workbook.CreateNewWorkBook(args[0],
                                   args.size() == 3 ? std::optional(args[2]) : std::nullopt);
    } catch (const CError& error) {
        return printFailure(error.what());
    }
    return 0;
}

int runImport(const CommandArgs& args) {
    const char* usage = "import FILE PGN...";
    if (args.size() < 2) return printUsage(usage);
    std::vector<std::unique_ptr<std::ifstream>> inputs;
    for (size_t i = 1; i < args.size(); ++i) {
        // Asked before the opening, which would wait for ever on a pipe without a writer.
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(args[i], ignored))
            return printFailure("Cannot read the PGN file: " + args[i]);
        auto input = std::make_unique<std::ifstream>(args[i], std::ios::binary);
        if (!*input) return printFailure("Cannot read the PGN file: " + args[i]);
        inputs.push_back(std::move(input));
    }
    CWorkBook workbook;
    std::error_code ignored;
    const bool made = !std::filesystem::exists(args[0], ignored);
    workbook.strOpenWorkBook(args[0]);
    // A new workbook that got no game from a failed import is not left behind.
    const auto dropMade = [&](int imported) {
        if (!made || imported > 0) return;
        workbook.CloseWorkBook();
        CWorkBook::RemoveMadeFile(args[0]);
    };
    const bool terminal = isatty(STDERR_FILENO) == 1;
    PgnImportOptions options;
    int readBefore = 0;
    options.skipped = [&](const std::string& line) {
        if (terminal) std::fputs("\r\033[K", stderr);
        std::fprintf(stderr, "skipped %s\n", line.c_str());
    };
    options.noted = [&](const std::string& line) {
        if (terminal) std::fputs("\r\033[K", stderr);
        std::fprintf(stderr, "%s\n", line.c_str());
    };
    if (terminal) {
        options.progress = [&](int read, int, int) {
            if ((readBefore + read) % 100 == 0)
                std::fprintf(stderr, "\rread %d games", readBefore + read);
        };
    }
    int imported = 0;
    int skipped = 0;
    std::string latin1;
    int status = 0;
    for (size_t i = 0; i < inputs.size(); ++i) {
        try {
            PgnImportResult result = ImportPgn(workbook, *inputs[i], options);
            readBefore += result.intRead;
            imported += result.intImported;
            skipped += result.intSkipped;
            if (result.isLatin1) latin1 += (latin1.empty() ? "" : ", ") + args[i + 1];
            if (result.isNotText) {
                std::fprintf(stderr, "%s is not PGN text: nothing imported from it\n",
                             args[i + 1].c_str());
                status = 1;
            }
        } catch (const PgnImportError& error) {
            // A full disk or a lost file: say what stayed in the workbook.
            if (terminal) std::fputs("\r\033[K", stderr);
            imported += error.objKept.intImported;
            std::fprintf(stderr, "%s\n", error.what());
            std::printf("imported %s, skipped %d; stopped by an error, %s kept\n",
                        strCounted(imported, "game").c_str(), skipped + error.objKept.intSkipped,
                        strCounted(imported, "game").c_str());
            dropMade(imported);
            return 1;
        }
    }
    if (terminal) std::fputs("\r\033[K", stderr);
    std::printf("imported %s, skipped %d%s\n", strCounted(imported, "game").c_str(), skipped,
                latin1.empty() ? "" : ("; read as Latin-1: " + latin1).c_str());
    if (status != 0) dropMade(imported);
    return status;
}

int runExport(const CommandArgs& args) {
    const char* usage = "export FILE OUT.pgn [ID...]";
    if (args.size() < 2) return printUsage(usage);
    std::vector<int32_t> ids;
    for (size_t i = 2; i < args.size(); ++i) {
        int64_t id = 0;
        if (!parseGameId(args[i], id) || id < INT32_MIN || id > INT32_MAX) return printUsage(usage);
        ids.push_back(static_cast<int32_t>(id));
    }
    CWorkBook workbook;
    std::string message;
    if (!openExisting(workbook, args[0], message)) return printFailure(message);
    // Every game that can be read is written; each one that cannot is named, and the status is 1.
    int skipped = 0;
    auto skip = [&](int64_t id, const std::string& reason) {
        reportSkipped(id, reason);
        ++skipped;
    };
    if (args[1] == "-") {
        ExportPgn(workbook, std::cout, ids, {}, skip);
        std::cout.flush();
        if (!std::cout) return printFailure("Could not write the PGN text");
    } else {
        ExportPgnToFile(workbook, args[1], ids, skip);
    }
    return skipped == 0 ? 0 : 1;
}

int runList(const CommandArgs& args) {
    if (args.size() != 1) return printUsage("list FILE");
    CWorkBook workbook;
    std::string message;
    if (!openExisting(workbook, args[0], message)) return printFailure(message);
    // Rows are written as they are read, so memory does not grow with the workbook.
    std::string out;
    int damaged = 0;
    workbook.ForEachGameRow(
        [&](const WorkBookGameRow& row) {
            out += std::to_string(row.lngID) + '\t' + std::to_string(row.lngHits) + '\t' +
                   std::to_string(row.lngSolve) + '\t' + std::to_string(row.lngErrorStreak) + '\t' +
                   std::to_string(row.lngSolveStreak) + '\t' + cell(row.strXRefPage) + '\t' +
                   cell(row.strXRefDiagram) + '\t' + cell(row.strDescription) + '\n';
            if (out.size() > (1 << 16)) {
                std::fputs(out.c_str(), stdout);
                out.clear();
            }
        },
        [&](int64_t id, const std::string& reason) {
            std::fputs(out.c_str(), stdout);
            out.clear();
            reportSkipped(id, reason);
            ++damaged;
        });
    std::fputs(out.c_str(), stdout);
    return damaged == 0 ? 0 : 1;
}

int runShow(const CommandArgs& args) {
    const char* usage = "show FILE ID";
    int64_t id = 0;
    if (args.size() != 2 || !parseGameId(args[1], id)) return printUsage(usage);
    CWorkBook workbook;
    std::string message;
    if (!openExisting(workbook, args[0], message)) return printFailure(message);
    if (!requireGame(workbook, id)) return 1;
    std::string description, page, diagram;
    std::shared_ptr<CGameTree> tree = workbook.objLoadGame(id, description, page, diagram);
    if (!tree) return printFailure("Game " + std::to_string(id) + " has no positions stored");
    const GameAnnotations annotations = workbook.objLoadAnnotations(id);
    std::fputs(PgnWriter::strWriteGame(*tree, description, page, diagram, annotations).c_str(),
               stdout);
    if (!annotations.isReadable)
        return printFailure("Game " + std::to_string(id) +
                            "'s comments and tags could not be read; it is shown without them");
    return 0;
}

int runBatch(const CommandArgs& args) {
    const char* usage = "batch FILE [N]";
    long long count = 10;
    if (args.empty() || args.size() > 2) return printUsage(usage);
    if (args.size() == 2 && (!parseNumber(args[1], count) || count < 1 || count > 32767))
        return printUsage(usage);
    CWorkBook workbook;
    std::string message;
    if (!openExisting(workbook, args[0], message)) return printFailure(message);
    for (int32_t id : workbook.arrlngGetGameIDsForTraining(static_cast<int16_t>(count)))
        std::printf("%d\n", id);
    return 0;
}

// Runs a change to the workbook file; a failure names the file and the reason in plain words.
int runWrite(const std::string& file, const std::function<void()>& write) {
    try {
        write();
    } catch (const std::exception& error) {
        return printFailure("Cannot write to " + file + ": " + strWriteFailureReason(error.what()));
    }
    return 0;
}

int runRecord(const CommandArgs& args) {
    const char* usage = "record FILE ID success|error";
    int64_t id = 0;
    if (args.size() != 3 || !parseGameId(args[1], id) ||
        (args[2] != "success" && args[2] != "error"))
        return printUsage(usage);
    CWorkBook workbook;
    std::string message;
    if (!openExisting(workbook, args[0], message)) return printFailure(message);
    if (!requireGame(workbook, id)) return 1;
    return runWrite(args[0], [&] {
        if (args[2] == "success") {
            workbook.UpdateSuccess(id);
        } else {
            workbook.UpdateError(id);
        }
    });
}

int runScore(const CommandArgs& args) {
    if (args.size() != 1) return printUsage("score FILE");
    CWorkBook workbook;
    std::string message;
    if (!openExisting(workbook, args[0], message)) return printFailure(message);
    int32_t attempts = 0;
    int32_t successes = 0;
    workbook.GetScore(attempts, successes);
    std::printf("%d\t%d\t%s\n", attempts, successes, strScoreText(attempts, successes).c_str());
    return 0;
}

int runDelete(const CommandArgs& args) {
    int64_t id = 0;
    if (args.size() != 2 || !parseGameId(args[1], id)) return printUsage("delete FILE ID");
    CWorkBook workbook;
    std::string message;
    if (!openExisting(workbook, args[0], message)) return printFailure(message);
    if (!requireGame(workbook, id)) return 1;
    return runWrite(args[0], [&] { workbook.DeleteGame(id); });
}

int runClearLog(const CommandArgs& args) {
    if (args.size() != 1) return printUsage("clear-log FILE");
    CWorkBook workbook;
    std::string message;
    if (!openExisting(workbook, args[0], message)) return printFailure(message);
    return runWrite(args[0], [&] { workbook.ClearLog(); });
}

int runTitle(const CommandArgs& args) {
    if (args.empty() || args.size() > 2) return printUsage("title FILE [TEXT]");
    CWorkBook workbook;
    std::string message;
    if (!openExisting(workbook, args[0], message)) return printFailure(message);
    if (args.size() == 2)
        return runWrite(args[0], [&] { workbook.SaveWorkbookProperties(args[1]); });
    std::printf("%s\n", message.c_str()); // the title read on opening
    return 0;
}
