// The bundled sample workbook as built from resources/sample/sample.pgn: enough described
// exercises, and every solution's first move one the engine agrees with.
#include "game/CGameTree.h"
#include "tests/cli/WorkbookCli.h"
#include "workbook/CWorkBook.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

namespace {

const std::string sample = BRISOLT_SAMPLE_WORKBOOK;

// The verdict per game id from "brisolt-cli verify" lines: id, verdict, details.
std::map<std::string, std::string> Verdicts(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"verify", sample});
    std::map<std::string, std::string> verdicts;
    std::istringstream lines(Cli(arguments).out);
    std::string line;
    while (std::getline(lines, line)) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos) continue;
        verdicts[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return verdicts;
}

TEST(SampleWorkbook, HoldsDescribedExercisesWithSolutions) {
    ASSERT_TRUE(std::filesystem::exists(sample)) << sample;
    CWorkBook workbook;
    workbook.strOpenWorkBook(sample);
    const auto ids = workbook.arrlngGetGameIDs();
    EXPECT_GE(ids.size(), 30u);
    for (int32_t id : ids) {
        std::string description, page, diagram;
        auto tree = workbook.objLoadGame(id, description, page, diagram);
        ASSERT_NE(tree, nullptr) << "game " << id;
        EXPECT_FALSE(description.empty() || page.empty() || diagram.empty()) << "game " << id;
        EXPECT_GE(tree->Count(), 2) << "game " << id << " has no solution";
    }
}

TEST(SampleWorkbook, EverySolutionStartsWithAMoveTheEngineAgreesWith) {
    if (!std::filesystem::exists("/usr/games/stockfish") &&
        std::system("command -v stockfish > /dev/null") != 0)
        GTEST_SKIP() << "Stockfish is not installed";
    ASSERT_TRUE(std::filesystem::exists(sample)) << sample;
    // A quick look at every game; deep combinations get a second look to a fixed depth, which
    // the load of the machine cannot cut short.
    const auto verdicts = Verdicts({"--time", "0.3"});
    CWorkBook workbook;
    workbook.strOpenWorkBook(sample);
    ASSERT_EQ(verdicts.size(), workbook.arrlngGetGameIDs().size()) << "a game got no verdict";
    for (const auto& [id, verdict] : verdicts) {
        if (verdict.rfind("refuted", 0) != 0) continue;
        const auto again = Verdicts({id, "--depth", "16"});
        ASSERT_EQ(again.count(id), 1u) << "game " << id;
        EXPECT_NE(again.at(id).rfind("refuted", 0), 0u) << "game " << id << ": " << again.at(id);
    }
}

} // namespace
