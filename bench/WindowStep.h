#pragma once

// The time a step of a window benchmark takes, by the wall clock and by this process's CPU clock.
#include <chrono>
#include <ctime>

using Clock = std::chrono::steady_clock;

// The CPU time of this process in ms.
inline double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// When a step began, by the wall clock and the CPU clock.
struct Start {
    Clock::time_point wall = Clock::now();
    double cpuMs = CpuMs();
};

// The wall-clock ms since the step began.
inline double WallMs(const Start& start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start.wall).count();
}
