#include "model/CChessPiece.h"

#include "model/CPiece.h"
#include "model/CPieceColor.h"
#include "model/Constructors.h"
#include "model/PieceCodes.h"

#include <array>

CChessPiece::CChessPiece(std::shared_ptr<CPiece> piece, std::shared_ptr<CPieceColor> color,
                         std::string symbol)
    : m_piece(std::move(piece)), m_color(std::move(color)), m_symbol(std::move(symbol)) {
    refreshCode();
}

void CChessPiece::objPiece(const std::shared_ptr<CPiece>& piece) {
    m_piece = piece;
    refreshCode();
}

void CChessPiece::objColor(const std::shared_ptr<CPieceColor>& color) {
    m_color = color;
    refreshCode();
}

void CChessPiece::refreshCode() {
    const std::string symbol = charGetDiagramSymbol();
    m_code = symbol.size() == 1 ? codeOfSymbol(symbol[0]) : int(EmptyCode);
}

namespace {
const std::shared_ptr<CChessPiece>& make(int code) {
    static const std::array<std::shared_ptr<CChessPiece>, 13> pieces = [] {
        std::array<std::shared_ptr<CChessPiece>, 13> all;
        all[EmptyCode] = objNewChessPiece(nullptr, nullptr, "e");
        const std::shared_ptr<CPiece> kinds[6] = {CPiece::objPAWN(),   CPiece::objKNIGHT(),
                                                  CPiece::objBISHOP(), CPiece::objRook(),
                                                  CPiece::objQUEEN(),  CPiece::objKing()};
        for (int code = WhitePawnCode; code <= BlackKingCode; ++code)
            all[code] = objNewChessPiece(kinds[kindOfCode(code)],
                                         isWhiteCode(code) ? CPieceColor::objWHITE()
                                                           : CPieceColor::objBLACK(),
                                         std::string(1, symbolOfCode(code)));
        return all;
    }();
    return pieces[code];
}
} // namespace

const std::shared_ptr<CChessPiece>& CChessPiece::objFromCode(int code) {
    return make(code >= EmptyCode && code <= BlackKingCode ? code : int(EmptyCode));
}

const std::shared_ptr<CChessPiece>& CChessPiece::objEMPTY_SQUARE() {
    return make(EmptyCode);
}
const std::shared_ptr<CChessPiece>& CChessPiece::objBLACK_PAWN() {
    return make(BlackPawnCode);
}
const std::shared_ptr<CChessPiece>& CChessPiece::objBLACK_ROOK() {
    return make(BlackRookCode);
}
const std::shared_ptr<CChessPiece>& CChessPiece::objBLACK_BISHOP() {
    return make(BlackBishopCode);
}
const std::shared_ptr<CChessPiece>& CChessPiece::objBLACK_KNIGHT() {
    return make(BlackKnightCode);
}
const std::shared_ptr<CChessPiece>& CChessPiece::objBLACK_QUEEN() {
    return make(BlackQueenCode);
}
const std::shared_ptr<CChessPiece>& CChessPiece::objBLACK_KING() {
    return make(BlackKingCode);
}
const std::shared_ptr<CChessPiece>& CChessPiece::objWHITE_PAWN() {
    return make(WhitePawnCode);
}
const std::shared_ptr<CChessPiece>& CChessPiece::objWHITE_ROOK() {
    return make(WhiteRookCode);
}
const std::shared_ptr<CChessPiece>& CChessPiece::objWHITE_BISHOP() {
    return make(WhiteBishopCode);
}
const std::shared_ptr<CChessPiece>& CChessPiece::objWHITE_KNIGHT() {
    return make(WhiteKnightCode);
}
const std::shared_ptr<CChessPiece>& CChessPiece::objWHITE_QUEEN() {
    return make(WhiteQueenCode);
}
const std::shared_ptr<CChessPiece>& CChessPiece::objWHITE_KING() {
    return make(WhiteKingCode);
}

const std::shared_ptr<CChessPiece>& CChessPiece::objGet(const std::string& symbol) {
    return make(symbol.size() == 1 ? codeOfSymbol(symbol[0]) : int(EmptyCode));
}

std::string CChessPiece::charGetDiagramSymbol() const {
    if (!m_symbol.empty()) return m_symbol;
    const bool white = m_color && m_color->strColor() == CPieceColor::objWHITE()->strColor();
    const std::string kind = m_piece ? m_piece->strToString() : std::string();
    static const char* order = "KQBNRP";
    for (const char* letter = order; *letter; ++letter)
        if (kind == std::string(1, *letter))
            return std::string(1, white ? *letter : char(*letter - 'A' + 'a'));
    return "e";
}

std::string CChessPiece::strToString() const {
    return (m_color ? m_color->strToString() : std::string()) + " " +
           (m_piece ? m_piece->strToString() : std::string());
}
