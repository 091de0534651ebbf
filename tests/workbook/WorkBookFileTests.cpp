// The workbook file itself: creating, opening, the title, the score and the page and chapter
// figures kept beside the games (always the sums over the games, whoever changed the file), and
// files from anywhere: a bad file or a damaged game gives a clear error naming it, nothing a file
// holds runs, crashes or hangs the program, and the other games stay usable.
#include "SampleGames.h"
#include "model/CError.h"
#include "tests/model/Checks.h"
#include "tests/progress/ProgressWorkbook.h"
#include "workbook/CWorkBook.h"
#include "workbook/CWorkBookGameError.h"
#include "workbook/ScoreText.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <tuple>

namespace {

// The score the workbook shows, as "attempts successes".
std::string ScoreOf(CWorkBook& workbook) {
    int32_t attempts = -1, successes = -1;
    workbook.GetScore(attempts, successes);
    return std::to_string(attempts) + " " + std::to_string(successes);
}

// A workbook with two games, made without the program, opened.
class WorkBookFile : public WorkbookTest {
protected:
    void SetUp() override {
        RawDatabase(path).exec(kWorkbookWithTwoGames);
        WorkbookTest::SetUp();
    }
};

// A missing file gets the three tables with their exact columns beside the program's own; an older
// file gets the indexes that answer the training selection.
TEST_F(WorkBookFile, OpeningMakesTheTablesOfAMissingFileAndTheIndexesOfAnOlderOne) {
    EXPECT_EQ(Reopen("", true), "");
    EXPECT_EQ(workbook.strFileName(), path);
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

    Reopen(kWorkbookTables, true);
    RawDatabase older(path);
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
TEST_F(WorkBookFile, TitleInsertedOnceThenUpdatedPastFailedStatementsAndClosingTwiceIsHarmless) {
    Reopen("create table WorkBook (ID INTEGER PRIMARY KEY,FieldName,FieldValue);"
           "create table GameTree (ID INTEGER PRIMARY KEY,Description);"
           "create table GameNode (ID INTEGER PRIMARY KEY,GameTreeID);"
           "insert into GameTree values (1,'one')",
           true);
    const std::vector<std::string> titles = {"Endgames", "O'Brien's ''quoted'' book", "",
                                             "Schachaufgaben für Kinder – Band 2"};
    for (const std::string& title : titles) {
        EXPECT_TRUE(Contains(ErrorOf([&] { workbook.UpdateSuccess(1); }),
                             "CWorkBook 9999: no such column"));
        workbook.SaveWorkbookProperties(title);
        EXPECT_EQ(Reopen(""), title);
        EXPECT_EQ(workbook.strWBTitle(), ""); // the object's title is never taken from the file
    }
    EXPECT_EQ(RawDatabase(path).value("select count(*) from WorkBook where FieldName='Title'"),
              "1");
    // Closing twice is harmless; every call after it passes the one check for an open workbook,
    // a save before it looks at the game.
    workbook.CloseWorkBook();
    workbook.CloseWorkBook();
    EXPECT_EQ(workbook.lngDBHandle(), 0);
    EXPECT_EQ(ErrorOf([&] { workbook.lngSaveGame(nullptr, 0, "", "", ""); }),
              "CWorkBook 9999: No open workbook");
    EXPECT_EQ(ErrorOf([&] { workbook.UpdateSuccess(1); }), "CWorkBook 9999: No open workbook");
}

// Files that are no workbook, and workbooks holding SQL of their author's that would run whenever
// the program reads or writes (triggers on the workbook's tables or on one of their own, views;
// every trigger is refused alike, whatever it does): each is refused with a clear error naming
// what it found, and nothing is written: not the file, not a journal, nothing beside it.
TEST_F(WorkBookFile, BadFilesGiveAClearErrorAndAreLeftUntouched) {
    workbook.SaveWorkbookProperties(std::string(3000, 'x'));
    // bytes: the file, or sql: the statements that make it; refusal: a part of the error
    const std::tuple<std::string, std::string, const char*> cases[] = {
        {"[Event \"not a database\"]\n1. e4 e5 *\n" + std::string(600, 'z'), "", "not a database"},
        {FileBytes(path).substr(0, 60), "", ""}, // a truncated header
        {"",
         "create table WorkBook (ID INTEGER PRIMARY KEY,FieldName,FieldValue);"
         "create table GameTree (ID INTEGER PRIMARY KEY,Description)",
         "GameNode"},
        {"", "", "Not a workbook"}, // an empty file
        {"",
         "create table WorkBook (ID INTEGER PRIMARY KEY,FieldName,FieldValue);"
         "create table GameNode (ID INTEGER PRIMARY KEY,GameTreeID);"
         "create virtual table GameTree using fts5(Description)",
         "GameTree is a virtual table"},
        {"",
         kWorkbookTables + "create table Other (x); create trigger Quiet after insert on Other "
                           "begin delete from GameTree; end",
         "never runs (trigger Quiet on Other)"},
        {"",
         kWorkbookTables + "create view V as select 1; create trigger T after delete on GameTree "
                           "begin select 1; end",
         "never runs (trigger T on GameTree, view V)"},
    };
    for (const auto& [bytes, sql, refusal] : cases) {
        SCOPED_TRACE(sql.empty() ? "bytes: " + std::string(refusal) : sql);
        TempFolder alone;
        const std::string bad = alone.file("bad.brl");
        sql.empty() ? WriteFile(bad, bytes) : RawDatabase(bad).exec(sql);
        const std::string before = FileBytes(bad);
        CWorkBook book;
        const std::string error = ErrorOf([&] { book.strOpenWorkBook(bad); });
        EXPECT_EQ(error.rfind("CWorkBook 9999: ", 0), 0u) << error;
        EXPECT_TRUE(Contains(error, refusal));
        EXPECT_EQ(book.lngDBHandle(), 0);
        EXPECT_EQ(FileBytes(bad), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(alone.path()), {}), 1);
    }
}

// A file cut in the middle may open (its first page is whole); every later read then fails with
// a clear error instead of a crash, and nothing is written to it.
TEST_F(WorkBookFile, ATruncatedWorkbookFailsCleanlyAndStaysAsItIs) {
    Reopen("", true);
    RawDatabase(path).exec(
        "begin; with recursive n(i) as (select 1 union all select i+1 from n where i<3000) insert "
        "into GameTree select i,'game number '||i,'p','d',i%5,i%3,0,0 from n; insert into GameNode "
        "(GameTreeID,NodeKey,NodeParentKey,WhiteToMove,Diagram,MoveText,MoveNumber,EnPassantFile,"
        "WhiteOO,WhiteOOO,BlackOO,BlackOOO) select ID,'InitialKey','',1,'rnbqkbnrpppppppp"
        "eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeePPPPPPPPRNBQKBNR','...',0,-1,1,1,1,1 from GameTree; "
        "commit");
    const std::string bytes = FileBytes(path);
    for (size_t keep : {bytes.size() / 2, bytes.size() / 5, size_t{4096}}) {
        SCOPED_TRACE(keep);
        const std::string cut = folder.file("cut-" + std::to_string(keep) + ".brl");
        WriteFile(cut, bytes.substr(0, keep));
        int errors = 0;
        CWorkBook book;
        const auto attempt = [&](const std::function<void()>& call) {
            const std::string error = ErrorOf(call);
            EXPECT_TRUE(error == "no error" || error.rfind("CWorkBook ", 0) == 0) << error;
            errors += error != "no error";
        };
        attempt([&] { book.strOpenWorkBook(cut); });
        if (book.lngDBHandle() != 0) {
            attempt([&] { book.arrlngGetGameIDsForTraining(10); });
            attempt([&] { book.arrGetGameRows(); });
            attempt([&] { LoadTree(book, 2999); });
        }
        EXPECT_GT(errors, 0);
        book.CloseWorkBook();
        EXPECT_EQ(FileBytes(cut), bytes.substr(0, keep));
    }
}

TEST_F(WorkBookFile, ADamagedGameNamesItselfAndTheOtherGameStillLoads) {
    // damage: applied to game 2's rows
    const std::tuple<const char*, const char*> cases[] = {
        {"update GameNode set MoveText='Ke3' where MoveText='e4'", "the stored move Ke3"},
        {"update GameNode set Diagram=replace(Diagram,'P','Q') where MoveText='e4'",
         "cannot be played"},
        // a row after the root gives what the move from its parent does not
        {"update GameNode set WhiteOO=0 where NodeKey='InitialKey'", "stored castling rights"},
        {"update GameNode set ID=-ID,BlackOOO=0 where MoveText='e4'", "stored castling rights"},
        {"update GameNode set EnPassantFile=-1 where MoveText='e4'", "stored en-passant file"},
        {"update GameNode set WhiteToMove=1 where MoveText='e4'", "stored side to move"},
        {"update GameNode set MoveNumber=7 where MoveText='e4'", "stored move number"},
        {"update GameNode set MoveNumber='abc'", "Bad value of MoveNumber in game 2: 'abc'"},
        {"update GameNode set EnPassantFile=NULL", "Bad value of EnPassantFile in game 2: 'NULL'"},
        {"update GameNode set EnPassantFile=2.5", "Bad value of EnPassantFile in game 2"},
        {"update GameNode set WhiteOO=x'00ff'", "Bad value of WhiteOO in game 2"},
        {"update GameNode set MoveNumber=2147483647",
         "Bad value of MoveNumber in game 2: '2147483647'"},
        {"update GameNode set Diagram=NULL", "Game 2 cannot be loaded"}, // the diagram refuses
        {"delete from GameNode where NodeKey='InitialKey'", "Game 2 has no start position"},
        {"update GameNode set Diagram=replace(Diagram,'pppppppp','ppppRppp')",
         "Game 2 cannot be loaded: the test position is unsound: the side not to move is in check"},
        {"update GameNode set Diagram=Diagram||hex(randomblob(600000))",
         "Game 2 cannot be loaded: string or blob too big"},
    };
    for (const auto& [damage, message] : cases) {
        SCOPED_TRACE(damage);
        // Fresh rows each time.
        Reopen(kWorkbookWithTwoGames + damage +
                   (std::string(damage).find("where") == std::string::npos ? " where GameTreeID=2"
                                                                           : " and GameTreeID=2"),
               true);
        try {
            LoadTree(workbook, 2);
            ADD_FAILURE() << "loaded";
        } catch (const CWorkBookGameError& error) {
            EXPECT_EQ(std::to_string(error.lngNumber) + " " + std::to_string(error.lngGameID),
                      "9999 2");
            EXPECT_TRUE(Contains(error.what(), message));
        }
        auto other = LoadTree(workbook, 1);
        ASSERT_NE(other, nullptr);
        EXPECT_EQ(other->Count(), 2);
        EXPECT_NO_THROW(workbook.UpdateSuccess(1));
        EXPECT_EQ(workbook.arrlngGetGameIDsForTraining(10).size(), 2u);
    }
}

TEST_F(WorkBookFile, ResultsCountFromStoredStatisticsOfAnyKindAndClearLogResetsThem) {
    // stored: Hits, Solve, ErrorStreak, SolveStreak
    // after: hits, solve, error streak, solve streak
    const std::tuple<const char*, bool, std::vector<int32_t>> cases[] = {
        {"NULL,NULL,NULL,NULL", true, {1, 1, 0, 1}},
        {"'3',NULL,2,NULL", true, {4, 1, 0, 1}},
        {"5,2,NULL,1", false, {6, 2, 1, 0}},
        {"1,1,1,0", false, {2, 1, 2, 0}},
        {"3,2,0,1", true, {4, 3, 0, 2}},
    };
    for (const auto& [stored, success, after] : cases) {
        SCOPED_TRACE(std::string(stored) + (success ? " success" : " error"));
        Reopen(std::string("update GameTree set (Hits,Solve,ErrorStreak,SolveStreak)=(") + stored +
               ") where ID=2");
        success ? workbook.UpdateSuccess(2) : workbook.UpdateError(2);
        EXPECT_EQ(Counters(workbook.objGetGameRow(2).value()), after);
    }
    Reopen("update GameTree set Hits='many', Solve=NULL, ErrorStreak=2");
    EXPECT_EQ(ScoreOf(workbook), "0 0");
    EXPECT_EQ(workbook.arrGetGameRows().size(), 2u);
    workbook.ClearLog();
    for (const WorkBookGameRow& row : workbook.arrGetGameRows())
        EXPECT_EQ(row.lngHits + row.lngSolve + row.lngErrorStreak + row.lngSolveStreak, 0);
}

TEST_F(WorkBookFile, IdentifiersAndMoveNumbersOfAnySizeAreKeptWholeAndListedToAnEnd) {
    const int64_t huge = int64_t{1} << 40;
    Reopen("update GameTree set ID=" + std::to_string(huge) + " where ID=2;" +
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
    const auto stream = [&](const WorkBookGameRow& row) { streamed.push_back(row.lngID); };
    workbook.ForEachGameRow(stream);
    EXPECT_EQ(streamed, (std::vector<int64_t>{-7, huge}));
    // A new game would get an identifier beyond 32 bits: refused, nothing written.
    EXPECT_TRUE(
        Contains(MessageOf([&] { workbook.lngSaveGame(Book({"d4"}).tree, 0, "new", "", ""); }),
                 "no free game identifier"));
    EXPECT_EQ(workbook.lngCountGames(), 2);
    EXPECT_EQ(RawDatabase(path).value("select count(*) from GameNode"), "4");
    // The very ends of the range are listed too.
    Reopen("insert into GameTree (ID) values (-9223372036854775808), (9223372036854775807)");
    streamed.clear();
    workbook.ForEachGameRow(stream);
    EXPECT_EQ(streamed, (std::vector<int64_t>{INT64_MIN, -7, huge, INT64_MAX}));
    // A damaged b-tree answers "the first identifier from 0" with -1: the list once looped on it.
    workbook.CloseWorkBook();
    std::filesystem::copy_file(BRISOLT_WORKBOOK_DATA "/identifiers-out-of-order.brl", path,
                               std::filesystem::copy_options::overwrite_existing);
    workbook.strOpenWorkBook(path);
    streamed.clear();
    std::vector<int64_t> damaged;
    try {
        workbook.ForEachGameRow(stream,
                                [&](int64_t id, const std::string&) { damaged.push_back(id); });
    } catch (const CError&) {
    }
    EXPECT_LE(streamed.size() + damaged.size(), 2u);
}

TEST_F(WorkBookFile, ColumnsAreReadByNameInAFileWithAnotherColumnOrder) {
    Reopen("create table WorkBook (FieldValue, FieldName, ID INTEGER PRIMARY KEY);"
           "create table GameTree (SolveStreak,Hits,Description,ID INTEGER PRIMARY KEY,"
           "XRefDiagram,XRefPage,Solve,ErrorStreak,Extra);"
           "create table GameNode (BlackOOO,BlackOO,WhiteOOO,WhiteOO,EnPassantFile,"
           "MoveNumber,MoveText,Diagram,WhiteToMove,NodeParentKey,NodeKey,GameTreeID,"
           "ID INTEGER PRIMARY KEY);"
           "insert into WorkBook (ID,FieldName,FieldValue) values (1,'Title','Reordered');"
           "insert into GameTree (ID,Description,XRefPage,XRefDiagram,Hits,Solve,"
           "ErrorStreak,SolveStreak) values (5,'five','p','d',4,3,0,2);",
           true);
    const Book game({"O-O O-O-O"}, "r3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 30");
    EXPECT_EQ(workbook.strOpenWorkBook(path), "Reordered");
    WorkBookGameRow row = workbook.objGetGameRow(5).value();
    EXPECT_EQ(row.strDescription + row.strXRefPage + row.strXRefDiagram, "fivepd");
    EXPECT_EQ(Counters(row), (std::vector<int32_t>{4, 3, 0, 2}));
    EXPECT_EQ(workbook.lngSaveGame(game.tree, 5, "five", "p", "d"), 5);
    auto loaded = LoadTree(workbook, 5);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->isEqual(game.tree)); // castling rights of "Kq" included
}

// Behind the refusal, the connection itself runs nothing of the file's, even for a file that got
// past the schema check, and no statement grows a value past the limit or runs forever.
TEST_F(WorkBookFile, TheConnectionRunsNothingOfTheFileAndStopsRunawayStatements) {
    RawDatabase(path).exec(
        "create trigger Wipe after update on GameTree begin delete from GameNode; end;"
        "create view Everything as select * from GameNode");
    SqlConnection connection(path);
    const auto number = [&](const char* sql) {
        SqlStatementScope query(connection.prepared(sql));
        return query->step() ? query->integer(0) : -1;
    };
    SqlStatementScope(connection.prepared("update GameTree set Hits=Hits+1 where ID=1"))->run();
    EXPECT_EQ(number("select count(*) from GameNode"), 4) << "the trigger ran";
    const std::tuple<const char*, const char*> cases[] = {
        {"select * from Everything", "view"},
        {"select load_extension('/tmp/none.so')", "not authorized"},
        {"attach 'elsewhere.brl' as other", "too many attached"},
        // The same text made inside SQLite is refused too, so no stored value can grow past it.
        {"update GameTree set Description=randomblob(2000000)", "too big"},
    };
    for (const auto& [sql, messagePart] : cases)
        EXPECT_TRUE(Contains(MessageOf([&] { connection.exec(sql); }), messagePart));
    // Defensive mode accepts the pragma but keeps the schema read-only.
    connection.exec("pragma writable_schema=1");
    EXPECT_THROW(connection.exec("update sqlite_master set sql='x' where name='Wipe'"), CError);

    const std::string huge(SqlConnection::kMaxLength + 1, 'x');
    SqlStatementScope update(connection.prepared("update GameTree set Description=? where ID=1"));
    EXPECT_THROW(update->bind(1, huge).run(), CError);
    EXPECT_EQ(number("select max(length(Description)) from GameTree"), 3);

    const int before = SqlConnection::SetStatementTimeLimitMs(300);
    EXPECT_TRUE(Contains(MessageOf([&] {
                             number("with recursive n(i) as (select 1 union all select i+1 from n) "
                                    "select count(*) from n");
                         }),
                         "was stopped"));
    SqlConnection::SetStatementTimeLimitMs(before);
    EXPECT_EQ(number("select count(*) from GameTree"), 2) << "the connection stays usable";
}

// The file's change counter, read from its header.
int64_t ChangeCounter(const std::string& path) {
    const std::string header = FileBytes(path).substr(0, 100);
    return (int64_t{static_cast<unsigned char>(header[24])} << 24) |
           (static_cast<unsigned char>(header[25]) << 16) |
           (static_cast<unsigned char>(header[26]) << 8) | static_cast<unsigned char>(header[27]);
}

TEST(ScoreText, TextFollowsTheTwoDecimalPatternWithoutForcedLeadingDigit) {
    const std::tuple<int32_t, int32_t, const char*> cases[] = {
        {0, 0, "-----"}, {1, 0, ".00"},   {1, 1, "100.00"}, {3, 2, "66.67"},  {3, 1, "33.33"},
        {8, 1, "12.50"}, {200, 1, ".50"}, {800, 1, ".13"},  {7, 7, "100.00"}, {12, 5, "41.67"},
    };
    for (const auto& [hits, solved, text] : cases)
        EXPECT_EQ(strScoreText(hits, solved), text) << solved << " of " << hits;
    // The window runs in the desktop's locale, where a decimal comma is usual.
    const TempFolder locales;
    const std::string name = "de_DE.UTF-8";
    const std::string make = "localedef -i de_DE -f UTF-8 " + locales.file(name) + " 2>/dev/null";
    if (std::setlocale(LC_NUMERIC, name.c_str()) == nullptr && std::system(make.c_str()) == 0)
        setenv("LOCPATH", locales.path().c_str(), 1);
    ASSERT_NE(std::setlocale(LC_NUMERIC, name.c_str()), nullptr) << "needs the locales package";
    EXPECT_EQ(strScoreText(3, 2), "66.67");
    std::setlocale(LC_NUMERIC, "C");
}

// The score and the page and chapter figures are kept up to date with each result; after every
// kind of write they are the sums a new connection works out afresh.
TEST_F(WorkBookFile, TheScoreAndTheGroupFiguresAreTheSumsWhateverChangedTheFile) {
    Reopen("", true); // a workbook the program made
    // Pages with blanks around them or none; chapters from the leading word, one from a tag;
    // counters that are NULL, text, zero, or more successes than attempts.
    RawDatabase(path).exec(
        "insert into GameTree (ID, Description, XRefPage, Hits, Solve) values "
        "(1, 'Fork: knight', ' p.1 ', 3, 1), (2, 'Fork queen', 'p.1', 2, 2), (3, 'Pin', 'p.2', 0, "
        "0), (4, null, null, null, null), (5, 'Pin this', 'p.2', 'x', 'y'), (6, 'Mate', 'p.3', 2, "
        "5), (7, 'Mate in 2', 'p.3', 4, 0); insert into GameTag values (7, '[Chapter "
        "\"Endings\"]')");
    const auto groups = [](const WorkBookStatistics& statistics) {
        return std::pair(Groups(statistics.arrByPage(100)), Groups(statistics.arrByChapter(100)));
    };
    const auto fresh = [&] {
        SqlConnection other(path);
        return groups(WorkBookStatistics(other));
    };
    ASSERT_EQ(groups(workbook.objStatistics()), fresh());
    ASSERT_EQ(fresh().second.size(), 3u); // Fork, Mate and the tagged Endings have attempts
    const Book game({"d4"});
    // kept: the score's sums are kept and valid after the step
    const std::tuple<const char*, std::function<void()>, bool> steps[] = {
        {"a failure", [&] { workbook.UpdateError(1); }, true},
        {"an untried game's first success", [&] { workbook.UpdateSuccess(3); }, true},
        {"a game without counters", [&] { workbook.UpdateError(4); }, true},
        {"text counters", [&] { workbook.UpdateSuccess(5); }, true},
        {"more successes than attempts", [&] { workbook.UpdateError(6); }, true},
        {"a game in a tagged chapter", [&] { workbook.UpdateSuccess(7); }, true},
        {"a game that does not exist", [&] { EXPECT_THROW(workbook.UpdateSuccess(99), CError); },
         true},
        {"a game that does not exist, then another program's change",
         [&] {
             EXPECT_THROW(workbook.UpdateSuccess(99), CError);
             RawDatabase(path).exec("update GameTree set XRefPage='p.8' where ID=1");
         },
         false},
        {"another program's change and a result after it",
         [&] {
             RawDatabase(path).exec("update GameTree set XRefPage='p.9', Hits=9 where ID=2");
             workbook.UpdateSuccess(2);
         },
         true},
        {"a new game", [&] { workbook.lngSaveGame(game.tree, 0, "new", "", ""); }, false},
        {"a result on the new game", [&] { workbook.UpdateError(8); }, true},
        {"a result waiting for another program's write",
         [&] {
             RawDatabase other(path);
             other.exec("begin immediate");
             std::thread done([&] {
                 std::this_thread::sleep_for(std::chrono::milliseconds(300));
                 other.exec("commit");
             });
             EXPECT_NO_THROW(workbook.UpdateSuccess(8));
             done.join();
         },
         true},
        {"a batch rolled back",
         [&] {
             workbook.BeginBatch();
             workbook.UpdateError(1);
             workbook.RollbackBatch();
         },
         true},
        {"a batch begun twice, then committed",
         [&] {
             workbook.BeginBatch();
             workbook.UpdateSuccess(1);
             workbook.BeginBatch();
             workbook.UpdateError(6);
             workbook.CommitBatch();
         },
         false},
        {"a batch with a result and a deletion",
         [&] {
             workbook.BeginBatch();
             workbook.UpdateSuccess(2);
             workbook.DeleteGame(5);
             workbook.CommitBatch();
         },
         false},
        {"a deleted game", [&] { workbook.DeleteGame(6); }, false},
        {"the log cleared", [&] { workbook.ClearLog(); }, true},
    };
    for (const auto& [name, act, kept] : steps) {
        SCOPED_TRACE(name);
        act();
        EXPECT_EQ(groups(workbook.objStatistics()), fresh());
        RawDatabase raw(path);
        EXPECT_EQ(ScoreOf(workbook), raw.value("select cast(total(Hits) as int) || ' ' || "
                                               "cast(total(Solve) as int) from GameTree"));
        const std::string at =
            raw.value("select FieldValue from WorkBook where FieldName='ScoreAt'");
        EXPECT_EQ(at == std::to_string(ChangeCounter(path)), kept) << at;
    }
}

// Sums kept by the last commit are what the score shows, without summing again; once anything
// commits after them they count for nothing.
TEST_F(WorkBookFile, KeptScoreSumsAreTrustedOnlyUntilTheNextCommit) {
    // The fixture's opening added the indexes, a commit of its own, before the sums are kept.
    RawDatabase(path).exec("begin; insert into WorkBook values (NULL,'ScoreHits',70), "
                           "(NULL,'ScoreSolve',50), (NULL,'ScoreAt'," +
                           std::to_string(ChangeCounter(path) + 1) + "); commit");
    workbook.strOpenWorkBook(path);
    EXPECT_EQ(ScoreOf(workbook), "70 50");
    RawDatabase(path).exec(
        "begin; update WorkBook set FieldValue='50' where FieldName='ScoreSolve'; "
        "update WorkBook set FieldValue=FieldValue+1 where FieldName='ScoreAt'; commit");
    EXPECT_EQ(ScoreOf(workbook), "0 0") << "kept sums that are no numbers";
    RawDatabase(path).exec("update GameTree set Hits=2, Solve=1 where ID=1");
    EXPECT_EQ(ScoreOf(workbook), "2 1");
    // In write-ahead-log mode the counter is not kept: the score is always summed.
    Reopen("pragma journal_mode=wal");
    workbook.UpdateSuccess(2);
    EXPECT_EQ(ScoreOf(workbook), "3 2");
    EXPECT_EQ(
        RawDatabase(path).value("select count(*) from WorkBook where FieldName like 'Score%'"),
        "0");
}

} // namespace
