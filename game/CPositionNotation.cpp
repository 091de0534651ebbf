#include "game/CPosition.h"
#include "game/MoveText.h"
#include "game/PositionRules.h"
#include "model/CChessPiece.h"
#include "model/CChessSquare.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CPieceLocation.h"
#include "model/Geometry.h"
#include "model/PieceCodes.h"

namespace {

std::string squareName(int square) {
    return std::string{char('a' + fileOf(square)), char('1' + rankOf(square))};
}

} // namespace

std::string CPosition::strGetMoveNotation(const CMove& move) const {
    const auto& start = move.objStartingLocation();
    const auto& end = move.objEndingLocation();
    if (!start || !end || start->intSquare() < 0 || end->intSquare() < 0 || !m_diagram) return "";
    const int from = start->intSquare(), to = end->intSquare();
    const int code = start->intCode();
    const PieceKind kind = kindOfCode(code);
    if (kind == NoKind) return "";
    int8_t transit[8];
    if (kind == King && Geometry::transit(kind, isWhiteCode(code), from, to, transit) == 2) {
        const Castling* castling = castlingTo(to);
        return castling && castling->kingSide ? "O-O" : "O-O-O";
    }

    std::string text(1, letterOfKind(kind));
    const CDiagram& diagram = *m_diagram;
    if (kind != Pawn) {
        int count = 0, other = -1;
        for (int i = 0; i < diagram.intCount(); ++i) {
            const int square = diagram.intSquareAt(i);
            if (diagram.intCodeAt(square) != code) continue;
            ++count;
            if (square != from && other < 0) other = square;
        }
        if (count == 2 && other >= 0 && CPositionRules::isLegal(*this, other, to, code))
            text +=
                fileOf(other) == fileOf(from) ? char('1' + rankOf(from)) : char('a' + fileOf(from));
        else if (count >= 3)
            text += squareName(from);
        if (diagram.intCodeAt(to) != EmptyCode) text += 'x';
    } else if (fileOf(from) != fileOf(to)) {
        text += char('a' + fileOf(from));
        text += 'x';
    }
    text += squareName(to);
    const PieceKind promoted = kindOfCode(end->intCode());
    if (kind == Pawn && promoted != NoKind && promoted != Pawn) {
        text += '=';
        text += letterOfKind(promoted);
    }
    return text;
}

std::shared_ptr<CPosition> CPosition::objMove1(const CMove& move) const {
    return objMove2(move, strGetMoveNotation(move));
}

std::shared_ptr<CPosition> CPosition::objProcessMove(const std::shared_ptr<CPosition>& position,
                                                     const std::string& moveText) const {
    std::shared_ptr<CPieceLocation> starting, ending;
    return objProcessMove2(position, moveText, starting, ending);
}

std::shared_ptr<CPosition> CPosition::objProcessMove(const std::string& moveText) const {
    std::shared_ptr<CPieceLocation> starting, ending;
    return objProcessMove2(nullptr, moveText, starting, ending);
}

std::shared_ptr<CPosition>
CPosition::objProcessMove2(const std::shared_ptr<CPosition>& position, const std::string& moveText,
                           std::shared_ptr<CPieceLocation>& starting,
                           std::shared_ptr<CPieceLocation>& ending) const {
    return objReadMove(position ? *position : *this, moveText, starting, ending, true);
}

std::shared_ptr<CPosition>
CPosition::objPlayMoveText(const std::string& moveText, std::shared_ptr<CPieceLocation>& starting,
                           std::shared_ptr<CPieceLocation>& ending) const {
    return objReadMove(*this, moveText, starting, ending, false);
}

std::shared_ptr<CPosition> CPosition::objReadMove(const CPosition& target,
                                                  const std::string& moveText,
                                                  std::shared_ptr<CPieceLocation>& starting,
                                                  std::shared_ptr<CPieceLocation>& ending,
                                                  bool raiseWithoutPiece) const {
    if (moveText.size() < 2 || !target.m_diagram) return nullptr;
    const bool white = isWhiteToMove();
    const MoveTextParts parts = objReadMoveText(moveText);
    if (!parts.isReadable()) return nullptr;

    if (parts.isCastling) {
        const Castling& castling =
            *castlingTo(parts.isLongCastling ? (white ? SqC1 : SqC8) : (white ? SqG1 : SqG8));
        if (!target.isCastlingOK(CChessSquare::objAt(castling.kingTo))) return nullptr;
        const int king = codeOf(King, white);
        const CMove move(CPieceLocation::objShared(king, castling.kingFrom),
                         CPieceLocation::objShared(king, castling.kingTo));
        return target.objMove2(move, moveText);
    }

    const int moving = parts.intPiece;
    const int after = parts.intPromotion >= 0 ? parts.intPromotion : moving;
    // A pawn that does not capture stays on its file.
    const char hintFile = moving == Pawn && parts.hintFile == ' ' ? parts.destFile : parts.hintFile;
    const int to = squareOf(parts.destFile - 'a', parts.destRank - '1');
    // A pawn becomes another piece on its last rank and only there: a text without a promotion
    // piece to that rank, or with one to any other, names no move.
    if (moving == Pawn && (after == Pawn) == (rankOf(to) == lastRankOf(white))) return nullptr;
    ending = CPieceLocation::objShared(codeOf(after, white), to);
    starting = objFindStartLocation(target, ending, CChessPiece::objFromCode(codeOf(moving, white)),
                                    parts.hintRank, hintFile);
    if (!starting) {
        if (raiseWithoutPiece) RaiseError("CPosition", "No Move " + moveText);
        return nullptr;
    }
    // A capture mark on a move that takes nothing names a capture this position does not have.
    const bool takes = target.m_diagram->intCodeAt(to) != EmptyCode ||
                       (moving == Pawn && fileOf(starting->intSquare()) != fileOf(to));
    if (parts.isCapture && !takes) return nullptr;
    return target.objMove2(CMove(starting, ending), moveText);
}

std::shared_ptr<CPieceLocation> CPosition::objFindStartLocation(
    const CPosition& position, const std::shared_ptr<CPieceLocation>& ending,
    const std::shared_ptr<CChessPiece>& piece, char hintRank, char hintFile) const {
    const int code = piece ? piece->intCode() : int(EmptyCode);
    if (code == EmptyCode || !ending || ending->intSquare() < 0) return nullptr;
    const int to = ending->intSquare();
    const CDiagram& diagram = *position.m_diagram;
    int pinned = -1;
    for (int i = 0; i < diagram.intCount(); ++i) {
        const int from = diagram.intSquareAt(i);
        if (diagram.intCodeAt(from) != code) continue;
        if (hintFile >= 'a' && hintFile <= 'h' && fileOf(from) != hintFile - 'a') continue;
        if (hintRank >= '1' && hintRank <= '8' && rankOf(from) != hintRank - '1') continue;
        if (!CPositionRules::isLegal(position, from, to, code)) continue;
        // A candidate whose move would leave its own king in check is not the one meant while
        // another can make the move; when none can, the first is kept and the move gives nothing.
        if (CPositionRules::leavesKingSafe(position, from, to, code, ending->intCode()))
            return CPieceLocation::objShared(code, from);
        if (pinned < 0) pinned = from;
    }
    return pinned < 0 ? nullptr : CPieceLocation::objShared(code, pinned);
}
