// The games table model keeps the sorted and filtered orders it pages through: every write to the
// workbook after that order was made, by this program or another, must show in the rows read next.
#include "EditorTestSupport.h"
#include "editor/CGamesTableModel.h"
#include "tests/workbook/RawDatabase.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr int kGames = 600; // three pages

// Every row of the model, deep pages first, so that no page is served by one read before it.
std::vector<int64_t> Shown(CGamesTableModel& model) {
    while (model.canFetchMore({}))
        model.fetchMore({});
    std::vector<int64_t> ids(static_cast<size_t>(model.rowCount()));
    for (int r = model.rowCount() - 1; r >= 0; --r)
        ids[static_cast<size_t>(r)] = model.lngIdAt(r);
    return ids;
}

std::vector<int64_t> Ids(RawDatabase& raw, const std::string& sql) {
    std::vector<int64_t> ids;
    for (const auto& row : raw.rows(sql))
        ids.push_back(std::stoll(row[0]));
    return ids;
}

TEST(GamesOrderFollowsWrites, EveryWriteShowsInTheNextRowsRead) {
    TempWorkbook book;
    const std::string file = book.folder.file("games.brl");
    RawDatabase raw(file);
    raw.exec("with recursive n(i) as (select 1 union all select i+1 from n where i<" +
             std::to_string(kGames) +
             ") insert into GameTree select i, 'Game '||(i%50), 'p.'||i, '#'||i, i%7, 0, 0, 0 "
             "from n");
    const std::string byAttempts = "select ID from GameTree order by Hits desc, ID desc";
    const std::string filtered = "select ID from GameTree where Description like '%game 1%' "
                                 "order by Hits desc, ID desc";
    CWorkBook& workbook = *book.workbook;
    std::string filter;
    const struct {
        const char* write;
        std::function<void()> run;
    } writes[] = {
        {"results recorded here",
         [&] {
             for (int i = 0; i < 7; ++i) // from the last page to the first
                 workbook.UpdateSuccess(1);
         }},
        {"another program's update", [&] { raw.exec("update GameTree set Hits=99 where ID=3"); }},
        {"game deleted here", [&] { workbook.DeleteGame(4); }},
        {"another program's new game",
         [&] { raw.exec("insert into GameTree values(9999,'Game 1',null,null,50,0,0,0)"); }},
        {"batch rolled back after a read inside it",
         [&] {
             // Pages of another order read before the batch, of the shown one inside it.
             workbook.arrGetGameRowsPage({GameRowQuery::Sort::Solve, false, "", 0, 1});
             workbook.BeginBatch();
             for (int i = 0; i < 200; ++i)
                 workbook.UpdateSuccess(10);
             GameRowQuery shown{GameRowQuery::Sort::Hits, true, filter, 0, 1};
             EXPECT_EQ(workbook.arrGetGameRowsPage(shown).at(0).lngID, 10);
             workbook.RollbackBatch();
         }},
    };
    for (const char* shownFilter : {"", "game 1"}) {
        filter = shownFilter;
        CGamesTableModel model(book.workbook, {});
        model.Reload();
        model.SetFilter(QString::fromStdString(filter));
        model.sort(CGamesTableModel::ColAttempts, Qt::DescendingOrder);
        const std::string& expected = filter.empty() ? byAttempts : filtered;
        EXPECT_EQ(Shown(model), Ids(raw, expected));
        for (const auto& write : writes) {
            SCOPED_TRACE(std::string(write.write) + ", filter \"" + filter + "\"");
            write.run();
            model.Reload();
            EXPECT_EQ(Shown(model), Ids(raw, expected));
            // The last game of the order is found on the last row.
            const int64_t last = Ids(raw, expected).back();
            EXPECT_EQ(model.intRowOf(last), model.intTotalRows() - 1);
        }
        raw.exec("update GameTree set Hits=ID%7; delete from GameTree where ID=9999");
    }
}

} // namespace
