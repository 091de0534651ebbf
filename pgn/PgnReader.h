#pragma once

#include "pgn/PgnVisitor.h"

#include <istream>
#include <string>

// Reads PGN text game by game and reports its syntax to a visitor: tag pairs, move numbers,
// comments in braces and after ";", escape lines, NAGs and glyphs, nested variations and results.
// Accepts LF or CRLF line ends and a UTF-8 byte-order mark. Memory does not grow with the file.
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

private:
    int peek();
    int get();
    void fill();
    void skipBlanks();
    bool readTag(PgnVisitor& visitor, std::string& error);
    std::string readSymbol();
    std::string readComment(char closing, bool& closed);
    void skipToNextGame();

    std::istream& m_input;
    std::string m_buffer;
    size_t m_pos = 0;
    bool m_eof = false;
    bool m_atLineStart = true;
    int m_line = 1;
    int m_gameNumber = 0;
};
