#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// A statement of the progress tables, finalized when it goes out of scope. Failures raise error
// 9999 "CWorkBook" with SQLite's message.
class ProgressStatement {
public:
    // Prepares the constant SQL text.
    ProgressStatement(sqlite3* db, const char* sql);
    ~ProgressStatement();
    ProgressStatement(const ProgressStatement&) = delete;
    ProgressStatement& operator=(const ProgressStatement&) = delete;

    // Binds a whole number to the parameter (1-based).
    ProgressStatement& bind(int parameter, int64_t value);
    // Binds a real number to the parameter (1-based).
    ProgressStatement& bindReal(int parameter, double value);
    // Steps once: true when a row is ready.
    bool step();
    // Steps to the end.
    void run();
    // The column as a whole number, or nothing when it holds anything else.
    std::optional<int64_t> integer(int column) const;
    // The column as text (anything else reads as its text form, NULL as "").
    std::string text(int column) const;
    // The column as a real number (whole numbers convert), or nothing when it holds anything else.
    std::optional<double> real(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

// Runs a constant SQL text without values or rows (schema changes).
void ExecProgressSql(sqlite3* db, const char* sql);
