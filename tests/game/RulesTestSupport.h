#pragma once

#include "game/CPosition.h"
#include "game/Fen.h"
#include "model/CGameStatus.h"
#include "tests/model/ModelTestSupport.h"

#include <memory>
#include <string>
#include <vector>

// A position read from FEN.
inline std::shared_ptr<CPosition> fen(const std::string& text) {
    return objReadFen(text);
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
