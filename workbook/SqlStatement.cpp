#include "workbook/SqlStatement.h"

#include "workbook/SqlConnection.h"

#include <sqlite3.h>
#include <strings.h>

SqlStatement::SqlStatement(sqlite3* db, const char* sql) : m_db(db) {
    SqlConnection::StartClock();
    int rc = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        Raise(rc);
    }
    if (m_statement == nullptr) RaiseError("CWorkBook", std::string("Empty statement: ") + sql);
}

SqlStatement::~SqlStatement() {
    sqlite3_finalize(m_statement);
}

bool SqlError::isContentError() const {
    const int primary = intCode & 0xff;
    return primary == SQLITE_TOOBIG || primary == SQLITE_CORRUPT || primary == SQLITE_MISMATCH;
}

void SqlStatement::Raise(int code) const {
    throw SqlError(code, SqlConnection::strErrorText(m_db, code));
}

void SqlStatement::reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

void SqlStatement::rewind() {
    sqlite3_reset(m_statement);
}

SqlStatement& SqlStatement::bind(int parameter, int64_t value) {
    int rc = sqlite3_bind_int64(m_statement, parameter, value);
    if (rc != SQLITE_OK) Raise(rc);
    return *this;
}

SqlStatement& SqlStatement::bind(int parameter, std::string_view text) {
    int rc = SQLITE_OK;
    if (text.find('\0') == std::string_view::npos) {
        // Not copied: the caller's text outlives the step, and the scope clears it after.
        rc = sqlite3_bind_text(m_statement, parameter, text.data(), static_cast<int>(text.size()),
                               SQLITE_STATIC);
    } else {
        std::string clean;
        clean.reserve(text.size());
        for (char c : text)
            if (c != '\0') clean += c;
        rc = sqlite3_bind_text(m_statement, parameter, clean.data(), static_cast<int>(clean.size()),
                               SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) Raise(rc);
    return *this;
}

SqlStatement& SqlStatement::bindReal(int parameter, double value) {
    int rc = sqlite3_bind_double(m_statement, parameter, value);
    if (rc != SQLITE_OK) Raise(rc);
    return *this;
}

bool SqlStatement::step() {
    int rc = SqlConnection::Step(m_statement);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // The message is taken before the reset, which would replace it.
    std::string message = SqlConnection::strErrorText(m_db, rc);
    sqlite3_reset(m_statement);
    throw SqlError(rc, message);
}

void SqlStatement::run() {
    while (step()) {
    }
    rewind();
}

int SqlStatement::column(const char* name) const {
    int count = sqlite3_column_count(m_statement);
    for (int c = 0; c < count; ++c)
        if (strcasecmp(sqlite3_column_name(m_statement, c), name) == 0) return c;
    RaiseError("CWorkBook", std::string("No column ") + name + " in the result");
}

bool SqlStatement::isNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

bool SqlStatement::isInteger(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_INTEGER;
}

bool SqlStatement::isNumber(int column) const {
    const int type = sqlite3_column_type(m_statement, column);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

double SqlStatement::real(int column) const {
    return sqlite3_column_double(m_statement, column);
}

int64_t SqlStatement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

std::string SqlStatement::text(int column) const {
    const unsigned char* value = sqlite3_column_text(m_statement, column);
    if (value == nullptr) return {};
    return std::string(reinterpret_cast<const char*>(value),
                       static_cast<size_t>(sqlite3_column_bytes(m_statement, column)));
}
