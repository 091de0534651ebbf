// Inputs found by fuzzing the PGN import: each imports without raising, stores what it can, and
// survives the export/import round trip unchanged.
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "pgn/PgnExport.h"
#include "pgn/PgnImport.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

using namespace std::string_literals;

struct Stored {
    std::string description, page, diagram;
    std::vector<std::string> moves; // stored move texts in node order
};

std::vector<Stored> ReadBack(CWorkBook& workbook) {
    std::vector<Stored> games;
    for (int32_t id : workbook.arrlngGetGameIDs()) {
        Stored game;
        auto tree = workbook.objLoadGame(id, game.description, game.page, game.diagram);
        if (tree)
            for (const auto& node : *tree)
                game.moves.push_back(node->objPosition()->strStoredMoveText());
        games.push_back(game);
    }
    return games;
}

TEST(PgnImportRegression, FoundInputsImportAndSurviveTheRoundTrip) {
    struct Case {
        const char* name;
        std::string pgn;
        int imported;
        std::string description, page; // of the first game, as stored
    };
    const std::vector<Case> cases = {
        // A NUL inside a tag once ended the SQL text early and failed the whole import.
        {"NUL in a tag value",
         "[Event \"E\"]\n[Description \"D\"]\n[PageRef \"p.\x01\0\0\0\0\0\0\x0f 4\"]\n"
         "[DiagramRef \"12\"]\n\n{comment} 1. e4 *\n"s,
         1, "D", "p.\x01\x0f 4"},
        {"NUL in the description",
         "[Event \"E\"]\n[Description \"a\0b\"]\n\n1. d4 d5 *\n\n[Event \"F\"]\n\n1. c4 *\n"s, 2,
         "ab", ""},
        {"NUL in a comment that becomes the description",
         "[Event \"E\"]\n[White \"W\"]\n\n1. e4 {fir\0st} e5 *\n"s, 1, "first", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        CWorkBook first;
        first.strOpenWorkBook(folder.file("first.brl"));
        std::istringstream input(c.pgn);
        PgnImportResult result;
        ASSERT_NO_THROW(result = ImportPgn(first, input));
        EXPECT_EQ(result.intImported, c.imported);
        const std::vector<Stored> stored = ReadBack(first);
        ASSERT_EQ(static_cast<int>(stored.size()), c.imported);
        EXPECT_EQ(stored[0].description, c.description);
        EXPECT_EQ(stored[0].page, c.page);

        std::ostringstream exported;
        ExportPgn(first, exported);
        CWorkBook second;
        second.strOpenWorkBook(folder.file("second.brl"));
        std::istringstream again(exported.str());
        EXPECT_EQ(ImportPgn(second, again).intImported, c.imported);
        const std::vector<Stored> back = ReadBack(second);
        ASSERT_EQ(back.size(), stored.size());
        for (size_t i = 0; i < stored.size(); ++i) {
            EXPECT_EQ(back[i].description, stored[i].description);
            EXPECT_EQ(back[i].page, stored[i].page);
            EXPECT_EQ(back[i].moves, stored[i].moves);
        }
    }
}

} // namespace
