#include "app/frmMain.h"

#include "app/CAboutBox.h"
#include "app/CDialogs.h"
#include "app/CHelpWindow.h"
#include "app/CMessages.h"
#include "app/CSettings.h"
#include "workbook/CWorkBook.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <exception>

frmMain::frmMain(QWidget* parent) : QMainWindow(parent), session(*this) {
    setObjectName("frmMain");
    setWindowTitle(strCaption());
    BuildControls();
    BuildMenus();
    ConnectCommands();
    Guarded([this] { ApplySettings(); });
    // At the smallest size (a laptop's screen at 150%) the squares are still big enough to drop
    // a piece on; the panel beside the board scrolls, and where the width is short the board
    // gives up room below its own minimum, the panel keeps its own.
    setMinimumSize(680, 500);
    resize(QSize(1280, 800).boundedTo(screen()->availableGeometry().size()));
    // Where the player left it; a place off every screen now is brought back onto one.
    restoreGeometry(CSettings::objWindowGeometry());
}

frmMain::~frmMain() {
    // Hiding the children below sends the title box a focus-out: no slot of a window that is
    // being destroyed may run then.
    txtWorkbook->disconnect(this);
    Unload();
}

QString frmMain::strCaption() {
    return "Brisolt";
}

QString frmMain::strVersion() {
    return CAboutBox::strVersion();
}

void frmMain::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        CMessages::ShowError(this, QString::fromStdString(error.what()));
    }
}

QString frmMain::strLastOpened() const {
    return CSettings::strLastOpened();
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The first activation runs once the window is on screen, as the event loop turns.
    if (!isActivated) QTimer::singleShot(0, this, [this] { Activate(); });
}

bool frmMain::Activate() {
    if (isActivated) return workbook != nullptr;
    isActivated = true;
    bool opened = false;
    Guarded([&] {
        QString file = startupWorkbook.isEmpty() ? strLastOpened() : startupWorkbook;
        if (!startupWorkbook.isEmpty() && !QFileInfo(startupWorkbook).isFile()) {
            const QString text =
                "The workbook \"" + startupWorkbook +
                (QFileInfo(startupWorkbook).isDir() ? "\" is a folder, not a workbook."
                                                    : "\" does not exist.") +
                " Please choose a workbook.";
            if (unattended_) {
                std::fprintf(stderr, "%s\n", qPrintable(text));
                return;
            }
            CMessages::ShowExclamation(this, text);
            file.clear();
        }
        opened = isOpenWorkbook(file);
    });
    if (!opened) close();
    return opened;
}

bool frmMain::isOpenWorkbook(QString file) {
    // Asking again after a missing file or an empty workbook is a loop, not a recursion.
    for (;;) {
        if (file.isEmpty()) {
            if (unattended_) return false;
            file = strAskWorkbookFile(false);
        }
        if (file.isEmpty()) return false;
        if (!QFileInfo(file).isFile()) {
            file.clear();
            continue;
        }
        // The new workbook replaces the open one only once it has opened; a file that is no
        // workbook is reported and another one asked for.
        auto opened = std::make_shared<CWorkBook>();
        std::string title;
        try {
            title = opened->strOpenWorkBook(QDir::toNativeSeparators(file).toStdString());
        } catch (const std::exception& error) {
            if (unattended_) throw;
            if (isOfferPgnImport(file)) {
                if (workbook) return true;
            } else {
                CMessages::ShowError(this, QString::fromStdString(error.what()));
            }
            file.clear();
            continue;
        }
        UseWorkbook(opened, file, title);
        return true;
    }
}

QString frmMain::strDialogFolder() const {
    const QString last = strLastOpened();
    if (!last.isEmpty() && QFileInfo(last).dir().exists()) return QFileInfo(last).absolutePath();
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (QDir(data).exists()) return data;
    return QCoreApplication::applicationDirPath();
}

QString frmMain::strAskWorkbookFile(bool save) {
    try {
        return CDialogs::strAskWorkbookFile(this, save, strDialogFolder());
    } catch (...) {
        return {};
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    // A title typed but not yet ended is saved as leaving the box saves it: the box loses the
    // keys only once the workbook has gone.
    if (txtWorkbook->isModified()) SaveWorkbookTitle();
    if (!unattended_) CSettings::objWindowGeometry(saveGeometry());
    Unload();
    QMainWindow::closeEvent(event);
}

void frmMain::Unload() {
    if (unloaded) return;
    unloaded = true;
    try {
        if (workbook) workbook->CloseWorkBook();
    } catch (const std::exception& error) {
        if (!unattended_) CMessages::ShowError(this, QString::fromStdString(error.what()));
    }
    workbook.reset();
    session.objWorkBook(nullptr);
    if (helpWindow) helpWindow->close();
    // The engine keeps its game files in a private folder that goes with it: nothing here deletes
    // files of the user's.
}
