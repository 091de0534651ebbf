#pragma once

#include "model/ColPieceLocations.h"
#include "model/Types.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The placement of the pieces: an ordered collection of piece locations keyed by square name
// plus the two king squares. Its 64-character text (a8 ... h1) is the board encoding.
//
// The entries are kept as piece codes in a 64-slot board beside the list of occupied squares in
// collection order; locations handed out are the shared ones of CPieceLocation::objShared, equal
// by text to the ones added.
class CDiagram : public std::enable_shared_from_this<CDiagram> {
public:
    CDiagram();

    // Square of the white king, or nothing.
    std::shared_ptr<CChessSquare> objWhiteKingSquare() const;
    // Sets the white king square (the collection is not touched).
    void objWhiteKingSquare(const std::shared_ptr<CChessSquare>& square);
    // Square of the black king, or nothing.
    std::shared_ptr<CChessSquare> objBlackKingSquare() const;
    // Sets the black king square (the collection is not touched).
    void objBlackKingSquare(const std::shared_ptr<CChessSquare>& square);

    // The collection of locations in order, keyed by square name.
    const ColPieceLocations& colMap() const;
    // A new diagram that also holds the location (replacing what stood on its square); this
    // diagram when the location is missing or holds no piece.
    std::shared_ptr<CDiagram> objAdd(const std::shared_ptr<CPieceLocation>& location);
    // Adds the location keyed by its square's name; an occupied square raises error 457. A
    // location holding the empty marker adds nothing (empty squares have no entry).
    void add_(const std::shared_ptr<CPieceLocation>& location);
    // Removes the square's entry, if any; returns this diagram.
    std::shared_ptr<CDiagram> objRemove(const std::shared_ptr<CChessSquare>& square);
    // Locations holding a piece of the same text, in collection order.
    LocationArray arrobjGetPieces(const std::shared_ptr<CChessPiece>& piece) const;
    // The square's location, or its empty location; never nothing.
    const std::shared_ptr<CPieceLocation>&
    objGet(const std::shared_ptr<CChessSquare>& square) const;
    // A piece of the other colour attacking the colour's king, or nothing.
    std::shared_ptr<CPieceLocation>
    objGetAttackingLocation(const std::shared_ptr<CPieceColor>& color) const;
    // Number of pieces of the other colour attacking the square, stopping at the limit (1 or 2).
    // A square of nothing means the colour's king square, which the variable then receives.
    int intIsInCheck(std::shared_ptr<CChessSquare>& square,
                     const std::shared_ptr<CPieceColor>& color, int limit) const;
    // The same for a square the caller does not need back.
    int intIsInCheck(const std::shared_ptr<CChessSquare>& square,
                     const std::shared_ptr<CPieceColor>& color, int limit) const;
    // The piece on the square, or the empty marker.
    const std::shared_ptr<CChessPiece>&
    objGetChessPiece(const std::shared_ptr<CChessSquare>& square) const;
    // The king square of the colour.
    std::shared_ptr<CChessSquare> objGetKingSquare(const std::shared_ptr<CPieceColor>& color) const;
    // True when both hold the same number of entries and the same pawns on the same squares.
    bool isMatchingPawnSkeleton(const std::shared_ptr<CDiagram>& other) const;
    // True when, besides kings, only up to two knights or only same-coloured bishops remain.
    bool isInsufficientMaterial() const;
    // True for this diagram, or one with as many entries and the same text.
    bool isEqual(const std::shared_ptr<CDiagram>& other) const;
    // A new diagram with the same entries in the same order and the same king squares.
    std::shared_ptr<CDiagram> objClone() const;
    // The 64-character diagram text.
    std::string strToString() const;
    // The same text without a copy, valid until the diagram changes.
    std::string_view strText() const { return std::string_view(m_text.data(), m_text.size()); }
    // CRC-16/MCRF4XX of the text.
    long lngCheckSum() const;
    // The tag form: [Diagram "text"].
    std::string strTagValue() const;
    // A new diagram after the move (start emptied, destination replaced by the ending location,
    // which goes to the end of the collection); this diagram is unchanged.
    std::shared_ptr<CDiagram> objMove(const CMove& move) const;
    // The diagram text of a FEN placement field, without any check.
    static std::string strFenToDiagram(std::string_view fenPlacement);

    // Fast access for the rules: piece code (0 empty, 1-6 white P N B R Q K, 7-12 black) on a
    // square index (file + 8 * rank).
    int intCodeAt(int square) const { return m_board[square]; }
    // Number of entries.
    int intCount() const { return m_count; }
    // Square index of the entry at a zero-based place in collection order.
    int intSquareAt(int place) const { return m_order[place]; }
    // King square index of a colour slot (0 White, 1 Black), -1 when unset.
    int intKingIndex(int slot) const { return m_king[slot]; }
    // Moves a piece by square indices in place, for diagrams under construction only: the start
    // entry is removed, the destination's replaced, and the code appended; kings are followed.
    void applyInPlace(int from, int to, int code);
    // Removes the entry of a square index in place (kings not followed).
    void removeInPlace(int square);
    // Appends a piece code on an empty square index in place (kings not followed).
    void addInPlace(int square, int code);
    // Sets a king square index in place.
    void setKingIndex(int slot, int square) {
        m_king[slot] = static_cast<int8_t>(square);
        m_check = {{-1, -1}};
    }
    // Counts the enemies of a colour slot (0 White, 1 Black) attacking a square index, stopping at
    // the limit; when asked, keeps the last one counted in collection order as the slot's attacker.
    int intCountAttacks(int square, int defenderSlot, int limit, bool record = false) const;
    // True when the king of a colour slot (0 White, 1 Black) stands attacked; remembered until
    // the diagram changes.
    bool isKingAttacked(int slot) const;
    // Remembers whether the king of a slot stands attacked, for a caller that has just counted.
    void rememberKingAttacked(int slot, bool attacked) const { m_check[slot] = attacked ? 1 : 0; }
    // The board of piece codes, a8 being index 56 and h1 index 7.
    const int8_t* board() const { return m_board.data(); }

private:
    void invalidate() {
        m_cacheValid = false;
        m_check = {{-1, -1}};
    }

    std::array<int8_t, 64> m_board{};
    std::array<uint8_t, 64> m_order{};
    int m_count = 0;
    std::array<int8_t, 2> m_king{{-1, -1}};
    mutable std::array<int16_t, 2> m_attacker{{-1, -1}}; // code * 64 + square, -1 none
    mutable std::array<int8_t, 2> m_check{{-1, -1}};     // king attacked: -1 unknown, 0 no, 1 yes
    mutable bool m_cacheValid = false;
    // The text, a8 first, kept in step with the board: a square's character costs less to write
    // when it changes than the whole text when it is asked for.
    std::array<char, 64> m_text = [] {
        std::array<char, 64> text{};
        text.fill('e');
        return text;
    }();
    mutable std::shared_ptr<ColPieceLocations> m_map;
};
