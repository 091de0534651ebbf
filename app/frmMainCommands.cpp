// What the commands of the training window do.
#include "app/CAboutBox.h"
#include "app/CActionLabel.h"
#include "app/CDialogs.h"
#include "app/CHelpWindow.h"
#include "app/CMessages.h"
#include "app/CSettings.h"
#include "app/frmMain.h"
#include "board/CBoardOptionsMenu.h"
#include "board/CSettingsPropertyStore.h"
#include "settings/SettingsTable.h"
#include "workbook/CWorkBook.h"
#include "workbook/WriteFailure.h"

#include <QAction>
#include <QFileInfo>
#include <QSettings>
#include <stdexcept>

void frmMain::ApplySettings() {
    SetBoardMode(BoardMode::Training);
    SetBoardColors(CSettings::lngLightColor(), CSettings::lngDarkColor());
    SetBoardWhiteOnTop(CSettings::isWhiteOnTop());
    const auto settings = objOpenSettings();
    CBoardOptionsMenu::ReadOptions(cntrlChess,
                                   CSettingsPropertyStore(*settings, Settings::kOptionsSection));
    ShowAppearance(CSettings::strAppearance());
}

void frmMain::OpenWorkbook() {
    Guarded([this] { isOpenWorkbook(""); });
}

void frmMain::Exit() {
    close();
}

void frmMain::ShowSolution() {
    Guarded([this] { session.ShowSolution(); });
}

void frmMain::PreviousGame() {
    Guarded([this] { session.PreviousGame(); });
}

void frmMain::NextGame() {
    Guarded([this] { session.NextGame(); });
}

void frmMain::ClearLog() {
    Guarded([this] {
        if (!CMessages::isYes(this, "This will remove all the training scores.\rAre you sure?"))
            return;
        const bool clearHistory = CMessages::isYes(this, strClearHistoryQuestion(), true);
        try {
            session.ClearScores(clearHistory);
        } catch (const std::exception& error) {
            throw std::runtime_error("The training log could not be cleared in " +
                                     workbook->strFileName() + ": " +
                                     strWriteFailureReason(error.what()));
        }
    });
}

void frmMain::FlipBoard() {
    // Flipping never reports a problem: at worst the board stays as it was.
    try {
        const bool whiteOnTop = !isBoardWhiteOnTop();
        SetBoardWhiteOnTop(whiteOnTop);
        CSettings::isWhiteOnTop(whiteOnTop);
    } catch (...) {
    }
}

void frmMain::ChooseLightColor() {
    Guarded([this] {
        const long color = CDialogs::lngChooseColor(this, lngBoardLightColor());
        SetBoardColors(color, lngBoardDarkColor());
        CSettings::lngLightColor(lngBoardLightColor());
    });
}

void frmMain::ChooseDarkColor() {
    Guarded([this] {
        const long color = CDialogs::lngChooseColor(this, lngBoardDarkColor());
        SetBoardColors(lngBoardLightColor(), color);
        CSettings::lngDarkColor(lngBoardDarkColor());
    });
}

void frmMain::HelpContents() {
    Guarded([this] {
        const QString file = CHelpWindow::strHelpFile();
        if (file.isEmpty()) {
            CMessages::ShowInformation(this, windowTitle(),
                                       "Unable to display Help Contents. There is no Help "
                                       "associated with this project.");
            return;
        }
        if (!helpWindow) helpWindow = new CHelpWindow(this);
        if (!helpWindow->ShowContents(file)) {
            CMessages::ShowPlain(this, "The help file \"" + file + "\" cannot be read.");
            return;
        }
        helpWindow->show();
        helpWindow->raise();
        helpWindow->activateWindow();
    });
}

void frmMain::About() {
    Guarded([this] {
        CAboutBox about(this);
        about.exec();
    });
}
