// brisolt-board-demo: the board control alone in a window, for trying it out and for screenshots.
//
//   brisolt-board-demo [--mode N] [--flip] [--fen TEXT] [--moves "e4 e5 Nf3"] [--width PX]
//                      [--line FROM TO] [--highlight INDEX] [--phantom AREA]
//                      [--theme NAME] [--no-coordinates] [--select SQUARE] [--arrow MOVE] [--fill]
//                      [--screenshot FILE.png]
#include "board/cntrlChessGui.h"
#include "model/CError.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QListWidget>
#include <QMainWindow>
#include <QStatusBar>
#include <algorithm>
#include <cstdio>
#include <string_view>

int main(int argc, char** argv) {
    // A picture needs no screen: without a display, --screenshot renders offscreen.
    const bool screenshot = std::any_of(argv + 1, argv + argc, [](const char* argument) {
        return std::string_view(argument).starts_with("--screenshot");
    });
    if (screenshot && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("brisolt-board-demo");
    QCommandLineParser parser;
    parser.setApplicationDescription("Shows the Brisolt board control on its own.");
    parser.addHelpOption();
    const QCommandLineOption modeOpt("mode", "Mode: 0 free play, 1 setup, 2 view, 3 training.", "N",
                                     "0");
    const QCommandLineOption flipOpt("flip", "Black at the bottom.");
    const QCommandLineOption fenOpt("fen", "Start from this FEN text.", "FEN");
    const QCommandLineOption movesOpt("moves", "Moves to play first, separated by spaces.",
                                      "MOVES");
    const QCommandLineOption widthOpt("width", "Width of the control in pixels.", "PX", "760");
    const QCommandLineOption lineOpt("line", "Draw the move line between two display indices.",
                                     "FROM,TO");
    const QCommandLineOption highlightOpt("highlight", "Frame a square (display index).", "INDEX");
    const QCommandLineOption phantomOpt("phantom", "Hide the pieces of a board quarter.", "AREA");
    const QCommandLineOption shotOpt("screenshot", "Render to a PNG file and exit.", "FILE");
    const QCommandLineOption themeOpt(
        "theme", "Board theme: Classic, Brown, Blue, Green, Grey, Lime.", "NAME");
    const QCommandLineOption noCoordOpt("no-coordinates", "Hide the rank and file letters.");
    const QCommandLineOption selectOpt("select", "Select the piece on a square (e.g. g5).",
                                       "SQUARE");
    const QCommandLineOption arrowOpt("arrow", "Draw a move (e.g. Nf3) as an arrow.", "MOVE");
    const QCommandLineOption fillOpt("fill", "Let the board take all the room it is given.");
    parser.addOptions({modeOpt, flipOpt, fenOpt, movesOpt, widthOpt, lineOpt, highlightOpt,
                       phantomOpt, shotOpt, themeOpt, noCoordOpt, selectOpt, arrowOpt, fillOpt});
    parser.process(app);

    QMainWindow window;
    window.setWindowTitle("Brisolt board");
    auto* board = new cntrlChessGui(&window);
    window.setCentralWidget(board);
    QObject::connect(
        board, &cntrlChessGui::Status, &window, [&window](const QString& status, int number) {
            window.statusBar()->showMessage(QString("%1 (move %2)").arg(status).arg(number));
        });
    QObject::connect(board, &cntrlChessGui::TrainingStatus, &window,
                     [&window](const QString& text) { window.statusBar()->showMessage(text); });

    board->isWhiteOnTop(parser.isSet(flipOpt));
    board->isFillingSpace(parser.isSet(fillOpt));
    // A click on the board gives it the keys (Left, Right, Home, End, Up, Down).
    board->setFocusPolicy(Qt::ClickFocus);
    if (parser.isSet(fenOpt)) {
        try {
            if (!board->ApplyFen(parser.value(fenOpt))) {
                std::fprintf(stderr, "brisolt-board-demo: the FEN text was refused\n");
                return 2;
            }
        } catch (const CError& error) {
            std::fprintf(stderr, "brisolt-board-demo: %s\n", error.what());
            return 2;
        }
    }
    // The mode first: writing it hides the move line that the moves below draw.
    board->Mode(parser.value(modeOpt).toInt());
    for (const QString& move : parser.value(movesOpt).split(' ', Qt::SkipEmptyParts)) {
        board->MovePgn(move, true, false);
    }
    if (parser.isSet(themeOpt)) board->strBoardTheme(parser.value(themeOpt));
    board->isCoordinatesShown(!parser.isSet(noCoordOpt));
    if (parser.isSet(arrowOpt)) board->DrawMoveArrow(parser.value(arrowOpt));
    if (parser.isSet(selectOpt))
        board->SelectSquare(CBoardGeometry::intGetIndex(parser.value(selectOpt).toStdString(),
                                                        board->isWhiteOnTop()));
    if (parser.isSet(lineOpt)) {
        const QStringList ends = parser.value(lineOpt).split(',');
        if (ends.size() == 2) board->DrawLine(ends[0].toInt(), ends[1].toInt(), true);
    }
    if (parser.isSet(highlightOpt))
        board->HighLightSquare(parser.value(highlightOpt).toInt(), true);
    if (parser.isSet(phantomOpt)) board->Phantom(parser.value(phantomOpt).toInt(), true);

    const int width = parser.value(widthOpt).toInt();
    window.resize(width, board->heightForWidth(width) + window.statusBar()->sizeHint().height());
    if (parser.isSet(shotOpt)) {
        window.show();
        QApplication::processEvents();
        const QString file = parser.value(shotOpt);
        if (!window.grab().save(file)) {
            std::fprintf(stderr, "brisolt-board-demo: cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
        return 0;
    }
    window.show();
    return QApplication::exec();
}
