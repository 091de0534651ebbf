#pragma once

#include "game/CGameTree.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <unordered_set>

// How a move the trainee made at a node of a stored game is taken.
enum class TrainingVerdict {
    NotStored,  // no stored move: a wrong move
    Solution,   // a stored move: it is played and the line goes on
    RefutedTry, // a stored move marked as a mistake beside an unmarked one: a wrong move that
                // comes with its comment and refutation
};

// The verdict on a trainee's move and the stored node it names.
struct TrainingJudgement {
    TrainingVerdict verdict = TrainingVerdict::NotStored;
    // The stored move's node; nullptr for a move that is not stored.
    std::shared_ptr<CGameNode> objNode;
};

// The node keys of the stored moves that carry a mistake mark.
using TrainingTries = std::unordered_set<std::string>;
// The comment said after a stored move, by its node key ("" for none).
using TrainingComments = std::function<std::string(const std::string& key)>;

// True for the glyphs that mark a move as a mistake: "?" (2), "??" (4) and "?!" (6).
bool isMistakeGlyph(int nag);

// The stored moves that follow the node (nodes with a position), in stored order; none (nor a
// node) means the line is finished. The questions below take this list, made once per node.
GameNodeList arrStoredMoves(const CGameTree& tree, const std::shared_ptr<CGameNode>& node);

// Judges a move text made where the stored moves follow: the stored move with the same text
// (check, mate and pawn letters aside) is a solution, or a refuted try when its key is among the
// tries and an unmarked stored move stands beside it (a marked move that is the only way on stays
// the solution).
TrainingJudgement objJudgeTrainingMove(const GameNodeList& storedMoves, const std::string& moveText,
                                       const TrainingTries& tries);

// The program's reply: one of the stored moves, chosen evenly with the generator; nullptr when
// none is stored.
std::shared_ptr<CGameNode> objChooseReply(const GameNodeList& storedMoves, std::mt19937& random);

// The stored refutation of a try: the main line below it, at most maxMoves moves.
GameNodeList arrRefutation(const CGameTree& tree, const std::shared_ptr<CGameNode>& tryNode,
                           size_t maxMoves);

// The node's move with its number as a book writes it alone: "4.Qh3", "4...Qxd5".
std::string strNumberedMove(const CGameNode& node);

// Why a refuted try fails, for the trainee: the try, its comment and the stored refutation with
// the comments on it ("4.Qh3 is timid: after 4...Qxd5 5.Nc3 Qa5").
std::string strTryExplanation(const CGameTree& tree, const std::shared_ptr<CGameNode>& tryNode,
                              const TrainingComments& commentOf);

// The comment after a stored move as the trainee reads it ("4.Nf3 wins a piece"); "" when the
// move has no comment.
std::string strMoveComment(const CGameNode& node, const TrainingComments& commentOf);
