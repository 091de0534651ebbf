// The games table model over real workbooks of thousands of games: every order and filter the
// window offers, read row by row through the page cache (the pages past the middle read from the
// other end of the order), against the database's own read of the whole order; and every write
// to the workbook after an order was made, by this program or another, shows in the next rows.
#include "EditorTestSupport.h"
#include "editor/CGamesTableModel.h"
#include "tests/workbook/RawDatabase.h"

#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>
#include <numeric>

namespace {

constexpr int kGames = 3000; // more rows than the cache holds

// Identifiers with gaps and one beyond 32 bits; texts with case, digits, % and _; some empty
// (NULL) texts and statistics; long runs of equal keys.
struct Fixture {
    Fixture() {
        RawDatabase(book.folder.file("games.brl"))
            .exec("with recursive n(i) as (select 1 union all select i+1 from n where i<" +
                  std::to_string(kGames) +
                  ") insert into GameTree select case i when 7 then 5000000000 else i*3 end, "
                  "case when i%10=5 then null when i%4=0 then 'Mate in '||(i%12) when i%4=1 "
                  "then 'FORK_'||i when i%4=2 then '50% ending '||(i%30) else 'pin '||i end, "
                  "case when i%17=16 then null else 'p.'||(i%150) end, '#'||(i*7%97), "
                  "case when i%11=10 then null else i%9 end, i%5, "
                  "case when i%13=12 then null else i%3 end, i%7 from n");
    }
    TempWorkbook book;
};

// Every row, fetched as a view scrolling down would.
std::vector<int64_t> Shown(CGamesTableModel& model) {
    while (model.canFetchMore({}))
        model.fetchMore({});
    std::vector<int64_t> ids;
    for (int r = 0; r < model.rowCount(); ++r)
        ids.push_back(model.index(r, CGamesTableModel::ColID).data().toLongLong());
    return ids;
}

// Every row, deep pages first, so that no page is served by a read made for a nearer one.
std::vector<int64_t> Upward(CGamesTableModel& model) {
    while (model.canFetchMore({}))
        model.fetchMore({});
    std::vector<int64_t> ids(static_cast<size_t>(model.rowCount()));
    for (int r = model.rowCount() - 1; r >= 0; --r)
        ids[static_cast<size_t>(r)] = model.lngIdAt(r);
    return ids;
}

TEST(GamesTableModel, ShowsEveryOrderAndFilterAsTheDatabaseReadsIt) {
    Fixture fixture;
    CGamesTableModel model(fixture.book.workbook, {});
    model.Reload();
    using Sort = GameRowQuery::Sort;
    const struct {
        int column;
        Sort sort;
        const char* filter;
    } cases[] = {
        {CGamesTableModel::ColID, Sort::ID, ""},
        {CGamesTableModel::ColDescription, Sort::Description, ""},
        {CGamesTableModel::ColPage, Sort::Page, "p.1"},
        {CGamesTableModel::ColDiagram, Sort::Diagram, ""},
        {CGamesTableModel::ColAttempts, Sort::Hits, "_"},
        {CGamesTableModel::ColSuccesses, Sort::Solve, "50%"},
        {CGamesTableModel::ColErrorStreak, Sort::ErrorStreak, ""},
        {CGamesTableModel::ColSuccessStreak, Sort::SolveStreak, "fork"},
        {CGamesTableModel::ColScore, Sort::Score, ""},
        {CGamesTableModel::ColScore, Sort::Score, "no such game"},
    };
    for (const auto& c : cases) {
        for (const bool descending : {false, true}) {
            SCOPED_TRACE(std::to_string(c.column) + (descending ? " down " : " up ") + c.filter);
            model.SetFilter(c.filter);
            model.sort(c.column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
            std::vector<int64_t> expected;
            for (const WorkBookGameRow& row : fixture.book.workbook->arrGetGameRowsPage(
                     {c.sort, descending, c.filter, 0, kGames}))
                expected.push_back(row.lngID);
            const int total = static_cast<int>(expected.size());
            // A batch of rows is offered first; finding the last game offers every row down to it.
            EXPECT_EQ(model.intTotalRows(), total);
            EXPECT_EQ(model.rowCount(), std::min(total, CGamesTableModel::kFetchRows));
            if (total > 0) {
                EXPECT_EQ(model.intRowOf(expected.back()), total - 1);
                EXPECT_EQ(model.rowCount(), total);
            }
            EXPECT_EQ(Upward(model), expected);
            EXPECT_EQ(Shown(model), expected);
            std::vector<int> rows(expected.size());
            std::iota(rows.begin(), rows.end(), 0);
            EXPECT_EQ(model.arrIdsInRows(rows), expected);
            // A game is found at its row; a missing game is not found.
            for (size_t i = 0; i < expected.size(); i += 97)
                EXPECT_EQ(model.intRowOf(expected[i]), static_cast<int>(i));
            EXPECT_EQ(model.intRowOf(1), -1);
            EXPECT_EQ(model.strLastError(), "");
        }
    }
    // The verdict column has no database order: sorting by it changes nothing.
    const std::vector<int64_t> before = Shown(model);
    model.sort(CGamesTableModel::ColVerdict, Qt::AscendingOrder);
    EXPECT_EQ(Shown(model), before);
}

TEST(GamesTableModel, ReadsOnlyThePagesShownKeepsAFewOfThemAndNamesWhyAFileCannotBeRead) {
    Fixture fixture;
    CGamesTableModel model(fixture.book.workbook, [](int64_t id) {
        return id == 6 ? std::pair<QString, QString>("ok", "no other solution")
                       : std::pair<QString, QString>();
    });
    model.Reload();
    EXPECT_EQ(model.rowCount(), CGamesTableModel::kFetchRows);
    EXPECT_EQ(model.intTotalRows(), kGames);
    // Offering rows to the views reads nothing.
    while (model.canFetchMore({}))
        model.fetchMore({});
    EXPECT_EQ(model.rowCount(), kGames);
    EXPECT_EQ(model.lngPagesRead(), 0);
    const struct {
        int row;
        int column;
        int role;
        QVariant value;
        int64_t pagesRead;
    } reads[] = {
        {0, CGamesTableModel::ColID, Qt::DisplayRole, "3", 1},
        {1, CGamesTableModel::ColVerdict, Qt::DisplayRole, "ok", 1},
        {1, CGamesTableModel::ColVerdict, Qt::ToolTipRole, "no other solution", 1},
        {5, CGamesTableModel::ColScore, Qt::DisplayRole, "17%", 1}, // 1 of 6, rounded
        {0, CGamesTableModel::ColScore, Qt::DisplayRole, "100%", 1},
        {7, CGamesTableModel::ColScore, Qt::DisplayRole, "", 1}, // never tried
        {kGames - 1, CGamesTableModel::ColID, CGamesTableModel::IdRole, 5000000000LL, 2},
        {CGamesTableModel::kPageRows, CGamesTableModel::ColDescription, Qt::DisplayRole,
         "50% ending 22", 3},
        {kGames, CGamesTableModel::ColID, Qt::DisplayRole, QVariant(), 3}, // past the end
    };
    for (const auto& read : reads) {
        SCOPED_TRACE(read.row);
        EXPECT_EQ(model.index(read.row, read.column).data(read.role), read.value);
        EXPECT_EQ(model.lngPagesRead(), read.pagesRead);
    }
    // Read in order, each page is read once; only the last pages stay, so the first is read
    // again and the last is not.
    CGamesTableModel fresh(fixture.book.workbook, {});
    fresh.Reload();
    Shown(fresh);
    const int64_t pages = (kGames + CGamesTableModel::kPageRows - 1) / CGamesTableModel::kPageRows;
    ASSERT_GT(pages, static_cast<int64_t>(CGamesTableModel::kCachedPages));
    EXPECT_EQ(fresh.lngPagesRead(), pages);
    fresh.index(kGames - 1, 0).data();
    EXPECT_EQ(fresh.lngPagesRead(), pages);
    fresh.index(0, 0).data();
    EXPECT_EQ(fresh.lngPagesRead(), pages + 1);

    // A file that cannot be read gives an empty table and the reason.
    RawDatabase(fixture.book.folder.file("games.brl")).exec("drop table GameTree");
    QSignalSpy reset(&fresh, &QAbstractItemModel::modelReset);
    fresh.Reload();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(fresh.rowCount(), 0);
    EXPECT_FALSE(fresh.strLastError().isEmpty());
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
    raw.exec("with recursive n(i) as (select 1 union all select i+1 from n where i<600) insert "
             "into GameTree select i, 'Game '||(i%50), 'p.'||i, '#'||i, i%7, 0, 0, 0 from n");
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
        EXPECT_EQ(Upward(model), Ids(raw, expected));
        for (const auto& write : writes) {
            SCOPED_TRACE(std::string(write.write) + ", filter \"" + filter + "\"");
            write.run();
            model.Reload();
            EXPECT_EQ(Upward(model), Ids(raw, expected));
            EXPECT_EQ(model.intRowOf(Ids(raw, expected).back()), model.intTotalRows() - 1);
        }
        raw.exec("update GameTree set Hits=ID%7; delete from GameTree where ID=9999");
    }
}

} // namespace
