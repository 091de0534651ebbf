#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A query result: row 0 holds the column names, rows 1..n the values as text (SQL NULL reads as
// ""). A statement that yields no rows yields a table without any rows at all.
using SqlTable = std::vector<std::vector<std::string>>;

// Opens (or creates) the database file and returns a handle above 0; on failure returns 0 and
// fills the error text. The mode is accepted for the callers' sake and ignored. A file that is
// not a database is refused here, not at the first query.
int32_t sqlite_open(const std::string& fileName, int mode, std::string& errorText);

// Closes the connection of the handle; an unknown handle is ignored.
void sqlite_close(int32_t handle);

// Runs the SQL text and returns its result table; on failure the error text is filled and the
// table is empty.
SqlTable ags_sqlite_get_table(int32_t handle, const std::string& sql, std::string& errorText);

// The row identifier of the last insert made through the handle (0 for an unknown handle).
int64_t sqlite_last_insert_rowid(int32_t handle);

// The number of rows changed by the last statement run through the handle.
int sqlite_changes(int32_t handle);

// True when the handle's database was opened read-only (for example a write-protected file).
bool sqlite_is_readonly(int32_t handle);
