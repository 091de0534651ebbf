#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

class ISoundModule;
class ISoundPlayer;

// The board's short sounds ("move", "capture", "check", "success", "failure"), played from the
// WAV files in the resource folder "sounds". The audio system is loaded with the first sound.
// Where the program has no audio output (no device, an offscreen display, no sound module) or a
// file is missing, playing is silent.
class CBoardSounds {
public:
    CBoardSounds();
    ~CBoardSounds();
    CBoardSounds(const CBoardSounds&) = delete;
    CBoardSounds& operator=(const CBoardSounds&) = delete;

    // The names of the sounds, in the order of their files.
    static QStringList arrstrNames();
    // True when sounds can be heard: an audio output exists and the program has a real display.
    bool isAudible() const;
    // Plays a sound by name; nothing when it cannot be heard.
    void Play(const QString& name);

private:
    // The sound module when sounds can be heard, else nullptr.
    static ISoundModule* objAudibleModule();

    std::unique_ptr<ISoundPlayer> player; // null until the first sound, or when silent
    QHash<QString, QString> files;        // the file of each sound name
    bool probed = false;
};
