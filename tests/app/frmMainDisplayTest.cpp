// What the training window shows and does when a workbook cannot be written, when keys are
// typed after a board click, at the end of a game, when the help is closed, and what the picture
// mode does with a message nobody can answer, offscreen with real widgets and files.
#include "app/CHelpWindow.h"
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
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
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

QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int k = 0; k < list->count(); ++k)
        items << list->item(k)->text();
    return items;
}

} // namespace

class frmMainDisplayTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

    std::unique_ptr<frmMain> Open(const QString& workbook) {
        SetSetting("General/LastOpened", workbook);
        auto window = std::make_unique<frmMain>();
        window->show();
        [&] { QTRY_VERIFY(window->objWorkBook() != nullptr); }();
        return window;
    }

    static void Solve(cntrlChessGui* board) {
        for (int moves = 0; board->boardMode() == BoardMode::Training && moves < 40; ++moves)
            QVERIFY2(DragStoredMove(board), "a stored move could not be dragged");
        QCOMPARE(board->boardMode(), BoardMode::View);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        IsolateSettings(dir.filePath("settings"));
    }

    void init() {
        ClearSettings();
        CHelpWindow::strHelpFile("");
    }

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
            auto window = Open(file);
            QVERIFY(isShown(window.get(), "lblReadOnly"));
            QCOMPARE(TextOf(window.get(), "lblReadOnly"),
                     QString("This workbook is read-only: results will not be recorded."));
            QVERIFY(window->windowTitle().contains("(read-only)"));
            QVERIFY(window->findChild<QLineEdit*>("txtWorkbook")->isReadOnly());
            ModalScript none;
            none.Then(Cancel());
            Solve(window->objBoard());
            QVERIFY(isShown(window.get(), "imgSuccess"));
            QVERIFY(isShown(window.get(), "cmdNext"));
            QVERIFY(isShown(window.get(), "txtMsg"));
            QVERIFY(window->findChild<QPlainTextEdit*>("txtMsg")->toPlainText().contains(
                "not recorded"));
            QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));
            window->findChild<QAction*>("mnuNextGame")->trigger();
            window->findChild<QAction*>("mnuShowSolution")->trigger();
            QVERIFY(isShown(window.get(), "imgFail"));
            QVERIFY(none.Seen().empty()); // said once, in the window, never in a box
            window->close();
        }
        QCOMPARE(Bytes(file), before);
    }

    void aWriteThatFailsLeavesTheGameEndedAndUnrecorded() {
        const QString file = dir.filePath("broken.brl");
        testwb::Build(file.toStdString(), testwb::fourGamesPgn);
        auto window = Open(file);
        QVERIFY(!isShown(window.get(), "lblReadOnly"));
        // Another program breaks the file under the open window.
        testwb::Execute(file.toStdString(), "alter table GameTree rename to Broken");
        ModalScript script;
        script.Then(Press(QMessageBox::Ok));
        window->findChild<QAction*>("mnuShowSolution")->trigger();
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
        clear.Then(Press(QMessageBox::Yes)).Then(Press(QMessageBox::Ok));
        window->ClearLog();
        QTRY_VERIFY(clear.isDone());
        QVERIFY2(clear.Seen().at(1).text.startsWith("The training log could not be cleared in " +
                                                    file + ": "),
                 qPrintable(clear.Seen().at(1).text));
    }

    void keysTypedAfterABoardClickNeverReachTheTitle() {
        const QString file = dir.filePath("keys.brl");
        testwb::Build(file.toStdString(), testwb::fourGamesPgn);
        {
            CWorkBook book;
            book.strOpenWorkBook(file.toStdString());
            book.SaveWorkbookProperties("Keys");
        }
        auto window = Open(file);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        cntrlChessGui* board = window->objBoard();
        auto* title = window->findChild<QLineEdit*>("txtWorkbook");
        QCOMPARE(QApplication::focusWidget(), board); // not the title box at the start
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
        auto window = Open(file);
        const QString toPlay = TextOf(window.get(), "lblToPlay");
        cntrlChessGui* board = window->objBoard();
        Solve(board);
        QTRY_COMPARE(TextOf(window.get(), "lblToPlay"), line);
        QCOMPARE(Items(board->lstWhiteMoves), white);
        QCOMPARE(Items(board->lstBlackMoves), black);
        window->findChild<QAction*>("mnuCopyFen")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), fen);

        // Stepping back leaves the end; stepping forward reaches it again, in the same column.
        board->cmdNavigation_Click(2);
        QTRY_COMPARE(TextOf(window.get(), "lblToPlay"), toPlay);
        board->cmdNavigation_Click(3);
        QTRY_COMPARE(TextOf(window.get(), "lblToPlay"), line);
        QCOMPARE(Items(board->lstWhiteMoves), white);
        QCOMPARE(Items(board->lstBlackMoves), black);
    }

    void helpClosesWithItsButtonEscapeAndCtrlW() {
        const QString page = dir.filePath("help/close.html");
        QDir().mkpath(dir.filePath("help"));
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html><body><h1>Help</h1></body></html>");
        file.close();
        CHelpWindow::strHelpFile(page);
        frmMain window;
        const struct {
            const char* how;
            std::function<void(CHelpWindow*)> close;
        } ways[] = {
            {"Close button",
             [](CHelpWindow* help) { help->findChild<QToolButton*>("cmdClose")->click(); }},
            {"Esc", [](CHelpWindow* help) { QTest::keyClick(help, Qt::Key_Escape); }},
            {"Ctrl+W",
             [](CHelpWindow* help) { QTest::keyClick(help, Qt::Key_W, Qt::ControlModifier); }},
        };
        for (const auto& way : ways) {
            window.HelpContents();
            auto* help = window.findChild<CHelpWindow*>("helpWindow");
            QVERIFY(help && help->isVisible());
            help->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(help));
            way.close(help);
            QTRY_VERIFY2(!help->isVisible(), way.how);
        }
    }

    void screenshotModeNeverWaitsForAPerson_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("said");
        const QString notes = dir.filePath("notes-for-picture.brl");
        QFile text(notes);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("These are my notes, not a workbook.\n");
        text.close();
        const QString damaged = dir.filePath("damaged-for-picture.brl");
        QFile::remove(damaged);
        testwb::Build(damaged.toStdString(), testwb::fourGamesPgn);
        testwb::Execute(damaged.toStdString(), "delete from GameNode where GameTreeID=1");
        QTest::newRow("not a workbook") << notes << "brisolt: ";
        QTest::newRow("first game without positions") << damaged << "brisolt: ";
    }

    void screenshotModeNeverWaitsForAPerson() {
        QFETCH(QString, file);
        QFETCH(QString, said);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", dir.filePath("xdg"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(BRISOLT_PROGRAM),
                      {"--screenshot", dir.filePath("never.png"), file});
        // A message box would wait for a click that never comes.
        const bool ended = program.waitForFinished(60000);
        if (!ended) program.kill();
        QVERIFY2(ended, "the program waited for a person");
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(QString(program.readAllStandardError()).contains(said));
    }
};

QTEST_MAIN(frmMainDisplayTest)
#include "frmMainDisplayTest.moc"
