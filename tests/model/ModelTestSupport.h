#pragma once

#include "model/CChessPiece.h"
#include "model/CChessSquare.h"
#include "model/CMove.h"
#include "model/CPieceLocation.h"
#include "model/Constructors.h"
#include "model/Types.h"

#include <sstream>
#include <string>

// The shared square of a name such as "e4".
inline std::shared_ptr<CChessSquare> sq(const std::string& name) {
    return CChessSquare::objGetSquare(name.substr(0, 1), name.substr(1, 1));
}

// A fresh location of a diagram symbol on a named square ("K", "e1").
inline std::shared_ptr<CPieceLocation> at(const std::string& symbol, const std::string& square) {
    return objNewPieceLocation(sq(square), CChessPiece::objGet(symbol));
}

// A move of the piece symbol between two named squares; promoted names the piece after it.
inline CMove mv(const std::string& symbol, const std::string& from, const std::string& to,
                const std::string& promoted = "") {
    return CMove(at(symbol, from), at(promoted.empty() ? symbol : promoted, to));
}

// Square names of a list joined by spaces.
inline std::string names(const SquareArray& squares) {
    std::ostringstream out;
    for (std::size_t i = 0; i < squares.size(); ++i)
        out << (i ? " " : "") << squares[i]->strToString();
    return out.str();
}

// A diagram from rows written top (rank 8) to bottom, "." for an empty cell.
inline std::shared_ptr<CDiagram> board(const std::string& rows) {
    std::string text;
    for (char c : rows)
        if (c == '.')
            text += 'e';
        else if (c != ' ' && c != '/')
            text += c;
    return objNewDiagram(text);
}
