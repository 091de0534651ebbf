// The games list, the training selection and the statistics of CWorkBook.
#include "model/CError.h"
#include "workbook/CWorkBook.h"
#include "workbook/CWorkBookGameError.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"
#include "workbook/StoredNumber.h"

namespace {

const char* const kGameIds = "select id from GameTree order by ID";
const char* const kTraining =
    "select id from GameTree order by ErrorStreak desc, Solve ,hits, SolveStreak,ID limit ?";
const char* const kCount = "select count(*) from GameTree";
const char* const kGameRow = "select ID,Description,XRefPage,XRefDiagram,Hits,Solve,ErrorStreak,"
                             "SolveStreak from GameTree where ID=?";
const char* const kGameRows = "select ID,Description,XRefPage,XRefDiagram,Hits,Solve,ErrorStreak,"
                              "SolveStreak from GameTree where ID>=? order by ID";
const char* const kNextGameId = "select ID from GameTree where ID>=? order by ID limit 1";

bool fits32(int64_t id) {
    return id >= INT32_MIN && id <= INT32_MAX;
}

} // namespace

// The row of the statement's current result (columns in the order of kGameRow).
WorkBookGameRow objGameRowOf(const SqlStatement& row) {
    WorkBookGameRow game;
    game.lngID = lngStoredNumber(row, 0, "ID", 0);
    game.strDescription = row.text(1);
    game.strXRefPage = row.text(2);
    game.strXRefDiagram = row.text(3);
    game.lngHits = lngClamped32(lngStoredCount(row, 4, "Hits", game.lngID));
    game.lngSolve = lngClamped32(lngStoredCount(row, 5, "Solve", game.lngID));
    game.lngErrorStreak = lngClamped32(lngStoredCount(row, 6, "ErrorStreak", game.lngID));
    game.lngSolveStreak = lngClamped32(lngStoredCount(row, 7, "SolveStreak", game.lngID));
    return game;
}

std::vector<int32_t> CWorkBook::arrlngGetGameIDs() {
    SqlStatementScope rows(Connection().prepared(kGameIds));
    std::vector<int32_t> ids;
    while (rows->step()) {
        const int64_t id = lngStoredNumber(*rows, 0, "ID", 0);
        if (fits32(id)) ids.push_back(static_cast<int32_t>(id));
    }
    return ids;
}

std::vector<int32_t> CWorkBook::arrlngGetGameIDsForTraining(int16_t count) {
    SqlStatement& training = Connection().prepared(kTraining);
    // SQLite reads a negative limit as no limit at all.
    if (count <= 0) return {};
    std::vector<int32_t> ids;
    // Identifiers beyond 32 bits cannot be trained; the next games take their places.
    for (int64_t limit = count;; limit += count) {
        ids.clear();
        int64_t seen = 0;
        SqlStatementScope rows(training);
        rows->bind(1, limit);
        while (rows->step() && ids.size() < static_cast<size_t>(count)) {
            ++seen;
            const int64_t id = lngStoredNumber(*rows, 0, "ID", 0);
            if (fits32(id)) ids.push_back(static_cast<int32_t>(id));
        }
        if (ids.size() == static_cast<size_t>(count) || seen < limit) return ids;
    }
}

std::optional<WorkBookGameRow> CWorkBook::objGetGameRow(int64_t id) {
    SqlStatementScope row(Connection().prepared(kGameRow));
    row->bind(1, id);
    try {
        if (!row->step()) return std::nullopt;
    } catch (const SqlError& error) {
        if (!error.isContentError()) throw;
        throw CWorkBookGameError(id, "CWorkBook",
                                 "Game " + std::to_string(id) + " cannot be read: " + error.what());
    }
    return objGameRowOf(*row);
}

std::vector<WorkBookGameRow> CWorkBook::arrGetGameRows() {
    std::vector<WorkBookGameRow> rows;
    // A row that cannot be read is left out here; loading that game names the damage.
    ForEachGameRow(
        [&](const WorkBookGameRow& row) {
            if (fits32(row.lngID)) rows.push_back(row);
        },
        [](int64_t, const std::string&) {});
    return rows;
}

void CWorkBook::ForEachGameRow(
    const std::function<void(const WorkBookGameRow&)>& visit,
    const std::function<void(int64_t id, const std::string& reason)>& damaged) {
    SqlConnection& connection = Connection();
    // Resumes after a row that cannot be read: the next identifier alone still can be. A damaged
    // table may give identifiers out of order; `from` only ever grows, so every pass ends.
    int64_t from = INT64_MIN;
    for (;;) {
        try {
            SqlStatementScope rows(connection.prepared(kGameRows));
            rows->bind(1, from);
            while (rows->step()) {
                WorkBookGameRow row = objGameRowOf(*rows);
                if (row.lngID < from) continue;
                if (row.lngID == INT64_MAX) {
                    visit(row);
                    return;
                }
                from = row.lngID + 1;
                visit(row);
            }
            return;
        } catch (const SqlError& error) {
            if (!error.isContentError()) throw;
            SqlStatementScope next(connection.prepared(kNextGameId));
            next->bind(1, from);
            if (!next->step()) throw;
            const int64_t id = next->integer(0);
            if (id < from) throw;
            if (!damaged) throw CWorkBookGameError(id, "CWorkBook", error.what());
            damaged(id, error.what());
            if (id == INT64_MAX) return;
            from = id + 1;
        }
    }
}

int64_t CWorkBook::lngCountGames() {
    SqlStatementScope count(Connection().prepared(kCount));
    return count->step() ? count->integer(0) : 0;
}
