#include "store/LightFrameStore.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include "store/SQLiteStatement.h"
#include "store/SchemaStatements.h"
#include "store/StoreRows.h"

LightFrameStore::~LightFrameStore() {
  std::lock_guard guard(lock_);
  if (openFlag_.load()) {
    SQLiteDB::Close();
  }
}

LightFrameStore& LightFrameStore::Instance() {
  static LightFrameStore store;
  return store;
}

bool LightFrameStore::Open(const std::string& programFolder) {
  std::lock_guard guard(lock_);
  std::string folder = programFolder;
  if (!folder.empty() && folder.back() != '/') {
    folder += '/';
  }
  path_ = folder + "db/lightlayer_v1.data";
  bool result = false;
  struct stat info {};
  if (::stat(path_.c_str(), &info) == 0) {
    result = SQLiteDB::IsOpen() ||
             SQLiteDB::Open(path_.c_str(), key_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX);
  } else {
    result = SQLiteDB::Open(path_.c_str(), key_,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX) &&
             CreateSchema(*this, path_, LightFrameSchemaStatements());
  }
  openFlag_.store(result);
  return result;
}

bool LightFrameStore::Close() {
  std::lock_guard guard(lock_);
  openFlag_.store(false);
  return SQLiteDB::Close();
}

std::string LightFrameStore::Path() const {
  std::lock_guard guard(lock_);
  return path_;
}

int LightFrameStore::ListFrames(int32_t lightId, std::vector<FrameRecord>& list) {
  std::lock_guard guard(lock_);
  list.clear();
  SQLiteStatement s;
  Prepare(s, "SELECT * FROM t_light_frames WHERE light_id = ?");
  s.BindInt(1, lightId);
  return store_rows::CollectRows(s, list, store_rows::ReadFrame);
}
