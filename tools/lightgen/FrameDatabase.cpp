#include "tools/lightgen/FrameDatabase.h"

#include <sqlite3.h>

#include <cstdio>
#include <memory>

#include "store/SchemaStatements.h"

namespace {

struct StatementDeleter {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

}  // namespace

FrameDatabase::~FrameDatabase() {
  if (db_ != nullptr) sqlite3_close(db_);
}

bool FrameDatabase::Exec(const char* sql, std::string* error) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  *error = std::string(sql) + ": " + (message != nullptr ? message : "failed");
  sqlite3_free(message);
  return false;
}

bool FrameDatabase::Create(const std::string& path, std::string* error) {
  std::remove(path.c_str());
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    *error = "cannot create " + path;
    return false;
  }
  for (const std::string& statement : LightFrameSchemaStatements()) {
    if (!Exec(statement.c_str(), error)) return false;
  }
  return Exec("BEGIN", error);
}

bool FrameDatabase::AddFrames(int mode, const std::vector<uint32_t>& keyCodes,
                              const std::vector<std::vector<uint8_t>>& frames,
                              std::string* error) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_,
                         "INSERT INTO t_light_frames(light_id, frameIndex, key_value, rgb_value) "
                         "VALUES (?, ?, ?, ?);",
                         -1, &raw, nullptr) != SQLITE_OK) {
    *error = sqlite3_errmsg(db_);
    return false;
  }
  const Statement insert(raw);
  for (size_t f = 0; f < frames.size(); ++f) {
    if (frames[f].size() != keyCodes.size()) {
      *error = "frame size differs from the key count";
      return false;
    }
    for (size_t k = 0; k < keyCodes.size(); ++k) {
      const uint32_t level = frames[f][k];
      sqlite3_reset(insert.get());
      sqlite3_bind_int(insert.get(), 1, mode);
      sqlite3_bind_int(insert.get(), 2, static_cast<int>(f));
      sqlite3_bind_int(insert.get(), 3, static_cast<int>(keyCodes[k]));
      sqlite3_bind_int(insert.get(), 4, static_cast<int>(level | level << 8 | level << 16));
      if (sqlite3_step(insert.get()) != SQLITE_DONE) {
        *error = sqlite3_errmsg(db_);
        return false;
      }
    }
  }
  return true;
}

bool FrameDatabase::Finish(std::string* error) {
  const bool ok =
      Exec("INSERT INTO t_default_light_frames(light_id, frameIndex, key_value, rgb_value) "
           "SELECT light_id, frameIndex, key_value, rgb_value FROM t_light_frames ORDER BY frames_id",
           error) &&
      Exec("COMMIT", error);
  const bool closed = sqlite3_close(db_) == SQLITE_OK;
  db_ = nullptr;
  if (!closed && error->empty()) *error = "close failed";
  return ok && closed;
}
