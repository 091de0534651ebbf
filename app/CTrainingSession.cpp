#include "app/CTrainingSession.h"

#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/PositionConstructors.h"
#include "game/SideToMove.h"
#include "model/CChessSquare.h"
#include "model/CDiagram.h"
#include "model/CGameStatus.h"
#include "model/Utilities.h"
#include "workbook/CWorkBook.h"
#include "workbook/CWorkBookGameError.h"
#include "workbook/GameRows.h"
#include "workbook/ReviewDay.h"
#include "workbook/ScoreText.h"
#include "workbook/WorkBookProgress.h"
#include "workbook/WriteFailure.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <utility>

namespace {

const char* const lineBreak = "\r\n";

// A tree of one position without pieces: what the board shows while there is no game.
std::shared_ptr<CGameTree> objEmptyBoard() {
    auto position = objNewStartPosition()->objClone();
    std::shared_ptr<CDiagram> diagram = position->objDiagram();
    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank)
            diagram = diagram->objRemove(CChessSquare::objGetSquare(file, rank));
    position->objDiagram(diagram);
    auto tree = std::make_shared<CGameTree>();
    GameNodeList next;
    tree->Add(position, next);
    return tree;
}

} // namespace

CTrainingSession::CTrainingSession(ITrainingDisplay& display) : display(display) {}

void CTrainingSession::objWorkBook(std::shared_ptr<CWorkBook> newWorkbook) {
    workbook = std::move(newWorkbook);
    gameIds.clear();
    gameIndex = -1;
    shownGameId = 0;
    shownToPlay.clear();
    recording_ = true;
    leftOut.clear();
    ResetSessionCounts();
}

CWorkBook& CTrainingSession::RequireWorkBook() const {
    if (!workbook)
        throw std::runtime_error("No workbook is open. Open one with File, Open Workbook.");
    return *workbook;
}

int32_t CTrainingSession::RequireCurrentGame() const {
    // A result without a game of this workbook on the board would count an attempt for nothing.
    const int32_t id = lngCurrentGameId();
    if (id == 0) throw std::runtime_error("No game of this workbook is being trained.");
    return id;
}

std::vector<int32_t> CTrainingSession::NewBatch() const {
    std::vector<int32_t> batch;
    CWorkBook& book = RequireWorkBook();
    // As many more as are left out, so that the others keep their places (up to what one query
    // can ask for).
    const auto count = static_cast<int16_t>(
        intBatchSize + std::min<size_t>(leftOut.size(), INT16_MAX - intBatchSize));
    for (auto id :
         spacedOrder ? book.arrlngGetGameIDsForReview(count, newGamesPerDay, ReviewDay::lngToday())
                     : book.arrlngGetGameIDsForTraining(count)) {
        if (batch.size() < static_cast<size_t>(intBatchSize) &&
            !leftOut.contains(static_cast<int32_t>(id)))
            batch.push_back(static_cast<int32_t>(id));
    }
    return batch;
}

bool CTrainingSession::StartBatch() {
    gameIds.clear();
    gameIndex = -1;
    batchResults.clear();
    std::vector<int32_t> batch = NewBatch();
    if (batch.empty()) {
        ShowNoGames();
        return false;
    }
    gameIds = std::move(batch);
    ShowAt(0);
    return true;
}

// Shows the batch's game at the index. A damaged game, or one without a solution, is left out of
// this batch and the later ones, and the game after it is shown in its place; the error raised at
// the end names them. Any other game that cannot be read leaves the empty board saying so, with the
// batch at its place, so that Next and Previous pass it by; the error is raised.
void CTrainingSession::ShowAt(int32_t index) {
    std::vector<std::string> damaged;
    for (;;) {
        gameIndex = index;
        const int32_t id = gameIds[static_cast<size_t>(index)];
        try {
            ShowGame(id);
            break;
        } catch (const CWorkBookGameError& error) {
            leftOut.insert(id);
            gameIds.erase(gameIds.begin() + index);
            damaged.emplace_back(error.what());
            if (index < static_cast<int32_t>(gameIds.size())) {
                if (gameIds[static_cast<size_t>(index)] != shownGameId) continue;
                break; // the shown game took its place
            }
            gameIndex = static_cast<int32_t>(gameIds.size()) - 1;
            if (!isNextBatch()) break;
            index = 0;
        } catch (const std::exception& error) {
            ShowEmptyBoard("This game cannot be shown." + std::string(lineBreak) +
                           "Go to the next game (Ctrl+N).");
            UpdateNavigation();
            if (damaged.empty()) throw;
            // The games left out on the way are named all the same.
            throw std::runtime_error(strLeftOutMessage(damaged) + lineBreak + error.what());
        }
    }
    UpdateNavigation();
    if (!damaged.empty()) throw std::runtime_error(strLeftOutMessage(damaged));
}

// Past the batch's end: the batch's summary, then a new batch. False when the summary chose a
// game to train again or no game is left to train, each shown.
bool CTrainingSession::isNextBatch() {
    if (isTrainingAgainFromSummary()) return false;
    std::vector<int32_t> batch = NewBatch();
    if (batch.empty()) {
        ShowNoGames();
        return false;
    }
    gameIds = std::move(batch);
    return true;
}

void CTrainingSession::ReadScore() {
    RequireWorkBook().GetScore(hits, solved);
    ShowScore();
}

void CTrainingSession::ShowGame(int32_t gameId) {
    std::string description, pageRef, diagramRef;
    std::shared_ptr<CGameTree> tree =
        RequireWorkBook().objLoadGame(gameId, description, pageRef, diagramRef);
    if (!tree) {
        const std::string name = "Game " + std::to_string(gameId);
        if (!isGameInWorkbook(gameId))
            throw std::runtime_error(name +
                                     " is no longer in the workbook: another program deleted it.");
        throw CWorkBookGameError(gameId, "CTrainingSession",
                                 name + " has no positions: the workbook may be damaged.");
    }
    // With nothing to solve every move would be wrong, and the game would fail every time.
    if (tree->Item(CGameNode::strINITIAL_KEY())->childrenKeys().empty())
        throw CWorkBookGameError(gameId, "CTrainingSession",
                                 "Game " + std::to_string(gameId) +
                                     " has no solution moves: add them in the game editor.");
    // Everything that can fail comes before the first change on screen.
    const std::string toPlay = strToPlay(tree);
    ReadNotes(gameId, tree);
    std::string moves = GameRows::strStoredMoves(tree);

    shownGameId = gameId;
    shownToPlay = toPlay;
    shownMoves = std::move(moves);
    display.ShowGameInfo(description, pageRef, diagramRef);
    display.ShowToPlay(toPlay);
    const bool blackToPlay =
        !tree->Item(CGameNode::strINITIAL_KEY())->objPosition()->isWhiteToMove();
    display.SetBoardWhiteOnTop(blackToPlay);
    display.SetBoardComputerPlays(blackToPlay ? 0 : 1);
    display.SetBoardGameTree(tree);
    display.SetBoardTrainingTries(shownTries);
    display.SetBoardMode(BoardMode::Training);
    wrongMoves = 0;
    shownSince = std::chrono::steady_clock::now();
    ShowErrorMarks(false);
    display.SetNextVisible(false);
    display.SetSuccessVisible(false);
    display.SetFailVisible(false);
    display.ShowMessage(strYourTurnMessage());
    display.SetMessageVisible(true);
    UpdateNavigation();
}

void CTrainingSession::TrainingStatus(const std::string& status) {
    if (shownGameId == 0) return;
    if (status == strWRONG_MOVE) {
        NoteWrongMove();
        // A refuted try comes with its explanation, after the count of tries left, which a
        // long explanation would push out of sight.
        // The last wrong move's explanation goes with the failure that follows.
        if (!tryExplanation.empty() && wrongMoves < TrainingFeedback::intTries) {
            display.ShowMessage(TrainingFeedback::strWrongMove(wrongMoves) + lineBreak + lineBreak +
                                tryExplanation);
            tryExplanation.clear();
        }
    } else if (status == strSUCCESSFUL) {
        NoteStoredMoves();
        EndGame(true);
    } else {
        NoteStoredMoves();
        display.ShowMessage(strWithComments(strReplyMessage(status)));
    }
    if (wrongMoves >= TrainingFeedback::intTries) ShowSolution();
}

void CTrainingSession::ShowSolution() {
    // After the last try the solution comes without being asked for.
    if (shownGameId != 0 && display.boardMode() != BoardMode::View)
        EndGame(false, wrongMoves < TrainingFeedback::intTries);
    UpdateNavigation();
}

bool CTrainingSession::isGameInWorkbook(int32_t id) const {
    return RequireWorkBook().objGetGameRow(id).has_value();
}

// Ends the shown game on screen whatever happens to its record: the board goes to view mode with
// the solution to step through. A result that cannot be written is not counted, the message says
// so, and the reason is raised afterwards for the window to report.
void CTrainingSession::EndGame(bool success, bool solutionShown) {
    const int32_t id = RequireCurrentGame();
    std::string failure;
    if (recording_) {
        try {
            // Deleted and its identifier given to a new game, the game shown is no longer there.
            std::string description, page, diagram;
            const auto stored = workbook->objLoadGame(id, description, page, diagram);
            if (!stored)
                throw std::runtime_error("game " + std::to_string(id) +
                                         " is no longer in the workbook");
            if (GameRows::strStoredMoves(stored) != shownMoves)
                throw std::runtime_error("game " + std::to_string(id) +
                                         " was changed by another program since it was shown");
            workbook->RecordAttempt(objAttempt(id, success, solutionShown));
        } catch (const std::exception& error) {
            failure = strNotRecorded(workbook->strFileName(), error.what());
        }
    }
    wrongMoves = 0;
    ShowErrorMarks(false);
    display.SetBoardMode(BoardMode::View);
    display.SetNextVisible(true);
    display.SetSuccessVisible(success);
    display.SetFailVisible(!success);
    NoteResult(id, success);
    if (recording_ && failure.empty()) {
        // Read back, so that another program's results or Clear Log count as well.
        try {
            workbook->GetScore(hits, solved);
        } catch (const std::exception&) {
            ++hits;
            if (success) ++solved;
        }
        ShowScore();
        ShowEnding(success);
    } else {
        display.ShowMessage(recording_ ? "This result was not recorded."
                                       : "This result was not recorded: the workbook is "
                                         "read-only.");
        display.SetMessageVisible(true);
    }
    UpdateNavigation();
    if (!failure.empty()) throw std::runtime_error(failure);
}

// The steady clock measures the time taken, so that a wall clock set back or forward meanwhile
// changes the attempt's date only.
TrainingAttempt CTrainingSession::objAttempt(int32_t id, bool success, bool solutionShown) const {
    TrainingAttempt attempt;
    attempt.lngGameId = id;
    attempt.lngAttemptedAt = static_cast<int64_t>(std::time(nullptr));
    attempt.isSolved = success;
    attempt.lngWrongMoves = wrongMoves;
    attempt.isSolutionShown = solutionShown;
    attempt.lngSeconds = std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::steady_clock::now() - shownSince)
                             .count();
    return attempt;
}

void CTrainingSession::NextGame() {
    if (gameIndex + 1 < static_cast<int32_t>(gameIds.size())) {
        ShowAt(gameIndex + 1);
        return;
    }
    if (isNextBatch()) ShowAt(0);
}

void CTrainingSession::PreviousGame() {
    if (gameIndex - 1 >= 0)
        ShowAt(gameIndex - 1);
    else
        UpdateNavigation();
}

void CTrainingSession::TrainGame(int32_t gameId) {
    const bool inPlace = gameId == shownGameId && gameIndex >= 0 &&
                         gameIndex < static_cast<int32_t>(gameIds.size()) &&
                         gameIds[static_cast<size_t>(gameIndex)] == gameId;
    ShowGame(gameId); // raises before anything changes when the game cannot be shown
    leftOut.erase(gameId);
    if (!inPlace) {
        int32_t index = gameIndex;
        for (size_t k = 0; k < gameIds.size();) {
            if (gameIds[k] != gameId) {
                ++k;
                continue;
            }
            gameIds.erase(gameIds.begin() + static_cast<std::ptrdiff_t>(k));
            if (static_cast<int32_t>(k) <= index) --index;
        }
        gameIds.insert(gameIds.begin() + (index + 1), gameId);
        gameIndex = index + 1;
    }
    UpdateNavigation();
}

void CTrainingSession::WorkbookEdited(int32_t editedGameId) {
    if (!workbook) return;
    leftOut.erase(editedGameId); // saved again, it has positions
    if (shownGameId == 0) {
        // The empty board of a game that could not be shown keeps a batch that may be all gone.
        if (!gameIds.empty() || RequireWorkBook().lngCountGames() > 0) {
            ReadScore();
            StartBatch();
        }
        return;
    }
    if (!isGameInWorkbook(shownGameId)) {
        ReadScore();
        StartBatch();
        return;
    }
    std::vector<int32_t> kept;
    int32_t index = -1;
    for (size_t k = 0; k < gameIds.size(); ++k) {
        if (static_cast<int32_t>(k) == gameIndex) index = static_cast<int32_t>(kept.size());
        if (static_cast<int32_t>(k) == gameIndex || isGameInWorkbook(gameIds[k]))
            kept.push_back(gameIds[k]);
    }
    gameIds = std::move(kept);
    gameIndex = index;
    // The batch's summary neither counts nor offers again a game that is gone from the batch.
    std::erase_if(batchResults, [this](const TrainingFeedback::GameResult& result) {
        return std::ranges::find(gameIds, result.gameId) == gameIds.end();
    });
    if (editedGameId == shownGameId) ShowGame(shownGameId);
    UpdateNavigation();
}

void CTrainingSession::ShowNoGames() {
    gameIds.clear();
    gameIndex = -1;
    // Games left out and deleted since are left out no longer.
    std::erase_if(leftOut, [this](int32_t id) { return !isGameInWorkbook(id); });
    ShowEmptyBoard(leftOut.empty() ? strNoGamesMessage()
                                   : "No other game can be shown: " +
                                         strCounted(static_cast<int64_t>(leftOut.size()), "game") +
                                         " left out of training.");
    UpdateNavigation();
}

void CTrainingSession::ShowEmptyBoard(const std::string& message) {
    shownGameId = 0;
    shownToPlay.clear();
    wrongMoves = 0;
    ReadNotes(0, nullptr);
    display.ShowGameInfo("", "", "");
    display.ShowToPlay("");
    display.SetBoardWhiteOnTop(false);
    display.SetBoardGameTree(objEmptyBoard());
    display.SetBoardMode(BoardMode::View);
    ShowErrorMarks(false);
    display.SetNextVisible(false);
    display.SetSuccessVisible(false);
    display.SetFailVisible(false);
    display.ShowMessage(message);
    display.SetMessageVisible(true);
}

void CTrainingSession::ClearScores(bool clearHistory) {
    RequireWorkBook().ClearLog(clearHistory);
    hits = 0;
    solved = 0;
    ShowScore();
}

void CTrainingSession::ShowScore() {
    display.ShowScoreText(strScoreText(hits, solved));
    display.ShowSessionScoreText(TrainingFeedback::strSessionScore(sessionHits, sessionSolved));
}

void CTrainingSession::ShowErrorMarks(bool visible) {
    for (int k = 0; k < TrainingFeedback::intTries; ++k)
        display.SetErrorMarkVisible(k, visible);
}

void CTrainingSession::UpdateNavigation() {
    display.SetPreviousEnabled(gameIndex > 0);
    display.SetShowSolutionEnabled(shownGameId != 0 && display.boardMode() != BoardMode::View);
    ShowProgress();
}

std::string CTrainingSession::strToPlay(const std::shared_ptr<CGameTree>& tree) {
    if (!tree) throw std::runtime_error("This game has no positions; the workbook may be damaged.");
    if (!tree->isExists(CGameNode::strINITIAL_KEY())) {
        throw std::runtime_error("This game has no test position; the workbook may be damaged.");
    }
    const auto& root = tree->Item(CGameNode::strINITIAL_KEY());
    const bool whiteToMove = root->objPosition()->isWhiteToMove();
    return whiteToMove ? "White to play" : "Black to play";
}

std::string CTrainingSession::strGameEnd(const CPosition& position) {
    return strGameEndOf(position);
}

std::string CTrainingSession::strNoGamesMessage() {
    return std::string("The workbook is empty.") + lineBreak +
           "Add games with File, Games... (Ctrl+G) or File, Import PGN...";
}

std::string CTrainingSession::strLeftOutMessage(const std::vector<std::string>& damaged) {
    // A whole damaged workbook names a few games, not a box taller than the screen.
    constexpr size_t named = 5;
    std::string text;
    for (size_t k = 0; k < std::min(damaged.size(), named); ++k)
        text += damaged[k] + lineBreak;
    if (damaged.size() > named)
        text += "And " + strCounted(static_cast<int64_t>(damaged.size() - named), "more game") +
                " like them." + lineBreak;
    return text + (damaged.size() == 1 ? "It is" : "They are") + " left out of training.";
}

std::string CTrainingSession::strNotRecorded(const std::string& file, const std::string& error) {
    return "The result could not be recorded in " + file + ": " + strWriteFailureReason(error) +
           lineBreak + "This game counts as not recorded.";
}

std::string CTrainingSession::strYourTurnMessage() {
    return std::string("It's now your turn.") + lineBreak + "Please make your move.";
}

std::string CTrainingSession::strReplyMessage(const std::string& reply) {
    return std::string("Computer played ") + lineBreak + reply + lineBreak + lineBreak +
           strYourTurnMessage();
}
