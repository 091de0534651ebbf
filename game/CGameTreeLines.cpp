// Line operations of CGameTree: promoting, demoting and removing a line, and dropping nodes the
// root no longer reaches. Nodes are kept in depth-first order after a reordering, so that a tree
// stored and loaded again (children are linked in storage order) keeps its line order.
#include "game/CGameTree.h"

#include <algorithm>

std::shared_ptr<CGameNode> CGameTree::objLineStart(const std::string& key, bool isUp) const {
    if (!isExists(key)) return nullptr;
    std::shared_ptr<CGameNode> node = Item(key);
    // Parent links that run in a circle never reach the root.
    for (size_t steps = 0; steps <= m_nodes.size(); ++steps) {
        if (node->strKey() == CGameNode::strINITIAL_KEY() || !isExists(node->strParentKey()))
            return nullptr;
        const std::shared_ptr<CGameNode>& parent = Item(node->strParentKey());
        const std::vector<std::string>& children = parent->childrenKeys();
        const auto at = std::find(children.begin(), children.end(), node->strKey());
        if (at != children.end()) {
            const bool found = isUp ? at != children.begin() : at + 1 != children.end();
            if (found) return node;
        }
        node = parent;
    }
    return nullptr;
}

bool CGameTree::PromoteLine(const std::string& key) {
    const std::shared_ptr<CGameNode> start = objLineStart(key, true);
    if (!start) return false;
    const std::shared_ptr<CGameNode>& parent = Item(start->strParentKey());
    std::vector<std::string> children = parent->childrenKeys();
    const auto at = std::find(children.begin(), children.end(), start->strKey());
    std::iter_swap(at, at - 1);
    parent->SetChildrenKey(children);
    OrderDepthFirst();
    return true;
}

bool CGameTree::DemoteLine(const std::string& key) {
    const std::shared_ptr<CGameNode> start = objLineStart(key, false);
    if (!start) return false;
    const std::shared_ptr<CGameNode>& parent = Item(start->strParentKey());
    std::vector<std::string> children = parent->childrenKeys();
    const auto at = std::find(children.begin(), children.end(), start->strKey());
    std::iter_swap(at, at + 1);
    parent->SetChildrenKey(children);
    OrderDepthFirst();
    return true;
}

int CGameTree::RemoveLine(const std::string& key) {
    if (key == CGameNode::strINITIAL_KEY() || !isExists(key)) return 0;
    const std::shared_ptr<CGameNode> node = Item(key);
    std::vector<bool> keep(m_nodes.size(), true);
    std::vector<std::string> pending{key};
    while (!pending.empty()) {
        const std::string next = pending.back();
        pending.pop_back();
        const auto found = m_index.find(next);
        if (found == m_index.end() || !keep[found->second]) continue;
        keep[found->second] = false;
        for (const std::string& child : m_nodes[found->second]->childrenKeys())
            pending.push_back(child);
    }
    if (isExists(node->strParentKey())) Item(node->strParentKey())->RemoveChild(node);
    const auto current = m_index.find(m_current->strKey());
    if (current != m_index.end() && !keep[current->second])
        m_current = isExists(node->strParentKey()) ? Item(node->strParentKey())
                                                   : Item(CGameNode::strINITIAL_KEY());
    KeepOnly(keep);
    // The loader's stand-in for the root keeps a copy of the root's children.
    if (m_current->strKey() == CGameNode::strINITIAL_KEY() && isExists(m_current->strKey()))
        m_current->SetChildrenKey(Item(m_current->strKey())->childrenKeys());
    return static_cast<int>(std::count(keep.begin(), keep.end(), false));
}

int CGameTree::RemoveUnreachable() {
    if (!isExists(CGameNode::strINITIAL_KEY())) return 0;
    const std::vector<bool> reached = arrReached();
    const int dropped = static_cast<int>(std::count(reached.begin(), reached.end(), false));
    if (dropped > 0) KeepOnly(reached);
    return dropped;
}

// For each node in collection order, whether the root reaches it through children links.
std::vector<bool> CGameTree::arrReached() const {
    std::vector<bool> reached(m_nodes.size(), false);
    std::vector<std::string> pending{CGameNode::strINITIAL_KEY()};
    while (!pending.empty()) {
        const std::string key = pending.back();
        pending.pop_back();
        const auto found = m_index.find(key);
        if (found == m_index.end() || reached[found->second]) continue;
        reached[found->second] = true;
        for (const std::string& child : m_nodes[found->second]->childrenKeys())
            pending.push_back(child);
    }
    return reached;
}

void CGameTree::KeepOnly(const std::vector<bool>& keep) {
    GameNodeList kept;
    kept.reserve(m_nodes.size());
    for (size_t i = 0; i < m_nodes.size(); ++i)
        if (keep[i]) kept.push_back(m_nodes[i]);
    m_nodes.swap(kept);
    m_index.clear();
    for (size_t i = 0; i < m_nodes.size(); ++i)
        m_index.emplace(m_nodes[i]->strKey(), i);
}

void CGameTree::OrderDepthFirst() {
    GameNodeList ordered;
    ordered.reserve(m_nodes.size());
    std::vector<bool> placed(m_nodes.size(), false);
    std::vector<std::string> pending{CGameNode::strINITIAL_KEY()};
    while (!pending.empty()) {
        const std::string key = pending.back();
        pending.pop_back();
        const auto found = m_index.find(key);
        if (found == m_index.end() || placed[found->second]) continue;
        placed[found->second] = true;
        ordered.push_back(m_nodes[found->second]);
        const std::vector<std::string>& children = m_nodes[found->second]->childrenKeys();
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            pending.push_back(*child);
    }
    for (size_t i = 0; i < m_nodes.size(); ++i)
        if (!placed[i]) ordered.push_back(m_nodes[i]);
    m_nodes.swap(ordered);
    m_index.clear();
    for (size_t i = 0; i < m_nodes.size(); ++i)
        m_index.emplace(m_nodes[i]->strKey(), i);
    if (m_current->strKey() == CGameNode::strINITIAL_KEY() && isExists(m_current->strKey()))
        m_current->SetChildrenKey(Item(m_current->strKey())->childrenKeys());
}
