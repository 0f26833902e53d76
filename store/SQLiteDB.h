#pragma once
// Thin, exception-free layer over one SQLite connection. Results are SQLite codes or bools.
// The object owns its connection; statements prepared through it must not outlive it.
// No lock of its own: the connection is opened in serialised mode and the stores built on it
// serialise their operations themselves.
#include <cstdint>
#include <string>

struct sqlite3;

class SQLiteStatement;

class SQLiteDB {
public:
  SQLiteDB() = default;
  virtual ~SQLiteDB();
  SQLiteDB(const SQLiteDB&) = delete;
  SQLiteDB& operator=(const SQLiteDB&) = delete;

  // Closes a connection already open, then opens `path` (UTF-8) with the SQLite open flags.
  // A null path yields false. An empty key opens an ordinary file; a non-empty key needs an
  // encrypting build of SQLite, which this one is not, so it yields false and stays closed.
  bool Open(const char* path, const std::string& key, int flags);
  // True when no connection remains afterwards.
  bool Close();
  bool IsOpen() const { return handle_ != nullptr; }

  // Finalises whatever `statement` holds, then prepares `sql` into it. A negative length
  // means the whole text including its terminating zero. 21 (misuse) when closed or sql is null.
  int Prepare(SQLiteStatement& statement, const char* sql, int length = -1);
  int Exec(const char* sql, int (*callback)(void*, int, char**, char**) = nullptr,
           void* argument = nullptr);
  // Row id of the last insert on this connection, -1 when closed.
  int64_t LastInsertRowId() const;
  // True while a transaction is open on the connection. SQLite may end one on its own after
  // some errors (full disk, I/O), so a rollback asks here instead of trusting its own flag.
  bool InTransaction() const;

protected:
  sqlite3* Handle() const { return handle_; }

private:
  sqlite3* handle_ = nullptr;
};
