#include "game/CGameTree.h"

#include "game/CPosition.h"
#include "model/CError.h"

#include <algorithm>

namespace {

const char* const kSource = "CGameTree";

[[noreturn]] void RaiseInvalidCall() {
    throw CError(5, kSource, "Invalid procedure call or argument");
}

[[noreturn]] void RaiseSubscript() {
    throw CError(9, kSource, "Subscript out of range");
}

} // namespace

CGameTree::CGameTree() : m_current(std::make_shared<CGameNode>()) {
    m_current->strKey(CGameNode::strINITIAL_KEY());
}

const std::shared_ptr<CGameNode>& CGameTree::Item(int index) const {
    if (index < 1 || index > Count()) RaiseInvalidCall();
    return m_nodes[static_cast<size_t>(index - 1)];
}

const std::shared_ptr<CGameNode>& CGameTree::Item(const std::string& key) const {
    auto found = m_index.find(key);
    if (found == m_index.end()) RaiseInvalidCall();
    return m_nodes[found->second];
}

bool CGameTree::Insert(const std::shared_ptr<CGameNode>& node) {
    if (!m_index.try_emplace(node->strKey(), m_nodes.size()).second) return false;
    m_nodes.push_back(node);
    return true;
}

void CGameTree::Erase(const std::string& key) {
    auto found = m_index.find(key);
    if (found == m_index.end()) return;
    size_t at = found->second;
    m_index.erase(found);
    m_nodes.erase(m_nodes.begin() + static_cast<std::ptrdiff_t>(at));
    for (auto& entry : m_index)
        if (entry.second > at) --entry.second;
}

const std::shared_ptr<CGameNode>&
CGameTree::Resolved(const std::shared_ptr<CGameNode>& node) const {
    // The current node may be a stand-in with the root's key (the loader makes one); its links
    // live in the collection's node.
    auto found = m_index.find(node->strKey());
    return found == m_index.end() ? node : m_nodes[found->second];
}

bool CGameTree::isEqual(const std::shared_ptr<CGameTree>& other) const {
    if (!other || other->Count() != Count()) return false;
    for (size_t i = 0; i < m_nodes.size(); ++i)
        if (!m_nodes[i]->isEqual(other->m_nodes[i])) return false;
    return true;
}

std::shared_ptr<CGameNode> CGameTree::Add2(const std::shared_ptr<CPosition>& position,
                                           const std::string& key, const std::string& parentKey) {
    if (isExists(key)) return Item(key);
    auto node = std::make_shared<CGameNode>();
    node->objPosition(position);
    node->strKey(key);
    node->strParentKey(parentKey);
    Insert(node);
    if (!parentKey.empty() && isExists(parentKey)) Item(parentKey)->AddChild(node);
    return node;
}

std::shared_ptr<CGameNode> CGameTree::Add(const std::shared_ptr<CPosition>& position,
                                          GameNodeList& next, bool isNewLine) {
    auto node = AddOwn(position->objClone(), isNewLine);
    next = arrobjGetNextNodes(node);
    return node;
}

std::shared_ptr<CGameNode> CGameTree::AddOwn(std::shared_ptr<CPosition> position, bool isNewLine) {
    std::string moveKey = CGameNode::strMoveKeyOf(*position);
    const bool root = moveKey == CGameNode::strINITIAL_KEY();
    std::shared_ptr<CGameNode> node;
    std::shared_ptr<CGameNode> parent;
    if (root) {
        if (isExists(moveKey)) node = Item(moveKey);
    } else {
        // A current node outside the tree raises the invalid call; Insert may move the parent.
        parent = Item(m_current->strKey());
        if (!isNewLine) node = objChildReaching(*parent, position, moveKey);
    }
    if (node == nullptr) {
        node = std::make_shared<CGameNode>();
        node->strKey(root ? std::move(moveKey)
                          : CGameNode::strKeyOf(*position, std::move(moveKey)));
        node->strParentKey(m_current->strKey());
        node->objPosition(std::move(position));
        // Another node may hold the key: the same position reached by another order of moves,
        // or another position whose key is the same. Each path keeps a node of its own.
        if (!Insert(node)) {
            node->strKey(strFreeKey(node->strKey()));
            Insert(node);
        }
        if (parent) parent->AddChild(node);
    }
    m_current = node;
    return node;
}

std::shared_ptr<CGameNode> CGameTree::objChildReaching(const CGameNode& parent,
                                                       const std::shared_ptr<CPosition>& position,
                                                       const std::string& moveKey) const {
    // The same move to the same position. The move number and the positions are compared
    // before the rest of the key, which is made as a text; the checksum is never needed, as
    // equal diagrams have equal checksums.
    for (const std::string& childKey : parent.childrenKeys()) {
        auto found = m_index.find(childKey);
        if (found == m_index.end()) continue;
        const std::shared_ptr<CGameNode>& child = m_nodes[found->second];
        const CPosition* held = child->objPosition().get();
        if (held && held->intMoveNumber() == position->intMoveNumber() && held->isEqual(position) &&
            CGameNode::strMoveKeyOf(*held) == moveKey)
            return child;
    }
    return nullptr;
}

std::string CGameTree::strFreeKey(const std::string& key) {
    if (!isExists(key)) return key;
    int& last = m_lastSuffix[key];
    last = std::max(last, 1);
    std::string free;
    do {
        free = key + "~" + std::to_string(++last);
    } while (isExists(free));
    return free;
}

void CGameTree::Remove(const std::string& key) {
    if (key == CGameNode::strINITIAL_KEY()) {
        m_nodes.clear();
        m_index.clear();
        m_lastSuffix.clear();
        return;
    }
    if (!isExists(key)) return;
    std::shared_ptr<CGameNode> node = Item(key);
    for (const std::string& child : node->childrenKeys())
        Erase(child);
    if (!node->strParentKey().empty()) Item(node->strParentKey())->RemoveChild(node);
    Erase(key);
}

std::shared_ptr<CGameNode> CGameTree::objMoveFirst(GameNodeList& next) {
    m_current = Item(CGameNode::strINITIAL_KEY());
    next = arrobjGetNextNodes(m_current);
    return m_current;
}

std::shared_ptr<CGameNode> CGameTree::objMovePrevious(GameNodeList& next) {
    if (m_current->strParentKey().empty()) return m_current;
    m_current = Item(m_current->strParentKey());
    next = arrobjGetNextNodes(m_current);
    return m_current;
}

std::shared_ptr<CGameNode> CGameTree::objMoveNext(int index, GameNodeList& next) {
    if (index < 0) {
        next.clear();
        return m_current;
    }
    const std::vector<std::string>& children = Item(m_current->strKey())->childrenKeys();
    if (children.empty()) return m_current;
    if (static_cast<size_t>(index) >= children.size()) RaiseSubscript();
    m_current = Item(children[static_cast<size_t>(index)]);
    next = arrobjGetNextNodes(m_current);
    if (next.empty()) next.push_back(nullptr);
    return m_current;
}

std::shared_ptr<CGameNode> CGameTree::objMovePrevBranch(GameNodeList& next) {
    if (m_current->strKey() == CGameNode::strINITIAL_KEY()) {
        next = arrobjGetNextNodes(m_current);
        return m_current;
    }
    std::shared_ptr<CGameNode> node = Item(m_current->strParentKey());
    for (size_t steps = 0;; ++steps) {
        if (node->childrenKeys().size() > 1 || node->strKey() == CGameNode::strINITIAL_KEY()) {
            m_current = node;
            next = arrobjGetNextNodes(node);
            return m_current;
        }
        // Parent links that run in a circle never reach the root.
        if (steps > m_nodes.size()) RaiseInvalidCall();
        node = Item(node->strParentKey());
    }
}

std::shared_ptr<CGameNode> CGameTree::objMoveLast(GameNodeList& next) {
    std::shared_ptr<CGameNode> node = Resolved(m_current);
    // A tree whose links form a cycle (a transposition back to an earlier node) must not hang.
    for (size_t steps = 0; node->childrenKeys().size() == 1 && steps <= m_nodes.size(); ++steps)
        node = Item(node->childrenKeys().front());
    m_current = node;
    if (node->childrenKeys().empty()) {
        next.assign(1, nullptr);
    } else {
        next = arrobjGetNextNodes(node);
    }
    return m_current;
}

GameNodeList CGameTree::arrobjGetNextNodes(const std::shared_ptr<CGameNode>& node) const {
    GameNodeList nodes;
    const std::shared_ptr<CGameNode>& linked = Resolved(node);
    nodes.reserve(linked->childrenKeys().size());
    for (const std::string& key : linked->childrenKeys()) {
        auto found = m_index.find(key);
        if (found != m_index.end()) nodes.push_back(m_nodes[found->second]);
    }
    return nodes;
}
