// Macro and macro event operations of the profile store.
#include <sqlite3.h>

#include "store/ProfileStore.h"
#include "store/SQLiteStatement.h"
#include "store/StoreRows.h"

using namespace store_rows;

namespace {

// macro_type of a key assignment that plays the macro whose id is in macro_value.
constexpr int32_t kMacroAssignmentType = 3;

constexpr const char* kInsertMacro =
    "INSERT INTO t_macro_data(play_times, delay_type, delay_time, link_count, name) VALUES (?, ?, ?, ?, ?);";
constexpr const char* kInsertMacroEvent =
    "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) "
    "\t\t\t\t\t VALUES (?, ?, ?, ?, ?, ?);";
constexpr const char* kDeleteMacroEvents = "DELETE FROM t_macrorecord WHERE macro_id = ?";
constexpr const char* kListMacroEvents =
    "SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC";

void BindMacroEvent(SQLiteStatement& s, const MacroEventRecord& r) {
  s.BindInt(1, r.macro_id);
  s.BindInt(2, r.type);
  s.BindInt(3, r.record_index);
  BindString(s, 4, r.desc);
  s.BindInt(5, r.value);
  s.BindInt(6, r.delay_time);
}

}  // namespace

int32_t ProfileStore::AddMacro(const std::string& name) {
  MacroRecord record;
  record.name = name;
  record.play_times = 1;
  record.delay_type = 1;
  record.delay_time = 0;
  record.link_count = 0;
  return AddMacroFull(record);
}

int32_t ProfileStore::AddMacroFull(const MacroRecord& record) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, kInsertMacro);
  s.BindInt(1, record.play_times);
  s.BindInt(2, record.delay_type);
  s.BindInt(3, record.delay_time);
  s.BindInt(4, record.link_count);
  BindString(s, 5, record.name);
  if (!StepSucceeded(s.Step())) {
    return 0;
  }
  return static_cast<int32_t>(LastInsertRowId());
}

bool ProfileStore::RenameMacro(int32_t id, const std::string& name) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "UPDATE t_macro_data SET name = ? WHERE macro_id = ?");
  BindString(s, 1, name);
  s.BindInt(2, id);
  return StepSucceeded(s.Step());
}

bool ProfileStore::UpdateMacroPlayback(const MacroRecord& record) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "UPDATE t_macro_data SET play_times = ?, delay_type = ?, \t\t\t\t\t delay_time = ? WHERE macro_id = ?");
  s.BindInt(1, record.play_times);
  s.BindInt(2, record.delay_type);
  s.BindInt(3, record.delay_time);
  s.BindInt(4, record.macro_id);
  return StepSucceeded(s.Step());
}

bool ProfileStore::DeleteMacro(int32_t id) {
  std::lock_guard guard(lock_);
  // One transaction: no key is left pointing at a macro that is gone.
  return WriteAtomically(this, [&] {
    SQLiteStatement s;
    Prepare(s, "DELETE FROM t_macro_data WHERE macro_id = ?");
    s.BindInt(1, id);
    if (!StepSucceeded(s.Step())) {
      return false;
    }
    Prepare(s, kDeleteMacroEvents);
    s.BindInt(1, id);
    if (!StepSucceeded(s.Step())) {
      return false;
    }
    Prepare(s, "DELETE FROM t_key_macro_data WHERE macro_type = ? and macro_value = ?");
    s.BindInt(1, kMacroAssignmentType);
    s.BindInt(2, id);
    return StepSucceeded(s.Step());
  });
}

bool ProfileStore::GetMacroPlayTimes(int32_t id, int32_t& playTimes) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "SELECT play_times FROM t_macro_data WHERE macro_id = ?");
  s.BindInt(1, id);
  if (s.Step() != SQLITE_ROW) {
    return false;
  }
  playTimes = s.ColumnInt(0);
  return true;
}

bool ProfileStore::GetMacro(int32_t id, MacroRecord& record) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, "SELECT * FROM t_macro_data WHERE macro_id = ?");
  s.BindInt(1, id);
  if (s.Step() != SQLITE_ROW) {
    return false;
  }
  record = ReadMacro(s);
  return true;
}

int ProfileStore::ListMacros(std::vector<MacroRecord>& list) {
  std::lock_guard guard(lock_);
  list.clear();
  SQLiteStatement s;
  Prepare(s, "SELECT * FROM t_macro_data");
  return CollectRows(s, list, ReadMacro);
}

int32_t ProfileStore::AddMacroEvent(const MacroEventRecord& record) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, kInsertMacroEvent);
  BindMacroEvent(s, record);
  if (!StepSucceeded(s.Step())) {
    return 0;
  }
  return static_cast<int32_t>(LastInsertRowId());
}

bool ProfileStore::AddMacroEvents(const std::vector<MacroEventRecord>& list) {
  std::lock_guard guard(lock_);
  return WriteAtomically(this, [&] { return WriteMacroEvents(list); });
}

bool ProfileStore::ReplaceMacroEvents(int32_t id, const std::vector<MacroEventRecord>& list) {
  std::lock_guard guard(lock_);
  return WriteAtomically(this, [&] {
    SQLiteStatement s;
    Prepare(s, kDeleteMacroEvents);
    s.BindInt(1, id);
    return StepSucceeded(s.Step()) && WriteMacroEvents(list);
  });
}

bool ProfileStore::WriteMacroEvents(const std::vector<MacroEventRecord>& list) {
  SQLiteStatement s;
  Prepare(s, kInsertMacroEvent);
  for (const MacroEventRecord& record : list) {
    BindMacroEvent(s, record);
    if (!StepSucceeded(s.Step())) {
      return false;  // a macro with a gap in its events would play something else
    }
    s.Reset();
  }
  return true;
}

int ProfileStore::ListMacroEvents(int32_t id, std::vector<MacroEventRecord>& list) {
  std::lock_guard guard(lock_);
  list.clear();
  SQLiteStatement s;
  Prepare(s, kListMacroEvents);
  s.BindInt(1, id);
  return CollectRows(s, list, ReadMacroEvent);
}

bool ProfileStore::DeleteMacroEvents(int32_t id) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, kDeleteMacroEvents);
  s.BindInt(1, id);
  return StepSucceeded(s.Step());
}

int ProfileStore::CountMacroEvents(int32_t id) {
  std::lock_guard guard(lock_);
  SQLiteStatement s;
  Prepare(s, kListMacroEvents);
  s.BindInt(1, id);
  int count = 0;
  while (s.Step() == SQLITE_ROW) {
    if (s.ColumnInt(2) != 1) {
      ++count;
    }
  }
  return count;
}
