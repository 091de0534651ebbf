// The sample workbook's explained tries: a fresh workbook's first batch meets at least five
// exercises with a try marked as a mistake, refuted by a stored reply, with words on both; the
// engine agrees that every try is worse than the solution and no solution is marked wrong.
#include "VerifyTestSupport.h"
#include "game/CGameNode.h"
#include "verify/CSolutionVerifier.h"
#include "verify/WorkbookVerify.h"
#include "workbook/GameAnnotations.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

namespace {

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

TEST(SampleTries, FirstBatchHasFiveExplainedTriesTheEngineRefutes) {
    std::ifstream file(BRISOLT_SAMPLE_PGN, std::ios::binary);
    ASSERT_TRUE(file) << BRISOLT_SAMPLE_PGN;
    const std::string pgn((std::istreambuf_iterator<char>(file)), {});
    ExerciseBook book(pgn);
    ASSERT_EQ(book.result.intSkipped, 0);

    std::vector<int32_t> explained;
    for (int32_t id : book.workbook.arrlngGetGameIDsForTraining(10)) {
        std::string description, page, diagram;
        const auto tree = book.workbook.objLoadGame(id, description, page, diagram);
        ASSERT_NE(tree, nullptr) << "game " << id;
        if (hasExplainedTry(*tree, book.workbook.objLoadAnnotations(id))) explained.push_back(id);
    }
    EXPECT_GE(explained.size(), 5u);

    VerifyOptions options;
    options.limit.intDepth = 10;
    options.limit.intMoveTimeMs = 0;
    CEngineAnalyser analyser(BRISOLT_STOCKFISH);
    CSolutionVerifier verifier(analyser, options);
    for (const GameVerification& result : arrVerifyGames(book.workbook, verifier, explained)) {
        EXPECT_TRUE(result.strError.empty()) << result.lngGameID << ": " << result.strError;
        EXPECT_EQ(strVerdictName(result.objReport.verdict), "ok")
            << "game " << result.lngGameID << ": " << result.objReport.strDetails;
    }
}

} // namespace
