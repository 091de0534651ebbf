#pragma once

#include "model/Utilities.h"

#include <string>

// How the program talks to an engine: the UCI protocol (translated by the bridge) or the
// console protocol of Crafty (commands passed through as written); Unknown until the engine's
// answer to "uci" has told.
enum class EngineProtocol { Uci, Console, Unknown };

// How long a program is given to answer "uci" with "uciok": a game's start, the choice of an
// engine and a verification wait alike, so that an engine one of them takes is not refused by
// another.
constexpr int kUciHandshakeMs = 5000;

// The text stored in the settings for a protocol: "UCI", "Console" or "".
inline std::string strProtocolName(EngineProtocol protocol) {
    switch (protocol) {
    case EngineProtocol::Uci:
        return "UCI";
    case EngineProtocol::Console:
        return "Console";
    case EngineProtocol::Unknown:
        break;
    }
    return "";
}

// The protocol named by a stored text: "UCI" and "Console" in any letter case; Unknown otherwise.
inline EngineProtocol protocolFromName(const std::string& name) {
    const std::string lower = strLowered(name);
    if (lower == "console") return EngineProtocol::Console;
    return lower == "uci" ? EngineProtocol::Uci : EngineProtocol::Unknown;
}
