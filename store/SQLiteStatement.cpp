#include "store/SQLiteStatement.h"

#include <sqlite3.h>

#include <utility>

SQLiteStatement::~SQLiteStatement() { Finalize(); }

SQLiteStatement::SQLiteStatement(SQLiteStatement&& other) noexcept
    : done_(other.done_), handle_(std::exchange(other.handle_, nullptr)) {
  other.done_ = 1;
}

SQLiteStatement& SQLiteStatement::operator=(SQLiteStatement&& other) noexcept {
  if (this != &other) {
    Finalize();
    done_ = std::exchange(other.done_, 1);
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

bool SQLiteStatement::Finalize() {
  if (handle_ != nullptr) {
    // sqlite3_finalize always frees the statement; its code only repeats the last step error.
    sqlite3_finalize(handle_);
    handle_ = nullptr;
    done_ = 1;
  }
  return true;
}

int SQLiteStatement::BindInt(int index, int32_t value) {
  if (handle_ == nullptr) {
    return SQLITE_MISUSE;
  }
  return sqlite3_bind_int(handle_, index, value);
}

int SQLiteStatement::BindText(int index, const char* bytes, int length) {
  if (handle_ == nullptr) {
    return SQLITE_MISUSE;
  }
  return sqlite3_bind_text(handle_, index, bytes, length, SQLITE_STATIC);
}

int SQLiteStatement::Step() {
  if (handle_ == nullptr) {
    return SQLITE_MISUSE;
  }
  const int rc = sqlite3_step(handle_);
  if (rc == SQLITE_DONE) {
    done_ = 1;
  }
  return rc;
}

int SQLiteStatement::Reset() {
  if (handle_ == nullptr) {
    return SQLITE_MISUSE;
  }
  // sqlite3_reset repeats the last step's error; a batch that ignores row failures must not stop here.
  sqlite3_reset(handle_);
  done_ = 1;
  return sqlite3_clear_bindings(handle_);
}

int32_t SQLiteStatement::ColumnInt(int column) const {
  if (handle_ == nullptr) {
    return 0;
  }
  return sqlite3_column_int(handle_, column);
}

const char* SQLiteStatement::ColumnText(int column) const {
  if (handle_ == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<const char*>(sqlite3_column_text(handle_, column));
}
