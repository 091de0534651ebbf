// The engine command of brisolt-cli: engine-move, the engine's answer in a position, obtained
// through the same bridge and the same setup as the practice window. The engine is started once:
// a program whose protocol is not yet known is found out by that same start, and remembered.
#include "cli/Commands.h"
#include "engine/CEngineBridge.h"
#include "engine/EngineOutput.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/PositionSoundness.h"
#include "model/CError.h"
#include "settings/CEngineSettings.h"

#include <chrono>
#include <cmath>
#include <iostream>
#include <memory>
#include <string>

namespace {

constexpr int answerGraceMs = 10000;

int usageError(const std::string& message) {
    std::cerr << message << "\nusage: brisolt-cli engine-move FEN [--engine PATH] "
              << "[--time SECONDS] [--depth N]" << std::endl;
    return 2;
}

int failure(const std::string& message) {
    std::cerr << "engine-move: " << message << std::endl;
    return 1;
}

// A positive number from the text, or -1.
double positiveNumber(const std::string& text) {
    try {
        size_t used = 0;
        const double value = std::stod(text, &used);
        if (used == text.size() && value > 0 && value < 100000) return value;
    } catch (const std::exception&) {
    }
    return -1;
}

struct EngineMoveOptions {
    std::string fen;
    std::string engine;
    double seconds = 2;
    int depth = 0;
};

// Reads the arguments; returns the usage error text, "" when they are fine.
std::string readOptions(const CommandArgs& args, EngineMoveOptions& options) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--engine" || arg == "--time" || arg == "--depth") {
            if (i + 1 >= args.size()) return arg + " needs a value";
            const std::string& value = args[++i];
            if (arg == "--engine") {
                options.engine = value;
            } else if (arg == "--time") {
                options.seconds = positiveNumber(value);
                if (options.seconds < 0) return "bad time: \"" + value + "\"";
            } else {
                const double depth = positiveNumber(value);
                if (depth < 1 || depth > 99 || depth != std::floor(depth))
                    return "bad depth: \"" + value + "\"";
                options.depth = static_cast<int>(depth);
            }
        } else if (arg.rfind("--", 0) == 0) {
            return "unknown option " + arg;
        } else {
            // The FEN may come as one argument or as its separate fields.
            options.fen += (options.fen.empty() ? "" : " ") + arg;
        }
    }
    return options.fen.empty() ? "missing FEN" : "";
}

// "2", "0.5": the search time as the console protocol's "st" takes it.
std::string secondsText(double seconds) {
    std::string text = std::to_string(seconds);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

std::string printable(std::string output) {
    for (char& c : output)
        if (c == ENGINE_SEPARATOR) c = '\n';
    return output;
}

} // namespace

int runEngineMove(const CommandArgs& args) {
    EngineMoveOptions options;
    const std::string problem = readOptions(args, options);
    if (!problem.empty()) return usageError(problem);
    std::shared_ptr<CPosition> position;
    try {
        position = objReadFen(options.fen);
    } catch (const CError& error) {
        return failure("bad FEN: " + std::string(error.what()));
    }
    if (!position) return failure("bad FEN: " + options.fen);
    // A position the board refuses is never given to the engine, whose answer there means nothing.
    if (const std::string unplayable = strUnplayableReason(*position); !unplayable.empty())
        return failure("This position cannot be played: " + unplayable);

    const QString path = options.engine.empty() ? CEngineSettings::strEnginePath()
                                                : QString::fromStdString(options.engine);
    if (path.isEmpty()) return failure("no engine found: install stockfish or give --engine PATH");
    const EngineProtocol known = CEngineSettings::knownProtocol(path);

    CEngineBridge bridge(path.toStdString(), known);
    bridge.setAnswerGrace(answerGraceMs);
    if (!bridge.isStartEngine()) return failure(bridge.strError());
    const EngineProtocol protocol = bridge.protocol();
    const long long moveTimeMs = std::llround(options.seconds * 1000);
    for (const std::string& command :
         {std::string("alarm off"), std::string("ansi off"), "st " + secondsText(options.seconds),
          "sd " + std::to_string(options.depth), std::string("display nogeneral"),
          std::string("log off")}) {
        if (command == "sd 0" && protocol == EngineProtocol::Console) continue;
        bridge.SendEngineCommand(command);
    }
    bridge.SendEngineCommand("setboard " + options.fen);
    bridge.SendEngineCommand("go");

    const std::string side = position->isWhiteToMove() ? "White" : "Black";
    std::string output;
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start <
           std::chrono::milliseconds(moveTimeMs + answerGraceMs)) {
        bridge.waitForOutput(20);
        output += strReadEngineOutput([&] { return bridge.get_message(); });
        const EngineOutputParse parse = parseEngineOutput(output, side);
        if (!parse.strMove.empty()) {
            // A console engine's move comes unchecked from the engine: it must be legal here.
            std::shared_ptr<CPieceLocation> from, to;
            if (!position->objPlayMoveText(parse.strMove, from, to))
                return failure("The engine played an illegal move: " + parse.strMove + ".");
            std::cout << printable(output);
            if (output.back() != ENGINE_SEPARATOR) std::cout << '\n';
            std::cout << parse.strMove << std::endl;
            bridge.SendEngineCommand("end");
            // A program that played is an engine of the protocol this start found.
            if (known == EngineProtocol::Unknown)
                CEngineSettings::Remember(path, protocol,
                                          QString::fromStdString(bridge.strEngineName()));
            return 0;
        }
        if (parse.isGameOver) return failure("no move: the game is over (" + parse.strResult + ")");
        // An engine that refused to move will not answer: it is not waited for.
        if (parse.isRefusalOf("go"))
            return failure("The engine refused the command: " + parse.strRefusal + ".");
        if (!bridge.strError().empty()) return failure(bridge.strError());
    }
    return failure("the engine did not answer within " +
                   std::to_string((moveTimeMs + answerGraceMs + 999) / 1000) + " seconds");
}
