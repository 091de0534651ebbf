// Building workbooks from the training window: a new workbook, the games window, PGN import and
// export, the position as FEN, and the workbook's title.
#include "app/CDialogs.h"
#include "app/CMessages.h"
#include "app/CSettings.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "editor/CEditorPrompts.h"
#include "editor/frmGameEditor.h"
#include "editor/frmGames.h"
#include "game/CPosition.h"
#include "workbook/CWorkBook.h"
#include "workbook/WriteFailure.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <stdexcept>

void frmMain::SetEditorPrompts(std::shared_ptr<CEditorPrompts> prompts) {
    editorPrompts = std::move(prompts);
}

// Every change of workbook goes through here: the board, the game information, the marks, the
// batch and the score all come from the new workbook, and nothing of the previous one stays.
void frmMain::UseWorkbook(const std::shared_ptr<CWorkBook>& opened, const QString& file,
                          const std::string& title) {
    if (gamesWindow) gamesWindow->close();
    if (workbook && workbook != opened) workbook->CloseWorkBook();
    workbook = opened;
    workbook->strWBTitle(title);
    session.objWorkBook(workbook);
    const QFileInfo info(file);
    // The journal beside the file needs a writable folder as much as the file itself does; SQLite
    // makes it beside the file a link leads to.
    const QString real = info.canonicalFilePath().isEmpty() ? file : info.canonicalFilePath();
    const bool writable = !workbook->isReadOnly() && info.isWritable() &&
                          QFileInfo(QFileInfo(real).absolutePath()).isWritable();
    session.isRecording(writable);
    txtWorkbook->setText(QString::fromStdString(title));
    txtWorkbook->setCursorPosition(0);
    txtWorkbook->setReadOnly(!writable);
    ShowReadOnly(!writable);
    UpdateTitle();
    CSettings::strLastOpened(info.absoluteFilePath());
    session.ReadScore();
    cntrlChess->setFocus(Qt::OtherFocusReason);
    // A first game that cannot be shown is reported; the workbook stays open for the others.
    Guarded([this] { session.StartBatch(); });
    UpdateToPlay();
}

bool frmMain::isOfferPgnImport(const QString& file) {
    QFile input(file);
    QByteArray start;
    if (input.open(QIODevice::ReadOnly)) start = input.read(4096).trimmed();
    if (QFileInfo(file).suffix().compare("pgn", Qt::CaseInsensitive) != 0 && !start.startsWith('['))
        return false;
    QStringList choices{"Into a &new workbook..."};
    if (workbook) choices << "Into the &current workbook";
    const int choice = CMessages::intChoose(
        this,
        "\"" + QFileInfo(file).fileName() + "\" is a PGN file, not a workbook.\nImport its games?",
        choices);
    if (choice == 0) {
        NewWorkbook();
        if (gamesWindow) gamesWindow->ImportPgnFrom(file);
    } else if (choice == 1) {
        if (frmGames* games = OpenGames()) games->ImportPgnFrom(file);
    }
    return true;
}

void frmMain::NewWorkbook() {
    Guarded([this] {
        if (!editorPrompts) editorPrompts = std::make_shared<CModalPrompts>();
        QString file = editorPrompts->strAskFile(
            this, "New Workbook", CDialogs::strWorkbookFilter(), true, strDialogFolder());
        if (file.isEmpty()) return;
        // A name typed without an extension gets the workbooks' one, as the Open dialog shows only
        // those.
        if (QFileInfo(file).suffix().isEmpty()) file += ".brl";
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
        created->CreateNewWorkBook(QDir::toNativeSeparators(file).toStdString(),
                                   title.toStdString());
        created->strWBTitle(title.toStdString());
        UseWorkbook(created, file, title.toStdString());
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
        Guarded([&] { session.TrainGame(id); });
        UpdateToPlay();
        gamesWindow->close();
    });
    connect(gamesWindow, &frmGames::WorkbookChanged, this, &frmMain::WorkbookEdited);
    gamesWindow->show();
    return gamesWindow;
}

// Games were added, changed or removed: the running batch may name games that are gone.
void frmMain::WorkbookEdited(int32_t changedGameId) {
    Guarded([&] { session.WorkbookEdited(changedGameId); });
    UpdateToPlay();
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
    if (!workbook || txtWorkbook->isReadOnly()) return;
    const std::string title = txtWorkbook->text().trimmed().toStdString();
    if (title == workbook->strWBTitle()) return;
    Guarded([&] {
        try {
            workbook->SaveWorkbookProperties(title);
        } catch (const std::exception& error) {
            throw std::runtime_error("The title could not be saved in " + workbook->strFileName() +
                                     ": " + strWriteFailureReason(error.what()));
        }
        workbook->strWBTitle(title);
        UpdateTitle();
    });
}
