#include "model/CChessSquare.h"

#include "model/CChessPiece.h"
#include "model/CError.h"
#include "model/CPieceLocation.h"
#include "model/Constructors.h"
#include "model/Geometry.h"
#include "model/PieceCodes.h"
#include "model/Utilities.h"

#include <array>
#include <cctype>
#include <cstdlib>

namespace {

const std::array<std::shared_ptr<CChessSquare>, 64>& table() {
    static const std::array<std::shared_ptr<CChessSquare>, 64> squares = [] {
        std::array<std::shared_ptr<CChessSquare>, 64> all;
        for (int file = 0; file < 8; ++file)
            for (int rank = 0; rank < 8; ++rank) {
                all[file + 8 * rank] = objNewChessSquare(file, rank);
                // Named now, once: threads that read a shared square's name then never write it.
                all[file + 8 * rank]->strToString();
            }
        return all;
    }();
    return squares;
}

[[noreturn]] void outOfRange() {
    throw CError(9, "CChessSquare", "Subscript out of range");
}

// File index of a text: its first letter's place in a-h when the text occurs in "abcdefgh"
// (any case), else 8.
int fileFromText(const std::string& text) {
    if (text.empty()) return 8;
    const std::string lower = strLowered(text);
    if (std::string("abcdefgh").find(lower) == std::string::npos) return 8;
    return lower[0] - 'a';
}

// Rank index of a text: its first digit's place in 1-8 when the text occurs in "12345678", else 8.
int rankFromText(const std::string& text) {
    if (text.empty() || std::string("12345678").find(text) == std::string::npos) return 8;
    return text[0] - '1';
}

bool readsAsNumber(const std::string& text, int& value) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    char* end = nullptr;
    const long number = std::strtol(text.c_str() + first, &end, 10);
    if (end == text.c_str() + first) return false;
    while (*end == ' ')
        ++end;
    if (*end != '\0') return false;
    value = number < -1000 || number > 1000 ? 1000 : int(number);
    return true;
}

} // namespace

CChessSquare::CChessSquare(int file, int rank) : m_rank(rank), m_file(file) {
    refreshIndex();
}

void CChessSquare::intRank(int rank) {
    m_rank = rank;
    refreshIndex();
}

void CChessSquare::intFile(int file) {
    m_file = file;
    refreshIndex();
}

void CChessSquare::refreshIndex() {
    m_index = (m_file >= 0 && m_file < 8 && m_rank >= 0 && m_rank < 8) ? m_file + 8 * m_rank : -1;
}

const std::shared_ptr<CChessSquare>& CChessSquare::objQUEENSIDE_CASTLE_WHITE() {
    return objAt(SqC1);
}
const std::shared_ptr<CChessSquare>& CChessSquare::objQUEENSIDE_CASTLE_BLACK() {
    return objAt(SqC8);
}
const std::shared_ptr<CChessSquare>& CChessSquare::objKINGSIDE_CASTLE_WHITE() {
    return objAt(SqG1);
}
const std::shared_ptr<CChessSquare>& CChessSquare::objKINGSIDE_CASTLE_BLACK() {
    return objAt(SqG8);
}
const std::shared_ptr<CChessSquare>& CChessSquare::objA1() {
    return objAt(SqA1);
}
const std::shared_ptr<CChessSquare>& CChessSquare::objA8() {
    return objAt(SqA8);
}
const std::shared_ptr<CChessSquare>& CChessSquare::objH1() {
    return objAt(SqH1);
}
const std::shared_ptr<CChessSquare>& CChessSquare::objH8() {
    return objAt(SqH8);
}
const std::shared_ptr<CChessSquare>& CChessSquare::objE1() {
    return objAt(SqE1);
}
const std::shared_ptr<CChessSquare>& CChessSquare::objE8() {
    return objAt(SqE8);
}

const SquareArray& CChessSquare::objEMPTY_ARRAY() {
    static const SquareArray empty;
    return empty;
}

const std::shared_ptr<CChessSquare>& CChessSquare::objAt(int index) {
    if (index < SqA1 || index > SqH8) outOfRange();
    return table()[index];
}

const std::shared_ptr<CChessSquare>& CChessSquare::objGetSquare(int file, int rank) {
    if (file < 0 || file > 7 || rank < 0 || rank > 7) outOfRange();
    return table()[file + 8 * rank];
}

const std::shared_ptr<CChessSquare>& CChessSquare::objGetSquare(const std::string& file,
                                                                const std::string& rank) {
    int fileNumber = 0, rankNumber = 0;
    if (readsAsNumber(file, fileNumber)) {
        if (!readsAsNumber(rank, rankNumber)) outOfRange();
        return objGetSquare(fileNumber, rankNumber);
    }
    return objGetSquare(fileFromText(file), rankFromText(rank));
}

bool CChessSquare::isConsistantWith(const std::string& fileText,
                                    const std::string& rankText) const {
    int file = fileFromText(fileText);
    int rank = rankFromText(rankText);
    if (file == 8) file = m_file;
    if (rank == 8) rank = m_rank;
    return rank == m_rank && file == m_file;
}

std::string
CChessSquare::charGetDistinguishingLocation(const std::shared_ptr<CChessSquare>& other) const {
    if (other && other->m_file == m_file) return charGetRankAsString();
    return charGetFileAsString();
}

bool CChessSquare::isDiagonal(const std::shared_ptr<CChessSquare>& other) const {
    return other && std::abs(other->m_file - m_file) == std::abs(other->m_rank - m_rank);
}

bool CChessSquare::isSameRank(const std::shared_ptr<CChessSquare>& other) const {
    return other && other->m_rank == m_rank;
}

bool CChessSquare::isSameFile(const std::shared_ptr<CChessSquare>& other) const {
    return other && other->m_file == m_file;
}

std::string CChessSquare::charGetFileAsString() const {
    return (m_file >= 0 && m_file < 8) ? std::string(1, char('a' + m_file)) : std::string();
}

std::string CChessSquare::charGetRankAsString() const {
    return (m_rank >= 0 && m_rank < 8) ? std::string(1, char('1' + m_rank)) : std::string();
}

SquareArray
CChessSquare::arrobjGetTransitSquares(const std::shared_ptr<CChessSquare>& target) const {
    SquareArray result;
    if (!target) return result;
    int count;
    if (target->m_file == m_file) {
        if (target->m_rank == m_rank) return result;
        count = std::abs(target->m_rank - m_rank);
    } else {
        count = std::abs(target->m_file - m_file);
    }
    const int dr = target->m_rank > m_rank ? 1 : (target->m_rank < m_rank ? -1 : 0);
    const int df = target->m_file > m_file ? 1 : (target->m_file < m_file ? -1 : 0);
    int file = m_file, rank = m_rank;
    for (int i = 0; i < count; ++i) {
        file += df;
        rank += dr;
        result.push_back(objNewChessSquare(file, rank));
    }
    return result;
}

const std::shared_ptr<CPieceLocation>& CChessSquare::objGetEmptyLocation() const {
    if (!m_emptyLocation) {
        const std::shared_ptr<CChessSquare> self = m_index >= 0 && table()[m_index].get() == this
                                                       ? table()[m_index]
                                                       : std::make_shared<CChessSquare>(*this);
        m_emptyLocation = std::make_shared<CPieceLocation>(CChessPiece::objEMPTY_SQUARE(), self);
    }
    return m_emptyLocation;
}

std::string CChessSquare::strToString() const {
    if (m_name.empty()) m_name = charGetFileAsString() + charGetRankAsString();
    return m_name;
}
