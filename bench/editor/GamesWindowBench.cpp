// The games window over one workbook, as a user meets it: the workbook opened and the window
// painted, then a sort by description, a jump to the bottom of the rows offered and a filter, each
// timed to its next paint; the resident memory after each step. One line per step:
//   bench_games_window BOOK.brl   ->   step  ms  rss_mb
// Run with QT_QPA_PLATFORM=offscreen. bench/editor/games_window.sh runs it at several sizes.
#include "editor/CEditorPrompts.h"
#include "editor/frmGames.h"
#include "workbook/CWorkBook.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <chrono>
#include <cstdio>
#include <exception>
#include <fstream>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Resident memory of this process in MB, from /proc.
double ResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

// Paints the window now and reports the step.
void Painted(QWidget& window, const char* step, Clock::time_point start) {
    window.repaint();
    QApplication::processEvents();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::printf("%-22s %9.1f %8.1f\n", step, ms, ResidentMb());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_games_window BOOK.brl\n");
        return 2;
    }
    std::printf("%-22s %9.1f %8.1f\n", "start", 0.0, ResidentMb());
    auto start = Clock::now();
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

    start = Clock::now();
    window.tblGames->sortByColumn(frmGames::ColDescription, Qt::AscendingOrder);
    Painted(window, "sort by description", start);

    start = Clock::now();
    window.tblGames->verticalScrollBar()->setValue(window.tblGames->verticalScrollBar()->maximum());
    Painted(window, "scroll to the bottom", start);

    start = Clock::now();
    window.tblGames->sortByColumn(frmGames::ColID, Qt::DescendingOrder);
    Painted(window, "sort by id, down", start);

    start = Clock::now();
    window.txtFilter->setText("p.1");
    Painted(window, "filter \"p.1\"", start);
    return 0;
}
