// brisolt-cli engine-move through the real program, the real Stockfish and the fake engines.
#include "EngineTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <vector>

namespace {

// A folder of its own for the command's settings store and the fakes' notes.
struct Scratch {
    std::string path;
    Scratch() {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/cli-XXXXXX";
        path = mkdtemp(pattern.data()) ? pattern : "";
    }
    ~Scratch() { std::filesystem::remove_all(path); }
};

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

CommandResult runCli(const Scratch& scratch, const std::vector<std::string>& args) {
    std::string command = "XDG_CONFIG_HOME=" + quoted(scratch.path) +
                          " BRISOLT_START_LOG=" + quoted(scratch.path + "/starts") + " " +
                          BRISOLT_CLI + " engine-move";
    for (const std::string& arg : args)
        command += " " + quoted(arg);
    command += " 2>" + quoted(scratch.path + "/err");
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = readFile(scratch.path + "/err");
    return result;
}

std::string lastLine(std::string text) {
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text.substr(text.find_last_of('\n') + 1);
}

struct CommandCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::string expected; // the last output line (status 0) or a part of the error line
};

TEST(EngineMoveCommandTest, PrintsTheEnginesMoveOrSaysWhyNot) {
    const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
    const std::vector<CommandCase> cases = {
        {"mate in one", {"4r1k1/5ppp/8/8/8/8/6PP/N6K b - -", "--depth", "4"}, 0, "Re1#"},
        {"FEN given as separate fields", {"4r1k1/5ppp/8/8/8/8/6PP/N6K", "b", "-", "-"}, 0, "Re1#"},
        {"position already mate",
         {"6k1/5ppp/8/8/8/8/6PP/4r2K w - -"},
         1,
         "no move: the game is over (0-1 {Black mates})"},
        {"missing engine",
         {"8/8/8/8/8/8/k7/K7 w - -", "--engine", "/nonexistent/sf"},
         1,
         "/nonexistent/sf: No such file or directory"},
        {"engine that crashes",
         {start, "--engine", fakeEngine("crash.sh")},
         1,
         "The engine stopped: it crashed"},
        {"engine that plays nonsense",
         {start, "--engine", fakeEngine("illegal.sh")},
         1,
         "The engine played an illegal move: a2a5."},
        {"bad FEN", {"rnbqkbnr/pppppppp/8 w - -"}, 1, "bad FEN"},
        {"no FEN", {"--time", "1"}, 2, "missing FEN"},
        {"bad depth", {"8/8/8/8/8/8/k7/K7 w - -", "--depth", "deep"}, 2, "bad depth"},
        {"bad time", {"8/8/8/8/8/8/k7/K7 w - -", "--time", "-3"}, 2, "bad time"},
    };
    for (const CommandCase& c : cases) {
        Scratch scratch;
        const CommandResult result = runCli(scratch, c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.name << ": " << result.err;
        if (c.exitCode == 0)
            EXPECT_EQ(lastLine(result.out), c.expected) << c.name;
        else
            EXPECT_NE(result.err.find(c.expected), std::string::npos)
                << c.name << ": " << result.err;
    }
}

// Each command starts its engine once; what the first start found out is kept for the next.
TEST(EngineMoveCommandTest, OneEngineStartPerCommandAndTheProtocolRemembered) {
    Scratch scratch;
    const std::string engine = fakeEngine("counted.sh");
    const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
    for (int run = 1; run <= 2; ++run) {
        const CommandResult result = runCli(scratch, {start, "--engine", engine, "--time", "0.1"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(lastLine(result.out), "e4");
        EXPECT_EQ(readFile(scratch.path + "/starts"),
                  run == 1 ? "started\n" : "started\nstarted\n");
        const std::string settings = readFile(scratch.path + "/Brisolt/Brisolt.conf");
        EXPECT_NE(settings.find("[EngineCache]"), std::string::npos) << settings;
        EXPECT_NE(settings.find("UCI, "), std::string::npos) << settings;
        EXPECT_NE(settings.find("Fake Counted"), std::string::npos) << settings;
    }
}

} // namespace
