#include "settings/SettingsTable.h"

#include <QSettings>

std::unique_ptr<QSettings> objOpenSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Brisolt",
                                       "Brisolt");
}
