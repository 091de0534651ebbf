// The score kept beside the title: always the sums over the games, whoever changed the file.
#include "HostileWorkbooks.h"
#include "SampleGames.h"
#include "TempFolder.h"
#include "workbook/CWorkBook.h"
#include "workbook/ScoreText.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// The file's change counter, read from its header.
int64_t ChangeCounter(const std::string& path) {
    const std::string header = FileBytes(path).substr(0, 100);
    return (int64_t{static_cast<unsigned char>(header[24])} << 24) |
           (static_cast<unsigned char>(header[25]) << 16) |
           (static_cast<unsigned char>(header[26]) << 8) | static_cast<unsigned char>(header[27]);
}

TEST(ScoreText, TextFollowsTheTwoDecimalPatternWithoutForcedLeadingDigit) {
    struct Case {
        int32_t hits, solved;
        const char* text;
    } cases[] = {
        {0, 0, "-----"}, {1, 0, ".00"},   {1, 1, "100.00"}, {3, 2, "66.67"},  {3, 1, "33.33"},
        {8, 1, "12.50"}, {200, 1, ".50"}, {800, 1, ".13"},  {7, 7, "100.00"}, {12, 5, "41.67"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(strScoreText(c.hits, c.solved), c.text) << c.solved << " of " << c.hits;
    }
}

TEST(WorkBookScore, TheScoreIsTheSumsWhateverChangedTheFile) {
    TempFolder folder;
    const std::string path = folder.file("score.brl");
    WriteWorkbookWithTwoGames(path);
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    const Book game({"d4"});
    struct Step {
        const char* name;
        std::function<void()> act;
        bool kept; // the sums are kept and valid after the step
    };
    const std::vector<Step> steps = {
        {"first success", [&] { workbook.UpdateSuccess(1); }, true},
        {"error", [&] { workbook.UpdateError(2); }, true},
        {"result for no game", [&] { workbook.UpdateSuccess(99); }, true},
        {"another program's change",
         [&] { RawDatabase(path).exec("update GameTree set Hits=Hits+5, Solve=3 where ID=2"); },
         false},
        {"success after it", [&] { workbook.UpdateSuccess(2); }, true},
        {"a new game", [&] { workbook.lngSaveGame(game.tree, 0, "new", "", ""); }, false},
        {"error on the new game", [&] { workbook.UpdateError(3); }, true},
        {"deleted game", [&] { workbook.DeleteGame(2); }, false},
        {"success after the deletion", [&] { workbook.UpdateSuccess(1); }, true},
        {"NULL statistics",
         [&] { RawDatabase(path).exec("update GameTree set Hits=NULL, Solve='x' where ID=1"); },
         false},
        {"error on NULL statistics", [&] { workbook.UpdateError(1); }, true},
        {"cleared log", [&] { workbook.ClearLog(); }, true},
        {"results in a batch",
         [&] {
             workbook.BeginBatch();
             workbook.UpdateSuccess(1);
             workbook.UpdateSuccess(3);
             workbook.CommitBatch();
         },
         false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        RawDatabase raw(path);
        int32_t attempts = -1, successes = -1;
        workbook.GetScore(attempts, successes);
        EXPECT_EQ(std::to_string(attempts) + " " + std::to_string(successes),
                  raw.value("select cast(total(Hits) as int) || ' ' || cast(total(Solve) as int) "
                            "from GameTree"));
        const std::string at =
            raw.value("select FieldValue from WorkBook where FieldName='ScoreAt'");
        EXPECT_EQ(at == std::to_string(ChangeCounter(path)), step.kept) << at;
    }
}

// Sums kept by the last commit are what the score shows, without summing again; once anything
// commits after them they count for nothing.
TEST(WorkBookScore, KeptSumsAreTrustedOnlyUntilTheNextCommit) {
    TempFolder folder;
    const std::string path = folder.file("kept.brl");
    WriteWorkbookWithTwoGames(path);
    CWorkBook().strOpenWorkBook(path); // adds the indexes: a commit of its own
    {
        RawDatabase raw(path);
        raw.exec("begin; insert into WorkBook values (NULL,'ScoreHits',70), (NULL,'ScoreSolve',"
                 "50), (NULL,'ScoreAt'," +
                 std::to_string(ChangeCounter(path) + 1) + "); commit");
    }
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    int32_t attempts = 0, successes = 0;
    workbook.GetScore(attempts, successes);
    EXPECT_EQ(attempts * 1000 + successes, 70050);
    RawDatabase(path).exec("update GameTree set Hits=2, Solve=1 where ID=1");
    workbook.GetScore(attempts, successes);
    EXPECT_EQ(attempts * 1000 + successes, 2001);
    // In write-ahead-log mode the counter is not kept: the score is always summed.
    workbook.CloseWorkBook();
    RawDatabase(path).exec("pragma journal_mode=wal");
    workbook.strOpenWorkBook(path);
    workbook.UpdateSuccess(2);
    workbook.GetScore(attempts, successes);
    EXPECT_EQ(attempts * 1000 + successes, 3002);
    EXPECT_EQ(
        RawDatabase(path).value("select count(*) from WorkBook where FieldName like 'Score%'"),
        "0");
}

} // namespace
