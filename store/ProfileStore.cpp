#include "store/ProfileStore.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "docs/LangSettings.h"
#include "store/SQLiteStatement.h"
#include "store/SchemaStatements.h"
#include "store/StoreRows.h"

using namespace store_rows;

namespace {

constexpr int kOpenExisting = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;  // 0x10002
constexpr int kOpenCreate = kOpenExisting | SQLITE_OPEN_CREATE;               // 0x10006

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

ProfileStore::~ProfileStore() {
  std::lock_guard guard(lock_);
  if (openFlag_.load()) {
    SQLiteDB::Close();
  }
}

ProfileStore& ProfileStore::Instance() {
  static ProfileStore store;
  return store;
}

std::string ProfileStore::DatabasePath(const std::string& dataFolder,
                                       const std::string& typeName) {
  std::string path = dataFolder;
  if (!path.empty() && path.back() != '/') {
    path += '/';
  }
  return path + "db/" + typeName + "_data.db";
}

bool ProfileStore::OpenForDevice(const std::string& dataFolder, const std::string& typeName) {
  std::lock_guard guard(lock_);
  const bool result = OpenLocked(DatabasePath(dataFolder, typeName));
  openFlag_.store(result);
  return result;
}

bool ProfileStore::OpenLocked(const std::string& path) {
  path_ = path;
  if (FileExists(path_)) {
    if (SQLiteDB::IsOpen()) {
      return true;
    }
    if (!SQLiteDB::Open(path_.c_str(), key_, kOpenExisting)) {
      return false;
    }
    // Opening is lazy: read the header now, so that a file that is not a database is reported
    // instead of failing every later operation. The file itself is left as it is.
    SQLiteStatement probe;
    int rc = Prepare(probe, "SELECT count(*) FROM sqlite_master");
    if (rc == SQLITE_OK) {
      rc = probe.Step();
    }
    probe.Finalize();
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT) {
      SQLiteDB::Close();
      return false;
    }
    return true;
  }
  if (SQLiteDB::IsOpen()) {
    return true;
  }
  return SQLiteDB::Open(path_.c_str(), key_, kOpenCreate) &&
         CreateSchema(*this, path_, ProfileSchemaStatements());
}

bool ProfileStore::DeleteDatabaseFile(const std::string& dataFolder, const std::string& typeName) {
  const std::string path = DatabasePath(dataFolder, typeName);
  return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool ProfileStore::Close() {
  std::lock_guard guard(lock_);
  openFlag_.store(false);
  return SQLiteDB::Close();
}

bool ProfileStore::IsOpen() const {
  std::lock_guard guard(lock_);
  return SQLiteDB::IsOpen();
}

std::string ProfileStore::Path() const {
  std::lock_guard guard(lock_);
  return path_;
}

bool ProfileStore::RowExists(const char* sql, int32_t a, int32_t b, int bound) {
  SQLiteStatement s;
  Prepare(s, sql);
  s.BindInt(1, a);
  if (bound > 1) {
    s.BindInt(2, b);
  }
  return s.Step() == SQLITE_ROW;
}

// --- profiles and configuration

int32_t ProfileStore::AddProfile(const ProfileRecord& record) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);");
  BindString(s, 1, record.name);
  s.BindInt(2, 0);
  BindString(s, 3, record.app);
  s.BindInt(4, 0);
  if (!StepSucceeded(s.Step())) {
    return 0;
  }
  return static_cast<int32_t>(LastInsertRowId());
}

bool ProfileStore::DeleteProfile(int32_t id) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "DELETE FROM t_profile_data WHERE profile = ?");
  s.BindInt(1, id);
  return StepSucceeded(s.Step());
}

bool ProfileStore::RenameProfile(int32_t id, const std::string& name) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "UPDATE t_profile_data SET name = ? WHERE profile = ?");
  BindString(s, 1, name);
  s.BindInt(2, id);
  return StepSucceeded(s.Step());
}

bool ProfileStore::GetProfileName(int32_t id, std::string& name) {
  std::lock_guard guard(lock_);
  name.clear();
  SQLiteStatement s;
  Prepare(s, "SELECT name FROM t_profile_data WHERE profile = ?");
  s.BindInt(1, id);
  if (s.Step() != SQLITE_ROW) {
    return false;
  }
  name = Text(s, 0);
  return true;
}

int ProfileStore::ListProfiles(std::vector<ProfileRecord>& list) {
  std::lock_guard guard(lock_);
  list.clear();
  SQLiteStatement s;
  Prepare(s, "SELECT * FROM t_profile_data");
  while (s.Step() == SQLITE_ROW) {
    ProfileRecord r;
    r.profile = s.ColumnInt(0);
    r.name = Text(s, 1);
    r.status = s.ColumnInt(2);
    r.app = Text(s, 3);
    r.type = s.ColumnInt(4);
    list.push_back(std::move(r));
  }
  return static_cast<int>(list.size());
}

bool ProfileStore::WriteAll(const std::function<bool()>& steps) {
  std::lock_guard guard(lock_);
  if (InTransaction()) return false;  // a batch does not nest: the outer one would decide
  return WriteAtomically(this, steps);
}

bool ProfileStore::SetActiveProfile(int32_t id) {
  std::lock_guard guard(lock_);
  return WriteAtomically(this, [&] { return WriteActiveProfile(id); });
}

bool ProfileStore::WriteActiveProfile(int32_t id) {
  // Clearing every status for an id that has no row would leave no profile active.
  if (!RowExists("SELECT name FROM t_profile_data WHERE profile = ?", id, 0, 1)) {
    return false;
  }
  SQLiteStatement s;
  Prepare(s, "UPDATE t_profile_data SET status = ?");
  s.BindInt(1, 0);
  if (!StepSucceeded(s.Step())) {
    return false;
  }
  Prepare(s, "UPDATE t_profile_data SET status = ? WHERE profile = ?");
  s.BindInt(1, 1);
  s.BindInt(2, id);
  return StepSucceeded(s.Step());
}

int32_t ProfileStore::GetActiveProfile() {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "SELECT profile FROM t_profile_data WHERE status = ?");
  s.BindInt(1, 1);
  return s.Step() == SQLITE_ROW ? s.ColumnInt(0) : 0;
}

bool ProfileStore::InsertDefaultConfig() {
  std::lock_guard guard(lock_);
  return WriteAtomically(this, [&] { return WriteDefaultConfig(); });
}

bool ProfileStore::WriteDefaultConfig() {
  static const char* const kRows[][2] = {
      {"version", "1.0.1"},   {"keyboard_layout", "1"}, {"fn_layer", "0"},
      {"lightmode", "1"},     {"sleep_light", "1"},     {"userlight", "0"},
      {"customlight_run", "0"}, {"gamemode", "0"},      {"disable_alttab", "0"},
      {"disable_altf4", "0"}, {"disable_win", "0"},
  };
  constexpr int32_t kConfigProfile = 1;
  SQLiteStatement s;
  Prepare(s, "INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);");
  for (const auto& row : kRows) {
    s.BindInt(1, kConfigProfile);
    s.BindText(2, row[0], -1);
    s.BindText(3, row[1], -1);
    if (!StepSucceeded(s.Step())) {
      return false;
    }
    s.Reset();
  }
  return true;
}

int ProfileStore::ListProfilesWithDefaults(const std::string& profileWord,
                                           std::vector<ProfileRecord>& list) {
  // One lock across the check and the inserts: two callers never both create the defaults.
  std::lock_guard guard(lock_);
  if (ListProfiles(list) >= 1) {
    return static_cast<int>(list.size());
  }
  // All of the defaults or none: a half set would never be completed, as only an empty profile
  // table triggers them.
  WriteAtomically(this, [&] {
    ProfileRecord record;
    record.name = profileWord + " 1";
    const int32_t first = AddProfile(record);
    if (first == 0 || !WriteDefaultConfig()) {
      return false;
    }
    for (const char* suffix : {" 2", " 3"}) {
      record.name = profileWord + suffix;
      if (AddProfile(record) == 0) {
        return false;
      }
    }
    // The first profile, which a fresh file numbers 1.
    return WriteActiveProfile(first);
  });
  return ListProfiles(list);
}

int ProfileStore::ListProfilesWithDefaults(std::vector<ProfileRecord>& list) {
  return ListProfilesWithDefaults(GetLangText(65), list);
}

// --- key assignments

int32_t ProfileStore::SaveKeyAssignment(const KeyAssignmentRecord& record) {
  if (record.key_code == 0) {
    return 0;
  }
  std::lock_guard guard(lock_);
  int32_t id = 0;
  // Delete and insert together, so that the key never loses its old row without the new one.
  const bool written = WriteAtomically(this, [&] {
    SQLiteStatement s;
    Prepare(s, "DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?");
    s.BindInt(1, record.profile);
    s.BindInt(2, record.fn_layer);
    s.BindInt(3, record.key_code);
    if (!StepSucceeded(s.Step())) {
      return false;
    }
    if (record.macro_value == 0 && record.macro_value2 == 0) {
      return true;  // back to the key's default: no row remains
    }
    Prepare(s,
            "INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, layout_desc,"
            "                     macro_type, macro_value, macro_value2, macro_value3, macro_desc) "
            "\t\t\t\t\t VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
    s.BindInt(1, record.profile);
    s.BindInt(2, record.fn_layer);
    s.BindInt(3, record.key_code);
    s.BindInt(4, record.layout_value);
    BindString(s, 5, record.layout_desc);
    s.BindInt(6, record.macro_type);
    s.BindInt(7, record.macro_value);
    s.BindInt(8, record.macro_value2);
    s.BindInt(9, record.macro_value3);
    BindString(s, 10, record.macro_desc);
    if (!StepSucceeded(s.Step())) {
      return false;
    }
    id = static_cast<int32_t>(LastInsertRowId());
    return true;
  });
  return written ? id : 0;
}

bool ProfileStore::GetKeyAssignment(int32_t profile, int32_t fnLayer, int32_t keyCode,
                                    KeyAssignmentRecord& record) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?");
  s.BindInt(1, profile);
  s.BindInt(2, fnLayer);
  s.BindInt(3, keyCode);
  if (s.Step() != SQLITE_ROW) {
    return false;
  }
  record = ReadKeyAssignment(s);
  return true;
}

int ProfileStore::ListKeyAssignments(int32_t profile, int32_t fnLayer,
                                     std::vector<KeyAssignmentRecord>& list) {
  std::lock_guard guard(lock_);
  list.clear();
  SQLiteStatement s;
  Prepare(s, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?");
  s.BindInt(1, profile);
  s.BindInt(2, fnLayer);
  return CollectRows(s, list, ReadKeyAssignment);
}

void ProfileStore::ClearKeyAssignments(int32_t profile) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "DELETE FROM t_key_macro_data WHERE profile = ?");
  s.BindInt(1, profile);
  s.Step();
}

int32_t ProfileStore::AddKeyOtherData(const std::string& desc, const std::string& param,
                                      int32_t type) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);");
  BindString(s, 1, desc);
  BindString(s, 2, param);
  s.BindInt(3, type);
  if (!StepSucceeded(s.Step())) {
    return 0;
  }
  return static_cast<int32_t>(LastInsertRowId());
}

bool ProfileStore::GetKeyOtherData(int32_t id, std::string& desc, std::string& param,
                                   int32_t& type) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "SELECT macro_desc, param, type FROM t_key_otherdata WHERE macro_value = ?");
  s.BindInt(1, id);
  if (s.Step() != SQLITE_ROW) {
    return false;
  }
  desc = Text(s, 0);
  param = Text(s, 1);
  type = s.ColumnInt(2);
  return true;
}
