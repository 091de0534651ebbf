#pragma once

#include "app/CTrainingFeedback.h"
#include "board/BoardMode.h"
#include "game/TrainingJudgement.h"

#include <cstdint>
#include <memory>
#include <string>

class CGameTree;

// What the training session needs from the window that shows it: the game information, the
// trainee's messages, the success and failure pictures, the error marks, the enabled commands,
// the score, and the few board properties the session drives.
class ITrainingDisplay {
public:
    virtual ~ITrainingDisplay() = default;

    // Shows the description, page reference and diagram reference of the game.
    virtual void ShowGameInfo(const std::string& description, const std::string& pageRef,
                              const std::string& diagramRef) = 0;
    // Shows whose turn it is ("White to play" or "Black to play").
    virtual void ShowToPlay(const std::string& text) = 0;
    // Sets the message to the trainee (line breaks are carriage return plus line feed).
    virtual void ShowMessage(const std::string& text) = 0;
    // Shows or hides the message.
    virtual void SetMessageVisible(bool visible) = 0;
    // Shows or hides the Next command.
    virtual void SetNextVisible(bool visible) = 0;
    // Shows or hides the success picture.
    virtual void SetSuccessVisible(bool visible) = 0;
    // Shows or hides the failure picture.
    virtual void SetFailVisible(bool visible) = 0;
    // Shows or hides error mark k (0 to 2).
    virtual void SetErrorMarkVisible(int k, bool visible) = 0;
    // Enables or disables the Previous game commands.
    virtual void SetPreviousEnabled(bool enabled) = 0;
    // Enables or disables the Show solution commands.
    virtual void SetShowSolutionEnabled(bool enabled) = 0;
    // Shows the score text.
    virtual void ShowScoreText(const std::string& text) = 0;

    // Board: flips it so that White is at the top (true) or at the bottom (false).
    virtual void SetBoardWhiteOnTop(bool whiteOnTop) = 0;
    // Board: the side the program answers for (0 White, 1 Black).
    virtual void SetBoardComputerPlays(int side) = 0;
    // Board: hands it the game tree; the board goes to the tree's first node.
    virtual void SetBoardGameTree(const std::shared_ptr<CGameTree>& tree) = 0;
    // Board: the node keys of the given tree's refuted tries (set after the tree; a display
    // that leaves them out trains every stored move as a solution).
    virtual void SetBoardTrainingTries(const TrainingTries& /*keys*/) {}
    // Board: sets the operating mode (view or training).
    virtual void SetBoardMode(BoardMode mode) = 0;
    // Board: the current operating mode.
    virtual BoardMode boardMode() const = 0;

    // Progress (a display without these shows none of it).
    // Shows the place of the shown game in the batch ("Game 3 of 10", "" for none).
    virtual void ShowGameOfBatch(const std::string& /*text*/) {}
    // Shows the session's own score beside the lifetime score.
    virtual void ShowSessionScoreText(const std::string& /*text*/) {}
    // Board: the refused move is shown on the board, then taken back.
    virtual void ShowRefusedMove() {}
    // Board: after a failure the solution's next move is drawn as an arrow at every step
    // through the line; false takes the arrows away.
    virtual void ShowSolutionMoves(bool /*shown*/) {}
    // Board: the tree being trained, as far as the board has gone in it (nullptr for none).
    virtual std::shared_ptr<CGameTree> objBoardGameTree() const { return nullptr; }
    // The end of a batch: shows its summary and returns the game chosen to train again, 0 to go
    // on with the next batch.
    virtual int32_t lngAskBatchSummary(const TrainingFeedback::BatchSummary& /*summary*/) {
        return 0;
    }
};
