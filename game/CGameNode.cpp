#include "game/CGameNode.h"

#include "game/CPosition.h"
#include "model/CDiagram.h"

#include <algorithm>
#include <charconv>
#include <iterator>

const std::string& CGameNode::strINITIAL_KEY() {
    static const std::string key = "InitialKey";
    return key;
}

void CGameNode::AddChild(const std::shared_ptr<CGameNode>& node) {
    // A root is never anybody's child.
    if (node->objPosition() && node->objPosition()->isStartPosition()) return;
    m_children.push_back(node->strKey());
}

void CGameNode::RemoveChild(const std::shared_ptr<CGameNode>& node) {
    if (m_children.size() <= 1) {
        m_children.clear();
        return;
    }
    std::erase(m_children, node->strKey());
}

bool CGameNode::isEqual(const std::shared_ptr<CGameNode>& other) const {
    if (!other) return false;
    if (!m_position || !other->m_position) return !m_position && !other->m_position;
    return m_position->isEqual(other->m_position);
}

std::shared_ptr<CGameNode> CGameNode::objClone() const {
    auto clone = std::make_shared<CGameNode>();
    clone->m_key = m_key;
    clone->m_parentKey = m_parentKey;
    clone->m_position = m_position ? m_position->objClone() : nullptr;
    clone->m_children = m_children;
    return clone;
}

void CGameNode::InitFromPosition(const std::string& parentKey,
                                 const std::shared_ptr<CPosition>& position) {
    m_key = strKeyOf(*position);
    m_parentKey = parentKey;
    m_position = position->objClone();
}

std::string CGameNode::strKeyOf(const CPosition& position) {
    return strKeyOf(position, strMoveKeyOf(position));
}

std::string CGameNode::strKeyOf(const CPosition& position, std::string moveKey) {
    if (moveKey == strINITIAL_KEY()) return moveKey;
    moveKey += std::to_string(position.objDiagram()->lngCheckSum());
    return moveKey;
}

std::string CGameNode::strMoveKeyOf(const CPosition& position) {
    if (position.isStartPosition()) return strINITIAL_KEY();
    std::string key(1, position.isWhiteToMove() ? 'B' : 'W');
    char number[16];
    key.append(number, std::to_chars(number, std::end(number), position.intMoveNumber()).ptr);
    // The move text without its "P" and "+" marks and without the blanks around what remains.
    const std::string& text = position.strStoredMoveText();
    const auto isLeftOut = [](char c) { return c == 'P' || c == '+'; };
    const auto isKept = [&](char c) { return c != ' ' && !isLeftOut(c); };
    const auto first = std::find_if(text.begin(), text.end(), isKept);
    const auto last = std::find_if(text.rbegin(), text.rend(), isKept).base();
    for (auto at = first; at < last; ++at)
        if (!isLeftOut(*at)) key += *at;
    return key;
}
