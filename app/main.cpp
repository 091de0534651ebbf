// brisolt: the chess training program.
//   brisolt [WORKBOOK]                      train the workbook (the last one used by default)
//   brisolt --screenshot OUT.png [--moves N] [WORKBOOK]
//       render the training window to a picture (after playing N moves of the solution) and exit
#include "app/CAppIcon.h"
#include "app/CFirstPaintProbe.h"
#include "app/CHelpWindow.h"
#include "app/CScreenshot.h"
#include "app/frmMain.h"
#include "board/ResourceLocator.h"
#include "board/cntrlChessGui.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct Options {
    QString workbook;
    QString screenshot;
    int moves = 0;
    bool help = false;
    bool version = false;
    QString error;
};

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--screenshot") {
            if (i + 1 >= argc) {
                options.error = "--screenshot needs the name of the picture to write";
                return options;
            }
            options.screenshot = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--moves") {
            bool ok = false;
            options.moves = i + 1 < argc ? QString(argv[++i]).toInt(&ok) : 0;
            if (!ok || options.moves < 0) {
                options.error = "--moves needs a number of moves to play before the picture";
                return options;
            }
        } else if (arg.startsWith("-") && arg.size() > 1) {
            options.error = "unknown option " + arg;
            return options;
        } else if (options.workbook.isEmpty()) {
            options.workbook = arg;
        } else {
            options.error = "only one workbook can be trained at a time";
            return options;
        }
    }
    return options;
}

bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

QtMessageHandler standardHandler = nullptr;

// Drops the offscreen platform's notes about window features it lacks; everything else goes on.
void quietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains("propagateSizeHints") || text.startsWith("QStandardPaths: XDG_RUNTIME_DIR"))
        return;
    if (standardHandler) standardHandler(type, context, text);
}

const char* const usage = "usage: brisolt [WORKBOOK]\n"
                          "       brisolt --screenshot OUT.png [--moves N] [WORKBOOK]\n";

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer launch;
    launch.start();
    const Options options = parse(argc, argv);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "brisolt: %s\n%s", qPrintable(options.error), usage);
        return 2;
    }
    if (options.help) {
        std::printf("%s", usage);
        return 0;
    }
    if (options.version) {
        std::printf("%s %s\n", qPrintable(frmMain::strCaption()),
                    qPrintable(frmMain::strVersion()));
        return 0;
    }
    if (!hasDisplay()) {
        if (options.screenshot.isEmpty()) {
            std::fprintf(stderr, "brisolt: there is no display to show the window on.\n"
                                 "Run it on a desktop, or render the window to a picture with\n"
                                 "  brisolt --screenshot OUT.png [WORKBOOK]\n");
            return 1;
        }
        // A picture needs no screen.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (!options.screenshot.isEmpty()) standardHandler = qInstallMessageHandler(quietPlatformNotes);

    QApplication app(argc, argv);
    QApplication::setApplicationName("Brisolt");
    QApplication::setApplicationDisplayName("Brisolt");
    QApplication::setApplicationVersion(frmMain::strVersion());
    QApplication::setDesktopFileName("brisolt");
    QApplication::setWindowIcon(CAppIcon::objIcon());
    CHelpWindow::strHelpFile(strFindResource("help/index.html"));

    QString workbook = options.workbook;
    if (!workbook.isEmpty()) workbook = QFileInfo(workbook).absoluteFilePath();

    if (!options.screenshot.isEmpty()) {
        return CScreenshot::intRender(workbook, options.screenshot, options.moves);
    }

    frmMain window;
    window.strStartupWorkbook(workbook);
    // BRISOLT_FIRST_PAINT_EXIT=1: print the milliseconds from start-up to the first painted test
    // position and end (for the launch benchmark).
    std::unique_ptr<CFirstPaintProbe> probe;
    if (qEnvironmentVariableIntValue("BRISOLT_FIRST_PAINT_EXIT") == 1) {
        probe = std::make_unique<CFirstPaintProbe>(
            launch, [&window] { return window.objSession().lngGameIndex() >= 0; },
            [&app](qint64 ms) {
                std::printf("first position painted after %lld ms\n", static_cast<long long>(ms));
                std::fflush(stdout);
                app.quit();
            });
        probe->Watch(window.objBoard());
    }
    window.show();
    return app.exec();
}
