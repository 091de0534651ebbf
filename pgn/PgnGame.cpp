#include "pgn/PgnGame.h"

std::string PgnGame::strTag(const std::string& name) const {
    for (const auto& [tagName, value] : arrTags)
        if (tagName == name) return value;
    return "";
}

std::string PgnGame::strIdentity() const {
    std::string identity;
    for (const char* name : {"Event", "White", "Black", "Date", "Round"}) {
        std::string value = strTag(name);
        if (value.empty() || value == "?" || value == "????.??.??") continue;
        if (!identity.empty()) identity += ' ';
        identity += std::string("[") + name + " \"" + value + "\"]";
    }
    return identity;
}
