// How the training window looks and takes keys, offscreen with real widgets and files: keys
// typed after a board click, the last move in its side's column and the chosen colours of the
// window.
#include "app/CAppearance.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"
#include "workbook/CWorkBook.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

using namespace apptest;

class frmMainDisplayTest : public WindowTest {
    Q_OBJECT

private slots:
    void keysTypedAfterABoardClickNeverReachTheTitle() {
        {
            CWorkBook book;
            book.strOpenWorkBook(four.toStdString());
            book.SaveWorkbookProperties("Keys");
        }
        auto window = Open();
        cntrlChessGui* board = window->objBoard();
        auto* title = window->findChild<QLineEdit*>("txtWorkbook");
        // Not the title box at the start: the board's move box, ready for a typed move.
        QCOMPARE(QApplication::focusWidget(), board->txtMove);
        const struct {
            const char* how;
            std::function<void()> touch;
        } touches[] = {
            {"click",
             [&] {
                 QTest::mouseClick(board, Qt::LeftButton, {},
                                   board->rcSquarePixels(DisplayIndex(board, 3, 3)).center());
             }},
            {"wrong move dragged", [&] { QVERIFY(DragWrongMove(board)); }},
        };
        for (const auto& touch : touches) {
            title->setFocus(Qt::MouseFocusReason);
            touch.touch();
            QVERIFY2(QApplication::focusWidget() == board, touch.how);
            QTest::keyClicks(QApplication::focusWidget(), "zq");
            for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Backspace, Qt::Key_Home})
                QTest::keyClick(QApplication::focusWidget(), key);
            QCOMPARE(title->text(), QString("Keys"));
        }
        window->close();
        CWorkBook again;
        QCOMPARE(QString::fromStdString(again.strOpenWorkBook(four.toStdString())),
                 QString("Keys"));
    }

    void theLastMoveIsShownInItsSidesColumnWithItsSign_data() {
        QTest::addColumn<QString>("pgn");
        QTest::addColumn<QStringList>("white");
        QTest::addColumn<QStringList>("black");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("fen");
        QTest::newRow("White mates in one")
            << "[SetUp \"1\"]\n[FEN \"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1\"]\n\n1. Ra8# *"
            << QStringList{"1.Ra8#"} << QStringList{""} << "Checkmate"
            << "R5k1/5ppp/8/8/8/8/5PPP/6K1 b - -";
        QTest::newRow("Black mates in one")
            << "[SetUp \"1\"]\n[FEN \"r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1\"]\n\n1... Ra1# *"
            << QStringList{"1.  ... "} << QStringList{"Ra1#"} << "Checkmate"
            << "6k1/5ppp/8/8/8/8/5PPP/r5K1 w - -";
        QTest::newRow("checks answered")
            << "1. e4 f6 2. Qh5+ g6 *" << QStringList{"1.e4", "2.Qh5+"} << QStringList{"f6", "g6"}
            << "White to play"
            << "rnbqkbnr/ppppp2p/5pp1/7Q/4P3/8/PPPP1PPP/RNB1KBNR w KQkq -";
        QTest::newRow("White stalemates")
            << "[SetUp \"1\"]\n[FEN \"7k/4Q3/6K1/8/8/8/8/8 w - - 0 1\"]\n\n1. Qf7 *"
            << QStringList{"1.Qf7"} << QStringList{""} << "Stalemate"
            << "7k/5Q2/6K1/8/8/8/8/8 b - -";
        QTest::newRow("Black stalemates")
            << "[SetUp \"1\"]\n[FEN \"7K/4q3/6k1/8/8/8/8/8 b - - 0 1\"]\n\n1... Qf7 *"
            << QStringList{"1.  ... "} << QStringList{"Qf7"} << "Stalemate"
            << "7K/5q2/6k1/8/8/8/8/8 w - -";
    }

    void theLastMoveIsShownInItsSidesColumnWithItsSign() {
        QFETCH(QString, pgn);
        QFETCH(QStringList, white);
        QFETCH(QStringList, black);
        QFETCH(QString, line);
        QFETCH(QString, fen);
        const QString file = FreshFile("end.brl");
        testwb::Build(file.toStdString(), pgn.toStdString());
        auto window = Open(file);
        const QString toPlay = TextOf(window.get(), "lblToPlay");
        cntrlChessGui* board = window->objBoard();
        SolveByDragging(board);
        QTRY_COMPARE(TextOf(window.get(), "lblToPlay"), line);
        QCOMPARE(ListItems(board->lstWhiteMoves), white);
        QCOMPARE(ListItems(board->lstBlackMoves), black);
        Trigger(window.get(), "mnuCopyFen");
        QCOMPARE(QGuiApplication::clipboard()->text(), fen);

        // Stepping back leaves the end; stepping forward reaches it again, in the same column.
        board->cmdNavigation_Click(2);
        QTRY_COMPARE(TextOf(window.get(), "lblToPlay"), toPlay);
        board->cmdNavigation_Click(3);
        QTRY_COMPARE(TextOf(window.get(), "lblToPlay"), line);
        QCOMPARE(ListItems(board->lstWhiteMoves), white);
        QCOMPARE(ListItems(board->lstBlackMoves), black);
    }

    void theAppearanceChoiceIsStoredAndRestored() {
        const QPalette system = QApplication::palette();
        {
            auto window = Open();
            QVERIFY(window->findChild<QAction*>("mnuAppearanceSystem")->isChecked());
            Trigger(window.get(), "mnuAppearanceDark");
            QCOMPARE(Setting("Options/Appearance"), QString("Dark"));
            QTRY_VERIFY(CAppearance::isDark(window->palette()));
        }
        auto window = Open();
        QVERIFY(window->findChild<QAction*>("mnuAppearanceDark")->isChecked());
        QVERIFY(CAppearance::isDark(QApplication::palette()));
        Trigger(window.get(), "mnuAppearanceLight");
        QVERIFY(!CAppearance::isDark(QApplication::palette()));
        QCOMPARE(Setting("Options/Appearance"), QString("Light"));
        Trigger(window.get(), "mnuAppearanceSystem");
        QCOMPARE(Setting("Options/Appearance"), QString("System"));
        QCOMPARE(QApplication::palette().color(QPalette::Window), system.color(QPalette::Window));
        // A stored text that is no choice counts as the desktop's colours.
        SetSetting("Options/Appearance", "Purple");
        QVERIFY(Open()->findChild<QAction*>("mnuAppearanceSystem")->isChecked());
    }
};

QTEST_MAIN(frmMainDisplayTest)
#include "frmMainDisplayTest.moc"
