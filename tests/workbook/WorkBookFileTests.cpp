// The workbook file itself: creating, opening, the title, failed statements and bad files.
#include "RawDatabase.h"
#include "TempFolder.h"
#include "model/CError.h"
#include "tests/model/Checks.h"
#include "workbook/CWorkBook.h"

#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// A missing file gets the three tables with their exact columns beside the program's own; an older
// file gets the indexes that answer the training selection.
TEST(WorkBookFile, OpeningMakesTheTablesOfAMissingFileAndTheIndexesOfAnOlderOne) {
    TempFolder folder;
    const std::string path = folder.file("new.brl"), old = folder.file("old.brl");
    {
        CWorkBook workbook;
        EXPECT_EQ(workbook.strOpenWorkBook(path), "");
        EXPECT_EQ(workbook.strFileName(), path);
    }
    RawDatabase raw(path);
    EXPECT_EQ(raw.value("select group_concat(sql, '|') from (select sql from sqlite_master where "
                        "name in ('WorkBook','GameTree','GameNode') order by name)"),
              "CREATE TABLE GameNode (ID INTEGER PRIMARY KEY,GameTreeID,NodeKey,NodeParentKey,"
              "WhiteToMove,Diagram,MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,"
              "BlackOOO)|"
              "CREATE TABLE GameTree (ID INTEGER PRIMARY KEY,Description,XRefPage,XRefDiagram,Hits,"
              "Solve,ErrorStreak,SolveStreak)|"
              "CREATE TABLE WorkBook (ID INTEGER PRIMARY KEY,FieldName,FieldValue)");
    EXPECT_EQ(raw.value("select group_concat(name, ' ') from (select name from sqlite_master "
                        "where type='table' order by name)"),
              "GameAnnotation GameNode GameTag GameTree TrainingHistory TrainingSchedule WorkBook");
    EXPECT_EQ(raw.value("select count(*) from GameTree"), "0");
    EXPECT_EQ(CWorkBook().strOpenWorkBook(path), "");

    RawDatabase(old).exec(kWorkbookTables);
    CWorkBook().strOpenWorkBook(old);
    RawDatabase older(old);
    EXPECT_EQ(older.value("select count(*) from sqlite_master where type='index' and name in "
                          "('GameNodeByGame','GameTreeTraining')"),
              "2");
    const auto plan = older.rows("explain query plan select id from GameTree order by "
                                 "ErrorStreak desc, Solve ,hits, SolveStreak,ID limit 10");
    ASSERT_FALSE(plan.empty());
    EXPECT_TRUE(Contains(plan.back().back(), "GameTreeTraining"));
}

// A failed statement raises the database message and leaves no transaction open, which would
// throw the title saved after it away on closing.
TEST(WorkBookFile, TheTitleIsInsertedOnceThenUpdatedPastFailedStatementsAndClosingTwiceIsHarmless) {
    TempFolder folder;
    const std::string path = folder.file("title.brl");
    RawDatabase(path).exec("create table WorkBook (ID INTEGER PRIMARY KEY,FieldName,FieldValue);"
                           "create table GameTree (ID INTEGER PRIMARY KEY,Description);"
                           "create table GameNode (ID INTEGER PRIMARY KEY,GameTreeID);"
                           "insert into GameTree values (1,'one')");
    const std::vector<std::string> titles = {"Endgames", "O'Brien's ''quoted'' book", "",
                                             "Schachaufgaben für Kinder – Band 2"};
    for (const std::string& title : titles) {
        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        EXPECT_TRUE(Contains(ErrorOf([&] { workbook.UpdateSuccess(1); }),
                             "CWorkBook 9999: no such column"));
        workbook.SaveWorkbookProperties(title);
        workbook.CloseWorkBook();
        EXPECT_EQ(workbook.strOpenWorkBook(path), title);
        EXPECT_EQ(workbook.strWBTitle(), ""); // the object's title is never taken from the file
    }
    EXPECT_EQ(RawDatabase(path).value("select count(*) from WorkBook where FieldName='Title'"),
              "1");
    // Closing twice is harmless; everything after it says there is no open workbook.
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    workbook.CloseWorkBook();
    workbook.CloseWorkBook();
    EXPECT_EQ(workbook.lngDBHandle(), 0);
    int32_t attempts = 0, successes = 0;
    const std::function<void()> calls[] = {
        [&] { workbook.arrlngGetGameIDs(); },
        [&] { workbook.arrlngGetGameIDsForTraining(10); },
        [&] { workbook.lngSaveGame(nullptr, 0, "", "", ""); },
        [&] { workbook.UpdateSuccess(1); },
        [&] { workbook.GetScore(attempts, successes); },
        [&] { workbook.SaveWorkbookProperties("x"); },
    };
    for (const auto& call : calls)
        EXPECT_EQ(ErrorOf(call), "CWorkBook 9999: No open workbook");
}

TEST(WorkBookFile, BadFilesGiveAClearErrorAndAreLeftUntouched) {
    TempFolder folder;
    const std::string good = folder.file("good.brl");
    {
        CWorkBook workbook;
        workbook.strOpenWorkBook(good);
        workbook.SaveWorkbookProperties(std::string(3000, 'x'));
    }
    // bytes: the file, or
    // sql: the statements that make it
    const std::tuple<const char*, std::string, const char*, const char*> cases[] = {
        {"text file", "[Event \"not a database\"]\n1. e4 e5 *\n" + std::string(600, 'z'), nullptr,
         "not a database"},
        {"truncated header", FileBytes(good).substr(0, 60), nullptr, ""},
        {"database of another program", "",
         "create table Contacts (Name, Phone); insert into Contacts values ('a','b')",
         "Not a workbook"},
        {"workbook without GameNode", "",
         "create table WorkBook (ID INTEGER PRIMARY KEY,FieldName,FieldValue);"
         "create table GameTree (ID INTEGER PRIMARY KEY,Description)",
         "GameNode"},
        {"empty file", "", nullptr, "Not a workbook"},
        {"virtual table in place of a workbook table", "",
         "create table WorkBook (ID INTEGER PRIMARY KEY,FieldName,FieldValue);"
         "create table GameNode (ID INTEGER PRIMARY KEY,GameTreeID);"
         "create virtual table GameTree using fts5(Description)",
         "GameTree is a virtual table"},
    };
    for (const auto& [name, bytes, sql, messagePart] : cases) {
        SCOPED_TRACE(name);
        const std::string path = folder.file(std::string(name) + ".brl");
        sql ? RawDatabase(path).exec(sql) : WriteFile(path, bytes);
        const std::string before = FileBytes(path);
        CWorkBook workbook;
        const std::string error = ErrorOf([&] { workbook.strOpenWorkBook(path); });
        EXPECT_EQ(error.rfind("CWorkBook 9999: ", 0), 0u) << error;
        EXPECT_TRUE(Contains(error, messagePart));
        EXPECT_EQ(workbook.lngDBHandle(), 0);
        EXPECT_EQ(FileBytes(path), before);
    }
}

// A file cut in the middle may open (its first page is whole); every later read then fails with
// a clear error instead of a crash, and nothing is written to it.
TEST(WorkBookFile, ATruncatedWorkbookFailsCleanlyAndStaysAsItIs) {
    TempFolder folder;
    const std::string good = folder.file("full.brl");
    CWorkBook().strOpenWorkBook(good);
    RawDatabase(good).exec(
        "begin; with recursive n(i) as (select 1 union all select i+1 from n where i<3000) insert "
        "into GameTree select i,'game number '||i,'p','d',i%5,i%3,0,0 from n; insert into GameNode "
        "(GameTreeID,NodeKey,NodeParentKey,WhiteToMove,Diagram,MoveText,MoveNumber,EnPassantFile,"
        "WhiteOO,WhiteOOO,BlackOO,BlackOOO) select ID,'InitialKey','',1,'rnbqkbnrpppppppp"
        "eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeePPPPPPPPRNBQKBNR','...',0,-1,1,1,1,1 from GameTree; "
        "commit");
    const std::string bytes = FileBytes(good);
    for (size_t keep : {bytes.size() / 2, bytes.size() / 5, size_t{4096}}) {
        SCOPED_TRACE(keep);
        const std::string path = folder.file("cut-" + std::to_string(keep) + ".brl");
        WriteFile(path, bytes.substr(0, keep));
        int errors = 0;
        CWorkBook workbook;
        auto attempt = [&](const std::function<void()>& call) {
            try {
                call();
            } catch (const CError& error) {
                EXPECT_EQ(error.strSource, "CWorkBook");
                ++errors;
            }
        };
        attempt([&] { workbook.strOpenWorkBook(path); });
        if (workbook.lngDBHandle() != 0) {
            attempt([&] { workbook.arrlngGetGameIDsForTraining(10); });
            attempt([&] { workbook.arrGetGameRows(); });
            attempt([&] {
                std::string d, p, g;
                workbook.objLoadGame(2999, d, p, g);
            });
        }
        EXPECT_GT(errors, 0);
        workbook.CloseWorkBook();
        EXPECT_EQ(FileBytes(path), bytes.substr(0, keep));
    }
}

} // namespace
