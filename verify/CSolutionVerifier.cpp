#include "verify/CSolutionVerifier.h"

#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/UciMoves.h"
#include "model/CError.h"
#include "workbook/GameAnnotations.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <iterator>

namespace {

using StoredMove = VerifyStoredMove;

bool isStored(const std::vector<StoredMove>& stored, const std::string& uci) {
    return std::any_of(stored.begin(), stored.end(),
                       [&](const StoredMove& move) { return move.strUci == uci; });
}

const StoredMove& bestOf(const std::vector<StoredMove>& stored) {
    return *std::max_element(stored.begin(), stored.end(),
                             [](const StoredMove& a, const StoredMove& b) {
                                 return a.line.objScore.lngRank() < b.line.objScore.lngRank();
                             });
}

// Plies along the main line (first children) from the node to the end.
size_t mainLinePlies(const CGameTree& tree, std::shared_ptr<CGameNode> node, bool& endsInMate) {
    size_t plies = 0;
    endsInMate = false;
    while (!node->childrenKeys().empty()) {
        node = tree.Item(node->childrenKeys().front());
        ++plies;
        endsInMate = node->objPosition()->strMoveText().find('#') != std::string::npos;
    }
    return plies;
}

std::string joined(const std::vector<std::string>& texts) {
    std::string line;
    for (const std::string& text : texts)
        line += (line.empty() ? "" : " ") + text;
    return line;
}

// Sets the main line's length in plies and, when it ends in mate, its mate length in the
// trainee's moves; otherwise the reference is a mate the engine sees in the main move, else in
// the strongest stored move (engines may see a shorter mate there), or none.
void SetMainLineLength(const CGameTree& tree, const StoredMove& mainMove,
                       const StoredMove& bestStored, VerifyFirstMoves& first) {
    bool endsInMate = false;
    first.plies = 1 + mainLinePlies(tree, mainMove.node, endsInMate);
    if (first.plies == 1)
        endsInMate = mainMove.node->objPosition()->strMoveText().find('#') != std::string::npos;
    first.reference = endsInMate ? static_cast<int>((first.plies + 1) / 2) : INT_MAX;
    first.strReferenceMove = mainMove.strText;
    const StoredMove& mating = mainMove.line.objScore.isMateFor() ? mainMove : bestStored;
    if (!endsInMate && mating.line.objScore.isMateFor()) {
        first.reference = mating.line.objScore.intValue;
        first.strReferenceMove = mating.strText;
    }
}

// The report's details when nothing was found: how the stored move compares with the engine's.
std::string strAgreement(const StoredMove& bestStored, const AnalysisLine& best) {
    return "stored " + bestStored.strText + " " + bestStored.line.objScore.strText() +
           (bestStored.strUci == best.arrstrUciMoves.front()
                ? " is the engine's best"
                : " is as good as the engine's best " + best.objScore.strText());
}

} // namespace

std::string strVerdictName(VerifyVerdict verdict) {
    switch (verdict) {
    case VerifyVerdict::Ok:
        return "ok";
    case VerifyVerdict::MissingDefence:
        return "missing-defence";
    case VerifyVerdict::MarkedWrongButGood:
        return "marked-wrong-but-good";
    case VerifyVerdict::Contradiction:
        return "contradiction";
    case VerifyVerdict::SecondSolution:
        return "second-solution";
    case VerifyVerdict::ShorterMate:
        return "shorter-mate";
    case VerifyVerdict::Refuted:
        return "refuted";
    }
    return "ok";
}

std::vector<std::string> CSolutionVerifier::arrLineTexts(const CPosition& position,
                                                         const std::vector<std::string>& uciMoves,
                                                         size_t maxPlies, bool firstIsTrainee) {
    std::vector<std::string> texts;
    std::shared_ptr<CPosition> current = position.objClone();
    bool mated = false;
    for (const std::string& uci : uciMoves) {
        if (texts.size() >= maxPlies) break;
        auto next = objPlayUciMove(*current, uci);
        if (!next) break;
        texts.push_back(next->strMoveText());
        current = next;
        if (texts.back().find('#') != std::string::npos) {
            mated = true;
            break;
        }
    }
    // Training ends with a move of the trainee: a line must not stop on an unanswered reply.
    const auto endsOnTrainee = [&] { return (texts.size() % 2 == 1) == firstIsTrainee; };
    while (!mated && texts.size() > 1 && !endsOnTrainee())
        texts.pop_back();
    return texts;
}

// The engine line of a move: from the analysis when it is there, otherwise searched alone.
static AnalysisLine lineOf(CEngineAnalyser& engine, const std::string& fen,
                           const AnalysisLimit& limit, const std::string& uci,
                           const std::vector<AnalysisLine>& lines) {
    for (const AnalysisLine& line : lines)
        if (!line.arrstrUciMoves.empty() && line.arrstrUciMoves.front() == uci) return line;
    const auto alone = engine.arrAnalyse(fen, 1, limit, {uci});
    if (!alone.empty()) return alone.front();
    return AnalysisLine{{}, {uci}};
}

std::vector<VerifyStoredMove>
CSolutionVerifier::arrStoredMoves(const CGameTree& tree, const CGameNode& node,
                                  const std::string& fen, const std::vector<AnalysisLine>& lines,
                                  std::vector<std::string>* unplayable) {
    const CPosition& position = *node.objPosition();
    std::vector<StoredMove> stored;
    for (const std::string& key : node.childrenKeys()) {
        StoredMove move;
        move.node = tree.Item(key);
        move.strText = move.node->objPosition()->strMoveText();
        move.intMark = intMarkOf(key);
        move.strUci = strUciOfMoveText(position, move.strText);
        if (move.strUci.empty()) {
            if (unplayable) unplayable->push_back(move.strText);
            continue;
        }
        move.line = lineOf(engine, fen, options.limit, move.strUci, lines);
        stored.push_back(std::move(move));
    }
    return stored;
}

void CSolutionVerifier::CheckFirstMoves(const CGameTree& tree, VerifyReport& report) {
    const auto& root = tree.Item(CGameNode::strINITIAL_KEY());
    VerifyFirstMoves first{*root->objPosition(), root->strKey(), {}, {}, 0, INT_MAX, {}};
    const std::string fen = strEngineFen(first.start);
    first.lines = engine.arrAnalyse(fen, options.intMultiPv, options.limit);
    // A test position already mated or stalemated can hold no move: that is what is wrong.
    if (first.lines.empty())
        return first.Add(report, VerifyVerdict::Refuted, {}, {},
                         "the side to move has no legal move");
    if (root->childrenKeys().empty())
        return first.Add(report, VerifyVerdict::Refuted, {}, {}, "the game has no stored move");
    std::vector<std::string> unplayable;
    first.stored = arrStoredMoves(tree, *root, fen, first.lines, &unplayable);
    for (const std::string& text : unplayable)
        first.Add(report, VerifyVerdict::Refuted, {}, {},
                  "the stored move " + text + " cannot be played");
    if (first.stored.empty()) return;

    // Tries marked as mistakes are judged against the solutions, which are the other moves.
    std::vector<StoredMove> solutions;
    std::copy_if(first.stored.begin(), first.stored.end(), std::back_inserter(solutions),
                 [](const StoredMove& move) { return !move.isTry(); });
    JudgeTries(first.start, first.strRootKey, first.stored, report);
    if (solutions.empty()) return;
    const StoredMove& bestStored = bestOf(solutions);
    SetMainLineLength(tree, solutions.front(), bestStored, first);
    JudgeStoredMoves(first, report);
    JudgeOtherMoves(first, bestStored, report);
    if (report.arrFindings.empty())
        report.strDetails = strAgreement(bestStored, first.lines.front());
}

void CSolutionVerifier::JudgeStoredMoves(const VerifyFirstMoves& first, VerifyReport& report) {
    const AnalysisLine& bestLine = first.lines.front();
    const EngineScore& best = bestLine.objScore;
    for (const StoredMove& move : first.stored) {
        if (move.isTry()) continue;
        const EngineScore& score = move.line.objScore;
        // Mates are counted in moves, not centipawns: being mated sooner than the best
        // defence allows is worse by any margin.
        const bool muchWorse =
            best.lngRank() - score.lngRank() >= options.intMarginCp ||
            (best.isMateFor() && !score.isMate && score.intValue < options.intWinCp) ||
            (score.isMate && score.intValue < 0 && score.lngRank() < best.lngRank());
        if (!score.isClearWin(options.intWinCp) && muchWorse)
            first.Add(report, VerifyVerdict::Refuted,
                      arrLineTexts(first.start, bestLine.arrstrUciMoves, first.plies, true), best,
                      "stored " + move.strText + " " + score.strText() + " is refuted, best " +
                          joined(arrLineTexts(first.start, bestLine.arrstrUciMoves, 1, true)) +
                          " " + best.strText());
        else if (score.isMateFor() && score.intValue < first.reference)
            first.Add(report, VerifyVerdict::ShorterMate,
                      arrLineTexts(first.start, move.line.arrstrUciMoves, SIZE_MAX, true), score,
                      "stored " + move.strText + " mates in " + std::to_string(score.intValue) +
                          ", the stored line takes " + std::to_string(first.reference));
    }
}

void CSolutionVerifier::JudgeOtherMoves(const VerifyFirstMoves& first,
                                        const VerifyStoredMove& bestStored, VerifyReport& report) {
    const EngineScore& storedScore = bestStored.line.objScore;
    for (const AnalysisLine& line : first.lines) {
        const std::string& uci = line.arrstrUciMoves.front();
        if (isStored(first.stored, uci)) continue;
        const EngineScore& score = line.objScore;
        const auto texts =
            arrLineTexts(first.start, line.arrstrUciMoves, std::max<size_t>(first.plies, 1), true);
        const std::string name = texts.empty() ? uci : texts.front();
        const bool asGood = isAsGood(storedScore, score);
        if (score.isMateFor() && first.reference != INT_MAX && score.intValue < first.reference)
            first.Add(report, VerifyVerdict::ShorterMate,
                      arrLineTexts(first.start, line.arrstrUciMoves, SIZE_MAX, true), score,
                      "shorter mate " + name + " " + score.strText() + " (stored " +
                          first.strReferenceMove + " #" + std::to_string(first.reference) + ")");
        else if (asGood)
            first.Add(report, VerifyVerdict::SecondSolution, texts, score,
                      "second solution " + name + " " + score.strText() + " (stored " +
                          bestStored.strText + " " + storedScore.strText() + ")");
    }
}

void CSolutionVerifier::CheckDefences(const CGameTree& tree, VerifyReport& report) {
    struct Visit {
        std::shared_ptr<CGameNode> node;
        int turn;
    };
    std::deque<Visit> queue{{tree.Item(CGameNode::strINITIAL_KEY()), 0}};
    int analysed = 0;
    while (!queue.empty() && analysed < options.intMaxDefenceNodes) {
        const Visit visit = queue.front();
        queue.pop_front();
        if (visit.turn >= options.intDefenceTurns) continue;
        for (const std::string& key : visit.node->childrenKeys()) {
            if (intMarkOf(key) != 0) continue;  // below a try is its refutation, not a defence
            const auto& reply = tree.Item(key); // the position after a trainee move
            if (reply->childrenKeys().empty() || analysed >= options.intMaxDefenceNodes) continue;
            ++analysed;
            const CPosition& position = *reply->objPosition();
            const std::string fen = strEngineFen(position);
            const auto lines = engine.arrAnalyse(fen, options.intMultiPv, options.limit);
            const std::vector<StoredMove> stored = arrStoredMoves(tree, *reply, fen, lines);
            for (const StoredMove& move : stored)
                queue.push_back({move.node, visit.turn + 1});
            if (stored.empty()) continue;
            bool endsInMate = false;
            const size_t plies = std::max<size_t>(mainLinePlies(tree, reply, endsInMate), 2);
            const StoredMove& strongest = bestOf(stored);
            for (const AnalysisLine& line : lines) {
                if (isStored(stored, line.arrstrUciMoves.front())) continue;
                if (line.objScore.lngRank() < strongest.line.objScore.lngRank()) continue;
                const auto texts = arrLineTexts(position, line.arrstrUciMoves, plies, false);
                if (texts.empty()) continue;
                // Scores are reported for the trainee, as at the first move.
                report.arrFindings.push_back(
                    {VerifyVerdict::MissingDefence, reply->strKey(), texts,
                     line.objScore.objNegated(),
                     "missing defence " + texts.front() + " " +
                         line.objScore.objNegated().strText() + " after " + position.strMoveText() +
                         " (stored " + strongest.strText + " " +
                         strongest.line.objScore.objNegated().strText() + ")"});
            }
        }
    }
}

VerifyReport CSolutionVerifier::objVerify(const CGameTree& tree) {
    return objVerify(tree, GameAnnotations{});
}

VerifyReport CSolutionVerifier::objVerify(const CGameTree& tree,
                                          const GameAnnotations& annotations) {
    marks = &annotations;
    VerifyReport report;
    if (!tree.isExists(CGameNode::strINITIAL_KEY())) {
        report.verdict = VerifyVerdict::Refuted;
        report.strDetails = "the game has no test position";
        return report;
    }
    CheckFirstMoves(tree, report);
    CheckDefences(tree, report);
    CheckMarks(tree, report);
    marks = nullptr;
    std::string details;
    for (const VerifyFinding& finding : report.arrFindings) {
        report.verdict = std::max(report.verdict, finding.verdict);
        details += (details.empty() ? "" : "; ") + finding.strText;
    }
    if (!details.empty()) report.strDetails = details;
    return report;
}

bool isAddLine(CGameTree& tree, const std::string& nodeKey, const std::vector<std::string>& line) {
    if (!tree.isExists(nodeKey) || line.empty()) return false;
    std::vector<std::shared_ptr<CPosition>> positions;
    std::shared_ptr<CPosition> current = tree.Item(nodeKey)->objPosition();
    try {
        for (const std::string& text : line) {
            current = current->objProcessMove(strBareMoveText(text));
            if (!current) return false;
            positions.push_back(current);
        }
    } catch (const CError&) {
        return false;
    }
    tree.objCurrentNode(tree.Item(nodeKey));
    GameNodeList next;
    for (const auto& position : positions)
        tree.Add(position, next);
    return true;
}
