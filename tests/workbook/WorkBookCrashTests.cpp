// A workbook survives a program killed in the middle of saving games and recording results:
// every game is wholly old or wholly new, and no acknowledged result is lost.
#include "KilledChild.h"
#include "SampleGames.h"
#include "TempFolder.h"
#include "workbook/CWorkBook.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

namespace {

TEST(WorkBookCrash, KilledWritersLeaveWholeGamesAndEveryAcknowledgedResult) {
    TempFolder folder(MemoryFolder());
    const std::string path = folder.file("crash.brl");
    const auto a = Book({"e4 e5 Nf3 Nc6 Bb5", "d4 d5"}).tree;
    const auto b = Book({"d4 d5 c4 e6 Nc3 Nf6 Bg5"}).tree;
    std::vector<int32_t> ids;
    {
        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        for (int i = 0; i < 6; ++i)
            ids.push_back(workbook.lngSaveGame(a, 0, "A", "", ""));
    }
    std::map<int32_t, int> acknowledged;
    std::mt19937 random(12345);
    for (int round = 1; round <= 20; ++round) {
        // Saves the games over and over, alternating versions, and records a success after each
        // save; every result is acknowledged once the call has returned.
        const KilledChild writer = RunAndKill(
            [&](int pipe) {
                CWorkBook workbook;
                workbook.strOpenWorkBook(path);
                Tell(pipe, 0);
                for (int turn = round;; ++turn) {
                    for (int32_t id : ids) {
                        const bool useA = (turn + id) % 2 == 0;
                        workbook.lngSaveGame(useA ? a : b, id, useA ? "A" : "B", "", "");
                        workbook.UpdateSuccess(id);
                        Tell(pipe, id);
                    }
                }
            },
            static_cast<useconds_t>(std::uniform_int_distribution<int>(1000, 40000)(random)));
        ASSERT_TRUE(writer.killed) << "the writer stopped by itself";
        for (int32_t id : writer.toldAfterStart)
            ++acknowledged[id];

        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        int64_t hits = 0, acked = 0;
        for (int32_t game : ids) {
            std::string description, page, diagram;
            auto tree = workbook.objLoadGame(game, description, page, diagram);
            ASSERT_NE(tree, nullptr) << "game " << game << " lost its nodes";
            EXPECT_TRUE((description == "A" && tree->isEqual(a)) ||
                        (description == "B" && tree->isEqual(b)))
                << "game " << game << " is half old, half new (round " << round << ")";
            const int32_t gameHits = workbook.objGetGameRow(game)->lngHits;
            EXPECT_GE(gameHits, acknowledged[game]) << "a recorded result was lost";
            hits += gameHits;
            acked += acknowledged[game];
        }
        // At most the one result in flight per killed writer is recorded but not acknowledged.
        EXPECT_LE(hits - acked, round);
    }
    EXPECT_FALSE(acknowledged.empty()) << "the writers never got to record anything";
}

} // namespace
