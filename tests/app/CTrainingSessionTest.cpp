// The training session over a real workbook file, shown on a display that keeps what it is told.
#include "app/CTrainingSession.h"

#include "game/CGameTree.h"
#include "tests/app/TestWorkbook.h"
#include "tests/workbook/RawDatabase.h"
#include "workbook/CWorkBook.h"

#include <QTemporaryDir>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

// Matches a call that raises an exception with exactly this message.
auto Raises(const std::string& message) {
    return testing::ThrowsMessage<std::exception>(message);
}

// Keeps the state a window would show, so that tests read it as a user would see it.
struct RecordingDisplay : ITrainingDisplay {
    std::string description, toPlay, message;
    bool previousEnabled = true;
    BoardMode mode = BoardMode::FreePlay;

    void ShowGameInfo(const std::string& text, const std::string&, const std::string&) override {
        description = text;
    }
    void ShowToPlay(const std::string& text) override { toPlay = text; }
    void ShowMessage(const std::string& text) override { message = text; }
    void SetMessageVisible(bool) override {}
    void SetNextVisible(bool) override {}
    void SetSuccessVisible(bool) override {}
    void SetFailVisible(bool) override {}
    void SetErrorMarkVisible(int, bool) override {}
    void SetPreviousEnabled(bool enabled) override { previousEnabled = enabled; }
    void SetShowSolutionEnabled(bool) override {}
    void ShowScoreText(const std::string&) override {}
    void SetBoardWhiteOnTop(bool) override {}
    void SetBoardComputerPlays(int) override {}
    void SetBoardGameTree(const std::shared_ptr<CGameTree>&) override {}
    void SetBoardMode(BoardMode value) override { mode = value; }
    BoardMode boardMode() const override { return mode; }
};

class TrainingSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        file = dir.filePath("four.brl").toStdString();
        ids = testwb::Build(file, testwb::fourGamesPgn);
        ASSERT_EQ(ids.size(), 4u);
        workbook = std::make_shared<CWorkBook>();
        workbook->strOpenWorkBook(file);
        session.objWorkBook(workbook);
    }

    QTemporaryDir dir;
    std::string file;
    std::vector<int32_t> ids;
    std::shared_ptr<CWorkBook> workbook;
    RecordingDisplay display;
    CTrainingSession session{display};
};

TEST(TrainingMessages, AResultNotRecordedNamesTheFileAndTheReasonInPlainWords) {
    const std::pair<const char*, const char*> cases[] = {
        {"attempt to write a readonly database", "the file cannot be written (it is read-only)."},
        {"unable to open database file", "the file or its folder cannot be written."},
        {"database or disk is full", "the disk is full."},
        {"disk I/O error", "the disk reported an error."},
        {"database is locked", "another program is using the workbook."},
    };
    for (const auto& [error, reason] : cases) {
        EXPECT_EQ(CTrainingSession::strNotRecorded("/home/me/book.brl", error),
                  std::string("The result could not be recorded in /home/me/book.brl: ") + reason +
                      "\r\nThis game counts as not recorded.");
    }
}

TEST_F(TrainingSessionTest, NextAfterTheLastGameChoosesANewBatchFromTheResults) {
    ASSERT_TRUE(session.StartBatch());
    session.TrainingStatus("Successful"); // game 1 solved
    session.NextGame();
    for (int k = 0; k < 3; ++k) // game 2 failed by the third wrong move
        session.TrainingStatus(CTrainingSession::strWRONG_MOVE);
    EXPECT_EQ(testwb::Read(file, ids[1]).hits, 1);
    EXPECT_TRUE(display.previousEnabled);
    session.PreviousGame();
    EXPECT_EQ(session.lngGameIndex(), 0);
    session.TrainingStatus(CTrainingSession::strWRONG_MOVE); // two tries used, game 1 left
    session.TrainingStatus(CTrainingSession::strWRONG_MOVE);
    session.NextGame();
    session.TrainingStatus(CTrainingSession::strWRONG_MOVE); // game 2 has its own three tries
    EXPECT_EQ(display.mode, BoardMode::Training);
    for (int k = 0; k < 3; ++k) // games 3 and 4 left without a result; a new batch
        session.NextGame();
    // Failed first, then the untried by id, the solved one last.
    const std::vector<int32_t> expected = {ids[1], ids[2], ids[3], ids[0]};
    EXPECT_EQ(session.arrlngGameIDs(), expected);
    EXPECT_EQ(display.description, "Black mates on the back rank");
    EXPECT_EQ(display.toPlay, "Black to play");
    EXPECT_FALSE(display.previousEnabled);
    session.PreviousGame(); // no further back than the first game
    EXPECT_EQ(session.lngGameIndex(), 0);
    EXPECT_EQ(testwb::Read(file, ids[2]).hits, 0);
    // Another program clears the log: the next result counts from there.
    CWorkBook other;
    other.strOpenWorkBook(file);
    other.ClearLog();
    session.TrainingStatus("Successful");
    EXPECT_EQ(session.lngHits(), 1);
    session.NextGame();
    // Renamed while open, the file takes no result, and the reason says so, not "read-only".
    std::filesystem::rename(file, file + ".moved");
    EXPECT_THAT([&] { session.ShowSolution(); },
                Raises("The result could not be recorded in " + file +
                       ": the file was renamed, moved or deleted after it was opened.\r\nThis "
                       "game counts as not recorded."));
}

TEST_F(TrainingSessionTest, GamesGoneFromTheFileLeaveTheEmptyBoardWithoutErrorBoxes) {
    ASSERT_TRUE(session.StartBatch());
    session.TrainingStatus("Successful");
    for (int i = 0; i < 3; ++i)
        session.NextGame();
    // The shown game edited behind the session's back (its moves now another game's), then
    // replaced, its identifier given to another program's new game: its ending is not counted,
    // there or anywhere (the first game's success is, until the session is told of the
    // deletions), and the reason says which happened.
    const std::string shown = std::to_string(ids[3]);
    const std::string nodes = "delete from GameNode where GameTreeID=" + shown;
    const std::pair<std::string, std::string> changes[] = {
        {nodes + "; update GameNode set GameTreeID=" + shown +
             " where GameTreeID=" + std::to_string(ids[1]),
         " was changed by another program since it was shown"},
        {nodes + "; delete from GameTree where ID=" + shown + "; insert into GameTree values (" +
             shown + ",'new','','',0,0,0,0)",
         " is no longer in the workbook"}};
    for (const auto& [sql, reason] : changes) {
        RawDatabase(file).exec(sql);
        display.mode = BoardMode::Training;
        EXPECT_THAT([&] { session.ShowSolution(); },
                    Raises(CTrainingSession::strNotRecorded(file, "game " + shown + reason)));
    }
    EXPECT_EQ(testwb::Read(file, ids[3]).hits, 0);
    for (int32_t id : ids)
        workbook->DeleteGame(id);
    EXPECT_EQ(session.lngHits(), 1);
    // The previous game has no nodes any more: an error, and the board says so instead of
    // keeping the game before; the batch moves on, so that the games after it stay reachable.
    EXPECT_THAT([&] { session.PreviousGame(); },
                Raises("Game " + std::to_string(ids[2]) +
                       " is no longer in the workbook: another program deleted it."));
    EXPECT_EQ(session.lngGameIndex(), 2);
    EXPECT_EQ(session.lngCurrentGameId(), 0);
    EXPECT_EQ(display.mode, BoardMode::View);
    EXPECT_EQ(display.description, "");
    EXPECT_THROW(session.NextGame(), std::exception);
    EXPECT_EQ(session.lngGameIndex(), 3);
    session.WorkbookEdited(); // told of the deletions, the session drops the batch
    EXPECT_TRUE(session.arrlngGameIDs().empty());
    EXPECT_TRUE(session.arrBatchResults().empty()); // no summary counts a game gone
    // Past the batch there is nothing left: the empty board says how to add games.
    session.NextGame();
    EXPECT_EQ(display.message, CTrainingSession::strNoGamesMessage());
    // Whatever the board reports, no result is counted without a game of this workbook.
    display.mode = BoardMode::Training;
    EXPECT_NO_THROW(session.ShowSolution());
    EXPECT_NO_THROW(session.TrainingStatus("Successful"));
    EXPECT_EQ(session.lngHits(), 0);
}

TEST_F(TrainingSessionTest, ADamagedGameIsNamedOnceAndLeftOutOfTheBatches) {
    const auto damage = [&](int32_t id) { // its rows kept aside, to be mended
        const std::string game = "GameTreeID=" + std::to_string(id);
        RawDatabase(file).exec("create table if not exists Kept as select * from GameNode where 0;"
                               "insert into Kept select * from GameNode where " +
                               game + "; delete from GameNode where " + game);
    };
    const auto named = [](int32_t id) {
        return "Game " + std::to_string(id) + " has no positions: the workbook may be damaged.\r\n";
    };
    const auto next = [&] { session.NextGame(); };
    damage(ids[1]);
    ASSERT_TRUE(session.StartBatch());
    EXPECT_THAT(next, Raises(named(ids[1]) + "It is left out of training."));
    // The batch goes on without it, and no later batch brings it back; it stays as it is.
    EXPECT_EQ(session.lngCurrentGameId(), ids[2]);
    EXPECT_NO_THROW(session.NextGame());
    EXPECT_NO_THROW(session.NextGame());
    EXPECT_EQ(session.arrlngGameIDs(), (std::vector<int32_t>{ids[0], ids[2], ids[3]}));
    EXPECT_EQ(session.lngCurrentGameId(), ids[0]);
    EXPECT_EQ(testwb::Read(file, ids[1]).hits, 0);
    // A game without a solution (a PGN game of only a comment) is left out on the way to a game
    // another program deleted, which cannot be shown: both are named in one message.
    const std::string gone = std::to_string(ids[3]);
    RawDatabase(file).exec(
        "delete from GameNode where NodeParentKey <> '' and GameTreeID=" + std::to_string(ids[2]) +
        "; delete from GameNode where GameTreeID=" + gone +
        "; delete from GameTree where ID=" + gone);
    EXPECT_THAT(next, Raises("Game " + std::to_string(ids[2]) +
                             " has no solution moves: add them in the game editor.\r\n" +
                             "It is left out of training.\r\nGame " + gone +
                             " is no longer in the workbook: another program deleted it."));
    // None left to train: the board says so, not that the workbook is empty.
    damage(ids[0]);
    EXPECT_THAT(next, Raises(named(ids[0]) + "It is left out of training."));
    EXPECT_EQ(display.message, "No other game can be shown: 3 games left out of training.");
    // Mended and chosen again, a game left out comes back into the batches.
    RawDatabase(file).exec("insert into GameNode select * from Kept where GameTreeID=" +
                           std::to_string(ids[1]));
    session.TrainGame(ids[1]);
    session.NextGame();
    EXPECT_EQ(session.arrlngGameIDs(), std::vector<int32_t>{ids[1]});
    // Far more damaged games than a batch, all failed before: five are named, then their count,
    // and training reaches the good game behind them.
    RawDatabase(file).exec("with recursive n(i) as (select 1001 union all select i + 1 from n "
                           "where i < 3000) insert into GameTree select i, '', '', '', 9, 0, 9, 0 "
                           "from n");
    EXPECT_THAT([&] { session.StartBatch(); },
                Raises(named(1001) + named(1002) + named(1003) + named(1004) + named(1005) +
                       "And 1995 more games like them.\r\nThey are left out of training."));
    EXPECT_EQ(session.lngCurrentGameId(), ids[1]);
    // Deleted since, the games left out are not counted: the workbook is empty.
    RawDatabase(file).exec("delete from GameTree");
    session.NextGame();
    EXPECT_EQ(display.message, CTrainingSession::strNoGamesMessage());
}

TEST_F(TrainingSessionTest, AChosenGameJoinsTheBatchAfterTheShownGame) {
    // A game that could not be shown, chosen once it can be read again, keeps its place.
    ASSERT_TRUE(session.StartBatch());
    RawDatabase(file).exec("alter table GameNode rename to Hidden");
    EXPECT_THROW(session.NextGame(), std::exception);
    RawDatabase(file).exec("alter table Hidden rename to GameNode");
    session.TrainGame(ids[1]);
    EXPECT_EQ(session.arrlngGameIDs(), ids);
    EXPECT_EQ(session.lngGameIndex(), 1);
    // Next presses before the choice, the chosen game and the batch afterwards (as indexes in
    // the file order), the shown game's place in it.
    const std::tuple<int, int, std::vector<int>, int> cases[] = {
        {0, 2, {0, 2, 1, 3}, 1}, // a later game moves up
        {2, 0, {1, 2, 0, 3}, 2}, // an earlier game moves down
        {3, 3, {0, 1, 2, 3}, 3}, // the shown game itself starts again in place
    };
    for (const auto& [nexts, chosen, batch, index] : cases) {
        ASSERT_TRUE(session.StartBatch());
        for (int k = 0; k < nexts; ++k)
            session.NextGame();
        session.TrainGame(ids[chosen]);
        std::vector<int32_t> expected;
        for (int k : batch)
            expected.push_back(ids[k]);
        EXPECT_EQ(session.arrlngGameIDs(), expected) << "chosen " << chosen;
        EXPECT_EQ(session.lngGameIndex(), index);
        EXPECT_EQ(session.lngCurrentGameId(), ids[chosen]);
    }
    session.ShowSolution();
    // A game deleted elsewhere leaves the batch; the shown one deleted takes its result along.
    workbook->DeleteGame(ids[1]);
    session.WorkbookEdited();
    EXPECT_EQ(session.arrlngGameIDs(), (std::vector<int32_t>{ids[0], ids[2], ids[3]}));
    EXPECT_EQ(session.lngGameIndex(), 2);
    EXPECT_EQ(session.lngHits(), 1);
    workbook->DeleteGame(ids[3]);
    session.WorkbookEdited();
    EXPECT_EQ(session.lngHits(), 0);
    EXPECT_EQ(session.arrlngGameIDs(), (std::vector<int32_t>{ids[0], ids[2]})); // a new batch
    // A game with a result deleted while another is shown: the summary no longer offers it.
    session.ShowSolution();
    const int32_t failed = session.lngCurrentGameId();
    session.NextGame();
    workbook->DeleteGame(failed);
    session.WorkbookEdited();
    EXPECT_TRUE(session.arrBatchResults().empty());
}

} // namespace
