#pragma once

#include "verify/CEngineAnalyser.h"

#include <climits>
#include <memory>
#include <string>
#include <vector>

class CGameNode;
class CGameTree;
class CPosition;
struct GameAnnotations;

// What the engine found wrong or missing in a game, from the least to the most serious.
enum class VerifyVerdict {
    Ok,
    MissingDefence,
    MarkedWrongButGood,
    SecondSolution,
    ShorterMate,
    Contradiction,
    Refuted
};

// The verdict's word in reports: "ok", "missing-defence", "marked-wrong-but-good",
// "second-solution", "shorter-mate", "contradiction", "refuted".
std::string strVerdictName(VerifyVerdict verdict);

// One finding: a move the engine prefers or misses in the stored tree, with the line that would
// add it (move texts from the node keyed strNodeKey, ending on a move of the trainee).
struct VerifyFinding {
    VerifyVerdict verdict = VerifyVerdict::Ok;
    std::string strNodeKey;
    std::vector<std::string> arrstrLine;
    EngineScore objScore;
    std::string strText;
};

// The result for one game: the most serious verdict, every finding, and a one-line account.
struct VerifyReport {
    VerifyVerdict verdict = VerifyVerdict::Ok;
    std::vector<VerifyFinding> arrFindings;
    std::string strDetails;
};

// How thoroughly games are checked.
struct VerifyOptions {
    AnalysisLimit limit;        // per analysed position
    int intMultiPv = 5;         // principal variations at each position
    int intWinCp = 200;         // centipawns that count as a clear win
    int intMarginCp = 100;      // a stored move this much worse than the best is refuted
    int intDefenceTurns = 2;    // trainee turns whose stored replies are checked
    int intMaxDefenceNodes = 6; // reply positions analysed at most per game
    int intMaxMarkNodes = 4;    // later trainee positions with marked tries analysed at most
};

// A stored move at a node: its text, UCI form, engine line and child node; marked when the
// annotations call it a mistake ("?", "??" or "?!"), which training refuses as a try.
struct VerifyStoredMove {
    std::string strText;
    std::string strUci;
    AnalysisLine line;
    std::shared_ptr<CGameNode> node;
    int intMark = 0;

    // True when the move is a refuted try rather than a solution.
    bool isTry() const { return intMark != 0; }
};

// What the judgement of the trainee's first moves works on: the test position, the engine's
// lines there, the stored first moves, the main line's length in plies and the stored mate length
// in moves (INT_MAX when the stored line is no mate) with the stored move that mates so.
struct VerifyFirstMoves {
    const CPosition& start;
    std::string strRootKey;
    std::vector<AnalysisLine> lines;
    std::vector<VerifyStoredMove> stored;
    size_t plies = 0;
    int reference = INT_MAX;
    std::string strReferenceMove;

    // Records a finding at the test position.
    void Add(VerifyReport& report, VerifyVerdict verdict, std::vector<std::string> line,
             EngineScore score, std::string text) const {
        report.arrFindings.push_back(
            {verdict, strRootKey, std::move(line), score, std::move(text)});
    }
};

// Checks a game's stored solution with an engine: is the stored first move the best or as good,
// do other moves win as clearly (second solutions) or mate sooner, does the engine refute it,
// and are defences as strong as the stored replies missing from the tree.
class CSolutionVerifier {
public:
    // A verifier over the analyser (which it uses, not owns).
    CSolutionVerifier(CEngineAnalyser& analyser, VerifyOptions options = {})
        : engine(analyser), options(options) {}

    // Verifies the tree (its root holds the test position; the trainee moves first). Moves the
    // annotations mark as mistakes are tries: checked to be worse than the solution, never taken
    // for the solution.
    VerifyReport objVerify(const CGameTree& tree);
    VerifyReport objVerify(const CGameTree& tree, const GameAnnotations& annotations);

private:
    std::vector<std::string> arrLineTexts(const CPosition& position,
                                          const std::vector<std::string>& uciMoves, size_t maxPlies,
                                          bool endOnOpponent);
    std::vector<VerifyStoredMove> arrStoredMoves(const CGameTree& tree, const CGameNode& node,
                                                 const std::string& fen,
                                                 const std::vector<AnalysisLine>& lines,
                                                 std::vector<std::string>* unplayable = nullptr);
    void CheckFirstMoves(const CGameTree& tree, VerifyReport& report);
    void JudgeStoredMoves(const VerifyFirstMoves& first, VerifyReport& report);
    void JudgeOtherMoves(const VerifyFirstMoves& first, const VerifyStoredMove& bestStored,
                         VerifyReport& report);
    void CheckDefences(const CGameTree& tree, VerifyReport& report);
    void CheckMarks(const CGameTree& tree, VerifyReport& report);
    void JudgeTries(const CPosition& position, const std::string& nodeKey,
                    const std::vector<VerifyStoredMove>& stored, VerifyReport& report) const;
    bool isAsGood(const EngineScore& solution, const EngineScore& other) const;
    int intMarkOf(const std::string& nodeKey) const;

    CEngineAnalyser& engine;
    VerifyOptions options;
    const GameAnnotations* marks = nullptr;
};

// Adds the line of move texts to the tree below the node with the key (the tree's current node
// is left at the line's end); false, with the tree unchanged, when a move cannot be played.
bool isAddLine(CGameTree& tree, const std::string& nodeKey, const std::vector<std::string>& line);
