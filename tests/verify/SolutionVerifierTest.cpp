// Verification of stored solutions with the real Stockfish on exercises whose faults are known.
#include "VerifyTestSupport.h"
#include "game/CGameNode.h"
#include "model/CError.h"
#include "tests/model/Checks.h"
#include "verify/CSolutionVerifier.h"
#include "verify/WorkbookVerify.h"

#include <cctype>
#include <gtest/gtest.h>
#include <ostream>

namespace {

struct Exercise {
    const char* name;
    const char* fen;
    const char* moves;
    VerifyVerdict verdict;
    const char* detail; // a piece of the report that names the move and the evaluation
};

// Positions chosen so that the truth does not depend on search time: mates in one or two.
const Exercise kExercises[] = {
    {"back rank mate", "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "1. Ra8#", VerifyVerdict::Ok,
     "stored Ra8# #1 is the engine's best"},
    {"rook and king mate in two", "7k/8/5K2/8/8/8/8/6R1 w - - 0 1", "1. Kf7 Kh7 2. Rh1#",
     VerifyVerdict::Ok, "stored Kf7 #2"},
    {"two rooks, two mates", "6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1", "1. Ra8#",
     VerifyVerdict::SecondSolution, "second solution Rb8# #1"},
    {"mate in two where one suffices", "k7/2K5/8/8/8/8/8/1Q6 w - - 0 1", "1. Qb2 Ka7 2. Qb7#",
     VerifyVerdict::ShorterMate, "shorter mate Qb7# #1 (stored Qb2 #2)"},
    {"pawn moves defend as long", "7k/p7/5K2/8/8/8/8/6R1 w - - 0 1", "1. Kf7 Kh7 2. Rh1#",
     VerifyVerdict::MissingDefence, "missing defence a6 #1 after Kf7 (stored Kh7 #1)"},
    {"queen thrown away", "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4",
     "4. Qxe5+ Nxe5", VerifyVerdict::Refuted, "best Qxf7# #1"},
    {"black to move mates", "r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1", "1... Ra1#", VerifyVerdict::Ok,
     "stored Ra1# #1"},
};

VerifyOptions quickOptions() {
    VerifyOptions options;
    options.limit.intMoveTimeMs = 250;
    return options;
}

class SolutionVerifierTest : public ::testing::TestWithParam<Exercise> {};

TEST_P(SolutionVerifierTest, ReportsTheKnownVerdict) {
    const Exercise& exercise = GetParam();
    ExerciseBook book(PgnGame(exercise.fen, exercise.moves));
    ASSERT_EQ(book.result.intImported, 1) << exercise.name;
    CEngineAnalyser analyser(BRISOLT_STOCKFISH);
    CSolutionVerifier verifier(analyser, quickOptions());
    const VerifyReport report = verifier.objVerify(*book.objTree(0));
    EXPECT_EQ(strVerdictName(report.verdict), strVerdictName(exercise.verdict))
        << exercise.name << ": " << report.strDetails;
    EXPECT_TRUE(Contains(report.strDetails, exercise.detail)) << exercise.name;
}

void PrintTo(const Exercise& exercise, std::ostream* out) {
    *out << exercise.name;
}

INSTANTIATE_TEST_SUITE_P(KnownExercises, SolutionVerifierTest, ::testing::ValuesIn(kExercises),
                         [](const ::testing::TestParamInfo<Exercise>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

// Adding each found alternative as a variation makes the game sound; the added line is the one a
// trainee would play and ends on the trainee's move.
TEST(SolutionVerifierAddLine, AddingTheFindingsMakesTheGameSound) {
    const struct {
        const char* fen;
        const char* moves;
        std::vector<std::string> firstLine;
    } cases[] = {
        {"6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1", "1. Ra8#", {"Rb8#"}},
        {"7k/p7/5K2/8/8/8/8/6R1 w - - 0 1", "1. Kf7 Kh7 2. Rh1#", {"a6", "Rh1#"}},
    };
    for (const auto& c : cases) {
        ExerciseBook book(PgnGame(c.fen, c.moves));
        auto tree = book.objTree(0);
        CEngineAnalyser analyser(BRISOLT_STOCKFISH);
        CSolutionVerifier verifier(analyser, quickOptions());
        VerifyReport report = verifier.objVerify(*tree);
        ASSERT_FALSE(report.arrFindings.empty()) << c.fen;
        bool sawLine = false;
        for (const VerifyFinding& finding : report.arrFindings) {
            sawLine = sawLine || finding.arrstrLine == c.firstLine;
            EXPECT_TRUE(isAddLine(*tree, finding.strNodeKey, finding.arrstrLine))
                << finding.strText;
        }
        EXPECT_TRUE(sawLine) << report.strDetails;
        // The changed tree survives the workbook and verifies clean.
        book.workbook.lngSaveGame(tree, book.result.arrlngGameIDs[0], "", "", "");
        report = verifier.objVerify(*book.objTree(0));
        EXPECT_EQ(strVerdictName(report.verdict), "ok") << report.strDetails;
    }
}

TEST(SolutionVerifierAddLine, RefusesLinesThatCannotBePlayed) {
    ExerciseBook book(PgnGame("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "1. Ra8#"));
    auto tree = book.objTree(0);
    const int before = tree->Count();
    const std::string root = CGameNode::strINITIAL_KEY();
    EXPECT_FALSE(isAddLine(*tree, root, {"Ra7", "Qxh7"})); // second move has no queen
    EXPECT_FALSE(isAddLine(*tree, root, {"Kf2", "Ke4"}));  // a king cannot jump
    EXPECT_FALSE(isAddLine(*tree, "no such node", {"Ra7"}));
    EXPECT_FALSE(isAddLine(*tree, root, {}));
    EXPECT_EQ(tree->Count(), before);
    EXPECT_TRUE(isAddLine(*tree, root, {"Ra7", "h6"}));
    EXPECT_EQ(tree->Count(), before + 2);
}

TEST(WorkbookVerify, ReportsEveryGameAndUnknownIdentifiers) {
    ExerciseBook book(PgnGame("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "1. Ra8#") +
                      PgnGame("6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1", "1. Ra8#"));
    CEngineAnalyser analyser(BRISOLT_STOCKFISH);
    CSolutionVerifier verifier(analyser, quickOptions());
    std::vector<std::string> seen;
    const auto results = arrVerifyGames(
        book.workbook, verifier, {}, [&](int done, int total, const GameVerification& result) {
            seen.push_back(std::to_string(done) + "/" + std::to_string(total) + " " +
                           strVerificationLine(result).substr(0, 20));
        });
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(strVerificationLine(results[0]).substr(0, 5), "1\tok\t");
    EXPECT_EQ(strVerificationLine(results[1]).substr(0, 18), "2\tsecond-solution\t");
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].substr(0, 4), "2/2 ");

    const auto missing = arrVerifyGames(book.workbook, verifier, {99});
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(strVerificationLine(missing[0]), "99\terror\tno game with this identifier");

    std::atomic<bool> cancel{true};
    EXPECT_TRUE(arrVerifyGames(book.workbook, verifier, {}, {}, &cancel).empty());
}

// Engines that cannot serve raise the analyser's error with the reason; nothing hangs.
TEST(EngineAnalyserFaults, RaiseAClearError) {
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {"/nonexistent/engine", "Cannot start the engine"},
        {BRISOLT_VERIFY_FAKES "/silent.sh", "did not answer \"uci\""},
        {BRISOLT_VERIFY_FAKES "/dies-on-go.sh", "The engine gave no move"},
    };
    for (const auto& c : cases) {
        CEngineAnalyser analyser(c.path);
        try {
            analyser.arrAnalyse("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 3, {100, 0});
            ADD_FAILURE() << c.path << " raised nothing";
        } catch (const CError& error) {
            EXPECT_EQ(error.strSource, "CEngineAnalyser");
            EXPECT_TRUE(Contains(std::string(error.what()), c.reason)) << c.path;
        }
    }
}

} // namespace
