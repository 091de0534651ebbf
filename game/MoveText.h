#pragma once

#include "model/PieceCodes.h"

#include <string>

// The parts of a move text in short algebraic notation ("Nbd2", "exd5", "e8=Q", "O-O+"), read
// strictly: a text that is not a move gives the reason instead of a guess.
struct MoveTextParts {
    bool isCastling = false;
    bool isLongCastling = false; // "O-O-O"
    int intPiece = Pawn;         // kind of the moving piece, Pawn to King
    char hintFile = ' ';         // ' ' when the text names none
    char hintRank = ' ';
    bool isCapture = false; // written with "x" or ":"
    char destFile = ' ';
    char destRank = ' ';
    int intPromotion = NoKind; // kind the pawn becomes, NoKind for none
    std::string strError; // empty for a readable text: "unknown piece letter S", "unreadable move"

    // True when the text names a move.
    bool isReadable() const { return strError.empty(); }
};

// Reads a move text: an optional piece letter (P N B R Q K, or a chess figurine), an optional
// starting file and rank, an optional capture mark ("x", ":") or "-" after a full starting
// square, the destination, an optional promotion ("=Q" or "Q"), then check and mate marks,
// annotation glyphs and an "e.p." remark, which are ignored. Castling is "O-O" or "O-O-O".
MoveTextParts objReadMoveText(const std::string& text);
