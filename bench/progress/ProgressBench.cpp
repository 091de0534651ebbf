// The progress tables at scale: the review order of a day on 1,000,000 games, the history read
// over 5,000,000 attempts, the statistics window's queries, and a result recorded with and
// without its history row and schedule.
//
//   build/bench/progress/bench_progress
//   BRISOLT_BENCH_STATISTICS_WORKBOOK=FILE build/bench/progress/bench_progress
//   --benchmark_filter=Statistics
// The second form measures the statistics on a workbook made by
// `make_workbook FILE 1000000 --history 5000000` (games with pages and counters).
#include "workbook/CWorkBook.h"
#include "workbook/ReviewDay.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"
#include "workbook/SqlTransaction.h"
#include "workbook/WorkBookProgress.h"
#include "workbook/WorkBookStatistics.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace {

constexpr int64_t kGames = 1000000;
constexpr int64_t kAttempts = 5000000;
constexpr int64_t kToday = 20000;

void Exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message != nullptr ? message : "error";
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

// A workbook of kGames games (statistics only, no moves: the progress queries never read them),
// nine in ten scheduled over the last and next 60 days, and kAttempts history rows.
std::string Workbook() {
    const std::string folder = BRISOLT_BENCH_DATA;
    std::filesystem::create_directories(folder);
    const std::string file = folder + "/progress-1m.brl";
    if (std::filesystem::exists(file)) return file;
    const std::string partial = file + ".part";
    std::filesystem::remove(partial);
    {
        CWorkBook workbook;
        workbook.CreateEmptyWorkbook(partial);
        workbook.CloseWorkBook();
    }
    sqlite3* db = nullptr;
    sqlite3_open(partial.c_str(), &db);
    Exec(db, "pragma journal_mode=off");
    Exec(db, "pragma synchronous=off");
    Exec(db, "begin");
    Exec(db, "with recursive n(i) as (select 1 union all select i + 1 from n where i < 1000000) "
             "insert into GameTree (ID, Description, Hits, Solve, SolveStreak, ErrorStreak) "
             "select i, 'game ' || i, 0, 0, 0, 0 from n");
    Exec(db,
         "insert into TrainingSchedule select ID, 1.0 + abs(random() % 300), 1.0 + abs(random() "
         "% 9), 19900, 19940 + abs(random() % 120), 30, 1 + abs(random() % 10), abs(random() "
         "% 3), 19900 - abs(random() % 300) from GameTree where ID % 10 != 0");
    Exec(db, "with recursive n(i) as (select 1 union all select i + 1 from n where i < 5000000) "
             "insert into TrainingHistory (GameTreeID, AttemptedAt, Solved, WrongMoves, "
             "SolutionShown, Seconds) select 1 + abs(random() % 1000000), 1500000000 + i * 60, "
             "abs(random() % 2), abs(random() % 3), 0, abs(random() % 90) from n");
    Exec(db, "commit");
    sqlite3_close(db);
    std::filesystem::rename(partial, file);
    return file;
}

// The whole order (what brisolt-cli due prints: here some 450,000 games) or a batch of ten.
void BM_DueOrderOfADay(benchmark::State& state) {
    SqlConnection connection(Workbook());
    WorkBookProgress progress(connection);
    size_t games = 0;
    for (auto _ : state)
        games = progress.arrDueGames(kToday, 20, state.range(0)).size();
    state.counters["games"] = static_cast<double>(games);
}
BENCHMARK(BM_DueOrderOfADay)->Arg(10)->Arg(kGames)->Unit(benchmark::kMillisecond);

void BM_HistoryOfTheLastWeek(benchmark::State& state) {
    SqlConnection connection(Workbook());
    WorkBookProgress progress(connection);
    const int64_t since = 1500000000 + (kAttempts - 7 * 24 * 60) * 60;
    int64_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        progress.ForEachAttempt(since, [&](const TrainingAttempt&) { ++rows; });
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_HistoryOfTheLastWeek)->Unit(benchmark::kMillisecond);

// Each figure of the statistics window, and all of them as the window reads them when it opens.
void Statistics(benchmark::State& state,
                const std::function<size_t(const WorkBookStatistics&, int64_t)>& read) {
    const char* file = std::getenv("BRISOLT_BENCH_STATISTICS_WORKBOOK");
    SqlConnection connection(file != nullptr ? file : Workbook());
    WorkBookStatistics statistics(connection);
    const int64_t today = ReviewDay::lngToday();
    size_t rows = 0;
    for (auto _ : state)
        rows = read(statistics, today);
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK_CAPTURE(Statistics, Summary, [](const WorkBookStatistics& s, int64_t today) {
    return static_cast<size_t>(s.objSummary(today).lngStreakDays);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Statistics, ByDay30, [](const WorkBookStatistics& s, int64_t today) {
    return s.arrByDay(today, 30).size();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Statistics, ByWeek26, [](const WorkBookStatistics& s, int64_t today) {
    return s.arrByWeek(today, 26).size();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Statistics, ByPage, [](const WorkBookStatistics& s, int64_t) {
    return s.arrByPage(20).size();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Statistics, ByChapter, [](const WorkBookStatistics& s, int64_t) {
    return s.arrByChapter(20).size();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Statistics, MostFailed, [](const WorkBookStatistics& s, int64_t) {
    return s.arrMostFailed(15).size();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Statistics, LongestUnseen, [](const WorkBookStatistics& s, int64_t) {
    return s.arrLongestUnseen(15).size();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Statistics, WindowFigures, [](const WorkBookStatistics& s, int64_t today) {
    return s.objRead(today).arrByDay.size();
})->Unit(benchmark::kMillisecond);

// One result as the training window records it: its own transaction, committed to disk.
void Record(benchmark::State& state, bool withProgress) {
    SqlConnection connection(Workbook());
    WorkBookProgress progress(connection);
    std::mt19937 random(7);
    for (auto _ : state) {
        const int64_t game = 1 + static_cast<int64_t>(random() % kGames);
        SqlTransaction work(connection);
        SqlStatementScope update(
            connection.prepared("update GameTree set Hits = coalesce(Hits, 0) + 1 where ID = ?"));
        update->bind(1, game);
        update->run();
        if (withProgress) {
            TrainingAttempt attempt;
            attempt.lngGameId = game;
            attempt.lngAttemptedAt = kToday * 86400;
            attempt.isSolved = true;
            progress.lngRecordAttempt(attempt);
        }
        work.Commit();
    }
}

void BM_RecordStatisticsOnly(benchmark::State& state) {
    Record(state, false);
}
BENCHMARK(BM_RecordStatisticsOnly)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_RecordWithHistoryAndSchedule(benchmark::State& state) {
    Record(state, true);
}
BENCHMARK(BM_RecordWithHistoryAndSchedule)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

BENCHMARK_MAIN();
