// make_workbook OUT.brl GAMES [SEED] [--history ROWS]: writes a workbook of GAMES training games
// (10 to 20 nodes each, varied statistics) for measurements at any scale, with ROWS attempts in
// its training history when asked; prints the time it took.
#include "BenchSupport.h"
#include "bench/progress/HistoryRows.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    long long games = 0;
    long long history = 0;
    if (argc > 3 && std::string(argv[argc - 2]) == "--history") {
        history = std::atoll(argv[argc - 1]);
        argc -= 2;
    }
    unsigned seed = 2026;
    const std::string count = argc > 2 ? argv[2] : "";
    auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), games);
    if (argc < 3 || argc > 4 || error != std::errc() || end != count.data() + count.size() ||
        games < 1 || games > 100000000) {
        std::fprintf(stderr, "usage: make_workbook OUT.brl GAMES [SEED] [--history ROWS]\n");
        return 2;
    }
    if (argc == 4) seed = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
    auto start = std::chrono::steady_clock::now();
    try {
        // With --history an existing workbook keeps its games and gets the history added.
        if (history == 0 || !std::filesystem::exists(argv[1]))
            bench::MakeWorkbook(argv[1], static_cast<int>(games), seed);
        if (history > 0) bench::AddHistory(argv[1], history);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "make_workbook: %s\n", failure.what());
        return 1;
    }
    std::printf("%lld games, %lld history rows in %s, %.1f s\n", games, history, argv[1],
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return 0;
}
