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
        identity += std::string("[") + name + " \"" + strPrintable(value) + "\"]";
    }
    return identity;
}

std::string PgnGame::strPrintable(const std::string& text) {
    std::string shown = text;
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return shown;
}
