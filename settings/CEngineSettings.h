#pragma once

#include "engine/EngineDetect.h"
#include "engine/EngineProtocol.h"

#include <QString>

// The engine the practice window plays against, kept in the settings store (application
// "Brisolt", section "Options": "EnginePath", "EngineProtocol" and the remembered "EngineName"),
// and what earlier starts found out about engine programs (section "EngineCache": the protocol
// and name per program file, valid while the file keeps its size and time), so that an engine
// is started once per game and detected only when its protocol is not known.
class CEngineSettings {
public:
    // The configured engine program; Stockfish from PATH or /usr/games when none is configured.
    static QString strEnginePath();
    // The protocol of the configured engine; Unknown when nothing says it yet.
    static EngineProtocol protocol();
    // The engine's name for captions ("Stockfish 15.1", "Crafty").
    static QString strEngineName();
    // Stores the engine program, its protocol and its name.
    static void Save(const QString& path, EngineProtocol protocol, const QString& name);

    // Stockfish found on PATH or in /usr/games, "" when there is none.
    static QString strDefaultEnginePath();
    // Detects the program and stores it when usable; returns the detection.
    static EngineDetection Choose(const QString& path);

    // What is known of the program's protocol: the stored choice, else the cache; Unknown when
    // neither knows it (or the program file has changed since).
    static EngineProtocol knownProtocol(const QString& path);
    // Keeps what a start of the program found (the protocol and the engine's own name).
    static void Remember(const QString& path, EngineProtocol protocol, const QString& name);

    // The label text: "Play the game against " and the engine's name.
    static QString strPlayCaption();
    // The menu entry: as the label, with "&" before the name for the shortcut letter.
    static QString strPlayMenuCaption();
};
