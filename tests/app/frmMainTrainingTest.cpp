// The training window end to end, offscreen: real widgets, a real board, real workbook files.
#include "app/CSettings.h"
#include "app/CTrainingSession.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"
#include "workbook/CWorkBook.h"

#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace apptest;

class frmMainTrainingTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString sample; // a fresh copy of the sample workbook (or of our four games without it)
    QString four;   // a fresh copy of the four-game workbook
    std::vector<int32_t> fourIds;

    // Opens a window on the workbook as the last one used and waits for its first game.
    std::unique_ptr<frmMain> Open(const QString& workbook) {
        SetSetting("General/LastOpened", workbook);
        auto window = std::make_unique<frmMain>();
        window->show();
        [&] { QTRY_VERIFY(window->objWorkBook() != nullptr); }();
        return window;
    }

    static cntrlChessGui* Board(frmMain* window) { return window->objBoard(); }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        IsolateSettings(dir.filePath("settings"));
    }

    void init() {
        ClearSettings();
        four = dir.filePath(QString("four-%1.brl").arg(QTest::currentTestFunction()));
        QFile::remove(four);
        fourIds = testwb::Build(four.toStdString(), testwb::fourGamesPgn);
        sample = dir.filePath(QString("sample-%1.brl").arg(QTest::currentTestFunction()));
        QFile::remove(sample);
        const QString built = QStringLiteral(BRISOLT_SAMPLE_WORKBOOK);
        if (QFile::exists(built))
            QVERIFY(QFile::copy(built, sample));
        else
            QVERIFY(QFile::copy(four, sample));
        QFile::setPermissions(sample, QFile::ReadOwner | QFile::WriteOwner);
    }

    void solvingTheFirstGameByDraggingRecordsASuccess() {
        auto window = Open(sample);
        cntrlChessGui* board = Board(window.get());
        QCOMPARE(board->boardMode(), BoardMode::Training);
        const int32_t id = window->objSession().lngCurrentGameId();
        int moves = 0;
        while (board->boardMode() == BoardMode::Training && moves < 40) {
            QVERIFY2(DragStoredMove(board), "a stored move could not be dragged");
            ++moves;
        }
        QCOMPARE(board->boardMode(), BoardMode::View);
        QVERIFY(isShown(window.get(), "imgSuccess"));
        QVERIFY(!isShown(window.get(), "imgFail"));
        QVERIFY(isShown(window.get(), "cmdNext"));
        QVERIFY(!isShown(window.get(), "txtMsg"));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("100.00"));
        const testwb::Stats stats = testwb::Read(sample.toStdString(), id);
        QCOMPARE(stats.hits, 1);
        QCOMPARE(stats.solve, 1);
        QCOMPARE(stats.solveStreak, 1);
        QCOMPARE(stats.errorStreak, 0);
    }

    void programRepliesAreAnnouncedInTheMessage() {
        auto window = Open(four);
        cntrlChessGui* board = Board(window.get());
        auto* message = window->findChild<QPlainTextEdit*>("txtMsg");
        QCOMPARE(message->toPlainText(), QString("It's now your turn.\nPlease make your move."));
        QVERIFY(DragStoredMove(board)); // 1. e4, answered with 1... e5
        QCOMPARE(message->toPlainText(),
                 QString("Computer played \ne5\n\nIt's now your turn.\nPlease make your move."));
        QCOMPARE(board->boardMode(), BoardMode::Training);
    }

    void threeWrongMovesGiveOneFailureRecordedOnce() {
        auto window = Open(sample);
        cntrlChessGui* board = Board(window.get());
        const int32_t id = window->objSession().lngCurrentGameId();
        for (int k = 0; k < 2; ++k) {
            QVERIFY(DragWrongMove(board));
            QVERIFY(isShown(window.get(), qPrintable(QString("lblError%1").arg(k))));
            QCOMPARE(board->boardMode(), BoardMode::Training);
        }
        QVERIFY(!isShown(window.get(), "lblError2"));
        QVERIFY(DragWrongMove(board));
        QCOMPARE(board->boardMode(), BoardMode::View);
        QVERIFY(isShown(window.get(), "imgFail"));
        QVERIFY(!isShown(window.get(), "lblError0"));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString(".00"));
        // Neither the label nor the menu can record the failure a second time.
        auto* showSolution = window->findChild<QWidget*>("lblShowSolution");
        QVERIFY(!showSolution->isEnabled());
        window->ShowSolution();
        const testwb::Stats stats = testwb::Read(sample.toStdString(), id);
        QCOMPARE(stats.hits, 1);
        QCOMPARE(stats.solve, 0);
        QCOMPARE(stats.errorStreak, 1);
    }

    void showSolutionThenNextPastTheBatchThenPrevious() {
        auto window = Open(four);
        cntrlChessGui* board = Board(window.get());
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

        window->findChild<QAction*>("mnuNextGame")->trigger();
        window->findChild<QAction*>("mnuNextGame")->trigger();
        QCOMPARE(window->objSession().lngGameIndex(), 3);
        window->findChild<QAction*>("mnuNextGame")->trigger(); // past the batch: a new one
        QCOMPARE(window->objSession().lngGameIndex(), 0);
        // The failed game has the longest error streak: it comes first.
        QCOMPARE(window->objSession().lngCurrentGameId(), fourIds[0]);
        QVERIFY(!previous->isEnabled());

        window->findChild<QAction*>("mnuNextGame")->trigger();
        previous->trigger();
        QCOMPARE(window->objSession().lngGameIndex(), 0);
        QCOMPARE(TextOf(window.get(), "txtGameDescription"),
                 QString("Punish the early queen defence"));
    }

    void clearLogAsksFirstAndClearsOnYes() {
        auto window = Open(four);
        window->ShowSolution();
        QCOMPARE(TextOf(window.get(), "lblScore"), QString(".00"));

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
        yes.Then(Press(QMessageBox::Yes));
        window->ClearLog();
        QVERIFY(yes.isDone());
        QCOMPARE(testwb::Read(four.toStdString(), fourIds[0]).hits, 0);
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));
    }

    void scoreStartsFromTheWorkbooksTotals() {
        {
            CWorkBook workbook;
            workbook.strOpenWorkBook(four.toStdString());
            workbook.UpdateSuccess(fourIds[1]);
            workbook.UpdateSuccess(fourIds[2]);
            workbook.UpdateError(fourIds[3]);
        }
        auto window = Open(four);
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("66.67"));
    }
};

QTEST_MAIN(frmMainTrainingTest)
#include "frmMainTrainingTest.moc"
