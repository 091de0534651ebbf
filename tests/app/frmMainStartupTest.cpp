// The training window offscreen through real widgets and real files, and the program run for
// itself: start-up with or without a usable workbook, the settings it keeps, help, About,
// practice, the menus and their keys, the end of the program, and the picture it writes in
// screenshot mode.
#include "app/CAboutBox.h"
#include "app/CAppearance.h"
#include "app/CHelpWindow.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestWorkbook.h"
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
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

using namespace apptest;

namespace {

const std::string kNotes = "These are my notes, not a workbook.\n";

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

} // namespace

class frmMainStartupTest : public WindowTest {
    Q_OBJECT

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
        QTest::newRow("a folder on the command line")
            << "four" << dir.path() << int(QMessageBox::Warning) << "is a folder, not a workbook";
        QTest::newRow("not a workbook")
            << dir.filePath("notes.brl") << "" << int(QMessageBox::Critical) << "";
    }

    void startupWithoutAUsableWorkbookAsksForOne() {
        QFETCH(QString, last);
        QFETCH(QString, commandLine);
        QFETCH(int, icon);
        QFETCH(QString, said);
        const QString notes = dir.filePath("notes.brl");
        WriteFile(notes.toStdString(), kNotes);
        if (!last.isEmpty()) SetSetting("General/LastOpened", last == "four" ? four : last);
        ModalScript script;
        if (icon >= 0) script.Then(Press(QMessageBox::Ok));
        script.Then(ChooseFile(four));
        frmMain window;
        if (!commandLine.isEmpty()) window.strStartupWorkbook(commandLine);
        window.show();
        QTRY_VERIFY(window.objWorkBook() != nullptr);
        const std::vector<SeenModal>& seen = script.Seen();
        if (icon >= 0) {
            QCOMPARE(seen.front().icon, icon);
            QVERIFY2(seen.front().text.contains(said), qPrintable(seen.front().text));
        }
        QCOMPARE(seen.back().filter, QString("Workbooks (*.brl);;All files (*)"));
        // The window names the workbook (its file name when it has no title).
        QCOMPARE(window.windowTitle(), QFileInfo(four).completeBaseName() + " - Brisolt");
        QCOMPARE(Setting("General/LastOpened"), QFileInfo(four).absoluteFilePath());
        QCOMPARE((QStringList{TextOf(&window, "txtGameDescription"), TextOf(&window, "txtPageRef"),
                              TextOf(&window, "txtDiagramRef")}),
                 (QStringList{"Punish the early queen defence", "p.12", "#1"}));
        QCOMPARE(FileBytes(notes.toStdString()), kNotes);
    }

    void cancellingTheFirstDialogEndsTheProgram() {
        ModalScript script(Cancel());
        frmMain window;
        window.show();
        QTRY_VERIFY(script.isDone());
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(window.objWorkBook() == nullptr);
    }

    // Colours and the board's side start as white and green with White below, the appearance as
    // the desktop's, and what the trainee chooses is stored and applied at the next start.
    void coloursSideAndAppearanceAreStoredAndAppliedAtTheNextStart() {
        const quint32 light = 0xF0 | (0xD9 << 8) | (0xB5 << 16);
        const quint32 dark = 0xB5 | (0x88 << 8) | (0x63 << 16);
        const auto look = [](const frmMain& window) {
            const cntrlChessGui* board = window.objBoard();
            return std::make_tuple(board->SquareColorLight(), board->SquareColorDark(),
                                   board->isWhiteOnTop());
        };
        const QPalette system = QApplication::palette();
        // The commands are written in the palette's link colour, light on a dark palette.
        const auto linkColor = [](const frmMain& window) {
            return window.findChild<QLabel*>("lblClearLog")->palette().color(QPalette::WindowText);
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
            Trigger(&window, "mnuAppearanceDark");
            QTRY_VERIFY(CAppearance::isDark(window.palette()));
            QCOMPARE(linkColor(window), CAppearance::objDarkPalette().color(QPalette::Link));
        }
        frmMain window;
        QCOMPARE(look(window), std::make_tuple(light, dark, true));
        QCOMPARE(window.objBoard()->strBoardTheme(), QString("Brown")); // its colours were chosen
        QCOMPARE(window.objBoard()->boardMode(), BoardMode::Training);
        QVERIFY(window.findChild<QAction*>("mnuAppearanceDark")->isChecked());
        QVERIFY(CAppearance::isDark(QApplication::palette()));
        QCOMPARE(linkColor(window), CAppearance::objDarkPalette().color(QPalette::Link));
        // The whole desktop palette comes back. From Dark: offscreen, the light one equals it.
        Trigger(&window, "mnuAppearanceSystem");
        QCOMPARE(Setting("Options/Appearance"), QString("System"));
        QCOMPARE(QApplication::palette(), system);
        Trigger(&window, "mnuAppearanceLight");
        QVERIFY(!CAppearance::isDark(QApplication::palette()));
        QCOMPARE(Setting("Options/Appearance"), QString("Light"));
        // A stored text that is no choice counts as the desktop's colours.
        SetSetting("Options/Appearance", "Purple");
        QVERIFY(frmMain().findChild<QAction*>("mnuAppearanceSystem")->isChecked());
    }

    void helpClosesEveryWayAndAboutIsModalWithSystemInformation() {
        frmMain window;
        // Without a help file the program says so.
        CHelpWindow::strHelpFile("");
        ModalScript none(Press(QMessageBox::Ok));
        window.HelpContents();
        QVERIFY(none.isDone());
        QCOMPARE(none.Seen().at(0).text, QString("Unable to display Help Contents. There is no "
                                                 "Help associated with this project."));
        QCOMPARE(none.Seen().at(0).icon, int(QMessageBox::Information));

        const QString page = dir.filePath("index.html");
        WriteFile(page.toStdString(),
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

        const QString info = CAboutBox::strSystemInfo();
        for (const char* fact : {"Operating system: ", "Qt: ", "SQLite: 3.", "Chess engine: "})
            QVERIFY2(info.contains(fact), fact);
        if (QFile::exists("/usr/games/stockfish"))
            QVERIFY2(info.contains("/usr/games/stockfish") || info.contains("/usr/bin/stockfish"),
                     qPrintable(info));
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

    // The keys users rely on and the menus they sit in; practice opens modally on the shown game
    // and names the engine; Exit closes the workbook and leaves the user's game files alone.
    void menusShortcutsAndExit() {
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const QStringList files = {"game1.txt", "games.pgn", "game-notes.txt"};
        for (const QString& name : files)
            WriteFile(dir.filePath(name).toStdString(), "keep me");
        auto window = Open();
        QStringList menus;
        for (QAction* action : window->menuBar()->actions())
            menus << action->text();
        QCOMPARE(menus, QStringList({"&File", "&Edit", "&Training", "&Options", "&Help"}));
        // In each menu an underlined letter chooses one entry, never one of two.
        for (QMenu* menu : window->menuBar()->findChildren<QMenu*>()) {
            QStringList letters;
            for (QAction* action : menu->actions())
                if (const auto at = action->text().indexOf('&'); at >= 0)
                    letters << action->text().mid(at + 1, 1).toLower();
            QVERIFY2(letters.removeDuplicates() == 0, qPrintable(menu->title()));
        }
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
        auto* crafty = window->findChild<QAction*>("mnuCrafty");
        QVERIFY2(crafty->text().startsWith("Play the game &against "), qPrintable(crafty->text()));
        QCOMPARE(TextOf(window.get(), "lblCrafty"), QString(crafty->text()).remove('&'));
        ModalScript script(Cancel());
        crafty->trigger();
        QVERIFY(script.isDone());
        QCOMPARE(script.Seen().at(0).className, QString("frmCrafty"));
        QCOMPARE(window->objBoard()->boardMode(), BoardMode::Training); // the game is untouched
        // A title typed and not yet ended with Enter is saved by Exit; the window opens again
        // where it was closed, as large.
        window->resize(1000, 700);
        auto* title = window->findChild<QLineEdit*>("txtWorkbook");
        const QString typed = (title->text() + " renamed").trimmed();
        title->setFocus();
        title->end(false);
        QTest::keyClicks(title, " renamed");
        Trigger(window.get(), "mnuExit");
        QVERIFY(!window->isVisible());
        QVERIFY(window->objWorkBook() == nullptr);
        QCOMPARE(QString::fromStdString(CWorkBook().strOpenWorkBook(four.toStdString())), typed);
        window.reset();
        QCOMPARE(frmMain().size(), QSize(1000, 700));
        QDir::setCurrent(previous);
        for (const QString& name : files)
            QVERIFY2(QFile::exists(dir.filePath(name)), qPrintable(name));
    }

    void screenshotModeWritesThePictureAndNeverWaitsForAPerson() {
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

        // A message box would wait for a click that never comes: the picture mode says it and
        // ends. The workbook: its first game without positions, then a file of notes, then missing.
        for (const QString sql : {"delete from GameNode where GameTreeID=1", "", "missing"}) {
            if (sql == "missing")
                QFile::remove(four);
            else if (sql.isEmpty())
                WriteFile(four.toStdString(), kNotes);
            else
                RawDatabase(four.toStdString()).exec(sql.toStdString());
            // Moves for the picture are played on a copy, which never stays the last workbook.
            const QStringList moves =
                sql.startsWith("delete") ? QStringList{"--moves", "1"} : QStringList{};
            run = RunProgram(QStringList{"--screenshot", dir.filePath("never.png")} + moves +
                                 QStringList{four},
                             dir.filePath("xdg"));
            QVERIFY2(run.ended, qPrintable("the program waited for a person: " + sql));
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains("brisolt: "), qPrintable(run.err));
            QCOMPARE(QSettings(dir.filePath("xdg/Brisolt/Brisolt.conf"), QSettings::IniFormat)
                         .value("General/LastOpened"),
                     four);
        }
    }
};

QTEST_MAIN(frmMainStartupTest)
#include "frmMainStartupTest.moc"
