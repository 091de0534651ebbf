#pragma once

// Work run in a child process that is killed at a chosen moment, as a crash or a power cut
// would stop the program.
#include <cstdint>
#include <functional>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Writes a number to the parent; the first one says the work has started.
inline void Tell(int pipe, int32_t value) {
    if (write(pipe, &value, sizeof value) != sizeof value) _exit(3);
}

struct KilledChild {
    bool killed = false;                 // the child ended by the kill, not by itself
    std::vector<int32_t> toldAfterStart; // the numbers it told after the first
};

// Waits for the child to end: its exit code, or -1 when a signal ended it.
inline int ExitCode(pid_t child) {
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs the work in a child, waits until it tells it has started, lets it run for the delay,
// kills it and collects what it told.
inline KilledChild RunAndKill(const std::function<void(int pipe)>& work, useconds_t delay) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        try {
            work(fds[1]);
        } catch (...) {
            _exit(2);
        }
        _exit(0);
    }
    close(fds[1]);
    KilledChild result;
    int32_t value = 0;
    if (read(fds[0], &value, sizeof value) == sizeof value) usleep(delay);
    kill(child, SIGKILL);
    result.killed = ExitCode(child) == -1;
    while (read(fds[0], &value, sizeof value) == sizeof value)
        result.toldAfterStart.push_back(value);
    close(fds[0]);
    return result;
}
