// An import killed at any moment leaves whole games only: each batch is committed or not at all.
#include "game/CGameTree.h"
#include "pgn/PgnImport.h"
#include "tests/workbook/KilledChild.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"

#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace {

TEST(PgnImportCrash, AKilledImportKeepsWholeBatchesOfWholeGames) {
    TempFolder folder(MemoryFolder());
    std::string pgn;
    for (int i = 0; i < 5000; ++i)
        pgn += "[Event \"G" + std::to_string(i) + "\"]\n\n1. e4 e5 2. Nf3 (2. Bc4 Nf6) Nc6 *\n\n";
    constexpr int kBatch = 7;
    std::mt19937 random(4);
    size_t sawGames = 0;
    for (int round = 0; round < 8; ++round) {
        const std::string path = folder.file("import-" + std::to_string(round) + ".brl");
        CWorkBook().strOpenWorkBook(path);
        const KilledChild import = RunAndKill(
            [&](int pipe) {
                CWorkBook workbook;
                workbook.strOpenWorkBook(path);
                std::istringstream input(pgn);
                PgnImportOptions options;
                options.intBatchSize = kBatch;
                options.progress = [&, told = false](int, int imported, int) mutable {
                    if (!told && imported >= kBatch) Tell(pipe, 0);
                    told = told || imported >= kBatch;
                };
                ImportPgn(workbook, input, options);
            },
            static_cast<useconds_t>(std::uniform_int_distribution<int>(0, 30000)(random)));
        ASSERT_TRUE(import.killed) << "the import ended by itself";

        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        const auto ids = workbook.arrlngGetGameIDs();
        EXPECT_EQ(ids.size() % kBatch, 0u) << "a batch was cut";
        for (int32_t id : ids) {
            std::string d, p, g;
            auto tree = workbook.objLoadGame(id, d, p, g);
            ASSERT_NE(tree, nullptr);
            EXPECT_EQ(tree->Count(), 7) << "game " << id << " is incomplete";
            EXPECT_EQ(d, "G" + std::to_string(id - 1));
        }
        sawGames += ids.size();
    }
    EXPECT_GT(sawGames, 0u);
}

} // namespace
