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
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <functional>

using namespace apptest;

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
        } tips[] = {{"txtWorkbook", "Workbook title"},
                    {"cmdOpenWbk", "Open workbook"},
                    {"lblScore", "Your score"}};
        for (const auto& tip : tips) {
            QCOMPARE(window.findChild<QWidget*>(tip.name)->toolTip(), QString(tip.tip));
        }
    }

    void missingSettingsGiveWhiteAndGreenSquaresWithWhiteBelow() {
        frmMain window;
        QCOMPARE(window.objBoard()->SquareColorLight(), 16777215u);
        QCOMPARE(window.objBoard()->SquareColorDark(), 65280u);
        QVERIFY(!window.objBoard()->isWhiteOnTop());
        QCOMPARE(window.objBoard()->boardMode(), BoardMode::Training);
    }

    void storedSettingsAreAppliedAtLoad() {
        SetSetting("Options/LightColor", "13434879");
        SetSetting("Options/DarkColor", "3381606");
        SetSetting("Options/WhiteOnTop", "1");
        frmMain window;
        QCOMPARE(window.objBoard()->SquareColorLight(), 13434879u);
        QCOMPARE(window.objBoard()->SquareColorDark(), 3381606u);
        QVERIFY(window.objBoard()->isWhiteOnTop());
    }

    void firstStartWithoutSettingsAsksForAWorkbook() {
        ModalScript script;
        script.Then(ChooseFile(four));
        frmMain window;
        window.show();
        QTRY_VERIFY(window.objWorkBook() != nullptr);
        QCOMPARE(script.Seen().at(0).filter, QString("Workbooks (*.brl);;All files (*)"));
        // The window names the workbook (its file name when it has no title).
        QCOMPARE(window.windowTitle(), QString("four - Brisolt"));
        QCOMPARE(Setting("General/LastOpened"), QFileInfo(four).absoluteFilePath());
        QCOMPARE(TextOf(&window, "txtGameDescription"), QString("Punish the early queen defence"));
        QCOMPARE(window.objBoard()->boardMode(), BoardMode::Training);
        QVERIFY(window.isVisible());
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

    void aLastWorkbookThatIsGoneLeadsToTheDialog() {
        SetSetting("General/LastOpened", dir.filePath("deleted.brl"));
        ModalScript script;
        script.Then(ChooseFile(four));
        frmMain window;
        window.show();
        QTRY_VERIFY(window.objWorkBook() != nullptr);
        QCOMPARE(script.Seen().at(0).className, QString("QFileDialog"));
    }

    void aMissingWorkbookOnTheCommandLineIsReportedThenAskedFor() {
        SetSetting("General/LastOpened", four);
        ModalScript script;
        script.Then(Press(QMessageBox::Ok)).Then(ChooseFile(four));
        frmMain window;
        window.strStartupWorkbook(dir.filePath("typo.brl"));
        window.show();
        QTRY_VERIFY(window.objWorkBook() != nullptr);
        QCOMPARE(script.Seen().at(0).icon, int(QMessageBox::Warning));
        QVERIFY(script.Seen().at(0).text.contains("typo.brl"));
        QCOMPARE(script.Seen().at(1).className, QString("QFileDialog"));
    }

    void anEmptyWorkbookIsOpenedWithAPlainNoticeOnHowToAddGames() {
        SetSetting("General/LastOpened", empty);
        ModalScript none;
        none.Then(Cancel());
        frmMain window;
        window.show();
        QTRY_VERIFY(window.objWorkBook() != nullptr);
        QVERIFY(none.Seen().empty()); // no box: the window says it
        QCOMPARE(window.objSession().lngCurrentGameId(), 0);
        QVERIFY(TextOf(&window, "txtGameDescription").isEmpty());
        QVERIFY(isShown(&window, "txtMsg"));
        QVERIFY(window.isVisible());
    }

    void aFileThatIsNoWorkbookIsReportedLeftAloneAndAnotherAskedFor() {
        const QString notes = dir.filePath("notes.brl");
        QFile file(notes);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("These are my notes, not a workbook.\n");
        file.close();
        SetSetting("General/LastOpened", notes);
        ModalScript script;
        script.Then(Press(QMessageBox::Ok)).Then(ChooseFile(four));
        frmMain window;
        window.show();
        QTRY_VERIFY(window.objWorkBook() != nullptr);
        QCOMPARE(script.Seen().at(0).icon, int(QMessageBox::Critical));
        QCOMPARE(script.Seen().at(1).className, QString("QFileDialog"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("These are my notes, not a workbook.\n"));
        QCOMPARE(Setting("General/LastOpened"), QFileInfo(four).absoluteFilePath());
    }

    void flippingTwiceRestoresTheBoardAndStoresZero() {
        SetSetting("General/LastOpened", four);
        frmMain window;
        window.show();
        QTRY_VERIFY(window.objWorkBook() != nullptr);
        const bool before = window.objBoard()->isWhiteOnTop();
        const char* expected[] = {"1", "0"};
        for (const char* value : expected) {
            window.findChild<QAction*>("mnuFlip")->trigger();
            QCOMPARE(Setting("Options/WhiteOnTop"), QString(value));
        }
        QCOMPARE(window.objBoard()->isWhiteOnTop(), before);
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
        frmMain again;
        QCOMPARE(again.objBoard()->SquareColorLight(), light);
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

    void helpShowsTheContentsPage() {
        const QString page = dir.filePath("help/index.html");
        QDir().mkpath(dir.filePath("help"));
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html><body><h1>Training</h1><a href='menus.html'>Menus</a></body></html>");
        file.close();
        CHelpWindow::strHelpFile(page);
        frmMain window;
        window.HelpContents();
        auto* help = window.findChild<CHelpWindow*>("helpWindow");
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->objCurrentPage(), QUrl::fromLocalFile(page));
        QVERIFY(help->objBrowser()->toPlainText().contains("Training"));
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
        QProcess program;
        program.start(QStringLiteral(BRISOLT_PROGRAM), {"--version"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(QString(program.readAllStandardOutput()).trimmed(),
                 "Brisolt " + frmMain::strVersion());
    }

    void practiceOpensModallyOnTheShownGameAndNamesTheEngine() {
        SetSetting("General/LastOpened", four);
        frmMain window;
        window.show();
        QTRY_VERIFY(window.objWorkBook() != nullptr);
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
        SetSetting("General/LastOpened", four);
        {
            frmMain window;
            window.show();
            QTRY_VERIFY(window.objWorkBook() != nullptr);
            window.findChild<QAction*>("mnuExit")->trigger();
            QVERIFY(!window.isVisible());
            QVERIFY(window.objWorkBook() == nullptr);
        }
        for (const QString& name : files)
            QVERIFY2(QFile::exists(name), qPrintable(name));
        QDir::setCurrent(previous);
    }

    void screenshotModeWritesThePicture() {
        const QString picture = dir.filePath("shot.png");
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", dir.filePath("xdg"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(BRISOLT_PROGRAM), {"--screenshot", picture, four});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(QString(program.readAllStandardOutput()).trimmed(), picture);
        QImage image(picture);
        QVERIFY(image.width() >= 800 && image.height() >= 500);

        // Moves played for a picture are played on a copy: the file keeps its statistics.
        const QString solved = dir.filePath("solved.png");
        program.start(QStringLiteral(BRISOLT_PROGRAM),
                      {"--screenshot", solved, "--moves", "9", four});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(!QImage(solved).isNull());
        QVERIFY(QImage(solved) != image);
        QCOMPARE(testwb::Read(four.toStdString(), 1).hits, 0);

        program.start(QStringLiteral(BRISOLT_PROGRAM),
                      {"--screenshot", picture, dir.filePath("none.brl")});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(!program.readAllStandardError().isEmpty());
    }
};

QTEST_MAIN(frmMainStartupTest)
#include "frmMainStartupTest.moc"
