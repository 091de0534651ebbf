#pragma once

// Game trees built from move texts, with their nodes named by the moves that reach them, and
// move sequences whose nodes share a key.
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/Perft.h"
#include "game/PositionConstructors.h"

#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// The position after the move text; throws when the move is refused.
inline std::shared_ptr<CPosition> Played(const std::shared_ptr<CPosition>& from,
                                         const std::string& text) {
    auto next = from->objProcessMove(from, text);
    if (!next) throw std::runtime_error("refused: " + text);
    return next;
}

// A tree from the FEN position (the standard start when empty); each node is named by its line
// ("e4 e5 Nf3", "" for the root), and the first line played from a node is its main line.
struct Book {
    std::shared_ptr<CGameTree> tree = std::make_shared<CGameTree>();
    std::map<std::string, std::shared_ptr<CGameNode>> nodes;

    explicit Book(const std::vector<std::string>& lines = {}, const std::string& fen = "") {
        GameNodeList next;
        auto root = fen.empty() ? objNewStartPosition() : objReadFen(fen);
        root->strMoveText("..."); // a start position, even with an en-passant file
        nodes[""] = tree->Add(root, next);
        for (const std::string& line : lines)
            add(line);
        tree->objCurrentNode(nodes[""]);
    }
    // Plays the line from the root; returns its last node.
    std::shared_ptr<CGameNode> add(const std::string& line) {
        GameNodeList next;
        std::shared_ptr<CGameNode> node = nodes[""];
        tree->objCurrentNode(node);
        std::istringstream moves(line);
        std::string name;
        for (std::string move; moves >> move;) {
            name += (name.empty() ? "" : " ") + move;
            nodes[name] = node = tree->Add(Played(node->objPosition(), move), next);
        }
        return node;
    }
    const std::shared_ptr<CGameNode>& at(const std::string& line) const { return nodes.at(line); }
    std::string key(const std::string& line) const { return at(line)->strKey(); }
    // The moves of the node's children, in their order.
    std::vector<std::string> children(const std::string& line) const {
        std::vector<std::string> moves;
        for (const std::string& child : at(line)->childrenKeys())
            moves.push_back(tree->Item(child)->objPosition()->strMoveText());
        return moves;
    }
};

// The keys of the nodes, "<none>" for an empty entry.
inline std::vector<std::string> Keys(const GameNodeList& nodes) {
    std::vector<std::string> keys;
    for (const auto& node : nodes)
        keys.push_back(node ? node->strKey() : "<none>");
    return keys;
}

struct KeyCollision {
    std::string key;
    std::vector<std::string> first; // move texts from the start
    std::vector<std::string> second;
};

// Pairs of move sequences that reach different boards under the same node key: up to limit pairs
// among the lines of the given number of plies from the start (and the shorter lines on the way),
// in the order the rules list the moves.
inline std::vector<KeyCollision> FindKeyCollisions(const std::shared_ptr<CPosition>& start,
                                                   int plies, size_t limit) {
    struct Seen {
        std::shared_ptr<CPosition> position;
        std::vector<std::string> line;
        bool reported = false;
    };
    std::map<std::string, Seen> seen;
    std::vector<KeyCollision> found;
    std::vector<std::string> line;
    std::function<void(const std::shared_ptr<CPosition>&, int)> walk = [&](const auto& position,
                                                                           int left) {
        for (const LegalMove& legal : arrGetLegalMoves(position)) {
            if (left == 0 || found.size() >= limit) return;
            line.push_back(legal.position->strMoveText());
            const std::string key = CGameNode::strKeyOf(*legal.position);
            auto [first, added] = seen.try_emplace(key, Seen{legal.position, line});
            if (!added && !first->second.reported &&
                !first->second.position->isEqual(legal.position)) {
                first->second.reported = true;
                found.push_back({key, first->second.line, line});
            }
            walk(legal.position, left - 1);
            line.pop_back();
        }
    };
    walk(start, plies);
    return found;
}
