// Stored content of any kind: a damaged game gives a clear error naming it, the other games stay
// usable, and nothing that a file holds crashes the program.
#include "HostileWorkbooks.h"
#include "RawDatabase.h"
#include "SampleGames.h"
#include "TempFolder.h"
#include "game/CGameNode.h"
#include "model/CError.h"
#include "tests/model/Checks.h"
#include "workbook/CWorkBook.h"
#include "workbook/CWorkBookGameError.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

class WorkBookDamage : public ::testing::Test {
protected:
    void SetUp() override {
        WriteWorkbookWithTwoGames(path);
        workbook.strOpenWorkBook(path);
    }

    void Damage(const std::string& sql) {
        workbook.CloseWorkBook();
        RawDatabase(path).exec(sql);
        workbook.strOpenWorkBook(path);
    }

    TempFolder folder;
    std::string path = folder.file("damaged.brl");
    CWorkBook workbook;
};

TEST_F(WorkBookDamage, ADamagedGameNamesItselfAndTheOtherGameStillLoads) {
    // damage: applied to game 2's rows
    const std::tuple<const char*, const char*> cases[] = {
        {"update GameNode set MoveText='Ke3' where MoveText='e4'", "the stored move Ke3"},
        {"update GameNode set MoveText='Qxh7' where MoveText='e4'", "cannot be played"},
        {"update GameNode set Diagram=replace(Diagram,'P','Q') where MoveText='e4'",
         "cannot be played"},
        {"update GameNode set MoveNumber=NULL where MoveText='e4'", "Bad value of MoveNumber"},
        {"update GameNode set MoveNumber='abc'", "Bad value of MoveNumber in game 2: 'abc'"},
        {"update GameNode set EnPassantFile=NULL", "Bad value of EnPassantFile in game 2: 'NULL'"},
        {"update GameNode set WhiteToMove='yes'", "Bad value of WhiteToMove in game 2: 'yes'"},
        {"update GameNode set EnPassantFile=2.5", "Bad value of EnPassantFile in game 2"},
        {"update GameNode set WhiteOO=x'00ff'", "Bad value of WhiteOO in game 2"},
        {"update GameNode set MoveNumber=9223372036854775807 where MoveText='e4'",
         "Bad value of MoveNumber in game 2"},
        {"update GameNode set Diagram=NULL", "Game 2 cannot be loaded"},
        {"update GameNode set Diagram='rnbqkbnr'", "Game 2 cannot be loaded"},
        {"update GameNode set MoveNumber=-1", "Game 2 cannot be loaded"},
        {"delete from GameNode where NodeKey='InitialKey'", "Game 2 has no start position"},
        {"update GameNode set Diagram=Diagram||hex(randomblob(600000))",
         "Game 2 cannot be loaded: string or blob too big"},
        // The comment mark keeps the game's condition, written for node rows, out of the SQL.
        {"update GameTree set Description=hex(randomblob(600000)) where ID=2 --",
         "Game 2 cannot be loaded: string or blob too big"},
    };
    for (const auto& [damage, message] : cases) {
        SCOPED_TRACE(damage);
        workbook.CloseWorkBook(); // fresh rows each time
        std::filesystem::remove(path);
        WriteWorkbookWithTwoGames(path);
        RawDatabase(path).exec(std::string(damage) +
                               (std::string(damage).find("where") == std::string::npos
                                    ? " where GameTreeID=2"
                                    : " and GameTreeID=2"));
        workbook.strOpenWorkBook(path);
        std::string d, p, g;
        try {
            workbook.objLoadGame(2, d, p, g);
            ADD_FAILURE() << "loaded";
        } catch (const CWorkBookGameError& error) {
            EXPECT_EQ(std::to_string(error.lngNumber) + " " + std::to_string(error.lngGameID),
                      "9999 2");
            EXPECT_TRUE(Contains(error.what(), message));
        }
        auto other = workbook.objLoadGame(1, d, p, g);
        ASSERT_NE(other, nullptr);
        EXPECT_EQ(other->Count(), 2);
        EXPECT_NO_THROW(workbook.UpdateSuccess(1));
        EXPECT_EQ(workbook.arrlngGetGameIDsForTraining(10).size(), 2u);
    }
}

TEST_F(WorkBookDamage, ResultsCountFromStoredStatisticsOfAnyKindAndClearLogResetsThem) {
    // stored: Hits, Solve, ErrorStreak, SolveStreak
    // after: hits, solve, error streak, solve streak
    const std::tuple<const char*, bool, std::vector<int32_t>> cases[] = {
        {"NULL,NULL,NULL,NULL", true, {1, 1, 0, 1}},
        {"NULL,NULL,NULL,NULL", false, {1, 0, 1, 0}},
        {"'3',NULL,2,NULL", true, {4, 1, 0, 1}},
        {"5,2,NULL,1", false, {6, 2, 1, 0}},
        {"1,1,1,0", false, {2, 1, 2, 0}},
        {"3,2,0,1", true, {4, 3, 0, 2}},
    };
    for (const auto& [stored, success, after] : cases) {
        SCOPED_TRACE(std::string(stored) + (success ? " success" : " error"));
        Damage(std::string("update GameTree set (Hits,Solve,ErrorStreak,SolveStreak)=(") + stored +
               ") where ID=2");
        success ? workbook.UpdateSuccess(2) : workbook.UpdateError(2);
        WorkBookGameRow row = workbook.objGetGameRow(2).value();
        EXPECT_EQ(std::vector<int32_t>(
                      {row.lngHits, row.lngSolve, row.lngErrorStreak, row.lngSolveStreak}),
                  after);
    }
    Damage("update GameTree set Hits='many', Solve=NULL");
    int32_t attempts = -1, successes = -1;
    workbook.GetScore(attempts, successes);
    EXPECT_EQ(attempts + successes, 0);
    EXPECT_EQ(workbook.arrGetGameRows().size(), 2u);
    workbook.ClearLog();
    for (const WorkBookGameRow& row : workbook.arrGetGameRows())
        EXPECT_EQ(row.lngHits + row.lngSolve + row.lngErrorStreak + row.lngSolveStreak, 0);
}

TEST_F(WorkBookDamage, IdentifiersAndMoveNumbersOfAnySizeAreKeptWhole) {
    const int64_t huge = int64_t{1} << 40;
    Damage("update GameTree set ID=" + std::to_string(huge) + " where ID=2;" +
           "update GameNode set GameTreeID=" + std::to_string(huge) + " where GameTreeID=2;" +
           "update GameTree set ID=-7 where ID=1; update GameNode set GameTreeID=-7, "
           "MoveNumber=MoveNumber+40000 where GameTreeID=1");
    std::string d, p, g;
    ASSERT_NE(workbook.objLoadGame(huge, d, p, g), nullptr);
    EXPECT_EQ(d, "two");
    const auto numbered = workbook.objLoadGame(-7, d, p, g);
    ASSERT_NE(numbered, nullptr);
    EXPECT_EQ(d, "one");
    EXPECT_EQ(numbered->Item(2)->objPosition()->intMoveNumber(), 40001) << "beyond 16 bits";
    workbook.UpdateError(huge);
    workbook.UpdateSuccess(-7);
    EXPECT_EQ(workbook.objGetGameRow(huge)->lngErrorStreak, 1);
    EXPECT_EQ(workbook.objGetGameRow(-7)->lngSolve, 1);
    // The lists that hand out 32-bit identifiers leave the huge one out instead of cutting it.
    EXPECT_EQ(workbook.arrlngGetGameIDs(), std::vector<int32_t>{-7});
    EXPECT_EQ(workbook.arrlngGetGameIDsForTraining(1), std::vector<int32_t>{-7});
    std::vector<int64_t> streamed;
    workbook.ForEachGameRow([&](const WorkBookGameRow& row) { streamed.push_back(row.lngID); });
    EXPECT_EQ(streamed, (std::vector<int64_t>{-7, huge}));
    // A new game would get an identifier beyond 32 bits: refused, nothing written.
    EXPECT_TRUE(
        Contains(MessageOf([&] { workbook.lngSaveGame(Book({"d4"}).tree, 0, "new", "", ""); }),
                 "no free game identifier"));
    EXPECT_EQ(workbook.lngCountGames(), 2);
    EXPECT_EQ(RawDatabase(path).value("select count(*) from GameNode"), "4");
    // The very ends of the range are listed too.
    Damage("insert into GameTree (ID) values (-9223372036854775808), (9223372036854775807)");
    streamed.clear();
    workbook.ForEachGameRow([&](const WorkBookGameRow& row) { streamed.push_back(row.lngID); });
    EXPECT_EQ(streamed, (std::vector<int64_t>{INT64_MIN, -7, huge, INT64_MAX}));
}

TEST(WorkBookDamagedFile, ATableWhoseIdentifiersComeOutOfOrderIsListedToAnEnd) {
    // A damaged b-tree answers "the first identifier from 0" with -1: the list once looped on it.
    TempFolder folder;
    const std::string path = folder.file("out-of-order.brl");
    std::filesystem::copy_file(BRISOLT_WORKBOOK_DATA "/identifiers-out-of-order.brl", path);
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    std::vector<int64_t> listed;
    std::vector<int64_t> damaged;
    try {
        workbook.ForEachGameRow([&](const WorkBookGameRow& row) { listed.push_back(row.lngID); },
                                [&](int64_t id, const std::string&) { damaged.push_back(id); });
    } catch (const CError&) {
    }
    EXPECT_LE(listed.size() + damaged.size(), 2u);
}

TEST_F(WorkBookDamage, ColumnsAreReadByNameInAFileWithAnotherColumnOrder) {
    workbook.CloseWorkBook();
    std::filesystem::remove(path);
    {
        RawDatabase raw(path);
        raw.exec("create table WorkBook (FieldValue, FieldName, ID INTEGER PRIMARY KEY);"
                 "create table GameTree (SolveStreak,Hits,Description,ID INTEGER PRIMARY KEY,"
                 "XRefDiagram,XRefPage,Solve,ErrorStreak,Extra);"
                 "create table GameNode (BlackOOO,BlackOO,WhiteOOO,WhiteOO,EnPassantFile,"
                 "MoveNumber,MoveText,Diagram,WhiteToMove,NodeParentKey,NodeKey,GameTreeID,"
                 "ID INTEGER PRIMARY KEY);"
                 "insert into WorkBook (ID,FieldName,FieldValue) values (1,'Title','Reordered');"
                 "insert into GameTree (ID,Description,XRefPage,XRefDiagram,Hits,Solve,"
                 "ErrorStreak,SolveStreak) values (5,'five','p','d',4,3,0,2);");
    }
    const Book game({"O-O O-O-O"}, "r3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 30");
    EXPECT_EQ(workbook.strOpenWorkBook(path), "Reordered");
    WorkBookGameRow row = workbook.objGetGameRow(5).value();
    EXPECT_EQ(row.strDescription + row.strXRefPage + row.strXRefDiagram, "fivepd");
    EXPECT_EQ(
        std::vector<int32_t>({row.lngHits, row.lngSolve, row.lngErrorStreak, row.lngSolveStreak}),
        (std::vector<int32_t>{4, 3, 0, 2}));
    EXPECT_EQ(workbook.lngSaveGame(game.tree, 5, "five", "p", "d"), 5);
    std::string d, p, g;
    auto loaded = workbook.objLoadGame(5, d, p, g);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->isEqual(game.tree));
    EXPECT_FALSE(loaded->Item(1)->objPosition()->isKCastleForfeited(0));
    EXPECT_TRUE(loaded->Item(1)->objPosition()->isQCastleForfeited(0));
}

} // namespace
