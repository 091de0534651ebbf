#pragma once

#include "board/CPropertyStore.h"

class QSettings;

// A property store in a QSettings group: the way the program keeps the board's properties.
class CSettingsPropertyStore : public CPropertyStore {
public:
    // Uses the group of the settings object (which must outlive the store).
    CSettingsPropertyStore(QSettings& settings, const QString& group);
    // Reads a key, or the default when it is absent.
    QVariant ReadProperty(const QString& key, const QVariant& defaultValue) const override;
    // Writes a key; a default value removes it.
    void WriteProperty(const QString& key, const QVariant& value,
                       const QVariant& defaultValue) override;

private:
    QSettings& settings;
    QString group;
};
