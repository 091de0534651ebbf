#include "game/UciMoves.h"

#include "game/CPosition.h"
#include "model/CChessPiece.h"
#include "model/CChessSquare.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CMove.h"
#include "model/CPiece.h"
#include "model/CPieceColor.h"
#include "model/CPieceLocation.h"
#include "model/Constructors.h"

#include <sstream>
#include <vector>

namespace {

bool isSquareText(char file, char rank) {
    return file >= 'a' && file <= 'h' && rank >= '1' && rank <= '8';
}

std::string promotionKind(char suffix) {
    switch (suffix) {
    case 'q':
        return "Q";
    case 'r':
        return "R";
    case 'b':
        return "B";
    case 'n':
        return "N";
    default:
        return {};
    }
}

bool holds(const CPosition& position, const char* square,
           const std::shared_ptr<CChessPiece>& piece) {
    const auto& found = position.objDiagram()->objGetChessPiece(
        CChessSquare::objGetSquare(std::string(1, square[0]), std::string(1, square[1])));
    return found->strToString() == piece->strToString();
}

} // namespace

std::string strEngineFen(const CPosition& position, int fullMoveNumber) {
    std::istringstream fields(position.strGetFEN());
    std::vector<std::string> parts;
    for (std::string part; fields >> part;)
        parts.push_back(part);
    parts.resize(4, "-");
    std::string castling;
    const bool whiteKing = holds(position, "e1", CChessPiece::objWHITE_KING());
    const bool blackKing = holds(position, "e8", CChessPiece::objBLACK_KING());
    if (whiteKing && !position.isKCastleForfeited(0) &&
        holds(position, "h1", CChessPiece::objWHITE_ROOK()))
        castling += 'K';
    if (whiteKing && !position.isQCastleForfeited(0) &&
        holds(position, "a1", CChessPiece::objWHITE_ROOK()))
        castling += 'Q';
    if (blackKing && !position.isKCastleForfeited(1) &&
        holds(position, "h8", CChessPiece::objBLACK_ROOK()))
        castling += 'k';
    if (blackKing && !position.isQCastleForfeited(1) &&
        holds(position, "a8", CChessPiece::objBLACK_ROOK()))
        castling += 'q';
    parts[2] = castling.empty() ? "-" : castling;
    return parts[0] + " " + parts[1] + " " + parts[2] + " " + parts[3] + " 0 " +
           std::to_string(fullMoveNumber);
}

bool isUciMoveText(const std::string& uci) {
    return (uci.size() == 4 || uci.size() == 5) && isSquareText(uci[0], uci[1]) &&
           isSquareText(uci[2], uci[3]) && (uci.size() == 4 || !promotionKind(uci[4]).empty());
}

std::shared_ptr<CPosition> objPlayUciMove(const CPosition& position, const std::string& uci) {
    if (!isUciMoveText(uci)) return nullptr;
    const auto& from = CChessSquare::objGetSquare(uci[0] - 'a', uci[1] - '1');
    const auto& to = CChessSquare::objGetSquare(uci[2] - 'a', uci[3] - '1');
    const auto& starting = position.objDiagram()->objGet(from);
    const auto& piece = starting->objPiece();
    const bool white = position.isWhiteToMove();
    if (!piece || !piece->objPiece() || !starting->objGetColor() ||
        starting->objGetColor()->strToString() !=
            (white ? CPieceColor::objWHITE() : CPieceColor::objBLACK())->strToString())
        return nullptr;
    const bool pawn = piece->objPiece()->strToString() == "P";
    const bool lastRank = to->intRank() == (white ? 7 : 0);
    std::shared_ptr<CPieceLocation> ending;
    if (uci.size() == 5 && pawn && lastRank)
        ending = objNewPieceLocationOfKind(to, objNewPiece(promotionKind(uci[4])),
                                           starting->objGetColor());
    else if (uci.size() == 4 && !(pawn && lastRank))
        ending = objNewPieceLocation(to, piece);
    if (!ending) return nullptr;
    try {
        CMove move(starting, ending);
        if (!position.isLegalMove(move)) return nullptr;
        return position.objMove1(move);
    } catch (const CError&) {
        return nullptr;
    }
}

std::string strUciOfMoveText(const CPosition& position, const std::string& moveText) {
    std::shared_ptr<CPieceLocation> starting;
    std::shared_ptr<CPieceLocation> ending;
    std::shared_ptr<CPosition> next;
    const std::string text = strBareMoveText(moveText);
    try {
        auto self = position.objClone();
        next = self->objProcessMove2(self, text, starting, ending);
    } catch (const CError&) {
        return {};
    }
    if (!next) return {};
    if (text.find('O') != std::string::npos) {
        const std::string rank = position.isWhiteToMove() ? "1" : "8";
        return "e" + rank + (text.find("O-O-O") != std::string::npos ? "c" : "g") + rank;
    }
    std::string uci = starting->objSquare()->strToString() + ending->objSquare()->strToString();
    const auto& moved = starting->objPiece()->objPiece();
    const auto& placed = ending->objPiece()->objPiece();
    if (moved && placed && moved->strToString() != placed->strToString()) {
        char letter = placed->strToString()[0];
        uci += static_cast<char>(letter - 'A' + 'a');
    }
    return uci;
}

std::string strBareMoveText(const std::string& moveText) {
    std::string bare;
    for (char c : moveText)
        if (c != '+' && c != '#' && c != '!' && c != '?') bare += c;
    return bare;
}
