#include "pgn/PgnWriter.h"

#include "game/CGameTree.h"
#include "game/CPosition.h"

#include <unordered_set>
#include <vector>

namespace {

constexpr size_t kLineWidth = 80;

// Collects movetext tokens and breaks them into lines.
class MoveTextWriter {
public:
    explicit MoveTextWriter(const CGameTree& tree) : m_tree(tree) {}

    // Writes the main line from the node with every variation in tree order. Lines are kept on
    // a stack of their own, so that a tree nested as deep as a file can make it is written whole.
    void writeTree(const std::shared_ptr<CGameNode>& root) {
        std::vector<Line> lines;
        lines.push_back(Line{root, {}, 1, true, false, false});
        while (!lines.empty()) {
            Line& line = lines.back();
            if (!line.started) {
                line.children = m_tree.arrobjGetNextNodes(line.node);
                if (line.children.empty()) {
                    closeLine(lines);
                    continue;
                }
                writeMove(*line.node->objPosition(), *line.children[0]->objPosition(),
                          line.needNumber);
                line.needNumber = false;
                line.started = true;
                line.variation = 1;
            }
            while (line.variation < line.children.size() &&
                   !m_visited.insert(line.children[line.variation]->strKey()).second)
                ++line.variation;
            if (line.variation < line.children.size()) {
                std::shared_ptr<CGameNode> child = line.children[line.variation++];
                m_tokens.push_back("(");
                writeMove(*line.node->objPosition(), *child->objPosition(), true);
                line.needNumber = true;
                lines.push_back(Line{child, {}, 1, false, false, true}); // line is stale now
                continue;
            }
            // A node reached twice (links that meet again) is written once.
            if (!m_visited.insert(line.children[0]->strKey()).second) {
                closeLine(lines);
                continue;
            }
            line.node = line.children[0];
            line.started = false;
        }
    }

    std::string text() {
        m_tokens.push_back("*");
        std::string result;
        size_t lineLength = 0;
        for (size_t i = 0; i < m_tokens.size(); ++i) {
            const std::string& token = m_tokens[i];
            bool glued = token == ")" || (i > 0 && m_tokens[i - 1] == "(");
            if (i > 0 && !glued) {
                if (lineLength + 1 + token.size() > kLineWidth) {
                    result += '\n';
                    lineLength = 0;
                } else {
                    result += ' ';
                    ++lineLength;
                }
            }
            result += token;
            lineLength += token.size();
        }
        return result + "\n";
    }

private:
    struct Line {
        std::shared_ptr<CGameNode> node; // the node whose continuation is written next
        GameNodeList children;           // its children, once its main move is written
        size_t variation;                // the next child to write as a variation
        bool needNumber;                 // the next Black move needs its number
        bool started;                    // the main move of node is written
        bool closes;                     // a variation: ")" ends it
    };

    void closeLine(std::vector<Line>& lines) {
        if (lines.back().closes) m_tokens.push_back(")");
        lines.pop_back();
    }

    void writeMove(const CPosition& before, const CPosition& after, bool needNumber) {
        std::string number = std::to_string(after.intMoveNumber());
        if (before.isWhiteToMove()) {
            m_tokens.push_back(number + ". " + after.strMoveText());
        } else if (needNumber) {
            m_tokens.push_back(number + "... " + after.strMoveText());
        } else {
            m_tokens.push_back(after.strMoveText());
        }
    }

    const CGameTree& m_tree;
    std::vector<std::string> m_tokens;
    std::unordered_set<std::string> m_visited;
};

std::string tagLine(const char* name, const std::string& value) {
    return std::string("[") + name + " \"" + PgnWriter::strTagValue(value) + "\"]\n";
}

bool isStandardStart(const CPosition& root) {
    return root.intMoveNumber() == 0 && root.isEqual(CPosition::objINITIAL_POSITION());
}

} // namespace

std::string PgnWriter::strTagValue(const std::string& value) {
    std::string escaped;
    escaped.reserve(value.size());
    for (char c : value) {
        if (c == '"' || c == '\\') escaped += '\\';
        escaped += c == '\n' || c == '\r' || c == '\t' ? ' ' : c;
    }
    return escaped;
}

std::string PgnWriter::strWriteGame(const CGameTree& tree, const std::string& description,
                                    const std::string& page, const std::string& diagram) {
    const std::shared_ptr<CGameNode>& root = tree.Item(CGameNode::strINITIAL_KEY());
    const CPosition& start = *root->objPosition();
    std::string pgn;
    pgn += tagLine("Event", description.empty() ? "?" : description);
    pgn += tagLine("Site", "?");
    pgn += tagLine("Date", "????.??.??");
    pgn += tagLine("Round", "?");
    pgn += tagLine("White", "?");
    pgn += tagLine("Black", "?");
    pgn += tagLine("Result", "*");
    pgn += tagLine("Description", description);
    pgn += tagLine("PageRef", page);
    pgn += tagLine("DiagramRef", diagram);
    if (!isStandardStart(start)) {
        int fullMove = start.intMoveNumber() + (start.isWhiteToMove() ? 1 : 0);
        if (fullMove < 1) fullMove = 1;
        pgn += tagLine("SetUp", "1");
        pgn += tagLine("FEN", start.strGetFEN() + " 0 " + std::to_string(fullMove));
    }
    pgn += '\n';
    MoveTextWriter writer(tree);
    writer.writeTree(root);
    pgn += writer.text();
    pgn += '\n';
    return pgn;
}
