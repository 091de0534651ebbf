#pragma once

#include <string>

class CGameTree;
class CPosition;

// Why the position cannot stand as a test position, in the words the board's setup uses ("The
// white king is missing", "Too many black kings", "A pawn stands on the first or last rank",
// "The side not to move is in check"); "" for a sound position.
std::string strUnsoundReason(const CPosition& position);

// Why the position cannot be played out on the board, to follow a colon ("the side not to move
// is in check", "the position is empty"), or "" when it can.
std::string strUnplayableReason(const CPosition& position);

// The same for the test position (the root) of a game: "the test position is unsound: " and the
// reason in lower case first, "" when it is sound or the tree has no root.
std::string strUnsoundTestPosition(const CGameTree& tree);
