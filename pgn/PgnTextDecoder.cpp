#include "pgn/PgnTextDecoder.h"

#include <array>

namespace {

// The length of the valid UTF-8 sequence at the start of the bytes; 0 when the bytes do not
// start one; -1 when they could start one but end too early.
int sequenceLength(std::string_view s) {
    const auto at = [&s](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // bounds of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if (static_cast<size_t>(i) >= s.size()) return -1;
        const unsigned char c = at(static_cast<size_t>(i));
        if (i == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF)) return 0;
    }
    return length;
}

// Windows-1252 characters at 0x80 to 0x9F (0 where it defines none).
constexpr std::array<char16_t, 32> kWindows1252 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool isControl(unsigned char c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v' &&
            c != 0x1A && c != 0x1B) ||
           c == 0x7F;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
        return;
    }
    if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (code & 0x3F));
}

} // namespace

void PgnTextDecoder::appendLatin1(std::string& out, unsigned char byte) {
    m_latin1 = true;
    char32_t code = byte;
    if (byte >= 0x80 && byte <= 0x9F && kWindows1252[byte - 0x80] != 0)
        code = kWindows1252[byte - 0x80];
    appendUtf8(out, code);
}

std::string PgnTextDecoder::strDecodeUtf16(std::string_view bytes, bool last) {
    const auto unit = [this, &bytes](size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return m_utf16 == 2 ? (first << 8) | second : (second << 8) | first;
    };
    std::string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i + 1 < bytes.size()) {
        const char32_t code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (i + 3 >= bytes.size() && !last) break; // the pair goes on in the next chunk
            const char32_t low = i + 3 < bytes.size() ? unit(i + 2) : 0;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
                i += 4;
                continue;
            }
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, code >= 0xDC00 && code <= 0xDFFF ? 0xFFFD : code);
        }
        i += 2;
    }
    if (!last) m_pending = std::string(bytes.substr(i));
    return out;
}

std::string PgnTextDecoder::strDecode(std::string_view bytes, bool last) {
    std::string joined;
    if (!m_pending.empty()) {
        joined = m_pending + std::string(bytes);
        m_pending.clear();
        bytes = joined;
    }
    if (m_utf16 != 0) return strDecodeUtf16(bytes, last);
    std::string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        // Runs of plain ASCII are the bulk of every file.
        size_t ascii = i;
        while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80)
            ++ascii;
        out.append(bytes.substr(i, ascii - i));
        i = ascii;
        if (i >= bytes.size()) break;
        const int length = sequenceLength(bytes.substr(i));
        if (length > 0) {
            out.append(bytes.substr(i, static_cast<size_t>(length)));
            i += static_cast<size_t>(length);
        } else if (length < 0 && !last) {
            m_pending = std::string(bytes.substr(i));
            break;
        } else {
            appendLatin1(out, static_cast<unsigned char>(bytes[i]));
            ++i;
        }
    }
    return out;
}

bool PgnTextDecoder::isBinary(std::string_view start) {
    static const std::string_view signatures[] = {
        std::string_view("SQLite format 3\0", 16),
        "\x1F\x8B",           // gzip
        "PK\x03\x04",         // zip
        "BZh",                // bzip2
        "\xFD\x37zXZ",        // xz
        "7z\xBC\xAF\x27\x1C", // 7-Zip
        "\x89PNG",
        "\xFF\xD8\xFF", // JPEG
        "%PDF",
        "\x7F\x45LF",
        "MZ", // Windows programs
    };
    for (std::string_view signature : signatures)
        if (start.substr(0, signature.size()) == signature) return true;
    const std::string_view sample = start.substr(0, 4096);
    size_t controls = 0;
    size_t strays = 0; // bytes that fit no UTF-8 sequence
    for (size_t i = 0; i < sample.size();) {
        const auto c = static_cast<unsigned char>(sample[i]);
        if (isControl(c)) ++controls;
        const int length = c < 0x80 ? 1 : sequenceLength(sample.substr(i));
        if (length <= 0) {
            ++strays;
            ++i;
        } else {
            i += static_cast<size_t>(length);
        }
    }
    // Text in any Western encoding has few of either; compressed or machine data has many.
    return (controls + strays / 4) * 10 > sample.size();
}
