// The games table model over a real workbook of a few thousand games: every order and filter the
// window offers, read row by row through the page cache, against the same rows ordered in memory
// and against the database's own forward read for pages read from the other end of the order.
#include "EditorTestSupport.h"
#include "editor/CGamesTableModel.h"
#include "tests/workbook/RawDatabase.h"

#include <QSignalSpy>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

constexpr int kGames = 3000; // more rows than the cache holds

// A reader's order for texts: lower case, digit runs by value.
QString Natural(const std::string& text) {
    QString key;
    QString digits;
    for (QChar c : QString::fromStdString(text).toLower() + QChar(' ')) {
        if (c.isDigit()) {
            digits += c;
            continue;
        }
        if (!digits.isEmpty()) key += digits.rightJustified(20, '0');
        digits.clear();
        key += c;
    }
    return key;
}

struct Game {
    int64_t id;
    std::string description, page, diagram;
    int hits, solve, errors, streak;
    int score() const { return hits > 0 ? (solve * 100 + hits / 2) / hits : -1; }
};

// The identifiers the window must show, worked out in memory.
std::vector<int64_t> Expected(std::vector<Game> games, int column, bool descending,
                              const std::string& filter) {
    auto contains = [&](const std::string& text) {
        return QString::fromStdString(text).contains(QString::fromStdString(filter),
                                                     Qt::CaseInsensitive);
    };
    std::erase_if(games, [&](const Game& g) {
        return !contains(g.description) && !contains(g.page) && !contains(g.diagram);
    });
    auto key = [&](const Game& g) -> std::pair<int64_t, QString> {
        switch (column) {
        case CGamesTableModel::ColDescription:
            return {0, Natural(g.description)};
        case CGamesTableModel::ColPage:
            return {0, Natural(g.page)};
        case CGamesTableModel::ColDiagram:
            return {0, Natural(g.diagram)};
        case CGamesTableModel::ColAttempts:
            return {g.hits, {}};
        case CGamesTableModel::ColSuccesses:
            return {g.solve, {}};
        case CGamesTableModel::ColErrorStreak:
            return {g.errors, {}};
        case CGamesTableModel::ColSuccessStreak:
            return {g.streak, {}};
        case CGamesTableModel::ColScore:
            return {g.score(), {}};
        default:
            return {g.id, {}};
        }
    };
    std::sort(games.begin(), games.end(), [&](const Game& a, const Game& b) {
        const auto ka = std::make_pair(key(a), a.id);
        const auto kb = std::make_pair(key(b), b.id);
        return descending ? kb < ka : ka < kb;
    });
    std::vector<int64_t> ids;
    for (const Game& g : games)
        ids.push_back(g.id);
    return ids;
}

struct Fixture {
    Fixture() {
        // Identifiers with gaps and one beyond 32 bits; texts with case, digits, % and _.
        RawDatabase(book.folder.file("games.brl"))
            .exec("with recursive n(i) as (select 1 union all select i+1 from n where i<" +
                  std::to_string(kGames) +
                  ") insert into GameTree select case i when 7 then 5000000000 else i*3 end, "
                  "case i%4 when 0 then 'Mate in '||(i%12) when 1 then 'FORK_'||i when 2 then "
                  "'50% ending '||(i%30) else 'pin '||i end, 'p.'||(i%150), '#'||(i*7%97), i%9, "
                  "i%5, i%3, i%7 from n");
        book.workbook->ForEachGameRow([&](const WorkBookGameRow& r) {
            games.push_back({r.lngID, r.strDescription, r.strXRefPage, r.strXRefDiagram, r.lngHits,
                             r.lngSolve, r.lngErrorStreak, r.lngSolveStreak});
        });
    }
    TempWorkbook book;
    std::vector<Game> games;
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

TEST(GamesTableModel, ShowsSortsAndFiltersAsTheRowsOrderedInMemory) {
    Fixture fixture;
    ASSERT_EQ(fixture.games.size(), static_cast<size_t>(kGames));
    CGamesTableModel model(fixture.book.workbook, {});
    model.Reload();
    const struct {
        int column;
        Qt::SortOrder order;
        const char* filter;
    } cases[] = {
        {CGamesTableModel::ColID, Qt::AscendingOrder, ""},
        {CGamesTableModel::ColID, Qt::DescendingOrder, "pin"},
        {CGamesTableModel::ColDescription, Qt::AscendingOrder, ""},
        {CGamesTableModel::ColDescription, Qt::DescendingOrder, "MATE"},
        {CGamesTableModel::ColPage, Qt::AscendingOrder, "p.1"},
        {CGamesTableModel::ColDiagram, Qt::DescendingOrder, ""},
        {CGamesTableModel::ColAttempts, Qt::DescendingOrder, "_"},
        {CGamesTableModel::ColSuccesses, Qt::AscendingOrder, "50%"},
        {CGamesTableModel::ColErrorStreak, Qt::DescendingOrder, ""},
        {CGamesTableModel::ColSuccessStreak, Qt::AscendingOrder, "fork"},
        {CGamesTableModel::ColScore, Qt::DescendingOrder, ""},
        {CGamesTableModel::ColScore, Qt::AscendingOrder, "no such game"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.column) + " " + std::to_string(c.order) + " " + c.filter);
        model.SetFilter(c.filter);
        model.sort(c.column, c.order);
        const std::vector<int64_t> expected =
            Expected(fixture.games, c.column, c.order == Qt::DescendingOrder, c.filter);
        // A batch of rows is offered first; finding the last game offers every row down to it.
        EXPECT_EQ(model.intTotalRows(), static_cast<int>(expected.size()));
        EXPECT_EQ(model.rowCount(),
                  std::min(static_cast<int>(expected.size()), CGamesTableModel::kFetchRows));
        if (!expected.empty()) {
            EXPECT_EQ(model.intRowOf(expected.back()), model.intTotalRows() - 1);
            EXPECT_EQ(model.rowCount(), model.intTotalRows());
        }
        EXPECT_EQ(Shown(model), expected);
        EXPECT_EQ(model.arrIdsInRows([&] {
            std::vector<int> all(expected.size());
            for (size_t i = 0; i < all.size(); ++i)
                all[i] = static_cast<int>(i);
            return all;
        }()),
                  expected);
        // A game is found at its row; a filtered-out or missing game is not found.
        for (size_t i = 0; i < expected.size(); i += 97)
            EXPECT_EQ(model.intRowOf(expected[i]), static_cast<int>(i));
        EXPECT_EQ(model.intRowOf(1), -1);
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

// Pages past the middle are read from the other end of the order: over games with empty (NULL)
// keys and long runs of equal keys, every row read bottom up and then top down must be the row the
// database gives in one forward read of the whole order.
TEST(GamesTableModel, PagesReadFromTheEndGiveTheForwardOrder) {
    constexpr int games = 1001; // five pages and one row: the last page is short
    TempWorkbook book;
    // Every fifth description, every seventh reference and every third statistic are NULL; the
    // rest repeat a handful of values, so most rows are ordered by their identifier.
    RawDatabase(book.folder.file("games.brl"))
        .exec("with recursive n(i) as (select 1 union all select i+1 from n where i<" +
              std::to_string(games) +
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
            std::vector<int64_t> expected;
            for (const WorkBookGameRow& row :
                 book.workbook->arrGetGameRowsPage({c.sort, descending, c.filter, 0, games}))
                expected.push_back(row.lngID);
            ASSERT_GT(expected.size(), static_cast<size_t>(2 * CGamesTableModel::kPageRows));
            while (model.canFetchMore({}))
                model.fetchMore({});
            ASSERT_EQ(model.rowCount(), static_cast<int>(expected.size()));
            // Bottom up first, so that the far pages are read before any near one is cached.
            std::vector<int64_t> upward(expected.size());
            for (int r = model.rowCount() - 1; r >= 0; --r)
                upward[static_cast<size_t>(r)] = model.lngIdAt(r);
            EXPECT_EQ(upward, expected);
            EXPECT_EQ(Shown(model), expected);
            EXPECT_EQ(model.strLastError(), "");
        }
    }
}

} // namespace
