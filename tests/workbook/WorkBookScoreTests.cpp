// The score and the page and chapter figures kept beside the games: always the sums over the
// games, whoever changed the file.
#include "SampleGames.h"
#include "tests/progress/ProgressWorkbook.h"
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

// The score and the page and chapter figures are kept up to date with each result; after every
// kind of write they are the sums a new connection works out afresh.
TEST(WorkBookScore, TheScoreAndTheGroupFiguresAreTheSumsWhateverChangedTheFile) {
    TempFolder folder;
    const std::string path = folder.file("score.brl");
    CWorkBook().strOpenWorkBook(path);
    // Pages with blanks around them or none; chapters from the leading word, one from a tag;
    // counters that are NULL, text, zero, or more successes than attempts.
    RawDatabase(path).exec(
        "insert into GameTree (ID, Description, XRefPage, Hits, Solve) values "
        "(1, 'Fork: knight', ' p.1 ', 3, 1), (2, 'Fork queen', 'p.1', 2, 2), (3, 'Pin', 'p.2', 0, "
        "0), (4, null, null, null, null), (5, 'Pin this', 'p.2', 'x', 'y'), (6, 'Mate', 'p.3', 2, "
        "5), (7, 'Mate in 2', 'p.3', 4, 0); insert into GameTag values (7, '[Chapter "
        "\"Endings\"]')");
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
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
    struct Step {
        const char* name;
        std::function<void()> act;
        bool kept; // the score's sums are kept and valid after the step
    };
    const std::vector<Step> steps = {
        {"a failure", [&] { workbook.UpdateError(1); }, true},
        {"an untried game's first success", [&] { workbook.UpdateSuccess(3); }, true},
        {"a game without counters", [&] { workbook.UpdateError(4); }, true},
        {"text counters", [&] { workbook.UpdateSuccess(5); }, true},
        {"more successes than attempts", [&] { workbook.UpdateError(6); }, true},
        {"a game in a tagged chapter", [&] { workbook.UpdateSuccess(7); }, true},
        {"a game that does not exist", [&] { workbook.UpdateSuccess(99); }, true},
        {"another program's change and a result after it",
         [&] {
             RawDatabase(path).exec("update GameTree set XRefPage='p.9', Hits=9 where ID=2");
             workbook.UpdateSuccess(2);
         },
         true},
        {"a new game", [&] { workbook.lngSaveGame(game.tree, 0, "new", "", ""); }, false},
        {"a result on the new game", [&] { workbook.UpdateError(8); }, true},
        {"a batch rolled back",
         [&] {
             workbook.BeginBatch();
             workbook.UpdateError(1);
             workbook.RollbackBatch();
         },
         true},
        {"a batch committed",
         [&] {
             workbook.BeginBatch();
             workbook.UpdateSuccess(1);
             workbook.UpdateError(6);
             workbook.CommitBatch();
         },
         false},
        {"a batch begun twice",
         [&] {
             workbook.BeginBatch();
             workbook.UpdateError(1);
             workbook.BeginBatch();
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
        {"NULL statistics",
         [&] { RawDatabase(path).exec("update GameTree set Hits=NULL, Solve='x' where ID=1"); },
         false},
        {"a result on NULL statistics", [&] { workbook.UpdateError(1); }, true},
        {"a deleted game", [&] { workbook.DeleteGame(6); }, false},
        {"a result after the deletion", [&] { workbook.UpdateSuccess(1); }, true},
        {"the log cleared", [&] { workbook.ClearLog(); }, true},
        {"a result after that", [&] { workbook.UpdateError(7); }, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(groups(workbook.objStatistics()), fresh());
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
    RawDatabase(path).exec(
        "begin; update WorkBook set FieldValue='50' where FieldName='ScoreSolve'; "
        "update WorkBook set FieldValue=FieldValue+1 where FieldName='ScoreAt'; commit");
    workbook.GetScore(attempts, successes);
    EXPECT_EQ(attempts * 1000 + successes, 0) << "kept sums that are no numbers";
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
