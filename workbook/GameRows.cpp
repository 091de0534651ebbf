#include "workbook/GameRows.h"

#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/SideToMove.h"
#include "model/CDiagram.h"
#include "model/CGameStatus.h"
#include "workbook/CWorkBookGameError.h"
#include "workbook/GameAnnotations.h"
#include "workbook/SqlConnection.h"

#include <algorithm>
#include <string_view>

namespace {

const char* const kSource = "CWorkBook";
// Room an annotation or tag row takes besides its texts: the record header and the game
// identifier.
constexpr int64_t kRowOverhead = 64;

// What a workbook keeps must fit its length limit, texts and all; a longer text refuses the game,
// never cut.
void CheckBytes(int64_t id, const std::string& what, int64_t bytes, int64_t most) {
    if (bytes > most)
        throw CWorkBookGameError(id, kSource,
                                 "The " + what + " is too long to store (" + std::to_string(bytes) +
                                     " bytes, at most " + std::to_string(most) + ")");
}

void CheckText(int64_t id, const std::string& what, const std::string& text) {
    CheckBytes(id, what, static_cast<int64_t>(text.size()), SqlConnection::kMaxLength);
}

void CheckRowText(int64_t id, const std::string& what, int64_t bytes) {
    CheckBytes(id, what, bytes, SqlConnection::kMaxLength - kRowOverhead);
}

} // namespace

GameRows GameRows::objOf(const std::shared_ptr<CGameTree>& tree, int64_t id,
                         std::string description, std::string page, std::string diagram,
                         const GameAnnotations* annotations) {
    if (!tree) RaiseError(kSource, "No game to save");
    GameRows rows;
    rows.lngID = id;
    CheckText(id, "description", description);
    CheckText(id, "page reference", page);
    CheckText(id, "diagram reference", diagram);
    CheckRowText(id, "game row (its description, page and diagram)",
                 static_cast<int64_t>(description.size() + page.size() + diagram.size()));
    rows.strDescription = std::move(description);
    rows.strXRefPage = std::move(page);
    rows.strXRefDiagram = std::move(diagram);
    rows.arrNodes.reserve(static_cast<size_t>(tree->Count()));
    for (const auto& node : *tree) {
        const auto& p = node->objPosition();
        if (!p || !p->objDiagram() || !p->objStatus())
            throw CWorkBookGameError(id, kSource,
                                     "The game has a node without a position: " + node->strKey());
        Node& row = rows.arrNodes.emplace_back();
        row.strMoveText = p->strMoveText();
        CheckText(id, "move text", row.strMoveText);
        CheckText(id, "node key", node->strKey());
        row.strKey = node->strKey();
        if (row.strMoveText != "...") row.strParentKey = node->strParentKey();
        row.isWhiteToMove = isWhiteSideToMove(*p);
        const std::string_view diagram = p->objDiagram()->strText();
        std::copy_n(diagram.begin(), std::min(diagram.size(), row.arrDiagram.size()),
                    row.arrDiagram.begin());
        row.intMoveNumber = p->intMoveNumber();
        row.intEnPassantFile = p->intEnPassantFile();
        row.arrCastling = {!p->isKCastleForfeited(0), !p->isQCastleForfeited(0),
                           !p->isKCastleForfeited(1), !p->isQCastleForfeited(1)};
    }
    if (!annotations) return rows;
    rows.hasAnnotations = true;
    // The tag section is written once and both checked and stored.
    rows.strTags = GameAnnotations::strTagsText(annotations->arrTags);
    CheckRowText(id, "tag section", static_cast<int64_t>(rows.strTags.size()));
    for (const auto& [key, node] : annotations->mapNodes) {
        std::string nags = GameAnnotations::strNagsText(node.arrNags);
        CheckRowText(id, "annotation of a move (its comments, glyphs and node key)",
                     static_cast<int64_t>(key.size() + node.strBefore.size() +
                                          node.strAfter.size() + nags.size()));
        if (!node.isEmpty())
            rows.arrAnnotations.push_back({key, node.strBefore, node.strAfter, std::move(nags)});
    }
    return rows;
}

std::string GameRows::strStoredMoves(const std::shared_ptr<CGameTree>& tree) {
    std::string moves;
    if (tree)
        for (const Node& node : objOf(tree, 0, "", "", "", nullptr).arrNodes)
            moves += node.strKey + ' ' + node.strParentKey + ' ' +
                     std::string(node.arrDiagram.data(), node.arrDiagram.size()) + ' ' +
                     node.strMoveText + '\n';
    return moves;
}
