#pragma once

#include <memory>
#include <string>

class CGameTree;
struct GameAnnotations;

// Writes one workbook game as PGN: the standard tags, our tags Description, PageRef and
// DiagramRef, SetUp and FEN when the root is not the standard start, the game's other tags, then
// the main line with its variations in tree order, glyphs as $n and comments in braces, and the
// game's result ("*" when it has none). Lines stay within 80 characters but for longer words.
class PgnWriter {
public:
    // The game as PGN text, ending with an empty line, with its tags (the workbook texts win over
    // stored Description, PageRef and DiagramRef; the root gives SetUp and FEN), comments and
    // glyphs.
    static std::string strWriteGame(const CGameTree& tree, const std::string& description,
                                    const std::string& page, const std::string& diagram,
                                    const GameAnnotations& annotations);
    // The tag value in PGN form: quotes and backslashes escaped, line breaks as spaces.
    static std::string strTagValue(const std::string& value);
};
