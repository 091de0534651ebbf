// What the training window tells the trainee, offscreen through the real window: tries left, the
// refused move shown and taken back, the solved line, the solution's arrow and stepping with the
// keys, the place in the batch, the session's score, the batch summary and the window's colours.
#include "app/CAppearance.h"
#include "app/CTrainingFeedback.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace apptest;

namespace {

int SquareOf(int file, int rank) {
    return file + 8 * rank;
}

QString Message(frmMain* window) {
    return window->findChild<QPlainTextEdit*>("txtMsg")->toPlainText();
}

} // namespace

class frmMainFeedbackTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString four;
    std::vector<int32_t> ids;

    std::unique_ptr<frmMain> Open() {
        SetSetting("General/LastOpened", four);
        auto window = std::make_unique<frmMain>();
        window->show();
        [&] { QTRY_VERIFY(window->objWorkBook() != nullptr); }();
        window->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(window.get())); }();
        return window;
    }

    // True when the board shows exactly one arrow, of the colour, for the stored move.
    static bool isArrowFor(const cntrlChessGui* board, const testwb::StoredMove& move, int color) {
        const auto& arrows = board->objMarks().arrArrows();
        return arrows.size() == 1 && arrows[0].color == color &&
               arrows[0].from == SquareOf(move.fromFile, move.fromRank) &&
               arrows[0].to == SquareOf(move.toFile, move.toRank);
    }

    static std::pair<int, int> Squares(const cntrlChessGui* board, const testwb::StoredMove& m) {
        return {DisplayIndex(board, m.fromFile, m.fromRank),
                DisplayIndex(board, m.toFile, m.toRank)};
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

    void wrongMovesCountDownThenTheSolutionIsSteppedWithTheKeys() {
        auto window = Open();
        cntrlChessGui* board = window->objBoard();
        const auto line = testwb::MainLine(four.toStdString(), ids[0]);
        QCOMPARE(line.size(), size_t(7));
        const QString start = board->GetDiagramFromGui();
        const char* expected[] = {"Not the solution. 2 tries left.",
                                  "Not the solution. 1 try left."};
        for (const char* text : expected) {
            QVERIFY(DragWrongMove(board));
            QCOMPARE(Message(window.get()), QString(text));
            // The refused move is drawn in red, its piece stands on the target a moment, then
            // goes back.
            QCOMPARE(board->objMarks().arrArrows().size(), size_t(1));
            QCOMPARE(board->objMarks().arrArrows()[0].color, int(CBoardMarks::Red));
            QTRY_VERIFY(board->GetDiagramFromGui() != start);
            QTRY_COMPARE(board->GetDiagramFromGui(), start);
            QCOMPARE(board->boardMode(), BoardMode::Training);
        }
        QVERIFY(DragWrongMove(board));
        QCOMPARE(board->boardMode(), BoardMode::View);
        QCOMPARE(Message(window.get()),
                 QString::fromStdString(TrainingFeedback::strFailed()).replace("\r\n", "\n"));
        QVERIFY(isArrowFor(board, line[0], CBoardMarks::Blue));

        // Right plays the solution's moves one by one: the last move is tinted, the arrow moves on.
        for (size_t k = 0; k < 3; ++k) {
            QTest::keyClick(window.get(), Qt::Key_Right);
            QCOMPARE(board->LastMove(), Squares(board, line[k]));
            QVERIFY2(isArrowFor(board, line[k + 1], CBoardMarks::Blue), line[k + 1].text.c_str());
        }
        QTest::keyClick(window.get(), Qt::Key_End);
        QCOMPARE(board->LastMove(), Squares(board, line[6]));
        QVERIFY(board->objMarks().arrArrows().empty()); // mate: no move follows
        QTest::keyClick(window.get(), Qt::Key_Left);
        QCOMPARE(board->LastMove(), Squares(board, line[5]));
        QVERIFY(isArrowFor(board, line[6], CBoardMarks::Blue));
        QTest::keyClick(window.get(), Qt::Key_Home);
        QCOMPARE(board->LastMove(), std::make_pair(-1, -1));
        QCOMPARE(board->GetDiagramFromGui(), start);
        QVERIFY(isArrowFor(board, line[0], CBoardMarks::Blue));

        // The next game starts clean: no arrow, the move box takes the keys.
        window->NextGame();
        QVERIFY(board->objMarks().arrArrows().empty());
        QCOMPARE(QApplication::focusWidget(), board->txtMove);
        QTest::keyClick(window.get(), Qt::Key_Right); // no stepping while a game is trained
        QCOMPARE(board->boardMode(), BoardMode::Training);
        QCOMPARE(board->LastMove(), std::make_pair(-1, -1));
    }

    void aSolvedGameShowsItsLine_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<QString>("message");
        QTest::newRow("White, with replies")
            << 0 << "Solved: 1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7#";
        QTest::newRow("Black, one move") << 1 << "Solved: 1... Ra1#";
    }

    void aSolvedGameShowsItsLine() {
        QFETCH(int, game);
        QFETCH(QString, message);
        auto window = Open();
        cntrlChessGui* board = window->objBoard();
        for (int k = 0; k < game; ++k)
            window->NextGame();
        for (int moves = 0; board->boardMode() == BoardMode::Training && moves < 20; ++moves)
            QVERIFY(DragStoredMove(board));
        QCOMPARE(Message(window.get()), message);
        QVERIFY(board->objMarks().arrArrows().empty());
    }

    void theBatchPlaceAndTheSessionScoreStandBesideTheScore() {
        auto window = Open();
        QCOMPARE(TextOf(window.get(), "lblGameOf"), QString("Game 1 of 4"));
        QCOMPARE(TextOf(window.get(), "lblSessionScore"), QString());
        window->ShowSolution();
        QCOMPARE(TextOf(window.get(), "lblScore"), QString(".00%"));
        QCOMPARE(TextOf(window.get(), "lblSessionScore"), QString("Session: 0 of 1 solved"));
        QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(TextOf(window.get(), "lblGameOf"), QString("Game 2 of 4"));
        cntrlChessGui* board = window->objBoard();
        QVERIFY(DragStoredMove(board));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("50.00%"));
        QCOMPARE(TextOf(window.get(), "lblSessionScore"), QString("Session: 1 of 2 solved"));

        // A new window on the same workbook: the lifetime score stays, the session starts again.
        window.reset();
        window = Open();
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("50.00%"));
        QCOMPARE(TextOf(window.get(), "lblSessionScore"), QString());
    }

    void theBatchSummaryTrainsAFailedGameAgainAndRecordsOnIt() {
        auto window = Open();
        cntrlChessGui* board = window->objBoard();
        const int32_t failed = window->objSession().lngCurrentGameId();
        window->ShowSolution();
        for (int k = 0; k < 3; ++k)
            window->NextGame();
        QCOMPARE(window->objSession().lngGameIndex(), 3);

        ModalScript summary;
        summary.Then([&](QWidget* modal) {
            QCOMPARE(modal->findChild<QLabel*>("lblBatchCounts")->text(),
                     QString("0 solved, 1 failed."));
            auto* again = modal->findChild<QPushButton*>(QString("cmdAgain%1").arg(failed));
            QVERIFY(again);
            QCOMPARE(again->text(), QString("Punish the early queen defence, p.12"));
            again->click();
        });
        window->NextGame();
        QVERIFY(summary.isDone());
        QCOMPARE(window->objSession().lngCurrentGameId(), failed);
        QCOMPARE(board->boardMode(), BoardMode::Training);
        for (int moves = 0; board->boardMode() == BoardMode::Training && moves < 20; ++moves)
            QVERIFY(DragStoredMove(board));
        const testwb::Stats stats = testwb::Read(four.toStdString(), failed);
        QCOMPARE(stats.hits, 2);
        QCOMPARE(stats.solve, 1);

        // The summary again counts the game with its last result; Esc goes on to a new batch.
        ModalScript next;
        next.Then([](QWidget* modal) {
            QCOMPARE(modal->findChild<QLabel*>("lblBatchCounts")->text(),
                     QString("1 solved, 0 failed."));
            QVERIFY(modal->findChildren<QPushButton*>(QRegularExpression("^cmdAgain")).isEmpty());
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        window->NextGame();
        QVERIFY(next.isDone());
        QCOMPARE(window->objSession().lngGameIndex(), 0);
        QVERIFY(window->objSession().arrBatchResults().empty());
    }

    void theBoardFillsItsRoomWithThePanelBesideIt_data() {
        QTest::addColumn<QSize>("size"); // an empty size stands for the window's minimum
        QTest::addColumn<bool>("ended");
        for (const QSize& size :
             {QSize(), QSize(1280, 800), QSize(1024, 700), QSize(1920, 1080), QSize(900, 1000)}) {
            const QString name = size.isEmpty()
                                     ? QString("minimum")
                                     : QString("%1x%2").arg(size.width()).arg(size.height());
            QTest::newRow(qPrintable(name + ", training")) << size << false;
            QTest::newRow(qPrintable(name + ", solution")) << size << true;
        }
    }

    void theBoardFillsItsRoomWithThePanelBesideIt() {
        QFETCH(QSize, size);
        QFETCH(bool, ended);
        auto window = Open();
        if (ended) window->ShowSolution();
        window->resize(size.isEmpty() ? window->minimumSize() : size);
        QTest::qWait(50);
        cntrlChessGui* board = window->objBoard();
        auto* panel = window->findChild<QWidget*>("sidePanel");
        const QRect h1 = board->rcSquarePixels(DisplayIndex(board, 7, 0));
        const QRect a8 = board->rcSquarePixels(DisplayIndex(board, 0, 7));
        // After a game the board shows its move lists beside the squares.
        const QWidget* lists = board->lstVariations;
        const int boardRight = ended ? lists->mapTo(window.get(), QPoint(lists->width(), 0)).x()
                                     : board->mapTo(window.get(), h1.topRight()).x();
        const int panelLeft = panel->mapTo(window.get(), QPoint(0, 0)).x();
        QVERIFY2(panelLeft - boardRight <= 24,
                 qPrintable(QString("a band of %1 px").arg(panelLeft - boardRight)));
        QVERIFY(h1.width() >= 40); // squares big enough to drop a piece on
        QVERIFY(board->mapTo(window.get(), h1.bottomRight()).y() < window->height());
        QVERIFY(a8.top() >= 0);
        // Nothing of the panel is cut: each part has the height it asks for.
        for (const char* name : {"txtGameDescription", "lblToPlay", "lblScore", "lblClearLog"}) {
            auto* part = window->findChild<QLabel*>(name);
            const int wanted = part->hasHeightForWidth() ? part->heightForWidth(part->width())
                                                         : part->minimumSizeHint().height();
            QVERIFY2(part->height() >= wanted, name);
            QVERIFY2(part->mapTo(window.get(), QPoint(0, part->height())).y() <= window->height(),
                     name);
        }
    }

    void theAppearanceChoiceIsStoredAndRestored() {
        const QPalette system = QApplication::palette();
        {
            auto window = Open();
            QVERIFY(window->findChild<QAction*>("mnuAppearanceSystem")->isChecked());
            window->findChild<QAction*>("mnuAppearanceDark")->trigger();
            QCOMPARE(Setting("Options/Appearance"), QString("Dark"));
            QVERIFY(CAppearance::isDark(QApplication::palette()));
            QTRY_VERIFY(CAppearance::isDark(window->palette()));
        }
        auto window = Open();
        QVERIFY(window->findChild<QAction*>("mnuAppearanceDark")->isChecked());
        QVERIFY(CAppearance::isDark(QApplication::palette()));
        window->findChild<QAction*>("mnuAppearanceLight")->trigger();
        QVERIFY(!CAppearance::isDark(QApplication::palette()));
        QCOMPARE(Setting("Options/Appearance"), QString("Light"));
        window->findChild<QAction*>("mnuAppearanceSystem")->trigger();
        QCOMPARE(Setting("Options/Appearance"), QString("System"));
        QCOMPARE(QApplication::palette().color(QPalette::Window), system.color(QPalette::Window));
        // A stored text that is no choice counts as the desktop's colours.
        SetSetting("Options/Appearance", "Purple");
        auto another = Open();
        QVERIFY(another->findChild<QAction*>("mnuAppearanceSystem")->isChecked());
    }
};

QTEST_MAIN(frmMainFeedbackTest)
#include "frmMainFeedbackTest.moc"
