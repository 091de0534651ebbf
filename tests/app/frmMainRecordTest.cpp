// Training and the record the trainee keeps, through the real main window offscreen over real
// workbook files: every result lands on the game that was on the board, once, and every change
// of workbook or of its games leaves no state of what was there before.
#include "app/CTrainingSession.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "editor/frmGameEditor.h"
#include "editor/frmGames.h"
#include "game/CPosition.h"
#include "model/CDiagram.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"
#include "tests/editor/EditorTestSupport.h"
#include "workbook/CWorkBook.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace apptest;

class frmMainRecordTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString sample; // a fresh copy of the sample workbook (or of four games without it)
    QString four;   // a fresh copy of the four-game workbook
    std::vector<int32_t> fourIds;

    static int32_t Shown(frmMain* window) { return window->objSession().lngCurrentGameId(); }

    // Ends the shown game as a success, by three wrong moves (each one marked) or by Show
    // solution, and checks what the window shows at the end of the first recorded game.
    static void EndGame(frmMain* window, const QString& ending) {
        cntrlChessGui* board = window->objBoard();
        if (ending == "success") {
            SolveByDragging(board);
        } else if (ending == "three wrong moves") {
            for (int k = 0; k < 2; ++k) {
                QVERIFY(DragWrongMove(board));
                QVERIFY(isShown(window, qPrintable(QString("lblError%1").arg(k))));
                QCOMPARE(board->boardMode(), BoardMode::Training);
            }
            QVERIFY(!isShown(window, "lblError2"));
            QVERIFY(DragWrongMove(board));
            QVERIFY(!isShown(window, "lblError0"));
        } else {
            Trigger(window, "mnuShowSolution");
        }
        QCOMPARE(board->boardMode(), BoardMode::View);
        QCOMPARE(isShown(window, "imgSuccess"), ending == "success");
        QCOMPARE(isShown(window, "imgFail"), ending != "success");
        QVERIFY(isShown(window, "cmdNext"));
        QVERIFY(isShown(window, "txtMsg"));
        QVERIFY(window->findChild<QPlainTextEdit*>("txtMsg")->toPlainText().startsWith(
            ending == "success" ? "Solved: " : "Not solved."));
        QCOMPARE(TextOf(window, "lblScore"), QString(ending == "success" ? "100.00%" : ".00%"));
        // Neither the label nor the menu can end the game a second time.
        QVERIFY(!window->findChild<QWidget*>("lblShowSolution")->isEnabled());
        QVERIFY(!window->findChild<QAction*>("mnuShowSolution")->isEnabled());
        window->ShowSolution();
    }

    static bool isBoardEmpty(frmMain* window) {
        const auto position = window->objBoard()->objPosition();
        return position && position->objDiagram() && position->objDiagram()->intCount() == 0;
    }

    static QString Message(frmMain* window) {
        return window->findChild<QPlainTextEdit*>("txtMsg")->toPlainText();
    }

    static QString NoGamesText() {
        return QString::fromStdString(CTrainingSession::strNoGamesMessage()).replace("\r\n", "\n");
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        IsolateSettings(dir.filePath("settings"));
    }

    void init() {
        ClearSettings();
        const QString tag = QTest::currentTestFunction() + QString("-") +
                            (QTest::currentDataTag() ? QTest::currentDataTag() : "");
        const FreshWorkbooks made =
            MakeFreshWorkbooks(dir.path(), tag, QStringLiteral(BRISOLT_SAMPLE_WORKBOOK));
        four = made.four;
        sample = made.sample;
        fourIds = made.fourIds;
        QVERIFY(QFile::exists(sample));
    }

    void aGameChosenInTheGamesWindowTakesItsOwnResult_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("ending");
        for (const char* how : {"Train this game", "double-click"})
            for (const char* ending : {"success", "three wrong moves", "show solution"})
                QTest::addRow("%s, %s", how, ending) << how << ending;
    }

    void aGameChosenInTheGamesWindowTakesItsOwnResult() {
        QFETCH(QString, how);
        QFETCH(QString, ending);
        auto window = OpenWindow(sample);
        Trigger(window.get(), "mnuNextGame"); // the second game of the batch is shown
        const int32_t second = Shown(window.get());
        const std::vector<int32_t> batch = window->objSession().arrlngGameIDs();
        const auto before = testwb::Rows(sample.toStdString());
        // The last game outside the batch (the batch's last one when it holds every game).
        int32_t chosen = batch.back();
        for (const auto& [id, row] : before)
            if (std::find(batch.begin(), batch.end(), id) == batch.end()) chosen = id;
        QVERIFY(chosen != second);

        frmGames* games = window->OpenGames();
        QVERIFY(games && games->isSelectGame(chosen));
        if (how == "double-click") {
            QTableView* table = games->tblGames;
            const QPoint row = table->visualRect(table->currentIndex()).center();
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row);
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row);
        } else {
            games->cmdTrain->click();
        }
        QTRY_VERIFY(window->objGamesWindow() == nullptr);
        QCOMPARE(Shown(window.get()), chosen);
        QCOMPARE(
            TextOf(window.get(), "txtGameDescription"),
            QString::fromStdString(window->objWorkBook()->objGetGameRow(chosen)->strDescription));
        const testwb::Stats was = testwb::Read(sample.toStdString(), chosen);
        EndGame(window.get(), ending);

        const auto after = testwb::Rows(sample.toStdString());
        QCOMPARE(after.size(), before.size());
        for (const auto& [id, row] : before) {
            if (id == chosen)
                QVERIFY(after.at(id) != row);
            else
                QCOMPARE(after.at(id), row); // every other game byte for byte as it was
        }
        const testwb::Stats now = testwb::Read(sample.toStdString(), chosen);
        QCOMPARE(now.hits, was.hits + 1);
        QCOMPARE(now.solve, was.solve + (ending == "success" ? 1 : 0));

        // The chosen game joined the batch after the game shown before it.
        Trigger(window.get(), "mnuPreviousGame");
        QCOMPARE(Shown(window.get()), second);
        Trigger(window.get(), "mnuNextGame");
        QCOMPARE(Shown(window.get()), chosen);
        Trigger(window.get(), "mnuNextGame");
        QCOMPARE(Shown(window.get()), batch.size() > 2 ? batch[2] : batch[0]);
    }

    void everyChangeOfWorkbookStartsFromTheNewOne() {
        {
            CWorkBook book;
            book.strOpenWorkBook(four.toStdString());
            book.UpdateSuccess(2);
            book.UpdateSuccess(3);
            book.UpdateError(4); // 2 of 3: 66.67
        }
        const QString solved = dir.filePath("solved.brl");
        testwb::Build(solved.toStdString(), testwb::fourGamesPgn);
        testwb::Execute(solved.toStdString(), "update GameTree set Hits=1, Solve=1 where ID=1");
        const QString empty = dir.filePath("empty.brl");
        testwb::BuildEmpty(empty.toStdString());

        auto window = OpenWindow(four);
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("66.67%"));
        QVERIFY(window->isOpenWorkbook(solved));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("100.00%"));
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);

        // An empty workbook: an empty board, a plain message, nothing to end or go back to.
        QVERIFY(window->isOpenWorkbook(empty));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));
        QVERIFY(isBoardEmpty(window.get()));
        QCOMPARE(Shown(window.get()), 0);
        QCOMPARE(TextOf(window.get(), "txtGameDescription"), QString());
        QCOMPARE(TextOf(window.get(), "lblToPlay"), QString());
        QCOMPARE(Message(window.get()), NoGamesText());
        QVERIFY(!window->findChild<QAction*>("mnuShowSolution")->isEnabled());
        QVERIFY(!window->findChild<QAction*>("mnuPreviousGame")->isEnabled());
        QVERIFY(!window->findChild<QAction*>("mnuCrafty")->isEnabled());
        ModalScript none;
        none.Then(Cancel());
        Trigger(window.get(), "mnuNextGame");
        Trigger(window.get(), "mnuShowSolution");
        QVERIFY(none.Seen().empty());
        QCOMPARE(Message(window.get()), NoGamesText());

        // Reopened after the empty one, a workbook shows its own score.
        QVERIFY(window->isOpenWorkbook(four));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("66.67%"));
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);

        // A new workbook (named without its extension) replaces the game on the board.
        auto prompts = std::make_shared<ScriptedPrompts>();
        prompts->file = dir.filePath("fresh");
        prompts->answerText = "Fresh";
        window->SetEditorPrompts(prompts);
        window->NewWorkbook();
        QVERIFY(QFile::exists(dir.filePath("fresh.brl")));
        QCOMPARE(prompts->filters.value(0), QString("Workbooks (*.brl);;All files (*)"));
        QCOMPARE(window->windowTitle(), QString("Fresh - Brisolt"));
        QVERIFY(isBoardEmpty(window.get()));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));
        QCOMPARE(Message(window.get()), NoGamesText());
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::View);

        // Games imported into it: its first game is shown, ready to train.
        frmGames* games = window->objGamesWindow();
        QVERIFY(games);
        games->ImportPgnFrom(WriteFile(dir.filePath("four.pgn"), testwb::fourGamesPgn));
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);
        const int32_t first = Shown(window.get());
        QVERIFY(first != 0);
        QVERIFY(window->findChild<QAction*>("mnuCrafty")->isEnabled());

        // The shown game deleted: another one of the workbook takes its place.
        QVERIFY(games->isSelectGame(first));
        prompts->answers = {true};
        games->cmdDelete->click();
        QVERIFY(Shown(window.get()) != 0);
        QVERIFY(Shown(window.get()) != first);
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);
        for (int32_t id : window->objSession().arrlngGameIDs())
            QVERIFY(id != first);
    }

    void editsKeepTheRunningScoreAndTheShownGame() {
        auto window = OpenWindow(four);
        EndGame(window.get(), "show solution");
        QCOMPARE(TextOf(window.get(), "lblScore"), QString(".00%"));
        const int32_t shown = Shown(window.get());
        // The file's totals move on behind the window's back; the running score does not.
        testwb::Execute(four.toStdString(), "update GameTree set Hits=9, Solve=9 where ID=4");

        auto prompts = std::make_shared<ScriptedPrompts>();
        window->SetEditorPrompts(prompts);
        frmGames* games = window->OpenGames();
        const int32_t other = shown == 2 ? 3 : 2;
        QVERIFY(games->isSelectGame(other));
        frmGameEditor* editor = games->EditGame();
        QVERIFY(editor);
        editor->txtDescription->setText("Renamed");
        QVERIFY(editor->isSave());
        QCOMPARE(Shown(window.get()), shown);
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::View); // the ended game stays ended
        QCOMPARE(TextOf(window.get(), "lblScore"), QString(".00%"));

        // The shown game itself edited: it starts again with what was saved.
        QVERIFY(games->isSelectGame(shown));
        editor = games->EditGame();
        QVERIFY(editor);
        editor->txtDescription->setText("Edited while shown");
        QVERIFY(editor->isSave());
        QCOMPARE(Shown(window.get()), shown);
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);
        QCOMPARE(TextOf(window.get(), "txtGameDescription"), QString("Edited while shown"));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString(".00%"));
    }

    void aGameThatCannotBeShownIsReportedAndPassedBy() {
        testwb::Execute(four.toStdString(), "delete from GameNode where GameTreeID=2");
        auto window = OpenWindow(four);
        QCOMPARE(Shown(window.get()), 1);
        ModalScript script;
        script.Then(Press(QMessageBox::Ok));
        Trigger(window.get(), "mnuNextGame");
        QTRY_VERIFY(script.isDone());
        QCOMPARE(script.Seen().at(0).icon, int(QMessageBox::Critical));
        QCOMPARE(Shown(window.get()), 0); // nothing of game 1 stays to be recorded for game 2
        QVERIFY(isBoardEmpty(window.get()));
        Trigger(window.get(), "mnuNextGame");
        QCOMPARE(Shown(window.get()), 3);
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);
    }

    void programRepliesAreAnnouncedInTheMessage() {
        auto window = OpenWindow(four);
        cntrlChessGui* board = window->objBoard();
        auto* message = window->findChild<QPlainTextEdit*>("txtMsg");
        QCOMPARE(message->toPlainText(), QString("It's now your turn.\nPlease make your move."));
        QVERIFY(DragStoredMove(board)); // 1. e4, answered with 1... e5
        QCOMPARE(message->toPlainText(),
                 QString("Computer played \ne5\n\nIt's now your turn.\nPlease make your move."));
        QCOMPARE(board->boardMode(), BoardMode::Training);
    }

    void showSolutionThenNextPastTheBatchThenPrevious() {
        auto window = OpenWindow(four);
        cntrlChessGui* board = window->objBoard();
        QAction* showSolution = window->findChild<QAction*>("mnuShowSolution");
        QAction* previous = window->findChild<QAction*>("mnuPreviousGame");
        QVERIFY(!previous->isEnabled());
        showSolution->trigger();
        QCOMPARE(board->boardMode(), BoardMode::View);
        QVERIFY(!showSolution->isEnabled());
        QCOMPARE(testwb::Read(four.toStdString(), fourIds[0]).errorStreak, 1);

        window->findChild<QPushButton*>("cmdNext")->click();
        QCOMPARE(TextOf(window.get(), "txtGameDescription"),
                 QString("Black mates on the back rank"));
        QVERIFY(board->isWhiteOnTop());
        QCOMPARE(board->ComputerPlays(), 0);
        QCOMPARE(TextOf(window.get(), "lblToPlay"), QString("Black to play"));
        QVERIFY(previous->isEnabled());
        QVERIFY(showSolution->isEnabled());

        Trigger(window.get(), "mnuNextGame");
        Trigger(window.get(), "mnuNextGame");
        QCOMPARE(window->objSession().lngGameIndex(), 3);
        ModalScript summary; // the batch's summary, closed with Esc: the next batch begins
        summary.Then(Cancel());
        Trigger(window.get(), "mnuNextGame"); // past the batch: a new one
        QVERIFY(summary.isDone());
        QCOMPARE(summary.Seen().at(0).title, QString("Batch finished"));
        QCOMPARE(window->objSession().lngGameIndex(), 0);
        // The failed game has the longest error streak: it comes first.
        QCOMPARE(window->objSession().lngCurrentGameId(), fourIds[0]);
        QVERIFY(!previous->isEnabled());

        Trigger(window.get(), "mnuNextGame");
        previous->trigger();
        QCOMPARE(window->objSession().lngGameIndex(), 0);
        QCOMPARE(TextOf(window.get(), "txtGameDescription"),
                 QString("Punish the early queen defence"));
    }

    void clearLogAsksFirstAndClearsOnYes() {
        auto window = OpenWindow(four);
        window->ShowSolution();
        QCOMPARE(TextOf(window.get(), "lblScore"), QString(".00%"));

        ModalScript no;
        no.Then(Press(QMessageBox::No));
        window->ClearLog();
        QVERIFY(no.isDone());
        QCOMPARE(no.Seen().at(0).text,
                 QString("This will remove all the training scores.\rAre you sure?"));
        QCOMPARE(no.Seen().at(0).icon, int(QMessageBox::Question));
        QCOMPARE(no.Seen().at(0).title, QString("Brisolt"));
        QCOMPARE(testwb::Read(four.toStdString(), fourIds[0]).hits, 1);

        ModalScript yes;
        yes.Then(Press(QMessageBox::Yes)).Then(Press(QMessageBox::No));
        window->ClearLog();
        QVERIFY(yes.isDone());
        QCOMPARE(testwb::Read(four.toStdString(), fourIds[0]).hits, 0);
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));
    }
};

QTEST_MAIN(frmMainRecordTest)
#include "frmMainRecordTest.moc"
