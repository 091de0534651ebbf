// The games list of the games window, read a page at a time: sorted and filtered by the database
// as the same rows would be in memory, whatever the order, the filter and the reading.
#include "SampleGames.h"
#include "model/Utilities.h"
#include "workbook/CWorkBook.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <tuple>

namespace {

using WorkBookList = WorkbookTest;

// Text keys as a reader orders them: lower case, each digit run padded to a fixed width.
std::string Natural(const std::string& text) {
    std::string key, digits;
    for (char c : strLowered(text) + " ") {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
            continue;
        }
        if (!digits.empty()) key += std::string(20 - digits.size(), '0') + digits;
        digits.clear();
        key += c;
    }
    return key;
}

// The rows the query must give, worked out in memory from every row.
std::vector<int64_t> Expected(const std::vector<WorkBookGameRow>& rows, const GameRowQuery& query) {
    const auto has = [&](const std::string& text) {
        return strLowered(text).find(strLowered(query.strFilter)) != std::string::npos;
    };
    // (sort key, identifier) of each shown row.
    std::vector<std::pair<std::pair<int64_t, std::string>, int64_t>> keyed;
    for (const WorkBookGameRow& r : rows) {
        if (!has(r.strDescription) && !has(r.strXRefPage) && !has(r.strXRefDiagram)) continue;
        const int64_t score = r.lngHits > 0 ? (r.lngSolve * 100 + r.lngHits / 2) / r.lngHits : -1;
        const size_t sort = static_cast<size_t>(query.sort); // the identifier, 3 texts, 5 numbers
        const std::string texts[] = {"", r.strDescription, r.strXRefPage, r.strXRefDiagram};
        const int64_t numbers[] = {
            r.lngID, 0, 0, 0, r.lngHits, r.lngSolve, r.lngErrorStreak, r.lngSolveStreak, score};
        keyed.push_back({{numbers[sort], Natural(sort < 4 ? texts[sort] : "")}, r.lngID});
    }
    std::sort(keyed.begin(), keyed.end());
    if (query.isDescending) std::reverse(keyed.begin(), keyed.end());
    std::vector<int64_t> ids;
    for (int64_t i = query.lngOffset;
         i < static_cast<int64_t>(keyed.size()) && i < query.lngOffset + query.lngLimit; ++i)
        ids.push_back(keyed[static_cast<size_t>(i)].second);
    return ids;
}

// The games of a page, in its order.
std::vector<int64_t> PageIds(CWorkBook& workbook, const GameRowQuery& query) {
    std::vector<int64_t> ids;
    for (const WorkBookGameRow& row : workbook.arrGetGameRowsPage(query))
        ids.push_back(row.lngID);
    return ids;
}

TEST_F(WorkBookList, ListPagesAreSortedAndFilteredByTheDatabaseAsInMemory) {
    // Up to 28 attempts and 8 successes: scores whose order depends on rounding to the nearest
    // percent.
    RawDatabase(path).exec(
        "with recursive n(i) as (select 1 union all select i+1 from n where i<300) "
        "insert into GameTree select i, case i % 5 when 0 then 'Mate in '||(i%4) when 1 then "
        "'Fork_'||i when 2 then '50% endgame '||i when 3 then 'PIN '||(i%7) else 'pin'||i end, "
        "'p.'||(i%13), ''||(i*7%11), i%29, i%9, i%3, i%2 from n");
    const std::vector<WorkBookGameRow> all = workbook.arrGetGameRows();
    ASSERT_EQ(all.size(), 300u);
    using Sort = GameRowQuery::Sort;
    const GameRowQuery cases[] = {
        {Sort::ID, false, "", 0, 50},
        {Sort::ID, true, "", 290, 50},
        {Sort::Description, false, "", 10, 40},
        {Sort::Description, true, "pin", 0, 500},
        {Sort::Page, false, "p.1", 5, 20},
        {Sort::Diagram, true, "", 100, 30},
        {Sort::Hits, false, "", 0, 300},
        {Sort::Solve, true, "mate", 3, 7},
        {Sort::ErrorStreak, false, "_", 0, 100},
        {Sort::SolveStreak, true, "50%", 0, 100},
        {Sort::Hits, true, "no such text", 0, 10},
        {Sort::Score, false, "", 0, 300},
        {Sort::Score, true, "P.1", 2, 50},
        {Sort::Page, true, "", 0, 300},
    };
    for (GameRowQuery query : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(query.sort)) +
                     (query.isDescending ? " desc " : " ") + query.strFilter + " @" +
                     std::to_string(query.lngOffset));
        EXPECT_EQ(PageIds(workbook, query), Expected(all, query));
        query.lngOffset = 0;
        query.lngLimit = 1000;
        const std::vector<int64_t> order = Expected(all, query);
        EXPECT_EQ(workbook.lngCountGameRows(query), static_cast<int64_t>(order.size()));
        // Every shown game is found where the order puts it; hidden and missing games are not.
        for (int64_t id = 0; id <= 301; ++id) {
            const auto at = std::find(order.begin(), order.end(), id);
            EXPECT_EQ(workbook.lngGameRowPosition(query, id),
                      at == order.end() ? -1 : at - order.begin());
        }
    }
}

// An ascending order is read first from its first rows; pages, positions and counts past them, in
// whichever order they are asked for, and other programs' writes still give the whole order.
TEST_F(WorkBookList, ListReadsPastTheFirstRowsGiveTheWholeOrder) {
    constexpr int kGames = 10500;
    RawDatabase raw(path);
    // Descriptions in an order of their own; pages stored in the reverse of theirs.
    raw.exec("with recursive n(i) as (select 1 union all select i+1 from n where i<" +
             std::to_string(kGames) + ") insert into GameTree select i, 'Ex '||(i*7919%" +
             std::to_string(kGames) + "), 'p.'||(" + std::to_string(kGames) +
             "-i/2), null, 0, 0, 0, 0 from n");
    using Sort = GameRowQuery::Sort;
    enum Kind { Page, Position, Write };
    // Steps: what is asked, the order, the page's first row or the row of the game looked for.
    const std::vector<std::tuple<Kind, Sort, bool, int64_t>> sequences[] = {
        {{Page, Sort::Description, false, 0},
         {Page, Sort::Description, false, 10400},
         {Page, Sort::Description, true, 0}},
        {{Page, Sort::Description, false, 9900}, {Position, Sort::Description, false, 10499}},
        {{Page, Sort::Page, false, 0},
         {Position, Sort::Page, false, 5},
         {Position, Sort::Page, false, 10200},
         {Page, Sort::Page, false, 10300}},
        {{Position, Sort::Page, true, 10000}, {Page, Sort::Page, false, 0}},
        {{Page, Sort::Description, false, 0},
         {Write, Sort::Description, false, 0},
         {Page, Sort::Description, false, 0},
         {Page, Sort::Description, false, 10300}},
    };
    for (const auto& steps : sequences) {
        raw.exec("update GameTree set Description='Ex '||(ID*7919%" + std::to_string(kGames) + ")");
        Reopen(""); // the order starts from nothing
        for (const auto& [kind, sort, isDescending, offset] : steps) {
            SCOPED_TRACE(std::to_string(kind) + " sort " + std::to_string(static_cast<int>(sort)) +
                         (isDescending ? " desc @" : " @") + std::to_string(offset));
            const std::vector<WorkBookGameRow> all = workbook.arrGetGameRows();
            const GameRowQuery page{sort, isDescending, "", offset, 200};
            const GameRowQuery whole{sort, isDescending, "", 0, kGames};
            const std::vector<int64_t> order = Expected(all, whole);
            if (kind == Write) { // another program moves the last game to the front
                raw.exec("update GameTree set Description='A' where ID=" +
                         std::to_string(order.back()));
            } else if (kind == Position) {
                const int64_t id = order.at(static_cast<size_t>(offset));
                EXPECT_EQ(workbook.lngGameRowPosition(page, id), offset);
            } else {
                EXPECT_EQ(PageIds(workbook, page), Expected(all, page));
            }
            EXPECT_EQ(workbook.lngCountGameRows(page), kGames);
        }
    }
}

// Texts in the order a reader expects, other values before and after them, both ways: the first
// rows of the ascending order and the whole order are sorted by different statements.
TEST_F(WorkBookList, ListTextsSortAsAReaderOrdersThem) {
    const std::string digits(40, '1');
    const std::vector<std::pair<int64_t, std::string>> ascending = {
        {20, "null"},
        {19, "7"},
        {18, "''"},
        {17, "'#1'"},
        {16, "'9 lives'"},
        {15, "'10 lives'"},
        {3, "'p.007'"}, // the same as p.7: by identifier
        {14, "'P.7'"},
        {13, "'p.10'"},
        {12, "'P.10a'"},
        {11, "'p.10B'"},
        {10, "'The same long opening words, move 9'"},
        {2, "'The same long opening words, move 10'"},
        {9, "'x" + digits.substr(1) + "0'"},
        {1, "'x" + digits + "'"},
        {8, "'x1" + digits + "'"},
        {7, "'zebra'"},
        {6, "'Zebras'"},
        {5, "'\xc3\xa9'"},
        {4, "x'00'"},
    };
    RawDatabase raw(path);
    for (const auto& [id, value] : ascending)
        raw.exec("insert into GameTree(ID,Description) values(" + std::to_string(id) + "," + value +
                 ")");
    for (const bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        Reopen("");
        // A row at a time: a longer page is put in order again by the collation.
        for (size_t row = 0; row < ascending.size(); ++row) {
            const size_t at = descending ? ascending.size() - 1 - row : row;
            EXPECT_EQ(PageIds(workbook, {GameRowQuery::Sort::Description, descending, "",
                                         static_cast<int64_t>(row), 1}),
                      std::vector<int64_t>{ascending[at].first});
        }
    }
}

} // namespace
