#pragma once

#include "engine/EngineProtocol.h"

#include <QString>

// What a look at an engine program found.
struct EngineDetection {
    // True when the program started and stayed up long enough to be asked.
    bool isUsable = false;
    // UCI when it answered "uci" with "uciok", the console protocol otherwise.
    EngineProtocol protocol = EngineProtocol::Console;
    // The engine's own name ("id name"); "Crafty" for the console protocol; else the program's
    // file name made into a name.
    QString strName;
    // Why the program cannot be used, "" when it can.
    QString strError;
};

// The engine the practice window plays against, kept in the settings store (application
// "Brisolt", section "Options": "EnginePath", "EngineProtocol" and the remembered "EngineName").
class CEngineSettings {
public:
    // The configured engine program; Stockfish from PATH or /usr/games when none is configured.
    static QString strEnginePath();
    // The configured protocol; UCI when none is configured.
    static EngineProtocol protocol();
    // The engine's name for captions ("Stockfish 15.1", "Crafty").
    static QString strEngineName();
    // Stores the engine program, its protocol and its name.
    static void Save(const QString& path, EngineProtocol protocol, const QString& name);

    // Stockfish found on PATH or in /usr/games, "" when there is none.
    static QString strDefaultEnginePath();
    // Starts the program, asks "uci" and sees what answers (waits up to timeoutMs).
    static EngineDetection Detect(const QString& path, int timeoutMs = 3000);
    // Detects the program and stores it when usable; returns the detection.
    static EngineDetection Choose(const QString& path);

    // The label text: "Play the game against " and the engine's name.
    static QString strPlayCaption();
    // The menu entry: as the label, with "&" before the name for the shortcut letter.
    static QString strPlayMenuCaption();
    // The practice window's caption: "Practice with " and the engine's name.
    static QString strPracticeCaption();
    // The status line while the engine thinks: "Wait for " name " to move".
    static QString strWaitCaption();
};
