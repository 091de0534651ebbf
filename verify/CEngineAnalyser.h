#pragma once

#include "engine/CEngineProcess.h"
#include "engine/CUciSession.h"
#include "engine/EngineScore.h"

#include <atomic>
#include <exception>
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

// Raised by an analysis whose cancel flag was set while the engine searched.
struct AnalysisCancelled : std::exception {
    const char* what() const noexcept override { return "The analysis was cancelled."; }
};

// Analyses positions with a UCI engine, several principal variations at once (MultiPV). The
// engine starts on the first analysis and stays up for the next ones. Failures of the engine
// raise error 9999 with source "CEngineAnalyser". Setting the cancel flag ends a search at once:
// the engine is stopped and AnalysisCancelled raised.
class CEngineAnalyser {
public:
    // An analyser for the engine program at the path.
    explicit CEngineAnalyser(std::string enginePath, const std::atomic<bool>* cancelFlag = nullptr)
        : path(std::move(enginePath)), cancel(cancelFlag) {}

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
    const std::atomic<bool>* cancel;
    CEngineProcess process;
    CUciSession session{process};
    int currentMultiPv = 1;
};
