#pragma once

#include "engine/UciText.h"

#include <chrono>
#include <map>
#include <string>
#include <vector>

class CEngineProcess;

// A conversation in the UCI protocol with an engine over a process transport: the handshake,
// options, readiness, new games, searches, and the engine's "info" and "bestmove" lines read
// into principal variations and a move. Every read takes a wait in milliseconds: 0 takes what has
// arrived and returns at once (a polling caller), more blocks up to that time.
class CUciSession {
public:
    // A session over the transport (which it uses, not owns); the program must be started.
    explicit CUciSession(CEngineProcess& transport) : process(transport) {}

    // Writes "uci" and waits up to waitMs for "uciok", taking the engine's "id name" on the way;
    // false, with the reason in strError, when it does not come.
    bool isHandshake(int waitMs);
    // The engine's own name ("id name"), "" when it gave none.
    const std::string& strName() const { return name; }
    // Sets an option: "setoption name NAME value VALUE".
    bool isSetOption(const std::string& option, const std::string& value);
    // Writes "isready" and waits up to waitMs for "readyok".
    bool isReady(int waitMs);
    // Tells the engine that the next search belongs to another game ("ucinewgame").
    bool isNewGame();
    // Starts a search from the position (FEN and the moves played since, in UCI form).
    bool isGo(const std::string& fen, const std::vector<std::string>& moves, const UciLimit& limit,
              const std::vector<std::string>& searchMoves = {});
    // Reads the engine's output for up to waitMs; true once the search has its "bestmove".
    bool isSearchDone(int waitMs);
    // Ends the engine: "quit", then a kill when it lingers.
    void Quit();

    // True between isGo and the engine's "bestmove".
    bool isThinking() const { return thinking; }
    // The last search's move in UCI form ("", "(none)" or "0000" when the engine had none).
    const std::string& strBestMove() const { return bestMove; }
    // The last search's principal variations that carry a score and moves, by "multipv" number.
    const std::map<int, UciInfo>& mapLines() const { return lines; }
    // The search time the engine last reported ("info ... time N"), -1 when none.
    int intReportedTimeMs() const { return reportedTimeMs; }
    // The move time of the running search, 0 for none.
    int intMoveTimeMs() const { return moveTimeMs; }
    // Milliseconds since the running search began.
    long lngSearchElapsedMs() const;
    // Why the last step failed; "" while all is well.
    const std::string& strError() const { return error; }

private:
    bool isSend(const std::string& line);
    void TakeLine(const std::string& line);

    CEngineProcess& process;
    std::string name;
    std::string error;
    std::string bestMove;
    std::map<int, UciInfo> lines;
    int reportedTimeMs = -1;
    int moveTimeMs = 0;
    bool thinking = false;
    std::chrono::steady_clock::time_point searchStart;
};
