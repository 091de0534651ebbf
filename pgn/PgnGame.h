#pragma once

#include "workbook/GameAnnotations.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class CGameTree;

// One game read from PGN: its tags, its tree and the workbook texts, or why it was refused.
struct PgnGame {
    int intNumber = 0;                                        // 1-based place in the file
    std::vector<std::pair<std::string, std::string>> arrTags; // in the order read
    std::shared_ptr<CGameTree> objTree;                       // at its root; nothing on error
    std::string strDescription;
    std::string strPageRef;
    std::string strDiagramRef;
    GameAnnotations objAnnotations; // the tags again, with the comments and glyphs by node key
    std::string strError;           // empty for a usable game
    std::string strLeftOut;         // what a usable game was read without, or ""

    // The value of a tag, or "" when the game has none.
    std::string strTag(const std::string& name) const;
    // The tags that name a game to a person (Event, White, Black, Date, Round), as PGN text.
    std::string strIdentity() const;
    // The text with control characters shown as "?", for messages written to a terminal.
    static std::string strPrintable(const std::string& text);
};
