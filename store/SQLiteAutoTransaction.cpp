#include "store/SQLiteAutoTransaction.h"

#include "store/SQLiteDB.h"

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB* database) : database_(database) {
  if (database_ != nullptr) {
    if (database_->IsOpen()) {
      began_ = Exec("BEGIN");
    }
    active_ = true;
  }
}

SQLiteAutoTransaction::~SQLiteAutoTransaction() {
  if (active_ && database_ != nullptr) {
    if (database_->IsOpen()) {
      Exec("END");
    }
    active_ = false;
  }
}

bool SQLiteAutoTransaction::Exec(const char* sql) { return database_->Exec(sql) == 0; }

bool SQLiteAutoTransaction::Begin() {
  if (database_ == nullptr || active_) {
    return false;
  }
  active_ = true;
  if (!database_->IsOpen()) {
    return false;
  }
  began_ = Exec("BEGIN");
  return began_;
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
  const bool committed = Exec("END");
  // A refused commit leaves the transaction open: keep it ours so that Rollback can end it.
  began_ = began_ && !committed;
  return committed;
}

bool SQLiteAutoTransaction::Rollback() {
  const bool ours = began_;
  active_ = false;
  began_ = false;
  if (database_ == nullptr || !database_->IsOpen() || !ours) {
    return false;
  }
  // After a full disk or an I/O error SQLite may already have rolled back on its own.
  if (database_->InTransaction()) {
    Exec("ROLLBACK");
  }
  return !database_->InTransaction();
}

bool SQLiteAutoTransaction::Conclude(bool stepsSucceeded) {
  if (stepsSucceeded && began_ && Commit()) {
    return true;
  }
  Rollback();
  return false;
}
