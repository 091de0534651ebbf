#include "verify/CSolutionVerifier.h"

#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/UciMoves.h"
#include "model/CError.h"

#include <algorithm>
#include <climits>
#include <deque>

namespace {

// A stored move at a node: its text, UCI form, engine line and child node.
struct StoredMove {
    std::string strText;
    std::string strUci;
    AnalysisLine line;
    std::shared_ptr<CGameNode> node;
};

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

} // namespace

std::string strVerdictName(VerifyVerdict verdict) {
    switch (verdict) {
    case VerifyVerdict::Ok:
        return "ok";
    case VerifyVerdict::MissingDefence:
        return "missing-defence";
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

void CSolutionVerifier::CheckFirstMoves(const CGameTree& tree, VerifyReport& report) {
    const auto& root = tree.Item(CGameNode::strINITIAL_KEY());
    const CPosition& start = *root->objPosition();
    const std::string fen = strEngineFen(start);
    const auto lines = engine.arrAnalyse(fen, options.intMultiPv, options.limit);
    auto add = [&](VerifyVerdict verdict, const std::vector<std::string>& line,
                   const EngineScore& score, const std::string& text) {
        report.arrFindings.push_back({verdict, root->strKey(), line, score, text});
    };
    if (root->childrenKeys().empty()) {
        add(VerifyVerdict::Refuted, {}, {}, "the game has no stored move");
        return;
    }
    if (lines.empty()) {
        add(VerifyVerdict::Refuted, {}, {}, "the side to move has no legal move");
        return;
    }
    std::vector<StoredMove> stored;
    for (const std::string& key : root->childrenKeys()) {
        StoredMove move;
        move.node = tree.Item(key);
        move.strText = move.node->objPosition()->strMoveText();
        move.strUci = strUciOfMoveText(start, move.strText);
        if (move.strUci.empty()) {
            add(VerifyVerdict::Refuted, {}, {},
                "the stored move " + move.strText + " cannot be played");
            continue;
        }
        move.line = lineOf(engine, fen, options.limit, move.strUci, lines);
        stored.push_back(move);
    }
    if (stored.empty()) return;

    bool endsInMate = false;
    const size_t plies = mainLinePlies(tree, root, endsInMate);
    const StoredMove& bestStored = bestOf(stored);
    const EngineScore& storedScore = bestStored.line.objScore;
    const EngineScore& best = lines.front().objScore;
    // The stored line's mate length in the trainee's moves; engines may see a shorter mate in the
    // stored move itself.
    int storedMate = endsInMate ? static_cast<int>((plies + 1) / 2) : INT_MAX;
    if (storedScore.isMateFor()) storedMate = std::min(storedMate, storedScore.intValue);
    const int reference = endsInMate ? static_cast<int>((plies + 1) / 2) : storedMate;

    for (const StoredMove& move : stored) {
        const EngineScore& score = move.line.objScore;
        const bool muchWorse =
            best.lngRank() - score.lngRank() >= options.intMarginCp ||
            (best.isMateFor() && !score.isMate && score.intValue < options.intWinCp);
        if (!score.isClearWin(options.intWinCp) && muchWorse)
            add(VerifyVerdict::Refuted,
                arrLineTexts(start, lines.front().arrstrUciMoves, plies, true), best,
                "stored " + move.strText + " " + score.strText() + " is refuted, best " +
                    joined(arrLineTexts(start, lines.front().arrstrUciMoves, 1, true)) + " " +
                    best.strText());
        else if (score.isMateFor() && score.intValue < reference)
            add(VerifyVerdict::ShorterMate,
                arrLineTexts(start, move.line.arrstrUciMoves, SIZE_MAX, true), score,
                "stored " + move.strText + " mates in " + std::to_string(score.intValue) +
                    ", the stored line takes " + std::to_string(reference));
    }
    for (const AnalysisLine& line : lines) {
        const std::string& uci = line.arrstrUciMoves.front();
        if (isStored(stored, uci)) continue;
        const EngineScore& score = line.objScore;
        const auto texts =
            arrLineTexts(start, line.arrstrUciMoves, std::max<size_t>(plies, 1), true);
        const std::string name = texts.empty() ? uci : texts.front();
        if (score.isMateFor() && reference != INT_MAX && score.intValue < reference)
            add(VerifyVerdict::ShorterMate,
                arrLineTexts(start, line.arrstrUciMoves, SIZE_MAX, true), score,
                "shorter mate " + name + " " + score.strText() + " (stored " + bestStored.strText +
                    " #" + std::to_string(reference) + ")");
        else if (storedScore.isMateFor()
                     ? score.isMateFor() && score.intValue <= storedScore.intValue
                     : storedScore.isClearWin(options.intWinCp) &&
                           score.isClearWin(options.intWinCp) &&
                           (score.isMate ||
                            score.intValue >= storedScore.intValue - options.intMarginCp))
            add(VerifyVerdict::SecondSolution, texts, score,
                "second solution " + name + " " + score.strText() + " (stored " +
                    bestStored.strText + " " + storedScore.strText() + ")");
    }
    if (report.arrFindings.empty())
        report.strDetails = "stored " + bestStored.strText + " " + storedScore.strText() +
                            (bestStored.strUci == lines.front().arrstrUciMoves.front()
                                 ? " is the engine's best"
                                 : " is as good as the engine's best " + best.strText());
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
            const auto& reply = tree.Item(key); // the position after a trainee move
            if (reply->childrenKeys().empty() || analysed >= options.intMaxDefenceNodes) continue;
            ++analysed;
            const CPosition& position = *reply->objPosition();
            const std::string fen = strEngineFen(position);
            const auto lines = engine.arrAnalyse(fen, options.intMultiPv, options.limit);
            std::vector<StoredMove> stored;
            for (const std::string& childKey : reply->childrenKeys()) {
                StoredMove move;
                move.node = tree.Item(childKey);
                move.strText = move.node->objPosition()->strMoveText();
                move.strUci = strUciOfMoveText(position, move.strText);
                if (move.strUci.empty()) continue;
                move.line = lineOf(engine, fen, options.limit, move.strUci, lines);
                stored.push_back(move);
                queue.push_back({move.node, visit.turn + 1});
            }
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
    VerifyReport report;
    if (!tree.isExists(CGameNode::strINITIAL_KEY())) {
        report.verdict = VerifyVerdict::Refuted;
        report.strDetails = "the game has no test position";
        return report;
    }
    CheckFirstMoves(tree, report);
    CheckDefences(tree, report);
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
