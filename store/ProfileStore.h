#pragma once
// The profile database: profiles, key assignments per profile and Fn layer, the text payloads of
// host-side assignments, macros and their events, lighting settings per profile and mode, per-key
// colour slots and the key/value configuration rows. One file per keyboard type.
//
// Threads: every operation (including open, close and the first-use defaults) holds the store's
// one lock for its whole duration, so the worker, the UI and the capture thread may call it at
// once. Records are plain values; list operations empty the caller's vector before filling it.
// Failure is quiet: on a closed or unusable database reads yield nothing (0, false) and inserts 0.
// An operation that writes more than one statement does so in one transaction: when any of its
// steps fails (full disk, read-only file, busy database) it rolls back, leaves the database as it
// was and says so in its result.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "store/SQLiteDB.h"
#include "store/StoreRecords.h"

class ProfileStore : protected SQLiteDB {
public:
  ProfileStore() = default;
  ~ProfileStore() override;

  // The process-wide store, created closed on first use.
  static ProfileStore& Instance();

  // Path of the profile database of a keyboard type inside the data folder.
  static std::string DatabasePath(const std::string& dataFolder, const std::string& typeName);
  // Opens dataFolder/db/<typeName>_data.db, creating an empty schema when the file is missing (a
  // creation that fails leaves no file behind, so the next open tries again).
  // A file that exists is opened as is (no schema statement runs); one that is not a database
  // is left untouched and yields false. The result is kept as the open flag.
  bool OpenForDevice(const std::string& dataFolder, const std::string& typeName);
  // Deletes the database file of the type (the store must be closed first); true when gone.
  static bool DeleteDatabaseFile(const std::string& dataFolder, const std::string& typeName);
  // Closes the connection and clears the open flag.
  bool Close();
  bool IsOpen() const;
  bool OpenFlag() const { return openFlag_.load(); }
  std::string Path() const;

  // Device type of the keyboard the open file belongs to (set by device detection).
  void SetDeviceType(int32_t type) { deviceType_.store(type); }
  int32_t DeviceType() const { return deviceType_.load(); }

  // Runs `steps` (calls of this store's operations) under the store's lock in one transaction:
  // their writes are all committed when `steps` yields true and the commit goes through, and
  // none of them otherwise. The multi-statement operations join this transaction. Any thread;
  // other callers wait for the whole batch.
  bool WriteAll(const std::function<bool()>& steps);

  // --- profiles and configuration
  int32_t AddProfile(const ProfileRecord& record);
  bool DeleteProfile(int32_t id);
  bool RenameProfile(int32_t id, const std::string& name);
  bool GetProfileName(int32_t id, std::string& name);
  int ListProfiles(std::vector<ProfileRecord>& list);
  // Makes `id` the single active profile. An id without a row changes nothing and yields false.
  bool SetActiveProfile(int32_t id);
  int32_t GetActiveProfile();
  // The eleven configuration rows of profile 1, all or none; true when written.
  bool InsertDefaultConfig();
  // First use: when no profile exists, adds "<word> 1" (with the default configuration rows),
  // "<word> 2", "<word> 3" and makes the first of them active, all or none; `profileWord` is
  // language text 65. Fills `list` with the profiles afterwards and yields their number.
  int ListProfilesWithDefaults(const std::string& profileWord, std::vector<ProfileRecord>& list);
  // The same with text 65 of the current language.
  int ListProfilesWithDefaults(std::vector<ProfileRecord>& list);

  // --- key assignments
  // key_code 0 does nothing; values 0/0 remove the key's row (yields 0); otherwise replaces the
  // row of (profile, fn_layer, key_code) and yields its new key_id. A failed replacement yields 0
  // and keeps the old row.
  int32_t SaveKeyAssignment(const KeyAssignmentRecord& record);
  bool GetKeyAssignment(int32_t profile, int32_t fnLayer, int32_t keyCode,
                        KeyAssignmentRecord& record);
  int ListKeyAssignments(int32_t profile, int32_t fnLayer, std::vector<KeyAssignmentRecord>& list);
  void ClearKeyAssignments(int32_t profile);
  int32_t AddKeyOtherData(const std::string& desc, const std::string& param, int32_t type);
  // True when the row exists; the outputs are set only then.
  bool GetKeyOtherData(int32_t id, std::string& desc, std::string& param, int32_t& type);

  // --- macros (global, not per profile)
  int32_t AddMacro(const std::string& name);
  int32_t AddMacroFull(const MacroRecord& record);
  bool RenameMacro(int32_t id, const std::string& name);
  bool UpdateMacroPlayback(const MacroRecord& record);
  // Removes the macro, its events and every key assignment (any profile) that plays it; all of
  // them or, yielding false, none.
  bool DeleteMacro(int32_t id);
  bool GetMacroPlayTimes(int32_t id, int32_t& playTimes);
  bool GetMacro(int32_t id, MacroRecord& record);
  int ListMacros(std::vector<MacroRecord>& list);
  int32_t AddMacroEvent(const MacroEventRecord& record);
  // One transaction for the whole list: every row is written, or none and the result is false.
  bool AddMacroEvents(const std::vector<MacroEventRecord>& list);
  // Deletes the macro's events and writes `list` in their place, all or nothing; true when written.
  bool ReplaceMacroEvents(int32_t id, const std::vector<MacroEventRecord>& list);
  int ListMacroEvents(int32_t id, std::vector<MacroEventRecord>& list);
  bool DeleteMacroEvents(int32_t id);
  // Events that count (every type but 1).
  int CountMacroEvents(int32_t id);

  // --- lighting
  int CountLightSettings(int32_t profile);
  int32_t AddLightSetting(const LightRecord& record);
  bool UpdateLightSetting(int32_t profile, int32_t mode, const LightRecord& record);
  // At most one lighting row of the whole database is active. A (profile, mode) without a row
  // changes nothing and yields false.
  bool SetActiveLightMode(int32_t profile, int32_t mode);
  // First showing of a profile's lighting: adds `rows` (the layout's mode table, in its order),
  // each under `profile`, and makes `activeMode` of `profile` the single active mode, all or
  // none; true when written (an `activeMode` not among the rows writes nothing).
  bool AddDefaultLightSettings(int32_t profile, const std::vector<LightRecord>& rows,
                               int32_t activeMode);
  int32_t GetActiveLightMode(int32_t profile);
  bool GetLightSetting(int32_t profile, int32_t mode, LightRecord& record);
  int ListLightSettings(int32_t profile, std::vector<LightRecord>& list);
  // Colour slots (light_id 128 + slot index) are shared by all profiles. Writes the whole list or
  // nothing; yields the number of rows written.
  int AddKeyColours(const std::vector<KeyColourRecord>& list);
  // Deletes the slot's colours and writes `list` in their place, all or nothing; yields the number
  // of rows written.
  int ReplaceKeyColours(int32_t lightId, const std::vector<KeyColourRecord>& list);
  bool DeleteKeyColours(int32_t lightId);
  int ListKeyColours(int32_t lightId, std::vector<KeyColourRecord>& list);

private:
  bool OpenLocked(const std::string& path);
  bool RowExists(const char* sql, int32_t a, int32_t b, int bound);
  // The steps of the multi-statement writes, without lock or transaction, so that a larger write
  // can include them in its own. True when every statement succeeded.
  bool WriteActiveProfile(int32_t id);
  bool WriteDefaultConfig();
  bool WriteActiveLightMode(int32_t profile, int32_t mode);
  bool WriteMacroEvents(const std::vector<MacroEventRecord>& list);
  bool WriteKeyColours(const std::vector<KeyColourRecord>& list);

  mutable std::recursive_mutex lock_;
  std::string path_;
  const std::string key_;     // never keyed
  const std::string rekey_;
  std::atomic<int32_t> deviceType_{0};
  std::atomic<bool> openFlag_{false};
};
