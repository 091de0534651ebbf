#include "board/CBoardSounds.h"

#include "board/ResourceLocator.h"

#include <QGuiApplication>
#include <QHash>
#include <QUrl>

#ifdef BRISOLT_HAVE_MULTIMEDIA
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#endif

struct CBoardSounds::Effects {
#ifdef BRISOLT_HAVE_MULTIMEDIA
    QHash<QString, QSoundEffect*> byName;
    ~Effects() {
        qDeleteAll(byName);
    }
#endif
};

CBoardSounds::CBoardSounds() : effects(std::make_unique<Effects>()) {}

CBoardSounds::~CBoardSounds() = default;

QStringList CBoardSounds::arrstrNames() {
    return {"move", "capture", "check", "success", "failure"};
}

bool CBoardSounds::isAudible() const {
#ifdef BRISOLT_HAVE_MULTIMEDIA
    // An offscreen run (tests, CI, screenshots) never opens the audio system.
    if (QGuiApplication::platformName() == "offscreen" ||
        qEnvironmentVariableIsSet("BRISOLT_NO_SOUND"))
        return false;
    // Without a sound server the audio system says so on the console; the board just stays quiet.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const bool any = !QMediaDevices::audioOutputs().isEmpty();
    qInstallMessageHandler(previous);
    return any;
#else
    return false;
#endif
}

void CBoardSounds::Play(const QString& name) {
    if (!probed) {
        probed = true;
        audible = isAudible();
    }
    if (!audible || !arrstrNames().contains(name)) return;
#ifdef BRISOLT_HAVE_MULTIMEDIA
    QSoundEffect* effect = effects->byName.value(name);
    if (effect == nullptr) {
        const QString file = strFindResource("sounds/" + name + ".wav");
        if (file.isEmpty()) return;
        effect = new QSoundEffect;
        effect->setSource(QUrl::fromLocalFile(file));
        effect->setVolume(0.6f);
        effects->byName.insert(name, effect);
    }
    effect->play();
#endif
}
