// The statistics window over one workbook, as a user meets it: opened and painted, then each tab
// read and painted when first shown; then a result recorded and the window opened again the same
// way. Each step timed by the process's CPU clock and the wall clock. One line per step:
//   bench_statistics_window BOOK.brl   ->   step  cpu_ms  ms
// Run with QT_QPA_PLATFORM=offscreen, on a workbook from
// `make_workbook BOOK.brl 1000000 --history 5000000`.
#include "bench/WindowStep.h"
#include "progress/frmStatistics.h"
#include "workbook/CWorkBook.h"
#include "workbook/ReviewDay.h"

#include <QApplication>
#include <QTabWidget>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

namespace {

void Painted(QWidget& window, const std::string& step, const Start& start) {
    window.repaint();
    QApplication::processEvents();
    std::printf("%-36s %9.1f %9.1f\n", step.c_str(), CpuMs() - start.cpuMs, WallMs(start));
    std::fflush(stdout);
}

// Opens the window and shows each tab in turn, each step reported with the prefix.
void ShowEveryTab(const std::shared_ptr<CWorkBook>& workbook, const std::string& prefix) {
    Start start;
    frmStatistics window(workbook, ReviewDay::lngToday());
    window.show();
    Painted(window, prefix + "open", start);
    auto* tabs = window.findChild<QTabWidget*>("tabStatistics");
    for (int tab = 1; tab < tabs->count(); ++tab) {
        start = {};
        tabs->setCurrentIndex(tab);
        Painted(window, prefix + tabs->tabText(tab).remove('&').toStdString(), start);
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_statistics_window BOOK.brl\n");
        return 2;
    }
    auto workbook = std::make_shared<CWorkBook>();
    try {
        workbook->strOpenWorkBook(argv[1]);
        ShowEveryTab(workbook, "");
        workbook->UpdateError(workbook->lngCountGames() / 2);
        ShowEveryTab(workbook, "after a result: ");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_statistics_window: %s\n", error.what());
        return 1;
    }
    return 0;
}
