// What the training window shows and tells the trainee, offscreen through the real window and real
// files: tries left, the refused move shown and taken back, refuted tries with their explanation,
// comments with the stored moves, the solved lines, the solution's arrow and stepping with the
// keys, the place in the batch, the session's score and the batch summary; a workbook that cannot
// be written (trained without recording, left byte for byte as it was), keys typed after a board
// click, the last move in its side's column, the window's colours and its layout at every size.
#include "app/CAppearance.h"
#include "app/CTrainingFeedback.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace apptest;

namespace {

// White to play: 2.Nf3 is the solution, 2.Qh5 a refuted try with its refutation.
const char* const kMarkedGame = R"([Event "Refuted try"]
[Result "*"]

1. e4 e5 2. Nf3 {develops with tempo} (2. Qh5? {is premature} 2... Nc6 3. Bc4 g6
{and the queen must move again}) 2... Nc6 {defends} 3. Bb5 $1 {the Spanish} a6
{the Morphy defence} *
)";

// The first game's solution, 1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7#, as squares (a1 = 0, h8 = 63).
const std::pair<int, int> kLine[] = {{12, 28}, {52, 36}, {3, 39}, {57, 42},
                                     {5, 26},  {62, 45}, {39, 53}};

// True when the board shows exactly one arrow, blue, for the move.
bool isArrowFor(const cntrlChessGui* board, std::pair<int, int> move) {
    const auto& arrows = board->objMarks().arrArrows();
    return arrows.size() == 1 && arrows[0].color == CBoardMarks::Blue &&
           std::make_pair(arrows[0].from, arrows[0].to) == move;
}

// The move as display squares of the board as it is oriented now.
std::pair<int, int> Shown(const cntrlChessGui* board, std::pair<int, int> move) {
    return {DisplayIndex(board, move.first % 8, move.first / 8),
            DisplayIndex(board, move.second % 8, move.second / 8)};
}

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

} // namespace

class frmMainDisplayTest : public WindowTest {
    Q_OBJECT

private slots:
    void wrongMovesCountDownThenTheSolutionIsSteppedWithTheKeys() {
        auto window = Open();
        cntrlChessGui* board = window->objBoard();
        const QString start = board->GetDiagramFromGui();
        for (const char* text :
             {"Not the solution. 2 tries left.", "Not the solution. 1 try left."}) {
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
        QVERIFY(!isShown(window.get(), "lblError2"));
        QCOMPARE(Message(window.get()),
                 QString::fromStdString(TrainingFeedback::strFailed()).replace("\r\n", "\n"));
        QVERIFY(isArrowFor(board, kLine[0]));

        // Right plays the solution's moves one by one: the last move is tinted, the arrow moves on.
        for (size_t k = 0; k < 3; ++k) {
            QTest::keyClick(window.get(), Qt::Key_Right);
            QCOMPARE(board->LastMove(), Shown(board, kLine[k]));
            QVERIFY(isArrowFor(board, kLine[k + 1]));
        }
        QTest::keyClick(window.get(), Qt::Key_End);
        QCOMPARE(board->LastMove(), Shown(board, kLine[6]));
        QVERIFY(board->objMarks().arrArrows().empty()); // mate: no move follows
        QTest::keyClick(window.get(), Qt::Key_Left);
        QCOMPARE(board->LastMove(), Shown(board, kLine[5]));
        QVERIFY(isArrowFor(board, kLine[6]));
        QTest::keyClick(window.get(), Qt::Key_Home);
        QCOMPARE(board->LastMove(), std::make_pair(-1, -1));
        QCOMPARE(board->GetDiagramFromGui(), start);
        QVERIFY(isArrowFor(board, kLine[0]));

        // The next game starts clean: no arrow, the move box takes the keys.
        window->NextGame();
        QVERIFY(board->objMarks().arrArrows().empty());
        QCOMPARE(QApplication::focusWidget(), board->txtMove);
        QTest::keyClick(window.get(), Qt::Key_Right); // no stepping while a game is trained
        QCOMPARE(board->boardMode(), BoardMode::Training);
        QCOMPARE(board->LastMove(), std::make_pair(-1, -1));
    }

    // A stored move marked "?" is refused with its explanation and counts as a wrong move; the
    // solution is still taken and the comments follow the stored moves.
    void aRefutedTryIsExplainedAndTheSolutionStillSolves() {
        const QString file = FreshFile("marked.brl");
        const int32_t id = testwb::Build(file.toStdString(), kMarkedGame).front();
        auto window = Open(file);
        cntrlChessGui* board = window->objBoard();
        QVERIFY(DragStoredMove(board)); // 1.e4, answered by 1...e5
        const QString beforeTry = board->GetFen();

        Drag(board, 3, 0, 7, 4); // the try 2.Qh5
        QCOMPARE(board->boardMode(), BoardMode::Training);
        QCOMPARE(board->GetFen(), beforeTry);
        QVERIFY(isShown(window.get(), "lblError0"));
        QVERIFY(!isShown(window.get(), "lblError1"));
        QVERIFY2(Message(window.get())
                     .startsWith("2.Qh5 is premature: after 2...Nc6 3.Bc4 g6 and the queen "
                                 "must move again"),
                 qPrintable(Message(window.get())));
        QCOMPARE(board->strLastSound(), QString("failure"));
        // The try in red from d1 to h5, the refutation's first move in blue from b8 to c6.
        const auto& arrows = board->objMarks().arrArrows();
        QCOMPARE(int(arrows.size()), 2);
        QCOMPARE(std::make_tuple(arrows[0].from, arrows[0].to, arrows[0].color),
                 std::make_tuple(3, 39, int(CBoardMarks::Red)));
        QCOMPARE(std::make_tuple(arrows[1].from, arrows[1].to, arrows[1].color),
                 std::make_tuple(57, 42, int(CBoardMarks::Blue)));

        // The solution is taken; the comments of both stored moves come with the reply.
        QVERIFY(DragStoredMove(board)); // 2.Nf3, answered by 2...Nc6
        QVERIFY(board->objMarks().arrArrows().empty());
        QVERIFY2(Message(window.get())
                     .startsWith("2.Nf3 develops with tempo\n2...Nc6 defends\n\n"
                                 "Computer played \nNc6"),
                 qPrintable(Message(window.get())));
        QVERIFY(DragStoredMove(board)); // 3.Bb5, answered by 3...a6, ends the line
        QCOMPARE(board->boardMode(), BoardMode::View);
        QVERIFY(isShown(window.get(), "imgSuccess"));
        QVERIFY2(
            Message(window.get()).startsWith("Solved: ") &&
                Message(window.get()).endsWith("\n\n3.Bb5 the Spanish\n3...a6 the Morphy defence"),
            qPrintable(Message(window.get())));
        const testwb::Stats stats = testwb::Read(file.toStdString(), id);
        QCOMPARE(std::make_pair(stats.hits, stats.solve), std::make_pair(1, 1));
    }

    // Through a batch: the place in it and the session's score beside the score, Black's game
    // shown from Black's side, and the summary at its end training a failed game again.
    void theBatchPlaceTheSessionScoreAndTheSummary() {
        auto window = Open();
        cntrlChessGui* board = window->objBoard();
        const auto texts = [&] {
            return QStringList{TextOf(window.get(), "lblGameOf"), TextOf(window.get(), "lblScore"),
                               TextOf(window.get(), "lblSessionScore")};
        };
        QCOMPARE(texts(), (QStringList{"Game 1 of 4", "-----", ""}));
        QCOMPARE(Message(window.get()), QString("It's now your turn.\nPlease make your move."));
        QVERIFY(!window->findChild<QAction*>("mnuPreviousGame")->isEnabled());
        const int32_t failed = Shown(window.get());
        window->ShowSolution();
        QCOMPARE(texts(), (QStringList{"Game 1 of 4", ".00%", "Session: 0 of 1 solved"}));
        window->findChild<QPushButton*>("cmdNext")->click();
        QCOMPARE(TextOf(window.get(), "lblToPlay"), QString("Black to play"));
        QVERIFY(board->isWhiteOnTop());
        QCOMPARE(board->ComputerPlays(), 0);
        QVERIFY(window->findChild<QAction*>("mnuPreviousGame")->isEnabled());
        QVERIFY(DragStoredMove(board));
        QCOMPARE(Message(window.get()), QString("Solved: 1... Ra1#"));
        QCOMPARE(texts(), (QStringList{"Game 2 of 4", "50.00%", "Session: 1 of 2 solved"}));
        QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
        window->NextGame();
        QCOMPARE(window->objSession().lngGameIndex(), 3);

        ModalScript summary;
        summary.Then([&](QWidget* modal) {
            QCOMPARE(modal->windowTitle(), QString("Batch finished"));
            QCOMPARE(modal->findChild<QLabel*>("lblBatchCounts")->text(),
                     QString("1 solved, 1 failed."));
            auto* again = modal->findChild<QPushButton*>(QString("cmdAgain%1").arg(failed));
            QVERIFY(again);
            QCOMPARE(again->text(), QString("Punish the early queen defence, p.12"));
            again->click();
        });
        window->NextGame();
        QVERIFY(summary.isDone());
        QCOMPARE(Shown(window.get()), failed);
        SolveByDragging(board);
        QCOMPARE(Message(window.get()), QString("Solved: 1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7#"));
        QVERIFY(board->objMarks().arrArrows().empty());
        const testwb::Stats stats = testwb::Read(four.toStdString(), failed);
        QCOMPARE(std::make_pair(stats.hits, stats.solve), std::make_pair(2, 1));

        // The summary again counts the game with its last result; Esc goes on to a new batch.
        ModalScript next;
        next.Then([](QWidget* modal) {
            QCOMPARE(modal->findChild<QLabel*>("lblBatchCounts")->text(),
                     QString("2 solved, 0 failed."));
            QVERIFY(modal->findChildren<QPushButton*>(QRegularExpression("^cmdAgain")).isEmpty());
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        window->NextGame();
        QVERIFY(next.isDone());
        QCOMPARE(window->objSession().lngGameIndex(), 0);
        QVERIFY(window->objSession().arrBatchResults().empty());
        QVERIFY(!window->findChild<QAction*>("mnuPreviousGame")->isEnabled());
        QVERIFY(window->isOpenWorkbook(four)); // a workbook opened starts a new session score
        QCOMPARE(texts().at(2), QString());
    }

    // The board fills the room the window gives it, with the panel right beside it and nothing
    // of the panel cut, at the minimum size and at common screen sizes.
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
        const std::string before = FileBytes(file.toStdString());
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
        QCOMPARE(FileBytes(file.toStdString()), before);
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
