// What the training window shows and tells the trainee, offscreen through real widgets and
// real files: tries left, refused moves and refuted tries explained, the solution stepped with
// the keys, the place in the batch, the score and the summary; a workbook that cannot be
// written; keys typed after a board click; the last move; the colours and the layout.
#include "app/CTrainingFeedback.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"
#include "tests/workbook/RawDatabase.h"
#include "tests/workbook/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTest>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace apptest;

namespace {

// White to play: 2.Nf3 is the solution, 2.Qh5 a refuted try with its refutation.
const char* const kMarkedGame = R"([Description "<b>Qh5</b> &amp; Bc4"]

1. e4 e5 2. Nf3 {develops with tempo} (2. Qh5? {is premature} 2... Nc6 3. Bc4 g6
{and the queen must move again}) 2... Nc6 {defends} 3. Bb5 $1 {the Spanish} a6
{the Morphy defence} *
)";

// The same with the try stored ahead of the solution (and its own comment to spoil).
const char* const kTryFirstGame = R"([Event "Try first"]

1. e4 e5 2. Qh5? {is premature} (2. Nf3 {develops with tempo} 2... Nc6 {guards e5} 3. Bb5 a6)
2... Nc6 3. Bc4 g6 *
)";

// The first game's solution, 1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7#, as squares (a1 = 0, h8 = 63).
const std::pair<int, int> kLine[] = {{12, 28}, {52, 36}, {3, 39}, {57, 42},
                                     {5, 26},  {62, 45}, {39, 53}};

// True when the board shows exactly one arrow, blue, for the move kLine[k] (none for k < 0).
bool isArrowFor(const cntrlChessGui* board, int k) {
    const auto& arrows = board->objMarks().arrArrows();
    if (k < 0) return arrows.empty();
    return arrows.size() == 1 && arrows[0].color == CBoardMarks::Blue &&
           std::make_pair(arrows[0].from, arrows[0].to) == kLine[k];
}

// The move kLine[k] as display squares of the board as it is oriented now ((-1, -1) for k < 0).
std::pair<int, int> Shown(const cntrlChessGui* board, int k) {
    if (k < 0) return {-1, -1};
    return {DisplayIndex(board, kLine[k].first % 8, kLine[k].first / 8),
            DisplayIndex(board, kLine[k].second % 8, kLine[k].second / 8)};
}

// Sets or clears the immutable attribute (which stops even the superuser from writing).
bool isSetImmutable(const QString& path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    int flags = 0;
    bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0) ::close(fd);
    return ok;
}

// Makes a file or folder unwritable for this process until it goes out of scope.
struct Unwritable {
    explicit Unwritable(const QString& target)
        : path(target), permissions(QFile::permissions(target)) {
        if (::geteuid() == 0)
            immutable = isSetImmutable(path, true);
        else
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~Unwritable() {
        if (immutable) isSetImmutable(path, false);
        QFile::setPermissions(path, permissions);
    }
    QString path;
    QFile::Permissions permissions;
    bool immutable = false;
};

} // namespace

class frmMainDisplayTest : public WindowTest {
    Q_OBJECT

private slots:
    // Through a batch: tries counting down and the solution stepped with the keys, the place in
    // the batch and the session's score beside the score, Black's game shown from Black's side,
    // and the summary at its end training a failed game again.
    void aBatchWithTriesTheSolutionStepsTheScoresAndTheSummary() {
        auto window = Open();
        cntrlChessGui* board = window->objBoard();
        const auto texts = [&] {
            return QStringList{TextOf(window.get(), "lblGameOf"), TextOf(window.get(), "lblScore"),
                               TextOf(window.get(), "lblSessionScore")};
        };
        QCOMPARE(texts(), (QStringList{"Game 1 of 4", "-----", ""}));
        QCOMPARE(Message(window.get()), QString("It's now your turn.\nPlease make your move."));
        const int32_t failed = Shown(window.get());
        const QString start = board->GetDiagramFromGui();
        // a2-a3, then h2-h3 while the a-pawn still stands on a3.
        const std::pair<const char*, int> wrong[] = {{"Not the solution. 2 tries left.", 0},
                                                     {"Not the solution. 1 try left.", 7}};
        for (const auto& [text, file] : wrong) {
            Drag(board, file, 1, file, 2);
            QCOMPARE(Message(window.get()), QString(text));
            // The refused move is drawn in red, its piece stands on the target a moment, then
            // goes back.
            QCOMPARE(board->objMarks().arrArrows().size(), size_t(1));
            QCOMPARE(board->objMarks().arrArrows()[0].color, int(CBoardMarks::Red));
            QTRY_VERIFY(board->GetDiagramFromGui() != start);
        }
        QTRY_COMPARE(board->GetDiagramFromGui(), start);
        QVERIFY(DragWrongMove(board));
        QVERIFY(!isShown(window.get(), "lblError2"));
        QCOMPARE(Message(window.get()),
                 QString::fromStdString(TrainingFeedback::strFailed()).replace("\r\n", "\n"));
        QVERIFY(isArrowFor(board, 0));

        // Right plays the solution's moves one by one: the last move is tinted, the arrow moves on
        // (none after End's mate). Each step: the key, the last move and the arrow, in kLine.
        const std::tuple<Qt::Key, int, int> steps[] = {
            {Qt::Key_Right, 0, 1}, {Qt::Key_Right, 1, 2}, {Qt::Key_Right, 2, 3},
            {Qt::Key_End, 6, -1},  {Qt::Key_Left, 5, 6},  {Qt::Key_Home, -1, 0}};
        for (const auto& [key, last, arrow] : steps) {
            QTest::keyClick(window.get(), key);
            QCOMPARE(board->LastMove(), Shown(board, last));
            QVERIFY(isArrowFor(board, arrow));
        }
        QCOMPARE(board->GetDiagramFromGui(), start);
        QCOMPARE(texts(), (QStringList{"Game 1 of 4", ".00%", "Session: 0 of 1 solved"}));

        // Enter, on the board that holds the keys after a game, shows the next game (the Next
        // button is drawn as the default); it starts clean: no arrow, the move box takes the keys.
        QCOMPARE(QApplication::focusWidget(), board);
        QTest::keyClick(board, Qt::Key_Return);
        QVERIFY(board->objMarks().arrArrows().empty());
        QCOMPARE(QApplication::focusWidget(), board->txtMove);
        QTest::keyClick(window.get(), Qt::Key_Right); // no stepping while a game is trained
        QCOMPARE(board->LastMove(), std::make_pair(-1, -1));
        QVERIFY(board->isWhiteOnTop());
        QCOMPARE(board->ComputerPlays(), 0);
        QVERIFY(window->findChild<QAction*>("mnuPreviousGame")->isEnabled());
        QVERIFY(DragStoredMove(board));
        QCOMPARE(Message(window.get()), QString("Solved: 1... Ra1#"));
        QCOMPARE(texts(), (QStringList{"Game 2 of 4", "50.00%", "Session: 1 of 2 solved"}));
        // Ctrl+N held down shows one game, not one per repeat of the key.
        QTest::keyPress(window.get(), Qt::Key_N, Qt::ControlModifier);
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier, "", true);
        QSpontaneKeyEvent::setSpontaneous(&repeat);
        QApplication::sendEvent(window->focusWidget(), &repeat);
        // X11 sends some repeats unmarked: a release and a press at one moment.
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_N, Qt::ControlModifier);
        release.setTimestamp(5000);
        QApplication::sendEvent(window->focusWidget(), &release);
        qt_sendShortcutOverrideEvent(window->focusWidget(), 5000, Qt::Key_N, Qt::ControlModifier);
        QTest::keyRelease(window.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(window->objSession().lngGameIndex(), 2);
        // Nor does Enter held on the focused command label.
        QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "", true);
        QApplication::sendEvent(window->findChild<QWidget*>("lblNextGame"), &held);
        QCOMPARE(window->objSession().lngGameIndex(), 2);
        // A move refused just before the next game is shown never moves a piece of that game, nor
        // is a piece dragged meanwhile dropped on it (Kg1-f3 here, Nb8-c6 there); a double click
        // on the command shows the next game, not the one after it.
        QVERIFY(DragWrongMove(board));
        const QPoint from = board->rcSquarePixels(DisplayIndex(board, 6, 0)).center();
        const QPoint to = board->rcSquarePixels(DisplayIndex(board, 5, 2)).center();
        QTest::mousePress(board, Qt::LeftButton, {}, from);
        QTest::mouseMove(board, to);
        QWidget* label = window->findChild<QWidget*>("lblNextGame");
        QTest::mouseClick(label, Qt::LeftButton);
        QTest::mouseDClick(label, Qt::LeftButton);
        QTest::mouseRelease(label, Qt::LeftButton);
        const QString fool = board->GetDiagramFromGui();
        QTest::mouseRelease(board, Qt::LeftButton, {}, to);
        QCOMPARE(window->objSession().intWrongMoves(), 0);
        QTest::qWait(50);
        QCOMPARE(board->GetDiagramFromGui(), fool);
        QCOMPARE(window->objSession().lngGameIndex(), 3);

        // A book's long description, with an ampersand: the summary still fits a laptop's screen,
        // and the description gives its button no key.
        RawDatabase(four.toStdString())
            .exec("update GameTree set Description = 'Q&A, punish the early queen defence' || "
                  "replace(hex(zeroblob(60)), '00', ' and then') where ID = " +
                  std::to_string(failed));
        ModalScript summary([&](QWidget* modal) {
            QCOMPARE(modal->windowTitle(), QString("Batch finished"));
            QCOMPARE(modal->findChild<QLabel*>("lblBatchCounts")->text(),
                     QString("1 solved, 1 failed."));
            auto* again = modal->findChild<QPushButton*>(QString("cmdAgain%1").arg(failed));
            QVERIFY(again);
            QVERIFY(again->text().startsWith("Q&&A, punish the early queen defence and then"));
            QVERIFY(modal->width() <= 683); // 1024 pixels at 150%
            // Enter on a game's button trains that game, not the next batch.
            again->setFocus();
            QTest::keyClick(again, Qt::Key_Return);
        });
        window->NextGame();
        QVERIFY(summary.isDone());
        QCOMPARE(Shown(window.get()), failed);
        SolveByDragging(board);

        // The summary again counts the game with its last result; Esc goes on to a new batch.
        ModalScript next([](QWidget* modal) {
            QCOMPARE(modal->findChild<QLabel*>("lblBatchCounts")->text(),
                     QString("2 solved, 0 failed."));
            QVERIFY(modal->findChildren<QPushButton*>(QRegularExpression("^cmdAgain")).isEmpty());
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        window->NextGame();
        QVERIFY(next.isDone());
        QVERIFY(window->objSession().arrBatchResults().empty());
        QVERIFY(window->isOpenWorkbook(four)); // a workbook opened starts a new session score
        QCOMPARE(texts().at(2), QString());
    }

    // A stored move marked "?" is refused with its explanation and counts as a wrong move; the
    // solution is still taken and the comments follow the stored moves. Then a try stored ahead of
    // the solution beside a comment too long to be read: the marks are still read, the try is
    // refused, not played on, and explained at each wrong move, the last one too; then the arrow
    // and Right show the solution, not the try.
    void refutedTriesAreExplainedAndTheSolutionStillSolves() {
        const QString file = FreshFile("marked.brl");
        testwb::Build(file.toStdString(), std::string(kMarkedGame) + kTryFirstGame);
        RawDatabase(file.toStdString())
            .exec("update GameAnnotation set CommentAfter = hex(randomblob(600000)) where "
                  "CommentAfter = 'guards e5'");
        auto window = Open(file);
        cntrlChessGui* board = window->objBoard();
        QVERIFY(DragStoredMove(board)); // 1.e4, answered by 1...e5
        const QString beforeTry = board->GetFen();

        // The description reads as written, not as markup.
        auto* description = window->findChild<QLabel*>("txtGameDescription");
        description->setSelection(0, int(description->text().size()));
        QCOMPARE(description->selectedText(), QString("<b>Qh5</b> &amp; Bc4"));

        Drag(board, 3, 0, 7, 4); // the try 2.Qh5
        QCOMPARE(Message(window.get()),
                 QString("Not the solution. 2 tries left.\n\n2.Qh5 is premature: after 2...Nc6 "
                         "3.Bc4 g6 and the queen must move again"));
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
        QCOMPARE(Message(window.get()),
                 QString("2.Nf3 develops with tempo\n2...Nc6 defends\n\nComputer played "
                         "\nNc6\n\nIt's now your turn.\nPlease make your move."));
        QVERIFY(DragStoredMove(board)); // 3.Bb5, answered by 3...a6, ends the line
        QCOMPARE(Message(window.get()), QString("Solved: 1. e4 e5 2. Nf3 Nc6 3. Bb5 a6\n\n3.Bb5 "
                                                "the Spanish\n3...a6 the Morphy defence"));
        // First Move goes to the start, past the branch after 1...e5 where Previous Branch stops.
        Trigger(window.get(), "mnuMoveFirst");
        QCOMPARE(board->LastMove(), std::make_pair(-1, -1));

        Trigger(window.get(), "mnuNextGame"); // the try first, a comment unreadable
        QVERIFY(DragStoredMove(board));
        const QString why = "\n\n2.Qh5 is refuted: after 2...Nc6 3.Bc4 g6";
        const QString failed =
            QString::fromStdString(TrainingFeedback::strFailed()).replace("\r\n", "\n");
        for (const QString& after : {QString("Not the solution. 2 tries left."),
                                     QString("Not the solution. 1 try left."), failed}) {
            Drag(board, 3, 0, 7, 4); // the try 2.Qh5
            QCOMPARE(board->GetFen(), beforeTry);
            QCOMPARE(Message(window.get()), after + why);
        }
        // The arrow stands at the failed move, Right plays the solution.
        QCOMPARE(board->objMarks().arrArrows().at(0).to, 21); // to f3
        QTest::keyClick(window.get(), Qt::Key_Right);
        QVERIFY(board->GetFen().startsWith("rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R "));
        QCOMPARE(int(arrows.size()), 1);
        QCOMPARE(std::make_pair(arrows[0].from, arrows[0].to), std::make_pair(57, 42)); // Nc6
    }

    // The board fills the room the window gives it, with the panel right beside it and nothing
    // of the panel cut, at the minimum size and at common screen sizes.
    void theBoardFillsItsRoomWithThePanelBesideIt_data() {
        QTest::addColumn<QSize>("size"); // an empty size (-1x-1) stands for the window's minimum
        QTest::addColumn<bool>("ended");
        // Then laptops' screens: 1366x768 and 1024x768 at 125%, 1280x768 and 1024x768 at 150%.
        for (const QSize& size :
             {QSize(), QSize(1280, 800), QSize(1024, 700), QSize(1920, 1080), QSize(900, 1000),
              QSize(1092, 614), QSize(819, 614), QSize(853, 512), QSize(683, 512)}) {
            QTest::addRow("%dx%d, training", size.width(), size.height()) << size << false;
            QTest::addRow("%dx%d, solution", size.width(), size.height()) << size << true;
        }
    }

    void theBoardFillsItsRoomWithThePanelBesideIt() {
        QFETCH(QSize, size);
        QFETCH(bool, ended);
        auto window = Open();
        if (ended) window->ShowSolution();
        window->resize(size.isEmpty() ? window->minimumSize() : size);
        QTest::qWait(50);
        QCOMPARE(window->size(), size.isEmpty() ? window->minimumSize() : size);
        cntrlChessGui* board = window->objBoard();
        auto* panel = window->findChild<QWidget*>("sidePanel");
        const QRect h1 = board->rcSquarePixels(DisplayIndex(board, 7, 0));
        const QRect a8 = board->rcSquarePixels(DisplayIndex(board, 0, 7));
        // After a game the board shows its move lists beside the squares.
        const QWidget* lists = board->lstVariations;
        const int boardRight = ended ? lists->mapTo(window.get(), QPoint(lists->width(), 0)).x()
                                     : board->mapTo(window.get(), h1.topRight()).x();
        const int panelLeft = panel->mapTo(window.get(), QPoint(0, 0)).x();
        QVERIFY2(panelLeft - boardRight >= 0 && panelLeft - boardRight <= 24,
                 qPrintable(QString("a band of %1 px").arg(panelLeft - boardRight)));
        // Squares big enough to drop a piece on; after a game, when no piece is moved, to read
        // (where the width is short, 1024 pixels at 150%, 22: 33 on the screen).
        QVERIFY(h1.width() >= (!ended ? 40 : window->width() < 700 ? 22 : 35));
        QVERIFY(board->mapTo(window.get(), h1.bottomRight()).y() < window->height());
        QVERIFY(a8.top() >= 0);
        const auto isInWindow = [&](const QWidget* part) {
            return window->rect().contains(
                QRect(part->mapTo(window.get(), QPoint()), part->size()));
        };
        if (!ended) QVERIFY(isInWindow(board->txtMove)); // the move box under the board
        // Nothing of the panel is cut: each part has the height it asks for, and is in the window
        // once the panel is scrolled to it.
        auto* area = window->findChild<QScrollArea*>("sidePanelArea");
        QVERIFY(area && isInWindow(area));
        for (const char* name : {"txtGameDescription", "lblToPlay", "lblScore", "lblClearLog"}) {
            auto* part = window->findChild<QLabel*>(name);
            const int wanted = part->hasHeightForWidth() ? part->heightForWidth(part->width())
                                                         : part->minimumSizeHint().height();
            QVERIFY2(part->height() >= wanted, name);
            area->ensureWidgetVisible(part, 0, 0);
            const QRect shown(part->mapTo(area->viewport(), QPoint(0, 0)), part->size());
            QVERIFY2(area->viewport()->rect().contains(shown), name);
        }
        // The next game's description is in view, though the panel was scrolled to its end.
        Trigger(window.get(), "mnuNextGame");
        const QWidget* description = window->findChild<QLabel*>("txtGameDescription");
        QVERIFY(description->mapTo(area->viewport(), QPoint(0, 0)).y() >= 0);
        // A click in the room right of a command's text runs no command.
        const QWidget* flip = window->findChild<QWidget*>("lblFlip");
        QVERIFY(panel->childAt(flip->x() + flip->sizeHint().width() + 20,
                               flip->y() + flip->height() / 2) == nullptr);
    }

    // The file write-protected, then its folder (no journal can be made), the file opened through
    // a link from a writable folder.
    void aWorkbookThatCannotBeWrittenIsTrainedWithoutRecording() {
        for (const bool folder : {false, true}) {
            const QString place = FreshFile(folder ? "locked-folder" : "locked-file");
            QDir().mkpath(place);
            const QString file = place + "/four.brl";
            QVERIFY(QFile::copy(four, file));
            const QString link = FreshFile("link.brl");
            QVERIFY(QFile::link(file, link));
            const std::string before = FileBytes(file.toStdString());
            {
                Unwritable lock(folder ? place : file);
                if (QFileInfo(lock.path).isWritable()) QSKIP("this system cannot write-protect");
                auto window = Open(folder ? link : file);
                QCOMPARE(TextOf(window.get(), "lblReadOnly"),
                         QString("This workbook is read-only: results will not be recorded."));
                QVERIFY(isShown(window.get(), "lblReadOnly"));
                QVERIFY(window->windowTitle().contains("(read-only)"));
                QVERIFY(window->findChild<QLineEdit*>("txtWorkbook")->isReadOnly());
                ModalScript none(Cancel());
                SolveByDragging(window->objBoard());
                QVERIFY(Message(window.get()).contains("not recorded"));
                QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));
                Trigger(window.get(), "mnuNextGame");
                Trigger(window.get(), "mnuShowSolution");
                QVERIFY(none.Seen().empty()); // said once, in the window, never in a box
                window->close();
            }
            QCOMPARE(FileBytes(file.toStdString()), before);
        }
    }

    void keysTypedAfterABoardClickNeverReachTheTitle() {
        auto window = Open();
        cntrlChessGui* board = window->objBoard();
        auto* title = window->findChild<QLineEdit*>("txtWorkbook");
        const QString kept = title->text();
        // Not the title box at the start: the board's move box, ready for a typed move; and
        // again once Enter has ended an edit of the title.
        QCOMPARE(QApplication::focusWidget(), board->txtMove);
        title->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(title, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), board->txtMove);
        for (const bool drag : {false, true}) {
            title->setFocus(Qt::MouseFocusReason);
            if (drag)
                QVERIFY(DragWrongMove(board));
            else
                QTest::mouseClick(board, Qt::LeftButton, {},
                                  board->rcSquarePixels(DisplayIndex(board, 3, 3)).center());
            QVERIFY2(QApplication::focusWidget() == board, drag ? "wrong move dragged" : "click");
            QTest::keyClicks(QApplication::focusWidget(), "zq");
            for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Backspace, Qt::Key_Home})
                QTest::keyClick(QApplication::focusWidget(), key);
            QCOMPARE(title->text(), kept);
        }
        // The board flipped as a move is refused shows the position, flipped, and nothing else.
        QVERIFY(DragWrongMove(board));
        Trigger(window.get(), "mnuFlip");
        const QString flipped = board->GetDiagramFromGui();
        QTest::qWait(50);
        QCOMPARE(board->GetDiagramFromGui(), flipped);
        // Black's Ng8-f6 dragged while the board flips back is dropped on nothing, not played as
        // White's Nb1-c3 from the same place on the screen (the third wrong move).
        QTest::mousePress(board, Qt::LeftButton, {},
                          board->rcSquarePixels(DisplayIndex(board, 6, 7)).center());
        const QPoint f6 = board->rcSquarePixels(DisplayIndex(board, 5, 5)).center();
        QTest::mouseMove(board, f6);
        Trigger(window.get(), "mnuFlip");
        QTest::mouseRelease(board, Qt::LeftButton, {}, f6);
        QCOMPARE(board->boardMode(), BoardMode::Training);
    }

    // Black mates in one, White stalemates. Each: the game, the move lists of both sides at the
    // end, the end's name and the FEN copied there.
    void theLastMoveIsShownInItsSidesColumnWithItsSign() {
        const std::tuple<const char*, QStringList, QStringList, QString, QString> ends[] = {
            {"[SetUp \"1\"]\n[FEN \"r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1\"]\n\n1... Ra1# *",
             {"1.  ... "},
             {"Ra1#"},
             "Checkmate",
             "6k1/5ppp/8/8/8/8/5PPP/r5K1 w - -"},
            {"[SetUp \"1\"]\n[FEN \"7k/4Q3/6K1/8/8/8/8/8 w - - 0 1\"]\n\n1. Qf7 *",
             {"1.Qf7"},
             {""},
             "Stalemate",
             "7k/5Q2/6K1/8/8/8/8/8 b - -"},
        };
        for (const auto& [pgn, white, black, line, fen] : ends) {
            const QString file = FreshFile(line + ".brl");
            testwb::Build(file.toStdString(), pgn);
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
    }
};

QTEST_MAIN(frmMainDisplayTest)
#include "frmMainDisplayTest.moc"
