#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "StoreTestSupport.h"

namespace {

// Every operation of the store, on whatever state it is in; none may crash or claim success
// for a write. Returns the number of operations that reported success.
int RunEveryOperation(ProfileStore& store) {
  int succeeded = 0;
  std::vector<ProfileRecord> profiles;
  std::vector<KeyAssignmentRecord> keys;
  std::vector<MacroRecord> macros;
  std::vector<MacroEventRecord> events;
  std::vector<LightRecord> lights;
  std::vector<KeyColourRecord> colours;
  std::string text;
  int32_t value = 0;
  KeyAssignmentRecord key;
  key.profile = 1;
  key.key_code = 5;
  key.macro_value = 1;
  MacroRecord macro;
  LightRecord light;
  succeeded += store.AddProfile({}) != 0;
  succeeded += store.ListProfilesWithDefaults("Profile", profiles) != 0;
  succeeded += store.SetActiveProfile(1);
  succeeded += store.GetActiveProfile() != 0;
  succeeded += store.GetProfileName(1, text);
  succeeded += store.SaveKeyAssignment(key) != 0;
  succeeded += store.GetKeyAssignment(1, 0, 5, key);
  succeeded += store.ListKeyAssignments(1, 0, keys) != 0;
  succeeded += store.AddKeyOtherData("a", "b", 8) != 0;
  succeeded += store.GetKeyOtherData(1, text, text, value);
  succeeded += store.AddMacro("M") != 0;
  succeeded += store.GetMacro(1, macro);
  succeeded += store.ListMacros(macros) != 0;
  succeeded += store.AddMacroEvent({}) != 0;
  succeeded += store.AddMacroEvents({{}, {}});
  succeeded += store.ListMacroEvents(1, events) != 0;
  succeeded += store.CountMacroEvents(1) != 0;
  succeeded += store.AddLightSetting(light) != 0;
  succeeded += store.SetActiveLightMode(0, 0);
  succeeded += store.GetLightSetting(0, 0, light);
  succeeded += store.AddKeyColours({{0, 1, 128, 1, 1}}) == 1;
  succeeded += store.ListKeyColours(128, colours) != 0;
  store.ClearKeyAssignments(1);
  succeeded += store.InsertDefaultConfig();
  return succeeded;
}

TEST(StoreFailures, AFileThatIsNotADatabaseIsReportedAndLeftUntouched) {
  StoreFolder folder;
  const std::string file = ProfileStore::DatabasePath(folder.Slashed(), kTypeName);
  std::ofstream(file) << "this is a text file, not a database\n";
  ProfileStore store;
  EXPECT_FALSE(store.OpenForDevice(folder.Slashed(), kTypeName));
  EXPECT_EQ(RunEveryOperation(store), 0);
  std::ifstream in(file);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "this is a text file, not a database");
}

TEST(StoreFailures, AMissingFolderFailsEveryOperationQuietly) {
  ProfileStore store;
  EXPECT_FALSE(store.OpenForDevice("/nonexistent-kw-folder/", kTypeName));
  EXPECT_FALSE(store.OpenFlag());
  EXPECT_EQ(RunEveryOperation(store), 0);
  ProfileStore never;
  EXPECT_EQ(RunEveryOperation(never), 0);
}

TEST(StoreFailures, AReadOnlyFileReadsButRefusesWrites) {
  StoreFolder folder;
  {
    ProfileStore store;
    ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), kTypeName));
    std::vector<ProfileRecord> list;
    store.ListProfilesWithDefaults("Profile", list);
  }
  const std::string file = ProfileStore::DatabasePath(folder.Slashed(), kTypeName);
  chmod(file.c_str(), 0444);
  chmod((folder.Slashed() + "db").c_str(), 0555);
  chmod(folder.Slashed().c_str(), 0755);
  // Root writes anyway: run the check as an unprivileged user in a child.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
      _exit(90);
    }
    ProfileStore store;
    if (!store.OpenForDevice(folder.Slashed(), kTypeName)) _exit(91);
    if (store.GetActiveProfile() != 1) _exit(92);
    if (store.AddMacro("M") != 0) _exit(93);
    if (store.SetActiveProfile(2)) _exit(94);
    store.AddKeyColours({{0, 1, 128, 1, 1}});
    if (store.GetActiveProfile() != 1) _exit(95);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  chmod((folder.Slashed() + "db").c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(QueryInt(file, "SELECT count(*) FROM t_key_light_data"), 0);
}

// Writes batches of `kBatch` rows in a child until it is killed; every batch is one transaction.
constexpr int kBatch = 30;

// Tells the parent through `ready` once the first batch is in.
void WriteBatchesForever(const std::string& folder, bool colours, int ready) {
  ProfileStore store;
  if (!store.OpenForDevice(folder, kTypeName)) _exit(1);
  for (int32_t batch = 1;; ++batch) {
    if (colours) {
      std::vector<KeyColourRecord> list;
      for (int32_t i = 0; i < kBatch; ++i) list.push_back({0, 1, batch, i, i * 3});
      store.AddKeyColours(list);
    } else {
      std::vector<MacroEventRecord> list;
      for (int32_t i = 0; i < kBatch; ++i) list.push_back({0, batch, 2, i, 65, 10, "A"});
      store.AddMacroEvents(list);
    }
    if (batch == 1) {
      const char byte = 1;
      if (write(ready, &byte, 1) != 1) _exit(2);
    }
  }
}

TEST(StoreFailures, AProcessKilledInTheMiddleOfABatchLeavesAConsistentDatabase) {
  for (const bool colours : {false, true}) {
    for (const int waitMs : {0, 7, 40}) {
      StoreFolder folder;
      { ProfileStore create; ASSERT_TRUE(create.OpenForDevice(folder.Slashed(), kTypeName)); }
      int pipeEnds[2];
      ASSERT_EQ(pipe(pipeEnds), 0);
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        WriteBatchesForever(folder.Slashed(), colours, pipeEnds[1]);
      }
      char byte = 0;
      ASSERT_EQ(read(pipeEnds[0], &byte, 1), 1);
      close(pipeEnds[0]);
      close(pipeEnds[1]);
      std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
      kill(child, SIGKILL);
      int status = 0;
      waitpid(child, &status, 0);
      ASSERT_TRUE(WIFSIGNALED(status));
      const std::string file = ProfileStore::DatabasePath(folder.Slashed(), kTypeName);
      EXPECT_EQ(QueryText(file, "PRAGMA integrity_check"), "ok");
      const std::string table = colours ? "t_key_light_data" : "t_macrorecord";
      const std::string group = colours ? "light_id" : "macro_id";
      const int rows = QueryInt(file, "SELECT count(*) FROM " + table);
      EXPECT_GT(rows, 0);
      // No half batch: every group holds all of its rows.
      EXPECT_EQ(QueryInt(file, "SELECT count(*) FROM (SELECT count(*) AS n FROM " + table +
                                   " GROUP BY " + group + ") WHERE n != " +
                                   std::to_string(kBatch)),
                0);
    }
  }
}

TEST(StoreConcurrency, TheWorkerAndTheUiMayUseTheStoreAtOnce) {
  StoreFolder folder;
  ProfileStore store;
  ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), kTypeName));
  std::vector<ProfileRecord> profiles;
  store.ListProfilesWithDefaults("Profile", profiles);
  constexpr int kRounds = 150;
  std::thread worker([&] {
    std::vector<KeyAssignmentRecord> keys;
    KeyAssignmentRecord record;
    for (int i = 0; i < kRounds; ++i) {
      store.ListKeyAssignments(store.GetActiveProfile(), 0, keys);
      for (int32_t key = 1; key <= 12; ++key) store.GetKeyAssignment(1, 0, key, record);
      const int32_t macro = store.AddMacro("W" + std::to_string(i));
      store.AddMacroEvents({{0, macro, 2, 0, 65, 10, "A"}, {0, macro, 3, 1, 65, 10, "A"}});
    }
  });
  KeyAssignmentRecord key;
  key.profile = 1;
  key.macro_type = 2;
  for (int i = 0; i < kRounds; ++i) {
    key.key_code = 1 + i % 12;
    key.macro_value = 4 + i;
    store.SaveKeyAssignment(key);
    store.SetActiveProfile(1 + i % 3);
    std::vector<MacroRecord> macros;
    store.ListMacros(macros);
  }
  worker.join();
  std::vector<MacroRecord> macros;
  EXPECT_EQ(store.ListMacros(macros), kRounds);
  std::vector<KeyAssignmentRecord> keys;
  EXPECT_EQ(store.ListKeyAssignments(1, 0, keys), 12);
  EXPECT_EQ(QueryInt(ProfileStore::DatabasePath(folder.Slashed(), kTypeName),
                     "SELECT count(*) FROM t_macrorecord"),
            2 * kRounds);
  EXPECT_EQ(store.GetActiveProfile(), 1 + (kRounds - 1) % 3);
}

}  // namespace
