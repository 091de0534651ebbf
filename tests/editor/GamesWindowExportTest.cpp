// Export from the Games window of a workbook with games that cannot be read: every readable game
// is written and the others are named with their reasons.
#include "EditorTestSupport.h"
#include "editor/frmGames.h"
#include "tests/workbook/HostileWorkbooks.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray FileBytes(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

TEST(GamesWindowExport, GamesThatCannotBeReadAreLeftOutAndNamed) {
    TempFolder folder;
    const std::string path = folder.file("damaged.brl");
    WriteWorkbookWithTwoGames(path);
    RawDatabase(path).exec("update GameNode set MoveText='Ke3' where GameTreeID=2 and "
                           "MoveText='e4'; insert into GameTree values (3,'empty','','',0,0,0,0)");
    auto workbook = std::make_shared<CWorkBook>();
    workbook->strOpenWorkBook(path);
    auto prompts = std::make_shared<ScriptedPrompts>();
    frmGames games(workbook, nullptr, prompts);
    const QString file = QString::fromStdString(folder.file("all.pgn"));

    games.ExportPgnTo(file);
    ASSERT_TRUE(prompts->errors.isEmpty()) << prompts->errors.join('\n').toStdString();
    EXPECT_EQ(prompts->notices.last(),
              "1 game written to " + file +
                  ".\n2 games could not be read and were left out; the details list them with "
                  "their reasons.");
    ASSERT_EQ(prompts->details.size(), 2);
    EXPECT_TRUE(
        prompts->details[0].startsWith("game 2: Game 2 cannot be loaded: the stored move Ke3"))
        << prompts->details[0].toStdString();
    EXPECT_EQ(prompts->details[1], "game 3: no positions are stored for it");
    const QByteArray written = FileBytes(file);
    EXPECT_TRUE(written.contains("[Description \"one\"]") && written.contains("1. e4 *"));
    EXPECT_FALSE(written.contains("[Description \"two\"]"));
}

} // namespace
