// An import killed at any moment leaves whole games only: each batch is committed or not at all.
#include "game/CGameTree.h"
#include "pgn/PgnImport.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"

#include <gtest/gtest.h>
#include <random>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(PgnImportCrash, AKilledImportKeepsWholeBatchesOfWholeGames) {
    TempFolder folder(MemoryFolder());
    std::string pgn;
    for (int i = 0; i < 5000; ++i)
        pgn += "[Event \"G" + std::to_string(i) + "\"]\n\n1. e4 e5 2. Nf3 (2. Bc4 Nf6) Nc6 *\n\n";
    constexpr int kBatch = 7;
    std::mt19937 random(4);
    int sawGames = 0;
    for (int round = 0; round < 8; ++round) {
        const std::string path = folder.file("import-" + std::to_string(round) + ".brl");
        {
            CWorkBook workbook;
            workbook.strOpenWorkBook(path);
        }
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            try {
                CWorkBook workbook;
                workbook.strOpenWorkBook(path);
                std::istringstream input(pgn);
                PgnImportOptions options;
                options.intBatchSize = kBatch;
                bool told = false;
                options.progress = [&](int, int imported, int) {
                    if (!told && imported >= kBatch) {
                        told = true;
                        if (write(fds[1], "x", 1) != 1) _exit(3);
                    }
                };
                ImportPgn(workbook, input, options);
            } catch (...) {
                _exit(2);
            }
            _exit(0);
        }
        close(fds[1]);
        char started = 0;
        ASSERT_EQ(read(fds[0], &started, 1), 1);
        close(fds[0]);
        usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(0, 30000)(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        auto ids = workbook.arrlngGetGameIDs();
        ASSERT_TRUE(WIFSIGNALED(status)) << "the import ended by itself: " << status;
        EXPECT_EQ(ids.size() % kBatch, 0u) << "a batch was cut";
        for (int32_t id : ids) {
            std::string d, p, g;
            auto tree = workbook.objLoadGame(id, d, p, g);
            ASSERT_NE(tree, nullptr);
            EXPECT_EQ(tree->Count(), 7) << "game " << id << " is incomplete";
            EXPECT_EQ(d, "G" + std::to_string(id - 1));
        }
        sawGames += static_cast<int>(ids.size());
    }
    EXPECT_GT(sawGames, 0);
}

} // namespace
