#include "sound/CSoundModule.h"

#include <QAudioDevice>
#include <QHash>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace {

class CEffectPlayer : public ISoundPlayer {
public:
    ~CEffectPlayer() override { qDeleteAll(effects); }

    void Play(const QString& file) override {
        QSoundEffect* effect = effects.value(file);
        if (effect == nullptr) {
            effect = new QSoundEffect;
            effect->setSource(QUrl::fromLocalFile(file));
            effect->setVolume(0.6f);
            effects.insert(file, effect);
        }
        effect->play();
    }

private:
    QHash<QString, QSoundEffect*> effects;
};

} // namespace

bool CSoundModule::hasAudioOutput() const {
    // Without a sound server the audio system says so on the console; the board just stays quiet.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const bool any = !QMediaDevices::audioOutputs().isEmpty();
    qInstallMessageHandler(previous);
    return any;
}

std::unique_ptr<ISoundPlayer> CSoundModule::objNewPlayer() const {
    return std::make_unique<CEffectPlayer>();
}
