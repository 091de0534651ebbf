#include "pgn/PgnReader.h"

#include "model/CError.h"

#include <cctype>
#include <string>
#include <utility>

namespace {

constexpr size_t kChunk = 1 << 16;
constexpr int kEnd = -1;

// The next block of the text. A stream that could not be read (a file's read error sets its bad
// bit, without an exception) raises: its end is not the end of the text.
std::string strReadBlock(std::istream& input) {
    std::string bytes(kChunk, '\0');
    input.read(bytes.data(), static_cast<std::streamsize>(kChunk));
    bytes.resize(static_cast<size_t>(input.gcount()));
    if (input.bad()) RaiseError("PGN", "The PGN text could not be read to its end");
    return bytes;
}

bool isSymbolChar(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '+' || c == '#' || c == '=' || c == ':' || c == '-' || c == '/' || c >= 0x80;
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

// Positional glyphs as programs write them in the moves, by their standard numbers: the signs
// of the balance, unclear and with compensation.
int symbolGlyphCode(const std::string& symbol) {
    static const std::pair<const char*, int> glyphs[] = {{"=", 10},
                                                         {"\xE2\x88\x9E", 13},
                                                         {"+=", 14},
                                                         {"\xE2\xA9\xB2", 14},
                                                         {"=+", 15},
                                                         {"\xE2\xA9\xB1", 15},
                                                         {"+/-", 16},
                                                         {"\xC2\xB1", 16},
                                                         {"-/+", 17},
                                                         {"\xE2\x88\x93", 17},
                                                         {"+-", 18},
                                                         {"-+", 19},
                                                         {"=/\xE2\x88\x9E", 44}};
    for (const auto& [text, code] : glyphs)
        if (symbol == text) return code;
    return 0;
}

} // namespace

PgnReader::PgnReader(std::istream& input) : m_input(input) {
    std::string start = strReadBlock(m_input);
    if (start.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        start.erase(0, 3);
    } else if (start.compare(0, 2, "\xFF\xFE") == 0 || start.compare(0, 2, "\xFE\xFF") == 0) {
        // UTF-16, as some editors save "Unicode" text.
        m_decoder.ReadUtf16(start[0] == '\xFE');
        start.erase(0, 2);
    }
    if (!m_decoder.isUtf16() && PgnTextDecoder::isBinary(start)) {
        m_notText = true;
        m_eof = true;
        return;
    }
    m_eof = start.empty();
    m_buffer = m_decoder.strDecode(start, m_eof);
}

void PgnReader::fill() {
    if (m_eof) return;
    m_buffer.erase(0, m_pos);
    m_pos = 0;
    std::string bytes = strReadBlock(m_input);
    if (bytes.empty()) m_eof = true;
    m_buffer += m_decoder.strDecode(bytes, m_eof);
}

bool PgnReader::lookingAt(const char* text) {
    const size_t length = std::char_traits<char>::length(text);
    if (m_pos + length > m_buffer.size()) fill();
    return m_buffer.compare(m_pos, length, text) == 0;
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
        } else if (c == 0xEF && lookingAt("\xEF\xBB\xBF")) {
            // The byte-order mark of each file in files joined into one: it marks nothing here.
            m_pos += 3;
        } else {
            return;
        }
    }
}

std::string PgnReader::readSymbol() {
    // Taken a buffered run at a time; no symbol character ends a line.
    std::string symbol;
    while (isSymbolChar(peek())) {
        size_t end = m_pos + 1;
        while (end < m_buffer.size() && isSymbolChar(static_cast<unsigned char>(m_buffer[end])))
            ++end;
        symbol.append(m_buffer, m_pos, end - m_pos);
        m_pos = end;
        m_atLineStart = false;
    }
    return symbol;
}

// Appends the buffered characters up to the next line break or stop character to the text in
// one piece: a tag value or a comment is mostly such a run, and no line is counted in it.
void PgnReader::takePlainRun(std::string& text, char stop, char otherStop) {
    size_t end = m_pos;
    while (end < m_buffer.size()) {
        const char c = m_buffer[end];
        if (c == stop || c == otherStop || c == '\n' || c == '\r') break;
        ++end;
    }
    if (end == m_pos) return;
    text.append(m_buffer, m_pos, end - m_pos);
    m_pos = end;
    m_atLineStart = false;
}

std::string PgnReader::readComment(char closing, bool& closed) {
    std::string text;
    closed = false;
    for (;;) {
        takePlainRun(text, closing, closing);
        const int c = get();
        if (c == kEnd) break;
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
        takePlainRun(value, '"', '\\');
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
        if (peek() == '[' && (blankLine || lookingAt("[Event"))) return;
        bool blank = true;
        for (int c = get(); c != kEnd && c != '\n'; c = get())
            if (!std::isspace(c)) blank = false;
        blankLine = blank;
    }
}

bool PgnReader::readGame(PgnVisitor& visitor) {
    skipBlanks();
    if (peek() == kEnd && m_nextGameComments.empty() && m_nextGameError.empty()) return false;
    visitor.beginGame(++m_gameNumber);
    GameState state;
    state.error = std::exchange(m_nextGameError, {});
    if (state.error.empty() && !m_nextGameComments.empty()) {
        state.inTags = false;
        visitor.beginMoves();
        for (const std::string& text : std::exchange(m_nextGameComments, {}))
            visitor.comment(text);
    }
    while (state.error.empty() && !state.done)
        readElement(visitor, state);
    if (!state.error.empty()) {
        visitor.error(state.error + " at line " + std::to_string(m_line));
        skipToNextGame();
    } else if (state.ended) {
        readCommentsAfterResult(visitor);
    }
    visitor.endGame();
    return true;
}

// Comments after a game's result ("1-0 {White won on time}") belong to that game when the next
// game starts with its tags or the text ends; before a game without tags they open that game.
void PgnReader::readCommentsAfterResult(PgnVisitor& visitor) {
    std::vector<std::string> comments;
    for (skipBlanks(); peek() == '{' || peek() == ';'; skipBlanks()) {
        std::string text;
        if (!isReadCommentElement(text, m_nextGameError)) return;
        comments.push_back(std::move(text));
    }
    if (peek() == '[' || peek() == kEnd) {
        for (const std::string& text : comments)
            visitor.comment(text);
    } else {
        m_nextGameComments = std::move(comments);
    }
}

void PgnReader::readElement(PgnVisitor& visitor, GameState& state) {
    skipBlanks();
    const bool lineStart = m_atLineStart;
    const int c = peek();
    if (c == kEnd) {
        if (state.depth > 0) state.error = "unterminated variation";
        state.done = true;
        return;
    }
    if (c == '[') {
        readTagOrEnd(visitor, state, lineStart);
        return;
    }
    if (state.inTags) {
        state.inTags = false;
        visitor.beginMoves();
    }
    if (c == '{' || c == ';') {
        if (std::string text; isReadCommentElement(text, state.error)) visitor.comment(text);
    } else if (c == '(' || c == ')') {
        readVariationMark(visitor, state);
    } else if (c == '$' || c == '!' || c == '?') {
        readAnnotation(visitor, state);
    } else if (c == '*') {
        get();
        if (state.depth == 0) {
            visitor.result("*");
            state.done = state.ended = true;
        }
    } else if (c == '.') {
        get();
    } else if (isSymbolChar(c)) {
        readSymbolElement(visitor, state);
    } else if (c == '@' && lookingAt("@@@@")) {
        for (int i = 0; i < 4; ++i) // a null move, as some programs write one
            get();
        visitor.move("@@@@");
    } else {
        get();
        const bool shown = c > 0x20 && c < 0x7F;
        state.error =
            "unexpected character " + (shown ? "'" + std::string(1, static_cast<char>(c)) + "'"
                                             : "code " + std::to_string(c));
    }
}

void PgnReader::readTagOrEnd(PgnVisitor& visitor, GameState& state, bool lineStart) {
    if (state.inTags) {
        readTag(visitor, state.error);
        return;
    }
    // A tag after the moves begins the next game of a file that omits the result.
    if (state.depth == 0 && lineStart) {
        state.done = true;
        return;
    }
    state.error = lineStart ? "unterminated variation" : "tag inside the moves";
}

// The comment at "{" or ";" (to the end of the line); false with the error when a brace comment
// runs to the end of the text.
bool PgnReader::isReadCommentElement(std::string& text, std::string& error) {
    const int startLine = m_line;
    const char closing = get() == '{' ? '}' : '\n';
    bool closed = false;
    text = readComment(closing, closed);
    if (closed || closing == '\n') return true;
    error = "unterminated comment from line " + std::to_string(startLine);
    return false;
}

void PgnReader::readVariationMark(PgnVisitor& visitor, GameState& state) {
    if (get() == '(') {
        ++state.depth;
        visitor.beginVariation();
        return;
    }
    if (state.depth == 0) {
        state.error = "unmatched )";
        return;
    }
    --state.depth;
    visitor.endVariation();
}

void PgnReader::readAnnotation(PgnVisitor& visitor, GameState& state) {
    if (peek() == '$') {
        get();
        std::string digits;
        while (std::isdigit(peek()))
            digits += static_cast<char>(get());
        if (digits.empty() || digits.size() > 3) {
            state.error = "bad annotation glyph";
            return;
        }
        visitor.nag(std::stoi(digits));
        return;
    }
    std::string glyph;
    while (peek() == '!' || peek() == '?')
        glyph += static_cast<char>(get());
    if (int code = glyphCode(glyph); code != 0) visitor.nag(code);
}

void PgnReader::readSymbolElement(PgnVisitor& visitor, GameState& state) {
    const std::string symbol = readSymbol();
    if (isResult(symbol)) {
        if (state.depth > 0) return;
        visitor.result(symbol == "1/2-1/2" || symbol == "1-0" || symbol == "0-1"
                           ? symbol
                           : std::string("1/2-1/2"));
        state.done = state.ended = true;
        return;
    }
    // A move number, its dots following; "0000" is a null move, as some programs write one.
    if (isAllDigits(symbol) && symbol != "0000") return;
    if (const int code = symbolGlyphCode(symbol); code != 0) {
        visitor.nag(code);
        return;
    }
    // "e.p." after an en-passant capture
    if (symbol == "e" && peek() == '.' && lookingAt(".p.")) {
        for (int i = 0; i < 3; ++i)
            get();
        return;
    }
    if (symbol == "ep") return;
    visitor.move(symbol);
}
