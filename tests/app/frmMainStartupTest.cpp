// Start-up, settings, menus, help, About and the end of the program, offscreen with real widgets.
#include "app/CAboutBox.h"
#include "app/CHelpWindow.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <functional>

using namespace apptest;

namespace {
const QByteArray kNotes = "These are my notes, not a workbook.\n";
} // namespace

class frmMainStartupTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString four;
    QString empty;

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        IsolateSettings(dir.filePath("settings"));
        four = dir.filePath("four.brl");
        testwb::Build(four.toStdString(), testwb::fourGamesPgn);
        empty = dir.filePath("empty.brl");
        testwb::BuildEmpty(empty.toStdString());
    }

    void init() {
        ClearSettings();
        CHelpWindow::strHelpFile("");
    }

    void captionMenusAndShortcutsAreThoseOfTheProgram() {
        frmMain window;
        QCOMPARE(window.windowTitle(), QString("Brisolt"));
        QStringList menus;
        for (QAction* action : window.menuBar()->actions())
            menus << action->text();
        QCOMPARE(menus, QStringList({"&File", "&Edit", "&Training", "&Options", "&Help"}));
        const struct {
            const char* name;
            const char* caption;
            const char* shortcut;
        } entries[] = {
            {"mnuOpenWorkbook", "&Open Workbook", "Ctrl+O"},
            {"mnuExit", "E&xit", "Ctrl+Q"},
            {"mnuNewWorkbook", "&New Workbook...", "Ctrl+Shift+N"},
            {"mnuImportPgn", "&Import PGN...", ""},
            {"mnuExportPgn", "&Export PGN...", ""},
            {"mnuGames", "&Games...", "Ctrl+G"},
            {"mnuCopyFen", "Copy &FEN", ""},
            {"mnuPasteFen", "&Paste FEN", ""},
            {"mnuShowSolution", "&Show Solution", "Ctrl+S"},
            {"mnuPreviousGame", "&Previous Game", "Ctrl+P"},
            {"mnuNextGame", "&Next Game", "Ctrl+N"},
            {"mnuClearLog", "&Clear Log", ""},
            {"mnuFlip", "&Flip board", "Ctrl+F"},
            {"mnuLightColor", "&Light Square Color", ""},
            {"mnuDarkColor", "&Dark Square Color", ""},
            {"mnuContents", "&Contents", "F1"},
            {"mnuAbout", "&About Brisolt", ""},
            {"mnuMoveFirst", "&First Move", "Home"},
            {"mnuMovePrevious", "&Previous Move", "Left"},
            {"mnuMoveNext", "&Next Move", "Right"},
            {"mnuMoveLast", "&Last Move", "End"},
            {"mnuVariationUp", "Previous &Variation", "Up"},
            {"mnuVariationDown", "Next V&ariation", "Down"},
        };
        for (const auto& entry : entries) {
            auto* action = window.findChild<QAction*>(entry.name);
            QVERIFY2(action, entry.name);
            QCOMPARE(action->text(), QString(entry.caption));
            QCOMPARE(action->shortcut().toString(), QString(entry.shortcut));
        }
        QCOMPARE(window.findChild<QAction*>("mnuCrafty")->shortcut().toString(), QString("Ctrl+T"));
        const struct {
            const char* name;
            const char* tip;
        } tips[] = {
            {"txtWorkbook", "Workbook title"}, {"cmdOpenWbk", "Open workbook (Ctrl+O)"},
            {"lblScore", "Your score"},        {"lblNextGame", "Next Game (Ctrl+N)"},
            {"cmdNext", "Next Game (Ctrl+N)"}, {"lblShowSolution", "Show Solution (Ctrl+S)"},
            {"lblFlip", "Flip board (Ctrl+F)"}};
        for (const auto& tip : tips) {
            QCOMPARE(window.findChild<QWidget*>(tip.name)->toolTip(), QString(tip.tip));
        }
    }

    void storedSettingsAreAppliedAtLoad_data() {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<quint32>("light");
        QTest::addColumn<quint32>("dark");
        QTest::addColumn<bool>("whiteOnTop");
        QTest::newRow("missing: white and green, White below")
            << false << 16777215u << 65280u << false;
        QTest::newRow("stored") << true << 13434879u << 3381606u << true;
    }

    void storedSettingsAreAppliedAtLoad() {
        QFETCH(bool, stored);
        QFETCH(quint32, light);
        QFETCH(quint32, dark);
        QFETCH(bool, whiteOnTop);
        if (stored) {
            SetSetting("Options/LightColor", QString::number(light));
            SetSetting("Options/DarkColor", QString::number(dark));
            SetSetting("Options/WhiteOnTop", "1");
        }
        frmMain window;
        QCOMPARE(window.objBoard()->SquareColorLight(), light);
        QCOMPARE(window.objBoard()->SquareColorDark(), dark);
        // The default colours are a theme of the menu, so that choosing it brings them back.
        QCOMPARE(window.objBoard()->strBoardTheme(), QString(stored ? "" : "Lime"));
        QCOMPARE(window.objBoard()->isWhiteOnTop(), whiteOnTop);
        QCOMPARE(window.objBoard()->boardMode(), BoardMode::Training);
    }

    // Without a usable last workbook the program says why (if there is something to say) and
    // asks for one; a file that is not a workbook is left as it was.
    void startupWithoutAUsableWorkbookAsksForOne_data() {
        const QString notes = WriteFile(dir.filePath("notes.brl"), kNotes);
        QTest::addColumn<QString>("last");        // the last workbook stored
        QTest::addColumn<QString>("commandLine"); // the workbook named on the command line
        QTest::addColumn<int>("icon");            // of the box before the dialog, -1 for none
        QTest::addColumn<QString>("said");        // a part of that box's text
        QTest::newRow("first start") << ""
                                     << "" << -1 << "";
        QTest::newRow("last one gone") << dir.filePath("deleted.brl") << "" << -1 << "";
        QTest::newRow("missing on the command line")
            << four << dir.filePath("typo.brl") << int(QMessageBox::Warning) << "typo.brl";
        QTest::newRow("not a workbook") << notes << "" << int(QMessageBox::Critical) << "";
    }

    void startupWithoutAUsableWorkbookAsksForOne() {
        QFETCH(QString, last);
        QFETCH(QString, commandLine);
        QFETCH(int, icon);
        QFETCH(QString, said);
        if (!last.isEmpty()) SetSetting("General/LastOpened", last);
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
        QCOMPARE(window.windowTitle(), QString("four - Brisolt"));
        QCOMPARE(Setting("General/LastOpened"), QFileInfo(four).absoluteFilePath());
        QCOMPARE(TextOf(&window, "txtGameDescription"), QString("Punish the early queen defence"));
        QCOMPARE(window.objBoard()->boardMode(), BoardMode::Training);
        QVERIFY(window.isVisible());
        QFile notes(dir.filePath("notes.brl"));
        QVERIFY(notes.open(QIODevice::ReadOnly));
        QCOMPARE(notes.readAll(), kNotes);
    }

    void cancellingTheFirstDialogEndsTheProgram() {
        ModalScript script;
        script.Then(Cancel());
        frmMain window;
        window.show();
        QTRY_VERIFY(script.isDone());
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(window.objWorkBook() == nullptr);
    }

    void anEmptyWorkbookIsOpenedWithAPlainNoticeOnHowToAddGames() {
        ModalScript none;
        none.Then(Cancel());
        auto window = OpenWindow(empty);
        QVERIFY(none.Seen().empty()); // no box: the window says it
        QCOMPARE(window->objSession().lngCurrentGameId(), 0);
        QVERIFY(TextOf(window.get(), "txtGameDescription").isEmpty());
        QVERIFY(isShown(window.get(), "txtMsg"));
        QVERIFY(window->isVisible());
    }

    void flippingTwiceRestoresTheBoardAndStoresZero() {
        auto window = OpenWindow(four);
        const bool before = window->objBoard()->isWhiteOnTop();
        for (const char* value : {"1", "0"}) {
            Trigger(window.get(), "mnuFlip");
            QCOMPARE(Setting("Options/WhiteOnTop"), QString(value));
        }
        QCOMPARE(window->objBoard()->isWhiteOnTop(), before);
    }

    void chosenColoursArePaintedAndStored() {
        frmMain window;
        ModalScript script;
        script.Then(ChooseColor(0xF0, 0xD9, 0xB5))
            .Then(ChooseColor(0xB5, 0x88, 0x63))
            .Then(Cancel());
        window.ChooseLightColor();
        window.ChooseDarkColor();
        window.ChooseLightColor(); // cancelled: unchanged, still written
        QVERIFY(script.isDone());
        const quint32 light = 0xF0 | (0xD9 << 8) | (0xB5 << 16);
        const quint32 dark = 0xB5 | (0x88 << 8) | (0x63 << 16);
        QCOMPARE(window.objBoard()->SquareColorLight(), light);
        QCOMPARE(window.objBoard()->SquareColorDark(), dark);
        QCOMPARE(Setting("Options/LightColor"), QString::number(light));
        QCOMPARE(Setting("Options/DarkColor"), QString::number(dark));
    }

    void helpWithoutAHelpFileSaysSo() {
        frmMain window;
        ModalScript script;
        script.Then(Press(QMessageBox::Ok));
        window.HelpContents();
        QVERIFY(script.isDone());
        QCOMPARE(script.Seen().at(0).text, QString("Unable to display Help Contents. There is no "
                                                   "Help associated with this project."));
        QCOMPARE(script.Seen().at(0).icon, int(QMessageBox::Information));
        QCOMPARE(script.Seen().at(0).title, window.windowTitle());
    }

    void helpShowsTheContentsPageAndClosesWithItsButtonEscapeAndCtrlW() {
        const QString page =
            WriteFile(dir.filePath("help/index.html"),
                      "<html><body><h1>Training</h1><a href='menus.html'>Menus</a></body></html>");
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
            QCOMPARE(help->objCurrentPage(), QUrl::fromLocalFile(page));
            QVERIFY(help->objBrowser()->toPlainText().contains("Training"));
            help->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(help));
            way.close(help);
            QTRY_VERIFY2(!help->isVisible(), way.how);
        }
    }

    void aboutBoxIsModalWithSystemInformation() {
        const QString info = CAboutBox::strSystemInfo();
        for (const char* fact : {"Operating system: ", "Qt: ", "SQLite: 3.", "Chess engine: "}) {
            QVERIFY2(info.contains(fact), fact);
        }
        if (QFile::exists("/usr/games/stockfish")) {
            QVERIFY2(info.contains("/usr/games/stockfish") || info.contains("/usr/bin/stockfish"),
                     qPrintable(info));
        }
        frmMain window;
        ModalScript script;
        script
            .Then([](QWidget* about) {
                QVERIFY(about->isModal());
                QCOMPARE(about->findChild<QLabel*>("lblVersion")->text(),
                         "Version " + frmMain::strVersion());
                about->findChild<QPushButton*>("cmdSysInfo")->click();
            })
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
        const ProgramRun run =
            RunProgram(QStringLiteral(BRISOLT_PROGRAM), {"--version"}, dir.filePath("xdg"));
        QCOMPARE(run.out.trimmed(), "Brisolt " + frmMain::strVersion());
    }

    void practiceOpensModallyOnTheShownGameAndNamesTheEngine() {
        auto owned = OpenWindow(four);
        frmMain& window = *owned;
        auto* menu = window.findChild<QAction*>("mnuCrafty");
        QVERIFY(menu->isEnabled());
        QVERIFY2(menu->text().startsWith("Play the game against &"), qPrintable(menu->text()));
        QCOMPARE(TextOf(&window, "lblCrafty"), QString(menu->text()).remove('&'));
        ModalScript script;
        script.Then(Cancel());
        menu->trigger();
        QVERIFY(script.isDone());
        QCOMPARE(script.Seen().at(0).className, QString("frmCrafty"));
        QVERIFY(script.Seen().at(0).title.startsWith("Practice with "));
        QCOMPARE(window.objBoard()->boardMode(),
                 BoardMode::Training); // the training game is untouched
    }

    void closingKeepsTheUsersGameFiles() {
        QTemporaryDir cwd;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(cwd.path());
        const QStringList files = {"game1.txt", "games.pgn", "game-notes.txt"};
        for (const QString& name : files) {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        {
            auto window = OpenWindow(four);
            Trigger(window.get(), "mnuExit");
            QVERIFY(!window->isVisible());
            QVERIFY(window->objWorkBook() == nullptr);
        }
        for (const QString& name : files)
            QVERIFY2(QFile::exists(name), qPrintable(name));
        QDir::setCurrent(previous);
    }

    void screenshotModeWritesThePicture() {
        const QString picture = dir.filePath("shot.png");
        const QString program = QStringLiteral(BRISOLT_PROGRAM);
        ProgramRun run = RunProgram(program, {"--screenshot", picture, four}, dir.filePath("xdg"));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.trimmed(), picture);
        QImage image(picture);
        QVERIFY(image.width() >= 800 && image.height() >= 500);

        // Moves played for a picture are played on a copy: the file keeps its statistics.
        const QString solved = dir.filePath("solved.png");
        run = RunProgram(program, {"--screenshot", solved, "--moves", "9", four},
                         dir.filePath("xdg"));
        QCOMPARE(run.exitCode, 0);
        QVERIFY(!QImage(solved).isNull());
        QVERIFY(QImage(solved) != image);
        QCOMPARE(testwb::Read(four.toStdString(), 1).hits, 0);
    }

    // A message box would wait for a click that never comes: the picture mode says it and ends.
    void screenshotModeNeverWaitsForAPerson_data() {
        QTest::addColumn<QString>("file");
        const QString damaged = dir.filePath("damaged-for-picture.brl");
        QFile::remove(damaged);
        testwb::Build(damaged.toStdString(), testwb::fourGamesPgn);
        testwb::Execute(damaged.toStdString(), "delete from GameNode where GameTreeID=1");
        QTest::newRow("missing") << dir.filePath("none.brl");
        QTest::newRow("not a workbook") << WriteFile(dir.filePath("notes-for-picture.brl"), kNotes);
        QTest::newRow("first game without positions") << damaged;
    }

    void screenshotModeNeverWaitsForAPerson() {
        QFETCH(QString, file);
        const ProgramRun run =
            RunProgram(QStringLiteral(BRISOLT_PROGRAM),
                       {"--screenshot", dir.filePath("never.png"), file}, dir.filePath("xdg"));
        QVERIFY2(run.ended, "the program waited for a person");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("brisolt: "), qPrintable(run.err));
    }
};

QTEST_MAIN(frmMainStartupTest)
#include "frmMainStartupTest.moc"
