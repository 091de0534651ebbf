#include "model/Utilities.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {
// Table k holds the CRC of a byte followed by k zero bytes, so that the checksum takes eight
// bytes a step: every node key holds the checksum of a 64-byte diagram text.
constexpr int kSlices = 8;
using CrcTables = std::array<std::array<uint16_t, 256>, kSlices>;
static_assert(kSlices == 8, "lngCrc16 takes its step over eight bytes written out");

const CrcTables& crcTables() {
    static const CrcTables tables = [] {
        CrcTables t{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned crc = i;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? (crc >> 1) ^ 0x8408u : crc >> 1;
            t[0][i] = uint16_t(crc);
        }
        for (int k = 1; k < kSlices; ++k)
            for (unsigned i = 0; i < 256; ++i)
                t[k][i] = uint16_t(t[0][t[k - 1][i] & 0xFF] ^ (t[k - 1][i] >> 8));
        return t;
    }();
    return tables;
}
} // namespace

long lngCrc16(std::string_view text, long length) {
    const CrcTables& table = crcTables();
    const std::size_t n =
        length < 0 ? text.size() : std::min<std::size_t>(std::size_t(length), text.size());
    const auto byte = [&](std::size_t at) {
        return unsigned(static_cast<unsigned char>(text[at]));
    };
    unsigned crc = 0xFFFF;
    std::size_t i = 0;
    for (; i + kSlices <= n; i += kSlices) {
        // Only the first two bytes meet the 16-bit remainder; each byte goes through the table
        // of the bytes that follow it in the step. Written out: left as a loop, its counting
        // cost as much as the lookups.
        crc = table[7][(crc ^ byte(i)) & 0xFF] ^ table[6][((crc >> 8) ^ byte(i + 1)) & 0xFF] ^
              table[5][byte(i + 2)] ^ table[4][byte(i + 3)] ^ table[3][byte(i + 4)] ^
              table[2][byte(i + 5)] ^ table[1][byte(i + 6)] ^ table[0][byte(i + 7)];
    }
    for (; i < n; ++i)
        crc = table[0][(byte(i) ^ crc) & 0xFF] ^ (crc >> 8);
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
