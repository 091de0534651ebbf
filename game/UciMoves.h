#pragma once

#include <memory>
#include <string>

class CPosition;

// Conversions between the program's positions and moves and the UCI protocol's forms.

// The FEN an engine may rely on: six fields, castling rights only where king and rook still
// stand on their home squares (engines misbehave on rights that the pieces contradict).
std::string strEngineFen(const CPosition& position, int fullMoveNumber = 1);

// True for text of the UCI move form: two squares and an optional promotion letter (q, r, b, n).
bool isUciMoveText(const std::string& uci);

// Plays a UCI move ("e2e4", "e7e8q", "e1g1") on the position; nothing when it is unreadable or
// illegal there.
std::shared_ptr<CPosition> objPlayUciMove(const CPosition& position, const std::string& uci);

// The UCI form of a move given as move text in the position; "" when the text is no legal move.
std::string strUciOfMoveText(const CPosition& position, const std::string& moveText);

// Move text without the marks that do not change the move ("+", "#", "!", "?").
std::string strBareMoveText(const std::string& moveText);
