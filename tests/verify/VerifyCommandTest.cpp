// brisolt-cli verify through the real program and the real Stockfish.
#include "VerifyTestSupport.h"
#include "tests/model/Checks.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

struct CliRun {
    int status = -1;
    std::string output;
};

CliRun run(const std::string& arguments) {
    CliRun result;
    FILE* pipe = popen((std::string(BRISOLT_CLI) + " " + arguments + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

TEST(VerifyCommand, PrintsOneLinePerGame) {
    ExerciseBook book(PgnGame("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "1. Ra8#") +
                      PgnGame("6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1", "1. Ra8#") +
                      PgnGame("k7/2K5/8/8/8/8/8/1Q6 w - - 0 1", "1. Qb2 Ka7 2. Qb7#"));
    const std::string engine = " --engine " BRISOLT_STOCKFISH " --time 0.25";
    CliRun all = run("verify " + book.strFile() + engine);
    EXPECT_EQ(all.status, 0) << all.output;
    EXPECT_EQ(all.output.rfind("1\tok\tstored Ra8# #1", 0), 0u) << all.output;
    EXPECT_TRUE(Contains(all.output, "\n2\tsecond-solution\tsecond solution Rb8# #1"));
    EXPECT_TRUE(Contains(all.output, "\n3\tshorter-mate\t"));

    CliRun some = run("verify " + book.strFile() + " 2" + engine);
    EXPECT_EQ(some.status, 0);
    EXPECT_EQ(some.output.rfind("2\tsecond-solution\t", 0), 0u) << some.output;
    EXPECT_EQ(some.output.find("\n1\t"), std::string::npos) << some.output;
}

TEST(VerifyCommand, RefusesBadInvocationsClearly) {
    ExerciseBook book(PgnGame("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "1. Ra8#"));
    const std::string file = book.strFile();
    const struct {
        std::string arguments;
        int status;
        const char* message;
    } cases[] = {
        {"verify", 2, "missing FILE"},
        {"verify " + file + " --time", 2, "--time needs a value"},
        {"verify " + file + " --time -1", 2, "bad time"},
        {"verify " + file + " --depth 0", 2, "bad depth"},
        {"verify " + file + " --lines many", 2, "bad number of lines"},
        {"verify " + file + " abc", 2, "bad game id"},
        {"verify " + file + " --colour red", 2, "unknown option"},
        {"verify " + book.folder.file("none.brl"), 1, "no such workbook"},
        {"verify " + file + " 7 --engine " BRISOLT_STOCKFISH " --depth 1", 1,
         "7\terror\tno game with this identifier"},
        {"verify " + file + " --engine /nonexistent/engine", 1, "Cannot start the engine"},
    };
    for (const auto& c : cases) {
        CliRun result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.output;
        EXPECT_TRUE(Contains(result.output, c.message)) << c.arguments;
    }
}

} // namespace
