// What the training session tells the trainee about progress: tries left, the ending of a game,
// the place in the batch, the session's own score and the summary at the end of a batch.
#include "app/CTrainingFeedback.h"
#include "app/CTrainingSession.h"

using namespace TrainingFeedback;

void CTrainingSession::NoteWrongMove() {
    if (wrongMoves < intTries) ++wrongMoves;
    display.SetErrorMarkVisible(wrongMoves - 1, true);
    display.ShowRefusedMove();
    if (wrongMoves < intTries) {
        display.ShowMessage(strWrongMove(wrongMoves));
        display.SetMessageVisible(true);
    }
}

void CTrainingSession::NoteResult(int32_t gameId, bool success) {
    ++sessionHits;
    if (success) ++sessionSolved;
    batchResults.push_back({gameId, success});
    ShowScore();
    if (!success) display.ShowSolutionMoves(true);
}

// The message after a recorded ending: the line that solved the game, or how to see the
// solution, which the board shows from here on.
void CTrainingSession::ShowEnding(bool success) {
    std::string text = success ? strSolved(strLinePlayed(display.objBoardGameTree())) : strFailed();
    // The comments of the last stored moves follow the solved line.
    if (success && !turnComments.empty()) text += "\r\n\r\n" + turnComments;
    // A refuted try that used the last wrong move is explained after the failure.
    if (!success && !tryExplanation.empty()) text += "\r\n\r\n" + tryExplanation;
    tryExplanation.clear();
    display.ShowMessage(text);
    display.SetMessageVisible(true);
}

void CTrainingSession::ShowProgress() {
    const bool shown =
        shownGameId != 0 && gameIndex >= 0 && gameIndex < static_cast<int32_t>(gameIds.size());
    display.ShowGameOfBatch(shown ? strGameOf(gameIndex + 1, static_cast<int>(gameIds.size()))
                                  : "");
}

// At the end of a batch with results: the summary, and the game chosen there trained again.
bool CTrainingSession::isTrainingAgainFromSummary() {
    if (batchResults.empty()) return false;
    const int32_t again = display.lngAskBatchSummary(objSummarize(batchResults));
    if (again == 0) {
        batchResults.clear();
        return false;
    }
    TrainGame(again);
    return true;
}

void CTrainingSession::ResetSessionCounts() {
    sessionHits = 0;
    sessionSolved = 0;
    batchResults.clear();
}
