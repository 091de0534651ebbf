// Training and the record the trainee keeps, through the real window offscreen over real
// workbook files: every result lands on the game that was on the board, once, with its figures
// in the history; a workbook that breaks while open; every change of workbook or of its games
// leaves nothing of what was there before; new workbooks, games entered and PGN brought in.
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "editor/CBackgroundTask.h"
#include "editor/frmGameEditor.h"
#include "editor/frmGames.h"
#include "game/CPosition.h"
#include "model/CDiagram.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/workbook/RawDatabase.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace apptest;

namespace {

// Plays wrong moves (each one marked while the game goes on), then ends the shown game by
// solving it ("solve"), by Show solution ("show") or by the third wrong move (""), and checks
// what the window shows at the end of the first recorded game.
void EndGame(frmMain* window, int wrong, const QString& ending) {
    cntrlChessGui* board = window->objBoard();
    for (int k = 0; k < wrong; ++k) {
        QVERIFY(DragWrongMove(board));
        if (k == 2) break;
        QVERIFY(isShown(window, qPrintable(QString("lblError%1").arg(k))));
        QVERIFY(!isShown(window, qPrintable(QString("lblError%1").arg(k + 1))));
    }
    if (ending == "solve") SolveByDragging(board);
    if (ending == "show") Trigger(window, "mnuShowSolution");
    const bool solved = ending == "solve";
    QVERIFY(!isShown(window, "lblError0"));
    QCOMPARE(isShown(window, "imgSuccess"), solved);
    QCOMPARE(isShown(window, "imgFail"), !solved);
    // The picture shown is drawn, green for a solved game and red for the others.
    const QImage picture =
        window->findChild<QLabel*>(solved ? "imgSuccess" : "imgFail")->pixmap().toImage();
    QVERIFY(!picture.isNull());
    const QColor belowSign = picture.pixelColor(picture.width() / 2, picture.height() * 3 / 4);
    QCOMPARE(belowSign.green() > belowSign.red(), solved);
    QVERIFY(isShown(window, "cmdNext"));
    QCOMPARE(TextOf(window, "lblScore"), QString(solved ? "100.00%" : ".00%"));
    // Neither the label nor the menu can end the game a second time.
    QVERIFY(!window->findChild<QWidget*>("lblShowSolution")->isEnabled());
    QVERIFY(!window->findChild<QAction*>("mnuShowSolution")->isEnabled());
    window->ShowSolution();
}

} // namespace

class frmMainRecordTest : public WindowTest {
    Q_OBJECT

private slots:
    void aGameChosenInTheGamesWindowTakesItsOwnResult() {
        // How the game is chosen, the wrong moves played, and how the game ends.
        const std::tuple<const char*, int, QString> rows[] = {
            {"Train this game", 2, "solve"}, {"double-click", 3, ""}, {"double-click", 1, "show"}};
        for (const auto& [how, wrong, ending] : rows) {
            // A copy of the sample workbook as the build makes it (of the four games without it).
            const QString sample = FreshFile(QString("sample-%1.brl").arg(wrong));
            const QString built = QStringLiteral(BRISOLT_SAMPLE_WORKBOOK);
            QVERIFY(QFile::copy(QFile::exists(built) ? built : four, sample));
            QFile::setPermissions(sample, QFile::ReadOwner | QFile::WriteOwner);
            auto window = Open(sample);
            // Not the batch's first game: the result is not its.
            Trigger(window.get(), "mnuNextGame");
            const std::vector<int32_t> batch = window->objSession().arrlngGameIDs();
            // The last game outside the batch (the batch's last one when it holds every game).
            int32_t chosen = batch.back();
            for (int32_t id : window->objWorkBook()->arrlngGetGameIDs())
                if (std::find(batch.begin(), batch.end(), id) == batch.end()) chosen = id;
            QVERIFY(chosen != Shown(window.get()));
            // Every other game's row, every column.
            const std::string others =
                "select * from GameTree where ID <> " + std::to_string(chosen) + " order by ID";
            const auto before = RawDatabase(sample.toStdString()).rows(others);

            frmGames* games = window->OpenGames();
            QVERIFY(games && games->isSelectGame(chosen));
            if (QString(how) == "double-click") {
                QTableView* table = games->tblGames;
                const QPoint row = table->visualRect(table->currentIndex()).center();
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row);
                QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row);
            } else {
                games->cmdTrain->click();
            }
            QTRY_VERIFY(window->objGamesWindow() == nullptr);
            QCOMPARE(Shown(window.get()), chosen);
            const testwb::Stats was = testwb::Read(sample.toStdString(), chosen);
            const auto history = testwb::History(sample.toStdString());
            EndGame(window.get(), wrong, ending);

            QCOMPARE(RawDatabase(sample.toStdString()).rows(others), before);
            const testwb::Stats now = testwb::Read(sample.toStdString(), chosen);
            QCOMPARE(now.hits, was.hits + 1);
            QCOMPARE(now.solve, was.solve + (ending == "solve" ? 1 : 0));
            // One history row: the game, solved, the wrong moves, the solution shown, a time.
            auto expected = history;
            expected.push_back(QString::asprintf("%d %d %d %d 1", chosen, ending == "solve", wrong,
                                                 ending == "show")
                                   .toStdString());
            QCOMPARE(testwb::History(sample.toStdString()), expected);
        }
    }

    void editsKeepTheRunningScoreAndTheShownGame() {
        auto window = Open();
        EndGame(window.get(), 0, "show");
        const int32_t shown = Shown(window.get());
        // The file's totals move on behind the window's back; the running score does not.
        RawDatabase(four.toStdString()).exec("update GameTree set Hits=9, Solve=9 where ID=4");

        window->SetEditorPrompts(std::make_shared<ScriptedPrompts>());
        frmGames* games = window->OpenGames();
        // Another game edited, then the shown game itself: that one starts again as saved. Each:
        // the game edited, then the shown game's board mode and description.
        const std::tuple<int32_t, BoardMode, const char*> edits[] = {
            {shown == 2 ? 3 : 2, BoardMode::View, "Punish the early queen defence"},
            {shown, BoardMode::Training, "Edited while shown"}};
        for (const auto& [id, mode, description] : edits) {
            QVERIFY(games->isSelectGame(id));
            frmGameEditor* editor = games->EditGame();
            QVERIFY(editor);
            editor->txtDescription->setText("Edited while shown");
            QVERIFY(editor->isSave());
            QCOMPARE(window->objBoard()->boardMode(), mode);
            QCOMPARE(TextOf(window.get(), "txtGameDescription"), QString(description));
            QCOMPARE(TextOf(window.get(), "lblScore"), QString(".00%"));
        }
    }

    void aGameThatCannotBeShownOrRecordedIsReportedAndPassedBy() {
        RawDatabase(four.toStdString()).exec("delete from GameNode where GameTreeID=2");
        auto window = Open();
        ModalScript script(Press(QMessageBox::Ok));
        Trigger(window.get(), "mnuNextGame");
        QTRY_VERIFY(script.isDone());

        // A write that fails leaves the game ended and unrecorded.
        QVERIFY(!isShown(window.get(), "lblReadOnly"));
        // Another program breaks the file under the open window.
        RawDatabase(four.toStdString()).exec("alter table GameTree rename to Broken");
        script.Then(Press(QMessageBox::Ok));
        Trigger(window.get(), "mnuShowSolution");
        QTRY_VERIFY(script.isDone());
        const SeenModal& box = script.Seen().at(1);
        QCOMPARE(box.icon, int(QMessageBox::Critical));
        QCOMPARE(box.text, "The result could not be recorded in " + four +
                               ": no such table: GameTree.\r\nThis game counts as not recorded.");
        // The solution can be stepped through; nothing is counted.
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::View);
        QCOMPARE(Message(window.get()), QString("This result was not recorded."));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));

        // Clearing the log fails the same way: the file and the reason, never the raw text alone.
        ModalScript clear(Press(QMessageBox::Yes));
        clear.Then(Press(QMessageBox::No)).Then(Press(QMessageBox::Ok));
        window->ClearLog();
        QTRY_VERIFY(clear.isDone());
        QCOMPARE(clear.Seen().at(2).text,
                 "The training log could not be cleared in " + four + ": no such table: GameTree.");
    }

    // A new workbook (named without its extension) takes the place of the game trained, with
    // nothing of the workbook before; a game entered into it is trained and its title edited;
    // then PGN brought in and written out, the dialogs starting in the user's folders.
    void buildAWorkbookAndTrainIt() {
        // Games 2 and 3 solved, game 4 failed: 66.67%.
        RawDatabase(four.toStdString()).exec("update GameTree set Hits=1, Solve=ID<4 where ID>1");
        auto prompts = std::make_shared<ScriptedPrompts>();
        const QString book = FreshFile("built");
        prompts->file = book;
        prompts->answerText = "Endgame exercises";
        auto window = Open();
        window->SetEditorPrompts(prompts);
        window->NewWorkbook();
        QCOMPARE(prompts->filters.value(0), QString("Workbooks (*.brl);;All files (*)"));
        QCOMPARE(TextOf(window.get(), "txtWorkbook"), QString("Endgame exercises"));
        // Empty: an empty board, nothing to end or go back to.
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));
        QCOMPARE(window->objBoard()->objPosition()->objDiagram()->intCount(), 0); // no pieces
        QCOMPARE(TextOf(window.get(), "lblToPlay"), QString());
        for (const char* action : {"mnuShowSolution", "mnuPreviousGame", "mnuCrafty"})
            QVERIFY2(!window->findChild<QAction*>(action)->isEnabled(), action);
        frmGames* games = window->objGamesWindow();
        QVERIFY(games);
        QVERIFY(games->lblEmpty->isVisibleTo(games));

        // The first game entered is shown at once, ready to train.
        frmGameEditor* editor = games->NewGame();
        QVERIFY(editor);
        EnterGame(*editor);
        editor->txtDescription->setText("King and rook");
        QVERIFY(editor->isSave());
        QCOMPARE(games->arrlngShownIDs(), std::vector<int32_t>{1});
        QVERIFY(!games->lblEmpty->isVisibleTo(games));
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);
        QCOMPARE(TextOf(window.get(), "txtGameDescription"), QString("King and rook"));
        QVERIFY(window->findChild<QAction*>("mnuCrafty")->isEnabled());
        games->close();

        // The title is edited in place and stored in the workbook.
        auto* title = window->findChild<QLineEdit*>("txtWorkbook");
        title->setText("Rook endings");
        emit title->editingFinished();
        CWorkBook reopened;
        QCOMPARE(
            QString::fromStdString(reopened.strOpenWorkBook(window->objWorkBook()->strFileName())),
            QString("Rook endings"));

        // An existing file is never replaced by a new workbook.
        window->NewWorkbook();
        QVERIFY(prompts->errors.last().contains("already exists"));
        // Nor is a file left by one that could not be written (a full disk): its name stays free.
        prompts->file = FreshFile("full");
        ModalScript full(Press(QMessageBox::Ok));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit tiny{1, limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &tiny);
        window->NewWorkbook();
        setrlimit(RLIMIT_FSIZE, &limit);
        QVERIFY(full.isDone());
        QVERIFY(!QFileInfo::exists(prompts->file + ".brl"));

        // The first PGN dialog starts in the user's documents, later ones where PGN was last used.
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString start = QFileInfo(documents).isDir() ? documents : QDir::homePath();
        const QString pgn = dir.filePath("pgn/two.pgn");
        QDir().mkpath(dir.filePath("pgn"));
        WriteFile(pgn.toStdString(),
                  "[FEN \"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\"]\n[SetUp \"1\"]\n\n1. Ra8# *\n\n"
                  "[FEN \"r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1\"]\n[SetUp \"1\"]\n\n1... Ra1# *\n");
        prompts->file = pgn;
        QTRY_VERIFY(window->objGamesWindow() == nullptr);
        games = window->OpenGames();
        games->ImportPgn();
        prompts->file = dir.filePath("pgn/export-all");
        games->tblGames->clearSelection();
        games->ExportPgn();
        QVERIFY(QFileInfo::exists(dir.filePath("pgn/export-all.pgn")));
        QCOMPARE(prompts->folders.mid(3), (QStringList{start, QFileInfo(pgn).absolutePath()}));
        QCOMPARE(prompts->filters.last(), QString("PGN files (*.pgn);;All files (*)"));
        // Cancel lets the engine end its search: the progress says so, and the window and its
        // commands wait for the task (closing it then ended the program).
        VerifyOptions slow;
        slow.limit.intMoveTimeMs = 1500;
        games->SetVerification("/usr/games/stockfish", slow);
        bool waited = false;
        ModalScript cancel([&](QWidget* progress) {
            auto* box = qobject_cast<QProgressDialog*>(progress);
            box->findChild<QPushButton*>()->click();
            games->close();
            waited = games->isVisible() && !games->cmdDelete->isEnabled() && games->objTask() &&
                     games->objTask()->isRunning() && box->isVisible() &&
                     box->labelText() == "Stopping after the current step...";
        });
        const qsizetype errors = prompts->errors.size();
        games->VerifyGames();
        QVERIFY(cancel.isDone() && waited);
        QCOMPARE(prompts->errors.size(), errors); // a cancel is no engine failure
        QVERIFY(games->cmdNew->isEnabled());
        games->close();

        // A PGN file chosen in the Open dialog is offered for import: into the current workbook,
        // or into a new one, which is then the one trained. Each: the button, the workbook
        // trained afterwards and its games.
        const std::tuple<const char*, QString, int64_t> choices[] = {
            {"Into the &current workbook", book + ".brl", 5},
            {"Into a &new workbook...", FreshFile("from-pgn.brl"), 2}};
        prompts->file = FreshFile("from-pgn");
        for (const auto& [button, file, count] : choices) {
            QTRY_VERIFY(window->objGamesWindow() == nullptr);
            ModalScript script;
            script.Then(ChooseFile(pgn)).Then([&](QWidget* box) {
                for (QPushButton* choice : box->findChildren<QPushButton*>())
                    if (choice->text() == button) choice->click();
            });
            window->OpenWorkbook();
            QTRY_VERIFY(script.isDone());
            QCOMPARE(script.Seen().at(1).text,
                     QString("\"two.pgn\" is a PGN file, not a workbook.\nImport its games?"));
            QTRY_COMPARE(window->objWorkBook()->lngCountGames(), count);
            QCOMPARE(window->objWorkBook()->strFileName(),
                     QDir::toNativeSeparators(file).toStdString());
            QTRY_VERIFY(Shown(window.get()) != 0);
            if (window->objGamesWindow()) window->objGamesWindow()->close();
        }
        // Reopened after the new ones, a workbook shows its own score.
        QVERIFY(window->isOpenWorkbook(four));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("66.67%"));
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);
    }
};

QTEST_MAIN(frmMainRecordTest)
#include "frmMainRecordTest.moc"
