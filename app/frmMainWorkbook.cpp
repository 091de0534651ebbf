// Building workbooks from the training window: a new workbook, the games window, PGN import and
// export, the position as FEN, and the workbook's title.
#include "app/CMessages.h"
#include "app/CSettings.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "editor/CEditorPrompts.h"
#include "editor/frmGameEditor.h"
#include "editor/frmGames.h"
#include "game/CPosition.h"
#include "workbook/CWorkBook.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>

void frmMain::SetEditorPrompts(std::shared_ptr<CEditorPrompts> prompts) {
    editorPrompts = std::move(prompts);
}

void frmMain::UseWorkbook(const std::shared_ptr<CWorkBook>& opened, const QString& file,
                          const std::string& title) {
    if (workbook && workbook != opened) workbook->CloseWorkBook();
    workbook = opened;
    session.objWorkBook(workbook);
    txtWorkbook->setText(QString::fromStdString(title));
    txtWorkbook->setCursorPosition(0);
    CSettings::strLastOpened(QFileInfo(file).absoluteFilePath());
}

void frmMain::NewWorkbook() {
    Guarded([this] {
        if (!editorPrompts) editorPrompts = std::make_shared<CModalPrompts>();
        const QString file = editorPrompts->strAskFile(this, "New Workbook",
                                                       "Workbooks (*.brl);;All files (*)", true);
        if (file.isEmpty()) return;
        // An existing file is never overwritten: it may be someone's workbook.
        if (QFileInfo::exists(file)) {
            editorPrompts->ShowError(this, "The file " + file +
                                               " already exists.\nChoose a new name for the "
                                               "workbook.");
            return;
        }
        QString title = QFileInfo(file).completeBaseName();
        if (!editorPrompts->isAskText(this, "New Workbook", "Title of the workbook:", title))
            title = QFileInfo(file).completeBaseName();
        auto created = std::make_shared<CWorkBook>();
        created->strOpenWorkBook(QDir::toNativeSeparators(file).toStdString());
        created->SaveWorkbookProperties(title.toStdString());
        created->strWBTitle(title.toStdString());
        UseWorkbook(created, file, title.toStdString());
        session.ReadScore();
        OpenGames();
    });
}

frmGames* frmMain::objGamesWindow() const {
    return gamesWindow;
}

frmGames* frmMain::OpenGames() {
    if (!workbook) return nullptr;
    if (gamesWindow) {
        gamesWindow->raise();
        return gamesWindow;
    }
    if (!editorPrompts) editorPrompts = std::make_shared<CModalPrompts>();
    gamesWindow = new frmGames(workbook, this, editorPrompts);
    gamesWindow->setAttribute(Qt::WA_DeleteOnClose);
    gamesWindow->setWindowModality(Qt::WindowModal);
    connect(gamesWindow, &frmGames::TrainRequested, this, [this](int32_t id) {
        Guarded([&] { session.ShowGame(id); });
        gamesWindow->close();
    });
    connect(gamesWindow, &frmGames::WorkbookChanged, this, &frmMain::WorkbookEdited);
    gamesWindow->show();
    return gamesWindow;
}

// Games were added, changed or removed: the running batch may name games that are gone.
void frmMain::WorkbookEdited() {
    Guarded([this] {
        session.ReadScore();
        session.StartBatch();
    });
}

bool frmMain::isOfferGamesForEmptyWorkbook() {
    if (!CMessages::isYes(this, "Add games to this workbook now?")) return false;
    frmGames* games = OpenGames();
    if (!games) return false;
    games->setWindowModality(Qt::ApplicationModal);
    games->exec();
    return session.StartBatch();
}

void frmMain::ImportPgn() {
    if (frmGames* games = OpenGames()) games->ImportPgn();
}

void frmMain::ExportPgn() {
    if (frmGames* games = OpenGames()) games->ExportPgn();
}

void frmMain::CopyFen() {
    if (const auto position = cntrlChess->objPosition())
        QGuiApplication::clipboard()->setText(QString::fromStdString(position->strGetFEN()));
}

void frmMain::PasteFen() {
    if (frmGames* games = OpenGames()) games->NewGameFromFen(QGuiApplication::clipboard()->text());
}

void frmMain::SaveWorkbookTitle() {
    if (!workbook) return;
    const std::string title = txtWorkbook->text().trimmed().toStdString();
    if (title == workbook->strWBTitle()) return;
    Guarded([&] {
        workbook->SaveWorkbookProperties(title);
        workbook->strWBTitle(title);
    });
}
