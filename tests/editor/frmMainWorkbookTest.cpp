// End to end, offscreen: a new workbook from the main window, a game entered by setup and moves
// with a variation and saved, export and reimport, and the new game trained on the main board.
#include "EditorTestSupport.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "editor/frmGameEditor.h"
#include "editor/frmGames.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "tests/app/AppTestSupport.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

class frmMainWorkbookTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        apptest::IsolateSettings(dir.filePath("settings"));
    }

    void buildAWorkbookAndTrainIt() {
        auto prompts = std::make_shared<ScriptedPrompts>();
        const QString file = dir.filePath("built.brl");
        prompts->file = file;
        prompts->answerText = "Endgame exercises";
        frmMain window;
        window.SetEditorPrompts(prompts);
        window.NewWorkbook();
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(window.findChild<QLineEdit*>("txtWorkbook")->text(), QString("Endgame exercises"));
        frmGames* games = window.objGamesWindow();
        QVERIFY(games);
        QVERIFY(games->lblEmpty->isVisibleTo(games));

        // A game by setup and moves, with a second defence as a variation.
        frmGameEditor* editor = games->NewGame();
        QVERIFY(editor);
        QVERIFY(editor->objBoard()->SetFen("7k/p7/5K2/8/8/8/8/6R1 w - - 0 1"));
        editor->objBoard()->cmdApplySetup_Click();
        for (const char* move : {"Kf7", "Kh7", "Rh1#"})
            editor->objBoard()->MovePgn(move, true, true);
        editor->objBoard()->cmdNavigation_Click(2);
        editor->objBoard()->cmdNavigation_Click(2);
        for (const char* move : {"a6", "Rh1#"})
            editor->objBoard()->MovePgn(move, true, true);
        editor->txtDescription->setText("King and rook");
        editor->txtPageRef->setText("p.7");
        QVERIFY(editor->isSave());
        QCOMPARE(games->arrlngShownIDs(), std::vector<int32_t>{1});

        // Export the new game and read it back into another workbook.
        QVERIFY(games->isSelectGame(1));
        const QString exported = dir.filePath("one.pgn");
        games->ExportPgnTo(exported);
        TempWorkbook other;
        frmGames reread(other.workbook, nullptr, prompts);
        reread.ImportPgnFrom(exported);
        QCOMPARE(other.workbook->lngCountGames(), int64_t(1));
        std::string d1, p1, g1, d2, p2, g2;
        // The same nodes (keys name position and move), whatever order PGN gives them.
        const auto keys = [](const CGameTree& tree) {
            QStringList list;
            for (const auto& node : tree)
                list << QString::fromStdString(node->strKey() + "<" + node->strParentKey());
            list.sort();
            return list;
        };
        const auto built = window.objWorkBook()->objLoadGame(1, d1, p1, g1);
        const auto again = other.workbook->objLoadGame(1, d2, p2, g2);
        QCOMPARE(built->Count(), 6);
        QCOMPARE(keys(*again), keys(*built));
        QCOMPARE(QString::fromStdString(d2), QString("King and rook"));

        // Train the new game on the main board: three stored moves of the trainee solve it.
        QVERIFY(games->isSelectGame(1));
        games->cmdTrain->click();
        cntrlChessGui* board = window.objBoard();
        QCOMPARE(board->boardMode(), BoardMode::Training);
        QCOMPARE(apptest::TextOf(&window, "txtGameDescription"), QString("King and rook"));
        QVERIFY(apptest::DragStoredMove(board));
        QVERIFY(apptest::DragStoredMove(board));
        QTRY_COMPARE(window.objWorkBook()->objGetGameRow(1)->lngSolve, 1);

        // The title is edited in place and stored in the workbook.
        auto* title = window.findChild<QLineEdit*>("txtWorkbook");
        title->setText("Rook endings");
        emit title->editingFinished();
        CWorkBook reopened;
        QCOMPARE(QString::fromStdString(reopened.strOpenWorkBook(file.toStdString())),
                 QString("Rook endings"));
    }

    void copyFenPutsTheTrainingPositionOnTheClipboard() {
        auto prompts = std::make_shared<ScriptedPrompts>();
        prompts->file = dir.filePath("fen.brl");
        frmMain window;
        window.SetEditorPrompts(prompts);
        window.NewWorkbook();
        frmGameEditor* editor =
            window.objGamesWindow()->NewGameFromFen("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
        editor->objBoard()->MovePgn("Ra8#", true, true);
        QVERIFY(editor->isSave());
        window.objGamesWindow()->close();
        QTRY_VERIFY(window.objGamesWindow() == nullptr);
        window.findChild<QAction*>("mnuCopyFen")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("6k1/5ppp/8/8/8/8/8/R5K1 w - -"));
        // An existing file is never replaced by a new workbook.
        window.NewWorkbook();
        QCOMPARE(window.objWorkBook()->lngCountGames(), int64_t(1));
        QVERIFY(prompts->errors.last().contains("already exists"));
    }

    void fileNamesGetTheirExtensionAndPgnDialogsStartInTheUsersFolders() {
        auto prompts = std::make_shared<ScriptedPrompts>();
        prompts->file = dir.filePath("newbook");
        frmMain window;
        window.SetEditorPrompts(prompts);
        window.NewWorkbook();
        QVERIFY(QFileInfo::exists(dir.filePath("newbook.brl")));
        QCOMPARE(window.objWorkBook()->strFileName(),
                 QDir::toNativeSeparators(dir.filePath("newbook.brl")).toStdString());
        frmGames* games = window.objGamesWindow();
        QVERIFY(games);

        // The first PGN dialog starts in the user's documents, later ones where PGN was last used.
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString start = QFileInfo(documents).isDir() ? documents : QDir::homePath();
        QDir().mkpath(dir.filePath("pgn"));
        const QString pgn = dir.filePath("pgn/two.pgn");
        {
            std::ofstream out(pgn.toStdString());
            out << "[FEN \"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\"]\n[SetUp \"1\"]\n\n1. Ra8# *\n\n"
                << "[FEN \"r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1\"]\n[SetUp \"1\"]\n\n1... Ra1# *\n";
        }
        prompts->file = pgn;
        games->ImportPgn();
        QCOMPARE(window.objWorkBook()->lngCountGames(), int64_t(2));
        prompts->file = dir.filePath("pgn/export-all");
        games->tblGames->clearSelection();
        games->ExportPgn();
        QVERIFY(QFileInfo::exists(dir.filePath("pgn/export-all.pgn")));
        QCOMPARE(prompts->folders.mid(1), (QStringList{start, QFileInfo(pgn).absolutePath()}));
        QCOMPARE(prompts->filters.last(), QString("PGN files (*.pgn);;All files (*)"));

        // A PGN file chosen in the Open dialog is recognised and offered for import.
        games->close();
        QTRY_VERIFY(window.objGamesWindow() == nullptr);
        apptest::ModalScript script;
        script.Then(apptest::ChooseFile(pgn)).Then([](QWidget* box) {
            for (QPushButton* button : box->findChildren<QPushButton*>())
                if (button->text() == "Into the &current workbook") button->click();
        });
        window.OpenWorkbook();
        QTRY_VERIFY(script.isDone());
        QVERIFY2(script.Seen().at(1).text.startsWith("\"two.pgn\" is a PGN file, not a workbook."),
                 qPrintable(script.Seen().at(1).text));
        QTRY_COMPARE(window.objWorkBook()->lngCountGames(), int64_t(4));
        QCOMPARE(window.objWorkBook()->strFileName(),
                 QDir::toNativeSeparators(dir.filePath("newbook.brl")).toStdString());

        // Or into a new workbook, which is then the one trained.
        if (window.objGamesWindow()) window.objGamesWindow()->close();
        QTRY_VERIFY(window.objGamesWindow() == nullptr);
        prompts->file = dir.filePath("from-pgn");
        apptest::ModalScript again;
        again.Then(apptest::ChooseFile(pgn)).Then([](QWidget* box) {
            for (QPushButton* button : box->findChildren<QPushButton*>())
                if (button->text() == "Into a &new workbook...") button->click();
        });
        window.OpenWorkbook();
        QTRY_VERIFY(again.isDone());
        QTRY_COMPARE(window.objWorkBook()->strFileName(),
                     QDir::toNativeSeparators(dir.filePath("from-pgn.brl")).toStdString());
        QTRY_COMPARE(window.objWorkBook()->lngCountGames(), int64_t(2));
        QTRY_VERIFY(window.objSession().lngCurrentGameId() != 0);
    }
};

QTEST_MAIN(frmMainWorkbookTest)
#include "frmMainWorkbookTest.moc"
