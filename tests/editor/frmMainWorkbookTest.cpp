// End to end, offscreen: a new workbook from the main window, a game entered by setup and moves
// and saved, the new game trained on the main board, the workbook's title, and PGN files brought
// in through the Games window or the Open dialog.
#include "EditorTestSupport.h"
#include "app/frmMain.h"
#include "editor/frmGames.h"
#include "tests/app/AppTestSupport.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QtTest>

using namespace apptest;

class frmMainWorkbookTest : public WindowTest {
    Q_OBJECT

private:
    // A main window on a new workbook made with File, New Workbook.
    std::unique_ptr<frmMain> NewWorkbook(const std::shared_ptr<ScriptedPrompts>& prompts) {
        auto window = std::make_unique<frmMain>();
        window->SetEditorPrompts(prompts);
        window->NewWorkbook();
        return window;
    }

private slots:
    void buildAWorkbookAndTrainIt() {
        auto prompts = std::make_shared<ScriptedPrompts>();
        const QString file = FreshFile("built.brl");
        prompts->file = file;
        prompts->answerText = "Endgame exercises";
        auto window = NewWorkbook(prompts);
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(TextOf(window.get(), "txtWorkbook"), QString("Endgame exercises"));
        frmGames* games = window->objGamesWindow();
        QVERIFY(games);
        QVERIFY(games->lblEmpty->isVisibleTo(games));

        frmGameEditor* editor = games->NewGame();
        QVERIFY(editor);
        EnterGame(*editor);
        editor->txtDescription->setText("King and rook");
        QVERIFY(editor->isSave());
        QCOMPARE(games->arrlngShownIDs(), std::vector<int32_t>{1});
        QVERIFY(!games->lblEmpty->isVisibleTo(games));
        QVERIFY(games->isSelectGame(1));
        games->cmdTrain->click();
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);
        QCOMPARE(TextOf(window.get(), "txtGameDescription"), QString("King and rook"));

        // The title is edited in place and stored in the workbook.
        auto* title = window->findChild<QLineEdit*>("txtWorkbook");
        title->setText("Rook endings");
        emit title->editingFinished();
        CWorkBook reopened;
        QCOMPARE(QString::fromStdString(reopened.strOpenWorkBook(file.toStdString())),
                 QString("Rook endings"));

        // An existing file is never replaced by a new workbook.
        window->NewWorkbook();
        QCOMPARE(window->objWorkBook()->lngCountGames(), int64_t(1));
        QVERIFY(prompts->errors.last().contains("already exists"));
    }

    void fileNamesGetTheirExtensionAndPgnDialogsStartInTheUsersFolders() {
        auto prompts = std::make_shared<ScriptedPrompts>();
        const QString book = FreshFile("newbook");
        prompts->file = book;
        auto window = NewWorkbook(prompts);
        QCOMPARE(window->objWorkBook()->strFileName(),
                 QDir::toNativeSeparators(book + ".brl").toStdString());
        frmGames* games = window->objGamesWindow();
        QVERIFY(games);

        // The first PGN dialog starts in the user's documents, later ones where PGN was last used.
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString start = QFileInfo(documents).isDir() ? documents : QDir::homePath();
        const QString pgn = WriteFile(
            dir.filePath("pgn/two.pgn"),
            "[FEN \"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\"]\n[SetUp \"1\"]\n\n1. Ra8# *\n\n"
            "[FEN \"r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1\"]\n[SetUp \"1\"]\n\n1... Ra1# *\n");
        prompts->file = pgn;
        games->ImportPgn();
        QCOMPARE(window->objWorkBook()->lngCountGames(), int64_t(2));
        prompts->file = dir.filePath("pgn/export-all");
        games->tblGames->clearSelection();
        games->ExportPgn();
        QVERIFY(QFileInfo::exists(dir.filePath("pgn/export-all.pgn")));
        QCOMPARE(prompts->folders.mid(1), (QStringList{start, QFileInfo(pgn).absolutePath()}));
        QCOMPARE(prompts->filters.last(), QString("PGN files (*.pgn);;All files (*)"));
        games->close();

        // A PGN file chosen in the Open dialog is offered for import: into the current workbook,
        // or into a new one, which is then the one trained.
        const struct {
            const char* button;
            QString file;
            int64_t games;
        } choices[] = {{"Into the &current workbook", book + ".brl", 4},
                       {"Into a &new workbook...", FreshFile("from-pgn.brl"), 2}};
        prompts->file = FreshFile("from-pgn");
        for (const auto& choice : choices) {
            QTRY_VERIFY(window->objGamesWindow() == nullptr);
            ModalScript script;
            script.Then(ChooseFile(pgn)).Then([&](QWidget* box) {
                for (QPushButton* button : box->findChildren<QPushButton*>())
                    if (button->text() == choice.button) button->click();
            });
            window->OpenWorkbook();
            QTRY_VERIFY(script.isDone());
            QVERIFY2(
                script.Seen().at(1).text.startsWith("\"two.pgn\" is a PGN file, not a workbook."),
                qPrintable(script.Seen().at(1).text));
            QTRY_COMPARE(window->objWorkBook()->lngCountGames(), choice.games);
            QCOMPARE(window->objWorkBook()->strFileName(),
                     QDir::toNativeSeparators(choice.file).toStdString());
            QTRY_VERIFY(Shown(window.get()) != 0);
            if (window->objGamesWindow()) window->objGamesWindow()->close();
        }
    }
};

QTEST_MAIN(frmMainWorkbookTest)
#include "frmMainWorkbookTest.moc"
