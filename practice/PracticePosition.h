#pragma once

#include <string>

class CPosition;

// Why a position cannot be played out on the board ("the side not to move is in check"), or ""
// when it can: each side has one king, no pawn stands on the first or last rank, and the side
// not to move is not in check.
std::string strUnplayableReason(const CPosition& position);
