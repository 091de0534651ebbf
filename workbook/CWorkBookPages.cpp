// Pages of the games list, sorted and filtered by the database, for list views that fetch rows
// as they are shown.
#include "workbook/CWorkBook.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"
#include "workbook/SqlTransaction.h"

#include <algorithm>
#include <array>
#include <limits>

WorkBookGameRow objGameRowOf(const SqlStatement& row);

namespace {

constexpr size_t kSorts = 9;
const char* const kSortColumns[kSorts] = {
    "ID",
    "Description collate natsort",
    "XRefPage collate natsort",
    "XRefDiagram collate natsort",
    "Hits",
    "Solve",
    "ErrorStreak",
    "SolveStreak",
    "(case when Hits>0 then (coalesce(Solve,0)*100+Hits/2)/Hits else -1 end)"};
// What the whole order sorts by before the column: a text's natural key, made once per row, so
// that most of a million rows' comparisons are of plain bytes and the collation orders only the
// texts whose keys tie.
const char* const kWholeOrderKeys[kSorts] = {"",
                                             "natural_key(Description),",
                                             "natural_key(XRefPage),",
                                             "natural_key(XRefDiagram),",
                                             "",
                                             "",
                                             "",
                                             "",
                                             ""};
// Whether the page's game has a comment or a glyph on one of its nodes (rows of keys it no longer
// has are another program's leftovers). The page is read first and ordered again, so that the
// flag is worked out for its rows only, never for the rows a sort passes over.
const char* const kAnnotatedColumn =
    ",exists(select 1 from GameAnnotation a join GameNode n on n.GameTreeID=a.GameTreeID and "
    "n.NodeKey=a.NodeKey where a.GameTreeID=p.ID and (a.CommentBefore<>'' or a.CommentAfter<>'' "
    "or a.Nags<>'')) from (";
const char* const kFilter = "(Description like ?1 escape '\\' or XRefPage like ?1 escape '\\' "
                            "or XRefDiagram like ?1 escape '\\')";

// Pages in any order but the identifier's, and every filtered page, are read through the order
// table: the identifiers of the games the filter shows, stored in the query's order, so that the
// table's row number is the position in the order (1 first). A page anywhere in the order is then
// a range of row numbers, whatever its depth; the sort and the filter's scan are paid once, when
// the table is made. It lives in the connection's temporary database: the workbook file never
// holds an order in the program's own collation, which other SQLite programs could not follow.
//
// An ascending order without a filter is first made for its first rows only, a few screens of
// scrolling: SQLite keeps the best rows as it scans (one comparison for most rows when the games
// are stored roughly in that order or in none), where the whole order is a sort of every row. The
// whole order is made when a page, a position or a count needs it.
constexpr int64_t kFirstRows = 10000;
constexpr int64_t kEveryRow = std::numeric_limits<int64_t>::max();
const char* const kDropOrder = "drop table if exists temp.GameOrder";
const char* const kCreateOrder = "create temp table GameOrder(GameID integer)";
const char* const kOrderPageUp =
    "select GameID from temp.GameOrder where rowid>?3 order by rowid limit ?2";
const char* const kOrderPageDown =
    "select GameID from temp.GameOrder where rowid<=(select max(rowid) from temp.GameOrder)-?3 "
    "order by rowid desc limit ?2";
const char* const kOrderPositionUp = "select rowid-1 from temp.GameOrder where GameID=?4";
const char* const kOrderPositionDown =
    "select (select max(rowid) from temp.GameOrder)-rowid from temp.GameOrder where GameID=?4";
const char* const kCountOrder = "select count(*) from temp.GameOrder";
const char* const kCountAll = "select count(*) from GameTree";
const char* const kPositionUp = "select (select count(*) from GameTree where ID<?4) from GameTree "
                                "where ID=?4";
const char* const kPositionDown = "select (select count(*) from GameTree where ID>?4) from "
                                  "GameTree where ID=?4";

// The statement texts, made once from the fixed column names above (never from values): one per
// sort column, direction and filter, so that each stays prepared.
struct PageStatements {
    std::array<std::string, kSorts * 4> pages;
    std::array<std::string, kSorts * 4> annotatedPages; // with the annotation flag
    // Per sort and filter (sort * 2 + filtered): fills the order table with every row. Without a
    // LIMIT: with one, even -1, SQLite keeps the rows in a b-tree instead of sorting them, several
    // times slower for rows stored in no order.
    std::array<std::string, kSorts * 2> fillOrder;
    // Per sort: fills the order table with the first ?2 rows of the ascending order, unfiltered.
    std::array<std::string, kSorts> fillFirstRows;

    PageStatements() {
        const std::string select = "select ID,Description,XRefPage,XRefDiagram,Hits,Solve,"
                                   "ErrorStreak,SolveStreak from "; // fixed names below
        const std::string fill = "insert into temp.GameOrder select ID from GameTree";
        for (size_t sort = 0; sort < kSorts; ++sort) {
            fillFirstRows[sort] =
                fill + " order by " + kSortColumns[sort] + ", ID limit ?2"; // fixed names
            for (int filtered = 0; filtered < 2; ++filtered) {
                const std::string where = filtered ? std::string(" where ") + kFilter : "";
                fillOrder[sort * 2 + static_cast<size_t>(filtered)] =
                    fill + where + " order by " + kWholeOrderKeys[sort] + kSortColumns[sort] +
                    ", ID"; // fixed names
                for (int descending = 0; descending < 2; ++descending) {
                    const size_t at = sort * 4 + static_cast<size_t>(descending * 2 + filtered);
                    const std::string order = std::string(" order by ") + kSortColumns[sort] +
                                              (descending ? " desc, ID desc" : ", ID");
                    // The identifier order without a filter pages the table itself; every other
                    // page is a range of the order table, its games' rows read by identifier.
                    const std::string rows =
                        sort == 0 && !filtered
                            ? "GameTree" + order + " limit ?2 offset ?3" // fixed names
                            : std::string("(") + (descending ? kOrderPageDown : kOrderPageUp) +
                                  ") as o cross join GameTree as g on g.ID=o.GameID" + order;
                    pages[at] = select + rows;
                    annotatedPages[at] = std::string("select p.*") + kAnnotatedColumn + pages[at] +
                                         ") as p" + order; // fixed names
                }
            }
        }
    }
};

const PageStatements& Statements() {
    static const PageStatements statements;
    return statements;
}

// The filter as a LIKE pattern matching it anywhere, its own % and _ taken literally.
std::string Pattern(const std::string& filter) {
    std::string pattern = "%";
    for (char c : filter) {
        if (c == '%' || c == '_' || c == '\\') pattern += '\\';
        pattern += c;
    }
    return pattern + "%";
}

} // namespace

// What the connection has seen written to the workbook: the commits of other connections and the
// rows this one changed outside the order table. An order table made at other values is stale.
std::pair<int64_t, int64_t> CWorkBook::objWritesSeen() {
    SqlStatementScope version(Connection().prepared("pragma data_version"));
    const int64_t others = version->step() ? version->integer(0) : 0;
    return {others, Connection().lngTotalChanges() - m_gameOrderRows};
}

// Whether the query reads through the order table; if so, makes it for the query's sort and
// filter, holding at least the query's first rows, unless it holds them already and the workbook
// has not changed since.
bool CWorkBook::isReadInOrderTable(const GameRowQuery& query, int64_t rows) {
    const size_t sort = static_cast<size_t>(query.sort) % kSorts;
    const bool filtered = !query.strFilter.empty();
    if (sort == 0 && !filtered) return false;
    const bool isFirstRows = !filtered && !query.isDescending && rows <= kFirstRows;
    if (m_gameOrder && m_gameOrder->sort == sort && m_gameOrder->filter == query.strFilter &&
        (m_gameOrder->isWhole || isFirstRows) && m_gameOrder->writes == objWritesSeen())
        return true;
    SqlConnection& connection = Connection();
    const int64_t changesBefore = connection.lngTotalChanges();
    m_gameOrder.reset();
    SqlTransaction transaction(connection);
    connection.exec(kDropOrder);
    connection.exec(kCreateOrder);
    const PageStatements& statements = Statements();
    SqlStatementScope fill(connection.prepared(
        isFirstRows ? statements.fillFirstRows[sort].c_str()
                    : statements.fillOrder[sort * 2 + (filtered ? 1 : 0)].c_str()));
    const std::string pattern = Pattern(query.strFilter);
    if (filtered) fill->bind(1, pattern);
    if (isFirstRows) fill->bind(2, kFirstRows);
    fill->run();
    transaction.Commit();
    const int64_t filled = connection.lngTotalChanges() - changesBefore;
    m_gameOrderRows += filled;
    m_gameOrder = {sort, query.strFilter, !isFirstRows || filled < kFirstRows, objWritesSeen()};
    return true;
}

std::vector<WorkBookGameRow> CWorkBook::arrGetGameRowsPage(const GameRowQuery& query) {
    const size_t sort = static_cast<size_t>(query.sort) % kSorts;
    const bool filtered = !query.strFilter.empty();
    const size_t at =
        sort * 4 + static_cast<size_t>((query.isDescending ? 2 : 0) + (filtered ? 1 : 0));
    isReadInOrderTable(query, std::max<int64_t>(query.lngOffset, 0) +
                                  std::max<int64_t>(query.lngLimit, 0));
    auto read = [&](const std::string& sql, bool annotated) {
        SqlStatementScope page(Connection().prepared(sql.c_str()));
        page->bind(2, query.lngLimit < 0 ? 0 : query.lngLimit);
        page->bind(3, query.lngOffset < 0 ? 0 : query.lngOffset);
        std::vector<WorkBookGameRow> rows;
        while (page->step()) {
            rows.push_back(objGameRowOf(*page));
            rows.back().isAnnotated = annotated && page->integer(8) != 0;
        }
        return rows;
    };
    if (hasAnnotationTables()) {
        // Annotation tables of another shape (or a damaged one) leave every game unflagged;
        // the games are read as without them.
        try {
            return read(Statements().annotatedPages[at], true);
        } catch (const SqlError&) {
        }
    }
    return read(Statements().pages[at], false);
}

int64_t CWorkBook::lngCountGameRows(const GameRowQuery& query) {
    const bool filtered = !query.strFilter.empty();
    // A filter's games are counted in the order table its pages will read.
    const char* sql = filtered && isReadInOrderTable(query, kEveryRow) ? kCountOrder : kCountAll;
    SqlStatementScope count(Connection().prepared(sql));
    return count->step() ? count->integer(0) : 0;
}

int64_t CWorkBook::lngGameRowPosition(const GameRowQuery& query, int64_t id) {
    const bool isOrdered = isReadInOrderTable(query, kFirstRows);
    const char* sql = query.isDescending ? kPositionDown : kPositionUp;
    if (isOrdered) sql = query.isDescending ? kOrderPositionDown : kOrderPositionUp;
    auto find = [&] {
        SqlStatementScope position(Connection().prepared(sql));
        position->bind(4, id);
        return position->step() ? position->integer(0) : int64_t{-1};
    };
    const int64_t found = find();
    // A game past the first rows held is looked for in the whole order.
    if (found >= 0 || !isOrdered || m_gameOrder->isWhole) return found;
    isReadInOrderTable(query, kEveryRow);
    return find();
}
