// How the training window looks and takes keys, offscreen with real widgets and files: a
// workbook that cannot be written (trained without recording, left byte for byte as it was),
// keys typed after a board click, the last move in its side's column and the window's colours.
#include "app/CAppearance.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"
#include "workbook/CWorkBook.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <fcntl.h>
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

class frmMainDisplayTest : public WindowTest {
    Q_OBJECT

private slots:
    void aWorkbookThatCannotBeWrittenIsTrainedWithoutRecording_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("write-protected file") << false;
        QTest::newRow("write-protected folder (no journal)") << true;
    }

    void aWorkbookThatCannotBeWrittenIsTrainedWithoutRecording() {
        QFETCH(bool, folder);
        const QString place = FreshFile("locked");
        QDir().mkpath(place);
        const QString file = place + "/four.brl";
        QVERIFY(QFile::copy(four, file));
        const QByteArray before = Bytes(file);
        {
            Unwritable lock(folder ? place : file);
            if (QFileInfo(lock.path).isWritable()) QSKIP("this system cannot write-protect here");
            auto window = Open(file);
            QCOMPARE(TextOf(window.get(), "lblReadOnly"),
                     QString("This workbook is read-only: results will not be recorded."));
            QVERIFY(isShown(window.get(), "lblReadOnly"));
            QVERIFY(window->windowTitle().contains("(read-only)"));
            QVERIFY(window->findChild<QLineEdit*>("txtWorkbook")->isReadOnly());
            ModalScript none;
            none.Then(Cancel());
            SolveByDragging(window->objBoard());
            QVERIFY(isShown(window.get(), "imgSuccess"));
            QVERIFY(isShown(window.get(), "cmdNext"));
            QVERIFY(Message(window.get()).contains("not recorded"));
            QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));
            Trigger(window.get(), "mnuNextGame");
            Trigger(window.get(), "mnuShowSolution");
            QVERIFY(isShown(window.get(), "imgFail"));
            QVERIFY(none.Seen().empty()); // said once, in the window, never in a box
            window->close();
        }
        QCOMPARE(Bytes(file), before);
    }

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
        QTest::newRow("Black mates in one")
            << "[SetUp \"1\"]\n[FEN \"r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1\"]\n\n1... Ra1# *"
            << QStringList{"1.  ... "} << QStringList{"Ra1#"} << "Checkmate"
            << "6k1/5ppp/8/8/8/8/5PPP/r5K1 w - -";
        QTest::newRow("White stalemates")
            << "[SetUp \"1\"]\n[FEN \"7k/4Q3/6K1/8/8/8/8/8 w - - 0 1\"]\n\n1. Qf7 *"
            << QStringList{"1.Qf7"} << QStringList{""} << "Stalemate"
            << "7k/5Q2/6K1/8/8/8/8/8 b - -";
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
