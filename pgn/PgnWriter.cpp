#include "pgn/PgnWriter.h"

#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/SideToMove.h"
#include "workbook/GameAnnotations.h"

#include <cctype>
#include <unordered_set>
#include <vector>

namespace {

constexpr size_t kLineWidth = 80;

struct Token {
    std::string text;
    bool endsLine = false;  // a comment after ";" runs to the end of its line
    bool isBracket = false; // the "(" or ")" around a variation, not a word of a comment
};

// Collects movetext tokens and breaks them into lines.
class MoveTextWriter {
public:
    MoveTextWriter(const CGameTree& tree, const GameAnnotations& annotations)
        : m_tree(tree), m_annotations(annotations) {}

    // The glyphs and the comment of the start position, written before the first move.
    void writeStart(const std::shared_ptr<CGameNode>& root) {
        if (const NodeAnnotation* marks = m_annotations.objNode(root->strKey())) {
            writeNags(*marks);
            writeComment(marks->strBefore);
            writeComment(marks->strAfter);
        }
    }

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
                line.needNumber =
                    writeMove(*line.node->objPosition(), *line.children[0], line.needNumber);
                line.started = true;
                line.variation = 1;
            }
            while (line.variation < line.children.size() &&
                   !m_visited.insert(line.children[line.variation]->strKey()).second)
                ++line.variation;
            if (line.variation < line.children.size()) {
                std::shared_ptr<CGameNode> child = line.children[line.variation++];
                m_tokens.push_back({"(", false, true});
                const bool numberNext = writeMove(*line.node->objPosition(), *child, true);
                line.needNumber = true;
                lines.push_back(Line{child, {}, 1, numberNext, false, true}); // line is stale now
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

    std::string text(const std::string& result) {
        m_tokens.push_back({result});
        // "(" joins the token after it and ")" the one before, so lines break outside them.
        std::vector<Token> words;
        std::string opening;
        for (const Token& token : m_tokens) {
            if (token.isBracket && token.text == "(") {
                opening += "(";
            } else if (token.isBracket && !words.empty() && !words.back().endsLine) {
                words.back().text += ")";
            } else {
                words.push_back({opening + token.text, token.endsLine, false});
                opening.clear();
            }
        }
        std::string text;
        size_t lineLength = 0;
        for (size_t i = 0; i < words.size(); ++i) {
            const std::string& word = words[i].text;
            if (i > 0 && !words[i - 1].endsLine) {
                if (lineLength + 1 + word.size() > kLineWidth) {
                    text += '\n';
                    lineLength = 0;
                } else {
                    text += ' ';
                    ++lineLength;
                }
            }
            text += word;
            lineLength += word.size();
            if (words[i].endsLine) {
                text += '\n';
                lineLength = 0;
            }
        }
        return words.back().endsLine ? text : text + "\n";
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
        if (lines.back().closes) m_tokens.push_back({")", false, true});
        lines.pop_back();
    }

    // Writes the move with its annotations; true when a comment follows it, so that a Black move
    // after it needs its number again.
    bool writeMove(const CPosition& before, const CGameNode& node, bool needNumber) {
        const CPosition& after = *node.objPosition();
        const NodeAnnotation* marks = m_annotations.objNode(node.strKey());
        if (marks && !marks->strBefore.empty()) {
            writeComment(marks->strBefore);
            needNumber = true;
        }
        std::string number = std::to_string(after.intMoveNumber());
        // Workbooks store moves without the check sign; PGN gives it.
        const std::string move = strWithCheckSign(after, after.strMoveText());
        if (before.isWhiteToMove()) {
            m_tokens.push_back({number + ". " + move});
        } else if (needNumber) {
            m_tokens.push_back({number + "... " + move});
        } else {
            m_tokens.push_back({move});
        }
        if (!marks) return false;
        writeNags(*marks);
        writeComment(marks->strAfter);
        return !marks->strAfter.empty();
    }

    void writeNags(const NodeAnnotation& marks) {
        for (int nag : marks.arrNags)
            m_tokens.push_back({"$" + std::to_string(nag)});
    }

    // A comment in braces, one token per word so that lines break between words; a comment
    // holding a closing brace is written after ";", as many such lines as the width asks (the
    // reader joins them again with a blank).
    void writeComment(const std::string& comment) {
        if (comment.empty()) return;
        std::vector<std::string> words;
        std::string word;
        for (char c : comment + " ") {
            if (std::isspace(static_cast<unsigned char>(c)) != 0) {
                if (!word.empty()) words.push_back(word);
                word.clear();
            } else {
                word += c;
            }
        }
        if (words.empty()) return;
        if (comment.find('}') != std::string::npos) {
            std::string line = ";" + words.front();
            for (size_t i = 1; i < words.size(); ++i) {
                if (line.size() + 1 + words[i].size() > kLineWidth) {
                    m_tokens.push_back({line, true});
                    line = ";" + words[i];
                } else {
                    line += " " + words[i];
                }
            }
            m_tokens.push_back({line, true});
            return;
        }
        words.front() = "{" + words.front();
        words.back() += "}";
        for (const std::string& each : words)
            m_tokens.push_back({each});
    }

    const CGameTree& m_tree;
    const GameAnnotations& m_annotations;
    std::vector<Token> m_tokens;
    std::unordered_set<std::string> m_visited;
};

std::string tagLine(const std::string& name, const std::string& value) {
    return "[" + name + " \"" + PgnWriter::strTagValue(value) + "\"]\n";
}

bool isStandardStart(const CPosition& root) {
    return root.intMoveNumber() == 0 && root.isEqual(CPosition::objINITIAL_POSITION());
}

bool isResult(const std::string& text) {
    return text == "1-0" || text == "0-1" || text == "1/2-1/2" || text == "*";
}

// A stored tag name PGN can carry: no blanks, control characters, quotes or brackets.
bool isTagName(const std::string& name) {
    if (name.empty()) return false;
    for (unsigned char c : name)
        if (c <= ' ' || c == 0x7f || c == '"' || c == '[' || c == ']' || c == '\\') return false;
    return true;
}

const char* const kWrittenTags[] = {"Event",   "Site",       "Date",   "Round",
                                    "White",   "Black",      "Result", "Description",
                                    "PageRef", "DiagramRef", "SetUp",  "FEN"};

bool isWrittenTag(const std::string& name) {
    for (const char* written : kWrittenTags)
        if (name == written) return true;
    return false;
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
                                    const std::string& page, const std::string& diagram,
                                    const GameAnnotations& annotations) {
    const std::shared_ptr<CGameNode>& root = tree.Item(CGameNode::strINITIAL_KEY());
    const CPosition& start = *root->objPosition();
    const auto& tags = annotations.arrTags;
    auto stored = [&](const char* name, const std::string& absent) {
        for (const auto& [tagName, value] : tags)
            if (tagName == name) return value;
        return absent;
    };
    const std::string result = stored("Result", "*");
    std::string pgn;
    pgn += tagLine("Event", stored("Event", description.empty() ? "?" : description));
    pgn += tagLine("Site", stored("Site", "?"));
    pgn += tagLine("Date", stored("Date", "????.??.??"));
    pgn += tagLine("Round", stored("Round", "?"));
    pgn += tagLine("White", stored("White", "?"));
    pgn += tagLine("Black", stored("Black", "?"));
    pgn += tagLine("Result", result);
    pgn += tagLine("Description", description);
    pgn += tagLine("PageRef", page);
    pgn += tagLine("DiagramRef", diagram);
    if (!isStandardStart(start)) {
        int fullMove = start.intMoveNumber() + (start.isWhiteToMove() ? 1 : 0);
        if (fullMove < 1) fullMove = 1;
        pgn += tagLine("SetUp", "1");
        pgn += tagLine("FEN", start.strGetFEN() + " 0 " + std::to_string(fullMove));
    }
    for (const auto& [name, value] : tags)
        if (!isWrittenTag(name) && isTagName(name)) pgn += tagLine(name, value);
    pgn += '\n';
    MoveTextWriter writer(tree, annotations);
    writer.writeStart(root);
    writer.writeTree(root);
    pgn += writer.text(isResult(result) ? result : "*");
    pgn += '\n';
    return pgn;
}
