#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

class CPosition;

// One node of a game tree: a position, its key, its parent's key and its children's keys (the
// first child is the main line). Nodes refer to each other only by key.
class CGameNode {
public:
    // The key of the root node, "InitialKey".
    static const std::string& strINITIAL_KEY();

    // The node's key, unique within a tree.
    const std::string& strKey() const { return m_key; }
    // Sets the node's key.
    void strKey(std::string key) { m_key = std::move(key); }
    // The parent's key; empty when unset.
    const std::string& strParentKey() const { return m_parentKey; }
    // Sets the parent's key.
    void strParentKey(const std::string& key) { m_parentKey = key; }
    // The node's position (nothing for a placeholder node).
    const std::shared_ptr<CPosition>& objPosition() const { return m_position; }
    // Sets the node's position (the object itself, not a copy).
    void objPosition(std::shared_ptr<CPosition> position) { m_position = std::move(position); }

    // A copy of the children keys, in the order they were added.
    std::vector<std::string> arrstrGetChildrenKey() const { return m_children; }
    // The children keys without a copy, for loops that only read them.
    const std::vector<std::string>& childrenKeys() const { return m_children; }
    // Replaces the children keys with a copy of the list.
    void SetChildrenKey(const std::vector<std::string>& keys) { m_children = keys; }
    // Appends the node's key to the children, unless the node holds a start position ("...").
    void AddChild(const std::shared_ptr<CGameNode>& node);
    // Drops every child key equal to the node's key, keeping the others in order.
    void RemoveChild(const std::shared_ptr<CGameNode>& node);

    // True when both positions are equal (side to move, castling, en passant and diagram).
    bool isEqual(const std::shared_ptr<CGameNode>& other) const;
    // A new node with the same keys, a clone of the position and a copy of the children keys.
    std::shared_ptr<CGameNode> objClone() const;
    // Takes a clone of the position, the parent key as given and the key made from the position.
    void InitFromPosition(const std::string& parentKey, const std::shared_ptr<CPosition>& position);

    // The key of a node holding the position: "InitialKey" for a start position, otherwise the
    // mover's letter, the move number, the move text without "+" and the diagram's checksum.
    static std::string strKeyOf(const CPosition& position);
    // The same key from the position and its move key (strMoveKeyOf), when that is at hand.
    static std::string strKeyOf(const CPosition& position, std::string moveKey);
    // The key less the diagram's checksum: what the move that led to the position gives.
    static std::string strMoveKeyOf(const CPosition& position);

private:
    std::string m_key;
    std::string m_parentKey;
    std::shared_ptr<CPosition> m_position;
    std::vector<std::string> m_children;
};
