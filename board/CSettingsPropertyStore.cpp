#include "board/CSettingsPropertyStore.h"

#include <QSettings>

CSettingsPropertyStore::CSettingsPropertyStore(QSettings& settings_, const QString& group_)
    : settings(settings_), group(group_) {}

QVariant CSettingsPropertyStore::ReadProperty(const QString& key,
                                              const QVariant& defaultValue) const {
    const QVariant value = settings.value(group + "/" + key, defaultValue);
    // QSettings hands back text from ini files; give the caller the default's type.
    QVariant converted = value;
    if (defaultValue.isValid() && converted.convert(defaultValue.metaType())) return converted;
    return defaultValue;
}

void CSettingsPropertyStore::WriteProperty(const QString& key, const QVariant& value,
                                           const QVariant& defaultValue) {
    if (value == defaultValue)
        settings.remove(group + "/" + key);
    else
        settings.setValue(group + "/" + key, value);
}
