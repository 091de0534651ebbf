#pragma once
// Finds pairs of move sequences that reach different boards under the same node key, by playing
// every line to a given depth.

#include "game/CGameNode.h"
#include "game/CPosition.h"
#include "game/Perft.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

struct KeyCollision {
    std::string key;
    std::vector<std::string> first; // move texts from the start
    std::vector<std::string> second;
};

class KeyCollisionFinder {
public:
    // Up to limit pairs among the lines of the given number of plies from the start (and the
    // shorter lines on the way), in the order the rules list the moves.
    static std::vector<KeyCollision> find(const std::shared_ptr<CPosition>& start, int plies,
                                          size_t limit) {
        KeyCollisionFinder finder(limit);
        std::vector<std::string> line;
        finder.walk(start, plies, line);
        return finder.m_found;
    }

private:
    struct Seen {
        std::shared_ptr<CPosition> position;
        std::vector<std::string> line;
        bool reported = false;
    };

    explicit KeyCollisionFinder(size_t limit) : m_limit(limit) {}

    void walk(const std::shared_ptr<CPosition>& position, int plies,
              std::vector<std::string>& line) {
        if (plies == 0 || m_found.size() >= m_limit) return;
        for (const LegalMove& legal : arrGetLegalMoves(position)) {
            std::shared_ptr<CPosition> next = position->objMove1(legal.move);
            if (!next) continue;
            line.push_back(next->strMoveText());
            const std::string key = CGameNode::strKeyOf(*next);
            auto [seen, added] = m_seen.try_emplace(key, Seen{next, line});
            if (!added && !seen->second.reported && !seen->second.position->isEqual(next) &&
                m_found.size() < m_limit) {
                seen->second.reported = true;
                m_found.push_back({key, seen->second.line, line});
            }
            walk(next, plies - 1, line);
            line.pop_back();
        }
    }

    size_t m_limit;
    std::map<std::string, Seen> m_seen;
    std::vector<KeyCollision> m_found;
};
