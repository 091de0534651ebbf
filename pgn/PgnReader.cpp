#include "pgn/PgnReader.h"

#include <cctype>

namespace {

constexpr size_t kChunk = 1 << 16;
constexpr int kEnd = -1;

bool isSymbolChar(int c) {
    return std::isalnum(c) || c == '_' || c == '+' || c == '#' || c == '=' || c == ':' ||
           c == '-' || c == '/' || c >= 0x80;
}

bool isResult(const std::string& symbol) {
    return symbol == "1-0" || symbol == "0-1" || symbol == "1/2-1/2" ||
           symbol == "\xC2\xBD-\xC2\xBD";
}

bool isAllDigits(const std::string& symbol) {
    for (char c : symbol)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return !symbol.empty();
}

// The traditional glyphs as numeric annotation glyphs; 0 for an unknown run.
int glyphCode(const std::string& glyph) {
    static const char* const glyphs[] = {"!", "?", "!!", "??", "!?", "?!"};
    for (int i = 0; i < 6; ++i)
        if (glyph == glyphs[i]) return i + 1;
    return 0;
}

} // namespace

PgnReader::PgnReader(std::istream& input) : m_input(input) {
    fill();
    if (m_buffer.compare(0, 3, "\xEF\xBB\xBF") == 0) m_pos = 3;
}

void PgnReader::fill() {
    if (m_eof) return;
    m_buffer.erase(0, m_pos);
    m_pos = 0;
    size_t old = m_buffer.size();
    m_buffer.resize(old + kChunk);
    m_input.read(m_buffer.data() + old, static_cast<std::streamsize>(kChunk));
    size_t got = static_cast<size_t>(m_input.gcount());
    m_buffer.resize(old + got);
    if (got == 0) m_eof = true;
}

int PgnReader::peek() {
    if (m_pos >= m_buffer.size()) fill();
    if (m_pos >= m_buffer.size()) return kEnd;
    return static_cast<unsigned char>(m_buffer[m_pos]);
}

int PgnReader::get() {
    int c = peek();
    if (c == kEnd) return c;
    ++m_pos;
    if (c == '\n') {
        ++m_line;
        m_atLineStart = true;
    } else if (c != '\r') {
        m_atLineStart = false;
    }
    return c;
}

void PgnReader::skipBlanks() {
    for (;;) {
        int c = peek();
        if (c == '%' && m_atLineStart) {
            while (c != kEnd && c != '\n')
                c = get();
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            get();
        } else {
            return;
        }
    }
}

std::string PgnReader::readSymbol() {
    std::string symbol;
    while (isSymbolChar(peek()))
        symbol += static_cast<char>(get());
    return symbol;
}

std::string PgnReader::readComment(char closing, bool& closed) {
    std::string text;
    closed = false;
    for (int c = get(); c != kEnd; c = get()) {
        if (c == closing) {
            closed = true;
            break;
        }
        if (c != '\r') text += static_cast<char>(c);
    }
    return text;
}

bool PgnReader::readTag(PgnVisitor& visitor, std::string& error) {
    get(); // '['
    skipBlanks();
    std::string name = readSymbol();
    skipBlanks();
    if (name.empty() || peek() != '"') {
        error = "bad tag pair";
        return false;
    }
    get();
    std::string value;
    for (;;) {
        int c = get();
        if (c == kEnd || c == '\n') {
            error = "unterminated tag value of " + name;
            return false;
        }
        if (c == '"') break;
        if (c == '\\' && (peek() == '"' || peek() == '\\')) c = get();
        if (c != '\r') value += static_cast<char>(c);
    }
    skipBlanks();
    if (peek() != ']') {
        error = "tag " + name + " is not closed with ]";
        return false;
    }
    get();
    visitor.tag(name, value);
    return true;
}

void PgnReader::skipToNextGame() {
    bool blankLine = false;
    while (peek() != kEnd && !m_atLineStart)
        get();
    while (peek() != kEnd) {
        // Look at the line without consuming it: a tag that follows a blank line, or an Event tag,
        // starts the next game.
        if (m_pos + 6 > m_buffer.size()) fill();
        if (peek() == '[' && (blankLine || m_buffer.compare(m_pos, 6, "[Event") == 0)) return;
        bool blank = true;
        for (int c = get(); c != kEnd && c != '\n'; c = get())
            if (!std::isspace(c)) blank = false;
        blankLine = blank;
    }
}

bool PgnReader::readGame(PgnVisitor& visitor) {
    skipBlanks();
    if (peek() == kEnd) return false;
    visitor.beginGame(++m_gameNumber);
    bool inTags = true;
    int depth = 0;
    std::string error;
    while (error.empty()) {
        skipBlanks();
        bool lineStart = m_atLineStart;
        int c = peek();
        if (c == kEnd) {
            if (depth > 0) error = "unterminated variation";
            break;
        }
        if (c == '[') {
            if (inTags) {
                readTag(visitor, error);
                continue;
            }
            // A tag after the moves begins the next game of a file that omits the result.
            if (depth == 0 && lineStart) break;
            error = lineStart ? "unterminated variation" : "tag inside the moves";
            break;
        }
        if (inTags) {
            inTags = false;
            visitor.beginMoves();
        }
        if (c == '{') {
            get();
            int startLine = m_line;
            bool closed = false;
            std::string text = readComment('}', closed);
            if (!closed) {
                error = "unterminated comment from line " + std::to_string(startLine);
                break;
            }
            visitor.comment(text);
        } else if (c == ';') {
            get();
            bool closed = false;
            visitor.comment(readComment('\n', closed));
        } else if (c == '(') {
            get();
            ++depth;
            visitor.beginVariation();
        } else if (c == ')') {
            get();
            if (depth == 0) {
                error = "unmatched )";
                break;
            }
            --depth;
            visitor.endVariation();
        } else if (c == '$') {
            get();
            std::string digits;
            while (std::isdigit(peek()))
                digits += static_cast<char>(get());
            if (digits.empty() || digits.size() > 3) {
                error = "bad annotation glyph";
                break;
            }
            visitor.nag(std::stoi(digits));
        } else if (c == '!' || c == '?') {
            std::string glyph;
            while (peek() == '!' || peek() == '?')
                glyph += static_cast<char>(get());
            if (int code = glyphCode(glyph); code != 0) visitor.nag(code);
        } else if (c == '*') {
            get();
            if (depth == 0) {
                visitor.result("*");
                break;
            }
        } else if (c == '.') {
            get();
        } else if (isSymbolChar(c)) {
            std::string symbol = readSymbol();
            if (isResult(symbol)) {
                if (depth > 0) continue;
                visitor.result(symbol == "1/2-1/2" || symbol == "1-0" || symbol == "0-1"
                                   ? symbol
                                   : std::string("1/2-1/2"));
                break;
            }
            if (isAllDigits(symbol)) continue; // a move number; its dots follow
            if (symbol == "e" && peek() == '.') {
                // "e.p." after an en-passant capture
                if (m_pos + 3 > m_buffer.size()) fill();
                if (m_buffer.compare(m_pos, 3, ".p.") == 0) {
                    for (int i = 0; i < 3; ++i)
                        get();
                    continue;
                }
            }
            if (symbol == "ep") continue;
            visitor.move(symbol);
        } else {
            error = "unexpected character '" + std::string(1, static_cast<char>(c)) + "'";
            get();
        }
    }
    if (!error.empty()) {
        visitor.error(error + " at line " + std::to_string(m_line));
        skipToNextGame();
    }
    visitor.endGame();
    return true;
}
