#include "model/CPieceLocation.h"

#include "model/CChessPiece.h"
#include "model/CChessSquare.h"
#include "model/Utilities.h"

#include <array>
#include <vector>

CPieceLocation::CPieceLocation(std::shared_ptr<CChessPiece> piece,
                               std::shared_ptr<CChessSquare> square)
    : m_piece(std::move(piece)), m_square(std::move(square)) {
    m_code = m_piece ? m_piece->intCode() : 0;
    m_index = m_square ? m_square->intIndex() : -1;
}

std::shared_ptr<CPieceColor> CPieceLocation::objGetColor() const {
    return m_piece ? m_piece->objColor() : nullptr;
}

std::shared_ptr<CPiece> CPieceLocation::objGetPieceValue() const {
    return m_piece ? m_piece->objPiece() : nullptr;
}

std::string CPieceLocation::strToString() const {
    return (m_piece ? m_piece->strToString() : std::string()) +
           (m_square ? m_square->strToString() : std::string());
}

bool CPieceLocation::isEqual(const std::shared_ptr<CPieceLocation>& other) const {
    if (!other) return false;
    if (other.get() == this) return true;
    const std::string mine = m_piece ? m_piece->strToString() : std::string();
    const std::string theirs = other->m_piece ? other->m_piece->strToString() : std::string();
    const std::string mySquare = m_square ? m_square->strToString() : std::string();
    const std::string theirSquare =
        other->m_square ? other->m_square->strToString() : std::string();
    return mine == theirs && mySquare == theirSquare;
}

const std::shared_ptr<CPieceLocation>* CPieceLocation::sharedTable() {
    static const auto* table = [] {
        auto* all = new std::array<std::shared_ptr<CPieceLocation>, 13 * 64>();
        // The occupied locations live in one block that is never released; their pointers own
        // nothing, like those of objForever, so copies never count references.
        static auto* const occupied = new std::vector<CPieceLocation>();
        occupied->reserve(12 * 64);
        for (int sq = 0; sq < 64; ++sq) {
            const std::shared_ptr<CChessSquare>& square = CChessSquare::objAt(sq);
            (*all)[sq] = objForever(square->objGetEmptyLocation());
            for (int c = 1; c <= 12; ++c) {
                occupied->emplace_back(CChessPiece::objFromCode(c), square);
                (*all)[c * 64 + sq] = std::shared_ptr<CPieceLocation>(
                    std::shared_ptr<CPieceLocation>(), &occupied->back());
            }
        }
        return all;
    }();
    s_shared.store(table->data(), std::memory_order_release);
    return table->data();
}
