#include "app/CTrainingSession.h"

#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "model/CGameStatus.h"
#include "workbook/CWorkBook.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

const char* const lineBreak = "\r\n";

} // namespace

CTrainingSession::CTrainingSession(ITrainingDisplay& display) : display(display) {}

void CTrainingSession::objWorkBook(std::shared_ptr<CWorkBook> newWorkbook) {
    workbook = std::move(newWorkbook);
    gameIds.clear();
    gameIndex = -1;
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
    for (auto id : RequireWorkBook().arrlngGetGameIDsForTraining(intBatchSize)) {
        batch.push_back(static_cast<int32_t>(id));
    }
    return batch;
}

bool CTrainingSession::StartBatch() {
    gameIds.clear();
    gameIndex = -1;
    std::vector<int32_t> batch = NewBatch();
    if (batch.empty()) return false;
    gameIds = std::move(batch);
    gameIndex = 0;
    ShowGame(gameIds[0]);
    return true;
}

void CTrainingSession::ReadScore() {
    RequireWorkBook().GetScore(hits, solved);
    ShowScore();
}

int32_t CTrainingSession::lngCurrentGameId() const {
    if (gameIndex < 0 || gameIndex >= static_cast<int32_t>(gameIds.size())) return 0;
    return gameIds[static_cast<size_t>(gameIndex)];
}

void CTrainingSession::ShowGame(int32_t gameId) {
    std::string description, pageRef, diagramRef;
    std::shared_ptr<CGameTree> tree =
        RequireWorkBook().objLoadGame(gameId, description, pageRef, diagramRef);
    // Everything that can fail comes before the first change on screen.
    const std::string toPlay = strToPlay(tree);

    display.ShowGameInfo(description, pageRef, diagramRef);
    display.ShowToPlay(toPlay);
    const bool blackToPlay = toPlay == "Black to play";
    display.SetBoardWhiteOnTop(blackToPlay);
    display.SetBoardComputerPlays(blackToPlay ? 0 : 1);
    display.SetBoardGameTree(tree);
    display.SetBoardMode(3);
    wrongMoves = 0;
    ShowErrorMarks(false);
    display.SetNextVisible(false);
    display.SetSuccessVisible(false);
    display.SetFailVisible(false);
    display.ShowMessage(strYourTurnMessage());
    display.SetMessageVisible(true);
    UpdateNavigation();
}

void CTrainingSession::TrainingStatus(const std::string& status) {
    if (status == strWRONG_MOVE) {
        if (wrongMoves < 3) ++wrongMoves;
        display.SetErrorMarkVisible(wrongMoves - 1, true);
    } else if (status == strSUCCESSFUL) {
        RequireWorkBook().UpdateSuccess(RequireCurrentGame());
        ShowErrorMarks(false);
        display.SetNextVisible(true);
        display.SetSuccessVisible(true);
        display.SetFailVisible(false);
        display.SetMessageVisible(false);
        display.SetBoardMode(2);
        ++solved;
        ++hits;
        ShowScore();
    } else {
        display.ShowMessage(strReplyMessage(status));
    }
    if (wrongMoves >= 3) ShowSolution();
}

void CTrainingSession::ShowSolution() {
    if (display.intBoardMode() != 2) {
        RequireWorkBook().UpdateError(RequireCurrentGame());
        display.SetBoardMode(2);
        display.SetNextVisible(true);
        display.SetFailVisible(true);
        display.SetSuccessVisible(false);
        display.SetMessageVisible(false);
        display.SetShowSolutionEnabled(false);
        ShowErrorMarks(false);
        ++hits;
        ShowScore();
    }
    UpdateNavigation();
}

void CTrainingSession::NextGame() {
    if (gameIndex + 1 < static_cast<int32_t>(gameIds.size())) {
        ShowGame(gameIds[static_cast<size_t>(gameIndex) + 1]);
        ++gameIndex;
    } else {
        std::vector<int32_t> batch = NewBatch();
        if (batch.empty()) {
            throw std::runtime_error("The workbook has no games left to train.");
        }
        ShowGame(batch[0]);
        gameIds = std::move(batch);
        gameIndex = 0;
    }
    UpdateNavigation();
}

void CTrainingSession::PreviousGame() {
    if (gameIndex - 1 >= 0) {
        ShowGame(gameIds[static_cast<size_t>(gameIndex - 1)]);
        --gameIndex;
    }
    UpdateNavigation();
}

void CTrainingSession::ClearScores() {
    RequireWorkBook().ClearLog();
    hits = 0;
    solved = 0;
    ShowScore();
}

void CTrainingSession::ShowScore() {
    display.ShowScoreText(strScore(hits, solved));
}

void CTrainingSession::ShowErrorMarks(bool visible) {
    for (int k = 0; k < 3; ++k)
        display.SetErrorMarkVisible(k, visible);
}

void CTrainingSession::UpdateNavigation() {
    display.SetPreviousEnabled(gameIndex != 0);
    display.SetShowSolutionEnabled(display.intBoardMode() != 2);
}

std::string CTrainingSession::strToPlay(const std::shared_ptr<CGameTree>& tree) {
    if (!tree) throw std::runtime_error("This game has no positions; the workbook may be damaged.");
    if (!tree->isExists(CGameNode::strINITIAL_KEY())) {
        throw std::runtime_error("This game has no test position; the workbook may be damaged.");
    }
    const auto& root = tree->Item(CGameNode::strINITIAL_KEY());
    const bool whiteToMove = root->objPosition()->objStatus()->strToString() ==
                             CGameStatus::objWHITE_TO_MOVE()->strToString();
    return whiteToMove ? "White to play" : "Black to play";
}

std::string CTrainingSession::strScore(int32_t hits, int32_t solved) {
    if (hits == 0) return "-----";
    const double percent = static_cast<double>(solved) / hits * 100.0;
    // Halves round away from zero, as the pattern "##.00" does.
    const double rounded = std::round(percent * 100.0) / 100.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", rounded);
    std::string result = text;
    // "##" forces no leading digit: 0.5 shows as ".50".
    if (result.rfind("0.", 0) == 0) result.erase(0, 1);
    if (result.rfind("-0.", 0) == 0) result.erase(1, 1);
    return result;
}

std::string CTrainingSession::strYourTurnMessage() {
    return std::string("It's now your turn.") + lineBreak + "Please make your move.";
}

std::string CTrainingSession::strReplyMessage(const std::string& reply) {
    return std::string("Computer played ") + lineBreak + reply + lineBreak + lineBreak +
           strYourTurnMessage();
}
