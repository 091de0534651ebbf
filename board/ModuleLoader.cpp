#include "board/ModuleLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>

QObject* objLoadModule(const QString& name, QString* error) {
    QStringList folders;
    if (QCoreApplication::instance() != nullptr) {
        const QString program = QCoreApplication::applicationDirPath();
        folders << program << QDir::cleanPath(program + "/" BRISOLT_MODULES_FROM_PROGRAM);
    }
    folders << QStringLiteral(BRISOLT_BUILD_MODULE_DIR);
    folders.removeDuplicates();
    QString reason = name + " was not found in " + folders.join(", ");
    for (const QString& folder : folders) {
        // The loader adds the platform's file suffix; an empty file name means there is none.
        QPluginLoader loader(QDir(folder).filePath(name));
        if (loader.fileName().isEmpty()) continue;
        if (QObject* module = loader.instance()) return module;
        reason = loader.errorString();
    }
    if (error != nullptr) *error = reason;
    return nullptr;
}
