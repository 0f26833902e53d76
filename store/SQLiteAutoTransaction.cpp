#include "store/SQLiteAutoTransaction.h"

#include "store/SQLiteDB.h"

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB* database) : database_(database) {
  if (database_ != nullptr) {
    if (database_->IsOpen()) {
      database_->Exec("BEGIN");
    }
    active_ = true;
  }
}

SQLiteAutoTransaction::~SQLiteAutoTransaction() {
  if (active_ && database_ != nullptr) {
    if (database_->IsOpen()) {
      database_->Exec("END");
    }
    active_ = false;
  }
}

bool SQLiteAutoTransaction::Begin() {
  if (database_ == nullptr || active_) {
    return false;
  }
  active_ = true;
  if (!database_->IsOpen()) {
    return false;
  }
  return database_->Exec("BEGIN") == 0;
}

bool SQLiteAutoTransaction::Commit() {
  if (database_ == nullptr) {
    return false;
  }
  if (!database_->IsOpen()) {
    active_ = false;
    return false;
  }
  active_ = false;
  return database_->Exec("END") == 0;
}
