#include "workbook/ProgressStatement.h"

#include "model/CError.h"
#include "workbook/SqlConnection.h"

#include <sqlite3.h>
#include <string>

namespace {

[[noreturn]] void Raise(sqlite3* db, const char* what) {
    RaiseError("CWorkBook", std::string(what) + ": " + sqlite3_errmsg(db));
}

} // namespace

ProgressStatement::ProgressStatement(sqlite3* db, const char* sql) : m_db(db) {
    if (db == nullptr) RaiseError("CWorkBook", "No workbook is open.");
    if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        Raise(db, "The training history could not be read or written");
    }
}

ProgressStatement::~ProgressStatement() {
    sqlite3_finalize(m_statement);
}

ProgressStatement& ProgressStatement::bind(int parameter, int64_t value) {
    if (sqlite3_bind_int64(m_statement, parameter, value) != SQLITE_OK) {
        Raise(m_db, "A value of the training history could not be bound");
    }
    return *this;
}

ProgressStatement& ProgressStatement::bindReal(int parameter, double value) {
    if (sqlite3_bind_double(m_statement, parameter, value) != SQLITE_OK) {
        Raise(m_db, "A value of the training history could not be bound");
    }
    return *this;
}

bool ProgressStatement::step() {
    // Under the connection's time limit, counted from this step.
    const int code = SqlConnection::Step(m_statement);
    if (code == SQLITE_ROW) return true;
    if (code == SQLITE_DONE) return false;
    Raise(m_db, "The training history could not be read or written");
}

void ProgressStatement::run() {
    while (step()) {
    }
}

std::optional<int64_t> ProgressStatement::integer(int column) const {
    if (sqlite3_column_type(m_statement, column) != SQLITE_INTEGER) return std::nullopt;
    return sqlite3_column_int64(m_statement, column);
}

std::string ProgressStatement::text(int column) const {
    const auto* value = sqlite3_column_text(m_statement, column);
    if (value == nullptr) return {};
    return {reinterpret_cast<const char*>(value),
            static_cast<size_t>(sqlite3_column_bytes(m_statement, column))};
}

std::optional<double> ProgressStatement::real(int column) const {
    const int type = sqlite3_column_type(m_statement, column);
    if (type != SQLITE_FLOAT && type != SQLITE_INTEGER) return std::nullopt;
    return sqlite3_column_double(m_statement, column);
}

void ExecProgressSql(sqlite3* db, const char* sql) {
    ProgressStatement(db, sql).run();
}
