// The record the trainee keeps, through the real main window offscreen over real workbook files:
// every result lands on the game that was on the board, and every change of workbook or of its
// games leaves no state of what was there before.
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
#include <fstream>

using namespace apptest;

class frmMainRecordTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString sample; // a fresh copy of the sample workbook (or of four games without it)
    QString four;   // a fresh copy of the four-game workbook

    std::unique_ptr<frmMain> Open(const QString& workbook) {
        SetSetting("General/LastOpened", workbook);
        auto window = std::make_unique<frmMain>();
        window->show();
        [&] { QTRY_VERIFY(window->objWorkBook() != nullptr); }();
        return window;
    }

    static void Trigger(frmMain* window, const char* action) {
        window->findChild<QAction*>(action)->trigger();
    }

    static int32_t Shown(frmMain* window) { return window->objSession().lngCurrentGameId(); }

    // Ends the shown game as a success, by three wrong moves or by Show solution.
    static void EndGame(frmMain* window, const QString& ending) {
        cntrlChessGui* board = window->objBoard();
        if (ending == "success") {
            for (int moves = 0; board->boardMode() == BoardMode::Training && moves < 40; ++moves)
                QVERIFY2(DragStoredMove(board), "a stored move could not be dragged");
        } else if (ending == "three wrong moves") {
            for (int k = 0; k < 3; ++k)
                QVERIFY(DragWrongMove(board));
        } else {
            Trigger(window, "mnuShowSolution");
        }
        QCOMPARE(board->boardMode(), BoardMode::View);
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

    QString WritePgn(const QString& name, const char* text) {
        const QString file = dir.filePath(name);
        std::ofstream(file.toStdString()) << text;
        return file;
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
        four = dir.filePath("four-" + tag + ".brl").replace(' ', '_');
        QFile::remove(four);
        testwb::Build(four.toStdString(), testwb::fourGamesPgn);
        sample = dir.filePath("sample-" + tag + ".brl").replace(' ', '_');
        QFile::remove(sample);
        const QString built = QStringLiteral(BRISOLT_SAMPLE_WORKBOOK);
        QVERIFY(QFile::copy(QFile::exists(built) ? built : four, sample));
        QFile::setPermissions(sample, QFile::ReadOwner | QFile::WriteOwner);
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
        auto window = Open(sample);
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

        auto window = Open(four);
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("66.67"));
        QVERIFY(window->isOpenWorkbook(solved));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("100.00"));
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
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("66.67"));
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
        games->ImportPgnFrom(WritePgn("four.pgn", testwb::fourGamesPgn));
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
        auto window = Open(four);
        EndGame(window.get(), "show solution");
        QCOMPARE(TextOf(window.get(), "lblScore"), QString(".00"));
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
        QCOMPARE(TextOf(window.get(), "lblScore"), QString(".00"));

        // The shown game itself edited: it starts again with what was saved.
        QVERIFY(games->isSelectGame(shown));
        editor = games->EditGame();
        QVERIFY(editor);
        editor->txtDescription->setText("Edited while shown");
        QVERIFY(editor->isSave());
        QCOMPARE(Shown(window.get()), shown);
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);
        QCOMPARE(TextOf(window.get(), "txtGameDescription"), QString("Edited while shown"));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString(".00"));
    }

    void aGameThatCannotBeShownIsReportedAndPassedBy() {
        testwb::Execute(four.toStdString(), "delete from GameNode where GameTreeID=2");
        auto window = Open(four);
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
};

QTEST_MAIN(frmMainRecordTest)
#include "frmMainRecordTest.moc"
