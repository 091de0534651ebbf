// Progress through the real training window offscreen: what each result writes to the history,
// Clear Log's question about it, the statistics window and the training order of Options.
#include "app/CTrainingSession.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "progress/frmStatistics.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"
#include "workbook/CWorkBook.h"
#include "workbook/ReviewDay.h"

#include <QAction>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace apptest;

namespace {

// The history rows of the file as "game solved wrong shown", oldest first.
QStringList History(const QString& file) {
    QStringList rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db,
                           "select GameTreeID, Solved, WrongMoves, SolutionShown, Seconds >= 0 "
                           "from TrainingHistory order by ID",
                           -1, &statement, nullptr);
        while (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW) {
            QStringList row;
            for (int column = 0; column < 5; ++column)
                row << QString::number(sqlite3_column_int64(statement, column));
            rows << row.join(' ');
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return rows;
}

double BarTotal(QChartView* view) {
    double total = 0;
    for (QAbstractSeries* series : view->chart()->series())
        if (auto* bars = qobject_cast<QBarSeries*>(series))
            for (QBarSet* set : bars->barSets())
                total += set->sum();
    return total;
}

} // namespace

class frmProgressTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString four;
    std::vector<int32_t> ids;

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
    static void Solve(frmMain* window) {
        for (int moves = 0; window->objBoard()->Mode() == 3 && moves < 40; ++moves)
            QVERIFY(DragStoredMove(window->objBoard()));
        QCOMPARE(window->objBoard()->Mode(), 2);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        IsolateSettings(dir.filePath("settings"));
    }

    void init() {
        ClearSettings();
        four = dir.filePath(QString("four-%1.brl").arg(QTest::currentTestFunction()));
        QFile::remove(four);
        ids = testwb::Build(four.toStdString(), testwb::fourGamesPgn);
    }

    void eachResultWritesItsFiguresToTheHistory_data() {
        QTest::addColumn<int>("wrong");
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("row"); // solved, wrong moves, solution shown
        QTest::addRow("two wrong moves, then solved") << 2 << "solve"
                                                      << "1 2 0";
        QTest::addRow("solved at once") << 0 << "solve"
                                        << "1 0 0";
        QTest::addRow("one wrong move, then the solution") << 1 << "show"
                                                           << "0 1 1";
        QTest::addRow("three wrong moves") << 3 << ""
                                           << "0 3 0";
    }

    void eachResultWritesItsFiguresToTheHistory() {
        QFETCH(int, wrong);
        QFETCH(QString, ending);
        QFETCH(QString, row);
        auto window = Open(four);
        const int32_t game = Shown(window.get());
        for (int k = 0; k < wrong; ++k)
            QVERIFY(DragWrongMove(window->objBoard()));
        if (ending == "solve") Solve(window.get());
        if (ending == "show") Trigger(window.get(), "mnuShowSolution");
        QCOMPARE(window->objBoard()->Mode(), 2);
        QCOMPARE(History(four), QStringList{QString("%1 %2 1").arg(game).arg(row)});
        const testwb::Stats stats = testwb::Read(four.toStdString(), game);
        QCOMPARE(stats.hits, 1);
        QCOMPARE(stats.solve, row.startsWith('1') ? 1 : 0);
    }

    void clearLogAsksWhetherToClearTheHistoryToo_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("rowsLeft");
        QTest::addRow("yes") << int(QMessageBox::Yes) << 0;
        QTest::addRow("no") << int(QMessageBox::No) << 1;
    }

    void clearLogAsksWhetherToClearTheHistoryToo() {
        QFETCH(int, answer);
        QFETCH(int, rowsLeft);
        auto window = Open(four);
        Trigger(window.get(), "mnuShowSolution");
        ModalScript script;
        script.Then(Press(QMessageBox::Yes)).Then(Press(answer));
        Trigger(window.get(), "mnuClearLog");
        QTRY_VERIFY(script.isDone());
        QCOMPARE(script.Seen().at(1).text, frmMain::strClearHistoryQuestion());
        QCOMPARE(testwb::Read(four.toStdString(), ids[0]).hits, 0);
        QCOMPARE(History(four).size(), rowsLeft);
    }

    void statisticsWindowTrainsTheGameClicked() {
        auto window = Open(four);
        const int32_t first = Shown(window.get());
        Trigger(window.get(), "mnuShowSolution"); // the first game failed once
        Trigger(window.get(), "mnuNextGame");
        QVERIFY(Shown(window.get()) != first);

        frmStatistics* statistics = window->ShowStatistics();
        QVERIFY(statistics != nullptr);
        QVERIFY(statistics->findChild<QLabel*>("lblSummary")
                    ->text()
                    .startsWith("Today: 1 attempt, 0 solved (0%)."));
        QCOMPARE(BarTotal(statistics->findChild<QChartView*>("chartDays")), 1.0);
        // The lists over all games are read when their tab is first shown.
        QVERIFY(statistics->findChild<QTableWidget*>("tblMostFailed") == nullptr);
        statistics->findChild<QTabWidget*>("tabStatistics")->setCurrentIndex(4);
        auto* failed = statistics->findChild<QTableWidget*>("tblMostFailed");
        QCOMPARE(failed->rowCount(), 1);
        QCOMPARE(failed->item(0, 0)->text(), QString::number(first));
        statistics->CopyCsv();
        QCOMPARE(QApplication::clipboard()->text().toStdString(),
                 statistics->objFigures().strCsv());

        // A double click trains it on the board; its result is recorded on it.
        const QPoint cell = failed->visualItemRect(failed->item(0, 3)).center();
        QTest::mouseClick(failed->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(failed->viewport(), Qt::LeftButton, {}, cell);
        QTRY_VERIFY(window->findChild<frmStatistics*>() == nullptr);
        QCOMPARE(Shown(window.get()), first);
        Solve(window.get());
        QCOMPARE(History(four).last(), QString("%1 1 0 0 1").arg(first));
    }

    void statisticsOfAnEmptyWorkbookAndInADarkPalette() {
        const QString empty = dir.filePath("empty.brl");
        testwb::BuildEmpty(empty.toStdString());
        auto book = std::make_shared<CWorkBook>();
        book->strOpenWorkBook(empty.toStdString());
        frmStatistics statistics(book, ReviewDay::lngToday());
        statistics.show();
        QCOMPARE(statistics.findChild<QLabel*>("lblSummary")->text(),
                 frmStatistics::strSummary(TrainingSummary{}));
        QCOMPARE(BarTotal(statistics.findChild<QChartView*>("chartWeeks")), 0.0);
        statistics.LoadAll();
        QCOMPARE(statistics.findChild<QTableWidget*>("tblPages")->rowCount(), 0);
        QCOMPARE(statistics.findChild<QTableWidget*>("tblLongestUnseen")->rowCount(), 0);

        auto* days = statistics.findChild<QChartView*>("chartDays");
        QCOMPARE(days->chart()->theme(), QChart::ChartThemeLight);
        QPalette dark = statistics.palette();
        dark.setColor(QPalette::Window, QColor(30, 30, 30));
        dark.setColor(QPalette::Base, QColor(20, 20, 20));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        statistics.setPalette(dark);
        QCOMPARE(days->chart()->theme(), QChart::ChartThemeDark);
        QCOMPARE(days->chart()->titleBrush().color(), QColor(230, 230, 230));
    }

    void spacedRepetitionIsAnOptionKeptInTheSettings() {
        {
            CWorkBook book;
            book.strOpenWorkBook(four.toStdString());
            book.RecordAttempt({0, ids[3], std::time(nullptr) - 8 * 86400, false, 3, false, 9});
        }
        auto window = Open(four);
        QVERIFY(window->findChild<QAction*>("mnuClassicOrder")->isChecked());
        const std::vector<int32_t> classic = window->objSession().arrlngGameIDs();
        QCOMPARE(classic.front(), ids[3]); // failed last: worst first

        SetSetting("Options/NewGamesPerDay", "1");
        Trigger(window.get(), "mnuSpacedOrder");
        QCOMPARE(Setting("Options/TrainingOrder"), QString("spaced"));
        QVERIFY(window->isOpenWorkbook(four));
        // The overdue game, one new game, then the classic order fills the batch.
        const std::vector<int32_t> spaced = window->objSession().arrlngGameIDs();
        QCOMPARE(spaced.size(), classic.size());
        QCOMPARE(spaced[0], ids[3]);
        QCOMPARE(spaced[1], ids[0]);

        Trigger(window.get(), "mnuClassicOrder");
        QCOMPARE(Setting("Options/TrainingOrder"), QString("classic"));
        QVERIFY(window->isOpenWorkbook(four));
        QCOMPARE(window->objSession().arrlngGameIDs(), classic);
    }
};

QTEST_MAIN(frmProgressTest)
#include "frmProgressTest.moc"
