#include "verify/CUciProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

} // namespace

CUciProcess::~CUciProcess() {
    Stop();
}

bool CUciProcess::isStart(const std::string& path, int handshakeMs) {
    Stop();
    error.clear();
    buffer.clear();
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0) {
        error = "Cannot make a pipe for the engine: " + std::string(std::strerror(errno));
        return false;
    }
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        error = "Cannot make a pipe for the engine: " + std::string(std::strerror(errno));
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    toEngine = in[1];
    fromEngine = out[0];
    if (spawned != 0) {
        pid = -1;
        close(toEngine);
        close(fromEngine);
        toEngine = fromEngine = -1;
        error = "Cannot start the engine " + path + ": " + std::strerror(spawned);
        return false;
    }
    // A dead engine must not end us with SIGPIPE when we write to it.
    std::signal(SIGPIPE, SIG_IGN);
    const auto deadline = Clock::now() + std::chrono::milliseconds(handshakeMs);
    if (!isSend("uci")) return false;
    std::string line;
    while (isReadLine(line, msLeft(deadline)))
        if (line == "uciok") return true;
    const std::string reason = error;
    Stop();
    error = "The engine " + path + " did not answer \"uci\" with \"uciok\"" +
            (reason.empty() ? "." : ": " + reason);
    return false;
}

bool CUciProcess::isSend(const std::string& line) {
    if (toEngine < 0) return false;
    const std::string text = line + "\n";
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(toEngine, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = "The engine stopped taking commands.";
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool CUciProcess::isReadLine(std::string& line, int waitMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const size_t end = buffer.find('\n');
        if (end != std::string::npos) {
            line = buffer.substr(0, end);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            buffer.erase(0, end + 1);
            return true;
        }
        if (fromEngine < 0) return false;
        pollfd watch{fromEngine, POLLIN, 0};
        const int ready = poll(&watch, 1, msLeft(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            if (ready == 0) error = "The engine did not answer in time.";
            return false;
        }
        char chunk[4096];
        const ssize_t n = read(fromEngine, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = "The engine ended unexpectedly.";
            close(fromEngine);
            fromEngine = -1;
            return false;
        }
        buffer.append(chunk, static_cast<size_t>(n));
    }
}

bool CUciProcess::isReady(int waitMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    if (!isSend("isready")) return false;
    std::string line;
    while (isReadLine(line, msLeft(deadline)))
        if (line == "readyok") return true;
    return false;
}

void CUciProcess::Stop() {
    if (pid > 0) {
        isSend("quit");
        if (toEngine >= 0) close(toEngine);
        toEngine = -1;
        int status = 0;
        bool ended = false;
        for (int i = 0; i < 50 && !ended; ++i) {
            ended = waitpid(pid, &status, WNOHANG) == pid;
            if (!ended) usleep(10000);
        }
        if (!ended) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
        pid = -1;
    }
    if (toEngine >= 0) close(toEngine);
    if (fromEngine >= 0) close(fromEngine);
    toEngine = fromEngine = -1;
}
