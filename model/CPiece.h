#pragma once

#include "model/Types.h"

#include <memory>
#include <string>

// A piece kind ("P", "N", "B", "R", "Q", "K") with the movement geometry of that kind.
class CPiece {
public:
    // Stores the kind letter unchanged.
    void charValue(const std::string& letter);
    // The kind letter.
    const std::string& charValue() const { return m_value; }

    // The shared pawn kind.
    static const std::shared_ptr<CPiece>& objPAWN();
    // The shared knight kind.
    static const std::shared_ptr<CPiece>& objKNIGHT();
    // The shared bishop kind.
    static const std::shared_ptr<CPiece>& objBISHOP();
    // The shared rook kind.
    static const std::shared_ptr<CPiece>& objRook();
    // The shared queen kind.
    static const std::shared_ptr<CPiece>& objQUEEN();
    // The shared king kind.
    static const std::shared_ptr<CPiece>& objKing();

    // The kind letter.
    std::string strToString() const { return m_value; }
    // The coloured-piece constant of this kind (White for "White", Black otherwise); nothing for
    // an unknown letter.
    std::shared_ptr<CChessPiece> objGetChessPiece(const std::shared_ptr<CPieceColor>& color) const;
    // Candidate destinations of this kind on the square, in the fixed order callers rely on. The
    // list is shared and lives for the whole run.
    const SquareArray&
    arrobjGetPossibleMoveSquares(const std::shared_ptr<CChessSquare>& square,
                                 const std::shared_ptr<CPieceColor>& color) const;
    // Squares passed from one square to another, ending with the destination; empty when this
    // kind cannot make that displacement.
    SquareArray arrobjGetTransitSquares(const std::shared_ptr<CChessSquare>& from,
                                        const std::shared_ptr<CChessSquare>& to,
                                        const std::shared_ptr<CPieceColor>& color) const;

    // The kind letter as one character ('?' when the letter is not one character).
    char chKind() const { return m_kind; }

private:
    std::string m_value;
    char m_kind = '?';
};
