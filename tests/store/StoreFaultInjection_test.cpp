// Every store operation that writes more than one statement, run against a real SQLite file with a
// fault injected: a trigger that fails one later step, a full disk, a second connection holding
// the write lock, a reader that keeps the commit from going through, and a read-only file. Each
// must report the failure and leave every table exactly as it was, then succeed once the fault is
// gone (so no transaction was left open behind it).
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "StoreTestSupport.h"

namespace {

// Exposes the connection so that a test can limit the file's size on the store's own connection.
class FaultableStore : public ProfileStore {
public:
  using SQLiteDB::Exec;
};

// Every row of every table (sqlite_sequence included) through a connection of its own, or a text
// saying why the file could not be read.
std::string DumpTables(const std::string& file) {
  sqlite3* db = nullptr;
  std::string dump;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return "<cannot open>";
  }
  std::vector<std::string> tables;
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v2(
      db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", -1, &st, nullptr);
  while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
    tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    rc = SQLITE_OK;
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) {
    sqlite3_close(db);
    return "<unreadable: " + std::to_string(rc) + ">";
  }
  for (const std::string& table : tables) {
    dump += "[" + table + "]\n";
    const std::string sql = "SELECT * FROM \"" + table + "\" ORDER BY rowid";
    rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
      for (int c = 0; c < sqlite3_column_count(st); ++c) {
        const unsigned char* text = sqlite3_column_text(st, c);
        dump += text != nullptr ? reinterpret_cast<const char*>(text) : "NULL";
        dump += '|';
      }
      dump += '\n';
      rc = SQLITE_OK;
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
      dump += "<unreadable: " + std::to_string(rc) + ">";
      break;
    }
  }
  sqlite3_close(db);
  return dump;
}

// Where two dumps part, from the start of that line and shortened; empty when they are the same.
std::string FirstDifference(const std::string& before, const std::string& after) {
  constexpr size_t kShown = 160;
  if (before == after) return "";
  size_t i = 0;
  while (i < before.size() && i < after.size() && before[i] == after[i]) ++i;
  const size_t newline = i == 0 ? std::string::npos : before.rfind('\n', i - 1);
  const size_t line = newline == std::string::npos ? 0 : newline + 1;
  return "before: " + before.substr(line, kShown) + "\nafter:  " + after.substr(line, kShown);
}

// Runs SQL on a connection of the test's own; the connection stays open (and keeps its locks)
// until the object goes.
class OtherConnection {
public:
  explicit OtherConnection(const std::string& file) {
    sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
  }
  ~OtherConnection() { sqlite3_close_v2(db_); }
  OtherConnection(const OtherConnection&) = delete;
  OtherConnection& operator=(const OtherConnection&) = delete;
  int Exec(const std::string& sql) { return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr); }

private:
  sqlite3* db_ = nullptr;
};

constexpr int32_t kSeedMacroEvents = 3;
constexpr int32_t kBigBatch = 300;    // rows enough to need new pages of the file
constexpr size_t kBigText = 20000;     // a text that needs overflow pages

MacroEventRecord Event(int32_t macro, int32_t index, const std::string& desc) {
  return {0, macro, 2, index, 65 + index % 26, 10, desc};
}

LightRecord Light(int32_t profile, int32_t mode, const std::string& name) {
  LightRecord r;
  r.profile = profile;
  r.mode = mode;
  r.name = name;
  r.brightness = 4;
  r.speed = 2;
  r.colorful = 1;
  r.color_value = 0xFFFFFF;
  return r;
}

KeyAssignmentRecord Key(int32_t profile, int32_t keyCode, int32_t type, int32_t value,
                        const std::string& desc) {
  KeyAssignmentRecord r;
  r.profile = profile;
  r.key_code = keyCode;
  r.macro_type = type;
  r.macro_value = value;
  r.macro_desc = desc;
  return r;
}

// Profiles, configuration, a macro played by keys of two profiles, lighting rows with one active,
// and a colour slot: something for every operation to change or lose.
void Seed(ProfileStore& store) {
  std::vector<ProfileRecord> profiles;
  ASSERT_EQ(store.ListProfilesWithDefaults("Profile", profiles), 3);
  const int32_t macro = store.AddMacro("M");
  ASSERT_EQ(macro, 1);
  for (int32_t i = 0; i < kSeedMacroEvents; ++i) store.AddMacroEvent(Event(macro, i, "A"));
  ASSERT_NE(store.SaveKeyAssignment(Key(1, 5, 3, macro, "M")), 0);
  ASSERT_NE(store.SaveKeyAssignment(Key(2, 5, 3, macro, "M")), 0);
  ASSERT_NE(store.SaveKeyAssignment(Key(1, 6, 2, 7, "old")), 0);
  for (int32_t profile = 1; profile <= 2; ++profile)
    for (int32_t mode = 1; mode <= 3; ++mode) ASSERT_NE(store.AddLightSetting(Light(profile, mode, "L")), 0);
  ASSERT_TRUE(store.SetActiveLightMode(1, 2));
  std::vector<KeyColourRecord> colours;
  for (int32_t key = 1; key <= 5; ++key) colours.push_back({0, 1, 128, key, key * 7});
  ASSERT_EQ(store.AddKeyColours(colours), 5);
}

struct Operation {
  const char* name;
  // Trigger body that makes a step after the first one fail.
  const char* trigger;
  // True when the operation adds data enough to need new pages, so a full disk stops it.
  bool grows;
  std::function<bool(ProfileStore&)> run;  // true when the operation reported success
  std::function<void(ProfileStore&)> prepare = [](ProfileStore&) {};
};

std::vector<Operation> Operations() {
  const std::string big(kBigText, 'x');
  std::vector<MacroEventRecord> events;
  for (int32_t i = 0; i < kBigBatch; ++i) events.push_back(Event(1, kSeedMacroEvents + i, std::string(100, 'e')));
  std::vector<KeyColourRecord> colours;
  for (int32_t key = 0; key < kBigBatch * 4; ++key) colours.push_back({0, 1, 129, key, key});
  std::vector<LightRecord> lights;
  for (int32_t mode = 1; mode <= 10; ++mode) lights.push_back(Light(3, mode, std::string(kBigText / 5, 'n')));
  return {
      {"SaveKeyAssignment", "BEFORE INSERT ON t_key_macro_data", true,
       [big](ProfileStore& s) { return s.SaveKeyAssignment(Key(1, 6, 2, 9, big)) != 0; }},
      {"DeleteMacro", "BEFORE DELETE ON t_key_macro_data", false,
       [](ProfileStore& s) { return s.DeleteMacro(1); }},
      {"SetActiveProfile", "BEFORE UPDATE ON t_profile_data WHEN NEW.status = 1", false,
       [](ProfileStore& s) { return s.SetActiveProfile(2); }},
      {"SetActiveLightMode", "BEFORE UPDATE ON t_light_data WHEN NEW.status = 1", false,
       [](ProfileStore& s) { return s.SetActiveLightMode(2, 3); }},
      {"AddMacroEvents", "BEFORE INSERT ON t_macrorecord WHEN NEW.record_index = 150", true,
       [events](ProfileStore& s) { return s.AddMacroEvents(events); }},
      {"ReplaceMacroEvents", "BEFORE INSERT ON t_macrorecord WHEN NEW.record_index = 150", true,
       [events](ProfileStore& s) { return s.ReplaceMacroEvents(1, events); }},
      {"AddKeyColours", "BEFORE INSERT ON t_key_light_data WHEN NEW.key_code = 1000", true,
       [colours](ProfileStore& s) { return s.AddKeyColours(colours) == static_cast<int>(colours.size()); }},
      {"ReplaceKeyColours", "BEFORE INSERT ON t_key_light_data WHEN NEW.key_code = 1000", true,
       [colours](ProfileStore& s) {
         return s.ReplaceKeyColours(129, colours) == static_cast<int>(colours.size());
       },
       [](ProfileStore& s) { ASSERT_EQ(s.AddKeyColours({{0, 1, 129, 7, 7}}), 1); }},
      {"InsertDefaultConfig", "BEFORE INSERT ON t_configdata WHEN NEW.key = 'gamemode'", false,
       [](ProfileStore& s) { return s.InsertDefaultConfig(); }},
      {"AddDefaultLightSettings", "BEFORE UPDATE ON t_light_data WHEN NEW.status = 1", true,
       [lights](ProfileStore& s) { return s.AddDefaultLightSettings(3, lights, 4); }},
      // First use again, on a file whose profiles were all deleted: ids go on from 4.
      {"DefaultProfiles", "BEFORE UPDATE ON t_profile_data WHEN NEW.status = 1", true,
       [big](ProfileStore& s) {
         std::vector<ProfileRecord> list;
         return s.ListProfilesWithDefaults(big, list) == 3 && s.GetActiveProfile() == 4;
       },
       [](ProfileStore& s) {
         for (int32_t id = 1; id <= 3; ++id) ASSERT_TRUE(s.DeleteProfile(id));
       }},
  };
}

// Seeds a fresh file, takes a dump, injects the fault, runs the operation, lifts the fault and
// checks that the failure was reported and nothing changed; then that the operation goes through.
class StoreFaultInjection : public ::testing::Test {
protected:
  void Check(const Operation& op, const std::function<void()>& inject,
             const std::function<bool()>& runFaulted, const std::function<void()>& lift) {
    SCOPED_TRACE(op.name);
    StoreFolder folder;
    FaultableStore store;
    const std::string file = ProfileStore::DatabasePath(folder.Slashed(), kTypeName);
    ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), kTypeName));
    store_ = &store;
    file_ = file;
    Seed(store);
    op.prepare(store);
    const std::string before = DumpTables(file);
    inject();
    const bool reported = runFaulted();
    lift();
    EXPECT_FALSE(reported) << "the failure was reported as success";
    const std::string dump = DumpTables(file);
    EXPECT_TRUE(dump == before) << "the tables changed\n" << FirstDifference(before, dump);
    EXPECT_TRUE(op.run(store)) << "the operation fails after the fault is gone";
    const std::string after = DumpTables(file);
    EXPECT_NE(after, before);
    EXPECT_EQ(after.find("<unreadable"), std::string::npos) << FirstDifference(before, after);
    store_ = nullptr;
  }

  void CheckOnStore(const Operation& op, const std::function<void()>& inject,
                    const std::function<void()>& lift) {
    Check(op, inject, [&] { return op.run(*store_); }, lift);
  }

  // Every operation while a second connection has run the SQL `inject` gives for it; the same
  // connection then runs `lift`.
  void CheckWithOtherConnection(const std::function<std::string(const Operation&)>& inject,
                                const std::string& lift) {
    for (const Operation& op : Operations()) {
      std::unique_ptr<OtherConnection> other;
      CheckOnStore(
          op,
          [&] {
            other = std::make_unique<OtherConnection>(file_);
            ASSERT_EQ(other->Exec(inject(op)), SQLITE_OK);
          },
          [&] { ASSERT_EQ(other->Exec(lift), SQLITE_OK); });
    }
  }

  FaultableStore* store_ = nullptr;
  std::string file_;
};

TEST_F(StoreFaultInjection, AStepFailingHalfwayUndoesTheStepsBeforeIt) {
  CheckWithOtherConnection(
      [](const Operation& op) {
        return std::string("CREATE TRIGGER fault ") + op.trigger +
               " BEGIN SELECT RAISE(ABORT, 'injected fault'); END";
      },
      "DROP TRIGGER fault");
}

TEST_F(StoreFaultInjection, AFullDiskUndoesTheRowsWrittenBeforeIt) {
  for (const Operation& op : Operations()) {
    if (!op.grows) continue;
    CheckOnStore(
        op,
        [&] {
          const int pages = QueryInt(file_, "PRAGMA page_count");
          ASSERT_GT(pages, 0);
          ASSERT_EQ(store_->Exec(("PRAGMA max_page_count = " + std::to_string(pages + 1)).c_str()),
                    SQLITE_OK);
        },
        [&] { ASSERT_EQ(store_->Exec("PRAGMA max_page_count = 1073741823"), SQLITE_OK); });
  }
}

TEST_F(StoreFaultInjection, AnotherWriterHoldingTheLockMakesTheWriteFailWhole) {
  CheckWithOtherConnection([](const Operation&) { return std::string("BEGIN IMMEDIATE"); },
                           "ROLLBACK");
}

// The writes themselves go through; the commit cannot, while a reader holds the file. The
// transaction must not be left open, holding the lock and waiting to commit later.
TEST_F(StoreFaultInjection, ACommitRefusedByAReaderIsRolledBack) {
  CheckWithOtherConnection(
      [](const Operation&) { return std::string("BEGIN; SELECT count(*) FROM t_profile_data;"); },
      "COMMIT");
}

// Root writes to a read-only file anyway, so the operation runs in a child without privileges.
TEST_F(StoreFaultInjection, AReadOnlyFileRefusesTheWriteWhole) {
  for (const Operation& op : Operations()) {
    std::string folder;
    Check(
        op,
        [&] {
          folder = file_.substr(0, file_.rfind('/'));
          ASSERT_EQ(chmod(file_.c_str(), 0444), 0);
          ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
          ASSERT_EQ(chmod(folder.substr(0, folder.rfind('/')).c_str(), 0755), 0);
        },
        [&] {
          const pid_t child = fork();
          if (child == 0) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(90);
            ProfileStore readOnly;
            const std::string dataFolder = folder.substr(0, folder.rfind('/') + 1);
            if (!readOnly.OpenForDevice(dataFolder, kTypeName)) _exit(91);
            _exit(op.run(readOnly) ? 1 : 0);
          }
          int status = 0;
          waitpid(child, &status, 0);
          EXPECT_TRUE(WIFEXITED(status));
          EXPECT_NE(WEXITSTATUS(status), 90);
          EXPECT_NE(WEXITSTATUS(status), 91);
          return !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        },
        [&] {
          ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
          ASSERT_EQ(chmod(file_.c_str(), 0644), 0);
        });
  }
}

}  // namespace
