// PGN text imported into a workbook file: any bytes import some games and skip the others with a
// reason, never crash. The games that were imported export to PGN that imports back, all of it,
// to the same trees, texts, positions, comments and glyphs, and exports again to the same text.
// Every stored move is one the move generator lists.
#include "fuzz/FuzzWorkbookFile.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/Perft.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "pgn/PgnExport.h"
#include "pgn/PgnImport.h"
#include "workbook/CWorkBook.h"
#include "workbook/GameAnnotations.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// PGN tag values hold no tabs or line breaks: the writer turns them into spaces on purpose.
std::string asWritten(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "round trip differs: %s\n", what.c_str());
    std::abort();
}

// The same pieces, castling rights and en-passant file: a stored position's result is not kept.
bool isSameBoard(const CPosition& a, const CPosition& b) {
    for (int color = 0; color < 2; ++color)
        if (a.isKCastleForfeited(color) != b.isKCastleForfeited(color) ||
            a.isQCastleForfeited(color) != b.isQCastleForfeited(color))
            return false;
    return a.intEnPassantFile() == b.intEnPassantFile() && a.objDiagram()->isEqual(b.objDiagram());
}

// True when the position is one the move generator lists after the position moved from; a game
// that has ended is no side's move, and the stored lines go no further there.
bool isListed(const std::shared_ptr<CPosition>& position, const std::shared_ptr<CPosition>& next) {
    if (!position->isWhiteToMove() && !position->isBlackToMove()) return false;
    for (const LegalMove& legal : arrGetLegalMoves(position))
        if (isSameBoard(*legal.position, *next)) return true;
    return false;
}

// The nodes with no parent in the tree, in the tree's order.
GameNodeList roots(const CGameTree& tree) {
    GameNodeList found;
    for (const auto& node : tree)
        if (!tree.isExists(node->strParentKey())) found.push_back(node);
    return found;
}

// The comments and glyphs of one node, as each workbook keeps them.
void compareAnnotations(const NodeAnnotation* a, const NodeAnnotation* b,
                        const std::string& where) {
    if (!a || !b) {
        if (a || b) fail(where + ": annotations on one side only");
        return;
    }
    if (a->strBefore != b->strBefore || a->strAfter != b->strAfter)
        fail(where + ": comments [" + a->strBefore + "|" + a->strAfter + "] / [" + b->strBefore +
             "|" + b->strAfter + "]");
    if (a->arrNags != b->arrNags) fail(where + ": glyphs");
}

// The same tree: from the roots, child by child in order, the same positions, move texts, comments
// and glyphs. The nodes may be stored in another order, and a key's "~N" numbering may differ:
// nodes of one position reached by the same move are numbered in the order they were made, and
// the reader makes a line's variations before the rest of the line, the writer after it.
void compareTrees(const std::shared_ptr<CGameTree>& first, const std::shared_ptr<CGameTree>& second,
                  const GameAnnotations& firstNotes, const GameAnnotations& secondNotes, int game) {
    const std::string where = "game " + std::to_string(game);
    if (!first || !second) {
        if (first != second) fail(where + ": one tree is missing");
        return;
    }
    if (first->Count() != second->Count()) fail(where + ": node counts");
    using Pair = std::pair<std::shared_ptr<CGameNode>, std::shared_ptr<CGameNode>>;
    std::vector<Pair> pending;
    const auto queue = [&](const GameNodeList& a, const GameNodeList& b, const std::string& of) {
        if (a.size() != b.size()) fail(where + ": children of " + of);
        for (size_t i = a.size(); i-- > 0;)
            pending.emplace_back(a[i], b[i]);
    };
    queue(roots(*first), roots(*second), "the start");
    int visited = 0;
    while (!pending.empty()) {
        const auto [a, b] = pending.back();
        pending.pop_back();
        ++visited;
        const std::string node = where + " node " + a->strKey() + " / " + b->strKey();
        if (!a->objPosition() || !b->objPosition()) fail(node + ": no position");
        if (!a->objPosition()->isEqual(b->objPosition())) fail(node + ": positions");
        if (a->objPosition()->strStoredMoveText() != b->objPosition()->strStoredMoveText())
            fail(node + ": move texts");
        compareAnnotations(firstNotes.objNode(a->strKey()), secondNotes.objNode(b->strKey()), node);
        const GameNodeList children = first->arrobjGetNextNodes(a);
        for (const auto& child : children)
            if (!isListed(a->objPosition(), child->objPosition()))
                fail(node + ": " + child->strKey() + " is no legal move from it");
        queue(children, second->arrobjGetNextNodes(b), a->strKey());
    }
    if (visited != first->Count()) fail(where + ": nodes reached from the start");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 16384) return 0;
    static FuzzWorkbookFile firstFile("import-a");
    static FuzzWorkbookFile secondFile("import-b");
    const std::string text(reinterpret_cast<const char*>(data), size);

    CWorkBook first;
    first.strOpenWorkBook(firstFile.strFreshPath());
    std::istringstream input(text);
    PgnImportResult imported = ImportPgn(first, input);
    if (imported.intImported + imported.intSkipped != imported.intRead) fail("counts");
    if (imported.intImported == 0) return 0;

    std::ostringstream exported;
    const int written = ExportPgn(first, exported);
    CWorkBook second;
    second.strOpenWorkBook(secondFile.strFreshPath());
    std::istringstream again(exported.str());
    PgnImportResult reimported = ImportPgn(second, again);
    if (reimported.intSkipped != 0 || reimported.intImported != written)
        fail("the exported text did not import whole:\n" + exported.str());

    std::vector<int32_t> firstIds = first.arrlngGetGameIDs();
    std::vector<int32_t> secondIds = second.arrlngGetGameIDs();
    size_t next = 0;
    for (size_t i = 0; i < firstIds.size(); ++i) {
        std::string description, page, diagram;
        std::shared_ptr<CGameTree> tree =
            first.objLoadGame(firstIds[i], description, page, diagram);
        if (!tree) continue; // games without nodes are not exported
        if (next >= secondIds.size()) fail("fewer games after the round trip");
        std::string description2, page2, diagram2;
        std::shared_ptr<CGameTree> tree2 =
            second.objLoadGame(secondIds[next++], description2, page2, diagram2);
        if (asWritten(description) != description2 || asWritten(page) != page2 ||
            asWritten(diagram) != diagram2)
            fail("texts of game " + std::to_string(i) + ": [" + description + "|" + page + "|" +
                 diagram + "] / [" + description2 + "|" + page2 + "|" + diagram2 + "]");
        compareTrees(tree, tree2, first.objLoadAnnotations(firstIds[i]),
                     second.objLoadAnnotations(secondIds[next - 1]), static_cast<int>(i));
    }
    if (next != secondIds.size()) fail("more games after the round trip");

    std::ostringstream exportedAgain;
    ExportPgn(second, exportedAgain);
    if (exportedAgain.str() != exported.str())
        fail("the second export differs:\n" + exported.str() + "\n---\n" + exportedAgain.str());
    return 0;
}
