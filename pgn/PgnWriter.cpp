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

    void writeLine(const std::shared_ptr<CGameNode>& from, bool numberFirst) {
        std::shared_ptr<CGameNode> node = from;
        bool needNumber = numberFirst;
        while (node) {
            GameNodeList children = m_tree.arrobjGetNextNodes(node);
            if (children.empty()) return;
            writeMove(*node->objPosition(), *children[0]->objPosition(), needNumber);
            needNumber = false;
            for (size_t i = 1; i < children.size(); ++i) {
                if (!m_visited.insert(children[i]->strKey()).second) continue;
                m_tokens.push_back("(");
                writeMove(*node->objPosition(), *children[i]->objPosition(), true);
                writeLine(children[i], false);
                m_tokens.push_back(")");
                needNumber = true;
            }
            // A node reached twice (a transposition) is written once.
            if (!m_visited.insert(children[0]->strKey()).second) return;
            node = children[0];
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
    writer.writeLine(root, true);
    pgn += writer.text();
    pgn += '\n';
    return pgn;
}
