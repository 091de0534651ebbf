#include "workbook/CWorkBook.h"

#include "model/CError.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

const char* const kSource = "CWorkBook";

const char* const kWorkBookColumns = "ID INTEGER PRIMARY KEY,FieldName,FieldValue";
const char* const kGameTreeColumns =
    "ID INTEGER PRIMARY KEY,Description,XRefPage,XRefDiagram,Hits,Solve,ErrorStreak,SolveStreak";
const char* const kGameNodeColumns =
    "ID INTEGER PRIMARY KEY,GameTreeID,NodeKey,NodeParentKey,WhiteToMove,Diagram,MoveText,"
    "MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO";

// Node rows by game and the training order, so that neither grows with the workbook.
const char* const kIndexes[] = {
    "create index if not exists GameNodeByGame on GameNode(GameTreeID, ID)",
    "create index if not exists GameTreeTraining on GameTree(ErrorStreak desc, Solve, Hits, "
    "SolveStreak, ID)",
};

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

CWorkBook::~CWorkBook() {
    CloseWorkBook();
}

std::string CWorkBook::strQuote(const std::string& text) {
    std::string quoted = "'";
    quoted.reserve(text.size() + 2);
    for (char c : text) {
        // SQLite ends the statement at a NUL, so a NUL inside a literal would break the SQL
        // (and with it a whole import); no text we store can keep one.
        if (c == '\0') continue;
        if (c == '\'') quoted += '\'';
        quoted += c;
    }
    quoted += '\'';
    return quoted;
}

void CWorkBook::RequireOpen() const {
    if (m_lngDBHandle == 0) RaiseError(kSource, "No open workbook");
}

SqlTable CWorkBook::arrvarExecuteSQL(const std::string& sql) {
    RequireOpen();
    m_strLastError.clear();
    SqlTable table = ags_sqlite_get_table(m_lngDBHandle, sql, m_strLastError);
    if (m_strLastError.empty()) return table;
    // A transaction begun by a save never stays open after an error.
    std::string ignored;
    ags_sqlite_get_table(m_lngDBHandle, "ROLLBACK TRANSACTION", ignored);
    m_inBatch = false;
    RaiseError(kSource, m_strLastError);
}

void CWorkBook::CreateTable(int32_t handle, const std::string& name, const std::string& columns) {
    std::string statement = "Create Table " + name + " (" + columns + ")";
    m_strLastError.clear();
    ags_sqlite_get_table(handle, statement, m_strLastError);
    if (!m_strLastError.empty()) RaiseError(kSource, m_strLastError);
}

std::string CWorkBook::strOpenWorkBook(const std::string& fileName) {
    m_strFileName = fileName;
    CloseWorkBook();
    std::error_code ignored;
    if (!std::filesystem::exists(fileName, ignored)) {
        CreateEmptyWorkbook(fileName);
        return "";
    }
    m_strLastError.clear();
    m_lngDBHandle = sqlite_open(fileName, 0, m_strLastError);
    if (!m_strLastError.empty()) RaiseError(kSource, m_strLastError);
    CheckWorkbookTables();
    EnsureIndexes();
    return strReadTitle();
}

void CWorkBook::CheckWorkbookTables() {
    std::string error;
    SqlTable tables = ags_sqlite_get_table(
        m_lngDBHandle, "select name from sqlite_master where type='table'", error);
    std::string missing;
    for (const char* wanted : {"WorkBook", "GameTree", "GameNode"}) {
        bool found = std::any_of(tables.begin() + (tables.empty() ? 0 : 1), tables.end(),
                                 [&](const std::vector<std::string>& row) {
                                     return lowered(row[0]) == lowered(wanted);
                                 });
        if (!found) missing += missing.empty() ? wanted : std::string(", ") + wanted;
    }
    if (error.empty() && missing.empty()) return;
    CloseWorkBook();
    RaiseError(kSource, error.empty()
                            ? "Not a workbook (missing table " + missing + "): " + m_strFileName
                            : error);
}

void CWorkBook::EnsureIndexes() {
    if (isReadOnly()) return;
    // An index that cannot be made (a locked or read-only file) never stops the workbook opening.
    for (const char* statement : kIndexes) {
        std::string ignored;
        ags_sqlite_get_table(m_lngDBHandle, statement, ignored);
    }
}

void CWorkBook::CreateEmptyWorkbook(const std::string& fileName) {
    if (m_lngDBHandle == 0) {
        m_lngDBHandle = sqlite_open(fileName, 0, m_strLastError);
        if (m_lngDBHandle == 0) RaiseError(kSource, m_strLastError);
    }
    // One transaction, so that a crash never leaves a file with only some of the tables.
    arrvarExecuteSQL("BEGIN TRANSACTION");
    try {
        CreateTable(m_lngDBHandle, "WorkBook", kWorkBookColumns);
        CreateTable(m_lngDBHandle, "GameTree", kGameTreeColumns);
        CreateTable(m_lngDBHandle, "GameNode", kGameNodeColumns);
        for (const char* statement : kIndexes)
            arrvarExecuteSQL(statement);
    } catch (const CError&) {
        std::string ignored;
        ags_sqlite_get_table(m_lngDBHandle, "ROLLBACK TRANSACTION", ignored);
        throw;
    }
    arrvarExecuteSQL("COMMIT TRANSACTION");
}

void CWorkBook::CloseWorkBook() {
    if (m_lngDBHandle == 0) return;
    sqlite_close(m_lngDBHandle);
    m_lngDBHandle = 0;
    m_inBatch = false;
}

std::string CWorkBook::strReadTitle() {
    SqlTable table = arrvarExecuteSQL("select FieldValue from WorkBook where FieldName='Title'");
    return table.size() > 1 ? table[1][0] : "";
}

void CWorkBook::SaveWorkbookProperties(const std::string& title) {
    SqlTable table = arrvarExecuteSQL("select * from WorkBook where FieldName='Title'");
    if (table.size() > 1) {
        arrvarExecuteSQL("update WorkBook set FieldValue=" + strQuote(title) +
                         " where FieldName='Title'");
    } else {
        arrvarExecuteSQL("insert into WorkBook (ID,FieldName,FieldValue) values (NULL,'Title'," +
                         strQuote(title) + ")");
    }
}

bool CWorkBook::isReadOnly() const {
    return m_lngDBHandle != 0 && sqlite_is_readonly(m_lngDBHandle);
}

void CWorkBook::BeginBatch() {
    if (m_inBatch) return;
    arrvarExecuteSQL("BEGIN TRANSACTION");
    m_inBatch = true;
}

void CWorkBook::CommitBatch() {
    if (!m_inBatch) return;
    m_inBatch = false;
    arrvarExecuteSQL("COMMIT TRANSACTION");
}

void CWorkBook::RollbackBatch() {
    if (!m_inBatch) return;
    m_inBatch = false;
    arrvarExecuteSQL("ROLLBACK TRANSACTION");
}
