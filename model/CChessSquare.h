#pragma once

#include "model/Types.h"

#include <memory>
#include <string>

// A board square: file 0-7 (a-h) and rank 0-7 (White's first rank is 0).
class CChessSquare {
public:
    CChessSquare() = default;
    CChessSquare(int file, int rank);

    // The rank index.
    int intRank() const { return m_rank; }
    // Sets the rank index (a name already worked out is kept).
    void intRank(int rank);
    // The file index.
    int intFile() const { return m_file; }
    // Sets the file index (a name already worked out is kept).
    void intFile(int file);

    // The shared castling destinations c1, c8, g1, g8.
    static const std::shared_ptr<CChessSquare>& objQUEENSIDE_CASTLE_WHITE();
    static const std::shared_ptr<CChessSquare>& objQUEENSIDE_CASTLE_BLACK();
    static const std::shared_ptr<CChessSquare>& objKINGSIDE_CASTLE_WHITE();
    static const std::shared_ptr<CChessSquare>& objKINGSIDE_CASTLE_BLACK();
    // The shared corners and king homes.
    static const std::shared_ptr<CChessSquare>& objA1();
    static const std::shared_ptr<CChessSquare>& objA8();
    static const std::shared_ptr<CChessSquare>& objH1();
    static const std::shared_ptr<CChessSquare>& objH8();
    static const std::shared_ptr<CChessSquare>& objE1();
    static const std::shared_ptr<CChessSquare>& objE8();
    // The empty square list.
    static const SquareArray& objEMPTY_ARRAY();

    // The shared square of the file and rank indices; an index outside 0-7 raises error 9.
    static const std::shared_ptr<CChessSquare>& objGetSquare(int file, int rank);
    // The shared square from texts: numbers when the file text reads as a number, otherwise a
    // file letter and a rank digit ("e", "4"); a text naming no square raises error 9.
    static const std::shared_ptr<CChessSquare>& objGetSquare(const std::string& file,
                                                             const std::string& rank);
    // The shared square of an index 0-63 (file + 8 * rank).
    static const std::shared_ptr<CChessSquare>& objAt(int index);

    // True when the hints (a file letter or a space, a rank digit or a space) fit this square.
    bool isConsistantWith(const std::string& fileText, const std::string& rankText) const;
    // This square's rank digit when the other is on the same file, else its file letter.
    std::string charGetDistinguishingLocation(const std::shared_ptr<CChessSquare>& other) const;
    // True when the file and rank differences are equal in size (the square itself included).
    bool isDiagonal(const std::shared_ptr<CChessSquare>& other) const;
    // True when both squares share the rank.
    bool isSameRank(const std::shared_ptr<CChessSquare>& other) const;
    // True when both squares share the file.
    bool isSameFile(const std::shared_ptr<CChessSquare>& other) const;
    // The file letter "a"-"h".
    std::string charGetFileAsString() const;
    // The rank digit "1"-"8".
    std::string charGetRankAsString() const;
    // Squares stepped through towards the target, excluding this one, including the target.
    SquareArray arrobjGetTransitSquares(const std::shared_ptr<CChessSquare>& target) const;
    // The empty-square marker standing on this square.
    const std::shared_ptr<CPieceLocation>& objGetEmptyLocation() const;
    // The name, "a1" to "h8".
    std::string strToString() const;
    // True when file + rank is even (a1 is dark).
    bool isDarkSquare() const { return ((m_file + m_rank) % 2) == 0; }

    // file + 8 * rank, or -1 when the indices are off the board.
    int intIndex() const { return m_index; }

private:
    void refreshIndex();

    int m_rank = 0;
    int m_file = 0;
    int m_index = 0;
    mutable std::string m_name;
    mutable std::shared_ptr<CPieceLocation> m_emptyLocation;
};
