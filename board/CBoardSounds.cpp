#include "board/CBoardSounds.h"

#include "board/ISoundModule.h"
#include "board/ModuleLoader.h"
#include "board/ResourceLocator.h"

#include <QGuiApplication>

CBoardSounds::CBoardSounds() = default;

CBoardSounds::~CBoardSounds() = default;

QStringList CBoardSounds::arrstrNames() {
    return {"move", "capture", "check", "success", "failure"};
}

ISoundModule* CBoardSounds::objAudibleModule() {
    // An offscreen run (tests, CI, screenshots) never opens the audio system.
    if (QGuiApplication::platformName() == "offscreen" ||
        qEnvironmentVariableIsSet("BRISOLT_NO_SOUND"))
        return nullptr;
    ISoundModule* module = objLoadModule<ISoundModule>("brisolt_sound");
    return module != nullptr && module->hasAudioOutput() ? module : nullptr;
}

bool CBoardSounds::isAudible() const {
    return objAudibleModule() != nullptr;
}

void CBoardSounds::Play(const QString& name) {
    if (!probed) {
        probed = true;
        if (ISoundModule* module = objAudibleModule()) {
            player = module->objNewPlayer();
            for (const QString& sound : arrstrNames())
                files.insert(sound, strFindResource("sounds/" + sound + ".wav"));
        }
    }
    const QString file = files.value(name);
    if (player != nullptr && !file.isEmpty()) player->Play(file);
}
