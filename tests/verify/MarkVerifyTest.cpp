// Move marks checked with the real Stockfish: tries marked as mistakes are no solutions, a good
// move marked wrong and a solution marked wrong are both reported, in the verifier and the CLI.
#include "VerifyTestSupport.h"
#include "verify/CSolutionVerifier.h"
#include "verify/WorkbookVerify.h"
#include "workbook/GameAnnotations.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

struct MarkCase {
    const char* name;
    const char* fen;
    const char* moves;
    VerifyVerdict verdict; // the report's verdict
    const char* detail;    // a piece of its details
};

// Mates in one or two and a queen left hanging: the truth does not depend on search depth.
const MarkCase kCases[] = {
    {"mate in one marked ?", "6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1", "1. Ra8# (1. Rb8#?)",
     VerifyVerdict::MarkedWrongButGood, "marked Rb8#? #1 is as good as the solution Ra8# #1"},
    {"mate in one marked ??", "6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1",
     "1. Ra8# (1. Rb8#?"
     "?)",
     VerifyVerdict::MarkedWrongButGood, "marked Rb8#?? #1"},
    {"dubious is no claim of a mistake", "6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1",
     "1. Ra8# (1. Rb8#?!)", VerifyVerdict::Ok, "stored Ra8# #1 is the engine's best"},
    {"refuted try is no refuted solution",
     "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4",
     "4. Qxf7# (4. Nf3? g6 {not the strongest reply})", VerifyVerdict::Ok,
     "stored Qxf7# #1 is the engine's best"},
    {"solution marked ?", "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "1. Ra8#?",
     VerifyVerdict::Contradiction, "the stored solution Ra8# is marked ?"},
    {"main line marked ?? beside the solution",
     "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4",
     "4. Nf3?? (4. Qxf7#) 4... Nxh5", VerifyVerdict::Contradiction,
     "the stored solution Nf3 is marked ??"},
    {"second move marked ?", "7k/8/5K2/8/8/8/8/6R1 w - - 0 1", "1. Kf7 Kh7 2. Rh1#?",
     VerifyVerdict::Contradiction, "the stored solution Rh1# is marked ?"},
    {"second move: good try marked ?", "6k1/2p2ppp/8/8/8/8/8/RR3K2 w - - 0 1",
     "1. Kf2 c6 2. Ra8# (2. Rb8#?)", VerifyVerdict::ShorterMate,
     "marked Rb8#? #1 is as good as the solution Ra8# #1 after c6"},
};

VerifyOptions shallow() {
    VerifyOptions options;
    options.limit.intDepth = 6;
    options.limit.intMoveTimeMs = 0;
    return options;
}

class MarkVerifyTest : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MarkVerifyTest, ReportsTheMarkFinding) {
    const MarkCase& c = GetParam();
    ExerciseBook book(PgnGame(c.fen, c.moves));
    ASSERT_EQ(book.result.intImported, 1) << c.name;
    CEngineAnalyser analyser(BRISOLT_STOCKFISH);
    CSolutionVerifier verifier(analyser, shallow());
    const auto results = arrVerifyGames(book.workbook, verifier, {});
    ASSERT_EQ(results.size(), 1u);
    const VerifyReport& report = results.front().objReport;
    EXPECT_EQ(strVerdictName(report.verdict), strVerdictName(c.verdict))
        << c.name << ": " << report.strDetails;
    EXPECT_NE(report.strDetails.find(c.detail), std::string::npos)
        << c.name << ": " << report.strDetails;
    // Tries are judged as tries, never as refuted solutions.
    for (const VerifyFinding& finding : report.arrFindings)
        EXPECT_NE(finding.verdict, VerifyVerdict::Refuted) << c.name << ": " << finding.strText;
}

INSTANTIATE_TEST_SUITE_P(Marks, MarkVerifyTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<MarkCase>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

// Without the annotations the same tree is judged as before: the try is a refuted solution.
TEST(MarkVerify, MarksAreOnlyReadFromTheAnnotations) {
    ExerciseBook book(PgnGame("r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4",
                              "4. Qxf7# (4. Nf3? Nxh5)"));
    CEngineAnalyser analyser(BRISOLT_STOCKFISH);
    CSolutionVerifier verifier(analyser, shallow());
    EXPECT_EQ(verifier.objVerify(*book.objTree(0)).verdict, VerifyVerdict::Refuted);
    const auto annotations = book.workbook.objLoadAnnotations(book.result.arrlngGameIDs.at(0));
    EXPECT_EQ(verifier.objVerify(*book.objTree(0), annotations).verdict, VerifyVerdict::Ok);
}

TEST(MarkVerify, CommandPrintsTheMarkVerdicts) {
    ExerciseBook book(PgnGame("6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1", "1. Ra8# (1. Rb8#?)") +
                      PgnGame("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "1. Ra8#??"));
    const std::string command = std::string(BRISOLT_CLI) + " verify " + book.strFile() +
                                " --engine " BRISOLT_STOCKFISH " --depth 6 2>&1";
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << output;
    EXPECT_EQ(output.rfind("1\tmarked-wrong-but-good\tmarked Rb8#? #1", 0), 0u) << output;
    EXPECT_NE(output.find("\n2\tcontradiction\tthe stored solution Ra8# is marked ??"),
              std::string::npos)
        << output;
}

} // namespace
