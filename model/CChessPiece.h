#pragma once

#include "model/Types.h"

#include <memory>
#include <string>

// A coloured piece (kind and colour) or the empty-square marker.
class CChessPiece {
public:
    CChessPiece() = default;
    CChessPiece(std::shared_ptr<CPiece> piece, std::shared_ptr<CPieceColor> color,
                std::string symbol);

    // The kind (nothing for the empty marker).
    const std::shared_ptr<CPiece>& objPiece() const { return m_piece; }
    // Replaces the kind.
    void objPiece(const std::shared_ptr<CPiece>& piece);
    // The colour (nothing for the empty marker).
    const std::shared_ptr<CPieceColor>& objColor() const { return m_color; }
    // Replaces the colour.
    void objColor(const std::shared_ptr<CPieceColor>& color);

    // The empty-square marker "e".
    static const std::shared_ptr<CChessPiece>& objEMPTY_SQUARE();
    // Black pieces "p", "r", "b", "n", "q", "k".
    static const std::shared_ptr<CChessPiece>& objBLACK_PAWN();
    static const std::shared_ptr<CChessPiece>& objBLACK_ROOK();
    static const std::shared_ptr<CChessPiece>& objBLACK_BISHOP();
    static const std::shared_ptr<CChessPiece>& objBLACK_KNIGHT();
    static const std::shared_ptr<CChessPiece>& objBLACK_QUEEN();
    static const std::shared_ptr<CChessPiece>& objBLACK_KING();
    // White pieces "P", "R", "B", "N", "Q", "K".
    static const std::shared_ptr<CChessPiece>& objWHITE_PAWN();
    static const std::shared_ptr<CChessPiece>& objWHITE_ROOK();
    static const std::shared_ptr<CChessPiece>& objWHITE_BISHOP();
    static const std::shared_ptr<CChessPiece>& objWHITE_KNIGHT();
    static const std::shared_ptr<CChessPiece>& objWHITE_QUEEN();
    static const std::shared_ptr<CChessPiece>& objWHITE_KING();

    // The constant whose symbol equals the text (case matters); the empty marker otherwise.
    static const std::shared_ptr<CChessPiece>& objGet(const std::string& symbol);
    // The diagram symbol: the stored one, or worked out from kind and colour ("e" when unknown).
    std::string charGetDiagramSymbol() const;
    // Colour text, a space, kind text ("White K"; a single space for the empty marker).
    std::string strToString() const;

    // The constant of a piece code (0-12; anything else gives the empty marker).
    static const std::shared_ptr<CChessPiece>& objFromCode(int code);
    // Piece code of the diagram symbol: 0 empty, 1-6 white P N B R Q K, 7-12 black.
    int intCode() const { return m_code; }

private:
    void refreshCode();

    std::shared_ptr<CPiece> m_piece;
    std::shared_ptr<CPieceColor> m_color;
    std::string m_symbol;
    int m_code = 0;
};
