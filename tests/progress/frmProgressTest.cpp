// Progress through the real training window offscreen: Clear Log's questions, the statistics
// window and the training order of Options. (What each result writes to the history is checked
// with the results in tests/app/frmMainRecordTest.cpp.)
#include "app/CTrainingSession.h"
#include "app/frmMain.h"
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
#include <QGraphicsTextItem>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <algorithm>

using namespace apptest;

namespace {

double BarTotal(QChartView* view) {
    double total = 0;
    for (QAbstractSeries* series : view->chart()->series())
        if (auto* bars = qobject_cast<QBarSeries*>(series))
            for (QBarSet* set : bars->barSets())
                total += set->sum();
    return total;
}

} // namespace

class frmProgressTest : public WindowTest {
    Q_OBJECT

private slots:
    // Clear Log asks first, then whether the history goes too.
    void clearLogAsksFirstAndThenAboutTheHistory_data() {
        // the answer to the second question, 0 when not asked, -1 for Enter
        QTest::addColumn<int>("second");
        QTest::addRow("no") << 0;
        QTest::addRow("yes, Enter keeps the history") << -1;
        QTest::addRow("yes, history cleared") << int(QMessageBox::Yes);
    }

    void clearLogAsksFirstAndThenAboutTheHistory() {
        QFETCH(int, second);
        auto window = Open();
        Trigger(window.get(), "mnuShowSolution");
        ModalScript script;
        script.Then(Press(second ? QMessageBox::Yes : QMessageBox::No));
        if (second > 0) script.Then(Press(second));
        if (second < 0) script.Then([](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
        Trigger(window.get(), "mnuClearLog");
        QTRY_VERIFY(script.isDone());
        const SeenModal& first = script.Seen().at(0);
        QCOMPARE(first.text, QString("This will remove all the training scores.\rAre you sure?"));
        QCOMPARE(first.icon, int(QMessageBox::Question));
        QCOMPARE(first.title, QString("Brisolt"));
        if (second) QCOMPARE(script.Seen().at(1).text, frmMain::strClearHistoryQuestion());
        // A yes clears the scores; the history goes only with a second yes.
        QCOMPARE(testwb::Read(four.toStdString(), ids[0]).hits, second ? 0 : 1);
        QCOMPARE(TextOf(window.get(), "lblScore"), QString(second ? "-----" : ".00%"));
        QCOMPARE(int(testwb::History(four.toStdString()).size()), second > 0 ? 0 : 1);
    }

    // A game solved two months ago is due again: the spaced order brings it first, the classic
    // order last; it leads the statistics' games not seen for longest.
    void theGameDueLeadsTheSpacedOrderAndTheStatisticsTrainTheGameClicked() {
        {
            CWorkBook book;
            book.strOpenWorkBook(four.toStdString());
            book.RecordAttempt({0, ids[3], std::time(nullptr) - 60 * 86400, true, 0, false, 9});
        }
        auto window = Open();
        QVERIFY(window->findChild<QAction*>("mnuClassicOrder")->isChecked());

        SetSetting("Options/NewGamesPerDay", "1");
        Trigger(window.get(), "mnuSpacedOrder");
        QVERIFY(window->isOpenWorkbook(four));
        // The due game, one new game, then the classic order fills the batch.
        const std::vector<int32_t> spaced = {ids[3], ids[0], ids[1], ids[2]};
        QCOMPARE(window->objSession().arrlngGameIDs(), spaced);
        // Started again, the program keeps the order chosen.
        window.reset();
        window = Open();
        QVERIFY(window->findChild<QAction*>("mnuSpacedOrder")->isChecked());
        QCOMPARE(window->objSession().arrlngGameIDs(), spaced);

        Trigger(window.get(), "mnuClassicOrder");
        QCOMPARE(Setting("Options/TrainingOrder"), QString("classic"));
        QVERIFY(window->isOpenWorkbook(four));
        QCOMPARE(window->objSession().arrlngGameIDs(), ids);

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

        // Enter trains the row clicked last on the board, though the other table keeps its
        // selection.
        auto* unseen = statistics->findChild<QTableWidget*>("tblLongestUnseen");
        const QPoint cell = failed->visualItemRect(failed->item(0, 3)).center();
        QTest::mouseClick(failed->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseClick(unseen->viewport(), Qt::LeftButton, {},
                          unseen->visualItemRect(unseen->item(0, 3)).center());
        QTest::mouseClick(failed->viewport(), Qt::LeftButton, {}, cell);
        QTest::keyClick(failed, Qt::Key_Return);
        QTRY_VERIFY(window->findChild<frmStatistics*>() == nullptr);
        QCOMPARE(Shown(window.get()), first);

        // A double click trains its row at once.
        statistics = window->ShowStatistics();
        statistics->findChild<QTabWidget*>("tabStatistics")->setCurrentIndex(4);
        unseen = statistics->findChild<QTableWidget*>("tblLongestUnseen");
        const QPoint row = unseen->visualItemRect(unseen->item(0, 3)).center();
        QTest::mouseClick(unseen->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(unseen->viewport(), Qt::LeftButton, {}, row);
        QTRY_COMPARE(Shown(window.get()), ids[3]);
    }

    void statisticsOfAnEmptyWorkbookAndInADarkPalette() {
        const QString empty = FreshFile("empty.brl");
        testwb::Build(empty.toStdString(), "");
        auto book = std::make_shared<CWorkBook>();
        book->strOpenWorkBook(empty.toStdString());
        frmStatistics statistics(book, ReviewDay::lngToday());
        statistics.show();
        // It opens no larger than the screen's free room: its Close button is on the screen.
        const QSize room = statistics.screen()->availableGeometry().size();
        QVERIFY(statistics.width() <= room.width() && statistics.height() <= room.height());
        QCOMPARE(statistics.findChild<QLabel*>("lblSummary")->text(),
                 frmStatistics::strSummary(TrainingSummary{}));
        QCOMPARE(BarTotal(statistics.findChild<QChartView*>("chartWeeks")), 0.0);
        statistics.LoadAll();
        QCOMPARE(statistics.findChild<QTableWidget*>("tblPages")->rowCount(), 0);
        QCOMPARE(statistics.findChild<QTableWidget*>("tblLongestUnseen")->rowCount(), 0);

        auto* days = statistics.findChild<QChartView*>("chartDays");
        // At a laptop's screen scaled to 150% (1024x768) today's date under its bar is whole.
        statistics.resize(683, 512);
        QCoreApplication::processEvents();
        const QString today = QString::fromStdString(ReviewDay::strText(ReviewDay::lngToday()));
        QVERIFY(std::ranges::any_of(days->scene()->items(), [&](const QGraphicsItem* item) {
            const auto* label = dynamic_cast<const QGraphicsTextItem*>(item);
            return label != nullptr && label->toPlainText() == today.mid(5);
        }));
        QCOMPARE(days->chart()->theme(), QChart::ChartThemeLight);
        QPalette dark = statistics.palette();
        dark.setColor(QPalette::Window, QColor(30, 30, 30));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        statistics.setPalette(dark);
        QCOMPARE(days->chart()->theme(), QChart::ChartThemeDark);
        QCOMPARE(days->chart()->titleBrush().color(), QColor(230, 230, 230));
    }
};

QTEST_MAIN(frmProgressTest)
#include "frmProgressTest.moc"
