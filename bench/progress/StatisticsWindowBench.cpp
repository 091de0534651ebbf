// The statistics window over one workbook, as a user meets it: opened and painted, then each tab
// read and painted when first shown, each timed. One line per step:
//   bench_statistics_window BOOK.brl   ->   step  ms
// Run with QT_QPA_PLATFORM=offscreen, on a workbook from
// `make_workbook BOOK.brl 1000000 --history 5000000`.
#include "progress/frmStatistics.h"
#include "workbook/CWorkBook.h"
#include "workbook/ReviewDay.h"

#include <QApplication>
#include <QTabWidget>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

void Painted(QWidget& window, const char* step, Clock::time_point start) {
    window.repaint();
    QApplication::processEvents();
    std::printf("%-22s %9.1f\n", step,
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    std::fflush(stdout);
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
        auto start = Clock::now();
        frmStatistics window(workbook, ReviewDay::lngToday());
        window.show();
        Painted(window, "open", start);
        auto* tabs = window.findChild<QTabWidget*>("tabStatistics");
        for (int tab = 1; tab < tabs->count(); ++tab) {
            start = Clock::now();
            tabs->setCurrentIndex(tab);
            Painted(window, tabs->tabText(tab).remove('&').toUtf8().constData(), start);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_statistics_window: %s\n", error.what());
        return 1;
    }
    return 0;
}
