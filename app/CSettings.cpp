#include "app/CSettings.h"

#include "settings/SettingsTable.h"

#include <QSettings>

namespace {

QString path(const QString& section, const QString& key) {
    return section + "/" + key;
}

QString valueOf(const SettingKey& setting) {
    return CSettings::strValue(setting.section, setting.key);
}

void save(const SettingKey& setting, const QString& value) {
    CSettings::SaveValue(setting.section, setting.key, value);
}

// A colour number from stored decimal text; text that is not a number reads as the default.
long colorFrom(const SettingKey& setting) {
    bool ok = false;
    const long color = valueOf(setting).trimmed().toLong(&ok);
    if (ok) return color;
    return QString::fromLatin1(setting.fallback).toLong();
}

} // namespace

QString CSettings::strDefault(const QString& section, const QString& key) {
    for (const SettingKey& entry : Settings::kAll) {
        if (section == entry.section && key == entry.key) return entry.fallback;
    }
    return {};
}

QString CSettings::strValue(const QString& section, const QString& key) {
    const QVariant value = objOpenSettings()->value(path(section, key));
    if (!value.isValid()) return strDefault(section, key);
    return value.toString();
}

void CSettings::SaveValue(const QString& section, const QString& key, const QString& value) {
    auto store = objOpenSettings();
    store->setValue(path(section, key), value);
    store->sync();
}

QString CSettings::strLastOpened() {
    return valueOf(Settings::LastOpened);
}

void CSettings::strLastOpened(const QString& file) {
    save(Settings::LastOpened, file);
}

long CSettings::lngLightColor() {
    return colorFrom(Settings::LightColor);
}

void CSettings::lngLightColor(long color) {
    save(Settings::LightColor, QString::number(color));
}

long CSettings::lngDarkColor() {
    return colorFrom(Settings::DarkColor);
}

void CSettings::lngDarkColor(long color) {
    save(Settings::DarkColor, QString::number(color));
}

bool CSettings::isWhiteOnTop() {
    return valueOf(Settings::WhiteOnTop).trimmed().toInt() == 1;
}

void CSettings::isWhiteOnTop(bool whiteOnTop) {
    save(Settings::WhiteOnTop, whiteOnTop ? "1" : "0");
}

bool CSettings::isSpacedOrder() {
    return valueOf(Settings::TrainingOrder).trimmed() == "spaced";
}

void CSettings::isSpacedOrder(bool spaced) {
    save(Settings::TrainingOrder, spaced ? "spaced" : "classic");
}

int CSettings::intNewGamesPerDay() {
    bool ok = false;
    const int count = valueOf(Settings::NewGamesPerDay).trimmed().toInt(&ok);
    if (ok && count >= 0 && count <= intMaxNewGamesPerDay) return count;
    return QString::fromLatin1(Settings::NewGamesPerDay.fallback).toInt();
}

void CSettings::intNewGamesPerDay(int count) {
    save(Settings::NewGamesPerDay, QString::number(count));
}

QString CSettings::strAppearance() {
    const QString choice = valueOf(Settings::Appearance).trimmed();
    if (choice == "Light" || choice == "Dark") return choice;
    return "System";
}

void CSettings::strAppearance(const QString& choice) {
    save(Settings::Appearance, choice);
}

QByteArray CSettings::objWindowGeometry() {
    return QByteArray::fromBase64(valueOf(Settings::WindowGeometry).toLatin1());
}

void CSettings::objWindowGeometry(const QByteArray& geometry) {
    save(Settings::WindowGeometry, QString::fromLatin1(geometry.toBase64()));
}
