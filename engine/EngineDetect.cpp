#include "engine/EngineDetect.h"

#include "engine/CEngineBridge.h"
#include "engine/EngineOutput.h"

#include <chrono>

EngineDetection objDetectEngine(const std::string& path, int handshakeMs, int answerMs) {
    EngineDetection found;
    CEngineBridge bridge(path, EngineProtocol::Unknown);
    bridge.setHandshakeTimeout(handshakeMs);
    if (!bridge.isStartEngine()) {
        found.strError = bridge.strError();
        return found;
    }
    if (bridge.protocol() == EngineProtocol::Uci) {
        found.isUsable = true;
        found.protocol = EngineProtocol::Uci;
        found.strName = bridge.strEngineName();
        return found;
    }
    // A console engine proves itself by playing: the setup, the start position, then 1. e4.
    for (const std::string& command : arrstrSetupCommands())
        bridge.SendEngineCommand(command);
    bridge.SendEngineCommand("setboard rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    bridge.SendEngineCommand("e4");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(answerMs);
    std::string output;
    while (std::chrono::steady_clock::now() < deadline && bridge.isRunning()) {
        bridge.waitForOutput(20);
        output += strReadEngineOutput([&] { return bridge.get_message(); });
        if (!strParseEngineOutput(output, "Black").empty()) {
            found.isUsable = true;
            found.protocol = EngineProtocol::Console;
            // The console protocol is Crafty's, and the captions call its engine so.
            found.strName = "Crafty";
            return found;
        }
    }
    const std::string seconds = std::to_string((handshakeMs + answerMs + 999) / 1000);
    found.strError =
        bridge.isRunning()
            ? path +
                  " answered neither \"uci\" with \"uciok\" nor the console setup and a move "
                  "with a move of its own within " +
                  seconds + " seconds; it is not a chess engine."
            : path + " ended without playing a move; it is not a chess engine.";
    return found;
}
