#pragma once

#include <string>
#include <sys/types.h>

// One engine program as a child process: lines go to its standard input, whole lines come back
// from its standard output, and the last words it wrote to its standard error are kept for the
// reason it stopped. It runs in a private temporary folder (made at the first start, kept across
// restarts, removed with the object), so files it writes never reach the user's folders.
// Reading waits at most the time asked for: 0 polls (the practice window's timer), more blocks
// (the verifier, the command-line tool).
class CEngineProcess {
public:
    CEngineProcess() = default;
    // Ends the program and removes its working folder.
    ~CEngineProcess();
    CEngineProcess(const CEngineProcess&) = delete;
    CEngineProcess& operator=(const CEngineProcess&) = delete;

    // Starts the program at path (any earlier one is killed first); false, with the reason in
    // strError, when it cannot run.
    bool isStart(const std::string& path);
    // Writes one line; false when the program no longer takes input.
    bool isSend(const std::string& line);
    // The next whole output line, without its line end; waits up to waitMs for it. After the
    // program has ended, an unfinished last line is handed out as a line. False when no line came.
    bool isReadLine(std::string& line, int waitMs);
    // True while the program runs (an ended program is reaped here).
    bool isRunning();
    // True once the program closed its output and every line it wrote has been read.
    bool isFinished();
    // Ends the program: writes quitLine (when given), closes its input, waits graceMs for it to
    // go and kills it otherwise. Output not yet read is dropped.
    void Stop(const std::string& quitLine = {}, int graceMs = 300);

    // Why the program could not start or could not take a line; "" while all is well.
    const std::string& strError() const { return error; }
    // How the program ended: "it crashed" or "it ended with exit code N", followed by the last
    // line it wrote to its standard error or, without one, what it said in "info string" lines
    // (the first that names an error, else the last).
    std::string strExitReason();
    // The program's working folder; "" before the first start.
    const std::string& strWorkingFolder() const { return folder; }

private:
    bool isMakeFolder();
    void TakeErrors();
    void TakeNote(const std::string& line);
    bool isFill(int waitMs);
    void Reap(bool wait);
    void CloseAll();

    pid_t pid = -1;
    int toEngine = -1;
    int fromEngine = -1;
    int errorsFromEngine = -1;
    bool exited = false;
    int exitStatus = 0;
    std::string buffer;
    std::string errorTail;
    std::string note;
    bool noteIsError = false;
    std::string error;
    std::string folder;
};
