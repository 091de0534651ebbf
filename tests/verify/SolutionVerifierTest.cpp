// Verification of stored solutions with the real Stockfish on exercises whose faults are known,
// the sample workbook's explained tries, and brisolt-cli verify through the real program.
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "pgn/PgnImport.h"
#include "tests/cli/WorkbookCli.h"
#include "tests/model/Checks.h"
#include "tests/workbook/SampleGames.h"
#include "tests/workbook/TempFolder.h"
#include "verify/CSolutionVerifier.h"
#include "verify/WorkbookVerify.h"
#include "workbook/CWorkBook.h"
#include "workbook/GameAnnotations.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <tuple>

namespace {

// A PGN game starting from the FEN with the moves given.
std::string PgnGame(const std::string& fen, const std::string& moves) {
    return "[Event \"exercise\"]\n[SetUp \"1\"]\n[FEN \"" + fen + "\"]\n\n" + moves + " *\n\n";
}

// A workbook file in a temporary folder holding the PGN games, read back as trees.
class ExerciseBook {
public:
    explicit ExerciseBook(const std::string& pgn) {
        workbook.strOpenWorkBook(folder.file("book.brl"));
        std::istringstream input(pgn);
        result = ImportPgn(workbook, input);
    }
    // The tree of the n-th imported game (0-based).
    std::shared_ptr<CGameTree> objTree(size_t n) {
        return LoadTree(workbook, result.arrlngGameIDs.at(n));
    }

    TempFolder folder;
    CWorkBook workbook;
    PgnImportResult result;
};

const char* const kRooks = "6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1";
const char* const kRook = "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1";
const char* const kScholar = "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4";

VerifyOptions Depth(int depth) {
    return {.limit = {.intMoveTimeMs = 0, .intDepth = depth}};
}

// Mates in one or two and a queen left hanging: the truth does not depend on search depth. The
// workbook's games are verified in their order with their marks, each reported as it is done,
// and none once cancelled.
TEST(SolutionVerifier, ReportsTheKnownVerdictOfEachExercise) {
    // FEN, moves, verdict, a piece of the report that names the move and the evaluation
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {kRook, "1. Ra8#", "ok", "stored Ra8# #1 is the engine's best"},
        {"7k/8/5K2/8/8/8/8/6R1 w - - 0 1", "1. Kf7 Kh7 2. Rh1#", "ok", "stored Kf7 #2"},
        {kRooks, "1. Ra8#", "second-solution", "second solution Rb8# #1"},
        {"k7/2K5/8/8/8/8/8/1Q6 w - - 0 1", "1. Qb2 Ka7 2. Qb7#", "shorter-mate",
         "shorter mate Qb7# #1 (stored Qb2 #2)"},
        {"k7/2K5/8/8/8/8/8/1Q6 w - - 0 1", "1. Qb2 (1. Qb7#)", "shorter-mate",
         "shorter mate Qa1# #1 (stored Qb2 #2)"},
        {"7k/p7/5K2/8/8/8/8/6R1 w - - 0 1", "1. Kf7 Kh7 2. Rh1#", "missing-defence",
         "missing defence a6 #1 after Kf7 (stored Kh7 #1)"},
        {kScholar, "4. Qxe5+ Nxe5", "refuted", "best Qxf7# #1"},
        {"k7/2K5/8/8/8/8/7r/1Q6 b - - 0 1", "1... Rh3", "refuted", "stored Rh3 #-1 is refuted"},
        {"r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1", "1... Ra1#", "ok", "stored Ra1# #1"},
        {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "", "refuted", "the side to move has no legal move"},
        {kRooks, "1. Ra8# (1. Rb8#?)", "marked-wrong-but-good",
         "marked Rb8#? #1 is as good as the solution Ra8# #1"},
        {kRooks, "1. Ra8# (1. Rb8#\?\?)", "marked-wrong-but-good", "marked Rb8#\?\? #1"},
        {kRooks, "1. Ra8# (1. Rb8#?!)", "ok", "stored Ra8# #1 is"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "1. a3 (1. e4?)",
         "marked-wrong-but-good", "marked e4? +"},
        {kScholar, "4. Qxf7# (4. Nf3? g6 {not the strongest reply})", "ok",
         "stored Qxf7# #1 is the engine's best"},
        {kRook, "1. Ra8#?", "contradiction", "the stored solution Ra8# is marked ?"},
        {kScholar, "4. Nf3?? (4. Qxf7#) 4... Nxh5", "contradiction",
         "the stored solution Nf3 is marked ??"},
        {"6k1/2p2ppp/8/8/8/8/8/RR3K2 w - - 0 1", "1. Kf2 c6 2. Ra8# (2. Rb8#?)", "shorter-mate",
         "marked Rb8#? #1 is as good as the solution Ra8# #1 after c6"},
    };
    std::string pgn;
    for (const auto& [fen, moves, verdict, detail] : cases)
        pgn += PgnGame(fen, moves);
    ExerciseBook book(pgn);
    ASSERT_EQ(book.result.intImported, static_cast<int>(std::size(cases)));
    CEngineAnalyser analyser(BRISOLT_STOCKFISH);
    CSolutionVerifier verifier(analyser, Depth(8));
    std::vector<std::string> progress;
    const auto results = arrVerifyGames(
        book.workbook, verifier, {}, [&](int done, int total, const GameVerification& result) {
            progress.push_back(std::to_string(done) + "/" + std::to_string(total) + " " +
                               strVerificationLine(result));
        });
    ASSERT_EQ(results.size(), std::size(cases));
    ASSERT_EQ(progress.size(), std::size(cases));
    for (size_t i = 0; i < results.size(); ++i) {
        const auto& [fen, moves, verdict, detail] = cases[i];
        const VerifyReport& report = results[i].objReport;
        SCOPED_TRACE(std::string(moves) + ": " + report.strDetails);
        EXPECT_EQ(progress[i], std::to_string(i + 1) + "/" + std::to_string(std::size(cases)) +
                                   " " + strVerificationLine(results[i]));
        EXPECT_EQ(strVerdictName(report.verdict), verdict);
        EXPECT_TRUE(Contains(report.strDetails, detail));
    }
    std::atomic<bool> cancel{true};
    EXPECT_TRUE(arrVerifyGames(book.workbook, verifier, {}, {}, &cancel).empty());
}

// Adding each found alternative as a variation makes the game sound; the added line is the one a
// trainee would play and ends on the trainee's move. Lines that cannot be played are refused.
TEST(SolutionVerifier, AddingTheFindingsMakesTheGameSound) {
    // FEN, moves, the line a finding must add
    const std::tuple<const char*, const char*, std::vector<std::string>> cases[] = {
        {kRooks, "1. Ra8#", {"Rb8#"}},
        {"7k/p7/5K2/8/8/8/8/6R1 w - - 0 1", "1. Kf7 Kh7 2. Rh1#", {"a6", "Rh1#"}},
    };
    CEngineAnalyser analyser(BRISOLT_STOCKFISH);
    CSolutionVerifier verifier(analyser, Depth(8));
    for (const auto& [fen, moves, firstLine] : cases) {
        ExerciseBook book(PgnGame(fen, moves));
        auto tree = book.objTree(0);
        VerifyReport report = verifier.objVerify(*tree);
        const int count = tree->Count();
        int added = 0; // the moves of every finding's line, each a new node
        bool sawLine = false;
        for (const VerifyFinding& finding : report.arrFindings) {
            sawLine = sawLine || finding.arrstrLine == firstLine;
            added += static_cast<int>(finding.arrstrLine.size());
            EXPECT_TRUE(isAddLine(*tree, finding.strNodeKey, finding.arrstrLine))
                << finding.strText;
        }
        EXPECT_TRUE(sawLine) << report.strDetails;
        // The changed tree survives the workbook and verifies clean.
        book.workbook.lngSaveGame(tree, book.result.arrlngGameIDs[0], "", "", "");
        report = verifier.objVerify(*book.objTree(0));
        EXPECT_EQ(strVerdictName(report.verdict), "ok") << report.strDetails;
        const std::string root = CGameNode::strINITIAL_KEY();
        EXPECT_FALSE(isAddLine(*tree, root, {"Ra7", "Qxh7"})); // Black has no queen
        EXPECT_FALSE(isAddLine(*tree, "no such node", {"Ra7"}));
        EXPECT_FALSE(isAddLine(*tree, root, {}));
        EXPECT_EQ(tree->Count(), count + added);
    }
}

// Engines that cannot serve raise the analyser's error with the reason; nothing hangs.
TEST(EngineAnalyserFaults, RaiseAClearError) {
    // engine, reason
    const std::tuple<std::string, const char*> cases[] = {
        {BRISOLT_VERIFY_FAKES "/silent.sh", "did not answer \"uci\""},
        {BRISOLT_VERIFY_FAKES "/dies-on-go.sh", "The engine gave no move"},
        {BRISOLT_VERIFY_FAKES "/../../engine/fakes/no-network.sh",
         "did not get ready (it ended with exit code 1: ERROR: the network file net.nnue"},
        {BRISOLT_VERIFY_FAKES "/no-lines.sh", "no evaluated line"},
        // A bare "bestmove" is no move, and does not make the position one without moves.
        {BRISOLT_VERIFY_FAKES "/../../engine/fakes/garbage.sh", "The engine gave no move"},
        // Nor does a null move where there are legal ones.
        {BRISOLT_VERIFY_FAKES "/../../engine/fakes/no-move.sh", "The engine gave no move"},
    };
    for (const auto& [path, reason] : cases) {
        CEngineAnalyser analyser(path);
        const std::string error = ErrorOf([&] { analyser.arrAnalyse(kRook, 3, {100, 0}); });
        EXPECT_EQ(error.rfind("CEngineAnalyser 9999: ", 0), 0u) << error;
        EXPECT_TRUE(Contains(error, reason));
    }
}

// Cancel ends a search the engine would not end: the game under way is not reported, and the
// cancel is no engine fault.
TEST(EngineAnalyserFaults, CancelEndsASearchTheEngineDoesNotEnd) {
    ExerciseBook book(PgnGame(kRook, "1. Ra8#"));
    std::atomic<bool> cancel{false};
    CEngineAnalyser analyser(BRISOLT_VERIFY_FAKES "/../../engine/fakes/hang.sh", &cancel);
    CSolutionVerifier verifier(analyser, Depth(8)); // a depth alone is waited for 70 s
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel = true;
    });
    EXPECT_TRUE(arrVerifyGames(book.workbook, verifier, {}, {}, &cancel).empty());
    canceller.join();
    EXPECT_THROW(analyser.arrAnalyse(kRook, 1, {100, 0}), AnalysisCancelled);
}

// True when the first move has a try marked "?" or "??", explained, and answered by a stored
// refutation that is explained too.
bool hasExplainedTry(const CGameTree& tree, const GameAnnotations& annotations) {
    for (const std::string& key : tree.Item(CGameNode::strINITIAL_KEY())->childrenKeys()) {
        const NodeAnnotation* tried = annotations.objNode(key);
        if (!tried || tried->strAfter.empty() ||
            std::none_of(tried->arrNags.begin(), tried->arrNags.end(),
                         [](int nag) { return nag == 2 || nag == 4; }))
            continue;
        for (const std::string& reply : tree.Item(key)->childrenKeys())
            if (const NodeAnnotation* refutation = annotations.objNode(reply))
                if (!refutation->strAfter.empty()) return true;
    }
    return false;
}

// The sample workbook: a fresh workbook's first batch meets at least five exercises with a try
// marked as a mistake, refuted by a stored reply, with words on both; the engine agrees that every
// try is worse than the solution and no solution is marked wrong.
TEST(SampleTries, FirstBatchHasFiveExplainedTriesTheEngineRefutes) {
    ExerciseBook book(FileBytes(BRISOLT_SAMPLE_PGN)); // a missing file meets no tries below
    ASSERT_EQ(book.result.intSkipped, 0);

    std::vector<int32_t> explained;
    for (int32_t id : book.workbook.arrlngGetGameIDsForTraining(10)) {
        const auto tree = LoadTree(book.workbook, id);
        ASSERT_NE(tree, nullptr) << "game " << id;
        if (hasExplainedTry(*tree, book.workbook.objLoadAnnotations(id))) explained.push_back(id);
    }
    EXPECT_GE(explained.size(), 5u);

    CEngineAnalyser analyser(BRISOLT_STOCKFISH);
    CSolutionVerifier verifier(analyser, Depth(10));
    for (const GameVerification& result : arrVerifyGames(book.workbook, verifier, explained)) {
        EXPECT_TRUE(result.strError.empty()) << result.lngGameID << ": " << result.strError;
        EXPECT_EQ(strVerdictName(result.objReport.verdict), "ok")
            << "game " << result.lngGameID << ": " << result.objReport.strDetails;
    }
}

// brisolt-cli verify through the real program.
TEST(VerifyCommand, PrintsOneLinePerGameAndRefusesBadInvocations) {
    ExerciseBook book(PgnGame(kRook, "1. Ra8#") + PgnGame(kRooks, "1. Ra8# (1. Rb8#?)"));
    const std::string file = book.folder.file("book.brl");
    const std::string engine = "--engine", stockfish = BRISOLT_STOCKFISH;
    const std::string second =
        "2\tmarked-wrong-but-good\tmarked Rb8#? #1 is as good as the solution Ra8# #1\n";
    RunSteps(
        {
            {{"verify", file, engine, stockfish, "--depth", "6"},
             0,
             "1\tok\tstored Ra8# #1 is the engine's best\n" + second,
             ""},
            {{"verify", file, "2", engine, stockfish, "--time", "0.25"}, 0, second, ""},
            {{"verify"}, 2, "", "missing FILE"},
            {{"verify", file, "--time"}, 2, "", "--time needs a value"},
            {{"verify", file, "--time", "-1"}, 2, "", "bad time"},
            {{"verify", file, "--depth", "0"}, 2, "", "bad depth"},
            {{"verify", file, "--lines", "many"}, 2, "", "bad number of lines"},
            {{"verify", file, "abc"}, 2, "", "bad game id"},
            {{"verify", file, "--colour", "red"}, 2, "", "unknown option"},
            {{"verify", book.folder.file("none.brl")}, 1, "", "no such workbook"},
            {{"verify", file, "7", engine, stockfish, "--depth", "1"},
             1,
             "7\terror\tno game with this identifier\n",
             ""},
            {{"verify", file, engine, "/nonexistent/engine"}, 1, "", "Cannot start the engine"},
        },
        book.folder.path().string());
}

} // namespace
