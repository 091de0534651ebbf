#include "settings/CEngineSettings.h"

#include "settings/SettingsTable.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <memory>

namespace {

QString stored(const SettingKey& setting) {
    return objOpenSettings()->value(setting.strPath()).toString();
}

// A name made from the program's file name: "stockfish" gives "Stockfish".
QString nameFromFile(const QString& path) {
    QString name = QFileInfo(path).completeBaseName();
    if (!name.isEmpty()) name[0] = name[0].toUpper();
    return name;
}

// The cache key of a program: its path, percent-encoded (the store reads "/" as a section).
QString cacheKey(const QString& path) {
    return QString::fromLatin1(Settings::kEngineCacheSection) + "/" +
           QString::fromLatin1(QUrl::toPercentEncoding(path));
}

// Size and modification time: a program replaced under the same path is looked at again.
QString fileStamp(const QString& path) {
    const QFileInfo file(path);
    return QString::number(file.size()) + ":" +
           QString::number(file.lastModified().toMSecsSinceEpoch());
}

// The cached protocol and name of the program; Unknown when none or stale.
EngineProtocol cached(const QString& path, QString* name = nullptr) {
    const QStringList parts = objOpenSettings()->value(cacheKey(path)).toStringList();
    if (parts.size() != 3 || parts[1] != fileStamp(path)) return EngineProtocol::Unknown;
    if (name) *name = parts[2];
    return protocolFromName(parts[0].toStdString());
}

} // namespace

QString CEngineSettings::strDefaultEnginePath() {
    QString found = QStandardPaths::findExecutable("stockfish");
    if (found.isEmpty()) found = QStandardPaths::findExecutable("stockfish", {"/usr/games"});
    return found;
}

QString CEngineSettings::strEnginePath() {
    const QString path = stored(Settings::EnginePath).trimmed();
    return path.isEmpty() ? strDefaultEnginePath() : path;
}

EngineProtocol CEngineSettings::protocol() {
    return knownProtocol(strEnginePath());
}

EngineProtocol CEngineSettings::knownProtocol(const QString& path) {
    if (path.isEmpty()) return EngineProtocol::Unknown;
    if (!stored(Settings::EnginePath).trimmed().isEmpty() && path == strEnginePath()) {
        const EngineProtocol chosen =
            protocolFromName(stored(Settings::EngineProtocolName).toStdString());
        if (chosen != EngineProtocol::Unknown) return chosen;
    }
    return cached(path);
}

QString CEngineSettings::strEngineName() {
    const QString name = stored(Settings::EngineName).trimmed();
    if (!name.isEmpty()) return name;
    const QString path = strEnginePath();
    QString known;
    const EngineProtocol protocol = cached(path, &known);
    if (!known.trimmed().isEmpty()) return known.trimmed();
    if (protocol == EngineProtocol::Console) return "Crafty";
    return path.isEmpty() ? "Stockfish" : nameFromFile(path);
}

void CEngineSettings::Save(const QString& path, EngineProtocol protocol, const QString& name) {
    auto store = objOpenSettings();
    store->setValue(Settings::EnginePath.strPath(), path);
    store->setValue(Settings::EngineProtocolName.strPath(),
                    QString::fromStdString(strProtocolName(protocol)));
    store->setValue(Settings::EngineName.strPath(), name);
    store->sync();
    Remember(path, protocol, name);
}

void CEngineSettings::Remember(const QString& path, EngineProtocol protocol, const QString& name) {
    if (path.isEmpty() || protocol == EngineProtocol::Unknown) return;
    auto store = objOpenSettings();
    store->setValue(cacheKey(path), QStringList{QString::fromStdString(strProtocolName(protocol)),
                                                fileStamp(path), name});
    store->sync();
}

EngineDetection CEngineSettings::Choose(const QString& path) {
    EngineDetection found = objDetectEngine(path.toStdString());
    if (found.isUsable) Save(path, found.protocol, QString::fromStdString(found.strName));
    return found;
}

QString CEngineSettings::strPlayCaption() {
    return "Play the game against " + strEngineName();
}

QString CEngineSettings::strPlayMenuCaption() {
    QString name = strEngineName();
    name.replace("&", "&&");
    // A letter of its own: the engine's first one may be another entry's (Stockfish's S is Show
    // Solution's).
    return "Play the game &against " + name;
}
