#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class SqlStatement;

// One connection to a database file, opened with the defences for files that come from anywhere:
// defensive mode, an untrusted schema, no triggers, views or extensions, no attached databases,
// lengths that fit a workbook's data, and a time limit after which a running statement is
// interrupted. Keeps each statement prepared for the life of the connection.
class SqlConnection {
public:
    // Opens (or creates) the file; raises error 9999 "CWorkBook" with a clear message on failure.
    // A file that is not a database is refused here, not at the first query.
    explicit SqlConnection(const std::string& fileName);
    ~SqlConnection();
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    // The statement of that text, prepared on first use and kept. The text must be a constant
    // of the program (the cache is keyed by its address): values are always bound.
    SqlStatement& prepared(const char* sql);
    // The constant insert of one row (its text ending with the list of values) made an insert
    // of that many rows, each with its own list; prepared on first use and kept. One statement
    // of many rows costs little more to run than one of a single row.
    SqlStatement& preparedRows(const char* insertOneRow, int rows);
    // Runs a constant statement that returns no rows (schema changes).
    void exec(const char* sql);
    // True while a transaction is open on the connection.
    bool isInTransaction() const;
    // The row identifier of the last insert.
    int64_t lngLastInsertRowid() const;
    // The number of rows the last insert, update or delete changed.
    int64_t lngChanges() const;
    // The rows every insert, update and delete of this connection changed since it opened.
    int64_t lngTotalChanges() const;
    // The file's change counter, which every committed write transaction of any program raises
    // by one; nothing when the file is not in rollback-journal mode (where the counter is not
    // kept) or cannot be read.
    std::optional<uint32_t> objChangeCounter() const { return objChangeCounter(m_db); }
    static std::optional<uint32_t> objChangeCounter(sqlite3* db);
    // The schema objects named (ASCII letters in any case alike) as one of the names, which are
    // in lower case: each one's name in lower case and its type.
    std::vector<std::pair<std::string, std::string>>
    arrSchemaObjectsNamed(const std::vector<std::string_view>& lowerNames);
    // True when each of the names (in lower case) is a table.
    bool hasTables(const std::vector<std::string_view>& lowerNames);
    // Where the schema stands: the same pair again means that no program changed the schema
    // (its version in the file) and no work of this connection was rolled back in between (a
    // rollback may take back tables it made). Facts about the schema hold while it stays.
    std::pair<int64_t, int64_t> objSchemaState();
    // Counts a rollback of this connection's work (SqlTransaction tells).
    void NoteRollback() { ++m_rollbacks; }
    // True when the file was opened read-only (for example a write-protected file).
    bool isReadOnly() const;

    // Every object of the schema: type, name, table, and 1 for a virtual table. The connection
    // reads it on opening, so that a file that is not a database fails there; the schema checks
    // then find it prepared.
    static constexpr const char* kSchemaObjects =
        "select type, name, tbl_name, sql like 'create virtual%' from sqlite_master";
    // The longest text or row a workbook keeps (1,000,000 bytes).
    static constexpr int kMaxLength = 1000000;
    // Sets how long one step of a statement may run before it is interrupted (30 s by default);
    // returns the limit before. For tests of the interruption.
    static int SetStatementTimeLimitMs(int milliseconds);
    // Starts the time limit of the work this thread asks of SQLite next (a prepare may read the
    // schema).
    static void StartClock();
    // Steps the statement under the time limit.
    static int Step(sqlite3_stmt* statement);
    // A clear message for a failure code of the connection.
    static std::string strErrorText(sqlite3* db, int code);

private:
    sqlite3* m_db = nullptr;
    std::unordered_map<const char*, std::unique_ptr<SqlStatement>> m_statements;
    std::map<std::pair<const char*, int>, std::unique_ptr<SqlStatement>> m_rowStatements;
    int64_t m_rollbacks = 0;
};
