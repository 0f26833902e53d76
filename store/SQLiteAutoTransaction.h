#pragma once
// Brackets a group of writes in one transaction. Always ends with "END" (commit): the batch
// writers ignore failed rows and keep the rest. The database is not owned and must outlive it.
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
  bool IsActive() const { return active_; }

private:
  SQLiteDB* database_ = nullptr;
  bool active_ = false;
};
