#pragma once

#include "board/BoardMode.h"
#include "game/TrainingJudgement.h"

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
};
