#pragma once

#include <QString>
#include <QStringList>
#include <memory>

// The board's short sounds ("move", "capture", "check", "success", "failure"), played from the
// WAV files in the resource folder "sounds". Where the program has no audio output (no device,
// an offscreen display, a build without Qt Multimedia) or a file is missing, playing is silent.
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
    struct Effects;
    std::unique_ptr<Effects> effects;
    bool probed = false;
    bool audible = false;
};
