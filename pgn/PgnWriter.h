#pragma once

#include <memory>
#include <string>

class CGameTree;

// Writes one workbook game as PGN: the standard tags, our tags Description, PageRef and
// DiagramRef, SetUp and FEN when the root is not the standard start, then the main line with its
// variations in tree order and the result "*". Lines stay within 80 characters.
class PgnWriter {
public:
    // The game as PGN text, ending with an empty line.
    static std::string strWriteGame(const CGameTree& tree, const std::string& description,
                                    const std::string& page, const std::string& diagram);
    // The tag value in PGN form: quotes and backslashes escaped, line breaks as spaces.
    static std::string strTagValue(const std::string& value);
};
