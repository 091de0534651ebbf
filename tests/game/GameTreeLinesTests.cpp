// Line operations of game trees: promote, demote, remove a line, drop unreachable nodes; the
// order of lines survives a reload that links children in collection order.
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/PositionConstructors.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <tuple>

namespace {

// 1.e4 e5 (1...c5) 2.Nf3 (1.d4) (1.c4): nodes named by their move, the root by its key.
struct Sample {
    std::shared_ptr<CGameTree> tree = std::make_shared<CGameTree>();
    std::map<std::string, std::string> keys{{"InitialKey", "InitialKey"}}; // move -> node key

    Sample() {
        GameNodeList next;
        tree->Add(objNewStartPosition(), next);
        for (const char* line : {"e4 e5 Nf3", "e4 c5", "d4", "c4"}) {
            tree->objMoveFirst(next);
            std::istringstream moves(line);
            for (std::string move; moves >> move;) {
                const auto& at = tree->objCurrentNode()->objPosition();
                keys[move] = tree->Add(at->objProcessMove(at, move), next)->strKey();
            }
        }
        tree->objMoveFirst(next);
    }
    // The children of a node as moves.
    std::vector<std::string> children(const std::string& move) const {
        std::vector<std::string> moves;
        for (const std::string& child : tree->Item(keys.at(move))->childrenKeys())
            moves.push_back(tree->Item(child)->objPosition()->strMoveText());
        return moves;
    }
};

using Moves = std::vector<std::string>;

// Rebuilds the tree as the workbook loader does: nodes in collection order, each linked to a
// parent seen before it.
std::shared_ptr<CGameTree> Reloaded(const CGameTree& tree) {
    auto copy = std::make_shared<CGameTree>();
    for (const auto& node : tree)
        copy->Add2(node->objPosition(), node->strKey(), node->strParentKey());
    return copy;
}

TEST(GameTreeLines, PromoteAndDemoteMoveTheNearestLineAndSurviveAReload) {
    const std::tuple<const char*, bool, std::string, bool, Moves, Moves> cases[] = {
        {"main line cannot go up", true, "Nf3", false, {"e4", "d4", "c4"}, {"e5", "c5"}},
        {"second reply becomes main", true, "c5", true, {"e4", "d4", "c4"}, {"c5", "e5"}},
        {"deep move promotes its line", true, "d4", true, {"d4", "e4", "c4"}, {"e5", "c5"}},
        {"third line one place up", true, "c4", true, {"e4", "c4", "d4"}, {"e5", "c5"}},
        {"deep main move demotes its reply", false, "Nf3", true, {"e4", "d4", "c4"}, {"c5", "e5"}},
        {"last reply demotes the line above", false, "c5", true, {"d4", "e4", "c4"}, {"e5", "c5"}},
        {"last line cannot go down", false, "c4", false, {"e4", "d4", "c4"}, {"e5", "c5"}},
        {"root has no line", true, "InitialKey", false, {"e4", "d4", "c4"}, {"e5", "c5"}},
    };
    for (const auto& [name, promote, move, changes, root, afterE4] : cases) {
        SCOPED_TRACE(name);
        Sample sample;
        const std::string& key = sample.keys.at(move);
        const bool changed = promote ? sample.tree->PromoteLine(key) : sample.tree->DemoteLine(key);
        EXPECT_EQ(changed, changes);
        EXPECT_EQ(sample.children("InitialKey"), root);
        EXPECT_EQ(sample.children("e4"), afterE4);
        EXPECT_EQ(sample.tree->Count(), 7);
        // Stored and loaded again, the lines keep their new order.
        const auto reloaded = Reloaded(*sample.tree);
        for (const auto& node : *sample.tree)
            EXPECT_EQ(reloaded->Item(node->strKey())->childrenKeys(), node->childrenKeys());
    }
    EXPECT_FALSE(Sample().tree->PromoteLine("no such key"));
}

TEST(GameTreeLines, RemoveLineTakesEveryNodeBelowAndMovesTheCurrentNodeUp) {
    const std::tuple<const char*, std::string, std::string, int, Moves, std::string> cases[] = {
        {"main line with its replies", "e4", "Nf3", 4, {"d4", "c4"}, "InitialKey"},
        {"a reply leaves the main move", "c5", "c5", 1, {"e4", "d4", "c4"}, "e4"},
        {"current node elsewhere stays", "d4", "Nf3", 1, {"e4", "c4"}, "Nf3"},
        {"the root is kept", "InitialKey", "e5", 0, {"e4", "d4", "c4"}, "e5"},
        {"a missing key", "W9zz", "e5", 0, {"e4", "d4", "c4"}, "e5"},
    };
    for (const auto& [name, move, current, removed, root, currentAfter] : cases) {
        SCOPED_TRACE(name);
        Sample sample;
        const auto keyOf = [&](const std::string& text) {
            const auto found = sample.keys.find(text);
            return found == sample.keys.end() ? text : found->second;
        };
        sample.tree->objCurrentNode(sample.tree->Item(keyOf(current)));
        EXPECT_EQ(sample.tree->RemoveLine(keyOf(move)), removed);
        EXPECT_EQ(sample.tree->Count(), 7 - removed);
        EXPECT_EQ(sample.children("InitialKey"), root);
        EXPECT_EQ(sample.tree->objCurrentNode()->strKey(), keyOf(currentAfter));
        EXPECT_EQ(sample.tree->RemoveUnreachable(), 0);
    }
}

TEST(GameTreeLines, UnreachableNodesAreDroppedAndCircularLinksEndTheWalk) {
    Sample sample;
    // Remove keeps the grandchildren of the removed node; they are no longer reachable.
    sample.tree->Remove(sample.keys.at("e4"));
    EXPECT_EQ(sample.tree->Count(), 4);
    EXPECT_EQ(sample.tree->RemoveUnreachable(), 1);
    EXPECT_FALSE(sample.tree->isExists(sample.keys.at("Nf3")));
    EXPECT_EQ(sample.tree->Count(), 3);

    // Two nodes that name each other as parent and child, away from the root.
    Sample circle;
    const auto& d4 = circle.tree->Item(circle.keys.at("d4"));
    const auto& c4 = circle.tree->Item(circle.keys.at("c4"));
    auto root = circle.tree->Item("InitialKey");
    root->SetChildrenKey({circle.keys.at("e4")});
    d4->strParentKey(c4->strKey());
    c4->strParentKey(d4->strKey());
    d4->SetChildrenKey({c4->strKey()});
    c4->SetChildrenKey({d4->strKey()});
    EXPECT_FALSE(circle.tree->PromoteLine(d4->strKey()));
    EXPECT_FALSE(circle.tree->DemoteLine(c4->strKey()));
    EXPECT_EQ(circle.tree->RemoveUnreachable(), 2);
    EXPECT_EQ(circle.tree->Count(), 5);
}

} // namespace
