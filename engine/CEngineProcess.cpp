#include "engine/CEngineProcess.h"

#include "model/Utilities.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t errorTailSize = 300;
// A line longer than this is handed out in pieces: one that never ends cannot fill the memory.
constexpr size_t longestLine = 1 << 16;
// How long a write waits for a program that takes none of its input before it is given up.
constexpr int sendStallMs = 3000;

int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

void closeFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

std::string systemError(int code) {
    return std::strerror(code);
}

} // namespace

CEngineProcess::~CEngineProcess() {
    Stop();
    if (!folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
}

bool CEngineProcess::isMakeFolder() {
    if (!folder.empty()) return true;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/brisolt-engine-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        error = "no working folder (" + systemError(errno) + ")";
        return false;
    }
    folder = pattern;
    return true;
}

bool CEngineProcess::isStart(const std::string& path) {
    Stop();
    error.clear();
    errorTail.clear();
    note.clear();
    noteIsError = false;
    if (!isMakeFolder()) return false;
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0) {
        error = "no pipe for the engine (" + systemError(errno) + ")";
        return false;
    }
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        error = "no pipe for the engine (" + systemError(errno) + ")";
        close(in[0]);
        close(in[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    // The program starts in its own folder: a relative path is read from ours first.
    std::error_code ignored;
    const std::string program = std::filesystem::absolute(path, ignored).string();
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    // The program leads a process group of its own: what it starts (a wrapper's engine, a
    // search in a child) is ended with it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    toEngine = in[1];
    // Writes never block: a program that stops reading cannot hold us (see isSend).
    fcntl(toEngine, F_SETFL, fcntl(toEngine, F_GETFL) | O_NONBLOCK);
    fromEngine = out[0];
    errorsFromEngine = err[0];
    if (spawned != 0) {
        pid = -1;
        CloseAll();
        error = path + ": " + systemError(spawned);
        return false;
    }
    exited = false;
    // A program that has gone must not end us with SIGPIPE when we write to it.
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

bool CEngineProcess::isSend(const std::string& line) {
    if (toEngine < 0) return false;
    const std::string text = line + "\n";
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(toEngine, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            // The pipe is full: wait for the program to read some of it, but not for ever.
            pollfd watch{toEngine, POLLOUT, 0};
            if (poll(&watch, 1, sendStallMs) != 0) continue;
            error = "the engine does not read its commands";
            closeFd(toEngine);
            return false;
        }
        if (n <= 0) {
            error = "the engine no longer takes commands";
            closeFd(toEngine);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

void CEngineProcess::TakeErrors() {
    while (errorsFromEngine >= 0) {
        pollfd watch{errorsFromEngine, POLLIN, 0};
        if (poll(&watch, 1, 0) <= 0) return;
        char chunk[1024];
        const ssize_t n = read(errorsFromEngine, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return closeFd(errorsFromEngine);
        errorTail.append(chunk, static_cast<size_t>(n));
        if (errorTail.size() > errorTailSize) errorTail.erase(0, errorTail.size() - errorTailSize);
    }
}

bool CEngineProcess::isFill(int waitMs) {
    if (fromEngine < 0) return false;
    pollfd watch[2] = {{fromEngine, POLLIN, 0}, {errorsFromEngine, POLLIN, 0}};
    const int ready = poll(watch, errorsFromEngine >= 0 ? 2 : 1, waitMs);
    if (ready <= 0) return false;
    if (watch[1].revents != 0) TakeErrors();
    if (watch[0].revents == 0) return false;
    char chunk[4096];
    ssize_t n;
    do {
        n = read(fromEngine, chunk, sizeof chunk);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        closeFd(fromEngine);
        return true;
    }
    buffer.append(chunk, static_cast<size_t>(n));
    return true;
}

bool CEngineProcess::isReadLine(std::string& line, int waitMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    for (bool looked = false;; looked = true) {
        const size_t end = buffer.find('\n');
        if (end != std::string::npos || buffer.size() >= longestLine) {
            const size_t size = std::min(end, longestLine);
            line.assign(buffer, 0, size);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            buffer.erase(0, size == end ? end + 1 : size);
            TakeNote(line);
            return true;
        }
        if (fromEngine < 0) {
            if (buffer.empty()) return false;
            line = std::move(buffer);
            buffer.clear();
            if (!line.empty() && line.back() == '\r') line.pop_back();
            TakeNote(line);
            return true;
        }
        const int wait = msLeft(deadline);
        // The time is up with the line unfinished: the rest comes with a later reading.
        if (looked && wait == 0) return false;
        // Something came (or the output ended): look again; nothing within the time: done.
        if (!isFill(wait) && (wait == 0 || msLeft(deadline) == 0)) return false;
    }
}

void CEngineProcess::TakeNote(const std::string& line) {
    // Engines tell why they give up in "info string" lines on their standard output.
    const std::string prefix = "info string ";
    if (noteIsError || line.compare(0, prefix.size(), prefix) != 0) return;
    note = line.substr(prefix.size(), errorTailSize);
    noteIsError = strLowered(note).find("error") != std::string::npos;
}

void CEngineProcess::Reap(bool wait) {
    if (pid <= 0 || exited) return;
    int status = 0;
    pid_t done;
    do {
        done = waitpid(pid, &status, wait ? 0 : WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == pid || done < 0) {
        exited = true;
        exitStatus = status;
    }
}

bool CEngineProcess::isRunning() {
    Reap(false);
    return pid > 0 && !exited;
}

bool CEngineProcess::isFinished() {
    while (isFill(0)) {
    }
    if (fromEngine >= 0 || !buffer.empty()) return false;
    // The output ended: the program is on its way out; give it a moment to be reaped.
    const auto deadline = Clock::now() + std::chrono::milliseconds(300);
    while (isRunning() && msLeft(deadline) > 0)
        usleep(2000);
    return true;
}

void CEngineProcess::Stop(const std::string& quitLine, int graceMs) {
    if (pid > 0 && !exited) {
        if (!quitLine.empty()) isSend(quitLine);
        closeFd(toEngine);
        const auto deadline = Clock::now() + std::chrono::milliseconds(graceMs);
        while (isRunning() && msLeft(deadline) > 0)
            usleep(2000);
        if (!exited) {
            // The whole group: the program, not yet reaped, still holds the group's number.
            kill(-pid, SIGKILL);
            Reap(true);
        }
    }
    pid = -1;
    exited = false;
    CloseAll();
    buffer.clear();
}

void CEngineProcess::CloseAll() {
    closeFd(toEngine);
    closeFd(fromEngine);
    closeFd(errorsFromEngine);
}

std::string CEngineProcess::strExitReason() {
    if (isRunning()) return "it is still running";
    if (pid <= 0) return "it is not running";
    TakeErrors();
    std::string reason = WIFSIGNALED(exitStatus)
                             ? "it crashed"
                             : "it ended with exit code " + std::to_string(WEXITSTATUS(exitStatus));
    // The last line the program wrote to its standard error says most about why.
    std::string tail = errorTail;
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r' || tail.back() == ' '))
        tail.pop_back();
    const size_t lineStart = tail.find_last_of('\n');
    if (lineStart != std::string::npos) tail.erase(0, lineStart + 1);
    if (tail.empty()) tail = note;
    if (!tail.empty()) reason += ": " + tail;
    return reason;
}
