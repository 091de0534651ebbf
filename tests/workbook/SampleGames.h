#pragma once

#include "tests/game/GameTreeTestSupport.h"

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
