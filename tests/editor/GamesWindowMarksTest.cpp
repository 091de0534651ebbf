// "Verify with engine" in the games window reads each game's move marks: a good move marked wrong
// and a solution marked wrong show as verdicts, with the moves named under the table.
#include "EditorTestSupport.h"
#include "editor/frmGames.h"
#include "pgn/PgnImport.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>
#include <sstream>

namespace {

TEST(GamesWindowMarks, VerificationReportsMarksThatContradictTheEngine) {
    TempWorkbook book;
    const std::string header = "[Event \"exercise\"]\n[SetUp \"1\"]\n[FEN \"";
    std::istringstream pgn(header +
                           "6k1/5ppp/8/8/8/8/8/RR4K1 w - - 0 1\"]\n\n1. Ra8# (1. Rb8#?) *\n\n" +
                           header + "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\"]\n\n1. Ra8#? *\n\n");
    ASSERT_EQ(ImportPgn(*book.workbook, pgn).intImported, 2);
    auto prompts = std::make_shared<ScriptedPrompts>();
    frmGames games(book.workbook, nullptr, prompts);
    VerifyOptions options;
    options.limit.intDepth = 6;
    options.limit.intMoveTimeMs = 0;
    games.SetVerification(BRISOLT_STOCKFISH, options);
    games.tblGames->clearSelection();
    games.VerifyGames();
    EXPECT_TRUE(prompts->errors.isEmpty()) << prompts->errors.join("|").toStdString();
    auto* model = games.tblGames->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->index(0, frmGames::ColVerdict).data().toString(), "marked-wrong-but-good");
    EXPECT_EQ(model->index(1, frmGames::ColVerdict).data().toString(), "contradiction");
    ASSERT_TRUE(games.isSelectGame(1));
    EXPECT_TRUE(games.lblDetails->text().contains("marked Rb8#? #1 is as good as the solution"))
        << games.lblDetails->text().toStdString();
    // Nothing to add: a mark is mended by hand, not by a variation.
    EXPECT_FALSE(games.cmdAddVariation->isEnabled());
}

} // namespace
