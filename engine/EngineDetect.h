#pragma once

#include "engine/EngineProtocol.h"

#include <string>

// What a look at an engine program found.
struct EngineDetection {
    // True when the program plays chess in one of the two protocols.
    bool isUsable = false;
    // UCI when it answered "uci" with "uciok", Console when it answered the console setup and a
    // move with a move of its own.
    EngineProtocol protocol = EngineProtocol::Unknown;
    // The engine's own name ("id name"); "Crafty" for the console protocol.
    std::string strName;
    // Why the program cannot be used, "" when it can.
    std::string strError;
};

// Starts the program once and finds out how it plays: "uci" answered with "uciok" within the
// handshake time, else the console setup, the start position and 1. e4 answered with Black's
// move within answerMs. A program that does neither is not an engine.
EngineDetection objDetectEngine(const std::string& path, int handshakeMs = kUciHandshakeMs,
                                int answerMs = 4000);
