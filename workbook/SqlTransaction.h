#pragma once

class SqlConnection;

// The one guard of a unit of work on a connection: a transaction when none is open, otherwise a
// savepoint inside the open one. The work is kept only by Commit; a guard that ends without it
// (an error, an early return) rolls its work back and leaves any outer transaction as it was.
class SqlTransaction {
public:
    // Begins the transaction or savepoint. A transaction that reads the file before it writes
    // takes the write lock at once (writeNow): a read transaction asking for the lock later, while
    // another program holds it, is refused at once instead of waiting for the other to finish.
    explicit SqlTransaction(SqlConnection& connection, bool writeNow = false);
    // Rolls back when neither committed nor rolled back; never raises.
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    // Keeps the work: commits the transaction or releases the savepoint.
    void Commit();
    // Drops the work.
    void Rollback();
    // True until Commit or Rollback.
    bool isOpen() const { return m_open; }
    // True when the guard is a savepoint inside an outer transaction.
    bool isSavepoint() const { return m_savepoint; }

private:
    SqlConnection& m_connection;
    bool m_savepoint = false;
    bool m_open = false;
};
