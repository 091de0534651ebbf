#pragma once

#include "game/CGameNode.h"

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CPosition;

using GameNodeList = std::vector<std::shared_ptr<CGameNode>>;

// A game as a tree of keyed nodes in insertion order, with one node marked as current. A new
// tree has no nodes and a placeholder current node keyed "InitialKey" without a position.
class CGameTree {
public:
    CGameTree();

    // The node the user or the training session is at.
    const std::shared_ptr<CGameNode>& objCurrentNode() const { return m_current; }
    // Sets the current node.
    void objCurrentNode(const std::shared_ptr<CGameNode>& node) { m_current = node; }

    // The number of nodes.
    int Count() const { return static_cast<int>(m_nodes.size()); }
    // The node at a 1-based index; a missing index raises the collection's error.
    const std::shared_ptr<CGameNode>& Item(int index) const;
    // The node with the key; a missing key raises the collection's error.
    const std::shared_ptr<CGameNode>& Item(const std::string& key) const;
    // True when a node with the key is in the tree (never raises).
    bool isExists(const std::string& key) const { return m_index.count(key) != 0; }
    // The nodes in insertion order.
    const GameNodeList& NewEnum() const { return m_nodes; }
    // Iteration over the nodes in insertion order.
    GameNodeList::const_iterator begin() const { return m_nodes.begin(); }
    // End of the iteration.
    GameNodeList::const_iterator end() const { return m_nodes.end(); }

    // True when both trees hold equal positions at every index.
    bool isEqual(const std::shared_ptr<CGameTree>& other) const;

    // Adds a stored node (position object, key and parent key as given) unless the key exists;
    // links it to an existing parent. The current node does not change.
    std::shared_ptr<CGameNode> Add2(const std::shared_ptr<CPosition>& position,
                                    const std::string& key, const std::string& parentKey);
    // Adds the position as a move from the current node, makes it current and gives its children.
    // The same move again from the same node finds the node it made before. A move whose key
    // another node already holds (a transposition, or another board with the same key) gets a
    // node of its own under the key followed by "~" and a number from 2 up. With isNewLine set,
    // the move gets a node of its own even when the current node has one for it already (a
    // variation that repeats the move it stands beside).
    std::shared_ptr<CGameNode> Add(const std::shared_ptr<CPosition>& position, GameNodeList& next,
                                   bool isNewLine = false);
    // Adds the position as Add does, keeping the object itself rather than a copy, and lists no
    // children: for a caller that made the position for this tree alone (an import).
    std::shared_ptr<CGameNode> AddOwn(std::shared_ptr<CPosition> position, bool isNewLine = false);
    // Removes the node and its direct children; "InitialKey" empties the tree.
    void Remove(const std::string& key);

    // Moves the line through the node one place up at the nearest branching point above it
    // (the node or an ancestor that is not its parent's first child); a line that was second
    // becomes the main line. False when the line is the main line all the way up.
    bool PromoteLine(const std::string& key);
    // Moves the line through the node one place down at the nearest branching point above it
    // where a later line follows. False when there is none.
    bool DemoteLine(const std::string& key);
    // Removes the node with every node below it and unlinks it from its parent; the current node
    // moves to the parent when it was among them. Returns the number of nodes removed (0 for
    // the root or a missing key).
    int RemoveLine(const std::string& key);
    // Removes the nodes the root no longer reaches (left by Remove); returns how many.
    int RemoveUnreachable();

    // Goes to the root.
    std::shared_ptr<CGameNode> objMoveFirst(GameNodeList& next);
    // Goes to the parent; at a node without parent nothing changes.
    std::shared_ptr<CGameNode> objMovePrevious(GameNodeList& next);
    // Goes to the child at the 0-based index; a child without children gives one empty entry.
    std::shared_ptr<CGameNode> objMoveNext(int index, GameNodeList& next);
    // Goes back to the nearest branching point (or the root).
    std::shared_ptr<CGameNode> objMovePrevBranch(GameNodeList& next);
    // Goes forward along single continuations to a branching point or the end of the line.
    std::shared_ptr<CGameNode> objMoveLast(GameNodeList& next);
    // The node's children as nodes, in children order.
    GameNodeList arrobjGetNextNodes(const std::shared_ptr<CGameNode>& node) const;

private:
    // Adds the node under its key; false, adding nothing, when another node holds the key.
    bool Insert(const std::shared_ptr<CGameNode>& node);
    void Erase(const std::string& key);
    const std::shared_ptr<CGameNode>& Resolved(const std::shared_ptr<CGameNode>& node) const;
    std::shared_ptr<CGameNode> objChildReaching(const CGameNode& parent,
                                                const std::shared_ptr<CPosition>& position,
                                                const std::string& moveKey) const;
    std::string strFreeKey(const std::string& key);
    std::shared_ptr<CGameNode> objLineStart(const std::string& key, bool isUp) const;
    std::vector<bool> arrReached() const;
    void KeepOnly(const std::vector<bool>& keep);
    void OrderDepthFirst();

    GameNodeList m_nodes;
    std::unordered_map<std::string, size_t> m_index;
    std::unordered_map<std::string, int> m_lastSuffix; // per key, the last number given after "~"
    std::shared_ptr<CGameNode> m_current;
};
