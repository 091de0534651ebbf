// The PGN tokenizer: what a visitor hears for the constructs that real files contain.
#include "pgn/PgnReader.h"

#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <tuple>

namespace {

// Writes every callback as one short line.
class Recorder : public PgnVisitor {
public:
    void beginGame(int number) override { add("game " + std::to_string(number)); }
    void tag(const std::string& name, const std::string& value) override {
        add("tag " + name + "=" + value);
    }
    void move(const std::string& san) override { add(san); }
    void comment(const std::string& text) override { add("{" + text + "}"); }
    void nag(int code) override { add("$" + std::to_string(code)); }
    void beginVariation() override { add("("); }
    void endVariation() override { add(")"); }
    void result(const std::string& text) override { add("result " + text); }
    void endGame() override { add("end"); }
    void error(const std::string& message) override { add("error " + message); }
    void add(const std::string& line) { events += (events.empty() ? "" : " | ") + line; }

    std::string events;
};

// What the visitor heard of every game, and what the reader made of the bytes.
struct Reading {
    std::string events;
    bool latin1 = false;
    bool notText = false;
};

Reading ReadAll(const std::string& pgn) {
    std::istringstream input(pgn);
    PgnReader reader(input);
    Recorder recorder;
    while (reader.readGame(recorder)) {
    }
    return {recorder.events, reader.isLatin1(), reader.isNotText()};
}

TEST(PgnReader, ReportsTheSyntaxOfEachConstructAndTheBrokenGames) {
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"tags and moves", "[Event \"Club\"]\n[White \"A\"]\n\n1. e4 e5 2. Nf3 1-0\n",
         "game 1 | tag Event=Club | tag White=A | e4 | e5 | Nf3 | result 1-0 | end"},
        {"numbers glued to moves", "1.e4 e5 2.Nf3 Nc6 3...a6 *",
         "game 1 | e4 | e5 | Nf3 | Nc6 | a6 | result * | end"},
        {"comments in braces over lines and after semicolons",
         "1. e4 {best by\ntest} e5 ; a classic\n2. Nf3 *",
         "game 1 | e4 | {best by\ntest} | e5 | { a classic} | Nf3 | result * | end"},
        {"nested variations", "1. e4 (1. d4 d5 (1... Nf6 2. c4)) e5 *",
         "game 1 | e4 | ( | d4 | d5 | ( | Nf6 | c4 | ) | ) | e5 | result * | end"},
        {"results inside variations end no game", "1. e4 (1. d4 1-0) (1. c4 *) e5 0-1",
         "game 1 | e4 | ( | d4 | ) | ( | c4 | ) | e5 | result 0-1 | end"},
        {"escaped quotes in tag values", "[Event \"The \\\"Immortal\\\" \\\\ game\"]\n*",
         "game 1 | tag Event=The \"Immortal\" \\ game | result * | end"},
        {"draw result and en passant remark", "1. e4 d5 2. e5 f5 3. exf6 e.p. 1/2-1/2",
         "game 1 | e4 | d5 | e5 | f5 | exf6 | result 1/2-1/2 | end"},
        {"byte-order mark and CRLF", "\xEF\xBB\xBF[Event \"E\"]\r\n\r\n1. e4 {x\r\ny} 0-1\r\n",
         "game 1 | tag Event=E | e4 | {x\ny} | result 0-1 | end"},
        {"files joined with their byte-order marks",
         "\xEF\xBB\xBF"
         "1. e4 *\n\n\xEF\xBB\xBF[Event \"F\"]\n1. d4 *\n\xEF\xBB\xBF",
         "game 1 | e4 | result * | end | game 2 | tag Event=F | d4 | result * | end"},
        {"several games, one without a result",
         "[Event \"One\"]\n\n1. e4\n\n[Event \"Two\"]\n\n1. d4 *\n",
         "game 1 | tag Event=One | e4 | end | game 2 | tag Event=Two | d4 | result * | end"},
        {"castling and promotion texts", "1. O-O O-O-O 2. e8=Q+ 0-0 3. fxg1=N# *",
         "game 1 | O-O | O-O-O | e8=Q+ | 0-0 | fxg1=N# | result * | end"},
        {"only blanks and an escape line", "\n\n% nothing here\n  \n", ""},
        // A broken game is reported and the next game is still read.
        {"unterminated comment", "[Event \"A\"]\n\n1. e4 {never closed\n",
         "game 1 | tag Event=A | e4 | error unterminated comment from line 3 at line 4 | end"},
        {"unmatched parenthesis then a good game",
         "[Event \"A\"]\n\n1. e4 ) e5 *\n\n[Event \"B\"]\n\n1. d4 *\n",
         "game 1 | tag Event=A | e4 | error unmatched ) at line 3 | end | game 2 | tag Event=B "
         "| d4 | result * | end"},
        {"unterminated variation", "1. e4 (1. d4 d5 *",
         "game 1 | e4 | ( | d4 | d5 | error unterminated variation at line 1 | end"},
        {"broken tag then a good game", "[Event \"A]\n1. e4 *\n\n[Event \"B\"]\n1. c4 *\n",
         "game 1 | error unterminated tag value of Event at line 2 | end | game 2 | tag Event=B "
         "| c4 | result * | end"},
        {"stray character, even a % inside a line", "1. e4 % e5 *\n\n[Event \"B\"]\n1. c4 *",
         "game 1 | e4 | error unexpected character '%' at line 1 | end | game 2 | tag Event=B | "
         "c4 | result * | end"},
    };
    for (const auto& [name, pgn, events] : cases)
        EXPECT_EQ(ReadAll(pgn).events, events) << name;
}

TEST(PgnReader, CountsGamesAcrossBufferRefills) {
    std::string pgn, events;
    const int games = 3000; // well over one read buffer
    for (int i = 0; i < games; ++i) {
        // Every seventh game is broken; the reader must find the next one wherever the read
        // buffer ends.
        const bool bad = i % 7 == 3;
        pgn += "[Event \"G" + std::to_string(i) + "\"]\n\n1. e4 {a comment} e5 " +
               (bad ? ") " : "") + "2. Nf3 1-0\n\n";
        events +=
            std::string(i ? " | " : "") + "game " + std::to_string(i + 1) + " | tag Event=G" +
            std::to_string(i) + " | e4 | {a comment} | e5 | " +
            (bad ? "error unmatched ) at line " + std::to_string(4 * i + 3) : "Nf3 | result 1-0") +
            " | end";
    }
    Recorder recorder;
    PgnVisitor ignoring; // every callback left as the base class has it: it does nothing
    for (PgnVisitor* visitor : {static_cast<PgnVisitor*>(&recorder), &ignoring}) {
        std::istringstream input(pgn);
        PgnReader reader(input);
        while (reader.readGame(*visitor)) {
        }
        EXPECT_EQ(reader.gamesRead(), games);
    }
    EXPECT_EQ(recorder.events, events);
}

// The text as UTF-16 with its byte-order mark; a character past U+FFFF is a surrogate pair.
std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// Text in any of the encodings real files use is read as UTF-8; bytes that are no text give no
// games.
TEST(PgnReader, GivesUtf8ReadingLatin1WhereTheTextIsNotUtf8AndNothingOfBinaryData) {
    // A two-byte character cut by the end of the first read buffer.
    const std::string pad(65535 - std::string("[Event \"").size(), 'x');
    std::string random(8192, '\0');
    std::mt19937 bytes(7);
    for (char& c : random)
        c = static_cast<char>(bytes() & 0xFF);
    const std::string game = "[Event \"E\"]\n\n1. e4 *\n";
    std::string controls;
    for (int i = 0; i < 200; ++i)
        controls += "1. e4\x01\x02\x03";
    const std::tuple<const char*, std::string, std::string, bool, bool> cases[] = {
        {"UTF-8", "[Event \"Sch\xC3\xB6n \xE2\x82\xAC\"]\n\n1. e4 {f\xC3\xBCr} *",
         "game 1 | tag Event=Sch\xC3\xB6n \xE2\x82\xAC | e4 | {f\xC3\xBCr} | result * | end", false,
         false},
        {"Latin-1", "[Event \"Sch\xF6ne Partie\"]\n\n1. e4 {f\xFCr} *",
         "game 1 | tag Event=Sch\xC3\xB6ne Partie | e4 | {f\xC3\xBCr} | result * | end", true,
         false},
        {"Windows quotes and letters", "[Event \"\x93Immortal\x94 \x9F\"]\n*",
         "game 1 | tag Event=\xE2\x80\x9CImmortal\xE2\x80\x9D \xC5\xB8 | result * | end", true,
         false},
        {"a surrogate coded as UTF-8 is no UTF-8", "[Event \"\xED\xA0\x80\"]\n*",
         "game 1 | tag Event=\xC3\xAD\xC2\xA0\xE2\x82\xAC | result * | end", true, false},
        {"a cut sequence at the end", "[Event \"a\xC3\"]\n*",
         "game 1 | tag Event=a\xC3\x83 | result * | end", true, false},
        {"a sequence across two reads", "[Event \"" + pad + "\xC3\xA9\"]\n*",
         "game 1 | tag Event=" + pad + "\xC3\xA9 | result * | end", false, false},
        {"UTF-16 little-endian", Utf16(u"[Event \"\u00E9\"]\n1. e4 {\U00010401} *", false),
         "game 1 | tag Event=\xC3\xA9 | e4 | {\xF0\x90\x90\x81} | result * | end", false, false},
        {"UTF-16 big-endian", Utf16(u"[Event \"\u00E9\"]\n1. d4 *", true),
         "game 1 | tag Event=\xC3\xA9 | d4 | result * | end", false, false},
        {"text with a stray NUL", std::string("[Event \"a\"]\n\n1. e4 {\x00} *", 24),
         std::string("game 1 | tag Event=a | e4 | {\0} | result * | end", 48), false, false},
        {"a workbook", "SQLite format 3" + std::string(4096, '\0'), "", false, true},
        // known signatures refuse even a text that follows them
        {"gzip", "\x1F\x8B" + game, "", false, true},
        {"zip", "PK\x03\x04" + game, "", false, true},
        {"random bytes", random, "", false, true},
        {"text full of control characters", controls, "", false, true},
    };
    for (const auto& [name, bytes, events, latin1, binary] : cases) {
        const Reading read = ReadAll(bytes);
        EXPECT_EQ(read.events, events) << name;
        EXPECT_EQ(read.latin1, latin1) << name;
        EXPECT_EQ(read.notText, binary) << name;
    }
}

} // namespace
