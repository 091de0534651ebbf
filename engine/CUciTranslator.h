#pragma once

#include <memory>
#include <string>
#include <vector>

class CPosition;

// Speaks UCI to an engine on behalf of a caller that speaks Crafty's console protocol. It keeps
// its own copy of the game: "setboard FEN" sets it, the caller's move lines are read with the
// position's move reading, "st N" and "sd N" become the limits of "go", and each "bestmove" of
// the engine comes back as Crafty's move line ("Black(1): Nf6"), followed by a result line
// holding "{" or "stalemate" when the move ends the game. Plain text in, plain text out: the
// caller moves the lines between this object and the engine process.
class CUciTranslator {
public:
    CUciTranslator();
    ~CUciTranslator();

    // Takes one command line of the console protocol.
    void command(const std::string& line);
    // Takes one line written by the engine.
    void engineLine(const std::string& line);

    // Lines to write to the engine, oldest first; taking them empties the list.
    std::vector<std::string> takeLinesForEngine();
    // Lines for the caller, oldest first; taking them empties the list.
    std::vector<std::string> takeLinesForCaller();

    // True while a search was asked for and its "bestmove" has not arrived.
    bool isThinking() const { return thinking; }
    // The search time per move in milliseconds ("st"), 0 for none.
    int intMoveTimeMs() const { return moveTimeMs; }
    // The search time the engine last reported ("info ... time N"), -1 when none.
    int intLastReportedTimeMs() const { return reportedTimeMs; }
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
    void readInfo(const std::string& line);
    bool reportGameEnd();
    std::string strPositionCommand() const;
    void limit(const std::string& value, int scale, int& target);

    std::shared_ptr<CPosition> position;
    std::string startFen;
    std::vector<std::string> uciMoves;
    int fullMoveNumber = 1;
    int moveTimeMs = 0;
    int depth = 0;
    int reportedTimeMs = -1;
    bool thinking = false;
    bool quitRequested = false;
    std::string fault;
    std::vector<std::string> pendingCommands;
    std::vector<std::string> toEngine;
    std::vector<std::string> toCaller;
};
