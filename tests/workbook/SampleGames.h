#pragma once

#include "RawDatabase.h"
#include "TempFolder.h"
#include "tests/game/GameTreeTestSupport.h"
#include "workbook/CWorkBook.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// Every node of a tree as "key <parent> children, FEN, move number, move text", in node order:
// two trees with the same lines hold the same nodes, links and positions.
inline std::vector<std::string> NodeLines(const CGameTree& tree) {
    std::vector<std::string> lines;
    for (int n = 1; n <= tree.Count(); ++n) {
        const auto& node = tree.Item(n);
        const auto& position = *node->objPosition();
        std::string line = node->strKey() + " <" + node->strParentKey() + "> ";
        for (const std::string& child : node->arrstrGetChildrenKey())
            line += child + ",";
        lines.push_back(line + " " + position.strGetFEN() + " " +
                        std::to_string(position.intMoveNumber()) + " " + position.strMoveText());
    }
    return lines;
}

// A game row's counters: hits, solved, error streak, solve streak.
inline std::vector<int32_t> Counters(const WorkBookGameRow& row) {
    return {row.lngHits, row.lngSolve, row.lngErrorStreak, row.lngSolveStreak};
}

// The stored game's tree (nothing when it has no nodes), its texts left out.
inline std::shared_ptr<CGameTree> LoadTree(CWorkBook& workbook, int64_t id) {
    std::string description, page, diagram;
    return workbook.objLoadGame(id, description, page, diagram);
}

// A workbook file in a fresh folder, open in the program.
class WorkbookTest : public ::testing::Test {
protected:
    void SetUp() override { workbook.strOpenWorkBook(path); }

    // Closes the workbook, runs the SQL on its file (on a new file when fresh) and opens it again;
    // gives the title read on opening.
    std::string Reopen(const std::string& sql, bool fresh = false) {
        workbook.CloseWorkBook();
        if (fresh) std::filesystem::remove(path);
        if (!sql.empty()) RawDatabase(path).exec(sql);
        return workbook.strOpenWorkBook(path);
    }

    TempFolder folder;
    std::string path = folder.file("book.brl");
    CWorkBook workbook;
};
