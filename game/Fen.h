#pragma once

#include <memory>
#include <string>

class CPosition;

// Reads a whole FEN text (placement, side, castling, en passant; further fields ignored) into a
// new position, as the board's FEN exchange does: runs of spaces count as one, "w" means White
// to move with move number 0, anything else Black to move with move number 1. Nothing when the
// text has fewer than four fields or its placement does not give 64 cells; a placement without
// both kings raises the diagram's error.
std::shared_ptr<CPosition> objTryReadFen(const std::string& fen);

// The same, but every refusal raises a CError (source "FEN") whose message names the problem.
std::shared_ptr<CPosition> objReadFen(const std::string& fen);
