// Pages of the games list, sorted and filtered by the database, for list views that fetch rows
// as they are shown.
#include "workbook/CWorkBook.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"

#include <array>

WorkBookGameRow objGameRowOf(const SqlStatement& row);

namespace {

constexpr size_t kSorts = 8;
const char* const kSortColumns[kSorts] = {"ID",   "Description", "XRefPage",    "XRefDiagram",
                                          "Hits", "Solve",       "ErrorStreak", "SolveStreak"};
const char* const kFilter = "(Description like ?1 escape '\\' or XRefPage like ?1 escape '\\' "
                            "or XRefDiagram like ?1 escape '\\')";

// The statement texts, made once from the fixed column names above (never from values): one per
// sort column, direction and filter, so that each stays prepared.
struct PageStatements {
    std::array<std::string, kSorts * 4> pages;
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
                    text += std::string(" order by ") + kSortColumns[sort]; // fixed names
                    text += descending ? " desc, ID desc" : ", ID";
                    text += " limit ?2 offset ?3";
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
    const std::string& sql =
        Statements().pages[sort * 4 +
                           static_cast<size_t>((query.isDescending ? 2 : 0) + (filtered ? 1 : 0))];
    SqlStatementScope page(Connection().prepared(sql.c_str()));
    const std::string pattern = Pattern(query.strFilter);
    if (filtered) page->bind(1, pattern);
    page->bind(2, query.lngLimit < 0 ? 0 : query.lngLimit);
    page->bind(3, query.lngOffset < 0 ? 0 : query.lngOffset);
    std::vector<WorkBookGameRow> rows;
    while (page->step())
        rows.push_back(objGameRowOf(*page));
    return rows;
}

int64_t CWorkBook::lngCountGameRows(const GameRowQuery& query) {
    const bool filtered = !query.strFilter.empty();
    SqlStatementScope count(Connection().prepared(filtered ? Statements().countFiltered.c_str()
                                                           : Statements().countAll.c_str()));
    const std::string pattern = Pattern(query.strFilter);
    if (filtered) count->bind(1, pattern);
    return count->step() ? count->integer(0) : 0;
}
