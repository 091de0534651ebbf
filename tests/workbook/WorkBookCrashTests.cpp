// A workbook survives a program killed in the middle of saving games and recording results:
// every game is wholly old or wholly new, and no acknowledged result is lost.
#include "SampleGames.h"
#include "TempFolder.h"
#include "workbook/CWorkBook.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::shared_ptr<CGameTree> Version(char which) {
    SampleGame game;
    if (which == 'A') {
        game.line({"e4", "e5", "Nf3", "Nc6", "Bb5"}).line({"d4", "d5"});
    } else {
        game.line({"d4", "d5", "c4", "e6", "Nc3", "Nf6", "Bg5"});
    }
    return game.tree();
}

// Saves the games over and over, alternating versions, and records a success after each save;
// every result is acknowledged on the pipe once the call has returned.
[[noreturn]] void Writer(const std::string& path, const std::vector<int32_t>& ids, int pipeOut,
                         unsigned seed) {
    try {
        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        auto a = Version('A');
        auto b = Version('B');
        const int32_t ready = 0;
        if (write(pipeOut, &ready, sizeof ready) != sizeof ready) _exit(3);
        for (unsigned round = seed;; ++round) {
            for (int32_t id : ids) {
                bool useA = (round + static_cast<unsigned>(id)) % 2 == 0;
                workbook.lngSaveGame(useA ? a : b, id, useA ? "A" : "B", "", "");
                workbook.UpdateSuccess(id);
                if (write(pipeOut, &id, sizeof id) != sizeof id) _exit(3);
            }
        }
    } catch (...) {
        _exit(2);
    }
}

TEST(WorkBookCrash, KilledWritersLeaveWholeGamesAndEveryAcknowledgedResult) {
    TempFolder folder(MemoryFolder());
    const std::string path = folder.file("crash.brl");
    std::vector<int32_t> ids;
    {
        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        auto a = Version('A');
        for (int i = 0; i < 6; ++i)
            ids.push_back(workbook.lngSaveGame(a, 0, "A", "", ""));
    }
    const auto a = Version('A');
    const auto b = Version('B');
    std::map<int32_t, int> acknowledged;
    int killed = 0;
    std::mt19937 random(12345);
    const int rounds = 20;
    for (int round = 0; round < rounds; ++round) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            Writer(path, ids, fds[1], static_cast<unsigned>(round));
        }
        close(fds[1]);
        int32_t id = -1;
        ASSERT_EQ(read(fds[0], &id, sizeof id), static_cast<ssize_t>(sizeof id));
        ASSERT_EQ(id, 0) << "the writer did not start";
        usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(1000, 40000)(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << status;
        ++killed;
        while (read(fds[0], &id, sizeof id) == sizeof id)
            ++acknowledged[id];
        close(fds[0]);

        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        int64_t hits = 0;
        int64_t acked = 0;
        for (int32_t game : ids) {
            std::string description, page, diagram;
            auto tree = workbook.objLoadGame(game, description, page, diagram);
            ASSERT_NE(tree, nullptr) << "game " << game << " lost its nodes";
            const bool whole = (description == "A" && tree->isEqual(a)) ||
                               (description == "B" && tree->isEqual(b));
            EXPECT_TRUE(whole) << "game " << game << " is half old, half new (round " << round
                               << ")";
            int32_t gameHits = workbook.objGetGameRow(game)->lngHits;
            EXPECT_GE(gameHits, acknowledged[game]) << "a recorded result was lost";
            hits += gameHits;
            acked += acknowledged[game];
        }
        // At most the one result in flight per killed writer is recorded but not acknowledged.
        EXPECT_LE(hits - acked, killed);
    }
    int64_t total = 0;
    for (const auto& entry : acknowledged)
        total += entry.second;
    EXPECT_GT(total, 0) << "the writers never got to record anything";
}

} // namespace
