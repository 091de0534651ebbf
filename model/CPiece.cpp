#include "model/CPiece.h"

#include "model/CChessPiece.h"
#include "model/CChessSquare.h"
#include "model/CPieceColor.h"
#include "model/Constructors.h"
#include "model/Geometry.h"
#include "model/PieceCodes.h"

namespace {
bool countsAsWhite(const std::shared_ptr<CPieceColor>& color) {
    return color && color->isWhite();
}
} // namespace

void CPiece::charValue(const std::string& letter) {
    m_value = letter;
    m_kind = letter.size() == 1 ? letter[0] : '?';
}

const std::shared_ptr<CPiece>& CPiece::objPAWN() {
    static const std::shared_ptr<CPiece> piece = objNewPiece("P");
    return piece;
}

const std::shared_ptr<CPiece>& CPiece::objKNIGHT() {
    static const std::shared_ptr<CPiece> piece = objNewPiece("N");
    return piece;
}

const std::shared_ptr<CPiece>& CPiece::objBISHOP() {
    static const std::shared_ptr<CPiece> piece = objNewPiece("B");
    return piece;
}

const std::shared_ptr<CPiece>& CPiece::objRook() {
    static const std::shared_ptr<CPiece> piece = objNewPiece("R");
    return piece;
}

const std::shared_ptr<CPiece>& CPiece::objQUEEN() {
    static const std::shared_ptr<CPiece> piece = objNewPiece("Q");
    return piece;
}

const std::shared_ptr<CPiece>& CPiece::objKing() {
    static const std::shared_ptr<CPiece> piece = objNewPiece("K");
    return piece;
}

std::shared_ptr<CChessPiece>
CPiece::objGetChessPiece(const std::shared_ptr<CPieceColor>& color) const {
    const PieceKind kind = kindOfLetter(m_kind);
    if (kind == NoKind) return nullptr;
    return CChessPiece::objFromCode(codeOf(kind, countsAsWhite(color)));
}

const SquareArray&
CPiece::arrobjGetPossibleMoveSquares(const std::shared_ptr<CChessSquare>& square,
                                     const std::shared_ptr<CPieceColor>& color) const {
    const PieceKind kind = kindOfLetter(m_kind);
    if (kind == NoKind || !square || square->intIndex() < 0) return CChessSquare::objEMPTY_ARRAY();
    return Geometry::candidates(kind, countsAsWhite(color), square->intIndex());
}

SquareArray CPiece::arrobjGetTransitSquares(const std::shared_ptr<CChessSquare>& from,
                                            const std::shared_ptr<CChessSquare>& to,
                                            const std::shared_ptr<CPieceColor>& color) const {
    const PieceKind kind = kindOfLetter(m_kind);
    if (kind == NoKind || !from || !to || from->intIndex() < 0 || to->intIndex() < 0) return {};
    int8_t squares[8];
    const int n =
        Geometry::transit(kind, countsAsWhite(color), from->intIndex(), to->intIndex(), squares);
    SquareArray result;
    result.reserve(n);
    for (int i = 0; i < n; ++i)
        result.push_back(CChessSquare::objAt(squares[i]));
    return result;
}
