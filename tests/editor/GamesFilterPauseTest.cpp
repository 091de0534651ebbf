// The games window's filter box: a typed word filters once, after the typing pauses; text the
// program sets filters at once.
#include "EditorTestSupport.h"
#include "editor/frmGames.h"
#include "tests/workbook/RawDatabase.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(GamesFilterPause, ATypedWordFiltersOnceAfterThePause) {
    TempWorkbook book;
    RawDatabase(book.folder.file("games.brl"))
        .exec("insert into GameTree(ID,Description) values(1,'Mate in 2'),(2,'Pin'),"
              "(3,'Mate in 3')");
    frmGames games(book.workbook, nullptr, std::make_shared<ScriptedPrompts>());
    QSignalSpy filtered(games.tblGames->model(), &QAbstractItemModel::modelReset);

    QTest::keyClicks(games.txtFilter, "mate");
    EXPECT_EQ(filtered.count(), 0);
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1, 2, 3}));
    ASSERT_TRUE(filtered.wait(10 * frmGames::kFilterPauseMs));
    QTest::qWait(2 * frmGames::kFilterPauseMs); // no second query comes
    EXPECT_EQ(filtered.count(), 1);
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1, 3}));

    // Set by the program while a typed key waits: at once, and the key's wait ends.
    QTest::keyClick(games.txtFilter, Qt::Key_Backspace);
    games.SetFilter("pin");
    EXPECT_EQ(filtered.count(), 2);
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{2}));
    QTest::qWait(2 * frmGames::kFilterPauseMs);
    EXPECT_EQ(filtered.count(), 2);
    EXPECT_EQ(games.txtFilter->text(), "pin");
    // Set into the box by the program with no key waiting: at once.
    games.txtFilter->setText("");
    EXPECT_EQ(filtered.count(), 3);
    EXPECT_EQ(games.arrlngShownIDs(), (std::vector<int32_t>{1, 2, 3}));
}

} // namespace
