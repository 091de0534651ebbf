#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CGameTree;

// The texts the training window shows about the trainee's progress: a refused move and the tries
// left, a solved game with its line, a failure, the place in the batch, the session's own score
// and the summary at the end of a batch.
namespace TrainingFeedback {

// Wrong moves a game allows; the last one ends it as a failure.
constexpr int intTries = 3;

// "Not the solution. 2 tries left." / "... 1 try left." while tries remain; the text of the
// failure when none remains.
std::string strWrongMove(int wrongMoves);
// "Solved" with the line that was played, when there is one.
std::string strSolved(const std::string& line);
// What the trainee reads after a failure or Show solution: the arrow and the keys to step.
std::string strFailed();
// "Game 3 of 10"; "" for no game.
std::string strGameOf(int number, int count);
// "Session: 2 of 3 solved" from the session's own results; "" before the first result.
std::string strSessionScore(int32_t attempts, int32_t solved);
// The moves from the test position to the tree's current node, numbered as a score sheet
// ("1. e4 e5 2. Nf3", "12... Qh4#"); "" for no tree or no move.
std::string strLinePlayed(const std::shared_ptr<CGameTree>& tree);

// One game's last result in the batch.
struct GameResult {
    int32_t gameId = 0;
    bool solved = false;
};

// What the end of a batch shows: the counts and the games to look at again, in batch order.
struct BatchSummary {
    int solved = 0;
    int failed = 0;
    std::vector<int32_t> again;
};

// The summary of a batch's results; a game trained twice counts with its last result.
BatchSummary objSummarize(const std::vector<GameResult>& results);
// "7 solved, 3 failed." (the heading line of the summary).
std::string strSummaryCounts(const BatchSummary& summary);

} // namespace TrainingFeedback
