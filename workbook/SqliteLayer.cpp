#include "workbook/SqliteLayer.h"

#include <mutex>
#include <sqlite3.h>
#include <unordered_map>

namespace {

// How long a statement waits for another program that holds the file's lock.
constexpr int kBusyTimeoutMs = 5000;

// Handles are small numbers of our own so that callers can keep a 32-bit value.
struct Registry {
    std::mutex mutex;
    std::unordered_map<int32_t, sqlite3*> connections;
    int32_t nextHandle = 1;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

sqlite3* connectionOf(int32_t handle) {
    Registry& reg = registry();
    std::lock_guard lock(reg.mutex);
    auto found = reg.connections.find(handle);
    return found == reg.connections.end() ? nullptr : found->second;
}

std::string textOf(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    if (text == nullptr) return {};
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<size_t>(sqlite3_column_bytes(statement, column)));
}

} // namespace

int32_t sqlite_open(const std::string& fileName, int /*mode*/, std::string& errorText) {
    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(fileName.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        errorText = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        errorText += ": " + fileName;
        sqlite3_close(db);
        return 0;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // Reading the schema makes a file that is not a database fail now, with a clear message.
    char* message = nullptr;
    rc = sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        errorText = message != nullptr ? message : sqlite3_errstr(rc);
        errorText += ": " + fileName;
        sqlite3_free(message);
        sqlite3_close(db);
        return 0;
    }
    Registry& reg = registry();
    std::lock_guard lock(reg.mutex);
    int32_t handle = reg.nextHandle++;
    reg.connections.emplace(handle, db);
    return handle;
}

void sqlite_close(int32_t handle) {
    sqlite3* db = nullptr;
    {
        Registry& reg = registry();
        std::lock_guard lock(reg.mutex);
        auto found = reg.connections.find(handle);
        if (found == reg.connections.end()) return;
        db = found->second;
        reg.connections.erase(found);
    }
    sqlite3_close_v2(db);
}

SqlTable ags_sqlite_get_table(int32_t handle, const std::string& sql, std::string& errorText) {
    SqlTable table;
    sqlite3* db = connectionOf(handle);
    if (db == nullptr) {
        errorText = "no open database";
        return table;
    }
    const char* tail = sql.c_str();
    const char* end = tail + sql.size();
    while (tail < end) {
        sqlite3_stmt* statement = nullptr;
        int rc = sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &statement, &tail);
        if (rc != SQLITE_OK) {
            errorText = sqlite3_errmsg(db);
            return {};
        }
        if (statement == nullptr) break; // only blanks or a comment were left
        int columns = sqlite3_column_count(statement);
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            if (table.empty()) {
                std::vector<std::string> header;
                header.reserve(static_cast<size_t>(columns));
                for (int c = 0; c < columns; ++c)
                    header.emplace_back(sqlite3_column_name(statement, c));
                table.push_back(std::move(header));
            }
            std::vector<std::string> row;
            row.reserve(static_cast<size_t>(columns));
            for (int c = 0; c < columns; ++c)
                row.push_back(textOf(statement, c));
            table.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) {
            errorText = sqlite3_errmsg(db);
            sqlite3_finalize(statement);
            return {};
        }
        sqlite3_finalize(statement);
    }
    return table;
}

int64_t sqlite_last_insert_rowid(int32_t handle) {
    sqlite3* db = connectionOf(handle);
    return db == nullptr ? 0 : sqlite3_last_insert_rowid(db);
}

int sqlite_changes(int32_t handle) {
    sqlite3* db = connectionOf(handle);
    return db == nullptr ? 0 : sqlite3_changes(db);
}

bool sqlite_is_readonly(int32_t handle) {
    sqlite3* db = connectionOf(handle);
    return db != nullptr && sqlite3_db_readonly(db, "main") == 1;
}
