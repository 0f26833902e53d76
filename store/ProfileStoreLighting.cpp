// Lighting settings and per-key colour slots of the profile store.
#include <sqlite3.h>

#include "store/ProfileStore.h"
#include "store/SQLiteStatement.h"
#include "store/StoreRows.h"

using namespace store_rows;

namespace {

constexpr const char* kGetLightSetting = "SELECT * FROM t_light_data WHERE profile = ? AND mode = ?";
constexpr const char* kDeleteKeyColours = "DELETE FROM t_key_light_data WHERE light_id = ?";
constexpr const char* kInsertLightSetting =
    "INSERT INTO t_light_data(profile, name, mode, brightness, speed, direction, "
    "\t\t\t\t\t colorful, colorindex, color_value, config_func, reserved, status) "
    "\t\t\t\t\t VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);";

void BindLightSetting(SQLiteStatement& s, int32_t profile, const LightRecord& r) {
  s.BindInt(1, profile);
  BindString(s, 2, r.name);
  s.BindInt(3, r.mode);
  s.BindInt(4, r.brightness);
  s.BindInt(5, r.speed);
  s.BindInt(6, r.direction);
  s.BindInt(7, r.colorful);
  s.BindInt(8, r.colorindex);
  s.BindInt(9, r.color_value);
  s.BindInt(10, r.config_func);
  s.BindInt(11, r.reserved);
  s.BindInt(12, r.status);
}

}  // namespace

int ProfileStore::CountLightSettings(int32_t profile) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "select count(*) FROM t_light_data WHERE profile = ?");
  s.BindInt(1, profile);
  return s.Step() == SQLITE_ROW ? s.ColumnInt(0) : 0;
}

int32_t ProfileStore::AddLightSetting(const LightRecord& record) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, kInsertLightSetting);
  BindLightSetting(s, record.profile, record);
  if (!StepSucceeded(s.Step())) {
    return 0;
  }
  return static_cast<int32_t>(LastInsertRowId());
}

bool ProfileStore::UpdateLightSetting(int32_t profile, int32_t mode, const LightRecord& r) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s,
          "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, colorful = ?, "
          "colorindex = ?,\t\t\t color_value = ?, config_func = ?, reserved = ? WHERE profile = ? "
          "AND mode = ?");
  s.BindInt(1, r.brightness);
  s.BindInt(2, r.speed);
  s.BindInt(3, r.direction);
  s.BindInt(4, r.colorful);
  s.BindInt(5, r.colorindex);
  s.BindInt(6, r.color_value);
  s.BindInt(7, r.config_func);
  s.BindInt(8, r.reserved);
  s.BindInt(9, profile);
  s.BindInt(10, mode);
  return StepSucceeded(s.Step());
}

bool ProfileStore::SetActiveLightMode(int32_t profile, int32_t mode) {
  std::lock_guard guard(lock_);
  return WriteAtomically(this, [&] { return WriteActiveLightMode(profile, mode); });
}

bool ProfileStore::WriteActiveLightMode(int32_t profile, int32_t mode) {
  // Clearing every row for a (profile, mode) that does not exist would only lose the active one.
  if (!RowExists(kGetLightSetting, profile, mode, 2)) {
    return false;
  }
  SQLiteStatement s;
  Prepare(s, "UPDATE t_light_data SET status = ?");
  s.BindInt(1, 0);
  if (!StepSucceeded(s.Step())) {
    return false;
  }
  Prepare(s, "UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?");
  s.BindInt(1, 1);
  s.BindInt(2, profile);
  s.BindInt(3, mode);
  return StepSucceeded(s.Step());
}

bool ProfileStore::AddDefaultLightSettings(int32_t profile, const std::vector<LightRecord>& rows,
                                           int32_t activeMode) {
  std::lock_guard guard(lock_);
  // A profile with only some of its modes would never get the rest: the defaults are added only
  // while it has none.
  return WriteAtomically(this, [&] {
    SQLiteStatement s;
    Prepare(s, kInsertLightSetting);
    for (const LightRecord& row : rows) {
      BindLightSetting(s, profile, row);
      if (!StepSucceeded(s.Step())) {
        return false;
      }
      s.Reset();
    }
    s.Finalize();
    return WriteActiveLightMode(profile, activeMode);
  });
}

int32_t ProfileStore::GetActiveLightMode(int32_t profile) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "SELECT mode FROM t_light_data WHERE profile = ? and status = ?");
  s.BindInt(1, profile);
  s.BindInt(2, 1);
  return s.Step() == SQLITE_ROW ? s.ColumnInt(0) : 0;
}

bool ProfileStore::GetLightSetting(int32_t profile, int32_t mode, LightRecord& record) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, kGetLightSetting);
  s.BindInt(1, profile);
  s.BindInt(2, mode);
  if (s.Step() != SQLITE_ROW) {
    return false;
  }
  record = ReadLight(s);
  return true;
}

int ProfileStore::ListLightSettings(int32_t profile, std::vector<LightRecord>& list) {
  std::lock_guard guard(lock_);
  list.clear();
  SQLiteStatement s;
  Prepare(s, "SELECT * FROM t_light_data WHERE profile = ?");
  s.BindInt(1, profile);
  return CollectRows(s, list, ReadLight);
}

int ProfileStore::AddKeyColours(const std::vector<KeyColourRecord>& list) {
  std::lock_guard guard(lock_);
  const bool written = WriteAtomically(this, [&] { return WriteKeyColours(list); });
  return written ? static_cast<int>(list.size()) : 0;
}

int ProfileStore::ReplaceKeyColours(int32_t lightId, const std::vector<KeyColourRecord>& list) {
  std::lock_guard guard(lock_);
  const bool written = WriteAtomically(this, [&] {
    SQLiteStatement s;
    Prepare(s, kDeleteKeyColours);
    s.BindInt(1, lightId);
    return StepSucceeded(s.Step()) && WriteKeyColours(list);
  });
  return written ? static_cast<int>(list.size()) : 0;
}

bool ProfileStore::WriteKeyColours(const std::vector<KeyColourRecord>& list) {
  SQLiteStatement s;
  Prepare(s, "INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) VALUES (?, ?, ?, ?);");
  for (const KeyColourRecord& r : list) {
    s.BindInt(1, r.profile);
    s.BindInt(2, r.light_id);
    s.BindInt(3, r.key_code);
    s.BindInt(4, r.key_rgb);
    if (!StepSucceeded(s.Step())) {
      return false;  // half a slot would light some keys and leave the rest dark
    }
    s.Reset();
  }
  return true;
}

bool ProfileStore::DeleteKeyColours(int32_t lightId) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, kDeleteKeyColours);
  s.BindInt(1, lightId);
  return StepSucceeded(s.Step());
}

int ProfileStore::ListKeyColours(int32_t lightId, std::vector<KeyColourRecord>& list) {
  std::lock_guard guard(lock_);
  list.clear();
  SQLiteStatement s;
  Prepare(s, "SELECT * FROM t_key_light_data WHERE light_id = ?");
  s.BindInt(1, lightId);
  return CollectRows(s, list, ReadKeyColour);
}
