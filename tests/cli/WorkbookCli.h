#pragma once

// Runs brisolt-cli (BRISOLT_CLI) as a user runs it, in a folder, and collects its outputs and exit
// status.
#include "tests/workbook/TempFolder.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs brisolt-cli with the arguments in the folder (the current one by default), with the
// environment variables given ("NAME=value"). With a file size limit (bytes) no file the program
// writes can grow past it, as on a full disk.
inline CliResult Cli(const std::vector<std::string>& args, const std::string& folder = ".",
                     rlim_t fileSizeLimit = 0, const std::vector<std::string>& environment = {}) {
    TempFolder capture;
    const std::string outPath = capture.file("out"), errPath = capture.file("err");
    pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0) _exit(127);
        for (const std::string& variable : environment)
            putenv(const_cast<char*>(variable.c_str()));
        if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr))
            _exit(127);
        if (fileSizeLimit > 0) {
            std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing
            rlimit limit{fileSizeLimit, fileSizeLimit};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(127);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(BRISOLT_CLI));
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(BRISOLT_CLI, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    CliResult run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = FileBytes(outPath);
    run.err = FileBytes(errPath);
    return run;
}

struct Step {
    std::vector<std::string> args;
    int status;
    std::string out;     // the whole standard output
    std::string errPart; // a part of the error output ("" = none)
};

// Runs the steps in the folder, each as a user runs it.
inline void RunSteps(const std::vector<Step>& steps, const std::string& folder = ".") {
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::PrintToString(step.args));
        CliResult run = Cli(step.args, folder);
        EXPECT_EQ(run.status, step.status) << run.err;
        EXPECT_EQ(run.out, step.out);
        EXPECT_NE(run.err.find(step.errPart), std::string::npos) << run.err;
        // What went wrong is said in one line; a usage error adds the usage.
        const size_t usage = run.err.find("\nusage: ");
        const std::string said =
            usage == std::string::npos ? run.err : run.err.substr(0, usage + 1);
        EXPECT_EQ(std::ranges::count(said, '\n'), step.errPart.empty() ? 0 : 1) << run.err;
    }
}
