// The training window offscreen through real widgets and real files: start-up, settings, help,
// About, practice and the end of the program; what the window shows and tells the trainee while
// training a batch; every result recorded on the game that was on the board, once, with its
// figures in the history; a workbook that cannot be written or breaks while open; changes of
// workbook and of its games; new workbooks, games entered and PGN brought in; the window's keys,
// colours and layout; and the program itself run for its version and its pictures.
#include "app/frmMain.h"

#include "app/CAboutBox.h"
#include "app/CAppearance.h"
#include "app/CHelpWindow.h"
#include "app/CTrainingFeedback.h"
#include "app/CTrainingSession.h"
#include "board/cntrlChessGui.h"
#include "editor/frmGameEditor.h"
#include "editor/frmGames.h"
#include "game/CPosition.h"
#include "model/CDiagram.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/workbook/RawDatabase.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace apptest;

namespace {

const QByteArray kNotes = "These are my notes, not a workbook.\n";

ModalScript::Action ChooseColor(int red, int green, int blue) {
    return [=](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        QVERIFY2(dialog, "expected a colour dialog");
        dialog->setCurrentColor(QColor(red, green, blue));
        dialog->accept();
    };
}

// How a run of the program ended.
struct ProgramRun {
    bool ended; // false when it was still running at the time limit (then killed)
    int exitCode;
    QString out, err;
};

// Runs the program offscreen with its settings in a folder of their own.
ProgramRun RunProgram(const QStringList& arguments, const QString& configFolder) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", configFolder);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(BRISOLT_PROGRAM), arguments);
    const bool ended = process.waitForFinished(60000);
    if (!ended) process.kill();
    process.waitForFinished();
    return {ended, process.exitCode(), process.readAllStandardOutput(),
            process.readAllStandardError()};
}

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

bool isBoardEmpty(frmMain* window) {
    const auto position = window->objBoard()->objPosition();
    return position && position->objDiagram() && position->objDiagram()->intCount() == 0;
}

QString NoGamesText() {
    return QString::fromStdString(CTrainingSession::strNoGamesMessage()).replace("\r\n", "\n");
}

bool isEnabled(QWidget* window, const char* action) {
    return window->findChild<QAction*>(action)->isEnabled();
}

// Plays wrong moves (each one marked while the game goes on), then ends the shown game by
// solving it ("solve"), by Show solution ("show") or by the third wrong move (""), and checks
// what the window shows at the end of the first recorded game.
void EndGame(frmMain* window, int wrong, const QString& ending) {
    cntrlChessGui* board = window->objBoard();
    for (int k = 0; k < wrong; ++k) {
        QVERIFY(DragWrongMove(board));
        if (k == 2) break;
        QVERIFY(isShown(window, qPrintable(QString("lblError%1").arg(k))));
        QVERIFY(!isShown(window, qPrintable(QString("lblError%1").arg(k + 1))));
        QCOMPARE(board->boardMode(), BoardMode::Training);
    }
    if (ending == "solve") SolveByDragging(board);
    if (ending == "show") Trigger(window, "mnuShowSolution");
    const bool solved = ending == "solve";
    QCOMPARE(board->boardMode(), BoardMode::View);
    QVERIFY(!isShown(window, "lblError0"));
    QCOMPARE(isShown(window, "imgSuccess"), solved);
    QCOMPARE(isShown(window, "imgFail"), !solved);
    // The picture shown is drawn, green for a solved game and red for the others.
    const QImage picture =
        window->findChild<QLabel*>(solved ? "imgSuccess" : "imgFail")->pixmap().toImage();
    QVERIFY(!picture.isNull());
    const QColor belowSign = picture.pixelColor(picture.width() / 2, picture.height() * 3 / 4);
    QCOMPARE(belowSign.green() > belowSign.red(), solved);
    QVERIFY(isShown(window, "cmdNext"));
    QVERIFY(Message(window).startsWith(solved ? "Solved: " : "Not solved."));
    QCOMPARE(TextOf(window, "lblScore"), QString(solved ? "100.00%" : ".00%"));
    // Neither the label nor the menu can end the game a second time.
    QVERIFY(!window->findChild<QWidget*>("lblShowSolution")->isEnabled());
    QVERIFY(!isEnabled(window, "mnuShowSolution"));
    window->ShowSolution();
}

} // namespace

class frmMainTest : public WindowTest {
    Q_OBJECT

private:
    std::unique_ptr<frmMain> NewWorkbook(const std::shared_ptr<ScriptedPrompts>& prompts) {
        auto window = std::make_unique<frmMain>();
        window->SetEditorPrompts(prompts);
        window->NewWorkbook();
        return window;
    }

private slots:
    // Without a usable last workbook the program says why (if there is something to say) and
    // asks for one; a file that is not a workbook is left as it was.
    void startupWithoutAUsableWorkbookAsksForOne_data() {
        QTest::addColumn<QString>("last");        // the last workbook stored
        QTest::addColumn<QString>("commandLine"); // the workbook named on the command line
        QTest::addColumn<int>("icon");            // of the box before the dialog, -1 for none
        QTest::addColumn<QString>("said");        // a part of that box's text
        QTest::newRow("first start") << QString() << QString() << -1 << QString();
        QTest::newRow("last one gone") << dir.filePath("deleted.brl") << "" << -1 << "";
        QTest::newRow("missing on the command line")
            << "four" << dir.filePath("typo.brl") << int(QMessageBox::Warning) << "typo.brl";
        QTest::newRow("not a workbook")
            << dir.filePath("notes.brl") << "" << int(QMessageBox::Critical) << "";
    }

    void startupWithoutAUsableWorkbookAsksForOne() {
        QFETCH(QString, last);
        QFETCH(QString, commandLine);
        QFETCH(int, icon);
        QFETCH(QString, said);
        const QString notes = WriteFile(dir.filePath("notes.brl"), kNotes);
        if (!last.isEmpty()) SetSetting("General/LastOpened", last == "four" ? four : last);
        ModalScript script;
        if (icon >= 0) script.Then(Press(QMessageBox::Ok));
        script.Then(ChooseFile(four));
        frmMain window;
        if (!commandLine.isEmpty()) window.strStartupWorkbook(commandLine);
        window.show();
        QTRY_VERIFY(window.objWorkBook() != nullptr);
        const std::vector<SeenModal>& seen = script.Seen();
        QCOMPARE(int(seen.size()), icon >= 0 ? 2 : 1);
        if (icon >= 0) {
            QCOMPARE(seen.front().icon, icon);
            QVERIFY2(seen.front().text.contains(said), qPrintable(seen.front().text));
        }
        QCOMPARE(seen.back().className, QString("QFileDialog"));
        QCOMPARE(seen.back().filter, QString("Workbooks (*.brl);;All files (*)"));
        // The window names the workbook (its file name when it has no title).
        QCOMPARE(window.windowTitle(), QFileInfo(four).completeBaseName() + " - Brisolt");
        QCOMPARE(Setting("General/LastOpened"), QFileInfo(four).absoluteFilePath());
        QCOMPARE(TextOf(&window, "txtGameDescription"), QString("Punish the early queen defence"));
        QCOMPARE(FileBytes(notes.toStdString()), kNotes.toStdString());
    }

    void cancellingTheFirstDialogEndsTheProgram() {
        ModalScript script(Cancel());
        frmMain window;
        window.show();
        QTRY_VERIFY(script.isDone());
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(window.objWorkBook() == nullptr);
    }

    // Colours and the board's side start as white and green with White below, and what the
    // trainee chooses is stored and applied at the next start.
    void boardColoursAndSideAreStoredAndAppliedAtTheNextStart() {
        const quint32 light = 0xF0 | (0xD9 << 8) | (0xB5 << 16);
        const quint32 dark = 0xB5 | (0x88 << 8) | (0x63 << 16);
        const auto look = [](const frmMain& window) {
            const cntrlChessGui* board = window.objBoard();
            return std::make_tuple(board->SquareColorLight(), board->SquareColorDark(),
                                   board->isWhiteOnTop());
        };
        {
            frmMain window;
            QCOMPARE(look(window), std::make_tuple(16777215u, 65280u, false));
            // The default colours are a theme of the menu, so that choosing it brings them back.
            QCOMPARE(window.objBoard()->strBoardTheme(), QString("Lime"));
            ModalScript script;
            script.Then(ChooseColor(0xF0, 0xD9, 0xB5))
                .Then(ChooseColor(0xB5, 0x88, 0x63))
                .Then(Cancel());
            window.ChooseLightColor();
            window.ChooseDarkColor();
            window.ChooseLightColor(); // cancelled: unchanged
            QVERIFY(script.isDone());
            for (const char* value : {"1", "0", "1"}) {
                Trigger(&window, "mnuFlip");
                QCOMPARE(Setting("Options/WhiteOnTop"), QString(value));
            }
            QCOMPARE(look(window), std::make_tuple(light, dark, true));
        }
        QCOMPARE(Setting("Options/LightColor"), QString::number(light));
        QCOMPARE(Setting("Options/DarkColor"), QString::number(dark));
        frmMain window;
        QCOMPARE(look(window), std::make_tuple(light, dark, true));
        QCOMPARE(window.objBoard()->strBoardTheme(), QString("Brown")); // its colours were chosen
        QCOMPARE(window.objBoard()->boardMode(), BoardMode::Training);
    }

    void helpShowsTheContentsPageAndClosesWithItsButtonEscapeAndCtrlW() {
        frmMain window;
        // Without a help file the program says so.
        CHelpWindow::strHelpFile("");
        ModalScript script(Press(QMessageBox::Ok));
        window.HelpContents();
        QVERIFY(script.isDone());
        QCOMPARE(script.Seen().at(0).text, QString("Unable to display Help Contents. There is no "
                                                   "Help associated with this project."));
        QCOMPARE(script.Seen().at(0).icon, int(QMessageBox::Information));

        const QString page =
            WriteFile(dir.filePath("help/index.html"),
                      "<html><body><h1>Training</h1><a href='menus.html'>Menus</a></body></html>");
        CHelpWindow::strHelpFile(page);
        for (const QString way : {"cmdClose", "Esc", "Ctrl+W"}) {
            window.HelpContents();
            auto* help = window.findChild<CHelpWindow*>("helpWindow");
            QVERIFY(help && help->isVisible());
            QCOMPARE(help->objCurrentPage(), QUrl::fromLocalFile(page));
            QVERIFY(help->objBrowser()->toPlainText().contains("Training"));
            help->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(help));
            if (way == "cmdClose")
                help->findChild<QToolButton*>(way)->click();
            else
                QTest::keySequence(help, QKeySequence(way));
            QTRY_VERIFY2(!help->isVisible(), qPrintable(way));
        }
    }

    void aboutBoxIsModalWithSystemInformation() {
        const QString info = CAboutBox::strSystemInfo();
        for (const char* fact : {"Operating system: ", "Qt: ", "SQLite: 3.", "Chess engine: "})
            QVERIFY2(info.contains(fact), fact);
        if (QFile::exists("/usr/games/stockfish"))
            QVERIFY2(info.contains("/usr/games/stockfish") || info.contains("/usr/bin/stockfish"),
                     qPrintable(info));
        frmMain window;
        ModalScript script([](QWidget* about) {
            QVERIFY(about->isModal());
            QCOMPARE(about->findChild<QLabel*>("lblVersion")->text(),
                     "Version " + frmMain::strVersion());
            about->findChild<QPushButton*>("cmdSysInfo")->click();
        });
        script
            .Then([info](QWidget* box) {
                QCOMPARE(box->findChild<QLabel*>("lblSystemInfo")->text(), info);
                // Copied for a bug report, word for word.
                QGuiApplication::clipboard()->clear();
                box->findChild<QPushButton*>("cmdCopy")->click();
                QCOMPARE(QGuiApplication::clipboard()->text(), info);
                qobject_cast<QDialog*>(box)->reject();
            })
            .Then(Cancel());
        window.About();
        QTRY_VERIFY(script.isDone());
        QCOMPARE(script.Seen().at(0).title, QString("About Brisolt"));
        QCOMPARE(script.Seen().at(1).title, QString("System Info"));

        // One version text everywhere: the About box, the program's --version.
        const ProgramRun run = RunProgram({"--version"}, dir.filePath("xdg"));
        QCOMPARE(run.out.trimmed(), "Brisolt " + frmMain::strVersion());
    }

    void practiceOpensModallyOnTheShownGameAndNamesTheEngine() {
        auto window = Open();
        auto* menu = window->findChild<QAction*>("mnuCrafty");
        QVERIFY2(menu->text().startsWith("Play the game against &"), qPrintable(menu->text()));
        QCOMPARE(TextOf(window.get(), "lblCrafty"), QString(menu->text()).remove('&'));
        ModalScript script(Cancel());
        menu->trigger();
        QVERIFY(script.isDone());
        QCOMPARE(script.Seen().at(0).className, QString("frmCrafty"));
        QVERIFY(script.Seen().at(0).title.startsWith("Practice with "));
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training); // the game is untouched
    }

    // The keys users rely on and the menus they sit in; Exit closes the workbook and leaves the
    // user's game files alone.
    void menusShortcutsAndExit() {
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const QStringList files = {"game1.txt", "games.pgn", "game-notes.txt"};
        for (const QString& name : files)
            WriteFile(dir.filePath(name), "keep me");
        auto window = Open();
        QStringList menus;
        for (QAction* action : window->menuBar()->actions())
            menus << action->text();
        QCOMPARE(menus, QStringList({"&File", "&Edit", "&Training", "&Options", "&Help"}));
        for (const QString key :
             {"mnuOpenWorkbook Ctrl+O", "mnuExit Ctrl+Q", "mnuNewWorkbook Ctrl+Shift+N",
              "mnuGames Ctrl+G", "mnuShowSolution Ctrl+S", "mnuPreviousGame Ctrl+P",
              "mnuNextGame Ctrl+N", "mnuFlip Ctrl+F", "mnuContents F1", "mnuCrafty Ctrl+T",
              "mnuMoveFirst Home", "mnuMovePrevious Left", "mnuMoveNext Right", "mnuMoveLast End",
              "mnuVariationUp Up", "mnuVariationDown Down"}) {
            const QString name = key.section(' ', 0, 0);
            auto* action = window->findChild<QAction*>(name);
            QCOMPARE(action ? name + " " + action->shortcut().toString() : name, key);
        }
        Trigger(window.get(), "mnuExit");
        QVERIFY(!window->isVisible());
        QVERIFY(window->objWorkBook() == nullptr);
        window.reset();
        QDir::setCurrent(previous);
        for (const QString& name : files)
            QVERIFY2(QFile::exists(dir.filePath(name)), qPrintable(name));
    }

    void screenshotModeWritesThePicture() {
        const QString picture = dir.filePath("shot.png");
        ProgramRun run = RunProgram({"--screenshot", picture, four}, dir.filePath("xdg"));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.trimmed(), picture);
        QImage image(picture);
        QVERIFY(image.width() >= 800 && image.height() >= 500);

        // Moves played for a picture are played on a copy: the file keeps its statistics.
        const QString solved = dir.filePath("solved.png");
        run = RunProgram({"--screenshot", solved, "--moves", "9", four}, dir.filePath("xdg"));
        QCOMPARE(run.exitCode, 0);
        QVERIFY(!QImage(solved).isNull());
        QVERIFY(QImage(solved) != image);
        QCOMPARE(testwb::Read(four.toStdString(), 1).hits, 0);
    }

    // A message box would wait for a click that never comes: the picture mode says it and ends.
    // The workbook: its first game without positions, then a file of notes, then missing.
    void screenshotModeNeverWaitsForAPerson() {
        for (const QString sql : {"delete from GameNode where GameTreeID=1", "", "missing"}) {
            if (sql == "missing")
                QFile::remove(four);
            else if (sql.isEmpty())
                WriteFile(four, kNotes);
            else
                RawDatabase(four.toStdString()).exec(sql.toStdString());
            const ProgramRun run =
                RunProgram({"--screenshot", dir.filePath("never.png"), four}, dir.filePath("xdg"));
            QVERIFY2(run.ended, qPrintable("the program waited for a person: " + sql));
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains("brisolt: "), qPrintable(run.err));
        }
    }

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
        }
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
        QCOMPARE(Message(window.get()),
                 QString("2.Qh5 is premature: after 2...Nc6 3.Bc4 g6 and the queen must move "
                         "again\n\nNot the solution. 2 tries left."));
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
        QCOMPARE(Message(window.get()),
                 QString("2.Nf3 develops with tempo\n2...Nc6 defends\n\nComputer played "
                         "\nNc6\n\nIt's now your turn.\nPlease make your move."));
        QVERIFY(DragStoredMove(board)); // 3.Bb5, answered by 3...a6, ends the line
        QCOMPARE(board->boardMode(), BoardMode::View);
        QVERIFY(isShown(window.get(), "imgSuccess"));
        QCOMPARE(Message(window.get()), QString("Solved: 1. e4 e5 2. Nf3 Nc6 3. Bb5 a6\n\n3.Bb5 "
                                                "the Spanish\n3...a6 the Morphy defence"));
        const testwb::Stats stats = testwb::Read(file.toStdString(), id);
        QCOMPARE(std::make_pair(stats.hits, stats.solve), std::make_pair(1, 1));
        // First Move goes to the start, past the branch after 1...e5 where Previous Branch stops.
        Trigger(window.get(), "mnuMoveFirst");
        QCOMPARE(board->LastMove(), std::make_pair(-1, -1));
        QVERIFY(board->GetFen().startsWith("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w "));
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
        const int32_t failed = Shown(window.get());
        window->ShowSolution();
        QCOMPARE(texts(), (QStringList{"Game 1 of 4", ".00%", "Session: 0 of 1 solved"}));
        window->findChild<QPushButton*>("cmdNext")->click();
        QVERIFY(board->isWhiteOnTop());
        QCOMPARE(board->ComputerPlays(), 0);
        QVERIFY(isEnabled(window.get(), "mnuPreviousGame"));
        QVERIFY(DragStoredMove(board));
        QCOMPARE(Message(window.get()), QString("Solved: 1... Ra1#"));
        QCOMPARE(texts(), (QStringList{"Game 2 of 4", "50.00%", "Session: 1 of 2 solved"}));
        QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
        window->NextGame();
        QCOMPARE(window->objSession().lngGameIndex(), 3);

        ModalScript summary([&](QWidget* modal) {
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
        ModalScript next([](QWidget* modal) {
            QCOMPARE(modal->findChild<QLabel*>("lblBatchCounts")->text(),
                     QString("2 solved, 0 failed."));
            QVERIFY(modal->findChildren<QPushButton*>(QRegularExpression("^cmdAgain")).isEmpty());
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        window->NextGame();
        QVERIFY(next.isDone());
        QCOMPARE(window->objSession().lngGameIndex(), 0);
        QVERIFY(window->objSession().arrBatchResults().empty());
        QVERIFY(window->isOpenWorkbook(four)); // a workbook opened starts a new session score
        QCOMPARE(texts().at(2), QString());
    }

    // The board fills the room the window gives it, with the panel right beside it and nothing
    // of the panel cut, at the minimum size and at common screen sizes.
    void theBoardFillsItsRoomWithThePanelBesideIt_data() {
        QTest::addColumn<QSize>("size"); // an empty size (-1x-1) stands for the window's minimum
        QTest::addColumn<bool>("ended");
        for (const QSize& size :
             {QSize(), QSize(1280, 800), QSize(1024, 700), QSize(1920, 1080), QSize(900, 1000)}) {
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

    // The file write-protected, then its folder (no journal can be made).
    void aWorkbookThatCannotBeWrittenIsTrainedWithoutRecording() {
        for (const bool folder : {false, true}) {
            const QString place = FreshFile(folder ? "locked-folder" : "locked-file");
            QDir().mkpath(place);
            const QString file = place + "/four.brl";
            QVERIFY(QFile::copy(four, file));
            const std::string before = FileBytes(file.toStdString());
            {
                Unwritable lock(folder ? place : file);
                if (QFileInfo(lock.path).isWritable()) QSKIP("this system cannot write-protect");
                auto window = Open(file);
                QCOMPARE(TextOf(window.get(), "lblReadOnly"),
                         QString("This workbook is read-only: results will not be recorded."));
                QVERIFY(isShown(window.get(), "lblReadOnly"));
                QVERIFY(window->windowTitle().contains("(read-only)"));
                QVERIFY(window->findChild<QLineEdit*>("txtWorkbook")->isReadOnly());
                ModalScript none(Cancel());
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
            QCOMPARE(title->text(), QString("Keys"));
        }
    }

    // Black mates in one, White stalemates.
    void theLastMoveIsShownInItsSidesColumnWithItsSign() {
        const struct {
            const char* pgn;
            QStringList white, black;
            QString line, fen;
        } ends[] = {
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
        for (const auto& end : ends) {
            const QString file = FreshFile(end.line + ".brl");
            testwb::Build(file.toStdString(), end.pgn);
            auto window = Open(file);
            const QString toPlay = TextOf(window.get(), "lblToPlay");
            cntrlChessGui* board = window->objBoard();
            SolveByDragging(board);
            QTRY_COMPARE(TextOf(window.get(), "lblToPlay"), end.line);
            QCOMPARE(ListItems(board->lstWhiteMoves), end.white);
            QCOMPARE(ListItems(board->lstBlackMoves), end.black);
            Trigger(window.get(), "mnuCopyFen");
            QCOMPARE(QGuiApplication::clipboard()->text(), end.fen);

            // Stepping back leaves the end; stepping forward reaches it again, in the same column.
            board->cmdNavigation_Click(2);
            QTRY_COMPARE(TextOf(window.get(), "lblToPlay"), toPlay);
            board->cmdNavigation_Click(3);
            QTRY_COMPARE(TextOf(window.get(), "lblToPlay"), end.line);
            QCOMPARE(ListItems(board->lstWhiteMoves), end.white);
            QCOMPARE(ListItems(board->lstBlackMoves), end.black);
        }
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
        // The whole desktop palette comes back. From Dark: offscreen, the light one equals it.
        Trigger(window.get(), "mnuAppearanceSystem");
        QCOMPARE(Setting("Options/Appearance"), QString("System"));
        QCOMPARE(QApplication::palette(), system);
        Trigger(window.get(), "mnuAppearanceLight");
        QVERIFY(!CAppearance::isDark(QApplication::palette()));
        QCOMPARE(Setting("Options/Appearance"), QString("Light"));
        // A stored text that is no choice counts as the desktop's colours.
        SetSetting("Options/Appearance", "Purple");
        QVERIFY(Open()->findChild<QAction*>("mnuAppearanceSystem")->isChecked());
    }

    void aGameChosenInTheGamesWindowTakesItsOwnResult() {
        // How the game is chosen, the wrong moves played, and how the game ends.
        const struct {
            const char* how;
            int wrong;
            QString ending;
        } rows[] = {
            {"Train this game", 2, "solve"}, {"double-click", 3, ""}, {"double-click", 1, "show"}};
        for (const auto& [how, wrong, ending] : rows) {
            // A copy of the sample workbook as the build makes it (of the four games without it).
            const QString sample = FreshFile(QString("sample-%1.brl").arg(wrong));
            const QString built = QStringLiteral(BRISOLT_SAMPLE_WORKBOOK);
            QVERIFY(QFile::copy(QFile::exists(built) ? built : four, sample));
            QFile::setPermissions(sample, QFile::ReadOwner | QFile::WriteOwner);
            auto window = Open(sample);
            // Not the batch's first game: the result is not its.
            Trigger(window.get(), "mnuNextGame");
            const std::vector<int32_t> batch = window->objSession().arrlngGameIDs();
            const auto before = testwb::Rows(sample.toStdString());
            // The last game outside the batch (the batch's last one when it holds every game).
            int32_t chosen = batch.back();
            for (const auto& [id, row] : before)
                if (std::find(batch.begin(), batch.end(), id) == batch.end()) chosen = id;
            QVERIFY(chosen != Shown(window.get()));

            frmGames* games = window->OpenGames();
            QVERIFY(games && games->isSelectGame(chosen));
            if (QString(how) == "double-click") {
                QTableView* table = games->tblGames;
                const QPoint row = table->visualRect(table->currentIndex()).center();
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row);
                QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row);
            } else {
                games->cmdTrain->click();
            }
            QTRY_VERIFY(window->objGamesWindow() == nullptr);
            QCOMPARE(Shown(window.get()), chosen);
            QCOMPARE(TextOf(window.get(), "txtGameDescription"),
                     QString::fromStdString(
                         window->objWorkBook()->objGetGameRow(chosen)->strDescription));
            const testwb::Stats was = testwb::Read(sample.toStdString(), chosen);
            const auto history = testwb::History(sample.toStdString());
            EndGame(window.get(), wrong, ending);

            const auto after = testwb::Rows(sample.toStdString());
            QCOMPARE(after.size(), before.size());
            for (const auto& [id, row] : before)
                if (id != chosen) QCOMPARE(after.at(id), row); // every other game as it was
            const testwb::Stats now = testwb::Read(sample.toStdString(), chosen);
            QCOMPARE(now.hits, was.hits + 1);
            QCOMPARE(now.solve, was.solve + (ending == "solve" ? 1 : 0));
            // One history row: the game, solved, the wrong moves, the solution shown, a time.
            auto expected = history;
            expected.push_back(QString::asprintf("%d %d %d %d 1", chosen, ending == "solve", wrong,
                                                 ending == "show")
                                   .toStdString());
            QCOMPARE(testwb::History(sample.toStdString()), expected);
        }
    }

    void everyChangeOfWorkbookStartsFromTheNewOne() {
        // Games 2 and 3 solved, game 4 failed: 66.67%.
        RawDatabase(four.toStdString()).exec("update GameTree set Hits=1, Solve=ID<4 where ID>1");
        const QString solved = FreshFile("solved.brl");
        testwb::Build(solved.toStdString(), testwb::fourGamesPgn);
        RawDatabase(solved.toStdString()).exec("update GameTree set Hits=1, Solve=1 where ID=1");
        const QString empty = FreshFile("empty.brl");
        testwb::BuildEmpty(empty.toStdString());

        auto window = Open();
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("66.67%"));
        QVERIFY(window->isOpenWorkbook(solved));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("100.00%"));

        // An empty workbook: an empty board, a plain message and no box, nothing to end or go
        // back to.
        ModalScript none(Cancel());
        QVERIFY(window->isOpenWorkbook(empty));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));
        QVERIFY(isBoardEmpty(window.get()));
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::View);
        QCOMPARE(Shown(window.get()), 0);
        QCOMPARE(TextOf(window.get(), "txtGameDescription"), QString());
        QCOMPARE(TextOf(window.get(), "lblToPlay"), QString());
        QCOMPARE(Message(window.get()), NoGamesText());
        for (const char* action : {"mnuShowSolution", "mnuPreviousGame", "mnuCrafty"})
            QVERIFY2(!isEnabled(window.get(), action), action);
        Trigger(window.get(), "mnuNextGame");
        Trigger(window.get(), "mnuShowSolution");
        QVERIFY(none.Seen().empty());
        QCOMPARE(Message(window.get()), NoGamesText());

        // Reopened after the empty one, a workbook shows its own score.
        QVERIFY(window->isOpenWorkbook(four));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("66.67%"));
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);

        // A new workbook (named without its extension) replaces the game on the board.
        auto prompts = std::make_shared<ScriptedPrompts>();
        prompts->file = FreshFile("fresh");
        window->SetEditorPrompts(prompts);
        window->NewWorkbook();
        QCOMPARE(prompts->filters.value(0), QString("Workbooks (*.brl);;All files (*)"));
        QCOMPARE(Message(window.get()), NoGamesText());

        // Games imported into it: its first game is shown, ready to train.
        frmGames* games = window->objGamesWindow();
        QVERIFY(games);
        games->ImportPgnFrom(WriteFile(FreshFile("four.pgn"), testwb::fourGamesPgn));
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);
        const int32_t first = Shown(window.get());
        QVERIFY(first != 0);
        QVERIFY(isEnabled(window.get(), "mnuCrafty"));

        // The shown game deleted: another one of the workbook takes its place.
        QVERIFY(games->isSelectGame(first));
        prompts->answers = {true};
        games->cmdDelete->click();
        QVERIFY(Shown(window.get()) != 0);
        QVERIFY(Shown(window.get()) != first);
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);
        for (int32_t id : window->objSession().arrlngGameIDs())
            QVERIFY(id != first);
    }

    void editsKeepTheRunningScoreAndTheShownGame() {
        auto window = Open();
        EndGame(window.get(), 0, "show");
        const int32_t shown = Shown(window.get());
        // The file's totals move on behind the window's back; the running score does not.
        RawDatabase(four.toStdString()).exec("update GameTree set Hits=9, Solve=9 where ID=4");

        window->SetEditorPrompts(std::make_shared<ScriptedPrompts>());
        frmGames* games = window->OpenGames();
        // Another game edited, then the shown game itself: that one starts again as saved.
        const struct {
            int32_t id;
            BoardMode mode;
            const char* description;
        } edits[] = {{shown == 2 ? 3 : 2, BoardMode::View, "Punish the early queen defence"},
                     {shown, BoardMode::Training, "Edited while shown"}};
        for (const auto& edit : edits) {
            QVERIFY(games->isSelectGame(edit.id));
            frmGameEditor* editor = games->EditGame();
            QVERIFY(editor);
            editor->txtDescription->setText("Edited while shown");
            QVERIFY(editor->isSave());
            QCOMPARE(Shown(window.get()), shown);
            QCOMPARE(window->objBoard()->boardMode(), edit.mode);
            QCOMPARE(TextOf(window.get(), "txtGameDescription"), QString(edit.description));
            QCOMPARE(TextOf(window.get(), "lblScore"), QString(".00%"));
        }
    }

    void aGameThatCannotBeShownIsReportedAndPassedBy() {
        RawDatabase(four.toStdString()).exec("delete from GameNode where GameTreeID=2");
        auto window = Open();
        QCOMPARE(Shown(window.get()), 1);
        ModalScript script(Press(QMessageBox::Ok));
        Trigger(window.get(), "mnuNextGame");
        QTRY_VERIFY(script.isDone());
        QCOMPARE(script.Seen().at(0).icon, int(QMessageBox::Critical));
        QCOMPARE(Shown(window.get()), 0); // nothing of game 1 stays to be recorded for game 2
        QVERIFY(isBoardEmpty(window.get()));
        Trigger(window.get(), "mnuNextGame");
        QCOMPARE(Shown(window.get()), 3);
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);
    }

    void aWriteThatFailsLeavesTheGameEndedAndUnrecorded() {
        auto window = Open();
        QVERIFY(!isShown(window.get(), "lblReadOnly"));
        // Another program breaks the file under the open window.
        RawDatabase(four.toStdString()).exec("alter table GameTree rename to Broken");
        ModalScript script(Press(QMessageBox::Ok));
        Trigger(window.get(), "mnuShowSolution");
        QTRY_VERIFY(script.isDone());
        const SeenModal& box = script.Seen().at(0);
        QCOMPARE(box.icon, int(QMessageBox::Critical));
        QCOMPARE(box.text, "The result could not be recorded in " + four +
                               ": no such table: GameTree.\r\nThis game counts as not recorded.");
        // The solution can be stepped through; nothing is counted.
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::View);
        QVERIFY(isShown(window.get(), "imgFail"));
        QVERIFY(isShown(window.get(), "cmdNext"));
        QCOMPARE(Message(window.get()), QString("This result was not recorded."));
        QCOMPARE(TextOf(window.get(), "lblScore"), QString("-----"));
        QVERIFY(!isEnabled(window.get(), "mnuShowSolution"));

        // Clearing the log fails the same way: the file and the reason, never the raw text alone.
        ModalScript clear(Press(QMessageBox::Yes));
        clear.Then(Press(QMessageBox::No)).Then(Press(QMessageBox::Ok));
        window->ClearLog();
        QTRY_VERIFY(clear.isDone());
        QCOMPARE(clear.Seen().at(2).text,
                 "The training log could not be cleared in " + four + ": no such table: GameTree.");
    }

    void buildAWorkbookAndTrainIt() {
        auto prompts = std::make_shared<ScriptedPrompts>();
        const QString file = FreshFile("built.brl");
        prompts->file = file;
        prompts->answerText = "Endgame exercises";
        auto window = NewWorkbook(prompts);
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(TextOf(window.get(), "txtWorkbook"), QString("Endgame exercises"));
        frmGames* games = window->objGamesWindow();
        QVERIFY(games);
        QVERIFY(games->lblEmpty->isVisibleTo(games));

        frmGameEditor* editor = games->NewGame();
        QVERIFY(editor);
        EnterGame(*editor);
        editor->txtDescription->setText("King and rook");
        QVERIFY(editor->isSave());
        QCOMPARE(games->arrlngShownIDs(), std::vector<int32_t>{1});
        QVERIFY(!games->lblEmpty->isVisibleTo(games));
        QVERIFY(games->isSelectGame(1));
        games->cmdTrain->click();
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training);
        QCOMPARE(TextOf(window.get(), "txtGameDescription"), QString("King and rook"));

        // The title is edited in place and stored in the workbook.
        auto* title = window->findChild<QLineEdit*>("txtWorkbook");
        title->setText("Rook endings");
        emit title->editingFinished();
        CWorkBook reopened;
        QCOMPARE(QString::fromStdString(reopened.strOpenWorkBook(file.toStdString())),
                 QString("Rook endings"));

        // An existing file is never replaced by a new workbook.
        window->NewWorkbook();
        QCOMPARE(window->objWorkBook()->lngCountGames(), int64_t(1));
        QVERIFY(prompts->errors.last().contains("already exists"));
    }

    void fileNamesGetTheirExtensionAndPgnDialogsStartInTheUsersFolders() {
        auto prompts = std::make_shared<ScriptedPrompts>();
        const QString book = FreshFile("newbook");
        prompts->file = book;
        auto window = NewWorkbook(prompts);
        QCOMPARE(window->objWorkBook()->strFileName(),
                 QDir::toNativeSeparators(book + ".brl").toStdString());
        frmGames* games = window->objGamesWindow();
        QVERIFY(games);

        // The first PGN dialog starts in the user's documents, later ones where PGN was last used.
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString start = QFileInfo(documents).isDir() ? documents : QDir::homePath();
        const QString pgn = WriteFile(
            dir.filePath("pgn/two.pgn"),
            "[FEN \"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\"]\n[SetUp \"1\"]\n\n1. Ra8# *\n\n"
            "[FEN \"r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1\"]\n[SetUp \"1\"]\n\n1... Ra1# *\n");
        prompts->file = pgn;
        games->ImportPgn();
        QCOMPARE(window->objWorkBook()->lngCountGames(), int64_t(2));
        prompts->file = dir.filePath("pgn/export-all");
        games->tblGames->clearSelection();
        games->ExportPgn();
        QVERIFY(QFileInfo::exists(dir.filePath("pgn/export-all.pgn")));
        QCOMPARE(prompts->folders.mid(1), (QStringList{start, QFileInfo(pgn).absolutePath()}));
        QCOMPARE(prompts->filters.last(), QString("PGN files (*.pgn);;All files (*)"));
        games->close();

        // A PGN file chosen in the Open dialog is offered for import: into the current workbook,
        // or into a new one, which is then the one trained.
        const struct {
            const char* button;
            QString file;
            int64_t games;
        } choices[] = {{"Into the &current workbook", book + ".brl", 4},
                       {"Into a &new workbook...", FreshFile("from-pgn.brl"), 2}};
        prompts->file = FreshFile("from-pgn");
        for (const auto& choice : choices) {
            QTRY_VERIFY(window->objGamesWindow() == nullptr);
            ModalScript script;
            script.Then(ChooseFile(pgn)).Then([&](QWidget* box) {
                for (QPushButton* button : box->findChildren<QPushButton*>())
                    if (button->text() == choice.button) button->click();
            });
            window->OpenWorkbook();
            QTRY_VERIFY(script.isDone());
            QCOMPARE(script.Seen().at(1).text,
                     QString("\"two.pgn\" is a PGN file, not a workbook.\nImport its games?"));
            QTRY_COMPARE(window->objWorkBook()->lngCountGames(), choice.games);
            QCOMPARE(window->objWorkBook()->strFileName(),
                     QDir::toNativeSeparators(choice.file).toStdString());
            QTRY_VERIFY(Shown(window.get()) != 0);
            if (window->objGamesWindow()) window->objGamesWindow()->close();
        }
    }
};

QTEST_MAIN(frmMainTest)
#include "frmMainTest.moc"
