#pragma once

#include "model/Constructors.h"
#include "model/Types.h"

#include <memory>
#include <string>
#include <vector>

class CPosition;

// Factories of positions.

// The standard start position: White to move, no forfeits, move number 0, move text "...".
std::shared_ptr<CPosition> objNewStartPosition();
// A position from stored values. Forfeits: white king side, white queen side, black king side,
// black queen side (True = right lost; a castling whose king or rook is off its square is lost
// whatever is given); the letter "a"-"h" names the en-passant file, kept only
// where a pawn of the side not to move can have just passed the square on it. Raises
// "gameStatus", "Diagram is null", "Movenum cannot be negative" or
// "castlingPrivledges array parameter must have a length of 4".
std::shared_ptr<CPosition> objNewPosition(const std::shared_ptr<CDiagram>& diagram,
                                          const std::shared_ptr<CGameStatus>& status,
                                          int moveNumber, const std::vector<bool>& forfeits,
                                          const std::string& enPassantLetter);
// The shell of the position after a move from the previous one.
std::shared_ptr<CPosition> objNewNextPosition(const CPosition& previous);
