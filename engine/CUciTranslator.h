#pragma once

#include "engine/UciText.h"

#include <memory>
#include <string>
#include <vector>

class CPosition;

// What the translator asks of the UCI session: a new game, a search, or the end.
struct UciRequest {
    enum class Kind { NewGame, Search, Quit };
    Kind kind = Kind::NewGame;
    std::string strFen;                   // Search: the game's start position
    std::vector<std::string> arrstrMoves; // Search: the moves since, in UCI form
    UciLimit limit;                       // Search: "st" and "sd" as time and depth
};

// Plays a game in UCI on behalf of a caller that speaks Crafty's console protocol. It keeps its
// own copy of the game: "setboard FEN" sets it, the caller's move lines are read with the
// position's move reading, "st N" and "sd N" become the limits of the search, and each move the
// engine chose comes back as Crafty's move line ("Black(1): Nf6"), followed by a result line
// holding "{" or "stalemate" when the move ends the game. No process here: the caller hands the
// requests to a UCI session and the engine's moves back.
class CUciTranslator {
public:
    CUciTranslator();
    ~CUciTranslator();

    // Takes one command line of the console protocol.
    void command(const std::string& line);
    // Takes the engine's chosen move ("bestmove") in UCI form.
    void EngineMoved(const std::string& uci);

    // What the session is to do, oldest first; taking the requests empties the list.
    std::vector<UciRequest> takeRequests();
    // Lines for the caller, oldest first; taking them empties the list.
    std::vector<std::string> takeLinesForCaller();

    // True while a search was asked for and its "bestmove" has not arrived.
    bool isThinking() const { return thinking; }
    // The search time per move in milliseconds ("st"), 0 for none.
    int intMoveTimeMs() const { return moveTimeMs; }
    // True once "end" or "quit" was taken.
    bool isQuitRequested() const { return quitRequested; }
    // What the engine did wrong (an unreadable or illegal move), "" while it behaves.
    const std::string& strFault() const { return fault; }
    // The game position as the translator knows it; nullptr before "setboard".
    std::shared_ptr<CPosition> objPosition() const { return position; }

private:
    void setBoard(const std::string& fen);
    void trainerMove(const std::string& text);
    void startSearch();
    void bestMove(const std::string& uciMove);
    bool reportGameEnd();
    void limit(const std::string& value, int scale, int& target);

    std::shared_ptr<CPosition> position;
    std::string startFen;
    std::vector<std::string> uciMoves;
    int fullMoveNumber = 1;
    int moveTimeMs = 0;
    int depth = 0;
    bool thinking = false;
    bool quitRequested = false;
    std::string fault;
    std::vector<std::string> pendingCommands;
    std::vector<UciRequest> toEngine;
    std::vector<std::string> toCaller;
};
