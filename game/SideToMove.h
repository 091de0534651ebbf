#pragma once

#include <memory>
#include <string>

class CGameStatus;
class CPosition;

// The side to move in the position, final positions included: after a mate the side that is
// mated, after a stalemate the side that has no move. True for White. A position whose status
// names no side (a game that was abandoned) counts as Black, as its FEN always did.
bool isWhiteSideToMove(const CPosition& position);

// The move text that led to the position as lists show it: the text given, without any check or
// mate sign, followed by "#" when the position is a mate and "+" when the side to move is in
// check.
std::string strWithCheckSign(const CPosition& position, std::string text);

// How a position ends the game, if it does.
enum class GameEnd { None, Checkmate, Stalemate };

// The way the position ends the game; read from the rules, so that a stored position (whose
// status names only the side to move) answers as well.
GameEnd gameEndOf(const CPosition& position);

// "Checkmate" or "Stalemate" when the position ends the game, "" otherwise.
std::string strGameEndOf(const CPosition& position);

// The status to show for the position: its own, or the result when it names a side to move that
// is already mated or stalemated (a position given as a FEN or set up names only the side).
std::shared_ptr<CGameStatus> objShownStatus(const CPosition& position);
