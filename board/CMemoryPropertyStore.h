#pragma once

#include "board/CPropertyStore.h"

#include <QMap>

// A property store held in memory: for hosts without persistence, and for tests.
class CMemoryPropertyStore : public CPropertyStore {
public:
    // Reads a key, or the default when it is absent.
    QVariant ReadProperty(const QString& key, const QVariant& defaultValue) const override {
        return values.value(key, defaultValue);
    }
    // Writes a key; a default value removes it.
    void WriteProperty(const QString& key, const QVariant& value,
                       const QVariant& defaultValue) override {
        if (value == defaultValue)
            values.remove(key);
        else
            values.insert(key, value);
    }
    // The keys now held (a default value is never held).
    QStringList arrstrKeys() const { return values.keys(); }

private:
    QMap<QString, QVariant> values;
};
