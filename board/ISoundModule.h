#pragma once

#include <QString>
#include <QtPlugin>
#include <memory>

// Plays the sounds of one board: each WAV file is loaded on its first play and kept.
class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;
    virtual void Play(const QString& file) = 0;
};

// The audio system, in the module brisolt_sound (Qt Multimedia), loaded when the first sound
// plays.
class ISoundModule {
public:
    virtual ~ISoundModule() = default;
    // True when the system offers an audio output.
    virtual bool hasAudioOutput() const = 0;
    virtual std::unique_ptr<ISoundPlayer> objNewPlayer() const = 0;
};

#define ISoundModule_iid "org.brisolt.SoundModule/1"
Q_DECLARE_INTERFACE(ISoundModule, ISoundModule_iid)
