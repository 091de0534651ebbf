#include "practice/PracticePosition.h"

#include "game/CPosition.h"
#include "game/PositionSoundness.h"
#include "model/CDiagram.h"

#include <cctype>

std::string strUnplayableReason(const CPosition& position) {
    if (!position.objDiagram() || position.objDiagram()->strToString().size() != 64)
        return "the position is empty";
    std::string reason = strUnsoundReason(position);
    if (!reason.empty())
        reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    return reason;
}
