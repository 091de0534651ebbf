// Games in a workbook: saving and loading trees (each node in a row of its own) with their
// comments, glyphs and tags, the training order, batches, write protection, writers killed part
// way through. The games list read in pages is tested in WorkBookListTests.cpp.
#include "KilledChild.h"
#include "SampleGames.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "tests/model/Checks.h"
#include "workbook/CWorkBook.h"
#include "workbook/CWorkBookGameError.h"
#include "workbook/GameAnnotations.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <tuple>

namespace {

// A game of the given number of moves: the knights go out and back again.
std::shared_ptr<CGameTree> KnightsGame(int moves) {
    static const char* const cycle[] = {"Nf3", "Nf6", "Ng1", "Ng8"};
    std::string line;
    for (int i = 0; i < moves; ++i)
        line += std::string(cycle[i % 4]) + " ";
    return Book({line}).tree;
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

class WorkBookGames : public WorkbookTest {
protected:
    int32_t Save(const std::shared_ptr<CGameTree>& tree, const std::string& description = "d") {
        return workbook.lngSaveGame(tree, 0, description, "p", "g");
    }
};

// The game e4 e5 with two tags, a game comment, a comment and a glyph on e4 and two glyphs on e5.
struct AnnotatedGame : Book {
    AnnotatedGame() : Book({"e4 e5"}) {
        annotations.arrTags = {{"White", "Ana Núñez"}, {"Result", "1-0"}};
        annotations.mapNodes[CGameNode::strINITIAL_KEY()].strBefore = "game comment";
        annotations.mapNodes[e4] = {"", "best by test", {1}};
        annotations.mapNodes[e5] = {"", "", {2, 146}};
    }
    std::string e4 = key("e4"); // node keys
    std::string e5 = key("e4 e5");
    GameAnnotations annotations;
};

// The annotated node keys, sorted, with the tags as "name=value".
std::vector<std::string> Stored(CWorkBook& workbook, int64_t id) {
    GameAnnotations loaded = workbook.objLoadAnnotations(id);
    std::vector<std::string> stored;
    for (const auto& [key, node] : loaded.mapNodes)
        stored.push_back(key + "|" + node.strBefore + "|" + node.strAfter + "|" +
                         GameAnnotations::strNagsText(node.arrNags));
    std::sort(stored.begin(), stored.end());
    for (const auto& [name, value] : loaded.arrTags)
        stored.push_back(name + "=" + value);
    if (!loaded.isReadable) stored.push_back("unreadable");
    return stored;
}

// The game tables: the workbook's two and the annotation tables.
std::string TableNames(const std::string& path) {
    return RawDatabase(path).value(
        "select group_concat(name, ' ') from (select name from sqlite_master where "
        "type='table' and name like 'Game%' order by name)");
}

TEST_F(WorkBookGames, SavingAgainSavingOverNothingLoadingNothingAndDeleting) {
    Book game({"e4 e5"});
    int32_t id = Save(game.tree);
    int32_t second = Save(game.tree);
    workbook.UpdateSuccess(id);
    workbook.UpdateError(id);
    game.add("d4");
    EXPECT_EQ(workbook.lngSaveGame(game.tree, id, "new text", "np", "ng"), id);
    EXPECT_EQ(workbook.objGetGameRow(id)->strDescription, "new text");
    EXPECT_EQ(Counters(*workbook.objGetGameRow(id)), std::vector<int32_t>({2, 1, 1, 0}));
    EXPECT_EQ(ErrorOf([&] { workbook.lngSaveGame(game.tree, 999, "x", "", ""); }),
              "CWorkBook 9999: No game with the identifier 999");
    EXPECT_EQ(ErrorOf([&] { workbook.UpdateError(999); }),
              "CWorkBook 9999: game 999 is no longer in the workbook");
    RawDatabase raw(path);
    EXPECT_EQ(raw.value("select group_concat(n, ',') from (select count(*) n from GameNode group "
                        "by GameTreeID order by GameTreeID)"),
              "4,3"); // the nodes of id and second, none of 999
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
    EXPECT_EQ(raw.value("select count(*) from GameNode"), "3");
    // Positions left behind when another program deleted only the game's row are no game.
    raw.exec("delete from GameTree where ID=" + std::to_string(second));
    EXPECT_EQ(workbook.objLoadGame(second, d, p, g), nullptr);
}

// Error streak first, then fewest solved, fewest hits, solve streak and identifier.
TEST_F(WorkBookGames, TheTrainingBatchFollowsThePriorityOrder) {
    RawDatabase raw(path);
    raw.exec("insert into GameTree values (1,'Y','','',3,0,0,0), (2,'X','','',2,0,2,0),"
             "(3,'Z','','',1,0,0,0), (4,'W','','',0,1,0,0), (5,'V','','',1,0,0,1)");
    const std::tuple<int16_t, std::vector<int32_t>> cases[] = {
        {10, {2, 3, 5, 1, 4}}, {2, {2, 3}}, {1, {2}}, {0, {}}, {-5, {}}};
    for (const auto& [count, ids] : cases)
        EXPECT_EQ(workbook.arrlngGetGameIDsForTraining(count), ids) << count;
    // The lists have no sixteen-bit limit.
    raw.exec("begin; with recursive n(i) as (select 6 union all select i+1 from n where i<40004) "
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
        if (!LoadTree(readOnly, id)) _exit(14);
        try {
            readOnly.UpdateSuccess(id);
            _exit(15);
        } catch (const CError& error) {
            if (std::string(error.what()).find("readonly") == std::string::npos) _exit(16);
        }
        _exit(0);
    }
    EXPECT_EQ(ExitCode(child), 0);
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
        // The stored rows in the order they were written.
        EXPECT_EQ(raw.rows("select NodeKey, NodeParentKey, WhiteToMove, Diagram, MoveText, "
                           "MoveNumber, EnPassantFile, WhiteOO, WhiteOOO, BlackOO, BlackOOO from "
                           "GameNode where GameTreeID = " +
                           std::to_string(id) + " order by ID"),
                  ExpectedRows(*tree));
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

TEST_F(WorkBookGames, AnnotationsAreKeptThroughEditorSavesAndRemovedWithTheirNodeOrGame) {
    const AnnotatedGame game;
    std::vector<std::string> expected = {game.e4 + "||best by test|1", game.e5 + "|||2 146",
                                         CGameNode::strINITIAL_KEY() + "|game comment||"};
    std::sort(expected.begin(), expected.end());
    expected.insert(expected.end(), {"White=Ana Núñez", "Result=1-0"});
    const int64_t id = workbook.lngSaveGame(game.tree, 0, "d", "", "", game.annotations);
    EXPECT_EQ(Stored(workbook, id), expected);
    // Saved again from the editor, which loads the tree and saves it without annotations.
    std::string d, p, g;
    auto tree = workbook.objLoadGame(id, d, p, g);
    EXPECT_EQ(workbook.lngSaveGame(tree, id, "edited", p, g), id);
    EXPECT_EQ(Stored(workbook, id), expected);
    // A move deleted in the editor takes its annotation.
    tree->Remove(game.e5);
    workbook.lngSaveGame(tree, id, d, p, g);
    expected.erase(std::find(expected.begin(), expected.end(), game.e5 + "|||2 146"));
    EXPECT_EQ(Stored(workbook, id), expected);
    workbook.DeleteGame(id);
    // Deleted by another program, its identifier given to a new game: nothing carries over.
    workbook.lngSaveGame(game.tree, 0, "d", "", "", game.annotations);
    workbook.UpdateSuccess(id);
    RawDatabase(path).exec("delete from GameNode; delete from GameTree");
    EXPECT_EQ(workbook.lngSaveGame(game.tree, 0, "new", "", ""), id);
    EXPECT_EQ(RawDatabase(path).value("select (select count(*) from GameAnnotation) + (select "
                                      "count(*) from GameTag) + (select count(*) from "
                                      "TrainingHistory) + (select count(*) from TrainingSchedule)"),
              "0");
}

// A batch looks once for rows above its first new game and clears nothing when there are none;
// rows another program left there (of any table, a whole number written as a real) are cleared.
TEST_F(WorkBookGames, NewGamesOfABatchTakeNoAnnotationRowsAnotherProgramLeft) {
    const char* const leftovers[] = {
        "",
        "insert into GameNode (GameTreeID, NodeKey, Diagram, MoveText) values (3, 'k', 'x', 'e4')",
        "insert into GameNode (GameTreeID, NodeKey, Diagram, MoveText) values (3.0, 'k', 'x', "
        "'e4')",
        "insert into GameTag values (4, '[Event \"left\"]')",
        "insert into GameAnnotation values (3, 'k', 'left', '', '')"};
    const AnnotatedGame game;
    for (const char* leftover : leftovers) {
        Reopen("", true);
        EXPECT_EQ(workbook.lngSaveGame(game.tree, 0, "first", "", "", game.annotations), 1);
        RawDatabase(path).exec(leftover);
        workbook.BeginBatch();
        for (int64_t id : {2, 3, 4})
            EXPECT_EQ(workbook.lngSaveGame(game.tree, 0, "more", "", "", game.annotations), id);
        // A deleted game's identifier goes to the next new game, which takes none of its rows.
        workbook.DeleteGame(4);
        EXPECT_EQ(workbook.lngSaveGame(game.tree, 0, "plain", "", ""), 4);
        workbook.CommitBatch();
        EXPECT_EQ(RawDatabase(path).value("select group_concat(n, ' ') from (select count(*) n "
                                          "from GameNode group by GameTreeID order by GameTreeID)"),
                  "3 3 3 3")
            << leftover;
        for (int64_t id : {2, 3})
            EXPECT_EQ(Stored(workbook, id), Stored(workbook, 1)) << leftover << " " << id;
        EXPECT_TRUE(Stored(workbook, 4).empty()) << leftover;
    }
}

TEST_F(WorkBookGames, AnOlderWorkbookTrainsUnchangedAndGetsTheTablesOnItsFirstAnnotatedWrite) {
    Reopen(kWorkbookTables, true);
    AnnotatedGame game;
    const int64_t plain = workbook.lngSaveGame(game.tree, 0, "plain", "", "");
    EXPECT_EQ(workbook.arrlngGetGameIDsForTraining(10), std::vector<int32_t>{int32_t(plain)});
    workbook.UpdateSuccess(plain);
    EXPECT_TRUE(workbook.objLoadAnnotations(plain).isEmpty());
    EXPECT_EQ(TableNames(path), "GameNode GameTree");

    // A game refused for its annotations leaves neither rows nor tables.
    AnnotatedGame tooLong;
    tooLong.annotations.mapNodes[tooLong.e4].strAfter.assign(1000001, 'x');
    EXPECT_THROW(workbook.lngSaveGame(tooLong.tree, 0, "long", "", "", tooLong.annotations),
                 CWorkBookGameError);
    EXPECT_EQ(TableNames(path), "GameNode GameTree");
    EXPECT_EQ(workbook.lngCountGames(), 1);

    const int64_t annotated = workbook.lngSaveGame(game.tree, 0, "notes", "", "", game.annotations);
    EXPECT_EQ(TableNames(path), "GameAnnotation GameNode GameTag GameTree");
    EXPECT_EQ(workbook.objLoadAnnotations(annotated).mapNodes.at(game.e4).strAfter, "best by test");
}

TEST_F(WorkBookGames, OtherProgramsAnnotationTablesAndRowsAreIgnoredOrRefusedClearly) {
    const AnnotatedGame game;
    const std::string e4 = "'" + game.e4 + "'";
    // sql: run on a workbook holding game 1 (e4 e5) without annotations; loaded: the stored
    // annotations read, joined by spaces; writeRefusal: "" when an annotated save works
    const std::tuple<const char*, std::string, std::string, std::string> cases[] = {
        {"tables of other columns", "create table GameAnnotation (a, b); create table GameTag (c)",
         "", "not the ones Brisolt writes"},
        {"an index under a table's name",
         "create table Other (x); create index GameTag on Other(x)", "", "index named gametag"},
        {"rows of other types and glyphs out of range",
         "create table GameAnnotation (GameTreeID, NodeKey, CommentBefore, CommentAfter, Nags);"
         "create table GameTag (GameTreeID, Tags);"
         "insert into GameAnnotation values (1, " +
             e4 +
             ", NULL, 42, '1 abc 9999 -3 14 $2');"
             "insert into GameAnnotation values (7, " +
             e4 +
             ", 'orphan', '', '');"
             "insert into GameTag values (1, '[Event \"A\\\"B\"]' || char(10) || 'junk' || "
             "char(10) || '[Round \"3' || char(10) || '[Site \"x\\ny\"]' || char(10) || "
             "'[Open \"no end'), (7, '[White \"orphan\"]')",
         game.e4 + "||42|1 14 Event=A\"B Site=x\ny", ""},
    };
    for (const auto& [name, sql, expected, writeRefusal] : cases) {
        SCOPED_TRACE(name);
        Reopen(kWorkbookTables, true);
        ASSERT_EQ(workbook.lngSaveGame(game.tree, 0, "d", "", ""), 1);
        RawDatabase(path).exec(sql);
        std::string loaded;
        for (const std::string& row : Stored(workbook, 1))
            loaded += (loaded.empty() ? "" : " ") + row;
        EXPECT_EQ(loaded, expected);
        EXPECT_NE(LoadTree(workbook, 1), nullptr);
        const auto saveAnnotated = [&] {
            workbook.lngSaveGame(game.tree, 1, "d", "", "", game.annotations);
        };
        if (writeRefusal.empty()) {
            EXPECT_NO_THROW(saveAnnotated());
            EXPECT_EQ(workbook.objLoadAnnotations(1).strTag("White"), "Ana Núñez");
        } else {
            EXPECT_TRUE(Contains(MessageOf(saveAnnotated), writeRefusal));
            EXPECT_EQ(workbook.lngCountGames(), 1);
            // Saves without annotations and deletions leave the foreign tables alone.
            EXPECT_NO_THROW(workbook.lngSaveGame(game.tree, 1, "edited", "", ""));
            EXPECT_NO_THROW(workbook.DeleteGame(1));
            EXPECT_EQ(workbook.lngCountGames(), 0);
        }
    }
}

} // namespace
