#pragma once

#include "app/ITrainingDisplay.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

class CGameTree;
class CPosition;
class CWorkBook;
struct TrainingAttempt;

// One training session over an open workbook: batches of games in the workbook's priority order,
// one game at a time on the board in training mode, each result recorded at once, and the
// running score. It drives a display and never touches widgets itself.
class CTrainingSession {
public:
    // Texts the board reports through its training event.
    static constexpr const char* strWRONG_MOVE = "Wrong move";
    static constexpr const char* strSUCCESSFUL = "Successful";

    // A session that shows itself on the display; the workbook is set once it is open.
    explicit CTrainingSession(ITrainingDisplay& display);

    // Uses the given open workbook from now on: no game is shown and the batch is empty until
    // StartBatch (the running totals stay until ReadScore).
    void objWorkBook(std::shared_ptr<CWorkBook> workbook);
    // The workbook in use, nullptr before one is set.
    std::shared_ptr<CWorkBook> objWorkBook() const { return workbook; }

    // Chooses the first batch and shows its first game; without games it shows the empty board
    // and says how to add games, and returns false.
    bool StartBatch();
    // Whether results are written to the workbook (false for a workbook that cannot be written:
    // games are trained and judged, and each ending says that it was not recorded).
    void isRecording(bool recording) { recording_ = recording; }
    bool isRecording() const { return recording_; }
    // The order of the next batches: spaced repetition (due games, then up to newPerDay new
    // games a day) or, by default, the classic worst-first order.
    void SetSpacedOrder(bool spaced, int32_t newPerDay) {
        spacedOrder = spaced;
        newGamesPerDay = newPerDay;
    }
    // Reads the running totals from the workbook and shows the score.
    void ReadScore();

    // Loads the game and shows it on the board in training mode with the side to move at the
    // bottom; from then on its results are the ones recorded.
    void ShowGame(int32_t gameId);
    // Trains a game chosen outside the batch order: it is put into the batch right after the
    // game shown so far (moved there when the batch held it already), so that Previous goes
    // back to that game and Next goes on with the rest of the batch.
    void TrainGame(int32_t gameId);
    // Games were added, changed or deleted elsewhere: games gone leave the batch; the shown game
    // and the running score stay unless the shown game is gone (then the score is read again and
    // a new batch starts), and a workbook that had no games starts its first batch, as does the
    // empty board of a game that could not be shown. The edited game, when it is the shown one,
    // is shown again from its start.
    void WorkbookEdited(int32_t editedGameId = 0);
    // Shows the empty board and the message that says how to add games.
    void ShowNoGames();
    // Reacts to the board's judgement: a wrong move, a solved game or the program's reply.
    void TrainingStatus(const std::string& status);
    // The board refused the stored try with this node key: its explanation goes with the wrong
    // move that follows.
    void RefutedTry(const std::string& nodeKey);
    // Ends the running game as a failure and lets the trainee step through the solution.
    void ShowSolution();
    // Shows the next game of the batch; after the last one a new batch is chosen.
    void NextGame();
    // Shows the previous game of the batch.
    void PreviousGame();
    // Clears every statistic of the workbook and the running totals; with clearHistory, the
    // attempt history too.
    void ClearScores(bool clearHistory = false);

    // Shows the score text for the running totals.
    void ShowScore();
    // Shows or hides all three error marks.
    void ShowErrorMarks(bool visible);
    // Enables Previous game and Show solution according to the session's state.
    void UpdateNavigation();

    // "White to play" or "Black to play" for the tree's test position.
    static std::string strToPlay(const std::shared_ptr<CGameTree>& tree);
    // "Checkmate" or "Stalemate" for a position that ends the game, "" otherwise.
    static std::string strGameEnd(const CPosition& position);
    // The side-to-play line of the shown game ("" when no game is shown).
    const std::string& strShownToPlay() const { return shownToPlay; }
    // The message shown while the workbook has no games.
    static std::string strNoGamesMessage();
    // The text of a result that could not be written: the file, the reason in plain words.
    static std::string strNotRecorded(const std::string& file, const std::string& error);
    // The damaged games met in one step, named for the player (a few of them, then their count).
    static std::string strLeftOutMessage(const std::vector<std::string>& damaged);
    // The message shown with a fresh game.
    static std::string strYourTurnMessage();
    // The message shown after the program played the reply.
    static std::string strReplyMessage(const std::string& reply);

    // The current batch of game identifiers.
    const std::vector<int32_t>& arrlngGameIDs() const { return gameIds; }
    // Index of the shown game in the batch, -1 before the first game.
    int32_t lngGameIndex() const { return gameIndex; }
    // Identifier of the shown game (the game whose result is recorded), 0 when none is shown.
    int32_t lngCurrentGameId() const { return shownGameId; }
    // Wrong moves in the running game (0 to 3).
    int intWrongMoves() const { return wrongMoves; }
    // Attempts counted for the score.
    int32_t lngHits() const { return hits; }
    // Successes counted for the score.
    int32_t lngSolved() const { return solved; }
    // Games in one batch.
    static constexpr int intBatchSize = 10;

    // Attempts ended in this session (recorded or not), and how many of them were solved.
    int32_t lngSessionHits() const { return sessionHits; }
    int32_t lngSessionSolved() const { return sessionSolved; }
    // The results of the running batch, in the order the games ended.
    const std::vector<TrainingFeedback::GameResult>& arrBatchResults() const {
        return batchResults;
    }

private:
    std::vector<int32_t> NewBatch() const;
    CWorkBook& RequireWorkBook() const;
    int32_t RequireCurrentGame() const;
    void EndGame(bool success, bool solutionShown = false);
    TrainingAttempt objAttempt(int32_t id, bool success, bool solutionShown) const;
    void ShowEmptyBoard(const std::string& message);
    void ShowAt(int32_t index);
    bool isNextBatch();
    bool isGameInWorkbook(int32_t id) const;
    // the shown game's marks and comments (CTrainingSessionNotes.cpp)
    void ReadNotes(int32_t gameId, const std::shared_ptr<CGameTree>& tree);
    void NoteStoredMoves();
    std::string strWithComments(const std::string& message) const;
    TrainingComments objCommentOf() const;
    // Progress feedback (CTrainingSessionFeedback.cpp).
    void NoteWrongMove();
    void NoteResult(int32_t gameId, bool success);
    void ShowEnding(bool success);
    void ShowProgress();
    bool isTrainingAgainFromSummary();
    void ResetSessionCounts();

    ITrainingDisplay& display;
    std::shared_ptr<CWorkBook> workbook;
    std::vector<int32_t> gameIds;
    int32_t gameIndex = -1;
    int32_t shownGameId = 0;
    std::string shownToPlay;
    // The shown game's positions and moves as stored (GameRows::strStoredMoves).
    std::string shownMoves;
    bool recording_ = true;
    bool spacedOrder = false;
    int32_t newGamesPerDay = 20;
    int wrongMoves = 0;
    std::chrono::steady_clock::time_point shownSince;
    int32_t hits = 0;
    int32_t solved = 0;
    // The shown game's tree, its refuted tries and comments after moves (by node key), the node
    // where the trainee's turn began, the comments of the stored moves played since then and
    // the explanation of a refuted try waiting for its wrong move.
    std::shared_ptr<CGameTree> shownTree;
    TrainingTries shownTries;
    std::unordered_map<std::string, std::string> shownComments;
    std::string turnKey;
    std::string turnComments;
    std::string tryExplanation;
    int32_t sessionHits = 0;
    int32_t sessionSolved = 0;
    std::vector<TrainingFeedback::GameResult> batchResults;
    // Games of this workbook that could not be read when their turn came: named once, then left
    // out of every batch (until one of them is saved or chosen again and reads).
    std::set<int32_t> leftOut;
};
