#include <gtest/gtest.h>

#include <vector>

#include "StoreTestSupport.h"
#include "store/LightFrameStore.h"

namespace {

using MacroStorage = FreshStore;

MacroEventRecord Event(int32_t macro, int32_t type, int32_t index, int32_t value = 65) {
  MacroEventRecord e;
  e.macro_id = macro;
  e.type = type;
  e.record_index = index;
  e.value = value;
  e.delay_time = 10 * index;
  e.desc = "A";
  return e;
}

TEST_F(MacroStorage, ANewMacroPlaysOnceWithRecordedDelays) {
  ASSERT_EQ(store.AddMacro("M"), 1);
  MacroRecord m;
  ASSERT_TRUE(store.GetMacro(1, m));
  EXPECT_EQ(m.name, "M");
  EXPECT_EQ(m.play_times, 1);
  EXPECT_EQ(m.delay_type, 1);
  EXPECT_EQ(m.delay_time, 0);
  EXPECT_EQ(m.link_count, 0);
  m.play_times = 7;
  m.delay_type = 3;
  m.delay_time = 25;
  EXPECT_TRUE(store.UpdateMacroPlayback(m));
  EXPECT_TRUE(store.RenameMacro(1, "N"));
  int32_t times = 0;
  EXPECT_TRUE(store.GetMacroPlayTimes(1, times));
  EXPECT_EQ(times, 7);
  EXPECT_FALSE(store.GetMacroPlayTimes(2, times));
  std::vector<MacroRecord> list;
  ASSERT_EQ(store.ListMacros(list), 1);
  EXPECT_EQ(list[0].name, "N");
  EXPECT_EQ(list[0].delay_time, 25);
}

TEST_F(MacroStorage, DeletingAMacroRemovesOnlyTheKeysThatPlayIt) {
  const int32_t id = store.AddMacro("M");
  store.AddMacroEvent(Event(id, 2, 0));
  KeyAssignmentRecord key;
  key.macro_type = 3;
  key.macro_value = id;
  for (int32_t profile = 1; profile <= 2; ++profile) {
    key.profile = profile;
    key.key_code = 20;
    key.macro_type = 3;
    store.SaveKeyAssignment(key);
    key.key_code = 21;
    key.macro_type = 2;  // same value, other kind: stays
    store.SaveKeyAssignment(key);
  }
  EXPECT_TRUE(store.DeleteMacro(id));
  EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_key_macro_data WHERE macro_type = 3"), 0);
  EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_key_macro_data WHERE macro_type = 2"), 2);
  EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_macrorecord"), 0);
  MacroRecord m;
  EXPECT_FALSE(store.GetMacro(id, m));
}

TEST_F(MacroStorage, EventsAreListedByIndexAndTypeOneIsNotCounted) {
  const int32_t id = store.AddMacro("M");
  store.AddMacroEvents({Event(id, 3, 2), Event(id, 1, 0), Event(id, 2, 1), Event(id + 1, 2, 0)});
  std::vector<MacroEventRecord> list;
  ASSERT_EQ(store.ListMacroEvents(id, list), 3);
  EXPECT_EQ(list[0].record_index, 0);
  EXPECT_EQ(list[1].record_index, 1);
  EXPECT_EQ(list[2].record_index, 2);
  EXPECT_EQ(list[2].type, 3);
  EXPECT_EQ(list[2].delay_time, 20);
  EXPECT_EQ(store.CountMacroEvents(id), 2);
  EXPECT_TRUE(store.DeleteMacroEvents(id));
  store.AddMacroEvents({Event(id, 1, 0), Event(id, 1, 1)});
  EXPECT_EQ(store.CountMacroEvents(id), 0);
  EXPECT_EQ(store.ListMacroEvents(id + 1, list), 1);
}

TEST_F(MacroStorage, ReplacingEventsKeepsOnlyTheNewListOfThatMacro) {
  const int32_t id = store.AddMacro("M");
  const int32_t other = store.AddMacro("O");
  store.AddMacroEvents({Event(id, 2, 0), Event(id, 3, 1), Event(id, 2, 2), Event(other, 2, 0)});
  EXPECT_TRUE(store.ReplaceMacroEvents(id, {Event(id, 3, 0, 70), Event(id, 2, 1, 71)}));
  std::vector<MacroEventRecord> list;
  ASSERT_EQ(store.ListMacroEvents(id, list), 2);
  EXPECT_EQ(list[0].value, 70);
  EXPECT_EQ(list[1].value, 71);
  EXPECT_EQ(store.ListMacroEvents(other, list), 1);
  EXPECT_TRUE(store.ReplaceMacroEvents(id, {}));  // an empty recording clears the macro
  EXPECT_EQ(store.ListMacroEvents(id, list), 0);
}

using LightStorage = FreshStore;

LightRecord Light(int32_t profile, int32_t mode) {
  LightRecord r;
  r.profile = profile;
  r.name = "mode";
  r.mode = mode;
  r.brightness = 4;
  r.speed = 2;
  r.colorful = 1;
  r.color_value = 0xFFFFFF;
  r.config_func = 0x103;
  return r;
}

TEST_F(LightStorage, OnlyOneRowOfTheWholeDatabaseIsActive) {
  for (int32_t profile = 1; profile <= 2; ++profile) {
    for (int32_t mode = 1; mode <= 4; ++mode) {
      EXPECT_GT(store.AddLightSetting(Light(profile, mode)), 0);
    }
  }
  EXPECT_EQ(store.CountLightSettings(1), 4);
  EXPECT_EQ(store.CountLightSettings(3), 0);
  EXPECT_TRUE(store.SetActiveLightMode(1, 3));
  EXPECT_EQ(store.GetActiveLightMode(1), 3);
  EXPECT_TRUE(store.SetActiveLightMode(2, 4));
  EXPECT_EQ(store.GetActiveLightMode(2), 4);
  EXPECT_EQ(store.GetActiveLightMode(1), 0);
  EXPECT_FALSE(store.SetActiveLightMode(2, 9));  // no such row: keeps the active one
  EXPECT_EQ(store.GetActiveLightMode(2), 4);
}

TEST_F(LightStorage, UpdatesChangeTheSettingsOfOneProfileAndMode) {
  store.AddLightSetting(Light(1, 5));
  store.AddLightSetting(Light(2, 5));
  LightRecord changed = Light(1, 5);
  changed.brightness = 1;
  changed.reserved = 77;
  changed.color_value = 0x123456;
  EXPECT_TRUE(store.UpdateLightSetting(1, 5, changed));
  LightRecord read;
  ASSERT_TRUE(store.GetLightSetting(1, 5, read));
  EXPECT_EQ(read.brightness, 1);
  EXPECT_EQ(read.reserved, 77);
  EXPECT_EQ(read.color_value, 0x123456);
  EXPECT_EQ(read.config_func, 0x103);
  ASSERT_TRUE(store.GetLightSetting(2, 5, read));
  EXPECT_EQ(read.brightness, 4);
  std::vector<LightRecord> list;
  EXPECT_EQ(store.ListLightSettings(1, list), 1);
  EXPECT_FALSE(store.GetLightSetting(1, 6, read));
}

TEST_F(LightStorage, ColourSlotsAreSharedByEveryProfile) {
  EXPECT_EQ(store.AddKeyColours({}), 0);
  std::vector<KeyColourRecord> colours;
  for (int32_t key = 1; key <= 3; ++key) {
    colours.push_back({0, 2, 129, key, 0x0000FF * key});
  }
  EXPECT_EQ(store.AddKeyColours(colours), 3);
  store.AddKeyColours({{0, 1, 128, 9, 1}});
  std::vector<KeyColourRecord> list;
  ASSERT_EQ(store.ListKeyColours(129, list), 3);
  EXPECT_EQ(list[2].key_rgb, 0x0000FF * 3);
  EXPECT_EQ(list[2].profile, 2);
  EXPECT_TRUE(store.DeleteKeyColours(129));
  EXPECT_EQ(store.ListKeyColours(129, list), 0);
  EXPECT_EQ(store.ListKeyColours(128, list), 1);
}

TEST_F(LightStorage, ReplacingASlotKeepsOnlyTheNewColoursOfThatSlot) {
  store.AddKeyColours({{0, 1, 128, 1, 5}, {0, 1, 128, 2, 5}, {0, 1, 129, 1, 6}});
  EXPECT_EQ(store.ReplaceKeyColours(128, {{0, 2, 128, 3, 9}}), 1);
  std::vector<KeyColourRecord> list;
  ASSERT_EQ(store.ListKeyColours(128, list), 1);
  EXPECT_EQ(list[0].key_code, 3);
  EXPECT_EQ(list[0].key_rgb, 9);
  EXPECT_EQ(store.ListKeyColours(129, list), 1);
}

TEST_F(LightStorage, DefaultRowsGoInTogetherWithTheirActiveMode) {
  store.AddLightSetting(Light(1, 1));
  ASSERT_TRUE(store.SetActiveLightMode(1, 1));
  // The rows carry another profile and a status of their own: the profile given wins, and only
  // the chosen mode ends up active.
  std::vector<LightRecord> rows = {Light(9, 1), Light(9, 2), Light(9, 3)};
  rows[0].status = 1;
  EXPECT_TRUE(store.AddDefaultLightSettings(2, rows, 2));
  EXPECT_EQ(store.CountLightSettings(2), 3);
  EXPECT_EQ(store.CountLightSettings(9), 0);
  EXPECT_EQ(store.GetActiveLightMode(2), 2);
  EXPECT_EQ(store.GetActiveLightMode(1), 0);
  EXPECT_EQ(QueryInt(File(), "SELECT count(*) FROM t_light_data WHERE status = 1"), 1);
  // An active mode missing from the rows writes none of them.
  EXPECT_FALSE(store.AddDefaultLightSettings(3, rows, 7));
  EXPECT_EQ(store.CountLightSettings(3), 0);
  EXPECT_EQ(store.GetActiveLightMode(2), 2);
}

TEST(LightFrames, AMissingFileIsCreatedEmptyAndExistingFramesAreListedInOrder) {
  StoreFolder folder;
  const std::string file = folder.Slashed() + "db/lightlayer_v1.data";
  {
    LightFrameStore frames;
    ASSERT_TRUE(frames.Open(folder.Slashed()));
    std::vector<FrameRecord> list;
    EXPECT_EQ(frames.ListFrames(1, list), 0);
  }
  EXPECT_EQ(QueryInt(file, "SELECT count(*) FROM sqlite_master WHERE name != 'sqlite_sequence'"), 3);
  {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db,
                 "INSERT INTO t_light_frames(light_id, frameIndex, key_value, rgb_value) VALUES "
                 "(4, 1, 10, 255), (4, 0, 11, 65280), (5, 0, 12, 1)",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  LightFrameStore frames;
  ASSERT_TRUE(frames.Open(folder.Slashed()));
  std::vector<FrameRecord> list;
  ASSERT_EQ(frames.ListFrames(4, list), 2);
  EXPECT_EQ(list[0].frameIndex, 1);  // storage order, not sorted
  EXPECT_EQ(list[1].key_value, 11);
  EXPECT_EQ(list[1].rgb_value, 65280);
}

}  // namespace
