#pragma once

#include "pgn/PgnGame.h"
#include "pgn/PgnVisitor.h"

#include <memory>
#include <string>
#include <vector>

class CGameNode;
class CPieceLocation;
class CPosition;

// Builds a game tree from the syntax of one PGN game: the root is the FEN position (or the
// standard start), the main line and every variation become nodes, variations after the main
// move in the order they appear. Each move is read with the position's own move reading and
// stored under the text the program itself writes for it.
class PgnTreeBuilder : public PgnVisitor {
public:
    // The game built by the last readGame; the builder is ready for the next one.
    PgnGame takeGame();

    // Starts a new game.
    void beginGame(int gameNumber) override;
    // Keeps the tag (FEN, Description, PageRef, DiagramRef and the players are used).
    void tag(const std::string& name, const std::string& value) override;
    // Makes the root from the tags.
    void beginMoves() override;
    // Plays the move from the current node; an unreadable or illegal move refuses the game. A
    // null move leaves out the rest of its variation (a null move in the main line refuses the
    // game: a pass cannot be trained).
    void move(const std::string& san) override;
    // Keeps the comment (its blanks squeezed) with the last move, the next move of a variation
    // that has none yet, or the game; the first one with words besides its embedded commands
    // ("[%clk 0:03:00]") is also a possible description, unless it follows the result.
    void comment(const std::string& text) override;
    // Keeps the glyph with the last move, the next move of a variation or the start position.
    void nag(int code) override;
    // Goes back to the node before the last move.
    void beginVariation() override;
    // Returns to the line the variation left.
    void endVariation() override;
    // Settles the texts and puts the tree at its root.
    void endGame() override;
    // Keeps the result the moves end with (a win or a draw) when no Result tag gives one.
    void result(const std::string& text) override;
    // Refuses the game with the reader's message.
    void error(const std::string& message) override;

    // The root position of a FEN text as PGN uses it: the full-move field sets the move number.
    static std::shared_ptr<CPosition> objRootFromFen(const std::string& fen);

private:
    struct Level {
        std::shared_ptr<CGameNode> current; // the node after the last move
        std::shared_ptr<CGameNode> before;  // the node before the last move (none before any move)
        std::string pendingComment;         // written before the variation's first move
        std::vector<int> pendingNags;
    };

    void startTree();
    // Plays the move text from the position, keeping the move's locations; nothing when the
    // position has no such move.
    std::shared_ptr<CPosition> objPlay(const CPosition& position, const std::string& text);
    void fail(const std::string& message);
    NodeAnnotation& annotation(const CGameNode& node);

    PgnGame m_game;
    std::vector<Level> m_levels;
    std::string m_firstComment;
    bool m_resultRead = false;
    bool m_started = false;
    // Variations open inside the variation being left out from its null move; 0 when none is.
    int m_leftOutDepth = 0;
    int m_leftOutCount = 0;
    std::string m_firstLeftOut;              // where the first variation left out met its null move
    std::shared_ptr<CPieceLocation> m_start; // of the move last played by objPlay
    std::shared_ptr<CPieceLocation> m_end;
};
