#include "engine/CEngineSettings.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <memory>

namespace {

// The program's settings store, shared with the rest of the program.
std::unique_ptr<QSettings> openStore() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Brisolt",
                                       "Brisolt");
}

QString stored(const QString& key) {
    return openStore()->value("Options/" + key).toString();
}

// A name made from the program's file name: "stockfish" gives "Stockfish".
QString nameFromFile(const QString& path) {
    QString name = QFileInfo(path).completeBaseName();
    if (!name.isEmpty()) name[0] = name[0].toUpper();
    return name;
}

// The cache key of a program: its path, percent-encoded (the store reads "/" as a section).
QString cacheKey(const QString& path) {
    return "EngineCache/" + QString::fromLatin1(QUrl::toPercentEncoding(path));
}

// Size and modification time: a program replaced under the same path is looked at again.
QString fileStamp(const QString& path) {
    const QFileInfo file(path);
    return QString::number(file.size()) + ":" +
           QString::number(file.lastModified().toMSecsSinceEpoch());
}

// The cached protocol and name of the program; Unknown when none or stale.
EngineProtocol cached(const QString& path, QString* name = nullptr) {
    const QStringList parts = openStore()->value(cacheKey(path)).toStringList();
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
    const QString path = stored("EnginePath").trimmed();
    return path.isEmpty() ? strDefaultEnginePath() : path;
}

EngineProtocol CEngineSettings::protocol() {
    return knownProtocol(strEnginePath());
}

EngineProtocol CEngineSettings::knownProtocol(const QString& path) {
    if (path.isEmpty()) return EngineProtocol::Unknown;
    if (!stored("EnginePath").trimmed().isEmpty() && path == strEnginePath()) {
        const EngineProtocol chosen = protocolFromName(stored("EngineProtocol").toStdString());
        if (chosen != EngineProtocol::Unknown) return chosen;
    }
    return cached(path);
}

QString CEngineSettings::strEngineName() {
    const QString name = stored("EngineName").trimmed();
    if (!name.isEmpty()) return name;
    const QString path = strEnginePath();
    QString known;
    const EngineProtocol protocol = cached(path, &known);
    if (!known.trimmed().isEmpty()) return known.trimmed();
    if (protocol == EngineProtocol::Console) return "Crafty";
    return path.isEmpty() ? "Stockfish" : nameFromFile(path);
}

void CEngineSettings::Save(const QString& path, EngineProtocol protocol, const QString& name) {
    auto store = openStore();
    store->setValue("Options/EnginePath", path);
    store->setValue("Options/EngineProtocol", QString::fromStdString(strProtocolName(protocol)));
    store->setValue("Options/EngineName", name);
    store->sync();
    Remember(path, protocol, name);
}

void CEngineSettings::Remember(const QString& path, EngineProtocol protocol, const QString& name) {
    if (path.isEmpty() || protocol == EngineProtocol::Unknown) return;
    auto store = openStore();
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
    return "Play the game against &" + name;
}

QString CEngineSettings::strPracticeCaption() {
    return "Practice with " + strEngineName();
}

QString CEngineSettings::strWaitCaption() {
    return "Wait for " + strEngineName() + " to move";
}
