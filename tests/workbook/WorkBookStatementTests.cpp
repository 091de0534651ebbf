// How values reach the file: bound, with the storage classes a file written by literal SQL has,
// and in units that leave nothing of a failed game behind.
#include "RawDatabase.h"
#include "SampleGames.h"
#include "TempFolder.h"
#include "model/CError.h"
#include "workbook/CWorkBook.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

TEST(WorkBookStatements, StoredValuesKeepTheirTypesAndTextsExactly) {
    TempFolder folder;
    const std::string path = folder.file("types.brl");
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    SampleGame game("r3k2r/8/8/8/3pP3/8/8/R3K2R b KQkq e3 0 12");
    game.line({"dxe3"});
    // Quotes, a statement terminator and a NUL: bound values never become SQL.
    const std::string description = std::string("Robert'); drop table GameNode; --\0x", 35);
    int64_t id = workbook.lngSaveGame(game.tree(), 0, description, "p. 'a'", "12");
    workbook.SaveWorkbookProperties("it's");
    RawDatabase raw(path);
    const std::tuple<std::string, std::string> cases[] = {
        {"select typeof(ID)||typeof(Description)||typeof(XRefPage)||typeof(XRefDiagram)||"
         "typeof(Hits)||typeof(Solve)||typeof(ErrorStreak)||typeof(SolveStreak) from GameTree",
         "integertexttexttextintegerintegerintegerinteger"},
        {"select group_concat(typeof(GameTreeID)||typeof(NodeKey)||typeof(NodeParentKey)||"
         "typeof(WhiteToMove)||typeof(Diagram)||typeof(MoveText)||typeof(MoveNumber)||"
         "typeof(EnPassantFile)||typeof(WhiteOO)||typeof(WhiteOOO)||typeof(BlackOO)||"
         "typeof(BlackOOO), '|') from GameNode",
         "integertexttextintegertexttextintegerintegerintegerintegerintegerinteger|"
         "integertexttextintegertexttextintegerintegerintegerintegerintegerinteger"},
        {"select Description from GameTree", "Robert'); drop table GameNode; --x"},
        {"select XRefPage||'|'||XRefDiagram||'|'||Hits from GameTree", "p. 'a'|12|0"},
        {"select group_concat(NodeParentKey||','||WhiteToMove||','||MoveText||','||MoveNumber||','"
         "||EnPassantFile||','||WhiteOO||WhiteOOO||BlackOO||BlackOOO, '|') from GameNode",
         ",0,...," + std::to_string(game.tree()->Item(1)->objPosition()->intMoveNumber()) +
             ",4,1111|InitialKey,1,dxe3," +
             std::to_string(game.tree()->Item(2)->objPosition()->intMoveNumber()) + ",-1,1111"},
        {"select FieldValue||typeof(FieldValue) from WorkBook", "it'stext"},
        {"select count(*) from GameNode where GameTreeID=" + std::to_string(id), "2"},
    };
    for (const auto& [query, expected] : cases)
        EXPECT_EQ(raw.value(query), expected) << query;
}

// A save that fails half-way (here a rule of the file refuses one node) leaves nothing of its
// game; inside a batch the games before it stay and the batch goes on.
TEST(WorkBookStatements, AGameThatFailsHalfWayLeavesNothingAndTheBatchGoesOn) {
    TempFolder folder;
    const std::string path = folder.file("half.brl");
    {
        RawDatabase raw(path);
        raw.exec("create table WorkBook (ID INTEGER PRIMARY KEY,FieldName,FieldValue);"
                 "create table GameTree (ID INTEGER PRIMARY KEY,Description,XRefPage,XRefDiagram,"
                 "Hits,Solve,ErrorStreak,SolveStreak);"
                 "create table GameNode (ID INTEGER PRIMARY KEY,GameTreeID,NodeKey,NodeParentKey,"
                 "WhiteToMove,Diagram,MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,"
                 "BlackOOO, check (MoveText <> 'Nf3'))");
    }
    SampleGame good;
    good.line({"e4", "e5"});
    SampleGame bad;
    bad.line({"e4", "e5", "Nf3", "Nc6"});
    for (bool inBatch : {false, true}) {
        SCOPED_TRACE(inBatch ? "in a batch" : "on its own");
        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        if (inBatch) workbook.BeginBatch();
        int64_t first = workbook.lngSaveGame(good.tree(), 0, "good", "", "");
        EXPECT_THROW(workbook.lngSaveGame(bad.tree(), 0, "bad", "", ""), CError);
        EXPECT_THROW(workbook.lngSaveGame(bad.tree(), first, "bad over good", "", ""), CError);
        int64_t last = workbook.lngSaveGame(good.tree(), 0, "after", "", "");
        if (inBatch) {
            EXPECT_TRUE(workbook.isInBatch());
            workbook.CommitBatch();
        }
        workbook.CloseWorkBook();
        RawDatabase raw(path);
        EXPECT_EQ(raw.value("select count(*) from GameTree where Description like 'bad%'"), "0");
        EXPECT_EQ(raw.value("select Description from GameTree where ID=" + std::to_string(first)),
                  "good");
        EXPECT_EQ(raw.value("select count(*) from GameNode where GameTreeID in (" +
                            std::to_string(first) + "," + std::to_string(last) + ")"),
                  "6");
        EXPECT_EQ(raw.value("select count(*) from GameNode where GameTreeID not in (select ID "
                            "from GameTree)"),
                  "0");
        raw.exec("delete from GameTree; delete from GameNode");
    }
}

} // namespace
