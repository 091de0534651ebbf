#include "model/CMove.h"

#include "model/CChessPiece.h"
#include "model/CChessSquare.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CPiece.h"
#include "model/CPieceColor.h"
#include "model/CPieceLocation.h"
#include "model/Constructors.h"
#include "model/PieceCodes.h"

namespace {
// The rook's hop of the castling whose king lands on the square.
std::shared_ptr<CMove> rookMove(Square kingTo) {
    const Castling& castling = *castlingTo(kingTo);
    const int code = codeOf(Rook, castling.slot == WhiteSlot);
    return objNewMove(CPieceLocation::objShared(code, castling.rookFrom),
                      CPieceLocation::objShared(code, castling.rookTo));
}

bool sameLocation(const std::shared_ptr<CPieceLocation>& a,
                  const std::shared_ptr<CPieceLocation>& b) {
    if (!a || !b) return !a && !b;
    return a->isEqual(b);
}
} // namespace

CMove::CMove(std::shared_ptr<CPieceLocation> starting, std::shared_ptr<CPieceLocation> ending)
    : m_start(std::move(starting)), m_end(std::move(ending)) {}

const std::shared_ptr<CMove>& CMove::objWHITE_QUEENSIDE_CASTLE_ROOK_MOVE() {
    static const std::shared_ptr<CMove> move = rookMove(SqC1);
    return move;
}

const std::shared_ptr<CMove>& CMove::objBLACK_QUEENSIDE_CASTLE_ROOK_MOVE() {
    static const std::shared_ptr<CMove> move = rookMove(SqC8);
    return move;
}

const std::shared_ptr<CMove>& CMove::objWHITE_KINGSIDE_CASTLE_ROOK_MOVE() {
    static const std::shared_ptr<CMove> move = rookMove(SqG1);
    return move;
}

const std::shared_ptr<CMove>& CMove::objBLACK_KINGSIDE_CASTLE_ROOK_MOVE() {
    static const std::shared_ptr<CMove> move = rookMove(SqG8);
    return move;
}

std::shared_ptr<CMove> CMove::objDetermineMove(const std::shared_ptr<CDiagram>& first,
                                               const std::shared_ptr<CDiagram>& second) {
    if (!first || !second) return nullptr;
    int arrival = -1, departure = -1, replacement = -1;
    for (int file = FileA; file <= FileH; ++file)
        for (int rank = Rank1; rank <= Rank8; ++rank) {
            const int sq = squareOf(file, rank);
            const int before = first->intCodeAt(sq), after = second->intCodeAt(sq);
            if (before == after) continue;
            int& slot =
                before == EmptyCode ? arrival : (after == EmptyCode ? departure : replacement);
            if (slot >= 0) return nullptr;
            slot = sq;
        }
    const auto location = [](const std::shared_ptr<CDiagram>& diagram, int sq) {
        return CPieceLocation::objShared(diagram->intCodeAt(sq), sq);
    };
    if (arrival >= 0 && departure >= 0)
        return objNewMove(location(first, departure), location(second, arrival));
    if (departure >= 0 && replacement >= 0) {
        const int departed = first->intCodeAt(departure);
        if (second->intCodeAt(replacement) == departed)
            return objNewMove(location(first, departure), location(second, replacement));
        if (first->intCodeAt(replacement) == departed)
            return objNewMove(location(first, replacement), location(first, departure));
        return nullptr;
    }
    if (arrival >= 0 && replacement >= 0) {
        if (second->intCodeAt(arrival) == first->intCodeAt(replacement))
            return objNewMove(location(first, replacement), location(second, arrival));
        return nullptr;
    }
    return nullptr;
}

SquareArray CMove::arrobjGetTransitSquares() const {
    if (!m_start || !m_end || !m_start->objPiece() || !m_start->objPiece()->objPiece()) return {};
    return m_start->objPiece()->objPiece()->arrobjGetTransitSquares(
        m_start->objSquare(), m_end->objSquare(), m_start->objGetColor());
}

bool CMove::isEqual(const CMove& other) const {
    if (&other == this) return true;
    return sameLocation(m_start, other.m_start) && sameLocation(m_end, other.m_end);
}

bool CMove::isEqual(const std::shared_ptr<CMove>& other) const {
    return other && isEqual(*other);
}

namespace {

// The pieces by kind, in the order of the kinds (a piece's value is its kind plus one).
const std::shared_ptr<CPiece>& pieceOfKind(PieceKind kind) {
    static const std::shared_ptr<CPiece> pieces[KindCount] = {
        CPiece::objPAWN(), CPiece::objKNIGHT(), CPiece::objBISHOP(),
        CPiece::objRook(), CPiece::objQUEEN(),  CPiece::objKing()};
    return pieces[kind];
}

} // namespace

int CMove::intGetPieceValue(const std::shared_ptr<CPiece>& piece) {
    if (piece)
        for (int kind = Pawn; kind < KindCount; ++kind)
            if (piece->strToString() == pieceOfKind(PieceKind(kind))->strToString())
                return kind + 1;
    RaiseError("CMove", "Piece not specified");
}

std::shared_ptr<CPiece> CMove::objGetPieceFromValue(int value) {
    if (value < 1 || value > KindCount)
        RaiseError("CMove", "Value " + std::to_string(value) + " must be within range 1-6");
    return pieceOfKind(PieceKind(value - 1));
}

std::string CMove::strToString() const {
    if (isEqual(objWHITE_QUEENSIDE_CASTLE_ROOK_MOVE())) return "White O-O-O";
    if (isEqual(objBLACK_QUEENSIDE_CASTLE_ROOK_MOVE())) return "Black O-O-O";
    if (isEqual(objWHITE_KINGSIDE_CASTLE_ROOK_MOVE())) return "White O-O";
    if (isEqual(objBLACK_KINGSIDE_CASTLE_ROOK_MOVE())) return "Black O-O";
    const auto colorText = [](const std::shared_ptr<CPieceLocation>& l) {
        return l && l->objGetColor() ? l->objGetColor()->strToString() : std::string();
    };
    const auto kindText = [](const std::shared_ptr<CPieceLocation>& l) {
        return l && l->objGetPieceValue() ? l->objGetPieceValue()->strToString() : std::string();
    };
    const auto squareText = [](const std::shared_ptr<CPieceLocation>& l) {
        return l && l->objSquare() ? l->objSquare()->strToString() : std::string("null");
    };
    std::string text = colorText(m_start) + " " + kindText(m_start) + squareText(m_start) + "-" +
                       squareText(m_end);
    if (kindText(m_end) != kindText(m_start)) text += "=" + kindText(m_end);
    return text;
}
