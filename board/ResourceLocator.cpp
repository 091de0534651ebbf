#include "board/ResourceLocator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QStringList arrstrResourceFolders() {
    QStringList folders;
    const QByteArray env = qgetenv("BRISOLT_RESOURCES");
    if (!env.isEmpty()) folders << QString::fromLocal8Bit(env);
    if (QCoreApplication::instance() != nullptr) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        folders << exeDir + "/resources";
        folders << QDir::cleanPath(exeDir + "/../share/brisolt");
    }
    folders << QStringLiteral(BRISOLT_DATA_DIR);
    folders << QStringLiteral(BRISOLT_SOURCE_RESOURCES);
    folders << QStringLiteral(BRISOLT_BUILD_RESOURCES);
    return folders;
}

QString strFindResource(const QString& relative) {
    if (relative.isEmpty()) return {};
    for (const QString& folder : arrstrResourceFolders()) {
        const QFileInfo info(QDir(folder).filePath(relative));
        if (info.exists() && info.isFile()) return info.absoluteFilePath();
    }
    return {};
}
