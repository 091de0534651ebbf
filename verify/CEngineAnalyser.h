#pragma once

#include "engine/CEngineProcess.h"
#include "engine/CUciSession.h"
#include "engine/EngineScore.h"

#include <string>
#include <vector>

// One principal variation of an analysis: its score for the side to move and its moves in UCI
// form, first move first.
struct AnalysisLine {
    EngineScore objScore;
    std::vector<std::string> arrstrUciMoves;
};

// How long one analysis runs: a fixed time, a fixed depth, or both (whichever ends first).
struct AnalysisLimit {
    int intMoveTimeMs = 300;
    int intDepth = 0;
};

// Analyses positions with a UCI engine, several principal variations at once (MultiPV). The
// engine starts on the first analysis and stays up for the next ones. Failures of the engine
// raise error 9999 with source "CEngineAnalyser".
class CEngineAnalyser {
public:
    // An analyser for the engine program at the path.
    explicit CEngineAnalyser(std::string enginePath) : path(std::move(enginePath)) {}

    // The lines of the position (six-field FEN), best first, at most multiPv of them; only the
    // listed moves (UCI form) are searched when the list is not empty. No lines when the side to
    // move has no move.
    std::vector<AnalysisLine> arrAnalyse(const std::string& fen, int multiPv,
                                         const AnalysisLimit& limit,
                                         const std::vector<std::string>& searchMoves = {});
    // Stops the engine (the next analysis starts it again).
    void Stop() { session.Quit(); }

private:
    void Start();

    std::string path;
    CEngineProcess process;
    CUciSession session{process};
    int currentMultiPv = 1;
};
