#pragma once

#include <string>

// Receives the syntax of PGN games from PgnReader, in the order it appears. Moves are unresolved
// text; consumers decide what they mean. Every callback does nothing unless overridden.
class PgnVisitor {
public:
    virtual ~PgnVisitor() = default;

    // A new game starts; games are numbered from 1 in the order they are read.
    virtual void beginGame(int /*gameNumber*/) {}
    // A tag pair, with the value's escapes already resolved.
    virtual void tag(const std::string& /*name*/, const std::string& /*value*/) {}
    // The tag section is over; the movetext follows.
    virtual void beginMoves() {}
    // A move as written, without move number, annotation glyphs or trailing "e.p."; null moves
    // come as written too ("--", "Z0", "0000", "@@@@", "null").
    virtual void move(const std::string& /*san*/) {}
    // A comment in braces or after ";" (without the delimiters).
    virtual void comment(const std::string& /*text*/) {}
    // A numeric annotation glyph ($n, or !, ?, !!, ??, !?, ?! as 1 to 6).
    virtual void nag(int /*code*/) {}
    // A variation starts: it replaces the last move given.
    virtual void beginVariation() {}
    // The variation ends.
    virtual void endVariation() {}
    // The game termination marker ("1-0", "0-1", "1/2-1/2" or "*").
    virtual void result(const std::string& /*text*/) {}
    // The game is over (also after an error).
    virtual void endGame() {}
    // The game's text is broken; the reader skips to the next game after this call.
    virtual void error(const std::string& /*message*/) {}
};
