#pragma once

#include <QString>
#include <QVariant>

// The host's store for the board control's persisted properties ("SquareSize",
// "SquareColorLight", "SquareColorDark", "Mode"). A missing key reads as the default;
// writing a value equal to its default removes the key.
class CPropertyStore {
public:
    virtual ~CPropertyStore() = default;
    // Reads a key, or the default when the store has no value for it.
    virtual QVariant ReadProperty(const QString& key, const QVariant& defaultValue) const = 0;
    // Writes a key; a value equal to the default is not kept.
    virtual void WriteProperty(const QString& key, const QVariant& value,
                               const QVariant& defaultValue) = 0;
};
