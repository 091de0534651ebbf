// The games table model's pages past the middle, which it reads from the other end of the order:
// over games with empty (NULL) keys and long runs of equal keys, every row read bottom up and then
// top down must be the row the database gives in one forward read of the whole order.
#include "EditorTestSupport.h"
#include "editor/CGamesTableModel.h"
#include "tests/workbook/RawDatabase.h"

#include <gtest/gtest.h>

namespace {

constexpr int kGames = 1001; // five pages and one row: the last page is short

TEST(GamesTableModelEnds, PagesReadFromTheEndGiveTheForwardOrder) {
    TempWorkbook book;
    // Every fifth description, every seventh reference and every third statistic are NULL; the
    // rest repeat a handful of values, so most rows are ordered by their identifier.
    RawDatabase(book.folder.file("games.brl"))
        .exec("with recursive n(i) as (select 1 union all select i+1 from n where i<" +
              std::to_string(kGames) +
              ") insert into GameTree select i*2, case when i%5=0 then null else 'p.'||(i%11) "
              "end, case when i%7=0 then null else 'Page '||(i%3) end, '#'||(i%4), case when "
              "i%3=0 then null else i%4 end, i%2, case when i%3=1 then null else i%5 end, i%6 "
              "from n");
    const struct {
        int column;
        GameRowQuery::Sort sort;
        const char* filter;
    } cases[] = {
        {CGamesTableModel::ColID, GameRowQuery::Sort::ID, ""},
        {CGamesTableModel::ColDescription, GameRowQuery::Sort::Description, ""},
        {CGamesTableModel::ColPage, GameRowQuery::Sort::Page, "page"},
        {CGamesTableModel::ColDiagram, GameRowQuery::Sort::Diagram, ""},
        {CGamesTableModel::ColAttempts, GameRowQuery::Sort::Hits, ""},
        {CGamesTableModel::ColErrorStreak, GameRowQuery::Sort::ErrorStreak, "p."},
        {CGamesTableModel::ColScore, GameRowQuery::Sort::Score, ""},
    };
    CGamesTableModel model(book.workbook, {});
    model.Reload();
    for (const auto& c : cases) {
        for (const bool descending : {false, true}) {
            SCOPED_TRACE(std::to_string(c.column) + (descending ? " down " : " up ") + c.filter);
            model.SetFilter(c.filter);
            model.sort(c.column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
            GameRowQuery whole{c.sort, descending, c.filter, 0, kGames};
            std::vector<int64_t> expected;
            for (const WorkBookGameRow& row : book.workbook->arrGetGameRowsPage(whole))
                expected.push_back(row.lngID);
            ASSERT_EQ(model.intTotalRows(), static_cast<int>(expected.size()));
            ASSERT_GT(expected.size(), static_cast<size_t>(2 * CGamesTableModel::kPageRows));
            while (model.canFetchMore({}))
                model.fetchMore({});
            // Bottom up first, so that the far pages are read before any near one is cached.
            std::vector<int64_t> upward(expected.size());
            for (int r = model.rowCount() - 1; r >= 0; --r)
                upward[static_cast<size_t>(r)] = model.lngIdAt(r);
            EXPECT_EQ(upward, expected);
            std::vector<int64_t> downward;
            for (int r = 0; r < model.rowCount(); ++r)
                downward.push_back(model.lngIdAt(r));
            EXPECT_EQ(downward, expected);
            EXPECT_EQ(model.strLastError(), "");
        }
    }
}

} // namespace
