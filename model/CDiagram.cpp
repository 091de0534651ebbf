#include "model/CDiagram.h"

#include "model/Attacks.h"
#include "model/CChessPiece.h"
#include "model/CChessSquare.h"
#include "model/CError.h"
#include "model/CMove.h"
#include "model/CPieceColor.h"
#include "model/CPieceLocation.h"
#include "model/PieceCodes.h"
#include "model/Utilities.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {
ColorSlot slotOfColor(const std::shared_ptr<CPieceColor>& color) {
    return slotOf(color && color->strColor() == CPieceColor::objWHITE()->strColor());
}

// The place of a square index in the diagram text, which runs from a8 to h1: the same file on
// the mirrored rank.
constexpr int textIndexOf(int square) {
    return square ^ 56;
}
static_assert(textIndexOf(squareOf(FileA, Rank8)) == 0 &&
              textIndexOf(squareOf(FileH, Rank1)) == 63);

const std::shared_ptr<CPieceLocation>& nowhere() {
    static const std::shared_ptr<CPieceLocation> location =
        std::make_shared<CPieceLocation>(CChessPiece::objEMPTY_SQUARE(), nullptr);
    return location;
}
} // namespace

CDiagram::CDiagram() = default;

std::shared_ptr<CChessSquare> CDiagram::objWhiteKingSquare() const {
    return m_king[WhiteSlot] >= 0 ? CChessSquare::objAt(m_king[WhiteSlot]) : nullptr;
}

void CDiagram::objWhiteKingSquare(const std::shared_ptr<CChessSquare>& square) {
    setKingIndex(WhiteSlot, square ? square->intIndex() : NoSquare);
}

std::shared_ptr<CChessSquare> CDiagram::objBlackKingSquare() const {
    return m_king[BlackSlot] >= 0 ? CChessSquare::objAt(m_king[BlackSlot]) : nullptr;
}

void CDiagram::objBlackKingSquare(const std::shared_ptr<CChessSquare>& square) {
    setKingIndex(BlackSlot, square ? square->intIndex() : NoSquare);
}

bool CDiagram::isKingAttacked(int slot) const {
    if (m_check[slot] < 0)
        m_check[slot] = m_king[slot] >= 0 &&
                                Attacks::isAttacked(m_board.data(), m_king[slot], slot == BlackSlot)
                            ? 1
                            : 0;
    return m_check[slot] == 1;
}

const ColPieceLocations& CDiagram::colMap() const {
    if (!m_cacheValid || !m_map) {
        auto map = std::make_shared<ColPieceLocations>();
        for (int i = 0; i < m_count; ++i) {
            const int sq = m_order[i];
            map->Add(CPieceLocation::objShared(m_board[sq], sq),
                     CChessSquare::objAt(sq)->strToString());
        }
        m_map = map;
        m_cacheValid = true;
    }
    return *m_map;
}

std::shared_ptr<CDiagram> CDiagram::objAdd(const std::shared_ptr<CPieceLocation>& location) {
    if (!location || location->intCode() == EmptyCode || location->intSquare() < 0)
        return shared_from_this();
    auto result = objClone();
    result->removeInPlace(location->intSquare());
    result->addInPlace(location->intSquare(), location->intCode());
    return result;
}

void CDiagram::add_(const std::shared_ptr<CPieceLocation>& location) {
    if (!location || location->intCode() == EmptyCode) return;
    const int sq = location->intSquare();
    if (sq < 0) RaiseError("CDiagram", "Location is not on the board");
    if (m_board[sq] != EmptyCode)
        throw CError(457, "ColPieceLocations",
                     "This key is already associated with an element of this collection");
    addInPlace(sq, location->intCode());
}

std::shared_ptr<CDiagram> CDiagram::objRemove(const std::shared_ptr<CChessSquare>& square) {
    if (square && square->intIndex() >= 0) removeInPlace(square->intIndex());
    return shared_from_this();
}

LocationArray CDiagram::arrobjGetPieces(const std::shared_ptr<CChessPiece>& piece) const {
    LocationArray result;
    const int code = piece ? piece->intCode() : EmptyCode;
    if (code == EmptyCode) return result;
    for (int i = 0; i < m_count; ++i)
        if (m_board[m_order[i]] == code)
            result.push_back(CPieceLocation::objShared(code, m_order[i]));
    return result;
}

const std::shared_ptr<CPieceLocation>&
CDiagram::objGet(const std::shared_ptr<CChessSquare>& square) const {
    if (!square || square->intIndex() < 0) return nowhere();
    const int sq = square->intIndex();
    return CPieceLocation::objShared(m_board[sq], sq);
}

std::shared_ptr<CPieceLocation>
CDiagram::objGetAttackingLocation(const std::shared_ptr<CPieceColor>& color) const {
    if (!color) RaiseError("CDiagram", "Must Specify King Color");
    const int slot = slotOfColor(color);
    if (m_attacker[slot] < 0 && m_king[slot] >= 0) intCountAttacks(m_king[slot], slot, 2, true);
    if (m_attacker[slot] < 0) return nullptr;
    return CPieceLocation::objShared(m_attacker[slot] / 64, m_attacker[slot] % 64);
}

int CDiagram::intIsInCheck(std::shared_ptr<CChessSquare>& square,
                           const std::shared_ptr<CPieceColor>& color, int limit) const {
    if (!color) RaiseError("CDiagram", "Must Specify King Color");
    if (limit != 1 && limit != 2)
        RaiseError("CDiagram", "Check limit value " + std::to_string(limit) + " not 1 or 2.");
    const int slot = slotOfColor(color);
    if (!square) square = m_king[slot] >= 0 ? CChessSquare::objAt(m_king[slot]) : nullptr;
    if (!square || square->intIndex() < 0) return 0;
    return intCountAttacks(square->intIndex(), slot, limit, true);
}

int CDiagram::intIsInCheck(const std::shared_ptr<CChessSquare>& square,
                           const std::shared_ptr<CPieceColor>& color, int limit) const {
    std::shared_ptr<CChessSquare> copy = square;
    return intIsInCheck(copy, color, limit);
}

int CDiagram::intCountAttacks(int square, int defenderSlot, int limit, bool record) const {
    int8_t found[16];
    int n = Attacks::attackers(m_board.data(), square, defenderSlot == BlackSlot, limit, found);
    // The one to keep is picked in collection order among all attackers, so find them all.
    if (record && n == limit)
        n = Attacks::attackers(m_board.data(), square, defenderSlot == BlackSlot, 16, found);
    if (record && n > 0) {
        int kept = found[0];
        if (n > 1) {
            int seen = 0;
            for (int i = 0; i < m_count && seen < limit; ++i)
                if (std::find(found, found + n, int8_t(m_order[i])) != found + n) {
                    kept = m_order[i];
                    ++seen;
                }
        }
        m_attacker[defenderSlot] = int16_t(m_board[kept] * 64 + kept);
    }
    return std::min(n, limit);
}

const std::shared_ptr<CChessPiece>&
CDiagram::objGetChessPiece(const std::shared_ptr<CChessSquare>& square) const {
    if (!square || square->intIndex() < 0) return CChessPiece::objEMPTY_SQUARE();
    return CChessPiece::objFromCode(m_board[square->intIndex()]);
}

std::shared_ptr<CChessSquare>
CDiagram::objGetKingSquare(const std::shared_ptr<CPieceColor>& color) const {
    return slotOfColor(color) == WhiteSlot ? objWhiteKingSquare() : objBlackKingSquare();
}

bool CDiagram::isMatchingPawnSkeleton(const std::shared_ptr<CDiagram>& other) const {
    if (!other || other->m_count != m_count) return false;
    for (int sq = SqA1; sq <= SqH8; ++sq) {
        const bool mine = m_board[sq] == WhitePawnCode || m_board[sq] == BlackPawnCode;
        const bool theirs =
            other->m_board[sq] == WhitePawnCode || other->m_board[sq] == BlackPawnCode;
        if ((mine || theirs) && m_board[sq] != other->m_board[sq]) return false;
    }
    return true;
}

bool CDiagram::isInsufficientMaterial() const {
    int knights = 0;
    bool dark = false, light = false;
    for (int i = 0; i < m_count; ++i) {
        const int sq = m_order[i];
        const PieceKind kind = kindOfCode(m_board[sq]);
        if (kind == King) continue;
        if (kind == Knight) {
            ++knights;
            if (dark || light || knights > 2) return false;
        } else if (kind == Bishop) {
            (CChessSquare::objAt(sq)->isDarkSquare() ? dark : light) = true;
            if ((dark && light) || knights > 0) return false;
        } else {
            return false;
        }
    }
    return true;
}

bool CDiagram::isEqual(const std::shared_ptr<CDiagram>& other) const {
    if (!other) return false;
    if (other.get() == this) return true;
    return other->m_count == m_count && other->m_board == m_board;
}

std::shared_ptr<CDiagram> CDiagram::objClone() const {
    auto copy = std::make_shared<CDiagram>(*this);
    copy->m_attacker = {{-1, -1}};
    return copy;
}

std::string CDiagram::strToString() const {
    return std::string(strText());
}

long CDiagram::lngCheckSum() const {
    return lngCrc16(strText(), -1);
}

std::string CDiagram::strTagValue() const {
    return "[Diagram \"" + strToString() + "\"]";
}

std::shared_ptr<CDiagram> CDiagram::objMove(const CMove& move) const {
    auto result = objClone();
    const auto& start = move.objStartingLocation();
    const auto& end = move.objEndingLocation();
    if (start && start->intSquare() >= 0) result->removeInPlace(start->intSquare());
    if (end && end->intSquare() >= 0) {
        result->removeInPlace(end->intSquare());
        if (end->intCode() != EmptyCode) result->addInPlace(end->intSquare(), end->intCode());
        if (end->intCode() == BlackKingCode) result->setKingIndex(BlackSlot, end->intSquare());
        if (end->intCode() == WhiteKingCode) result->setKingIndex(WhiteSlot, end->intSquare());
    }
    return result;
}

std::string CDiagram::strFenToDiagram(std::string_view fenPlacement) {
    std::string text;
    text.reserve(64);
    for (char c : fenPlacement) {
        if (codeOfSymbol(c) != EmptyCode)
            text += c;
        else if (c >= '0' && c <= '9')
            text.append(std::size_t(c - '0'), 'e');
    }
    return text;
}

void CDiagram::applyInPlace(int from, int to, int code) {
    removeInPlace(from);
    removeInPlace(to);
    if (code != EmptyCode) addInPlace(to, code);
    if (code == WhiteKingCode) setKingIndex(WhiteSlot, to);
    if (code == BlackKingCode) setKingIndex(BlackSlot, to);
}

void CDiagram::removeInPlace(int square) {
    if (m_board[square] == EmptyCode) return;
    m_board[square] = EmptyCode;
    m_text[textIndexOf(square)] = symbolOfCode(EmptyCode);
    auto* found = static_cast<uint8_t*>(std::memchr(m_order.data(), square, std::size_t(m_count)));
    if (found) {
        const auto place = found - m_order.data();
        std::memmove(found, found + 1, std::size_t(m_count - place - 1));
        --m_count;
    }
    invalidate();
}

void CDiagram::addInPlace(int square, int code) {
    if (m_board[square] != EmptyCode) removeInPlace(square);
    m_board[square] = int8_t(code);
    m_text[textIndexOf(square)] = symbolOfCode(code);
    m_order[m_count++] = uint8_t(square);
    invalidate();
}
