// The verify command of brisolt-cli: checks the stored solutions of a workbook's games with a UCI
// engine and prints one line per game (identifier, verdict, details).
#include "cli/Commands.h"
#include "model/CError.h"
#include "settings/CEngineSettings.h"
#include "verify/WorkbookVerify.h"
#include "workbook/CWorkBook.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <iostream>

namespace {

constexpr const char* kUsage =
    "usage: brisolt-cli verify FILE [ID...] [--engine PATH] [--time SECONDS] [--depth N] "
    "[--lines N]";

int usageError(const std::string& message) {
    std::cerr << "verify: " << message << "\n" << kUsage << std::endl;
    return 2;
}

bool parseInt(const std::string& text, long long low, long long high, long long& value) {
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && !text.empty() && value >= low && value <= high;
}

// The engine to use: the configured one when it speaks UCI, otherwise Stockfish.
std::string defaultEngine() {
    if (CEngineSettings::protocol() == EngineProtocol::Uci) {
        const QString configured = CEngineSettings::strEnginePath();
        if (!configured.isEmpty()) return configured.toStdString();
    }
    const QString found = CEngineSettings::strDefaultEnginePath();
    return found.isEmpty() ? "/usr/games/stockfish" : found.toStdString();
}

} // namespace

int runVerify(const CommandArgs& args) {
    std::string file;
    std::string enginePath;
    std::vector<int32_t> ids;
    VerifyOptions options;
    options.limit.intMoveTimeMs = 1000;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--engine" || arg == "--time" || arg == "--depth" || arg == "--lines") {
            if (i + 1 >= args.size()) return usageError(arg + " needs a value");
            const std::string& value = args[++i];
            long long number = 0;
            if (arg == "--engine") {
                enginePath = value;
            } else if (arg == "--time") {
                double seconds = -1;
                try {
                    size_t used = 0;
                    seconds = std::stod(value, &used);
                    if (used != value.size()) seconds = -1;
                } catch (const std::exception&) {
                }
                if (!(seconds > 0 && seconds <= 3600))
                    return usageError("bad time: \"" + value + "\"");
                options.limit.intMoveTimeMs =
                    std::max(1, static_cast<int>(std::lround(seconds * 1000)));
            } else if (arg == "--depth") {
                if (!parseInt(value, 1, 99, number))
                    return usageError("bad depth: \"" + value + "\"");
                options.limit.intDepth = static_cast<int>(number);
            } else {
                if (!parseInt(value, 1, 64, number))
                    return usageError("bad number of lines: \"" + value + "\"");
                options.intMultiPv = static_cast<int>(number);
            }
        } else if (arg.rfind("--", 0) == 0) {
            return usageError("unknown option " + arg);
        } else if (file.empty()) {
            file = arg;
        } else {
            long long id = 0;
            if (!parseInt(arg, 1, INT32_MAX, id)) return usageError("bad game id: \"" + arg + "\"");
            ids.push_back(static_cast<int32_t>(id));
        }
    }
    if (file.empty()) return usageError("missing FILE");
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(file, ignored)) {
        std::cerr << "verify: no such workbook: " << file << std::endl;
        return 1;
    }
    // A depth alone must not be cut short by the default time.
    if (options.limit.intDepth > 0 && std::find(args.begin(), args.end(), "--time") == args.end())
        options.limit.intMoveTimeMs = 0;
    if (enginePath.empty()) enginePath = defaultEngine();

    CWorkBook workbook;
    workbook.strOpenWorkBook(file);
    CEngineAnalyser analyser(enginePath);
    CSolutionVerifier verifier(analyser, options);
    bool failed = false;
    try {
        arrVerifyGames(workbook, verifier, ids, [&](int, int, const GameVerification& result) {
            if (!result.strError.empty()) failed = true;
            std::cout << strVerificationLine(result) << std::endl;
        });
    } catch (const CError& error) {
        std::cerr << "verify: " << error.what() << std::endl;
        return 1;
    }
    return failed ? 1 : 0;
}
