// Games in a workbook: saving and loading trees (each node in a row of its own), the training
// order, batches, write protection, and writers killed part way through.
#include "KilledChild.h"
#include "RawDatabase.h"
#include "SampleGames.h"
#include "TempFolder.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "tests/model/Checks.h"
#include "workbook/CWorkBook.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace {

// A game of the given number of moves: the knights go out and back again.
std::shared_ptr<CGameTree> KnightsGame(int moves) {
    static const char* const cycle[] = {"Nf3", "Nf6", "Ng1", "Ng8"};
    std::string line;
    for (int i = 0; i < moves; ++i)
        line += std::string(cycle[i % 4]) + " ";
    return Book({line}).tree;
}

// The stored rows of a game in the order they were written.
std::vector<std::vector<std::string>> StoredRows(RawDatabase& raw, int64_t id) {
    return raw.rows("select NodeKey, NodeParentKey, WhiteToMove, Diagram, MoveText, MoveNumber, "
                    "EnPassantFile, WhiteOO, WhiteOOO, BlackOO, BlackOOO from GameNode where "
                    "GameTreeID = " +
                    std::to_string(id) + " order by ID");
}

// The rows the tree's nodes must give, in tree order.
std::vector<std::vector<std::string>> ExpectedRows(const CGameTree& tree) {
    std::vector<std::vector<std::string>> rows;
    for (int n = 1; n <= tree.Count(); ++n) {
        const auto& node = tree.Item(n);
        const CPosition& p = *node->objPosition();
        auto flag = [](bool kept) { return std::string(kept ? "1" : "0"); };
        rows.push_back({node->strKey(), node->strParentKey(), flag(p.isWhiteToMove()),
                        p.objDiagram()->strToString(), p.strMoveText(),
                        std::to_string(p.intMoveNumber()), std::to_string(p.intEnPassantFile()),
                        flag(!p.isKCastleForfeited(0)), flag(!p.isQCastleForfeited(0)),
                        flag(!p.isKCastleForfeited(1)), flag(!p.isQCastleForfeited(1))});
    }
    return rows;
}

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

// A game's rows go in several to a statement: whatever the number of nodes, each row holds its own
// node's values in tree order.
TEST_F(WorkBookGames, EveryRowHoldsItsOwnNodeWhateverTheNumberOfNodes) {
    RawDatabase raw(path);
    // Around one and two statements' worth of rows, and a single row; a set-up position with
    // castling rights and an en-passant file, whose lines hold castling, an en-passant capture and
    // a promotion; double steps on the edge files; a mate.
    std::vector<std::shared_ptr<CGameTree>> trees;
    for (int moves : {0, 14, 15, 16, 31, 32, 40})
        trees.push_back(KnightsGame(moves));
    trees.push_back(Book({"exd6 O-O bxa8=Q Rxa8 O-O", "O-O Kd7", "Rxa8+ Kd7 Rxh8"},
                         "r3k2r/1P4pp/8/3pP3/8/8/6PP/R3K2R w KQkq d6 0 20")
                        .tree);
    trees.push_back(Book({"h4 a5"}).tree);
    trees.push_back(Book({"Ra8#"}, "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1").tree);
    // Quotes, a statement terminator and a NUL: bound values never become SQL.
    const std::string description("Robert'); drop table GameNode; --\0x", 35);
    for (const auto& tree : trees) {
        SCOPED_TRACE("nodes " + std::to_string(tree->Count()));
        const int64_t id = workbook.lngSaveGame(tree, 0, description, "p. 'a'", "#7");
        EXPECT_EQ(tree->Item(1)->strParentKey(), ""); // the root's parent key is cleared in memory
        EXPECT_EQ(StoredRows(raw, id), ExpectedRows(*tree));
        std::string d, page, diagram;
        const auto loaded = workbook.objLoadGame(id, d, page, diagram);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(d + "|" + page + "|" + diagram, "Robert'); drop table GameNode; --x|p. 'a'|#7");
        EXPECT_EQ(NodeLines(*loaded), NodeLines(*tree));
        // A finished game is read back with the side to move its stored flag gives.
        for (int n = 1; n <= tree->Count(); ++n)
            EXPECT_EQ(loaded->Item(n)->objPosition()->objStatus(),
                      tree->Item(n)->objPosition()->isWhiteToMove()
                          ? CGameStatus::objWHITE_TO_MOVE()
                          : CGameStatus::objBLACK_TO_MOVE());
        EXPECT_EQ(loaded->objCurrentNode()->strKey(), "InitialKey");
    }
    // Values are bound with the storage classes a file written by literal SQL has.
    workbook.SaveWorkbookProperties("it's");
    EXPECT_EQ(raw.value("select group_concat(distinct typeof(ID)||typeof(Description)||"
                        "typeof(XRefPage)||typeof(XRefDiagram)||typeof(Hits)||typeof(Solve)||"
                        "typeof(ErrorStreak)||typeof(SolveStreak)) from GameTree"),
              "integertexttexttextintegerintegerintegerinteger");
    EXPECT_EQ(raw.value("select group_concat(distinct typeof(GameTreeID)||typeof(NodeKey)||"
                        "typeof(NodeParentKey)||typeof(WhiteToMove)||typeof(Diagram)||"
                        "typeof(MoveText)||typeof(MoveNumber)||typeof(EnPassantFile)||"
                        "typeof(WhiteOO)||typeof(WhiteOOO)||typeof(BlackOO)||typeof(BlackOOO)) "
                        "from GameNode"),
              "integertexttextintegertexttextintegerintegerintegerintegerintegerinteger");
    EXPECT_EQ(raw.value("select FieldValue||typeof(FieldValue) from WorkBook"), "it'stext");
}

TEST_F(WorkBookGames, ARowRefusedInALaterStatementLeavesNothingOfTheGame) {
    const auto game = KnightsGame(40);
    // The twentieth node is written by the game's second insert statement.
    const std::string refusedKey = game->Item(20)->strKey();
    RawDatabase raw(path);
    raw.exec("insert into GameNode (GameTreeID, NodeKey) values (999, '" + refusedKey +
             "'); create unique index OneOfThatKey on GameNode (NodeKey) where NodeKey = '" +
             refusedKey + "'");
    // Alone, over a game, and inside a batch as an import saves: the games around it stay whole.
    EXPECT_THROW(Save(game, "refused"), CError);
    workbook.BeginBatch();
    const int64_t before = Save(KnightsGame(3), "before");
    EXPECT_THROW(Save(game, "refused"), CError);
    EXPECT_THROW(workbook.lngSaveGame(game, before, "refused over before", "", ""), CError);
    // Two statements' worth of rows, none of them with the refused key.
    const int64_t after = Save(KnightsGame(18), "after");
    EXPECT_TRUE(workbook.isInBatch());
    workbook.CommitBatch();

    EXPECT_EQ(raw.value("select group_concat(GameTreeID || ':' || n, ' ') from (select GameTreeID, "
                        "count(*) n from GameNode group by GameTreeID order by GameTreeID)"),
              std::to_string(before) + ":4 " + std::to_string(after) + ":19 999:1");
    EXPECT_EQ(raw.value("select group_concat(Description, ' ') from GameTree"), "before after");
}

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
