#include "store/SQLiteDB.h"

#include <sqlite3.h>

#include <cstring>

#include "store/SQLiteStatement.h"

SQLiteDB::~SQLiteDB() {
  if (handle_ != nullptr) {
    sqlite3_interrupt(handle_);
    // close_v2 never leaves the connection behind, even if a statement were still held.
    sqlite3_close_v2(handle_);
    handle_ = nullptr;
  }
}

bool SQLiteDB::Open(const char* path, const std::string& key, int flags) {
  if (handle_ != nullptr) {
    sqlite3_interrupt(handle_);
    if (sqlite3_close(handle_) != SQLITE_OK) {
      return false;  // still busy: keep the old connection rather than leak it
    }
    handle_ = nullptr;
  }
  if (path == nullptr) {
    return false;
  }
  sqlite3* opened = nullptr;
  if (sqlite3_open_v2(path, &opened, flags, nullptr) != SQLITE_OK) {
    sqlite3_close(opened);
    return false;
  }
  handle_ = opened;
  sqlite3_exec(handle_, "PRAGMA synchronous = OFF; ", nullptr, nullptr, nullptr);
  if (key.empty()) {
    return true;
  }
  // This SQLite has no codec: a keyed database cannot be opened, so say so instead of
  // handing back a connection to a file that would be stored in clear.
  Close();
  return false;
}

bool SQLiteDB::Close() {
  if (handle_ != nullptr && sqlite3_close(handle_) == SQLITE_OK) {
    handle_ = nullptr;
  }
  return handle_ == nullptr;
}

int SQLiteDB::Prepare(SQLiteStatement& statement, const char* sql, int length) {
  statement.Finalize();
  if (handle_ == nullptr || sql == nullptr) {
    return SQLITE_MISUSE;
  }
  if (length < 0) {
    length = static_cast<int>(std::strlen(sql)) + 1;
  }
  return sqlite3_prepare_v2(handle_, sql, length, &statement.handle_, nullptr);
}

int SQLiteDB::Exec(const char* sql, int (*callback)(void*, int, char**, char**), void* argument) {
  if (handle_ == nullptr || sql == nullptr) {
    return SQLITE_MISUSE;
  }
  return sqlite3_exec(handle_, sql, callback, argument, nullptr);
}

int64_t SQLiteDB::LastInsertRowId() const {
  if (handle_ == nullptr) {
    return -1;
  }
  return sqlite3_last_insert_rowid(handle_);
}

bool SQLiteDB::InTransaction() const {
  return handle_ != nullptr && sqlite3_get_autocommit(handle_) == 0;
}
