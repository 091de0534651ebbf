// The engine command of brisolt-cli: engine-move, the engine's answer in a position, obtained
// through the same bridge and the same setup as the practice window.
#include "cli/Commands.h"
#include "engine/CEngineBridge.h"
#include "engine/CEngineSettings.h"
#include "engine/EngineOutput.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "model/CError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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
    QString engine;
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
                options.engine = QString::fromStdString(value);
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

    // QProcess wants an application object; the command has no event loop of its own.
    static int argc = 1;
    static char name[] = "brisolt-cli";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> application;
    if (!QCoreApplication::instance()) application = std::make_unique<QCoreApplication>(argc, argv);

    EngineProtocol protocol = CEngineSettings::protocol();
    QString path = options.engine;
    if (path.isEmpty()) {
        path = CEngineSettings::strEnginePath();
    } else {
        const EngineDetection found = CEngineSettings::Detect(path);
        if (!found.isUsable) return failure(found.strError.toStdString());
        protocol = found.protocol;
    }
    if (path.isEmpty()) return failure("no engine found: install stockfish or give --engine PATH");

    CEngineBridge bridge(path, protocol);
    bridge.setAnswerGrace(answerGraceMs);
    if (!bridge.isStartEngine()) return failure(bridge.strError().toStdString());
    const long long moveTimeMs = std::llround(options.seconds * 1000);
    for (const std::string& command : {std::string("alarm off"), std::string("ansi off"),
                                       "st " + QString::number(options.seconds).toStdString(),
                                       "sd " + std::to_string(options.depth),
                                       std::string("display nogeneral"), std::string("log off")}) {
        if (command == "sd 0" && protocol == EngineProtocol::Console) continue;
        bridge.SendEngineCommand(command);
    }
    bridge.SendEngineCommand("setboard " + options.fen);
    bridge.SendEngineCommand("go");

    const std::string side = position->isWhiteToMove() ? "White" : "Black";
    std::string output;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < moveTimeMs + answerGraceMs) {
        bridge.waitForOutput(20);
        output += strReadEngineOutput([&] { return bridge.get_message(); });
        const EngineOutputParse parse = parseEngineOutput(output, side);
        if (!parse.strMove.empty()) {
            std::cout << printable(output);
            if (output.back() != ENGINE_SEPARATOR) std::cout << '\n';
            std::cout << parse.strMove << std::endl;
            bridge.SendEngineCommand("end");
            return 0;
        }
        if (parse.isGameOver) return failure("no move: the game is over (" + parse.strResult + ")");
        if (!bridge.strError().isEmpty()) return failure(bridge.strError().toStdString());
    }
    return failure("the engine did not answer within " +
                   std::to_string((moveTimeMs + answerGraceMs + 999) / 1000) + " seconds");
}
