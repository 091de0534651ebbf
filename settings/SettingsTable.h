#pragma once

#include <QString>
#include <memory>

class QSettings;

// One setting of the program's store: its section, its key and the text a missing key stands for.
struct SettingKey {
    const char* section;
    const char* key;
    const char* fallback;
    // "section/key": where the store files the value.
    QString strPath() const { return QString::fromLatin1(section) + "/" + key; }
};

// Every fixed setting of the program, with its default. Beside them the store holds the board's
// switches (section kOptionsSection, keys of board/CBoardOptionsMenu) and what earlier starts
// found out about engine programs (section kEngineCacheSection, one key per program file).
namespace Settings {
inline constexpr SettingKey LastOpened{"General", "LastOpened", ""};
inline constexpr SettingKey LastPgnFolder{"General", "LastPgnFolder", ""};
inline constexpr SettingKey LightColor{"Options", "LightColor", "16777215"};
inline constexpr SettingKey DarkColor{"Options", "DarkColor", "65280"};
inline constexpr SettingKey WhiteOnTop{"Options", "WhiteOnTop", "0"};
inline constexpr SettingKey EnginePath{"Options", "EnginePath", ""};
inline constexpr SettingKey EngineProtocolName{"Options", "EngineProtocol", ""};
inline constexpr SettingKey EngineName{"Options", "EngineName", ""};
// The order of training batches: "classic" (worst first) or "spaced" (spaced repetition).
inline constexpr SettingKey TrainingOrder{"Options", "TrainingOrder", "classic"};
// Games never trained that spaced repetition brings in a day.
inline constexpr SettingKey NewGamesPerDay{"Options", "NewGamesPerDay", "20"};

inline constexpr SettingKey Appearance{"Options", "Appearance", "System"};
// Where the training window was and how large, when it was last closed (Qt's geometry, base64).
inline constexpr SettingKey WindowGeometry{"General", "WindowGeometry", ""};

inline constexpr SettingKey kAll[] = {
    LastOpened,         LastPgnFolder, LightColor,    DarkColor,      WhiteOnTop, EnginePath,
    EngineProtocolName, EngineName,    TrainingOrder, NewGamesPerDay, Appearance, WindowGeometry};

inline constexpr const char* kOptionsSection = "Options";
inline constexpr const char* kEngineCacheSection = "EngineCache";
} // namespace Settings

// The program's settings store: the application "Brisolt" in the platform's native store. Qt
// shares one cache per file, so opening it is cheap.
std::unique_ptr<QSettings> objOpenSettings();
