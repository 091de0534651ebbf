#pragma once

// The vocabulary of the boards the rules work on: piece codes, piece kinds, colour slots, files,
// ranks, squares and the four castlings. Squares are indices file + 8 * rank, a1 = 0, h8 = 63.

// Piece codes of the 64-slot boards: 0 empty, 1-6 white P N B R Q K, 7-12 black P N B R Q K.
enum PieceCode : int {
    EmptyCode = 0,
    WhitePawnCode = 1,
    WhiteKnightCode = 2,
    WhiteBishopCode = 3,
    WhiteRookCode = 4,
    WhiteQueenCode = 5,
    WhiteKingCode = 6,
    BlackPawnCode = 7,
    BlackKnightCode = 8,
    BlackBishopCode = 9,
    BlackRookCode = 10,
    BlackQueenCode = 11,
    BlackKingCode = 12
};

// Kinds of pieces, in the order of the piece codes of a colour.
enum PieceKind : int { NoKind = -1, Pawn, Knight, Bishop, Rook, Queen, King, KindCount };

// Slots of the two colours in per-colour arrays (castling forfeits, king squares).
enum ColorSlot : int { WhiteSlot, BlackSlot };

// Files a-h and ranks 1-8 as indices.
enum File : int { FileA, FileB, FileC, FileD, FileE, FileF, FileG, FileH };
enum Rank : int { Rank1, Rank2, Rank3, Rank4, Rank5, Rank6, Rank7, Rank8 };

// Square indices, a1 = 0 to h8 = 63.
// clang-format off
enum Square : int {
    NoSquare = -1,
    SqA1, SqB1, SqC1, SqD1, SqE1, SqF1, SqG1, SqH1,
    SqA2, SqB2, SqC2, SqD2, SqE2, SqF2, SqG2, SqH2,
    SqA3, SqB3, SqC3, SqD3, SqE3, SqF3, SqG3, SqH3,
    SqA4, SqB4, SqC4, SqD4, SqE4, SqF4, SqG4, SqH4,
    SqA5, SqB5, SqC5, SqD5, SqE5, SqF5, SqG5, SqH5,
    SqA6, SqB6, SqC6, SqD6, SqE6, SqF6, SqG6, SqH6,
    SqA7, SqB7, SqC7, SqD7, SqE7, SqF7, SqG7, SqH7,
    SqA8, SqB8, SqC8, SqD8, SqE8, SqF8, SqG8, SqH8,
    SquareCount
};
// clang-format on

// Slot of a colour given as "is white".
constexpr ColorSlot slotOf(bool white) {
    return white ? WhiteSlot : BlackSlot;
}
// The other colour's slot.
constexpr ColorSlot otherSlot(ColorSlot slot) {
    return slot == WhiteSlot ? BlackSlot : WhiteSlot;
}
// Kind of a code (NoKind for empty).
constexpr PieceKind kindOfCode(int code) {
    return code == EmptyCode ? NoKind : PieceKind((code - 1) % 6);
}
// True for a white piece code.
constexpr bool isWhiteCode(int code) {
    return code >= WhitePawnCode && code <= WhiteKingCode;
}
// True for a black piece code.
constexpr bool isBlackCode(int code) {
    return code >= BlackPawnCode;
}
// The code of a kind in a colour.
constexpr int codeOf(int kind, bool white) {
    return kind + (white ? WhitePawnCode : BlackPawnCode);
}
// True for the kinds that move along lines: bishop, rook and queen.
constexpr bool isSliderKind(int kind) {
    return kind == Bishop || kind == Rook || kind == Queen;
}
// Diagram symbol of a code ("e" for empty).
inline char symbolOfCode(int code) {
    return "ePNBRQKpnbrqk"[code];
}
// Kind letter of a kind.
inline char letterOfKind(int kind) {
    return "PNBRQK"[kind];
}
// Kind of a kind letter, NoKind when it names no kind.
inline PieceKind kindOfLetter(char letter) {
    switch (letter) {
    case 'P':
        return Pawn;
    case 'N':
        return Knight;
    case 'B':
        return Bishop;
    case 'R':
        return Rook;
    case 'Q':
        return Queen;
    case 'K':
        return King;
    default:
        return NoKind;
    }
}
// Code of a diagram symbol, EmptyCode for "e" and every other character.
inline int codeOfSymbol(char symbol) {
    const PieceKind kind =
        kindOfLetter(symbol >= 'a' && symbol <= 'z' ? char(symbol - 32) : symbol);
    if (kind == NoKind) return EmptyCode;
    return codeOf(kind, !(symbol >= 'a' && symbol <= 'z'));
}
// File of a square index.
constexpr int fileOf(int square) {
    return square & 7;
}
// Rank of a square index.
constexpr int rankOf(int square) {
    return square >> 3;
}
// Square index of a file and rank.
constexpr int squareOf(int file, int rank) {
    return file + 8 * rank;
}
// The home rank of a colour (rank 1 for White, 8 for Black).
constexpr int homeRankOf(bool white) {
    return white ? Rank1 : Rank8;
}
// The rank a colour's pawns start on.
constexpr int pawnRankOf(bool white) {
    return white ? Rank2 : Rank7;
}
// The rank a colour's pawns promote on.
constexpr int lastRankOf(bool white) {
    return white ? Rank8 : Rank1;
}
// The rank a colour's pawn stands on when it may take en passant (5 for White, 4 for Black).
constexpr int enPassantRankOf(bool white) {
    return white ? Rank5 : Rank4;
}
// The square a colour's king starts on.
constexpr int kingHomeOf(bool white) {
    return white ? SqE1 : SqE8;
}

// One castling: where the king goes, the rook's hop, the squares that must be empty and the
// squares the king passes, which must not be attacked (its start and landing square included).
struct Castling {
    ColorSlot slot;
    bool kingSide;
    Square kingFrom, kingTo, rookFrom, rookTo;
    Square between[3];
    int betweenCount;
    Square kingPath[3];
};

// The four castlings: White's king side and queen side, then Black's.
inline constexpr Castling kCastlings[4] = {
    {WhiteSlot, true, SqE1, SqG1, SqH1, SqF1, {SqF1, SqG1, NoSquare}, 2, {SqE1, SqF1, SqG1}},
    {WhiteSlot, false, SqE1, SqC1, SqA1, SqD1, {SqB1, SqC1, SqD1}, 3, {SqE1, SqD1, SqC1}},
    {BlackSlot, true, SqE8, SqG8, SqH8, SqF8, {SqF8, SqG8, NoSquare}, 2, {SqE8, SqF8, SqG8}},
    {BlackSlot, false, SqE8, SqC8, SqA8, SqD8, {SqB8, SqC8, SqD8}, 3, {SqE8, SqD8, SqC8}}};

// The castling whose king lands on the square (c1, g1, c8, g8), nullptr for any other square.
constexpr const Castling* castlingTo(int square) {
    for (const Castling& castling : kCastlings)
        if (castling.kingTo == square) return &castling;
    return nullptr;
}
