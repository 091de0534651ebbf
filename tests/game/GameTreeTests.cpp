// Game trees: keys, adding moves, transpositions, navigation, removal and equality.
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/PositionConstructors.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "tests/game/KeyCollisionFinder.h"
#include "tests/model/Checks.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

std::shared_ptr<CPosition> Play(const std::shared_ptr<CPosition>& from, const std::string& text) {
    auto next = from->objProcessMove(from, text);
    if (!next) throw std::runtime_error("refused: " + text);
    return next;
}

// A tree builder that plays move texts from the current node.
struct Game {
    std::shared_ptr<CGameTree> tree = std::make_shared<CGameTree>();
    GameNodeList next;

    Game() { tree->Add(objNewStartPosition(), next); }

    // Plays the moves one after another from the current node; returns the last node.
    std::shared_ptr<CGameNode> line(const std::vector<std::string>& moves) {
        std::shared_ptr<CGameNode> node = tree->objCurrentNode();
        for (const std::string& move : moves)
            node = tree->Add(Play(node->objPosition(), move), next);
        return node;
    }
    // Moves back to the root and plays the moves.
    std::shared_ptr<CGameNode> fromRoot(const std::vector<std::string>& moves) {
        tree->objMoveFirst(next);
        return line(moves);
    }
};

std::vector<std::string> Keys(const GameNodeList& nodes) {
    std::vector<std::string> keys;
    for (const auto& node : nodes)
        keys.push_back(node ? node->strKey() : "<none>");
    return keys;
}

TEST(GameTree, KeysNameTheMoverTheNumberTheMoveAndTheChecksum) {
    Game game;
    auto e4 = game.line({"e4"});
    auto e5 = game.line({"e5"});
    auto nf3 = game.line({"Nf3+"}); // a check mark never reaches the key
    struct Expect {
        std::shared_ptr<CGameNode> node;
        std::string start;
    };
    for (const Expect& e : std::vector<Expect>{{e4, "W1e4"}, {e5, "B1e5"}, {nf3, "W2Nf3"}}) {
        const std::string digits =
            std::to_string(e.node->objPosition()->objDiagram()->lngCheckSum());
        EXPECT_EQ(e.node->strKey(), e.start + digits);
    }
    EXPECT_EQ(game.tree->Item(1)->strKey(), "InitialKey");
    EXPECT_EQ(game.tree->Item(1)->strParentKey(), "InitialKey");
    EXPECT_EQ(e5->strParentKey(), e4->strKey());
}

TEST(GameTree, AddingMovesBuildsTheMainLineAndVariationsInOrder) {
    Game game;
    auto e4 = game.line({"e4", "e5"});
    EXPECT_EQ(game.tree->Count(), 3);
    auto root = game.tree->objMoveFirst(game.next);
    EXPECT_EQ(root->strKey(), "InitialKey");
    ASSERT_EQ(game.next.size(), 1u);
    EXPECT_EQ(game.next[0]->strKey(), game.tree->Item(2)->strKey());

    // Back to the root and a second first move: a variation after the main move.
    game.tree->objMoveNext(0, game.next);
    game.tree->objMovePrevious(game.next);
    auto d4 = game.line({"d4"});
    EXPECT_EQ(game.tree->Item("InitialKey")->arrstrGetChildrenKey(),
              (std::vector<std::string>{game.tree->Item(2)->strKey(), d4->strKey()}));
    game.line({"d5"});
    auto back = game.tree->objMovePrevBranch(game.next);
    EXPECT_EQ(back->strKey(), "InitialKey");
    EXPECT_EQ(Keys(game.next), game.tree->Item("InitialKey")->arrstrGetChildrenKey());

    // The same move again from the same node finds the node and adds no second link.
    game.tree->objMoveFirst(game.next);
    auto again = game.line({"e4"});
    EXPECT_EQ(again, game.tree->Item(2));
    EXPECT_EQ(game.tree->Item("InitialKey")->arrstrGetChildrenKey().size(), 2u);
    EXPECT_EQ(game.tree->Count(), 5);
}

// Two paths that reach one key: a transposition (the same board by another order of moves) and
// pairs of different boards whose keys are equal, found by search. Each path keeps a node of its
// own with its own parent and its own continuation.
TEST(GameTree, EveryPathToAKeyKeepsItsOwnNodeParentAndContinuation) {
    struct Case {
        std::string name;
        std::vector<std::string> first, second;
    };
    std::vector<Case> cases = {
        {"transposition", {"e4", "e6", "d4", "d5"}, {"d4", "e6", "e4", "d5"}},
        {"knights transposing", {"Nf3", "Nc6", "Nc3", "Nf6"}, {"Nc3", "Nc6", "Nf3", "Nf6"}},
    };
    const auto collisions = KeyCollisionFinder::find(objNewStartPosition(), 3, 6);
    ASSERT_FALSE(collisions.empty()) << "the search finds no key shared by two boards";
    for (const KeyCollision& found : collisions)
        cases.push_back({"collision at " + found.key, found.first, found.second});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Game game;
        auto first = game.line(c.first);
        auto firstNext = game.line({first->objPosition()->isWhiteToMove() ? "a3" : "a6"});
        auto second = game.fromRoot(c.second);
        auto secondNext = game.line({second->objPosition()->isWhiteToMove() ? "h3" : "h6"});

        EXPECT_NE(second, first);
        EXPECT_NE(second->strKey(), first->strKey());
        EXPECT_EQ(second->strKey(), first->strKey() + "~2");
        EXPECT_EQ(game.tree->Count(),
                  static_cast<int>(1 + c.first.size() + 1 + c.second.size() + 1));
        // Every node of each path has the node before it as parent and as the only parent link.
        for (const auto& path : {std::vector<std::string>(c.first), c.second}) {
            game.tree->objMoveFirst(game.next);
            auto node = game.tree->objCurrentNode();
            for (const std::string& move : path) {
                auto children = game.tree->arrobjGetNextNodes(node);
                auto child = std::find_if(children.begin(), children.end(), [&](const auto& n) {
                    return n->objPosition()->strMoveText() == move;
                });
                ASSERT_NE(child, children.end()) << move;
                EXPECT_EQ((*child)->strParentKey(), node->strKey());
                node = *child;
            }
        }
        EXPECT_EQ(Keys(game.tree->arrobjGetNextNodes(first)),
                  std::vector<std::string>{firstNext->strKey()});
        EXPECT_EQ(Keys(game.tree->arrobjGetNextNodes(second)),
                  std::vector<std::string>{secondNext->strKey()});
        // Playing a path again finds its nodes.
        EXPECT_EQ(game.fromRoot(c.second), second);
        EXPECT_EQ(game.fromRoot(c.first), first);
    }
}

TEST(GameTree, MoveNextAndMoveLastFillTheNextNodesAsSpecified) {
    Game game;
    game.line({"e4", "e5", "Nf3"});
    game.tree->objMoveFirst(game.next);

    auto stay = game.tree->objMoveNext(-1, game.next);
    EXPECT_EQ(stay->strKey(), "InitialKey");
    EXPECT_TRUE(game.next.empty());

    auto last = game.tree->objMoveLast(game.next);
    EXPECT_EQ(last, game.tree->Item(4));
    EXPECT_EQ(Keys(game.next), std::vector<std::string>{"<none>"});

    // Into a leaf: one empty entry. From a leaf: nothing changes.
    game.tree->objMovePrevious(game.next);
    auto leaf = game.tree->objMoveNext(0, game.next);
    EXPECT_EQ(leaf, game.tree->Item(4));
    EXPECT_EQ(Keys(game.next), std::vector<std::string>{"<none>"});
    game.next.clear();
    EXPECT_EQ(game.tree->objMoveNext(0, game.next), leaf);
    EXPECT_TRUE(game.next.empty()); // left as it was

    // Two replies after 1. e4: MoveLast stops on the e4 node with both.
    game.fromRoot({"e4", "c5"});
    game.tree->objMoveFirst(game.next);
    auto branch = game.tree->objMoveLast(game.next);
    EXPECT_EQ(branch, game.tree->Item(2));
    EXPECT_EQ(game.next.size(), 2u);
    EXPECT_TRUE(Contains(ErrorOf([&] { game.tree->objMoveNext(2, game.next); }), " 9: "));
}

TEST(GameTree, RemovingAVariationDropsItsNodeAndDirectChildrenOnly) {
    Game game;
    game.fromRoot({"e4", "e5"});
    auto d4 = game.fromRoot({"d4"});
    auto d5 = game.line({"d5"});
    auto c4 = game.line({"c4"});
    game.tree->objMoveFirst(game.next);
    game.tree->Remove(d4->strKey());
    EXPECT_FALSE(game.tree->isExists(d4->strKey()));
    EXPECT_FALSE(game.tree->isExists(d5->strKey()));
    EXPECT_TRUE(game.tree->isExists(c4->strKey())); // deeper nodes stay, unreachable
    EXPECT_EQ(game.tree->Item("InitialKey")->arrstrGetChildrenKey(),
              std::vector<std::string>{game.tree->Item(2)->strKey()});
    game.tree->Remove("no such key");
    EXPECT_EQ(game.tree->Count(), 4);
    game.tree->Remove("InitialKey");
    EXPECT_EQ(game.tree->Count(), 0);
}

TEST(GameTree, EqualityComparesPositionsIndexByIndexAndMissingNodesRaise) {
    Game a, b, c;
    for (Game* game : {&a, &c}) {
        game->fromRoot({"e4"});
        game->fromRoot({"d4"});
    }
    b.fromRoot({"d4"});
    b.fromRoot({"e4"});
    EXPECT_FALSE(a.tree->isEqual(b.tree));
    EXPECT_TRUE(a.tree->isEqual(c.tree));
    EXPECT_FALSE(a.tree->isEqual(nullptr));
    c.line({"d5"});
    EXPECT_FALSE(a.tree->isEqual(c.tree));

    CGameTree empty;
    GameNodeList next;
    EXPECT_EQ(empty.objCurrentNode()->strKey(), "InitialKey");
    EXPECT_EQ(empty.objCurrentNode()->objPosition(), nullptr);
    EXPECT_FALSE(empty.isExists("InitialKey"));
    // A move before any start position is refused and leaves the tree empty.
    const std::function<void()> refused[] = {
        [&] { empty.objMoveFirst(next); }, [&] { empty.Item(1); },
        [&] { empty.Item("InitialKey"); },
        [&] { empty.Add(Play(a.tree->Item(1)->objPosition(), "e4"), next); }};
    for (const auto& call : refused)
        EXPECT_NE(ErrorOf(call), "no error");
    EXPECT_EQ(empty.Count(), 0);
}

TEST(GameTree, Add2LinksToAnExistingParentAndKeepsTheFirstNodeOfAKey) {
    CGameTree tree;
    auto start = objNewStartPosition();
    auto e4 = Play(start, "e4");
    auto orphan = tree.Add2(e4, "child", "root"); // parent not there yet: no link
    auto root = tree.Add2(start, "root", "");
    auto child = tree.Add2(Play(e4, "e5"), "grandchild", "child");
    EXPECT_TRUE(root->arrstrGetChildrenKey().empty());
    EXPECT_EQ(orphan->arrstrGetChildrenKey(), std::vector<std::string>{"grandchild"});
    EXPECT_EQ(tree.Add2(start, "child", "root"), orphan);
    EXPECT_EQ(orphan->objPosition(), e4); // the object itself, not a copy
    EXPECT_EQ(tree.Count(), 3);
    EXPECT_EQ(tree.objCurrentNode()->objPosition(), nullptr);
    EXPECT_EQ(child->strParentKey(), "child");
}

TEST(GameNode, ChildLinksCloneAndInitialisation) {
    auto start = objNewStartPosition();
    auto e4 = Play(start, "e4");
    auto node = std::make_shared<CGameNode>();
    node->InitFromPosition("parent", e4);
    EXPECT_EQ(node->strParentKey(), "parent");
    EXPECT_NE(node->objPosition(), e4); // a clone
    EXPECT_TRUE(node->objPosition()->isEqual(e4));
    auto root = std::make_shared<CGameNode>();
    root->InitFromPosition("", start);
    EXPECT_EQ(root->strKey(), "InitialKey");
    node->AddChild(root); // a start position is never a child
    EXPECT_TRUE(node->arrstrGetChildrenKey().empty());
    auto other = std::make_shared<CGameNode>();
    other->strKey("x");
    node->SetChildrenKey({"a", "x", "b", "x"});
    node->RemoveChild(other);
    EXPECT_EQ(node->arrstrGetChildrenKey(), (std::vector<std::string>{"a", "b"}));
    auto clone = node->objClone();
    clone->SetChildrenKey({});
    EXPECT_EQ(node->arrstrGetChildrenKey().size(), 2u);
    EXPECT_NE(clone->objPosition(), node->objPosition());
    EXPECT_TRUE(clone->isEqual(node));
    EXPECT_FALSE(root->isEqual(node));
    node->SetChildrenKey({"a"});
    node->RemoveChild(other); // one entry goes without comparison
    EXPECT_TRUE(node->arrstrGetChildrenKey().empty());
}

} // namespace
