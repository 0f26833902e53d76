#pragma once
// A data folder of its own per test (with its db/ sub-folder), removed afterwards, and a plain
// connection for reading back what the store wrote.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "store/ProfileStore.h"

class TempFolder {
public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kwstore-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) != nullptr ? pattern + "/" : std::string();
    std::filesystem::create_directories(path_ + "db");
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }

private:
  std::string path_;
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
  void SetUp() override { ASSERT_TRUE(store.OpenForDevice(folder.Path(), kTypeName)); }
  std::string File() const { return ProfileStore::DatabasePath(folder.Path(), kTypeName); }

  TempFolder folder;
  ProfileStore store;
};
