#pragma once

#include "pgn/PgnTextDecoder.h"
#include "pgn/PgnVisitor.h"

#include <istream>
#include <string>
#include <vector>

// Reads PGN text game by game and reports its syntax to a visitor: tag pairs, move numbers,
// comments in braces and after ";", escape lines, NAGs and glyphs, nested variations and results.
// Accepts LF or CRLF line ends and UTF-8 byte-order marks (files joined into one hold one at
// the start of each). Text is read as UTF-8 where it is valid and as Latin-1 elsewhere, or as
// UTF-16 after its byte-order mark; the visitor always gets UTF-8. A file that starts like binary
// data gives no games. Memory does not grow with the file; variations nest to any depth.
class PgnReader {
public:
    // Reads from the stream, which must outlive the reader.
    explicit PgnReader(std::istream& input);

    // Reads the next game into the visitor; false when the input holds no further game.
    bool readGame(PgnVisitor& visitor);
    // The number of games read so far.
    int gamesRead() const { return m_gameNumber; }
    // The line number (from 1) where the reader stands.
    int lineNumber() const { return m_line; }
    // True when the input is not PGN text but binary data; it gives no games.
    bool isNotText() const { return m_notText; }
    // True when some of the text read so far was not UTF-8 and was read as Latin-1.
    bool isLatin1() const { return m_decoder.isLatin1(); }

private:
    // Where the reader stands inside one game.
    struct GameState {
        bool inTags = true;
        int depth = 0; // open variations
        bool done = false;
        bool ended = false; // by its result
        std::string error;
    };

    int peek();
    int get();
    void fill();
    void skipBlanks();
    bool lookingAt(const char* text);

    void readElement(PgnVisitor& visitor, GameState& state);
    void readTagOrEnd(PgnVisitor& visitor, GameState& state, bool lineStart);
    bool readTag(PgnVisitor& visitor, std::string& error);
    bool isReadCommentElement(std::string& text, std::string& error);
    void readVariationMark(PgnVisitor& visitor, GameState& state);
    void readAnnotation(PgnVisitor& visitor, GameState& state);
    void readSymbolElement(PgnVisitor& visitor, GameState& state);
    std::string readSymbol();
    std::string readComment(char closing, bool& closed);
    void takePlainRun(std::string& text, char stop, char otherStop);
    void skipToNextGame();
    void readCommentsAfterResult(PgnVisitor& visitor);

    std::istream& m_input;
    PgnTextDecoder m_decoder;
    std::string m_buffer; // decoded text
    size_t m_pos = 0;
    bool m_eof = false;
    bool m_notText = false;
    bool m_atLineStart = true;
    int m_line = 1;
    int m_gameNumber = 0;
    // Comments read after a game's result that open the next game, or why they could not be read.
    std::vector<std::string> m_nextGameComments;
    std::string m_nextGameError;
};
