#pragma once
// Finds pairs of move sequences that reach different boards under the same node key, by playing
// every line to a given depth.

#include "game/CGameNode.h"
#include "game/CPosition.h"
#include "game/Perft.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct KeyCollision {
    std::string key;
    std::vector<std::string> first; // move texts from the start
    std::vector<std::string> second;
};

// Up to limit pairs among the lines of the given number of plies from the start (and the shorter
// lines on the way), in the order the rules list the moves.
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
