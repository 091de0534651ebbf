#include "workbook/SqlTransaction.h"

#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"

namespace {

const char* const kBegin = "BEGIN TRANSACTION";
const char* const kBeginWriting = "BEGIN IMMEDIATE TRANSACTION";
const char* const kCommit = "COMMIT TRANSACTION";
const char* const kRollback = "ROLLBACK TRANSACTION";
// Savepoints nest by name: each guard releases or rolls back the innermost one, its own.
const char* const kSavepoint = "SAVEPOINT BrisoltWork";
const char* const kRelease = "RELEASE BrisoltWork";
const char* const kRollbackTo = "ROLLBACK TO BrisoltWork";

} // namespace

SqlTransaction::SqlTransaction(SqlConnection& connection, bool writeNow)
    : m_connection(connection), m_savepoint(connection.isInTransaction()) {
    m_connection.prepared(m_savepoint ? kSavepoint : writeNow ? kBeginWriting : kBegin).run();
    m_open = true;
}

SqlTransaction::~SqlTransaction() {
    if (!m_open) return;
    try {
        Rollback();
    } catch (...) {
        // A failed rollback (the connection lost its transaction already) leaves nothing to do.
    }
}

void SqlTransaction::Commit() {
    if (!m_open) return;
    m_connection.prepared(m_savepoint ? kRelease : kCommit).run();
    m_open = false;
}

void SqlTransaction::Rollback() {
    if (!m_open) return;
    m_open = false;
    m_connection.NoteRollback();
    if (m_savepoint) {
        // Rolling back to a savepoint keeps it open; releasing it then ends it.
        if (!m_connection.isInTransaction()) return;
        m_connection.prepared(kRollbackTo).run();
        m_connection.prepared(kRelease).run();
    } else if (m_connection.isInTransaction()) {
        m_connection.prepared(kRollback).run();
    }
}
