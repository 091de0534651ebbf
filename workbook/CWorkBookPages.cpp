// Pages of the games list, sorted and filtered by the database, for list views that fetch rows
// as they are shown.
#include "workbook/CWorkBook.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"

#include <array>

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
// Whether the page's game has a comment or a glyph on one of its nodes (rows of keys it no longer
// has are another program's leftovers). The page is read first and ordered again, so that the
// flag is worked out for its rows only, never for the rows a sort passes over.
const char* const kAnnotatedColumn =
    ",exists(select 1 from GameAnnotation a join GameNode n on n.GameTreeID=a.GameTreeID and "
    "n.NodeKey=a.NodeKey where a.GameTreeID=p.ID and (a.CommentBefore<>'' or a.CommentAfter<>'' "
    "or a.Nags<>'')) from (";
const char* const kFilter = "(Description like ?1 escape '\\' or XRefPage like ?1 escape '\\' "
                            "or XRefDiagram like ?1 escape '\\')";

// Counts the rows that come before game ?4 in that order: NULL keys sort first going up and
// last going down, and equal keys go by identifier.
std::string Position(const std::string& key, bool descending, bool filtered) {
    const std::string before = descending ? "((" + key + " is not null and (t.k is null or " + key +
                                                " > t.k)) or (" + key + " is t.k and ID > ?4))"
                                          : "((t.k is not null and (" + key + " is null or " + key +
                                                " < t.k)) or (" + key + " is t.k and ID < ?4))";
    std::string text = "select count(*) from GameTree, (select "; // fixed names below
    text += key;
    text += " as k from GameTree where ID=?4) as t where ";
    if (filtered) text += std::string(kFilter) + " and "; // fixed names
    return text + before;
}

// The statement texts, made once from the fixed column names above (never from values): one per
// sort column, direction and filter, so that each stays prepared.
struct PageStatements {
    std::array<std::string, kSorts * 4> pages;
    std::array<std::string, kSorts * 4> annotatedPages; // with the annotation flag
    std::array<std::string, kSorts * 4> positions;
    std::string isShownAll = "select 1 from GameTree where ID=?4";
    std::string isShownFiltered =
        std::string("select 1 from GameTree where ID=?4 and ") + kFilter; // fixed names
    std::string countAll = "select count(*) from GameTree";
    std::string countFiltered =
        std::string("select count(*) from GameTree where ") + kFilter; // fixed names

    PageStatements() {
        const char* const select = "select ID,Description,XRefPage,XRefDiagram,Hits,Solve,"
                                   "ErrorStreak,SolveStreak from GameTree";
        for (size_t sort = 0; sort < kSorts; ++sort) {
            for (int descending = 0; descending < 2; ++descending) {
                for (int filtered = 0; filtered < 2; ++filtered) {
                    std::string& text =
                        pages[sort * 4 + static_cast<size_t>(descending * 2 + filtered)];
                    text = select;
                    if (filtered) text += std::string(" where ") + kFilter; // fixed names
                    const std::string order = std::string(" order by ") + kSortColumns[sort] +
                                              (descending ? " desc, ID desc" : ", ID");
                    text += order + " limit ?2 offset ?3"; // fixed names
                    std::string& annotated =
                        annotatedPages[sort * 4 + static_cast<size_t>(descending * 2 + filtered)];
                    annotated = std::string("select p.*") + kAnnotatedColumn; // fixed names
                    annotated += text + ") as p" + order;                     // fixed names
                    positions[sort * 4 + static_cast<size_t>(descending * 2 + filtered)] =
                        Position(kSortColumns[sort], descending != 0, filtered != 0);
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

std::vector<WorkBookGameRow> CWorkBook::arrGetGameRowsPage(const GameRowQuery& query) {
    const size_t sort = static_cast<size_t>(query.sort) % kSorts;
    const bool filtered = !query.strFilter.empty();
    const size_t at =
        sort * 4 + static_cast<size_t>((query.isDescending ? 2 : 0) + (filtered ? 1 : 0));
    const std::string pattern = Pattern(query.strFilter);
    auto read = [&](const std::string& sql, bool annotated) {
        SqlStatementScope page(Connection().prepared(sql.c_str()));
        if (filtered) page->bind(1, pattern);
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
    SqlStatementScope count(Connection().prepared(filtered ? Statements().countFiltered.c_str()
                                                           : Statements().countAll.c_str()));
    const std::string pattern = Pattern(query.strFilter);
    if (filtered) count->bind(1, pattern);
    return count->step() ? count->integer(0) : 0;
}

int64_t CWorkBook::lngGameRowPosition(const GameRowQuery& query, int64_t id) {
    const size_t sort = static_cast<size_t>(query.sort) % kSorts;
    const bool filtered = !query.strFilter.empty();
    const std::string pattern = Pattern(query.strFilter);
    SqlStatementScope shown(Connection().prepared(filtered ? Statements().isShownFiltered.c_str()
                                                           : Statements().isShownAll.c_str()));
    if (filtered) shown->bind(1, pattern);
    shown->bind(4, id);
    if (!shown->step()) return -1;
    const std::string& sql =
        Statements().positions[sort * 4 + static_cast<size_t>((query.isDescending ? 2 : 0) +
                                                              (filtered ? 1 : 0))];
    SqlStatementScope position(Connection().prepared(sql.c_str()));
    if (filtered) position->bind(1, pattern);
    position->bind(4, id);
    return position->step() ? position->integer(0) : -1;
}
