#include "model/Utilities.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {
// The CRC of one byte (table[0]) and of a byte followed by a zero byte (table[1]), so that the
// checksum takes two bytes a step: every node key holds the checksum of a 64-byte diagram text.
using CrcTables = std::array<std::array<uint16_t, 256>, 2>;

const CrcTables& crcTables() {
    static const CrcTables tables = [] {
        CrcTables t{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned crc = i;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? (crc >> 1) ^ 0x8408u : crc >> 1;
            t[0][i] = uint16_t(crc);
        }
        for (unsigned i = 0; i < 256; ++i)
            t[1][i] = uint16_t(t[0][t[0][i] & 0xFF] ^ (t[0][i] >> 8));
        return t;
    }();
    return tables;
}
} // namespace

long lngCrc16(std::string_view text, long length) {
    const CrcTables& table = crcTables();
    const std::size_t n =
        length < 0 ? text.size() : std::min<std::size_t>(std::size_t(length), text.size());
    unsigned crc = 0xFFFF;
    std::size_t i = 0;
    for (; i + 1 < n; i += 2) {
        const unsigned pair = static_cast<unsigned char>(text[i]) |
                              static_cast<unsigned>(static_cast<unsigned char>(text[i + 1])) << 8;
        const unsigned x = crc ^ pair;
        crc = table[1][x & 0xFF] ^ table[0][x >> 8];
    }
    if (i < n) crc = table[0][(static_cast<unsigned char>(text[i]) ^ crc) & 0xFF] ^ (crc >> 8);
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
