#pragma once

#include "model/Types.h"

#include <atomic>
#include <memory>
#include <string>

// A coloured piece (or the empty marker) standing on a square; read-only once made.
class CPieceLocation {
public:
    CPieceLocation(std::shared_ptr<CChessPiece> piece, std::shared_ptr<CChessSquare> square);

    // The coloured piece.
    const std::shared_ptr<CChessPiece>& objPiece() const { return m_piece; }
    // The square.
    const std::shared_ptr<CChessSquare>& objSquare() const { return m_square; }
    // The piece's colour (nothing for the empty marker).
    std::shared_ptr<CPieceColor> objGetColor() const;
    // The piece's kind (nothing for the empty marker).
    std::shared_ptr<CPiece> objGetPieceValue() const;
    // The piece text followed by the square name ("White Ke1").
    std::string strToString() const;
    // True for the same object, or a location with the same piece text and square name.
    bool isEqual(const std::shared_ptr<CPieceLocation>& other) const;

    // One shared location per piece code (0-12) and square index (0-63); code 0 gives the
    // square's empty location.
    static const std::shared_ptr<CPieceLocation>& objShared(int code, int square) {
        const auto* table = s_shared.load(std::memory_order_acquire);
        return (table ? table : sharedTable())[code * 64 + square];
    }
    // Piece code (0 empty, 1-6 white, 7-12 black) taken at creation.
    int intCode() const { return m_code; }
    // Square index 0-63 taken at creation, -1 when there is no square on the board.
    int intSquare() const { return m_index; }

private:
    static const std::shared_ptr<CPieceLocation>* sharedTable();
    static inline std::atomic<const std::shared_ptr<CPieceLocation>*> s_shared{nullptr};

    std::shared_ptr<CChessPiece> m_piece;
    std::shared_ptr<CChessSquare> m_square;
    int m_code = 0;
    int m_index = -1;
};
