// Line operations of game trees: promote, demote, remove a line, drop unreachable nodes; the
// order of lines survives a reload that links children in collection order.
#include "tests/game/GameTreeTestSupport.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

// 1.e4 e5 (1...c5) 2.Nf3 (1.d4) (1.c4)
Book Sample() {
    return Book({"e4 e5 Nf3", "e4 c5", "d4", "c4"});
}

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
        {"main line cannot go up", true, "e4 e5 Nf3", false, {"e4", "d4", "c4"}, {"e5", "c5"}},
        {"second reply becomes main", true, "e4 c5", true, {"e4", "d4", "c4"}, {"c5", "e5"}},
        {"deep move promotes its line", true, "d4", true, {"d4", "e4", "c4"}, {"e5", "c5"}},
        {"third line one place up", true, "c4", true, {"e4", "c4", "d4"}, {"e5", "c5"}},
        {"Nf3 demotes its line", false, "e4 e5 Nf3", true, {"e4", "d4", "c4"}, {"c5", "e5"}},
        {"the last reply demotes e4", false, "e4 c5", true, {"d4", "e4", "c4"}, {"e5", "c5"}},
        {"last line cannot go down", false, "c4", false, {"e4", "d4", "c4"}, {"e5", "c5"}},
        {"root has no line", true, "", false, {"e4", "d4", "c4"}, {"e5", "c5"}},
    };
    for (const auto& [name, promote, line, changes, root, afterE4] : cases) {
        SCOPED_TRACE(name);
        Book book = Sample();
        const std::string key = book.key(line);
        EXPECT_EQ(promote ? book.tree->PromoteLine(key) : book.tree->DemoteLine(key), changes);
        EXPECT_EQ(book.children(""), root);
        EXPECT_EQ(book.children("e4"), afterE4);
        EXPECT_EQ(book.tree->Count(), 7);
        // Stored and loaded again, the lines keep their new order.
        const auto reloaded = Reloaded(*book.tree);
        for (const auto& node : *book.tree)
            EXPECT_EQ(reloaded->Item(node->strKey())->childrenKeys(), node->childrenKeys());
    }
    EXPECT_FALSE(Sample().tree->PromoteLine("no such key"));
}

TEST(GameTreeLines, RemoveLineTakesEveryNodeBelowAndMovesTheCurrentNodeUp) {
    // "W9zz" is no node's key
    const std::tuple<const char*, std::string, std::string, int, Moves, std::string> cases[] = {
        {"main line with its replies", "e4", "e4 e5 Nf3", 4, {"d4", "c4"}, ""},
        {"a reply leaves the main move", "e4 c5", "e4 c5", 1, {"e4", "d4", "c4"}, "e4"},
        {"current node elsewhere stays", "d4", "e4 e5 Nf3", 1, {"e4", "c4"}, "e4 e5 Nf3"},
        {"the root is kept", "", "e4 e5", 0, {"e4", "d4", "c4"}, "e4 e5"},
        {"a missing key", "W9zz", "e4 e5", 0, {"e4", "d4", "c4"}, "e4 e5"},
    };
    for (const auto& [name, line, current, removed, root, currentAfter] : cases) {
        SCOPED_TRACE(name);
        Book book = Sample();
        book.tree->objCurrentNode(book.at(current));
        EXPECT_EQ(book.tree->RemoveLine(book.nodes.count(line) ? book.key(line) : line), removed);
        EXPECT_EQ(book.tree->Count(), 7 - removed);
        EXPECT_EQ(book.children(""), root);
        EXPECT_EQ(book.tree->objCurrentNode()->strKey(), book.key(currentAfter));
        EXPECT_EQ(book.tree->RemoveUnreachable(), 0);
    }
}

TEST(GameTreeLines, UnreachableNodesAreDroppedAndCircularLinksEndTheWalk) {
    Book book = Sample();
    // Remove keeps the grandchildren of the removed node; they are no longer reachable.
    book.tree->Remove(book.key("e4"));
    EXPECT_EQ(book.tree->Count(), 4);
    EXPECT_EQ(book.tree->RemoveUnreachable(), 1);
    EXPECT_FALSE(book.tree->isExists(book.key("e4 e5 Nf3")));
    EXPECT_EQ(book.tree->Count(), 3);

    // Two nodes that name each other as parent and child, away from the root.
    Book circle = Sample();
    const auto& d4 = circle.at("d4");
    const auto& c4 = circle.at("c4");
    circle.at("")->SetChildrenKey({circle.key("e4")});
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
