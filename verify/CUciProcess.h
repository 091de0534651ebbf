#pragma once

#include <string>
#include <sys/types.h>

// One UCI engine as a child process: lines go to its standard input and come back from its
// standard output. Reading waits at most the time given; the process ends with the object.
class CUciProcess {
public:
    CUciProcess() = default;
    // Asks the engine to quit and kills it if it lingers.
    ~CUciProcess();
    CUciProcess(const CUciProcess&) = delete;
    CUciProcess& operator=(const CUciProcess&) = delete;

    // Starts the program and waits for "uciok"; false (with the reason in strError) otherwise.
    bool isStart(const std::string& path, int handshakeMs = 5000);
    // Writes one line; false when the engine is gone.
    bool isSend(const std::string& line);
    // The next whole output line (without its line feed); false when none came within waitMs or
    // the engine ended.
    bool isReadLine(std::string& line, int waitMs);
    // Sends "isready" and waits for "readyok".
    bool isReady(int waitMs = 5000);
    // Ends the engine.
    void Stop();
    // True while the child process runs.
    bool isRunning() const { return pid > 0; }
    // Why the engine could not start or stopped answering.
    const std::string& strError() const { return error; }

private:
    pid_t pid = -1;
    int toEngine = -1;
    int fromEngine = -1;
    std::string buffer;
    std::string error;
};
