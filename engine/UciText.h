#pragma once

#include "engine/EngineScore.h"

#include <string>
#include <vector>

// The text of the UCI protocol: the commands a session writes and the engine lines it reads.

// How long one search runs: a fixed time, a fixed depth, or both (whichever ends first).
struct UciLimit {
    int intMoveTimeMs = 0;
    int intDepth = 0;
};

// What one "info" line says about one principal variation.
struct UciInfo {
    int intMultiPv = 1;
    int intDepth = 0;
    int intTimeMs = -1;    // "time": the search time so far, -1 when not given
    bool hasScore = false; // "score cp N" or "score mate N" was given
    bool isBound = false;  // the score is only a lower or upper bound
    EngineScore objScore;
    std::vector<std::string> arrstrPv; // the line's moves in UCI form, first move first
};

// "position fen FEN" followed by " moves" and the moves when there are any.
std::string strUciPositionCommand(const std::string& fen, const std::vector<std::string>& moves);

// "go" with the limit ("movetime", "depth") and the moves to search ("searchmoves"); a search
// without any limit gets "movetime" fallbackMs, so that it always ends.
std::string strUciGoCommand(const UciLimit& limit, const std::vector<std::string>& searchMoves = {},
                            int fallbackMs = 2000);

// Reads an "info" line; false for other lines and for "info string". Fields that are missing
// keep their defaults; a malformed number ends the reading with what was read before it.
bool isParseUciInfo(const std::string& line, UciInfo& info);

// Reads a "bestmove" line: true with the move (possibly "", "(none)" or "0000") for such a line.
bool isParseBestMove(const std::string& line, std::string& move);
