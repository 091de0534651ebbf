#include "workbook/SqlConnection.h"

#include "model/CError.h"
#include "workbook/SqlStatement.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sqlite3.h>

namespace {

using Clock = std::chrono::steady_clock;

// How long a statement waits for another program that holds the file's lock.
constexpr int kBusyTimeoutMs = 5000;
// Virtual machine steps between two looks at the clock.
constexpr int kProgressSteps = 10000;

std::atomic<int> timeLimitMs{30000};
// When the step running on this thread began; the progress handler compares against it.
thread_local Clock::time_point stepStarted;

int InterruptWhenTooLong(void*) {
    return Clock::now() - stepStarted > std::chrono::milliseconds(timeLimitMs.load()) ? 1 : 0;
}

void Configure(sqlite3* db, int option, int value) {
    sqlite3_db_config(db, option, value, nullptr);
}

// The defences for a file from elsewhere: nothing in the file may run code, write elsewhere,
// or grow without bound.
void Harden(sqlite3* db) {
    Configure(db, SQLITE_DBCONFIG_DEFENSIVE, 1);
    Configure(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0);
    Configure(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0);
    Configure(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0);
    Configure(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, SqlConnection::kMaxLength);
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, 100000);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(db, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    sqlite3_limit(db, SQLITE_LIMIT_COLUMN, 100);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_progress_handler(db, kProgressSteps, InterruptWhenTooLong, nullptr);
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

unsigned char lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Orders texts as a reader does: ASCII letters in any case alike, and runs of digits by their
// value, so that "p.9" comes before "p.10". Any length of digits compares without overflow.
int NaturalCompare(void*, int lengthA, const void* textA, int lengthB, const void* textB) {
    const auto* a = static_cast<const unsigned char*>(textA);
    const auto* b = static_cast<const unsigned char*>(textB);
    int i = 0;
    int j = 0;
    while (i < lengthA && j < lengthB) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            while (i < lengthA && a[i] == '0')
                ++i;
            while (j < lengthB && b[j] == '0')
                ++j;
            int endA = i;
            int endB = j;
            while (endA < lengthA && isDigit(a[endA]))
                ++endA;
            while (endB < lengthB && isDigit(b[endB]))
                ++endB;
            if (endA - i != endB - j) return endA - i < endB - j ? -1 : 1;
            const int order = std::memcmp(a + i, b + j, static_cast<size_t>(endA - i));
            if (order != 0) return order < 0 ? -1 : 1;
            i = endA;
            j = endB;
            continue;
        }
        if (lower(a[i]) != lower(b[j])) return lower(a[i]) < lower(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    return (i < lengthA) - (j < lengthB);
}

// Bytes of a text that natural_key keeps.
constexpr int kNaturalKeyBytes = 32;

// natural_key(value): the first bytes of a text's key in the natural order, ASCII letters in
// lower case and each run of digits as '0', its length without leading zeros (four bytes, most
// significant first) and those digits. Keys compare as plain bytes the way NaturalCompare
// compares the texts ('0' stands before or after any other character as a digit does), and a
// key cut short never contradicts it, so an order by the key, then by the collation for the texts
// whose keys tie, is the collation's order with most comparisons a memcmp. Other values are their
// own key, so that they keep their place before or after the texts.
void NaturalKey(sqlite3_context* context, int, sqlite3_value** values) {
    if (sqlite3_value_type(values[0]) != SQLITE_TEXT) {
        sqlite3_result_value(context, values[0]);
        return;
    }
    const unsigned char* text = sqlite3_value_text(values[0]);
    const int length = sqlite3_value_bytes(values[0]);
    char key[kNaturalKeyBytes];
    int size = 0;
    auto put = [&](unsigned char c) {
        if (size < kNaturalKeyBytes) key[size++] = static_cast<char>(c);
    };
    for (int i = 0; i < length && size < kNaturalKeyBytes;) {
        if (!isDigit(text[i])) {
            put(lower(text[i++]));
            continue;
        }
        while (i < length && text[i] == '0')
            ++i;
        int end = i;
        while (end < length && isDigit(text[end]))
            ++end;
        const auto digits = static_cast<uint32_t>(end - i);
        put('0');
        for (int shift = 24; shift >= 0; shift -= 8)
            put(static_cast<unsigned char>(digits >> shift));
        for (; i < end; ++i)
            put(text[i]);
    }
    sqlite3_result_text(context, key, size, SQLITE_TRANSIENT);
}

} // namespace

SqlConnection::SqlConnection(const std::string& fileName) {
    // The program never asks SQLite how much memory it holds; without the count its allocations
    // take no global lock. The setting must come before SQLite starts.
    static const int memoryCountOff = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    (void)memoryCountOff;
    // A savepoint keeps the pages it changes in memory up to 4 MiB before it writes them to a
    // temporary file: the import's savepoint per game then writes nothing twice.
    static const int savepointsInMemory = sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, 4 << 20);
    (void)savepointsInMemory;
    // A connection is used by one thread at a time (an import runs on a worker while the window
    // waits), so SQLite need not lock around every call.
    int rc =
        sqlite3_open_v2(fileName.c_str(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = m_db != nullptr ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        sqlite3_close(m_db);
        // SQLite opens no file whose full path is longer than its limit, whatever the system
        // allows; its own message would not say why.
        std::error_code ignored;
        const sqlite3_vfs* files = sqlite3_vfs_find(nullptr);
        if (rc == SQLITE_CANTOPEN && files != nullptr &&
            std::filesystem::absolute(fileName, ignored).string().size() >=
                static_cast<size_t>(files->mxPathname))
            message = "the path is longer than the " + std::to_string(files->mxPathname) +
                      " bytes SQLite can open; move the workbook to a folder with a shorter path";
        RaiseError("CWorkBook", message + ": " + fileName);
    }
    Harden(m_db);
    sqlite3_create_collation_v2(m_db, "natsort", SQLITE_UTF8, nullptr, NaturalCompare, nullptr);
    sqlite3_create_function(m_db, "natural_key", 1,
                            SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY, nullptr,
                            NaturalKey, nullptr, nullptr);
    // Reading the schema makes a file that is not a database fail now, with a clear message.
    try {
        exec("pragma cell_size_check=on");
        SqlStatementScope(prepared(kSchemaObjects))->step();
    } catch (const CError& error) {
        m_statements.clear();
        sqlite3_close(m_db);
        RaiseError("CWorkBook", std::string(error.what()) + ": " + fileName);
    }
}

SqlConnection::~SqlConnection() {
    m_statements.clear();
    m_rowStatements.clear();
    sqlite3_close_v2(m_db);
}

SqlStatement& SqlConnection::prepared(const char* sql) {
    std::unique_ptr<SqlStatement>& slot = m_statements[sql];
    if (!slot) {
        try {
            slot = std::make_unique<SqlStatement>(m_db, sql);
        } catch (...) {
            m_statements.erase(sql);
            throw;
        }
    }
    return *slot;
}

SqlStatement& SqlConnection::preparedRows(const char* insertOneRow, int rows) {
    std::unique_ptr<SqlStatement>& slot = m_rowStatements[{insertOneRow, rows}];
    if (!slot) {
        const std::string oneRow = insertOneRow;
        const std::string values = oneRow.substr(oneRow.rfind('('));
        std::string sql = oneRow;
        for (int row = 1; row < rows; ++row)
            sql += ',' + values;
        try {
            slot = std::make_unique<SqlStatement>(m_db, sql.c_str());
        } catch (...) {
            m_rowStatements.erase({insertOneRow, rows});
            throw;
        }
    }
    return *slot;
}

void SqlConnection::exec(const char* sql) {
    SqlStatement statement(m_db, sql);
    statement.run();
}

std::vector<std::pair<std::string, std::string>>
SqlConnection::arrSchemaObjectsNamed(const std::vector<std::string_view>& lowerNames) {
    std::vector<std::pair<std::string, std::string>> objects;
    SqlStatementScope rows(prepared(kSchemaObjects));
    while (rows->step()) {
        std::string name = rows->text(1);
        for (char& c : name)
            c = static_cast<char>(lower(static_cast<unsigned char>(c)));
        if (std::find(lowerNames.begin(), lowerNames.end(), name) != lowerNames.end())
            objects.emplace_back(std::move(name), rows->text(0));
    }
    return objects;
}

bool SqlConnection::hasTables(const std::vector<std::string_view>& lowerNames) {
    // Names are unique in a schema, whatever their case: one table a name.
    size_t tables = 0;
    for (const auto& [name, type] : arrSchemaObjectsNamed(lowerNames))
        if (type == "table") ++tables;
    return tables == lowerNames.size();
}

std::pair<int64_t, int64_t> SqlConnection::objSchemaState() {
    SqlStatementScope version(prepared("pragma schema_version"));
    return {version->step() ? version->integer(0) : -1, m_rollbacks};
}

bool SqlConnection::isInTransaction() const {
    return sqlite3_get_autocommit(m_db) == 0;
}

int64_t SqlConnection::lngLastInsertRowid() const {
    return sqlite3_last_insert_rowid(m_db);
}

int64_t SqlConnection::lngChanges() const {
    return sqlite3_changes64(m_db);
}

int64_t SqlConnection::lngTotalChanges() const {
    return sqlite3_total_changes64(m_db);
}

std::optional<uint32_t> SqlConnection::objChangeCounter(sqlite3* db) {
    // Read through SQLite's own handle of the file: opening and closing another descriptor of it
    // would drop every POSIX lock this process holds on it, the open transaction's included, and
    // let another program write the file under that transaction.
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        file == nullptr || file->pMethods == nullptr)
        return std::nullopt;
    unsigned char header[100] = {};
    if (file->pMethods->xRead(file, header, sizeof header, 0) != SQLITE_OK) return std::nullopt;
    // "SQLite format 3", and read and write versions 1: the rollback journal.
    if (std::memcmp(header, "SQLite format 3", 16) != 0 || header[18] != 1 || header[19] != 1)
        return std::nullopt;
    return (uint32_t{header[24]} << 24) | (uint32_t{header[25]} << 16) |
           (uint32_t{header[26]} << 8) | uint32_t{header[27]};
}

bool SqlConnection::isReadOnly() const {
    return sqlite3_db_readonly(m_db, "main") == 1;
}

int SqlConnection::SetStatementTimeLimitMs(int milliseconds) {
    return timeLimitMs.exchange(milliseconds);
}

void SqlConnection::StartClock() {
    stepStarted = Clock::now();
}

int SqlConnection::Step(sqlite3_stmt* statement) {
    StartClock();
    return sqlite3_step(statement);
}

std::string SqlConnection::strErrorText(sqlite3* db, int code) {
    if ((code & 0xff) == SQLITE_INTERRUPT) {
        const int limit = timeLimitMs.load();
        return "A statement ran longer than " +
               (limit % 1000 == 0 ? std::to_string(limit / 1000) + " s"
                                  : std::to_string(limit) + " ms") +
               " and was stopped: the workbook may be damaged or made to hang";
    }
    // SQLite refuses to write a file whose name no longer leads to it (its journal could not be
    // found after a crash) and calls it read-only; the file was renamed, moved or deleted.
    if (db != nullptr && sqlite3_extended_errcode(db) == SQLITE_READONLY_DBMOVED)
        return "the file was renamed, moved or deleted after it was opened";
    return db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
}
