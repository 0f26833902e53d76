#pragma once
// One prepared statement, finalised by its owner. Lives on the stack of the operation that uses
// it; move-only. Every method yields 21 (misuse) when no statement is held, the column readers
// 0 or null.
#include <cstdint>

struct sqlite3_stmt;

class SQLiteStatement {
public:
  SQLiteStatement() = default;
  virtual ~SQLiteStatement();
  SQLiteStatement(const SQLiteStatement&) = delete;
  SQLiteStatement& operator=(const SQLiteStatement&) = delete;
  SQLiteStatement(SQLiteStatement&& other) noexcept;
  SQLiteStatement& operator=(SQLiteStatement&& other) noexcept;

  // 1-based parameter index.
  int BindInt(int index, int32_t value);
  // Bound without copying: the bytes must stay alive until the statement is stepped.
  int BindText(int index, const char* bytes, int length);
  // 100 for a row, 101 for done (which also sets the done flag).
  int Step();
  // 0-based column of the current row.
  int32_t ColumnInt(int column) const;
  // UTF-8 text of the column, null for NULL or without a statement. Valid until the next step.
  const char* ColumnText(int column) const;

  // Makes the statement ready to step again with fresh bindings, so a batch prepares its SQL once.
  int Reset();

  bool IsDone() const { return done_ != 0; }
  bool HasStatement() const { return handle_ != nullptr; }
  // Finalises the statement; true when none is held afterwards.
  bool Finalize();

private:
  friend class SQLiteDB;
  int32_t done_ = 1;
  sqlite3_stmt* handle_ = nullptr;
};
