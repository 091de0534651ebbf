#pragma once

#include "model/Types.h"

#include <memory>
#include <string>

// One move: the moving piece on its starting square, and what stands on the destination after
// the move (for a promotion, the new piece).
class CMove {
public:
    CMove() = default;
    CMove(std::shared_ptr<CPieceLocation> starting, std::shared_ptr<CPieceLocation> ending);

    // The moving piece on its starting square.
    const std::shared_ptr<CPieceLocation>& objStartingLocation() const { return m_start; }
    // Replaces the starting location.
    void objStartingLocation(const std::shared_ptr<CPieceLocation>& location) {
        m_start = location;
    }
    // The piece on the destination after the move.
    const std::shared_ptr<CPieceLocation>& objEndingLocation() const { return m_end; }
    // Replaces the ending location.
    void objEndingLocation(const std::shared_ptr<CPieceLocation>& location) { m_end = location; }

    // The rook moves of castling: a1-d1, a8-d8, h1-f1, h8-f8.
    static const std::shared_ptr<CMove>& objWHITE_QUEENSIDE_CASTLE_ROOK_MOVE();
    static const std::shared_ptr<CMove>& objBLACK_QUEENSIDE_CASTLE_ROOK_MOVE();
    static const std::shared_ptr<CMove>& objWHITE_KINGSIDE_CASTLE_ROOK_MOVE();
    static const std::shared_ptr<CMove>& objBLACK_KINGSIDE_CASTLE_ROOK_MOVE();

    // The single move that turns the first diagram into the second, or nothing.
    static std::shared_ptr<CMove> objDetermineMove(const std::shared_ptr<CDiagram>& first,
                                                   const std::shared_ptr<CDiagram>& second);
    // Transit squares of the moving kind from start to destination (2 for castling or a pawn's
    // double step; empty when the kind cannot make the displacement).
    SquareArray arrobjGetTransitSquares() const;
    // True when both locations are equal by text.
    bool isEqual(const CMove& other) const;
    // True for an equal move; False for nothing.
    bool isEqual(const std::shared_ptr<CMove>& other) const;
    // The code 1-6 of a kind (P N B R Q K); other kinds raise "Piece not specified".
    static int intGetPieceValue(const std::shared_ptr<CPiece>& piece);
    // The kind of a code 1-6; other codes raise "Value N must be within range 1-6".
    static std::shared_ptr<CPiece> objGetPieceFromValue(int value);
    // "White Pe2-e4", "White Pe7-e8=Q", or "White O-O" style for the castling rook moves.
    std::string strToString() const;

private:
    std::shared_ptr<CPieceLocation> m_start;
    std::shared_ptr<CPieceLocation> m_end;
};
