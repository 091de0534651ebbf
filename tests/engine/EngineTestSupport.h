#pragma once

#include "engine/CEngineBridge.h"
#include "engine/EngineOutput.h"

#include <chrono>
#include <functional>
#include <string>

// Where the fake engines of the tests live.
inline std::string fakeEngine(const std::string& name) {
    return std::string(BRISOLT_FAKE_ENGINES) + "/" + name;
}

// Sends the practice window's setup and the position.
inline void setUpGame(CEngineBridge& bridge, const std::string& fen) {
    for (const std::string& command : arrstrSetupCommands())
        bridge.SendEngineCommand(command);
    bridge.SendEngineCommand("setboard " + fen);
}

// Reads the bridge as the practice window does until done(collected output) holds, the bridge
// reports an error or the time runs out; returns everything collected.
inline std::string collectOutput(CEngineBridge& bridge,
                                 const std::function<bool(const std::string&)>& done,
                                 int timeoutMs = 20000) {
    std::string collected;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        bridge.waitForOutput(20);
        collected += strReadEngineOutput([&] { return bridge.get_message(); });
        if (done(collected) || !bridge.strError().empty()) break;
    }
    return collected;
}

// The engine's move for the side in the collected output, waiting for it.
inline std::string awaitMove(CEngineBridge& bridge, const std::string& side,
                             std::string* output = nullptr) {
    const std::string collected = collectOutput(
        bridge, [&](const std::string& text) { return !strParseEngineOutput(text, side).empty(); });
    if (output) *output = collected;
    return strParseEngineOutput(collected, side);
}
