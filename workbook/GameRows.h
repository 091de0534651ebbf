#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CGameTree;
struct GameAnnotations;

// The rows a save writes for one game, made from its tree and texts without the workbook, so
// that they can be made on another thread than the one that writes them. Making them refuses
// what a workbook cannot keep (a node without a position, a text longer than a row may hold)
// with a CWorkBookGameError, before anything is written.
struct GameRows {
    struct Node {
        std::string strKey;
        std::string strParentKey;
        bool isWhiteToMove = true; // after a mate or stalemate, the side mated or stalemated
        std::array<char, 64> arrDiagram{}; // the diagram text: kept in place, not on the heap
        std::string strMoveText;
        int intMoveNumber = 0;
        int intEnPassantFile = -1;
        // Castling still allowed: White O-O, White O-O-O, Black O-O, Black O-O-O.
        std::array<bool, 4> arrCastling{};
    };
    struct Annotation {
        std::string strKey;
        std::string strBefore;
        std::string strAfter;
        std::string strNags; // as stored
    };

    int64_t lngID = 0; // the game saved over; 0 or less for a new game
    std::string strDescription;
    std::string strXRefPage;
    std::string strXRefDiagram;
    std::vector<Node> arrNodes; // in the tree's order: a parent before its children
    // Whether the save replaces the game's comments, glyphs and tags; when it does, the tag
    // section as stored ("" for none) and the nodes that carry something.
    bool hasAnnotations = false;
    std::string strTags;
    std::vector<Annotation> arrAnnotations;

    // The rows of the tree, with the game's annotations when given; a root (its move text "...")
    // is stored without a parent key.
    static GameRows objOf(const std::shared_ptr<CGameTree>& tree, int64_t id,
                          std::string description, std::string page, std::string diagram,
                          const GameAnnotations* annotations);
    // The positions and moves of a game as stored ("" for no tree): another game given the same
    // identifier has others.
    static std::string strStoredMoves(const std::shared_ptr<CGameTree>& tree);
};
