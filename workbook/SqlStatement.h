#pragma once

#include "model/CError.h"

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// A failed statement: error 9999 "CWorkBook" with SQLite's message, and its result code.
class SqlError : public CError {
public:
    // The error of the code with the message.
    SqlError(int code, const std::string& description)
        : CError(9999, "CWorkBook", description), intCode(code) {}

    // True when the failure comes from the stored content read (a value over the length limit,
    // a damaged page) rather than from the connection or the disk.
    bool isContentError() const;

    int intCode;
};

// One prepared SQL statement of a connection, prepared once and run many times with values bound
// to its parameters. Values are never spliced into the SQL text. Every failure raises error 9999
// with source "CWorkBook" and SQLite's message.
class SqlStatement {
public:
    // Prepares the statement text on the connection (kept prepared for its life).
    SqlStatement(sqlite3* db, const char* sql);
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // Resets the statement and clears its values, ready for a new run.
    void reset();
    // Resets the statement to run again; its values stay bound.
    void rewind();
    // Binds a whole number to the parameter (1-based).
    SqlStatement& bind(int parameter, int64_t value);
    // Binds a real number to the parameter (1-based).
    SqlStatement& bindReal(int parameter, double value);
    // Binds a text to the parameter (1-based); NUL characters are left out, as no stored text
    // holds one. The text must stay alive until the statement has stepped.
    SqlStatement& bind(int parameter, std::string_view text);
    // Steps once: true when a row is ready, false when the statement is done.
    bool step();
    // Runs the statement with its bound values to its end, then resets it (values kept).
    void run();

    // The index of the result column of that name (case-insensitive); raises when there is none.
    int column(const char* name) const;
    // True when the value of the column in the current row is SQL NULL.
    bool isNull(int column) const;
    // True when the value is stored as a whole number.
    bool isInteger(int column) const;
    // The value as a whole number (only meaningful for isInteger).
    int64_t integer(int column) const;
    // True when the value is stored as a whole or a real number.
    bool isNumber(int column) const;
    // The value as a real number (only meaningful for isNumber).
    double real(int column) const;
    // The value as text (NULL reads as "").
    std::string text(int column) const;

private:
    [[noreturn]] void Raise(int code) const;

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};

// Resets a statement when the scope ends, so that an early return or an error never leaves it
// holding a read lock.
class SqlStatementScope {
public:
    // Rewinds the statement now; resets it and clears its values when the scope ends.
    explicit SqlStatementScope(SqlStatement& statement) : m_statement(statement) {
        m_statement.rewind();
    }
    ~SqlStatementScope() { m_statement.reset(); }
    SqlStatementScope(const SqlStatementScope&) = delete;
    SqlStatementScope& operator=(const SqlStatementScope&) = delete;

    // The statement in use.
    SqlStatement& operator*() const { return m_statement; }
    // The statement in use.
    SqlStatement* operator->() const { return &m_statement; }

private:
    SqlStatement& m_statement;
};
