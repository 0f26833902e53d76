#pragma once
// Helpers shared by the store's source files: step results, all-or-nothing writes and row
// readers for "SELECT *".
#include <sqlite3.h>

#include <string>
#include <vector>

#include "store/SQLiteAutoTransaction.h"
#include "store/SQLiteStatement.h"
#include "store/StoreRecords.h"

namespace store_rows {

inline bool StepSucceeded(int rc) { return rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE; }

// Runs `steps`, which yields whether every one of its writes succeeded, in one transaction of
// `database`: all of them are committed, or none (the steps do not run when "BEGIN" fails).
// True only when committed. The caller holds the store's lock. Inside a transaction the caller
// already opened (ProfileStore::WriteAll) the steps join it, and that one decides.
template <class Steps>
bool WriteAtomically(SQLiteDB* database, Steps&& steps) {
  if (database != nullptr && database->InTransaction()) return steps();
  SQLiteAutoTransaction transaction(database);
  const bool succeeded = transaction.Began() && steps();
  return transaction.Conclude(succeeded);
}

inline std::string Text(const SQLiteStatement& s, int column) {
  const char* text = s.ColumnText(column);
  return text != nullptr ? std::string(text) : std::string();
}

inline int BindString(SQLiteStatement& s, int index, const std::string& text) {
  return s.BindText(index, text.c_str(), static_cast<int>(text.size()));
}

// Steps `s` to the end, appending each row read by `read`; returns the list's size.
template <class Record, class Reader>
int CollectRows(SQLiteStatement& s, std::vector<Record>& list, Reader read) {
  while (s.Step() == SQLITE_ROW) {
    list.push_back(read(s));
  }
  return static_cast<int>(list.size());
}

inline KeyAssignmentRecord ReadKeyAssignment(const SQLiteStatement& s) {
  KeyAssignmentRecord r;
  r.key_id = s.ColumnInt(0);
  r.profile = s.ColumnInt(1);
  r.fn_layer = s.ColumnInt(2);
  r.key_code = s.ColumnInt(3);
  r.layout_value = s.ColumnInt(4);
  r.layout_desc = Text(s, 5);
  r.macro_type = s.ColumnInt(6);
  r.macro_value = s.ColumnInt(7);
  r.macro_value2 = s.ColumnInt(8);
  r.macro_value3 = s.ColumnInt(9);
  r.macro_desc = Text(s, 10);
  return r;
}

inline MacroRecord ReadMacro(const SQLiteStatement& s) {
  MacroRecord r;
  r.macro_id = s.ColumnInt(0);
  r.play_times = s.ColumnInt(1);
  r.delay_type = s.ColumnInt(2);
  r.delay_time = s.ColumnInt(3);
  r.link_count = s.ColumnInt(4);
  r.name = Text(s, 5);
  return r;
}

inline MacroEventRecord ReadMacroEvent(const SQLiteStatement& s) {
  MacroEventRecord r;
  r.record_id = s.ColumnInt(0);
  r.macro_id = s.ColumnInt(1);
  r.type = s.ColumnInt(2);
  r.record_index = s.ColumnInt(3);
  r.desc = Text(s, 4);
  r.value = s.ColumnInt(5);
  r.delay_time = s.ColumnInt(6);
  return r;
}

inline LightRecord ReadLight(const SQLiteStatement& s) {
  LightRecord r;
  r.light_id = s.ColumnInt(0);
  r.profile = s.ColumnInt(1);
  r.name = Text(s, 2);
  r.mode = s.ColumnInt(3);
  r.brightness = s.ColumnInt(4);
  r.speed = s.ColumnInt(5);
  r.direction = s.ColumnInt(6);
  r.colorful = s.ColumnInt(7);
  r.colorindex = s.ColumnInt(8);
  r.color_value = s.ColumnInt(9);
  r.config_func = s.ColumnInt(10);
  r.reserved = s.ColumnInt(11);
  r.status = s.ColumnInt(12);
  return r;
}

inline KeyColourRecord ReadKeyColour(const SQLiteStatement& s) {
  KeyColourRecord r;
  r.keylight_id = s.ColumnInt(0);
  r.profile = s.ColumnInt(1);
  r.light_id = s.ColumnInt(2);
  r.key_code = s.ColumnInt(3);
  r.key_rgb = s.ColumnInt(4);
  return r;
}

inline FrameRecord ReadFrame(const SQLiteStatement& s) {
  FrameRecord r;
  r.frames_id = s.ColumnInt(0);
  r.light_id = s.ColumnInt(1);
  r.frameIndex = s.ColumnInt(2);
  r.key_value = s.ColumnInt(3);
  r.rgb_value = s.ColumnInt(4);
  return r;
}

}  // namespace store_rows
