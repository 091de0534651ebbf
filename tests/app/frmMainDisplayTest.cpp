// What the training window shows and does when a workbook cannot be written, when keys are
// typed after a board click and at the end of a game, offscreen with real widgets and files.
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "game/CPosition.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"
#include "workbook/CWorkBook.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace apptest;

namespace {

// Sets or clears the immutable attribute (which stops even the superuser from writing).
bool isSetImmutable(const QString& path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

// Makes a file or folder unwritable for this process until it goes out of scope.
struct Unwritable {
    explicit Unwritable(const QString& target) : path(target) {
        if (::geteuid() == 0) {
            immutable = isSetImmutable(path, true);
        } else {
            permissions = QFile::permissions(path);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        }
    }
    ~Unwritable() {
        if (immutable)
            isSetImmutable(path, false);
        else if (permissions)
            QFile::setPermissions(path, permissions);
    }
    QString path;
    bool immutable = false;
    QFile::Permissions permissions;
};

QByteArray Bytes(const QString& file) {
    QFile input(file);
    return input.open(QIODevice::ReadOnly) ? input.readAll() : QByteArray();
}

} // namespace

class frmMainDisplayTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        IsolateSettings(dir.filePath("settings"));
    }

    void init() { ClearSettings(); }

    void aWorkbookThatCannotBeWrittenIsTrainedWithoutRecording_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("write-protected file") << false;
        QTest::newRow("write-protected folder (no journal)") << true;
    }

    void aWorkbookThatCannotBeWrittenIsTrainedWithoutRecording() {
        QFETCH(bool, folder);
        const QString place = dir.filePath(folder ? "locked-folder" : "locked-file");
        QDir().mkpath(place);
        const QString file = place + "/four.brl";
        testwb::Build(file.toStdString(), testwb::fourGamesPgn);
        const QByteArray before = Bytes(file);
        {
            Unwritable lock(folder ? place : file);
            if (QFileInfo(lock.path).isWritable()) QSKIP("this system cannot write-protect here");
            auto window = OpenWindow(file);
            QVERIFY(isShown(window.get(), "lblReadOnly"));
            QCOMPARE(TextOf(window.get(), "lblReadOnly"),
                     QString("This workbook is read-only: results will not be recorded."));
            QVERIFY(window->windowTitle().contains("(read-only)"));
            QVERIFY(window->findChild<QLineEdit*>("txtWorkbook")->isReadOnly());
            ModalScript none;
            none.Then(Cancel());
            SolveByDragging(window->objBoard());
            QVERIFY(isShown(window.get(), "imgSuccess"));
            QVERIFY(isShown(window.get(), "cmdNext"));
            QVERIFY(isShown(window.get(), "txtMsg"));
            QVERIFY(window->findChild<QPlainTextEdit*>("txtMsg")->toPlainText().contains(
                "not recorded"));
            QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));
            Trigger(window.get(), "mnuNextGame");
            Trigger(window.get(), "mnuShowSolution");
            QVERIFY(isShown(window.get(), "imgFail"));
            QVERIFY(none.Seen().empty()); // said once, in the window, never in a box
            window->close();
        }
        QCOMPARE(Bytes(file), before);
    }

    void aWriteThatFailsLeavesTheGameEndedAndUnrecorded() {
        const QString file = dir.filePath("broken.brl");
        testwb::Build(file.toStdString(), testwb::fourGamesPgn);
        auto window = OpenWindow(file);
        QVERIFY(!isShown(window.get(), "lblReadOnly"));
        // Another program breaks the file under the open window.
        testwb::Execute(file.toStdString(), "alter table GameTree rename to Broken");
        ModalScript script;
        script.Then(Press(QMessageBox::Ok));
        Trigger(window.get(), "mnuShowSolution");
        QTRY_VERIFY(script.isDone());
        const SeenModal& box = script.Seen().at(0);
        QCOMPARE(box.icon, int(QMessageBox::Critical));
        QVERIFY2(box.text.startsWith("The result could not be recorded in " + file + ": "),
                 qPrintable(box.text));
        QVERIFY(box.text.contains("not recorded"));
        QCOMPARE(window->objBoard()->boardMode(),
                 BoardMode::View); // the solution can be stepped through
        QVERIFY(isShown(window.get(), "imgFail"));
        QVERIFY(isShown(window.get(), "cmdNext"));
        QCOMPARE(window->findChild<QPlainTextEdit*>("txtMsg")->toPlainText(),
                 QString("This result was not recorded."));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));
        QVERIFY(!window->findChild<QAction*>("mnuShowSolution")->isEnabled());

        // Clearing the log fails the same way: the file and the reason, never the raw text alone.
        ModalScript clear;
        clear.Then(Press(QMessageBox::Yes))
            .Then(Press(QMessageBox::No))
            .Then(Press(QMessageBox::Ok));
        window->ClearLog();
        QTRY_VERIFY(clear.isDone());
        QVERIFY2(clear.Seen().at(2).text.startsWith("The training log could not be cleared in " +
                                                    file + ": "),
                 qPrintable(clear.Seen().at(2).text));
    }

    void keysTypedAfterABoardClickNeverReachTheTitle() {
        const QString file = dir.filePath("keys.brl");
        testwb::Build(file.toStdString(), testwb::fourGamesPgn);
        {
            CWorkBook book;
            book.strOpenWorkBook(file.toStdString());
            book.SaveWorkbookProperties("Keys");
        }
        auto window = OpenWindow(file);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
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
        QCOMPARE(QString::fromStdString(again.strOpenWorkBook(file.toStdString())),
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
        const QString file = dir.filePath(QString("end-%1.brl").arg(QTest::currentDataTag()));
        QFile::remove(file);
        testwb::Build(file.toStdString(), pgn.toStdString());
        auto window = OpenWindow(file);
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
};

QTEST_MAIN(frmMainDisplayTest)
#include "frmMainDisplayTest.moc"
