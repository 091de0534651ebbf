// Workbook operations on a generated workbook of 100,000 games, each beside the same SQL run
// through the sqlite3 shell on the same file (the limit), with the ratio.
#include "BenchSupport.h"
#include "model/CDiagram.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr int kGames = 100000;

const std::string& LargeWorkbook() {
    static const std::string path = bench::GeneratedWorkbook(kGames);
    return path;
}

std::vector<int32_t> RandomIds(int count) {
    std::mt19937 random(7);
    std::vector<int32_t> ids;
    for (int i = 0; i < count; ++i)
        ids.push_back(std::uniform_int_distribution<int32_t>(1, kGames)(random));
    return ids;
}

void Report(benchmark::State& state, double rawMicros, double oursMicros) {
    state.counters["raw_us"] = rawMicros;
    state.counters["ours_us"] = oursMicros;
    if (rawMicros > 0) state.counters["ratio"] = oursMicros / rawMicros;
}

double MicrosPerIteration(benchmark::State& state, std::chrono::steady_clock::duration spent) {
    return std::chrono::duration<double, std::micro>(spent).count() /
           static_cast<double>(state.iterations());
}

const char* const kBatchSql = "select id from GameTree order by ErrorStreak desc, Solve ,hits, "
                              "SolveStreak,ID limit 10;";

void BM_OpenAndFirstBatch(benchmark::State& state) {
    const std::string& path = LargeWorkbook();
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        benchmark::DoNotOptimize(workbook.arrlngGetGameIDsForTraining(10));
    }
    double ours = MicrosPerIteration(state, std::chrono::steady_clock::now() - start);
    // The shell's own start-up is taken off its time, so the raw figure is the query alone.
    Report(state, bench::RawMicros(path, std::vector<std::string>(200, kBatchSql)), ours);
}
BENCHMARK(BM_OpenAndFirstBatch)->Unit(benchmark::kMicrosecond);

void BM_TrainingBatch(benchmark::State& state) {
    const std::string& path = LargeWorkbook();
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(workbook.arrlngGetGameIDsForTraining(10));
    double ours = MicrosPerIteration(state, std::chrono::steady_clock::now() - start);
    Report(state, bench::RawMicros(path, std::vector<std::string>(2000, kBatchSql)), ours);
}
BENCHMARK(BM_TrainingBatch)->Unit(benchmark::kMicrosecond);

void BM_LoadGame(benchmark::State& state) {
    const std::string& path = LargeWorkbook();
    const std::vector<int32_t> ids = RandomIds(1000);
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    size_t i = 0;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::string d, p, g;
        benchmark::DoNotOptimize(workbook.objLoadGame(ids[i++ % ids.size()], d, p, g));
    }
    double ours = MicrosPerIteration(state, std::chrono::steady_clock::now() - start);
    std::vector<std::string> rounds;
    for (int32_t id : ids)
        rounds.push_back("select * from GameTree where ID=" + std::to_string(id) +
                         "; select * from GameNode where GameTreeID=" + std::to_string(id) +
                         " order by ID;");
    Report(state, bench::RawMicros(path, rounds), ours);
}
BENCHMARK(BM_LoadGame)->Unit(benchmark::kMicrosecond);

void BM_UpdateSuccess(benchmark::State& state) {
    const std::string path = bench::WorkingCopy(LargeWorkbook(), "update.brl");
    const std::vector<int32_t> ids = RandomIds(1000);
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    size_t i = 0;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        workbook.UpdateSuccess(ids[i++ % ids.size()]);
    double ours = MicrosPerIteration(state, std::chrono::steady_clock::now() - start);
    workbook.CloseWorkBook();
    std::vector<std::string> rounds;
    for (size_t k = 0; k < 200; ++k)
        rounds.push_back("update GameTree set hits=hits+1, solve=solve+1,SolveStreak="
                         "SolveStreak+1,ErrorStreak=0 where ID=" +
                         std::to_string(ids[k]) + ";");
    Report(state, bench::RawMicros(path, rounds), ours);
}
BENCHMARK(BM_UpdateSuccess)->Unit(benchmark::kMicrosecond);

void BM_SaveNewGame(benchmark::State& state) {
    const std::string path = bench::WorkingCopy(LargeWorkbook(), "save.brl");
    std::mt19937 random(99);
    auto tree = bench::RandomGame(random);
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(workbook.lngSaveGame(tree, 0, "New", "", ""));
    double ours = MicrosPerIteration(state, std::chrono::steady_clock::now() - start);
    // The same statements as the save: one transaction, the game row, the node rows.
    std::string round = "BEGIN TRANSACTION; insert into GameTree (ID,Description,XRefPage,"
                        "XRefDiagram,Hits,Solve,ErrorStreak,SolveStreak) values(NULL,'New','','',"
                        "0,0,0,0); delete from GameNode where GameTreeID=last_insert_rowid();";
    for (const auto& node : *tree) {
        const CPosition& p = *node->objPosition();
        round +=
            " insert into GameNode (ID,GameTreeID,NodeKey,NodeParentKey,WhiteToMove,Diagram,"
            "MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO) values "
            "(NULL,(select max(ID) from GameTree)," +
            bench::Quote(node->strKey()) + "," + bench::Quote(node->strParentKey()) + "," +
            (p.isWhiteToMove() ? "1" : "0") + "," + bench::Quote(p.objDiagram()->strToString()) +
            "," + bench::Quote(p.strMoveText()) + "," + std::to_string(p.intMoveNumber()) + "," +
            std::to_string(p.intEnPassantFile()) + "," + (p.isKCastleForfeited(0) ? "0," : "1,") +
            (p.isQCastleForfeited(0) ? "0," : "1,") + (p.isKCastleForfeited(1) ? "0," : "1,") +
            (p.isQCastleForfeited(1) ? "0);" : "1);");
    }
    round += " COMMIT TRANSACTION;";
    workbook.CloseWorkBook();
    Report(state, bench::RawMicros(path, std::vector<std::string>(100, round)), ours);
    state.counters["nodes"] = tree->Count();
}
BENCHMARK(BM_SaveNewGame)->Unit(benchmark::kMicrosecond);

// Clear Log after a session of 100 results: the games never tried keep their rows. The first
// clear, untimed, leaves only the session's games to clear at each round.
void BM_ClearLog(benchmark::State& state) {
    const std::string path = bench::WorkingCopy(LargeWorkbook(), "clear.brl");
    const std::vector<int32_t> ids = RandomIds(100);
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    workbook.ClearLog();
    for (auto _ : state) {
        state.PauseTiming();
        for (int32_t id : ids)
            workbook.UpdateError(id);
        state.ResumeTiming();
        workbook.ClearLog();
    }
}
BENCHMARK(BM_ClearLog)->Unit(benchmark::kMillisecond);

// Memory while training: what opening costs on a small and on the large workbook, and the
// growth over many batches, loads and results.
void BM_TrainingMemory(benchmark::State& state) {
    const std::string small = bench::GeneratedWorkbook(1000);
    const std::string large = bench::WorkingCopy(LargeWorkbook(), "memory.brl");
    for (auto _ : state) {
        long before = bench::ResidentKb();
        long smallOpen = 0, largeOpen = 0, afterWork = 0;
        {
            CWorkBook workbook;
            workbook.strOpenWorkBook(small);
            workbook.arrlngGetGameIDsForTraining(10);
            smallOpen = bench::ResidentKb() - before;
        }
        CWorkBook workbook;
        long base = bench::ResidentKb();
        workbook.strOpenWorkBook(large);
        for (int32_t id : workbook.arrlngGetGameIDsForTraining(10)) {
            std::string d, p, g;
            workbook.objLoadGame(id, d, p, g);
        }
        largeOpen = bench::ResidentKb() - base;
        // Every batch loads its ten games; one result in ten is recorded (each waits for the
        // disk, which measures nothing about memory).
        for (int round = 0; round < 500; ++round) {
            int k = 0;
            for (int32_t id : workbook.arrlngGetGameIDsForTraining(10)) {
                std::string d, p, g;
                workbook.objLoadGame(id, d, p, g);
                if (k++ == round % 10)
                    round % 2 ? workbook.UpdateError(id) : workbook.UpdateSuccess(id);
            }
        }
        afterWork = bench::ResidentKb() - base;
        state.counters["resident_kb"] = static_cast<double>(bench::ResidentKb());
        state.counters["open_small_kb"] = static_cast<double>(smallOpen);
        state.counters["open_large_kb"] = static_cast<double>(largeOpen);
        state.counters["after_5000_games_kb"] = static_cast<double>(afterWork);
    }
}
BENCHMARK(BM_TrainingMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
