#include "practice/EngineChooser.h"

#include "settings/CEngineSettings.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>

QString strApplyEngineChoice(const QString& path) {
    if (!QFileInfo(path).isFile() || !QFileInfo(path).isExecutable())
        return path + " is not a program that can be run.";
    const EngineDetection found = CEngineSettings::Choose(path);
    return found.isUsable ? QString() : QString::fromStdString(found.strError);
}

bool ChooseEngine(QWidget* parent) {
    const QString current = CEngineSettings::strEnginePath();
    const QString path = QFileDialog::getOpenFileName(parent, "Choose the chess engine",
                                                      current.isEmpty() ? "/usr/games" : current);
    if (path.isEmpty()) return false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QString problem = strApplyEngineChoice(path);
    QGuiApplication::restoreOverrideCursor();
    if (!problem.isEmpty()) {
        QMessageBox::warning(parent, "Brisolt",
                             "This program cannot be used as the engine: " + problem);
        return false;
    }
    QMessageBox::information(parent, "Brisolt",
                             "The engine is now " + CEngineSettings::strEngineName() + ".");
    return true;
}
