#pragma once

#include <string>
#include <string_view>

// Turns the bytes of a PGN file into UTF-8 text, chunk by chunk. Valid UTF-8 is kept as it is;
// a byte that does not belong to a valid UTF-8 sequence is read as Latin-1 (with the printable
// characters that Windows puts at 0x80 to 0x9F), so that every text the reader gives is UTF-8.
class PgnTextDecoder {
public:
    // The chunk as UTF-8. A sequence cut at the end of a chunk waits for the next one; with
    // last set, nothing waits.
    std::string strDecode(std::string_view bytes, bool last);
    // True once any byte was read as Latin-1.
    bool isLatin1() const { return m_latin1; }
    // Reads the bytes as UTF-16 from now on (a file that starts with its byte-order mark).
    void ReadUtf16(bool bigEndian) { m_utf16 = bigEndian ? 2 : 1; }
    // True when the bytes are read as UTF-16.
    bool isUtf16() const { return m_utf16 != 0; }

    // True when the first bytes of a file show binary data rather than text: the signature of a
    // known binary format (a workbook, a compressed archive, a picture, a program), or too many
    // control characters and bytes that are neither UTF-8 nor plausible Latin-1 text.
    static bool isBinary(std::string_view start);

private:
    void appendLatin1(std::string& out, unsigned char byte);
    std::string strDecodeUtf16(std::string_view bytes, bool last);

    std::string m_pending; // the start of a sequence cut at the end of the last chunk
    bool m_latin1 = false;
    int m_utf16 = 0; // 0 for UTF-8 and Latin-1, 1 for UTF-16 little-endian, 2 for big-endian
};
