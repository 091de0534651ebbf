#include "model/Utilities.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {
const std::array<uint16_t, 256>& crcTable() {
    static const std::array<uint16_t, 256> table = [] {
        std::array<uint16_t, 256> t{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned crc = i;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? (crc >> 1) ^ 0x8408u : crc >> 1;
            t[i] = uint16_t(crc);
        }
        return t;
    }();
    return table;
}
} // namespace

long lngCrc16(std::string_view text, long length) {
    const auto& table = crcTable();
    const std::size_t n =
        length < 0 ? text.size() : std::min<std::size_t>(std::size_t(length), text.size());
    unsigned crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned c = static_cast<unsigned char>(text[i]);
        crc = table[(c ^ crc) & 0xFF] ^ (crc >> 8);
    }
    return long(crc & 0xFFFF);
}

std::string strTrimmed(std::string_view text, std::string_view blanks) {
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
}

std::string strCounted(int64_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string strLowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}
