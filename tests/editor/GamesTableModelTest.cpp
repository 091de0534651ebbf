// The games table model over a real workbook of a few thousand games: every order and filter the
// window offers, read row by row through the page cache (the pages past the middle read from the
// other end of the order), against the database's own forward read of the whole order, whose
// order the workbook's tests check against the rows ordered in memory.
#include "EditorTestSupport.h"
#include "editor/CGamesTableModel.h"
#include "tests/workbook/RawDatabase.h"

#include <QSignalSpy>
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
        {CGamesTableModel::ColID, Sort::ID, "pin"},
        {CGamesTableModel::ColDescription, Sort::Description, ""},
        {CGamesTableModel::ColDescription, Sort::Description, "MATE"},
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
            // Bottom up first, so that the far pages are read before any near one is cached.
            std::vector<int64_t> upward(expected.size());
            for (int r = total - 1; r >= 0; --r)
                upward[static_cast<size_t>(r)] = model.lngIdAt(r);
            EXPECT_EQ(upward, expected);
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

TEST(GamesTableModel, ReadsOnlyThePagesShownAndKeepsAFewOfThem) {
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
}

TEST(GamesTableModel, AFileThatCannotBeReadGivesAnEmptyTableAndTheReason) {
    Fixture fixture;
    CGamesTableModel model(fixture.book.workbook, {});
    RawDatabase(fixture.book.folder.file("games.brl")).exec("drop table GameTree");
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.Reload();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.strLastError().isEmpty());
}

} // namespace
