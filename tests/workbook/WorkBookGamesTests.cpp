// Games in a workbook: saving and loading trees, the training order, batches and write protection.
#include "RawDatabase.h"
#include "SampleGames.h"
#include "TempFolder.h"
#include "model/CError.h"
#include "tests/model/Checks.h"
#include "workbook/CWorkBook.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace {

class WorkBookGames : public ::testing::Test {
protected:
    void SetUp() override { workbook.strOpenWorkBook(path); }

    int32_t Save(const std::shared_ptr<CGameTree>& tree, const std::string& description = "d") {
        return workbook.lngSaveGame(tree, 0, description, "p", "g");
    }

    TempFolder folder;
    std::string path = folder.file("games.brl");
    CWorkBook workbook;
};

// Saving over a game replaces its nodes and texts and keeps its statistics; saving over a game that
// is not there writes nothing; deleting takes the row and the nodes.
TEST_F(WorkBookGames, SavingAgainSavingOverNothingLoadingNothingAndDeleting) {
    Book game({"e4 e5"});
    int32_t id = Save(game.tree);
    int32_t second = Save(game.tree);
    EXPECT_GT(id, 0);
    EXPECT_NE(second, id);
    workbook.UpdateSuccess(id);
    workbook.UpdateError(id);
    game.add("d4");
    EXPECT_EQ(workbook.lngSaveGame(game.tree, id, "new text", "np", "ng"), id);
    EXPECT_EQ(workbook.objGetGameRow(id)->strDescription, "new text");
    const WorkBookGameRow row = *workbook.objGetGameRow(id);
    EXPECT_EQ(
        std::vector<int32_t>({row.lngHits, row.lngSolve, row.lngErrorStreak, row.lngSolveStreak}),
        std::vector<int32_t>({2, 1, 1, 0}));
    EXPECT_EQ(ErrorOf([&] { workbook.lngSaveGame(game.tree, 999, "x", "", ""); }),
              "CWorkBook 9999: No game with the identifier 999");
    RawDatabase raw(path);
    const auto nodes = [&](int32_t gameId) {
        return raw.value("select count(*) from GameNode where GameTreeID=" +
                         std::to_string(gameId));
    };
    EXPECT_EQ(nodes(id) + "," + nodes(second) + "," + nodes(999), "4,3,0");
    // Loading a game without nodes or row gives nothing and fills the texts it has.
    std::string d = "keep", p = "these", g = "texts";
    EXPECT_EQ(workbook.objLoadGame(42, d, p, g), nullptr);
    EXPECT_EQ(d + p + g, "keepthesetexts");
    raw.exec("insert into GameTree values (7,'empty','pp','gg',0,0,0,0)");
    EXPECT_EQ(workbook.objLoadGame(7, d, p, g), nullptr);
    EXPECT_EQ(d + "|" + p + "|" + g, "empty|pp|gg");
    workbook.DeleteGame(id);
    // A game saved in a batch that is rolled back is gone with it.
    workbook.BeginBatch();
    Save(game.tree);
    workbook.RollbackBatch();
    EXPECT_EQ(workbook.arrlngGetGameIDs(), (std::vector<int32_t>{second, 7}));
    EXPECT_FALSE(workbook.objGetGameRow(id).has_value());
    EXPECT_EQ(raw.value("select count(*) from GameNode"), "3");
}

// Error streak first, then fewest solved, fewest hits, solve streak and identifier.
TEST_F(WorkBookGames, TheTrainingBatchFollowsThePriorityOrder) {
    RawDatabase raw(path);
    raw.exec("insert into GameTree values (1,'Y','','',3,0,0,0), (2,'X','','',2,0,2,0),"
             "(3,'Z','','',1,0,0,0), (4,'W','','',0,1,0,0), (5,'V','','',1,0,0,1)");
    EXPECT_EQ(workbook.arrlngGetGameIDsForTraining(10), (std::vector<int32_t>{2, 3, 5, 1, 4}));
    raw.exec("delete from GameTree");
    const Book game({"e4"});
    int32_t x = Save(game.tree), y = Save(game.tree), z = Save(game.tree);
    for (const auto& [id, results] : {std::pair{x, "ee"}, {y, "eseses"}, {z, "es"}})
        for (const char* r = results; *r; ++r)
            *r == 's' ? workbook.UpdateSuccess(id) : workbook.UpdateError(id);
    int32_t w = Save(game.tree); // untouched
    const std::tuple<int16_t, std::vector<int32_t>> cases[] = {
        {10, {x, w, z, y}}, {2, {x, w}}, {1, {x}}, {0, {}}, {-5, {}}};
    for (const auto& [count, ids] : cases)
        EXPECT_EQ(workbook.arrlngGetGameIDsForTraining(count), ids) << count;
    EXPECT_EQ(workbook.arrlngGetGameIDs(), (std::vector<int32_t>{x, y, z, w}));
    // The lists have no sixteen-bit limit.
    raw.exec("begin; with recursive n(i) as (select 5 union all select i+1 from n where i<40004) "
             "insert into GameTree select i,'g','','',0,0,0,0 from n; commit");
    const std::vector<int32_t> ids = workbook.arrlngGetGameIDs();
    ASSERT_EQ(ids.size(), 40004u);
    EXPECT_EQ(ids.back(), 40004);
    EXPECT_EQ(workbook.arrlngGetGameIDsForTraining(32767).size(), 32767u);
}

// Opening and training need no write access; recording a result then fails with a clear error.
// Root ignores file permissions, so the check runs in a child process as an unprivileged user.
TEST_F(WorkBookGames, AWriteProtectedWorkbookTrainsButCannotRecord) {
    const Book game({"e4"});
    int32_t id = Save(game.tree);
    workbook.CloseWorkBook();
    chmod(folder.path().c_str(), 0755);
    chmod(path.c_str(), 0444);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
        CWorkBook readOnly;
        try {
            readOnly.strOpenWorkBook(path);
        } catch (const CError&) {
            _exit(11);
        }
        if (!readOnly.isReadOnly()) _exit(12);
        if (readOnly.arrlngGetGameIDsForTraining(10) != std::vector<int32_t>{id}) _exit(13);
        std::string d, p, g;
        if (!readOnly.objLoadGame(id, d, p, g)) _exit(14);
        try {
            readOnly.UpdateSuccess(id);
            _exit(15);
        } catch (const CError& error) {
            if (std::string(error.what()).find("readonly") == std::string::npos) _exit(16);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    chmod(path.c_str(), 0644);
    workbook.strOpenWorkBook(path);
    EXPECT_EQ(workbook.objGetGameRow(id)->lngHits, 0);
}

} // namespace
