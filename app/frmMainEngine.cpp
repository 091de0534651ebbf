// Practice against the chess engine from the training window.
#include "app/CActionLabel.h"
#include "app/frmMain.h"
#include "practice/EngineChooser.h"
#include "practice/frmCrafty.h"
#include "settings/CEngineSettings.h"

#include <QAction>

void frmMain::UpdateEngineCommands() {
    // The commands name the engine the practice window will start.
    mnuCrafty->setText(CEngineSettings::strPlayMenuCaption());
    lblCrafty->setText(CEngineSettings::strPlayCaption());
    lblCrafty->setAccessibleName(lblCrafty->text());
}

void frmMain::PlayAgainstEngine() {
    Guarded([this] {
        frmCrafty practice(cntrlChess, this);
        practice.exec();
        // The game's start may have told the engine's own name: the commands take it up.
        UpdateEngineCommands();
    });
}

void frmMain::ChooseEngine() {
    Guarded([this] {
        if (::ChooseEngine(this)) UpdateEngineCommands();
    });
}
