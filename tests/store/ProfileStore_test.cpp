#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "StoreTestSupport.h"
#include "store/LightFrameStore.h"
#include "store/ProfileDisplayName.h"
#include "store/SchemaStatements.h"

namespace {

std::vector<std::string> SchemaTexts(const std::string& file) {
  std::vector<std::string> texts;
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT sql FROM sqlite_master WHERE name != 'sqlite_sequence' ORDER BY rowid", -1,
                     &st, nullptr);
  while (sqlite3_step(st) == SQLITE_ROW) {
    texts.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return texts;
}

using ProfileStoreFirstUse = FreshStore;

TEST_F(ProfileStoreFirstUse, CreatesTheFifteenSchemaObjectsWithTheirTextAsWritten) {
  EXPECT_TRUE(store.OpenFlag());
  // SQLite keeps each statement's text without its "IF NOT EXISTS".
  std::vector<std::string> expected;
  for (std::string statement : ProfileSchemaStatements()) {
    statement.erase(statement.find(" IF NOT EXISTS"), 14);
    expected.push_back(statement);
  }
  EXPECT_EQ(SchemaTexts(File()), expected);
  ASSERT_EQ(expected.size(), 15u);
  // The stored text keeps its tab runs.
  EXPECT_NE(SchemaTexts(File())[0].find("AUTOINCREMENT, \t\t\t\t\t\t\t\t  profile"), std::string::npos);
}

TEST_F(ProfileStoreFirstUse, ListingAnEmptyFileAddsThreeProfilesWithProfileOneActive) {
  std::vector<ProfileRecord> list;
  ASSERT_EQ(store.ListProfilesWithDefaults("Profile", list), 3);
  EXPECT_EQ(list[0].profile, 1);
  EXPECT_EQ(list[0].name, "Profile 1");
  EXPECT_EQ(list[1].name, "Profile 2");
  EXPECT_EQ(list[2].name, "Profile 3");
  EXPECT_EQ(list[0].status, 1);
  EXPECT_EQ(list[1].status + list[2].status, 0);
  EXPECT_EQ(store.GetActiveProfile(), 1);
  EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_configdata WHERE profile = 1"), 11);
  EXPECT_EQ(QueryText(File(), "SELECT value FROM t_configdata WHERE key = 'version'"), "1.0.1");
  EXPECT_EQ(QueryText(File(), "SELECT key FROM t_configdata ORDER BY config_id DESC"), "disable_win");
  // A second listing adds nothing.
  EXPECT_EQ(store.ListProfilesWithDefaults("Profile", list), 3);
  EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_configdata"), 11);
}

TEST(ProfileStoreOpening, AnExistingFileIsOpenedWithoutRunningTheSchema) {
  StoreFolder folder;
  const std::string file = ProfileStore::DatabasePath(folder.Slashed(), kTypeName);
  {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE other(v)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  ProfileStore store;
  EXPECT_TRUE(store.OpenForDevice(folder.Slashed(), kTypeName));
  EXPECT_EQ(QueryInt(file, "SELECT count(*) FROM sqlite_master"), 1);
  EXPECT_EQ(store.AddProfile({}), 0);  // no table: fails quietly
  EXPECT_TRUE(store.Close());
  EXPECT_FALSE(store.OpenFlag());
}

TEST(ProfileStoreOpening, DeletingTheFileAndOpeningAgainGivesAnEmptySchema) {
  StoreFolder folder;
  ProfileStore store;
  ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), kTypeName));
  store.AddMacro("M");
  store.Close();
  EXPECT_TRUE(ProfileStore::DeleteDatabaseFile(folder.Slashed(), kTypeName));
  ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), kTypeName));
  std::vector<MacroRecord> macros;
  EXPECT_EQ(store.ListMacros(macros), 0);
  EXPECT_EQ(store.Path(), folder.Slashed() + "db/Tarnwick_V3_data.db");
}

// A directory in the journal's place makes every creation statement fail on the new file.
TEST(ProfileStoreOpening, AFailedCreationLeavesNoFileAndTheNextOpenCreatesEveryTable) {
  StoreFolder folder;
  const std::string file = ProfileStore::DatabasePath(folder.Slashed(), kTypeName);
  const std::string frames = folder.Slashed() + "db/lightlayer_v1.data";
  for (const std::string& path : {file, frames}) {
    ASSERT_TRUE(std::filesystem::create_directory(path + "-journal"));
  }
  ProfileStore store;
  EXPECT_FALSE(store.OpenForDevice(folder.Slashed(), kTypeName));
  EXPECT_FALSE(store.OpenFlag());
  LightFrameStore frameStore;
  EXPECT_FALSE(frameStore.Open(folder.Slashed()));
  for (const std::string& path : {file, frames}) {
    EXPECT_FALSE(std::filesystem::exists(path)) << path;
    std::filesystem::remove(path + "-journal");
  }

  EXPECT_TRUE(store.OpenForDevice(folder.Slashed(), kTypeName));
  EXPECT_EQ(QueryInt(file, "SELECT count(*) FROM sqlite_master WHERE name != 'sqlite_sequence'"), 15);
  EXPECT_TRUE(frameStore.Open(folder.Slashed()));
  EXPECT_EQ(QueryInt(frames, "SELECT count(*) FROM sqlite_master WHERE name != 'sqlite_sequence'"), 3);
}

using ProfileStoreProfiles = FreshStore;

TEST_F(ProfileStoreProfiles, ActivatingAMissingProfileKeepsTheActiveOne) {
  std::vector<ProfileRecord> list;
  store.ListProfilesWithDefaults("Profile", list);
  EXPECT_TRUE(store.SetActiveProfile(2));
  EXPECT_EQ(store.GetActiveProfile(), 2);
  EXPECT_FALSE(store.SetActiveProfile(7));
  EXPECT_EQ(store.GetActiveProfile(), 2);
  EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_profile_data WHERE status = 1"), 1);
}

TEST_F(ProfileStoreProfiles, RenameDeleteAndNamesRoundTripUtf8) {
  const int32_t id = store.AddProfile({0, "Spiel", "", 0, 0});
  ASSERT_EQ(id, 1);
  EXPECT_TRUE(store.RenameProfile(id, "配置方案 9"));
  std::string name = "stale";
  EXPECT_TRUE(store.GetProfileName(id, name));
  EXPECT_EQ(name, "配置方案 9");
  EXPECT_TRUE(store.DeleteProfile(id));
  EXPECT_FALSE(store.GetProfileName(id, name));
  EXPECT_EQ(name, "");
  EXPECT_EQ(store.GetActiveProfile(), 0);
}

TEST(ProfileDisplayName, DefaultNamesOfTheOtherLanguageTakeTheCurrentWord) {
  const std::string zhWord = "配置方案";
  EXPECT_EQ(ProfileDisplayName("Profile 2", 2052, zhWord), "配置方案 2");
  EXPECT_EQ(ProfileDisplayName("profile 2", 2052, zhWord), "profile 2");  // case matters
  EXPECT_EQ(ProfileDisplayName("Profil", 2052, zhWord), "Profil");
  EXPECT_EQ(ProfileDisplayName("配置方案 3", 1033, "Profile"), "Profile 3");
  EXPECT_EQ(ProfileDisplayName("Profile 3", 1033, "Profile"), "Profile 3");
  EXPECT_EQ(ProfileDisplayName("配置", 1033, "Profile"), "配置");
}

using ProfileStoreKeys = FreshStore;

KeyAssignmentRecord Assignment(int32_t profile, int32_t key, int32_t type, int32_t v1, int32_t v2) {
  KeyAssignmentRecord r;
  r.profile = profile;
  r.key_code = key;
  r.macro_type = type;
  r.macro_value = v1;
  r.macro_value2 = v2;
  r.macro_desc = "desc";
  return r;
}

TEST_F(ProfileStoreKeys, SavingKeepsOneRowPerKeyLayerAndProfile) {
  EXPECT_GT(store.SaveKeyAssignment(Assignment(1, 0x29, 1, 1, 0)), 0);
  EXPECT_GT(store.SaveKeyAssignment(Assignment(1, 0x29, 2, 0x04, 1)), 0);
  EXPECT_GT(store.SaveKeyAssignment(Assignment(2, 0x29, 1, 1, 0)), 0);
  KeyAssignmentRecord b = Assignment(1, 0x29, 2, 5, 0);
  b.fn_layer = 1;
  EXPECT_GT(store.SaveKeyAssignment(b), 0);
  EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_key_macro_data"), 3);
  KeyAssignmentRecord read;
  ASSERT_TRUE(store.GetKeyAssignment(1, 0, 0x29, read));
  EXPECT_EQ(read.macro_type, 2);
  EXPECT_EQ(read.macro_value, 0x04);
  EXPECT_EQ(read.macro_value2, 1);
  EXPECT_EQ(read.macro_desc, "desc");
}

TEST_F(ProfileStoreKeys, ZeroValuesRemoveTheRowAndKeyCodeZeroDoesNothing) {
  store.SaveKeyAssignment(Assignment(1, 0x29, 1, 1, 0));
  EXPECT_EQ(store.SaveKeyAssignment(Assignment(1, 0x29, 0, 0, 0)), 0);
  KeyAssignmentRecord read;
  EXPECT_FALSE(store.GetKeyAssignment(1, 0, 0x29, read));
  EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_key_macro_data"), 0);
  // Value 0 with a second value still stores.
  EXPECT_GT(store.SaveKeyAssignment(Assignment(1, 0x30, 2, 0, 2)), 0);
  EXPECT_EQ(store.SaveKeyAssignment(Assignment(1, 0, 2, 4, 0)), 0);
  EXPECT_EQ(store.SaveKeyAssignment(Assignment(1, 0, 0, 0, 0)), 0);
  EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_key_macro_data"), 1);
}

TEST_F(ProfileStoreKeys, ListingAndClearingStayWithinTheProfile) {
  store.SaveKeyAssignment(Assignment(1, 10, 2, 4, 0));
  store.SaveKeyAssignment(Assignment(1, 11, 3, 1, 0));
  store.SaveKeyAssignment(Assignment(2, 12, 2, 4, 0));
  std::vector<KeyAssignmentRecord> list(5);
  EXPECT_EQ(store.ListKeyAssignments(1, 0, list), 2);
  EXPECT_EQ(list[0].key_code, 10);
  EXPECT_EQ(list[1].key_code, 11);
  store.ClearKeyAssignments(1);
  EXPECT_EQ(store.ListKeyAssignments(1, 0, list), 0);
  EXPECT_EQ(store.ListKeyAssignments(2, 0, list), 1);
}

TEST_F(ProfileStoreKeys, OtherDataIsFoundByIdAndAMissingIdLeavesTheOutputs) {
  const int32_t id = store.AddKeyOtherData("Editor", "/usr/bin/editor", 8);
  ASSERT_EQ(id, 1);
  std::string desc = "keep", param = "keep";
  int32_t type = -1;
  EXPECT_FALSE(store.GetKeyOtherData(99, desc, param, type));
  EXPECT_EQ(desc, "keep");
  EXPECT_EQ(type, -1);
  EXPECT_TRUE(store.GetKeyOtherData(id, desc, param, type));
  EXPECT_EQ(desc, "Editor");
  EXPECT_EQ(param, "/usr/bin/editor");
  EXPECT_EQ(type, 8);
}

}  // namespace
