#pragma once
// A data folder of its own per test and a plain connection for reading back what the store wrote.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "store/ProfileStore.h"
#include "support/TempFolder.h"

// A data folder of its own per test, with the db/ sub-folder the stores open their files in.
class StoreFolder : public TempFolder {
public:
  StoreFolder() : TempFolder("kwstore") { MakeFolder("db"); }
};

inline constexpr const char* kTypeName = "Tarnwick_V3";

// Runs one query returning a single integer through an independent connection. (read-write, so that a hot journal left by a killed writer is rolled back)
inline int QueryInt(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  int value = -1;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW) {
      value = sqlite3_column_int(st, 0);
    }
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return value;
}

inline std::string QueryText(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  std::string value;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0) != nullptr) {
      value = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    }
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return value;
}

// A store opened on a fresh folder.
class FreshStore : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), kTypeName)); }
  std::string File() const { return ProfileStore::DatabasePath(folder.Slashed(), kTypeName); }

  StoreFolder folder;
  ProfileStore store;
};
