#pragma once

#include "game/CPosition.h"
#include "game/Fen.h"
#include "model/CChessPiece.h"
#include "model/CChessSquare.h"
#include "model/CGameStatus.h"
#include "model/CPieceLocation.h"
#include "model/Constructors.h"

#include <memory>
#include <string>
#include <vector>

// A position read from FEN.
inline std::shared_ptr<CPosition> fen(const std::string& text) {
    return objReadFen(text);
}

// The shared square of a name such as "e4".
inline std::shared_ptr<CChessSquare> sq(const std::string& name) {
    return CChessSquare::objGetSquare(name.substr(0, 1), name.substr(1, 1));
}

// A move of the piece symbol between two named squares; promoted names the piece after it.
inline CMove mv(const std::string& symbol, const std::string& from, const std::string& to,
                const std::string& promoted = "") {
    return CMove(
        objNewPieceLocation(sq(from), CChessPiece::objGet(symbol)),
        objNewPieceLocation(sq(to), CChessPiece::objGet(promoted.empty() ? symbol : promoted)));
}

// The position after the move texts, each read on the one before; nothing once one fails.
inline std::shared_ptr<CPosition> play(std::shared_ptr<CPosition> position,
                                       const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        if (!position) return nullptr;
        position = position->objProcessMove(position, text);
    }
    return position;
}
