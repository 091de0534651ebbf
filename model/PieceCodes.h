#pragma once

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

// Kind index of a code: 0 pawn, 1 knight, 2 bishop, 3 rook, 4 queen, 5 king (-1 for empty).
inline int kindOfCode(int code) {
    return code == 0 ? -1 : (code - 1) % 6;
}
// True for a white piece code.
inline bool isWhiteCode(int code) {
    return code >= 1 && code <= 6;
}
// True for a black piece code.
inline bool isBlackCode(int code) {
    return code >= 7;
}
// The code of a kind index (0-5) in a colour.
inline int codeOf(int kind, bool white) {
    return kind + (white ? 1 : 7);
}
// Diagram symbol of a code ("e" for empty).
inline char symbolOfCode(int code) {
    return "ePNBRQKpnbrqk"[code];
}
// Kind letter of a kind index.
inline char letterOfKind(int kind) {
    return "PNBRQK"[kind];
}
// Kind index of a kind letter, -1 when it names no kind.
inline int kindOfLetter(char letter) {
    switch (letter) {
    case 'P':
        return 0;
    case 'N':
        return 1;
    case 'B':
        return 2;
    case 'R':
        return 3;
    case 'Q':
        return 4;
    case 'K':
        return 5;
    default:
        return -1;
    }
}
// Code of a diagram symbol, 0 for "e" and every other character.
inline int codeOfSymbol(char symbol) {
    switch (symbol) {
    case 'P':
        return 1;
    case 'N':
        return 2;
    case 'B':
        return 3;
    case 'R':
        return 4;
    case 'Q':
        return 5;
    case 'K':
        return 6;
    case 'p':
        return 7;
    case 'n':
        return 8;
    case 'b':
        return 9;
    case 'r':
        return 10;
    case 'q':
        return 11;
    case 'k':
        return 12;
    default:
        return 0;
    }
}
// File of a square index.
inline int fileOf(int square) {
    return square & 7;
}
// Rank of a square index.
inline int rankOf(int square) {
    return square >> 3;
}
// Square index of a file and rank.
inline int squareOf(int file, int rank) {
    return file + 8 * rank;
}
