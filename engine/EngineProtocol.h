#pragma once

#include <string>

// How the program talks to an engine: the UCI protocol (translated by the bridge) or the
// console protocol of Crafty (commands passed through as written).
enum class EngineProtocol { Uci, Console };

// The text stored in the settings for a protocol: "UCI" or "Console".
inline std::string strProtocolName(EngineProtocol protocol) {
    return protocol == EngineProtocol::Uci ? "UCI" : "Console";
}

// The protocol named by a stored text; anything but "Console" (any letter case) is UCI.
inline EngineProtocol protocolFromName(const std::string& name) {
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower == "console" ? EngineProtocol::Console : EngineProtocol::Uci;
}
