#include "workbook/CWorkBook.h"

#include "model/CError.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"
#include "workbook/SqlTransaction.h"

#include <atomic>
#include <filesystem>

namespace {

const char* const kSource = "CWorkBook";

const char* const kCreateWorkBook =
    "Create Table WorkBook (ID INTEGER PRIMARY KEY,FieldName,FieldValue)";
const char* const kCreateGameTree =
    "Create Table GameTree (ID INTEGER PRIMARY KEY,Description,XRefPage,XRefDiagram,Hits,Solve,"
    "ErrorStreak,SolveStreak)";
const char* const kCreateGameNode =
    "Create Table GameNode (ID INTEGER PRIMARY KEY,GameTreeID,NodeKey,NodeParentKey,WhiteToMove,"
    "Diagram,MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO)";

// Node rows by game and the training order, so that neither grows with the workbook. The
// training index also holds Hits and Solve, so the score is summed from it, not from the rows.
const char* const kIndexes[] = {
    "create index if not exists GameNodeByGame on GameNode(GameTreeID, ID)",
    "create index if not exists GameTreeTraining on GameTree(ErrorStreak desc, Solve, Hits, "
    "SolveStreak, ID)",
};

const char* const kReadTitle = "select FieldValue from WorkBook where FieldName='Title'";
const char* const kFindTitle = "select * from WorkBook where FieldName='Title'";
const char* const kUpdateTitle = "update WorkBook set FieldValue=? where FieldName='Title'";
const char* const kInsertTitle =
    "insert into WorkBook (ID,FieldName,FieldValue) values (NULL,'Title',?)";

// Each open connection gets a handle number of its own, so that callers can tell them apart.
std::atomic<int32_t> nextHandle{1};

} // namespace

CWorkBook::CWorkBook() = default;

CWorkBook::~CWorkBook() {
    CloseWorkBook();
}

SqlConnection& CWorkBook::Connection() const {
    if (!m_connection) RaiseError(kSource, "No open workbook");
    return *m_connection;
}

std::string CWorkBook::strOpenWorkBook(const std::string& fileName) {
    m_strFileName = fileName;
    CloseWorkBook();
    std::error_code ignored;
    if (!std::filesystem::exists(fileName, ignored)) {
        CreateEmptyWorkbook(fileName);
        return "";
    }
    m_connection = std::make_unique<SqlConnection>(fileName);
    m_lngDBHandle = nextHandle++;
    try {
        if (!CheckWorkbookSchema()) EnsureIndexes();
        return strReadTitle();
    } catch (...) {
        CloseWorkBook();
        throw;
    }
}

void CWorkBook::CreateNewWorkBook(const std::string& fileName,
                                  const std::optional<std::string>& title) {
    std::error_code ignored;
    if (std::filesystem::exists(fileName, ignored))
        RaiseError(kSource, "The file already exists: " + fileName);
    try {
        strOpenWorkBook(fileName);
        if (title) SaveWorkbookProperties(*title);
    } catch (...) {
        CloseWorkBook();
        RemoveMadeFile(fileName);
        throw;
    }
}

void CWorkBook::RemoveMadeFile(const std::string& fileName) {
    // A link is the user's: the file made, if any, is the one it leads to.
    std::error_code ignored;
    std::filesystem::path made = fileName;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(made, ignored); ++hops) {
        const std::filesystem::path next = std::filesystem::read_symlink(made, ignored);
        made = next.is_absolute() ? next : made.parent_path() / next;
    }
    std::filesystem::remove(made, ignored);
}

void CWorkBook::EnsureIndexes() {
    if (isReadOnly()) return;
    // An index that cannot be made (a locked or read-only file) never stops the workbook opening.
    for (const char* statement : kIndexes) {
        try {
            m_connection->exec(statement);
        } catch (const CError&) {
        }
    }
}

void CWorkBook::CreateEmptyWorkbook(const std::string& fileName) {
    if (!m_connection) {
        m_connection = std::make_unique<SqlConnection>(fileName);
        m_lngDBHandle = nextHandle++;
    }
    // One transaction, so that a crash never leaves a file with only some of the tables.
    SqlTransaction transaction(*m_connection);
    for (const char* statement : {kCreateWorkBook, kCreateGameTree, kCreateGameNode})
        m_connection->exec(statement);
    for (const char* statement : kIndexes)
        m_connection->exec(statement);
    objProgress().EnsureTables();
    EnsureAnnotationTables();
    transaction.Commit();
}

void CWorkBook::CloseWorkBook() {
    m_annotationTablesUsable = false;
    m_gameOrder.reset();
    m_gameOrderRows = 0;
    m_batch.reset();
    m_progress.reset();
    m_connection.reset();
    m_lngDBHandle = 0;
}

std::string CWorkBook::strReadTitle() {
    SqlStatementScope title(Connection().prepared(kReadTitle));
    return title->step() ? title->text(0) : "";
}

void CWorkBook::SaveWorkbookProperties(const std::string& title) {
    SqlConnection& connection = Connection();
    bool exists = false;
    {
        SqlStatementScope find(connection.prepared(kFindTitle));
        exists = find->step();
    }
    SqlStatementScope store(connection.prepared(exists ? kUpdateTitle : kInsertTitle));
    store->bind(1, title);
    store->run();
}

bool CWorkBook::isReadOnly() const {
    return m_connection && m_connection->isReadOnly();
}

void CWorkBook::BeginBatch() {
    if (m_batch) return;
    m_batch = std::make_unique<SqlTransaction>(Connection());
    m_firstUnownedID.reset();
}

void CWorkBook::CommitBatch() {
    if (!m_batch) return;
    std::unique_ptr<SqlTransaction> batch = std::move(m_batch);
    m_annotationTablesUsable = false; // a failed commit rolls back whatever the batch made
    m_gameOrder.reset();
    m_firstUnownedID.reset();
    batch->Commit();
}

void CWorkBook::RollbackBatch() {
    if (!m_batch) return;
    std::unique_ptr<SqlTransaction> batch = std::move(m_batch);
    m_annotationTablesUsable = false; // they may have been made in the batch
    m_gameOrder.reset();
    m_firstUnownedID.reset();
    batch->Rollback();
}

bool CWorkBook::isInBatch() const {
    return m_batch != nullptr;
}
