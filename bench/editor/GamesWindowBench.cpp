// The games window over one workbook, as a user meets it: the workbook opened and the window
// painted, then a sort by description, a jump to the bottom of the rows offered, a game found in
// the middle of the order, the rows a thousand further, a sort by page and one by identifier
// (both descending) and a filter, each timed to its next paint; the process's CPU time and
// resident memory after each step. One line per step:
//   bench_games_window BOOK.brl   ->   step  cpu_ms  ms  rss_mb
// Run with QT_QPA_PLATFORM=offscreen. bench/editor/games_window.sh runs it at several sizes.
#include "bench/WindowStep.h"
#include "editor/CEditorPrompts.h"
#include "editor/frmGames.h"
#include "workbook/CWorkBook.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <cstdio>
#include <exception>
#include <fstream>
#include <memory>
#include <string>

namespace {

// Resident memory of this process in MB, from /proc.
double ResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

// Paints the window now and reports the step.
void Painted(QWidget& window, const char* step, const Start& start) {
    window.repaint();
    QApplication::processEvents();
    const double ms = WallMs(start);
    std::printf("%-26s %9.1f %9.1f %8.1f\n", step, CpuMs() - start.cpuMs, ms, ResidentMb());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_games_window BOOK.brl\n");
        return 2;
    }
    std::printf("%-26s %9.1f %9.1f %8.1f\n", "start", 0.0, 0.0, ResidentMb());
    Start start;
    auto workbook = std::make_shared<CWorkBook>();
    try {
        workbook->strOpenWorkBook(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "cannot open %s: %s\n", argv[1], error.what());
        return 1;
    }
    frmGames window(workbook, nullptr, std::make_shared<CModalPrompts>());
    window.show();
    Painted(window, "open to first paint", start);

    start = {};
    window.tblGames->sortByColumn(frmGames::ColDescription, Qt::AscendingOrder);
    Painted(window, "sort by description", start);

    QScrollBar* scroll = window.tblGames->verticalScrollBar();
    start = {};
    scroll->setValue(scroll->maximum());
    Painted(window, "scroll to the bottom", start);

    // The game with the middle identifier sits far down the description order.
    start = {};
    window.isSelectGame(static_cast<int32_t>(workbook->lngCountGames() / 2));
    Painted(window, "find a game in the middle", start);

    start = {};
    scroll->setValue(scroll->value() + 1000);
    Painted(window, "a thousand rows further", start);

    start = {};
    window.tblGames->sortByColumn(frmGames::ColPage, Qt::DescendingOrder);
    Painted(window, "sort by page, down", start);

    start = {};
    window.tblGames->sortByColumn(frmGames::ColID, Qt::DescendingOrder);
    Painted(window, "sort by id, down", start);

    start = {};
    window.SetFilter("p.1");
    Painted(window, "filter \"p.1\"", start);
    return 0;
}
