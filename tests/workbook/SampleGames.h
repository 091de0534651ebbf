#pragma once

#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/PositionConstructors.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// Every node of a tree as "key <parent> children, FEN, move number, move text", in node order:
// two trees with the same lines hold the same nodes, links and positions.
inline std::vector<std::string> NodeLines(const CGameTree& tree) {
    std::vector<std::string> lines;
    for (int n = 1; n <= tree.Count(); ++n) {
        const auto& node = tree.Item(n);
        const auto& position = *node->objPosition();
        std::string line = node->strKey() + " <" + node->strParentKey() + "> ";
        for (const std::string& child : node->arrstrGetChildrenKey())
            line += child + ",";
        lines.push_back(line + " " + position.strGetFEN() + " " +
                        std::to_string(position.intMoveNumber()) + " " + position.strMoveText());
    }
    return lines;
}

// Builds game trees from move texts for the workbook tests.
class SampleGame {
public:
    // A tree rooted at the FEN position (the standard start when empty).
    explicit SampleGame(const std::string& fen = "") {
        std::shared_ptr<CPosition> root = fen.empty() ? objNewStartPosition() : objReadFen(fen);
        root->strMoveText("..."); // a start position, even with an en-passant file
        m_tree->Add(root, m_next);
    }

    // Plays the moves from the root (when fromRoot) or from the current node.
    SampleGame& line(const std::vector<std::string>& moves, bool fromRoot = true) {
        if (fromRoot) m_tree->objMoveFirst(m_next);
        for (const std::string& move : moves) {
            const auto& position = m_tree->objCurrentNode()->objPosition();
            auto next = position->objProcessMove(position, move);
            if (!next) throw std::runtime_error("refused: " + move);
            m_tree->Add(next, m_next);
        }
        return *this;
    }

    const std::shared_ptr<CGameTree>& tree() const { return m_tree; }

private:
    std::shared_ptr<CGameTree> m_tree = std::make_shared<CGameTree>();
    GameNodeList m_next;
};
