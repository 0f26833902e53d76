#pragma once
// Brackets a group of writes in one transaction. A transaction that is let go ends with "END"
// (commit). A multi-statement write calls Conclude instead, which commits when every step
// succeeded and otherwise rolls back, so the database is either fully written or as it was.
// The database is not owned and must outlive it. Called by whichever thread holds the lock of
// the store that owns the connection.
class SQLiteDB;

class SQLiteAutoTransaction {
public:
  // Begins at once when `database` is non-null and open.
  explicit SQLiteAutoTransaction(SQLiteDB* database);
  virtual ~SQLiteAutoTransaction();
  SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
  SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;

  // False without a database or when a transaction is already active.
  bool Begin();
  bool Commit();
  // Undoes every write since this object's "BEGIN". Never touches a transaction it did not
  // begin. True when no transaction remains open.
  bool Rollback();
  // Commits when `stepsSucceeded` and the commit goes through; otherwise (a failed step, or a
  // commit refused by a busy or full database) rolls back. True only when committed.
  bool Conclude(bool stepsSucceeded);
  bool IsActive() const { return active_; }
  // True when this object's "BEGIN" went through and the transaction has not ended since.
  bool Began() const { return began_; }

private:
  bool Exec(const char* sql);

  SQLiteDB* database_ = nullptr;
  bool active_ = false;
  bool began_ = false;
};
