#include "app/CSettings.h"

#include <QSettings>
#include <memory>

namespace {

struct SettingDefault {
    const char* section;
    const char* key;
    const char* value;
};

// Every setting the program reads, with the value a missing key stands for.
constexpr SettingDefault defaults[] = {
    {"General", "LastOpened", ""},
    {"Options", "LightColor", "16777215"},
    {"Options", "DarkColor", "65280"},
    {"Options", "WhiteOnTop", "0"},
};

// A settings object on the program's store; Qt shares one cache per file, so this is cheap.
std::unique_ptr<QSettings> openStore() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Brisolt",
                                       "Brisolt");
}

QString path(const QString& section, const QString& key) {
    return section + "/" + key;
}

// A colour number from stored decimal text; text that is not a number reads as the default.
long colorFrom(const QString& section, const QString& key) {
    bool ok = false;
    const long color = CSettings::strValue(section, key).trimmed().toLong(&ok);
    if (ok) return color;
    return CSettings::strDefault(section, key).toLong();
}

} // namespace

QString CSettings::strDefault(const QString& section, const QString& key) {
    for (const SettingDefault& entry : defaults) {
        if (section == entry.section && key == entry.key) return entry.value;
    }
    return {};
}

QString CSettings::strValue(const QString& section, const QString& key) {
    const QVariant value = openStore()->value(path(section, key));
    if (!value.isValid()) return strDefault(section, key);
    return value.toString();
}

void CSettings::SaveValue(const QString& section, const QString& key, const QString& value) {
    auto store = openStore();
    store->setValue(path(section, key), value);
    store->sync();
}

QString CSettings::strLastOpened() {
    return strValue("General", "LastOpened");
}

void CSettings::strLastOpened(const QString& file) {
    SaveValue("General", "LastOpened", file);
}

long CSettings::lngLightColor() {
    return colorFrom("Options", "LightColor");
}

void CSettings::lngLightColor(long color) {
    SaveValue("Options", "LightColor", QString::number(color));
}

long CSettings::lngDarkColor() {
    return colorFrom("Options", "DarkColor");
}

void CSettings::lngDarkColor(long color) {
    SaveValue("Options", "DarkColor", QString::number(color));
}

bool CSettings::isWhiteOnTop() {
    return strValue("Options", "WhiteOnTop").trimmed().toInt() == 1;
}

void CSettings::isWhiteOnTop(bool whiteOnTop) {
    SaveValue("Options", "WhiteOnTop", whiteOnTop ? "1" : "0");
}
