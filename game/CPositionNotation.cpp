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
    const int kind = kindOfCode(code);
    if (kind < 0) return "";
    int8_t transit[8];
    if (kind == 5 && Geometry::transit(kind, isWhiteCode(code), from, to, transit) == 2)
        return (to == 62 || to == 6) ? "O-O" : "O-O-O";

    std::string text(1, letterOfKind(kind));
    const CDiagram& diagram = *m_diagram;
    if (kind != 0) {
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
        if (diagram.intCodeAt(to) != 0) text += 'x';
    } else if (fileOf(from) != fileOf(to)) {
        text += char('a' + fileOf(from));
        text += 'x';
    }
    text += squareName(to);
    const int promoted = kindOfCode(end->intCode());
    if (kind == 0 && promoted > 0) {
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
    const CPosition& target = position ? *position : *this;
    if (moveText.size() < 2 || !target.m_diagram) return nullptr;
    const bool white = isWhiteToMove();
    const MoveTextParts parts = objReadMoveText(moveText);
    if (!parts.isReadable()) return nullptr;

    if (parts.isCastling) {
        const int home = white ? 0 : 7;
        const int file = parts.isLongCastling ? 2 : 6;
        const auto& destination = CChessSquare::objGetSquare(file, home);
        if (!target.isCastlingOK(destination)) return nullptr;
        const int king = codeOf(5, white);
        const CMove move(CPieceLocation::objShared(king, squareOf(4, home)),
                         CPieceLocation::objShared(king, squareOf(file, home)));
        return target.objMove2(move, moveText);
    }

    const int moving = parts.intPiece;
    const int after = parts.intPromotion >= 0 ? parts.intPromotion : moving;
    // A pawn that does not capture stays on its file.
    const char hintFile = moving == 0 && parts.hintFile == ' ' ? parts.destFile : parts.hintFile;
    const int to = squareOf(parts.destFile - 'a', parts.destRank - '1');
    // A pawn never stays on its last rank: without a promotion piece the text names no move.
    if (moving == 0 && after == 0 && rankOf(to) == (white ? 7 : 0)) return nullptr;
    ending = CPieceLocation::objShared(codeOf(after, white), to);
    starting = objFindStartLocation(target, ending, CChessPiece::objFromCode(codeOf(moving, white)),
                                    std::string(1, parts.hintRank), std::string(1, hintFile));
    if (!starting) RaiseError("CPosition", "No Move " + moveText);
    // A capture mark on a move that takes nothing names a capture this position does not have.
    const bool takes = target.m_diagram->intCodeAt(to) != 0 ||
                       (moving == 0 && fileOf(starting->intSquare()) != fileOf(to));
    if (parts.isCapture && !takes) return nullptr;
    return target.objMove2(CMove(starting, ending), moveText);
}

std::shared_ptr<CPieceLocation>
CPosition::objFindStartLocation(const CPosition& position,
                                const std::shared_ptr<CPieceLocation>& ending,
                                const std::shared_ptr<CChessPiece>& piece,
                                const std::string& hintRank, const std::string& hintFile) const {
    const int code = piece ? piece->intCode() : 0;
    if (code == 0 || !ending || ending->intSquare() < 0) return nullptr;
    const int to = ending->intSquare();
    const char file = hintFile.empty() ? ' ' : hintFile[0];
    const char rank = hintRank.empty() ? ' ' : hintRank[0];
    const CDiagram& diagram = *position.m_diagram;
    int pinned = -1;
    for (int i = 0; i < diagram.intCount(); ++i) {
        const int from = diagram.intSquareAt(i);
        if (diagram.intCodeAt(from) != code) continue;
        if (file >= 'a' && file <= 'h' && fileOf(from) != file - 'a') continue;
        if (rank >= '1' && rank <= '8' && rankOf(from) != rank - '1') continue;
        if (!CPositionRules::isLegal(position, from, to, code)) continue;
        // A candidate whose move would leave its own king in check is not the one meant while
        // another can make the move; when none can, the first is kept and the move gives nothing.
        if (CPositionRules::leavesKingSafe(position, from, to, code, ending->intCode()))
            return CPieceLocation::objShared(code, from);
        if (pinned < 0) pinned = from;
    }
    return pinned < 0 ? nullptr : CPieceLocation::objShared(code, pinned);
}
