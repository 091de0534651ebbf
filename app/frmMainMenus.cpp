// The menus of the training window and what each command runs.
#include "app/CActionLabel.h"
#include "app/CHeldShortcutGuard.h"
#include "app/CSettings.h"
#include "app/frmMain.h"
#include "board/CBoardOptionsMenu.h"
#include "board/CSettingsPropertyStore.h"
#include "settings/SettingsTable.h"

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>

namespace {

QAction* entry(QMenu* menu, const QString& name, const QString& caption,
               const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    return action;
}

} // namespace

void frmMain::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mnuFile");
    mnuNewWorkbook =
        entry(file, "mnuNewWorkbook", "&New Workbook...", QKeySequence("Ctrl+Shift+N"));
    mnuOpenWorkbook = entry(file, "mnuOpenWorkbook", "&Open Workbook", QKeySequence("Ctrl+O"));
    file->addSeparator();
    mnuImportPgn = entry(file, "mnuImportPgn", "&Import PGN...");
    mnuExportPgn = entry(file, "mnuExportPgn", "&Export PGN...");
    mnuGames = entry(file, "mnuGames", "&Games...", QKeySequence("Ctrl+G"));
    file->addSeparator();
    mnuExit = entry(file, "mnuExit", "E&xit", QKeySequence("Ctrl+Q"));

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("mnuEdit");
    mnuCopyFen = entry(edit, "mnuCopyFen", "Copy &FEN");
    mnuPasteFen = entry(edit, "mnuPasteFen", "&Paste FEN");

    QMenu* training = menuBar()->addMenu("&Training");
    training->setObjectName("mnuTraining");
    mnuCrafty =
        entry(training, "mnuCrafty", "Play the game against the &engine", QKeySequence("Ctrl+T"));
    training->addSeparator();
    mnuShowSolution = entry(training, "mnuShowSolution", "&Show Solution", QKeySequence("Ctrl+S"));
    training->addSeparator();
    mnuPreviousGame = entry(training, "mnuPreviousGame", "&Previous Game", QKeySequence("Ctrl+P"));
    mnuNextGame = entry(training, "mnuNextGame", "&Next Game", QKeySequence("Ctrl+N"));
    // A key held down changes the game once, never past games not yet seen.
    mnuPreviousGame->setAutoRepeat(false);
    mnuNextGame->setAutoRepeat(false);
    new CHeldShortcutGuard({mnuPreviousGame, mnuNextGame}, this);
    BuildMoveMenu(training);
    training->addSeparator();
    mnuClearLog = entry(training, "mnuClearLog", "&Clear Log");

    QMenu* options = menuBar()->addMenu("&Options");
    options->setObjectName("mnuOptions");
    mnuFlip = entry(options, "mnuFlip", "&Flip board", QKeySequence("Ctrl+F"));
    mnuLightColor = entry(options, "mnuLightColor", "&Light Square Color");
    mnuDarkColor = entry(options, "mnuDarkColor", "&Dark Square Color");
    // The board's theme and switches; each change is saved at once.
    new CBoardOptionsMenu(options, cntrlChess, [this] {
        CSettings::lngLightColor(lngBoardLightColor());
        CSettings::lngDarkColor(lngBoardDarkColor());
        const auto settings = objOpenSettings();
        CSettingsPropertyStore store(*settings, Settings::kOptionsSection);
        CBoardOptionsMenu::WriteOptions(cntrlChess, store);
    });
    BuildAppearanceMenu(options);
    options->addSeparator();
    mnuEngine = entry(options, "mnuEngine", "&Engine...");
    BuildProgressMenus(training, options);

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    mnuContents = entry(help, "mnuContents", "&Contents", QKeySequence("F1"));
    help->addSeparator();
    mnuAbout = entry(help, "mnuAbout", "&About Brisolt");
}

void frmMain::ConnectCommands() {
    connect(mnuOpenWorkbook, &QAction::triggered, this, &frmMain::OpenWorkbook);
    connect(cmdOpenWbk, &QPushButton::clicked, this, &frmMain::OpenWorkbook);
    connect(mnuExit, &QAction::triggered, this, &frmMain::Exit);
    connect(mnuNewWorkbook, &QAction::triggered, this, &frmMain::NewWorkbook);
    connect(mnuImportPgn, &QAction::triggered, this, &frmMain::ImportPgn);
    connect(mnuExportPgn, &QAction::triggered, this, &frmMain::ExportPgn);
    connect(mnuGames, &QAction::triggered, this, [this] { OpenGames(); });
    connect(mnuCopyFen, &QAction::triggered, this, &frmMain::CopyFen);
    connect(mnuPasteFen, &QAction::triggered, this, &frmMain::PasteFen);
    connect(txtWorkbook, &QLineEdit::editingFinished, this, &frmMain::SaveWorkbookTitle);
    // Enter ends an edit of the title: the keys go back where they act, so that a move typed
    // next is not written into the title.
    connect(txtWorkbook, &QLineEdit::returnPressed, this, [this] {
        txtWorkbook->clearFocus();
        FocusForKeys();
    });

    connect(mnuCrafty, &QAction::triggered, this, &frmMain::PlayAgainstEngine);
    connect(lblCrafty, &CActionLabel::clicked, this, &frmMain::PlayAgainstEngine);
    connect(mnuShowSolution, &QAction::triggered, this, &frmMain::ShowSolution);
    connect(lblShowSolution, &CActionLabel::clicked, this, &frmMain::ShowSolution);
    connect(mnuPreviousGame, &QAction::triggered, this, &frmMain::PreviousGame);
    connect(lblPreviousGame, &CActionLabel::clicked, this, &frmMain::PreviousGame);
    connect(mnuNextGame, &QAction::triggered, this, &frmMain::NextGame);
    connect(lblNextGame, &CActionLabel::clicked, this, &frmMain::NextGame);
    connect(cmdNext, &QPushButton::clicked, this, &frmMain::NextGame);
    connect(mnuClearLog, &QAction::triggered, this, &frmMain::ClearLog);
    connect(lblClearLog, &CActionLabel::clicked, this, &frmMain::ClearLog);

    connect(mnuFlip, &QAction::triggered, this, &frmMain::FlipBoard);
    connect(lblFlip, &CActionLabel::clicked, this, &frmMain::FlipBoard);
    connect(mnuLightColor, &QAction::triggered, this, &frmMain::ChooseLightColor);
    connect(mnuDarkColor, &QAction::triggered, this, &frmMain::ChooseDarkColor);
    connect(mnuEngine, &QAction::triggered, this, &frmMain::ChooseEngine);

    connect(mnuContents, &QAction::triggered, this, &frmMain::HelpContents);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::About);
    UpdateEngineCommands();
    AddShortcutTips();
}
