// Game trees: keys, adding moves, transpositions, navigation, equality, the line operations
// (promote, demote, remove a line, drop unreachable nodes) whose order survives a reload, and the
// training judgement over them: stored moves, refuted tries, replies and explanations.
#include "game/TrainingJudgement.h"
#include "model/CDiagram.h"
#include "tests/game/GameTreeTestSupport.h"
#include "tests/model/Checks.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <tuple>

namespace {

TEST(GameTree, KeysNameTheMoverTheNumberTheMoveAndTheChecksum) {
    const Book book({"e4 e5 Nf3+"}); // a check mark never reaches the key
    for (const auto& [line, start] :
         {std::pair{"e4", "W1e4"}, {"e4 e5", "B1e5"}, {"e4 e5 Nf3+", "W2Nf3"}}) {
        const auto& position = *book.at(line)->objPosition();
        EXPECT_EQ(book.key(line), start + std::to_string(position.objDiagram()->lngCheckSum()));
    }
    EXPECT_EQ(book.tree->Item(1)->strParentKey(), "InitialKey");
    // Stored move texts as a workbook may hold them: pawn letters, check marks and outer blanks
    // never reach the key.
    const auto e4 = Played(objNewStartPosition(), "e4");
    for (const auto& [stored, key] : {std::pair{" Nf3+ ", "W1Nf3"},
                                      {"e4 +", "W1e4"},
                                      {"P e4", "W1e4"},
                                      {"e4 P e5", "W1e4  e5"},
                                      {"  ", "W1"},
                                      {"P..+.", "InitialKey"},
                                      {" ...", "W1..."}}) {
        e4->strMoveText(stored);
        EXPECT_EQ(CGameNode::strMoveKeyOf(*e4), key) << '"' << stored << '"';
    }
}

// Two paths that reach one key: a transposition (the same board by another order of moves) and
// pairs of different boards whose keys are equal, found by search. Each path keeps a node of its
// own with its own parent and its own continuation.
TEST(GameTree, EveryPathToAKeyKeepsItsOwnNodeParentAndContinuation) {
    std::vector<std::pair<std::string, std::string>> cases = {
        {"e4 e6 d4 d5", "d4 e6 e4 d5"},
        {"Nf3 Nc6 Nc3 Nf6", "Nc3 Nc6 Nf3 Nf6"},
    };
    const auto collisions = FindKeyCollisions(objNewStartPosition(), 3, 6);
    ASSERT_FALSE(collisions.empty()) << "the search finds no key shared by two boards";
    const auto joined = [](const std::vector<std::string>& moves) {
        std::string line;
        for (const std::string& move : moves)
            line += (line.empty() ? "" : " ") + move;
        return line;
    };
    for (const KeyCollision& found : collisions)
        cases.emplace_back(joined(found.first), joined(found.second));

    for (const auto& [first, second] : cases) {
        SCOPED_TRACE(first + " / " + second);
        Book book;
        const auto reply = [&](const std::string& line, const char* white, const char* black) {
            return line + " " + (book.at(line)->objPosition()->isWhiteToMove() ? white : black);
        };
        book.add(first);
        const std::string firstNext = reply(first, "a3", "a6");
        book.add(firstNext);
        book.add(second);
        const std::string secondNext = reply(second, "h3", "h6");
        book.add(secondNext);

        EXPECT_EQ(book.key(second), book.key(first) + "~2");
        EXPECT_EQ(book.tree->Count(), static_cast<int>(book.nodes.size()));
        // Every node of each path is linked both ways to the node before it.
        for (const auto& [line, node] : book.nodes) {
            if (line.empty()) continue;
            const auto cut = line.rfind(' ');
            const auto& parent = book.at(cut == std::string::npos ? "" : line.substr(0, cut));
            EXPECT_EQ(node->strParentKey(), parent->strKey()) << line;
            const auto children = parent->arrstrGetChildrenKey();
            EXPECT_NE(std::find(children.begin(), children.end(), node->strKey()), children.end())
                << line;
        }
        EXPECT_EQ(Keys(book.tree->arrobjGetNextNodes(book.at(first))),
                  std::vector<std::string>{book.key(firstNext)});
        EXPECT_EQ(Keys(book.tree->arrobjGetNextNodes(book.at(second))),
                  std::vector<std::string>{book.key(secondNext)});
        // Playing a path again finds its nodes.
        EXPECT_EQ(book.add(second), book.at(second));
        EXPECT_EQ(book.add(first), book.at(first));
    }
}

TEST(GameTree, NavigationFillsTheNextNodesAndAddingMakesVariationsInOrder) {
    Book book({"e4 e5 Nf3"});
    GameNodeList next;
    EXPECT_EQ(book.tree->objMoveFirst(next)->strKey(), "InitialKey");
    EXPECT_EQ(Keys(next), std::vector<std::string>{book.key("e4")});
    EXPECT_EQ(book.tree->objMoveNext(-1, next)->strKey(), "InitialKey");
    EXPECT_TRUE(next.empty());
    const auto leaf = book.at("e4 e5 Nf3");
    EXPECT_EQ(book.tree->objMoveLast(next), leaf);
    EXPECT_EQ(Keys(next), std::vector<std::string>{"<none>"});
    // Into a leaf: one empty entry. From a leaf: nothing changes.
    book.tree->objMovePrevious(next);
    EXPECT_EQ(book.tree->objMoveNext(0, next), leaf);
    EXPECT_EQ(Keys(next), std::vector<std::string>{"<none>"});
    next.clear();
    EXPECT_EQ(book.tree->objMoveNext(0, next), leaf);
    EXPECT_TRUE(next.empty());
    // Two replies after 1. e4: MoveLast stops on the e4 node with both.
    book.add("e4 c5");
    book.tree->objMoveFirst(next);
    EXPECT_EQ(book.tree->objMoveLast(next), book.at("e4"));
    EXPECT_EQ(next.size(), 2u);
    EXPECT_TRUE(Contains(ErrorOf([&] { book.tree->objMoveNext(2, next); }), " 9: "));
    // Back to the root, then a second first move: a variation after the main move.
    book.tree->objMovePrevious(next);
    EXPECT_EQ(Keys(next), std::vector<std::string>{book.key("e4")});
    const auto d4 = book.tree->Add(Played(book.at("")->objPosition(), "d4"), next);
    EXPECT_EQ(book.at("")->arrstrGetChildrenKey(),
              (std::vector<std::string>{book.key("e4"), d4->strKey()}));
    book.tree->Add(Played(d4->objPosition(), "d5"), next);
    EXPECT_EQ(book.tree->objMovePrevBranch(next)->strKey(), "InitialKey");
    EXPECT_EQ(Keys(next), book.at("")->arrstrGetChildrenKey());
}

TEST(GameTree, EqualityComparesPositionsIndexByIndexAndMissingNodesRaise) {
    const Book a({"e4", "d4"}), b({"d4", "e4"});
    Book c({"e4", "d4"});
    EXPECT_FALSE(a.tree->isEqual(b.tree));
    EXPECT_TRUE(a.tree->isEqual(c.tree));
    EXPECT_FALSE(a.tree->isEqual(nullptr));
    c.add("d4 d5");
    EXPECT_FALSE(a.tree->isEqual(c.tree));

    CGameTree empty;
    GameNodeList next;
    EXPECT_EQ(empty.objCurrentNode()->objPosition(), nullptr);
    // A move before any start position is refused and leaves the tree empty.
    const std::function<void()> refused[] = {
        [&] { empty.objMoveFirst(next); }, [&] { empty.Item(1); },
        [&] { empty.Item("InitialKey"); }, [&] { empty.Add(a.at("e4")->objPosition(), next); }};
    for (const auto& call : refused)
        EXPECT_NE(ErrorOf(call), "no error");
    EXPECT_EQ(empty.Count(), 0);
}

TEST(GameNode, Add2LinksToAnExistingParentAndNodesCloneTheirPositions) {
    CGameTree tree;
    auto start = objNewStartPosition();
    auto e4 = Played(start, "e4");
    auto orphan = tree.Add2(e4, "child", "root"); // parent not there yet: no link
    auto root = tree.Add2(start, "root", "");
    auto child = tree.Add2(Played(e4, "e5"), "grandchild", "child");
    EXPECT_TRUE(root->arrstrGetChildrenKey().empty());
    EXPECT_EQ(orphan->arrstrGetChildrenKey(), std::vector<std::string>{"grandchild"});
    EXPECT_EQ(tree.Add2(start, "child", "root"), orphan);
    EXPECT_EQ(orphan->objPosition(), e4); // the object itself, not a copy
    EXPECT_EQ(tree.objCurrentNode()->objPosition(), nullptr);
    EXPECT_EQ(child->strParentKey(), "child");

    // Nodes made outside a tree: child links, clones and initialisation.
    auto node = std::make_shared<CGameNode>();
    node->InitFromPosition("parent", e4);
    EXPECT_EQ(node->strParentKey(), "parent");
    EXPECT_NE(node->objPosition(), e4); // a clone
    EXPECT_TRUE(node->objPosition()->isEqual(e4));
    auto initial = std::make_shared<CGameNode>();
    initial->InitFromPosition("", start);
    EXPECT_EQ(initial->strKey(), "InitialKey");
    node->AddChild(initial); // a start position is never a child
    EXPECT_TRUE(node->arrstrGetChildrenKey().empty());
    auto other = std::make_shared<CGameNode>();
    other->strKey("x");
    node->SetChildrenKey({"a", "x", "b", "x"});
    node->RemoveChild(other);
    EXPECT_EQ(node->arrstrGetChildrenKey(), (std::vector<std::string>{"a", "b"}));
    auto clone = node->objClone();
    EXPECT_EQ(clone->arrstrGetChildrenKey(), node->arrstrGetChildrenKey());
    EXPECT_NE(clone->objPosition(), node->objPosition());
    EXPECT_TRUE(clone->isEqual(node));
    EXPECT_FALSE(initial->isEqual(node));
    node->SetChildrenKey({"a"});
    node->RemoveChild(other); // one entry goes without comparison
    EXPECT_TRUE(node->arrstrGetChildrenKey().empty());
}

// 1.e4 e5 (1...c5) 2.Nf3 (1.d4) (1.c4)
Book Sample() {
    return Book({"e4 e5 Nf3", "e4 c5", "d4", "c4"});
}

using Moves = std::vector<std::string>;

TEST(GameTreeLines, PromoteAndDemoteMoveTheNearestLineAndSurviveAReload) {
    const std::tuple<const char*, bool, std::string, bool, Moves, Moves> cases[] = {
        {"main line cannot go up", true, "e4 e5 Nf3", false, {"e4", "d4", "c4"}, {"e5", "c5"}},
        {"second reply becomes main", true, "e4 c5", true, {"e4", "d4", "c4"}, {"c5", "e5"}},
        {"third line one place up", true, "c4", true, {"e4", "c4", "d4"}, {"e5", "c5"}},
        {"Nf3 demotes its line", false, "e4 e5 Nf3", true, {"e4", "d4", "c4"}, {"c5", "e5"}},
        {"the last reply demotes e4", false, "e4 c5", true, {"d4", "e4", "c4"}, {"e5", "c5"}},
        {"last line cannot go down", false, "c4", false, {"e4", "d4", "c4"}, {"e5", "c5"}},
    };
    for (const auto& [name, promote, line, changes, root, afterE4] : cases) {
        SCOPED_TRACE(name);
        Book book = Sample();
        const std::string key = book.key(line);
        EXPECT_EQ(promote ? book.tree->PromoteLine(key) : book.tree->DemoteLine(key), changes);
        EXPECT_EQ(book.children(""), root);
        EXPECT_EQ(book.children("e4"), afterE4);
        EXPECT_EQ(book.tree->Count(), 7);
        // Stored and loaded again as the workbook loader does (nodes in collection order, each
        // linked to a parent seen before it), the lines keep their new order.
        CGameTree reloaded;
        for (const auto& node : *book.tree)
            reloaded.Add2(node->objPosition(), node->strKey(), node->strParentKey());
        for (const auto& node : *book.tree)
            EXPECT_EQ(reloaded.Item(node->strKey())->childrenKeys(), node->childrenKeys());
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
    // Remove takes the node and its children only; the grandchildren are no longer reachable.
    book.tree->Remove(book.key("e4"));
    book.tree->Remove("no such key");
    EXPECT_EQ(book.children(""), (Moves{"d4", "c4"}));
    EXPECT_EQ(book.tree->Count(), 4);
    EXPECT_EQ(book.tree->RemoveUnreachable(), 1);
    EXPECT_EQ(book.tree->Count(), 3);
    book.tree->Remove("InitialKey"); // the whole tree
    EXPECT_EQ(book.tree->Count(), 0);

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
    EXPECT_EQ(circle.tree->RemoveUnreachable(), 2);
}

// The comments of nodes by key, as the training asks for them.
TrainingComments CommentsOf(const std::map<std::string, std::string>& comments) {
    return [comments](const std::string& key) {
        auto found = comments.find(key);
        return found == comments.end() ? std::string() : found->second;
    };
}

// 2.Nf3 and 2.Bc4 are solutions, 2.Qh5 a refuted try; after 1...d5 the only stored move is
// marked, and after 1...c5 both stored moves are.
const std::vector<std::string> kLines = {
    "e4 e5 Nf3 Nc6", "e4 e5 Bc4",   "e4 e5 Qh5 Nc6 Bc4 g6 Qf3 Nf6", "e4 d5 exd5", "e4 c5 Nf3",
    "e4 c5 c3",      "f3 e5 g4 Qh4"};

TEST(TrainingJudgement, TakesEachDroppedMoveByItsStoredMoveAndMarks) {
    const Book book(kLines);
    const TrainingTries tries = {book.key("e4 e5 Qh5"), book.key("e4 d5 exd5"),
                                 book.key("e4 c5 Nf3"), book.key("e4 c5 c3")};
    // node: the line of the node named, "" for none
    const std::tuple<const char*, const char*, bool, TrainingVerdict, const char*> cases[] = {
        {"e4 e5", "Nf3+", true, TrainingVerdict::Solution, "e4 e5 Nf3"},
        {"e4 e5", "Qh5", true, TrainingVerdict::RefutedTry, "e4 e5 Qh5"},
        {"e4 e5", "Qh5", false, TrainingVerdict::Solution, "e4 e5 Qh5"},
        {"e4 e5", "d4", true, TrainingVerdict::NotStored, ""},
        // a marked move that is the only way on, or beside marked moves only, stays a solution
        {"e4 d5", "exd5", true, TrainingVerdict::Solution, "e4 d5 exd5"},
        {"e4 c5", "c3", true, TrainingVerdict::Solution, "e4 c5 c3"},
        // check and mate signs and the pawn letter do not part a move from its stored text
        {"f3 e5 g4", "Qh4", true, TrainingVerdict::Solution, "f3 e5 g4 Qh4"},
        {"f3 e5", "Pg4", true, TrainingVerdict::Solution, "f3 e5 g4"},
    };
    for (const auto& [at_, move, marks, verdict, node] : cases) {
        SCOPED_TRACE(std::string(at_) + " / " + move);
        const TrainingJudgement judged = objJudgeTrainingMove(
            arrStoredMoves(*book.tree, book.at(at_)), move, marks ? tries : TrainingTries{});
        EXPECT_EQ(judged.verdict, verdict);
        EXPECT_EQ(judged.objNode, *node ? book.at(node) : std::shared_ptr<CGameNode>());
    }
    EXPECT_EQ(objJudgeTrainingMove(arrStoredMoves(*book.tree, nullptr), "e4", tries).verdict,
              TrainingVerdict::NotStored);
    // Only the three mistake glyphs make a try.
    std::vector<int> mistakes;
    for (int nag = -1; nag <= 256; ++nag)
        if (isMistakeGlyph(nag)) mistakes.push_back(nag);
    EXPECT_EQ(mistakes, (std::vector<int>{2, 4, 6}));
}

TEST(TrainingJudgement, RepliesAndRefutationsComeFromTheStoredMovesAndTheLineEndsWithThem) {
    const Book book(kLines);
    // Every stored reply, of three or of two, is chosen for some seed, and nothing else is.
    const std::pair<const char*, std::set<std::string>> choices[] = {
        {"e4", {book.key("e4 e5"), book.key("e4 d5"), book.key("e4 c5")}},
        {"e4 c5", {book.key("e4 c5 Nf3"), book.key("e4 c5 c3")}}};
    for (const auto& [line, replies] : choices) {
        std::set<std::string> chosen;
        for (unsigned seed = 0; seed < 64; ++seed) {
            std::mt19937 random(seed);
            chosen.insert(
                objChooseReply(arrStoredMoves(*book.tree, book.at(line)), random)->strKey());
        }
        EXPECT_EQ(chosen, replies) << line;
    }
    std::mt19937 random(1);
    EXPECT_EQ(objChooseReply(arrStoredMoves(*book.tree, book.at("e4 e5 Nf3")), random),
              book.at("e4 e5 Nf3 Nc6"));
    EXPECT_EQ(objChooseReply(arrStoredMoves(*book.tree, book.at("e4 e5 Nf3 Nc6")), random),
              nullptr);

    // A refutation is the main line below the try, up to its length.
    const GameNodeList line = arrRefutation(*book.tree, book.at("e4 e5 Qh5"), 3);
    EXPECT_EQ(line, (GameNodeList{book.at("e4 e5 Qh5 Nc6"), book.at("e4 e5 Qh5 Nc6 Bc4"),
                                  book.at("e4 e5 Qh5 Nc6 Bc4 g6")}));
}

TEST(TrainingJudgement, ExplanationsGiveTheTryItsCommentAndTheRefutationAndMovesTheirComment) {
    // the line of the try, its comment, the explanation
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"e4 e5 Qh5", "is premature. ", "2.Qh5 is premature: after 2...Nc6 3.Bc4 g6 4.Qf3 Nf6"},
        {"e4 e5 Qh5", "", "2.Qh5 is refuted: after 2...Nc6 3.Bc4 g6 4.Qf3 Nf6"},
        {"e4 e5 Qh5", "is premature:", "2.Qh5 is premature: after 2...Nc6 3.Bc4 g6 4.Qf3 Nf6"},
        {"e4 e5 Bc4", "loses time", "2.Bc4 loses time."},
        {"e4 e5 Bc4", "Too slow!", "2.Bc4 Too slow!"},
        {"e4 e5 Bc4", "", "2.Bc4 is a mistake."},
        {"e4 c5", "is met by", "1...c5 is met by: after 2.Nf3"},
        {"f3 e5 g4", "", "2.g4 is refuted: after 2...Qh4#"},
        // a refutation shows eight moves at most
        {"d4", "", "1.d4 is refuted: after 1...d5 2.c4 e6 3.Nc3 Nf6 4.Bg5 Be7 5.e3 ..."},
        {"d4 d5 c4 e6", "", "2...e6 is refuted: after 3.Nc3 Nf6 4.Bg5 Be7 5.e3 O-O 6.Nf3 h6"},
    };
    Book book(kLines);
    book.add("d4 d5 c4 e6 Nc3 Nf6 Bg5 Be7 e3 O-O Nf3 h6");
    for (const auto& [tryLine, comment, expected] : cases)
        EXPECT_EQ(strTryExplanation(*book.tree, book.at(tryLine),
                                    CommentsOf({{book.key(tryLine), comment}})),
                  expected);
    // Comments on the refutation renumber Black's move after them.
    const auto comments = CommentsOf({{book.key("e4 e5 Qh5 Nc6 Bc4"), "threatens mate"},
                                      {book.key("e4 e5 Qh5 Nc6 Bc4 g6 Qf3 Nf6"), "and wins"}});
    EXPECT_EQ(strTryExplanation(*book.tree, book.at("e4 e5 Qh5"), comments),
              "2.Qh5 is refuted: after 2...Nc6 3.Bc4 threatens mate 3...g6 4.Qf3 Nf6 and wins");
    // A stored move's own comment is shown with its number.
    const auto gambit = CommentsOf({{book.key("d4 d5 c4"), "  the Queen's Gambit "}});
    EXPECT_EQ(strMoveComment(*book.at("d4 d5 c4"), gambit), "2.c4 the Queen's Gambit");
    EXPECT_EQ(strMoveComment(*book.at("d4 d5"), gambit), "");
    EXPECT_EQ(strMoveComment(*book.at("d4 d5"), nullptr), "");
}

} // namespace
