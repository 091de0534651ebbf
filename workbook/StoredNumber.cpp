#include "workbook/StoredNumber.h"

#include "workbook/CWorkBookGameError.h"
#include "workbook/SqlStatement.h"

#include <charconv>
#include <cmath>
#include <string>

int64_t lngStoredNumber(const SqlStatement& row, int column, const char* name, int64_t gameId) {
    if (row.isInteger(column)) return row.integer(column);
    const std::string text = row.isNull(column) ? "NULL" : row.text(column);
    int64_t value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    auto [end, error] = std::from_chars(first, last, value);
    if (!row.isNull(column) && error == std::errc() && end == last && first != last) return value;
    // A real that holds a whole number exactly (written by another program) is that number.
    double real = 0;
    auto [realEnd, realError] = std::from_chars(first, last, real);
    if (!row.isNull(column) && realError == std::errc() && realEnd == last && first != last &&
        std::trunc(real) == real && std::fabs(real) < 9.0e15)
        return static_cast<int64_t>(real);
    throw CWorkBookGameError(gameId, "CWorkBook",
                             std::string("Bad value of ") + name + " in game " +
                                 std::to_string(gameId) + ": '" + text.substr(0, 40) + "'");
}

int64_t lngStoredCount(const SqlStatement& row, int column, const char* name, int64_t gameId) {
    if (row.isInteger(column)) return row.integer(column);
    try {
        return lngStoredNumber(row, column, name, gameId);
    } catch (const CWorkBookGameError&) {
        return 0; // as SQL's own sum() counts it
    }
}
