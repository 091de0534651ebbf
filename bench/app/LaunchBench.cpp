// Launch of the training program to the first test position painted, as a user starts it: a new
// process, the workbook named on the command line, the window shown (offscreen), the first
// game of the first batch painted. Beside it, the bare start of the same binary ("--version":
// loading Qt and our libraries, no window), the limit no launch can beat.
//
// The program reports the milliseconds from its main() to the first painted position when
// BRISOLT_FIRST_PAINT_EXIT=1 and ends; the wall time also counts process creation and loading.
#include "bench/workbook/BenchSupport.h"

#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double wallMs = 0;
    double paintedMs = -1; // as the program measured it from its main()
    int status = -1;
};

// Runs the program with extra environment entries and returns its wall time and report.
Run RunProgram(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    std::vector<std::string> environment = env;
    for (char** entry = environ; *entry; ++entry)
        environment.emplace_back(*entry);
    std::vector<char*> envp, argv;
    for (auto& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> arguments = args;
    for (auto& arg : arguments)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, out[0]);

    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        throw std::runtime_error("cannot start " + args[0]);
    }
    close(out[1]);
    std::string output;
    std::array<char, 256> buffer;
    ssize_t got;
    while ((got = read(out[0], buffer.data(), buffer.size())) > 0)
        output.append(buffer.data(), got);
    close(out[0]);
    waitpid(pid, &run.status, 0);
    run.wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    long long painted = -1;
    if (std::sscanf(output.c_str(), "first position painted after %lld ms", &painted) == 1) {
        run.paintedMs = static_cast<double>(painted);
    }
    return run;
}

std::vector<std::string> ProgramEnvironment() {
    // A settings folder of the benchmark's own, filled by a first run (as after a first start).
    const std::string config = bench::DataDir() + "/launch-config";
    std::filesystem::create_directories(config);
    return {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + config, "BRISOLT_FIRST_PAINT_EXIT=1"};
}

void Launch(benchmark::State& state, const std::string& workbook) {
    const auto env = ProgramEnvironment();
    RunProgram({BRISOLT_PROGRAM, workbook}, env); // warm: settings and file cache
    double painted = 0;
    for (auto _ : state) {
        const Run run = RunProgram({BRISOLT_PROGRAM, workbook}, env);
        if (run.status != 0 || run.paintedMs < 0) {
            state.SkipWithError("the program did not paint a position");
            return;
        }
        state.SetIterationTime(run.wallMs / 1000.0);
        painted += run.paintedMs;
    }
    state.counters["main_to_paint_ms"] =
        benchmark::Counter(painted, benchmark::Counter::kAvgIterations);
}

void BM_LaunchToFirstPaint_Sample(benchmark::State& state) {
    Launch(state, BRISOLT_SAMPLE_WORKBOOK);
}

void BM_LaunchToFirstPaint_100000Games(benchmark::State& state) {
    Launch(state, bench::GeneratedWorkbook(100000));
}

void BM_ProgramStartOnly(benchmark::State& state) {
    for (auto _ : state) {
        const Run run = RunProgram({BRISOLT_PROGRAM, "--version"}, {});
        state.SetIterationTime(run.wallMs / 1000.0);
    }
}

} // namespace

BENCHMARK(BM_ProgramStartOnly)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_LaunchToFirstPaint_Sample)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK(BM_LaunchToFirstPaint_100000Games)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

BENCHMARK_MAIN();
