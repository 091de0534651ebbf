#pragma once

#include <memory>
#include <string>

class CPosition;

// Reads a whole FEN text (placement, side, castling, en passant, the full-move number; the
// halfmove clock ignored) into a new position, as the board's FEN exchange does: runs of spaces
// count as one, "w" means White to move, anything else Black to move. The move number kept is the
// last move's: the full-move number less one for White to move, the number itself for Black (a
// missing or unreadable full-move number counts as 1). Nothing when the
// text has fewer than four fields or its placement does not give 64 cells; a placement without
// both kings raises the diagram's error.
std::shared_ptr<CPosition> objTryReadFen(const std::string& fen);

// The same, but every refusal raises a CError (source "FEN") whose message names the problem.
std::shared_ptr<CPosition> objReadFen(const std::string& fen);
