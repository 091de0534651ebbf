#include "engine/CEngineSettings.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
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

// A name made from the program's file name: "crafty-23.4" gives "Crafty-23.4".
QString nameFromFile(const QString& path) {
    QString name = QFileInfo(path).completeBaseName();
    if (!name.isEmpty()) name[0] = name[0].toUpper();
    return name;
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
    return protocolFromName(stored("EngineProtocol").toStdString());
}

QString CEngineSettings::strEngineName() {
    QString name = stored("EngineName").trimmed();
    if (!name.isEmpty()) return name;
    if (stored("EnginePath").trimmed().isEmpty()) {
        // Nothing chosen yet: name the default engine once and remember it.
        const QString path = strDefaultEnginePath();
        if (path.isEmpty()) return "Stockfish";
        const EngineDetection found = Detect(path);
        if (found.isUsable && found.protocol == EngineProtocol::Uci) {
            openStore()->setValue("Options/EngineName", found.strName);
            return found.strName;
        }
        return "Stockfish";
    }
    return protocol() == EngineProtocol::Console ? "Crafty" : nameFromFile(strEnginePath());
}

void CEngineSettings::Save(const QString& path, EngineProtocol protocol, const QString& name) {
    auto store = openStore();
    store->setValue("Options/EnginePath", path);
    store->setValue("Options/EngineProtocol", QString::fromStdString(strProtocolName(protocol)));
    store->setValue("Options/EngineName", name);
    store->sync();
}

EngineDetection CEngineSettings::Detect(const QString& path, int timeoutMs) {
    EngineDetection found;
    found.strName = nameFromFile(path);
    QTemporaryDir folder;
    QProcess process;
    if (folder.isValid()) process.setWorkingDirectory(folder.path());
    process.setProgram(path);
    process.start();
    if (!process.waitForStarted(timeoutMs)) {
        found.strError = path + ": " + process.errorString();
        return found;
    }
    process.write("uci\n");
    QElapsedTimer clock;
    clock.start();
    std::string buffer;
    bool answered = false;
    while (!answered && clock.elapsed() < timeoutMs && process.state() == QProcess::Running) {
        process.waitForReadyRead(std::max<int>(1, timeoutMs - clock.elapsed()));
        buffer += process.readAllStandardOutput().toStdString();
        size_t end;
        while ((end = buffer.find('\n')) != std::string::npos) {
            QString line = QString::fromLocal8Bit(buffer.substr(0, end)).trimmed();
            buffer.erase(0, end + 1);
            if (line.startsWith("id name ")) found.strName = line.mid(8).trimmed();
            if (line == "uciok") answered = true;
        }
    }
    const bool ended = process.state() != QProcess::Running;
    process.write(answered ? "quit\n" : "end\n");
    process.closeWriteChannel();
    if (!process.waitForFinished(300)) {
        process.kill();
        process.waitForFinished(300);
    }
    if (answered) {
        found.isUsable = true;
        found.protocol = EngineProtocol::Uci;
    } else if (ended) {
        found.strError = path + " ended at once; it is not a chess engine.";
    } else {
        found.isUsable = true;
        found.protocol = EngineProtocol::Console;
        // The console protocol is Crafty's, and the captions call its engine so.
        found.strName = "Crafty";
    }
    return found;
}

EngineDetection CEngineSettings::Choose(const QString& path) {
    EngineDetection found = Detect(path);
    if (found.isUsable) Save(path, found.protocol, found.strName);
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
