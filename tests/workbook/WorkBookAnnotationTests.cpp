// Comments, glyphs and tags of workbook games: kept through editor saves, removed with their
// game or node, tables made on the first annotated write, and other programs' tables and rows.
#include "tests/model/Checks.h"
#include "tests/workbook/RawDatabase.h"
#include "tests/workbook/SampleGames.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"
#include "workbook/CWorkBookGameError.h"
#include "workbook/GameAnnotations.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

namespace {

struct AnnotatedGame {
    std::shared_ptr<CGameTree> tree;
    std::string e4; // node keys
    std::string e5;
    GameAnnotations annotations;
};

AnnotatedGame MakeGame() {
    AnnotatedGame game;
    const Book book({"e4 e5"});
    game.e4 = book.key("e4");
    game.e5 = book.key("e4 e5");
    game.tree = book.tree;
    game.annotations.arrTags = {{"White", "Ana Núñez"}, {"Result", "1-0"}};
    game.annotations.mapNodes[CGameNode::strINITIAL_KEY()].strBefore = "game comment";
    game.annotations.mapNodes[game.e4] = {"", "best by test", {1}};
    game.annotations.mapNodes[game.e5] = {"", "", {2, 146}};
    return game;
}

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
    return stored;
}

// The game tables: the workbook's two and the annotation tables.
std::string TableNames(const std::string& path) {
    RawDatabase raw(path);
    return raw.value("select group_concat(name, ' ') from (select name from sqlite_master where "
                     "type='table' and name like 'Game%' order by name)");
}

TEST(WorkBookAnnotations, KeptThroughEditorSavesAndRemovedWithTheirNodeOrGame) {
    const AnnotatedGame game = MakeGame();
    const std::string root = CGameNode::strINITIAL_KEY();
    std::vector<std::string> expected = {game.e4 + "||best by test|1", game.e5 + "|||2 146",
                                         root + "|game comment||"};
    std::sort(expected.begin(), expected.end());
    expected.insert(expected.end(), {"White=Ana Núñez", "Result=1-0"});
    TempFolder folder;
    const std::string path = folder.file("w.brl");
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
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
    EXPECT_TRUE(Stored(workbook, id).empty());
    // Deleted by another program, its identifier given to a new game: nothing carries over.
    workbook.lngSaveGame(game.tree, 0, "d", "", "", game.annotations);
    RawDatabase(path).exec("delete from GameNode; delete from GameTree");
    EXPECT_EQ(workbook.lngSaveGame(game.tree, 0, "new", "", ""), id);
    EXPECT_TRUE(Stored(workbook, id).empty());
    EXPECT_EQ(RawDatabase(path).value("select (select count(*) from GameAnnotation) + (select "
                                      "count(*) from GameTag)"),
              "0");
}

// A batch looks once for rows above its first new game and clears nothing when there are none;
// rows another program left there (of any table, a whole number written as a real) are cleared.
TEST(WorkBookAnnotations, NewGamesOfABatchTakeNoRowsAnotherProgramLeft) {
    const char* const leftovers[] = {
        "",
        "insert into GameNode (GameTreeID, NodeKey, Diagram, MoveText) values (3, 'k', 'x', 'e4')",
        "insert into GameNode (GameTreeID, NodeKey, Diagram, MoveText) values (3.0, 'k', 'x', "
        "'e4')",
        "insert into GameTag values (4, '[Event \"left\"]')",
        "insert into GameAnnotation values (3, 'k', 'left', '', '')"};
    for (const char* leftover : leftovers) {
        TempFolder folder;
        const std::string path = folder.file("batch.brl");
        const AnnotatedGame game = MakeGame();
        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        EXPECT_EQ(workbook.lngSaveGame(game.tree, 0, "first", "", "", game.annotations), 1);
        RawDatabase(path).exec(leftover);
        workbook.BeginBatch();
        for (int64_t id : {2, 3, 4})
            EXPECT_EQ(workbook.lngSaveGame(game.tree, 0, "more", "", "", game.annotations), id);
        // A deleted game's identifier goes to the next new game, which takes none of its rows.
        workbook.DeleteGame(4);
        EXPECT_EQ(workbook.lngSaveGame(game.tree, 0, "plain", "", ""), 4);
        workbook.CommitBatch();
        RawDatabase raw(path);
        EXPECT_EQ(raw.value("select group_concat(n, ' ') from (select count(*) n from GameNode "
                            "group by GameTreeID order by GameTreeID)"),
                  "3 3 3 3")
            << leftover;
        EXPECT_EQ(raw.value("select group_concat(GameTreeID, ' ') from GameTag"), "1 2 3")
            << leftover;
        for (int64_t id : {1, 2, 3})
            EXPECT_EQ(Stored(workbook, id), Stored(workbook, 1)) << leftover << " " << id;
        EXPECT_TRUE(Stored(workbook, 4).empty()) << leftover;
    }
}

TEST(WorkBookAnnotations, AnOlderWorkbookTrainsUnchangedAndGetsTheTablesOnItsFirstAnnotatedWrite) {
    TempFolder folder;
    const std::string path = folder.file("old.brl");
    RawDatabase(path).exec(kWorkbookTables);
    AnnotatedGame game = MakeGame();
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    const int64_t plain = workbook.lngSaveGame(game.tree, 0, "plain", "", "");
    EXPECT_EQ(workbook.arrlngGetGameIDsForTraining(10), std::vector<int32_t>{int32_t(plain)});
    workbook.UpdateSuccess(plain);
    EXPECT_TRUE(workbook.objLoadAnnotations(plain).isEmpty());
    EXPECT_EQ(TableNames(path), "GameNode GameTree");

    // A game refused for its annotations leaves neither rows nor tables.
    AnnotatedGame tooLong = MakeGame();
    tooLong.annotations.mapNodes[tooLong.e4].strAfter.assign(1000001, 'x');
    EXPECT_THROW(workbook.lngSaveGame(tooLong.tree, 0, "long", "", "", tooLong.annotations),
                 CWorkBookGameError);
    EXPECT_EQ(TableNames(path), "GameNode GameTree");
    EXPECT_EQ(workbook.lngCountGames(), 1);

    const int64_t annotated = workbook.lngSaveGame(game.tree, 0, "notes", "", "", game.annotations);
    EXPECT_EQ(TableNames(path), "GameAnnotation GameNode GameTag GameTree");
    EXPECT_EQ(workbook.objLoadAnnotations(annotated).mapNodes.at(game.e4).strAfter, "best by test");
}

TEST(WorkBookAnnotations, OtherProgramsTablesAndRowsAreIgnoredOrRefusedClearly) {
    const AnnotatedGame game = MakeGame();
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
        TempFolder folder;
        const std::string path = folder.file("w.brl");
        RawDatabase(path).exec(kWorkbookTables);
        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        ASSERT_EQ(workbook.lngSaveGame(game.tree, 0, "d", "", ""), 1);
        RawDatabase(path).exec(sql);
        std::string loaded;
        for (const std::string& row : Stored(workbook, 1))
            loaded += (loaded.empty() ? "" : " ") + row;
        EXPECT_EQ(loaded, expected);
        std::string d, p, g;
        EXPECT_NE(workbook.objLoadGame(1, d, p, g), nullptr);
        if (writeRefusal.empty()) {
            EXPECT_NO_THROW(workbook.lngSaveGame(game.tree, 1, "d", "", "", game.annotations));
            EXPECT_EQ(workbook.objLoadAnnotations(1).strTag("White"), "Ana Núñez");
        } else {
            EXPECT_TRUE(Contains(MessageOf([&] {
                                     workbook.lngSaveGame(game.tree, 1, "d", "", "",
                                                          game.annotations);
                                 }),
                                 writeRefusal));
            EXPECT_EQ(workbook.lngCountGames(), 1);
            // Saves without annotations and deletions leave the foreign tables alone.
            EXPECT_NO_THROW(workbook.lngSaveGame(game.tree, 1, "edited", "", ""));
            EXPECT_NO_THROW(workbook.DeleteGame(1));
            EXPECT_EQ(workbook.lngCountGames(), 0);
        }
    }
}

} // namespace
