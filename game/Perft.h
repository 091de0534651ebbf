#pragma once

#include "model/CMove.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CPosition;

// A fully legal move with the position it leads to.
struct LegalMove {
    CMove move;
    std::shared_ptr<CPosition> position;
};

// Every fully legal move of the position, found through the position's own rules: for each piece
// of the side to move in diagram order its candidate squares, the two castling destinations for
// a king on its home square, and a pawn move to the last rank once per promotion piece (Q, R, B,
// N). A position whose status is not in progress has none.
std::vector<LegalMove> arrGetLegalMoves(const std::shared_ptr<CPosition>& position);

// Number of leaves of the tree of fully legal moves to the depth.
std::uint64_t lngPerft(const std::shared_ptr<CPosition>& position, int depth);

// Move text of a legal move as callers see it ("e4", "Nf3", "O-O", "e8=Q").
std::string strMoveTextOf(const CPosition& position, const CMove& move);
