#pragma once

#include "board/ISoundModule.h"

#include <QObject>

// The board's sounds through Qt Multimedia: the module brisolt_sound.
class CSoundModule : public QObject, public ISoundModule {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ISoundModule_iid)
    Q_INTERFACES(ISoundModule)

public:
    bool hasAudioOutput() const override;
    std::unique_ptr<ISoundPlayer> objNewPlayer() const override;
};
