// Lines of moves played into one game tree, as the board and the PGN import play them: whatever
// the lines (transpositions, boards that share a key), every line played is found again move by
// move, every node's position follows from its parent's by its move, and the tree written as PGN
// reads back to a tree that writes the same text.
//
// Input: one move text a line; "*" goes back to the start, "<" one move back. Texts that name no
// move are passed over.
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/PositionConstructors.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "model/CMove.h"
#include "pgn/PgnReader.h"
#include "pgn/PgnTreeBuilder.h"
#include "pgn/PgnWriter.h"
#include "workbook/GameAnnotations.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "game tree: %s\n", what.c_str());
    std::abort();
}

std::shared_ptr<CPosition> play(const CPosition& position, const std::string& text) {
    try {
        return position.objProcessMove(text);
    } catch (const CError&) {
        return nullptr;
    }
}

// The move played under the text the program writes for it, as the import stores it.
std::shared_ptr<CPosition> playAsStored(const CPosition& position, const std::string& text) {
    std::shared_ptr<CPieceLocation> from, to;
    std::shared_ptr<CPosition> after;
    try {
        after = position.objProcessMove2(nullptr, text, from, to);
    } catch (const CError&) {
        return nullptr;
    }
    if (!after) return nullptr;
    std::string stored = from && to ? position.strGetMoveNotation(CMove(from, to))
                         : text.find("O-O-O") != std::string::npos ? "O-O-O"
                                                                   : "O-O";
    const int status = after->objStatus()->intCode();
    if (status == CGameStatus::WhiteWins || status == CGameStatus::BlackWins) stored += "#";
    after->strMoveText(stored);
    return after;
}

// The node reached from the root by the move texts, walking children only.
std::shared_ptr<CGameNode> walk(const CGameTree& tree, const std::vector<std::string>& line) {
    std::shared_ptr<CGameNode> node = tree.Item(CGameNode::strINITIAL_KEY());
    for (const std::string& text : line) {
        std::shared_ptr<CGameNode> found;
        for (const auto& child : tree.arrobjGetNextNodes(node))
            if (child->objPosition()->strMoveText() == text) found = child;
        if (!found) return nullptr;
        node = found;
    }
    return node;
}

void checkLinks(const CGameTree& tree) {
    for (const auto& node : tree) {
        if (node->strKey() == CGameNode::strINITIAL_KEY()) continue;
        if (!tree.isExists(node->strParentKey())) fail("no parent for " + node->strKey());
        const auto& parent = tree.Item(node->strParentKey());
        int links = 0;
        for (const std::string& key : parent->childrenKeys())
            links += key == node->strKey();
        if (links != 1) fail("parent links to " + node->strKey() + ": " + std::to_string(links));
        auto replayed = play(*parent->objPosition(), node->objPosition()->strMoveText());
        if (!replayed || !replayed->isEqual(node->objPosition()))
            fail("the position of " + node->strKey() + " does not follow from its parent");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    CGameTree tree;
    GameNodeList next;
    tree.Add(objNewStartPosition(), next);
    std::vector<std::vector<std::string>> lines{{}};
    std::istringstream input(text);
    for (std::string move; std::getline(input, move);) {
        std::vector<std::string>& line = lines.back();
        if (move == "*") {
            tree.objMoveFirst(next);
            lines.emplace_back();
            continue;
        }
        if (move == "<") {
            if (line.empty()) continue;
            tree.objMovePrevious(next);
            std::vector<std::string> shorter(line.begin(), line.end() - 1);
            lines.push_back(shorter);
            continue;
        }
        const auto& current = tree.objCurrentNode();
        if (!current->objPosition()->objStatus()->isInProgress()) continue;
        auto after = playAsStored(*current->objPosition(), move);
        if (!after) continue;
        auto node = tree.Add(after, next);
        line.push_back(node->objPosition()->strMoveText());
    }

    checkLinks(tree);
    for (const auto& line : lines) {
        auto reached = walk(tree, line);
        if (!reached) fail("a line played is lost after " + std::to_string(line.size()) + " moves");
    }

    const std::string pgn = PgnWriter::strWriteGame(tree, "", "", "", {});
    std::istringstream written(pgn);
    PgnReader reader(written);
    PgnTreeBuilder builder;
    if (!reader.readGame(builder)) fail("the written game reads as nothing");
    PgnGame game = builder.takeGame();
    if (!game.objTree) fail("the written game is refused: " + game.strError + "\n" + pgn);
    if (game.objTree->Count() != tree.Count()) fail("node counts after writing\n" + pgn);
    checkLinks(*game.objTree);
    if (PgnWriter::strWriteGame(*game.objTree, "", "", "", {}) != pgn)
        fail("text read back\n" + pgn);
    return 0;
}
