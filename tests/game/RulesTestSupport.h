#pragma once

#include "game/CPosition.h"
#include "game/Fen.h"
#include "model/CGameStatus.h"
#include "tests/model/ModelTestSupport.h"

#include <memory>
#include <string>

// A position read from FEN.
inline std::shared_ptr<CPosition> fen(const std::string& text) {
    return objReadFen(text);
}
