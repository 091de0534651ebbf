#include "engine/EngineScore.h"

#include <cstdio>
#include <cstdlib>

long EngineScore::lngRank() const {
    constexpr long MATE = 1000000;
    if (!isMate) return intValue;
    return intValue > 0 ? MATE - intValue : -MATE - intValue;
}

std::string EngineScore::strText() const {
    if (isMate) return "#" + std::to_string(intValue);
    char text[32];
    std::snprintf(text, sizeof text, "%c%d.%02d", intValue < 0 ? '-' : '+',
                  std::abs(intValue) / 100, std::abs(intValue) % 100);
    return text;
}
