#include "game/Perft.h"

#include "game/CPosition.h"
#include "model/CChessSquare.h"
#include "model/CDiagram.h"
#include "model/CGameStatus.h"
#include "model/CPiece.h"
#include "model/CPieceColor.h"
#include "model/CPieceLocation.h"
#include "model/PieceCodes.h"

namespace {

const std::shared_ptr<CPiece>& kindObject(PieceKind kind) {
    switch (kind) {
    case Pawn:
        return CPiece::objPAWN();
    case Knight:
        return CPiece::objKNIGHT();
    case Bishop:
        return CPiece::objBISHOP();
    case Rook:
        return CPiece::objRook();
    case Queen:
        return CPiece::objQUEEN();
    default:
        return CPiece::objKing();
    }
}

// Calls visit(move, position) for every fully legal move, in generation order.
template <typename Visit>
void forEachLegalMove(const CPosition& position, bool withText, Visit&& visit) {
    if (!position.objStatus() || !position.objStatus()->isInProgress() || !position.objDiagram())
        return;
    const CDiagram& diagram = *position.objDiagram();
    const bool white = position.isWhiteToMove();
    const auto& color = white ? CPieceColor::objWHITE() : CPieceColor::objBLACK();
    const int lastRank = lastRankOf(white);
    const std::string noText;
    const auto tryMove = [&](const CMove& move) {
        if (!position.isLegalMove(move)) return;
        auto next = withText ? position.objMove1(move) : position.objMove2(move, noText);
        if (next) visit(move, next);
    };
    // The entries are read before any move is tried; moves never change this diagram.
    const int count = diagram.intCount();
    int squares[SquareCount];
    for (int i = 0; i < count; ++i)
        squares[i] = diagram.intSquareAt(i);
    for (int i = 0; i < count; ++i) {
        const int from = squares[i];
        const int code = diagram.intCodeAt(from);
        if (code == EmptyCode || isWhiteCode(code) != white) continue;
        const PieceKind kind = kindOfCode(code);
        const auto& start = CPieceLocation::objShared(code, from);
        // One move object per piece; only its destination changes from candidate to candidate.
        CMove move(start, nullptr);
        for (const auto& target :
             kindObject(kind)->arrobjGetPossibleMoveSquares(start->objSquare(), color)) {
            const int to = target->intIndex();
            if (kind == Pawn && rankOf(to) == lastRank) {
                for (int promoted : {Queen, Rook, Bishop, Knight}) {
                    move.objEndingLocation(CPieceLocation::objShared(codeOf(promoted, white), to));
                    tryMove(move);
                }
            } else {
                move.objEndingLocation(CPieceLocation::objShared(code, to));
                tryMove(move);
            }
        }
        if (kind == King && from == kingHomeOf(white))
            for (const Castling& castling : kCastlings)
                if (castling.kingFrom == from) {
                    move.objEndingLocation(CPieceLocation::objShared(code, castling.kingTo));
                    tryMove(move);
                }
    }
}

std::uint64_t perft(const CPosition& position, int depth) {
    std::uint64_t nodes = 0;
    if (depth == 1) {
        forEachLegalMove(position, false,
                         [&](const CMove&, const std::shared_ptr<CPosition>&) { ++nodes; });
    } else {
        forEachLegalMove(position, false,
                         [&](const CMove&, const std::shared_ptr<CPosition>& next) {
                             nodes += perft(*next, depth - 1);
                         });
    }
    return nodes;
}

} // namespace

std::vector<LegalMove> arrGetLegalMoves(const std::shared_ptr<CPosition>& position) {
    std::vector<LegalMove> moves;
    if (!position) return moves;
    forEachLegalMove(*position, true,
                     [&](const CMove& move, const std::shared_ptr<CPosition>& next) {
                         moves.push_back({move, next});
                     });
    return moves;
}

std::uint64_t lngPerft(const std::shared_ptr<CPosition>& position, int depth) {
    if (!position) return 0;
    if (depth <= 0) return 1;
    return perft(*position, depth);
}

std::string strMoveTextOf(const CPosition& position, const CMove& move) {
    std::string text;
    for (char c : position.strGetMoveNotation(move))
        if (c != 'P' && c != '+') text += c;
    return text;
}
