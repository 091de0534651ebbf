// Practice against the chess engine from the training window.
#include "app/CActionLabel.h"
#include "app/frmMain.h"

#include <QAction>

void frmMain::UpdateEngineCommands() {
    // Practice needs the engine's practice window; until it is there the commands stay off.
    mnuCrafty->setEnabled(false);
    lblCrafty->setEnabled(false);
    mnuEngine->setEnabled(false);
}

void frmMain::PlayAgainstEngine() {}

void frmMain::ChooseEngine() {}
