// PGN text imported into a workbook file: any bytes import some games and skip the others with a
// reason, never crash. The games that were imported export to PGN that imports back, all of it,
// to the same trees, texts, positions, comments and glyphs, and exports again to the same text.
#include "fuzz/FuzzWorkbookFile.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
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

void compareTrees(const std::shared_ptr<CGameTree>& first, const std::shared_ptr<CGameTree>& second,
                  int game) {
    const std::string where = "game " + std::to_string(game);
    if (!first || !second) {
        if (first != second) fail(where + ": one tree is missing");
        return;
    }
    if (first->Count() != second->Count()) fail(where + ": node counts");
    for (int i = 1; i <= first->Count(); ++i) {
        const auto& a = first->Item(i);
        const auto& b = second->Item(i);
        if (a->strKey() != b->strKey()) fail(where + ": key " + a->strKey() + " / " + b->strKey());
        if (a->strParentKey() != b->strParentKey()) fail(where + ": parent of " + a->strKey());
        if (a->childrenKeys() != b->childrenKeys()) fail(where + ": children of " + a->strKey());
        if (!a->objPosition() || !b->objPosition()) fail(where + ": node without a position");
        if (!a->objPosition()->isEqual(b->objPosition())) fail(where + ": position " + a->strKey());
        if (a->objPosition()->strStoredMoveText() != b->objPosition()->strStoredMoveText())
            fail(where + ": move text of " + a->strKey());
    }
}

// The comments and glyphs of every node of the tree, as each workbook keeps them.
void compareAnnotations(const CGameTree& tree, const GameAnnotations& first,
                        const GameAnnotations& second, int game) {
    for (const auto& node : tree) {
        const NodeAnnotation* a = first.objNode(node->strKey());
        const NodeAnnotation* b = second.objNode(node->strKey());
        const std::string where = "game " + std::to_string(game) + " node " + node->strKey();
        if (!a || !b) {
            if (a || b) fail(where + ": annotations on one side only");
            continue;
        }
        if (a->strBefore != b->strBefore || a->strAfter != b->strAfter)
            fail(where + ": comments [" + a->strBefore + "|" + a->strAfter + "] / [" +
                 b->strBefore + "|" + b->strAfter + "]");
        if (a->arrNags != b->arrNags) fail(where + ": glyphs");
    }
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
        compareTrees(tree, tree2, static_cast<int>(i));
        compareAnnotations(*tree, first.objLoadAnnotations(firstIds[i]),
                           second.objLoadAnnotations(secondIds[next - 1]), static_cast<int>(i));
    }
    if (next != secondIds.size()) fail("more games after the round trip");

    std::ostringstream exportedAgain;
    ExportPgn(second, exportedAgain);
    if (exportedAgain.str() != exported.str())
        fail("the second export differs:\n" + exported.str() + "\n---\n" + exportedAgain.str());
    return 0;
}
