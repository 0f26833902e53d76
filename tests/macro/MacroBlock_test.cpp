#include "macro/MacroBlock.h"

#include <gtest/gtest.h>

#include "store/ProfileStore.h"
#include "support/TempFolder.h"

namespace {

TEST(EncodeDelayByte, StepsAndUnitsAtEveryBoundary) {
  struct Case {
    int32_t delay;
    uint8_t press;
  };
  const Case cases[] = {
      {0, 0x01},     {10, 0x01},    {11, 0x01},    {19, 0x01},   {20, 0x02},  {310, 0x1F},
      {311, 0x26},   {1550, 0x3F},  {1551, 0x2F},  {2000, 0x34}, {3100, 0x3F}, {3101, 0x63},
      {31000, 0x7F}, {40000, 0x7F}, {-5, 0x01},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeDelayByte(false, c.delay), c.press) << c.delay;
    EXPECT_EQ(EncodeDelayByte(true, c.delay), c.press | 0x80) << c.delay;
  }
}

std::vector<MacroEventRecord> Events(int count, int32_t type = kMacroEventPress) {
  std::vector<MacroEventRecord> events;
  for (int i = 0; i < count; ++i) {
    MacroEventRecord e;
    e.type = (i % 2 == 0) ? type : kMacroEventRelease;
    e.record_index = i;
    e.value = 65 + i % 26;
    e.delay_time = 10;
    events.push_back(e);
  }
  return events;
}

TEST(EncodeMacroBlock, ThirtyRecordsFillTheBlockAndTwentyNineLeaveTheLastPairZero) {
  const MacroBlock full = EncodeMacroBlock(0x29, 1, Events(30));
  EXPECT_EQ(full[0], 0);
  EXPECT_EQ(full[1], 0);
  EXPECT_EQ(full[2], 0x29);
  EXPECT_EQ(full[3], 1);
  EXPECT_EQ(full[4], 0x04);
  EXPECT_EQ(full[5], 0x01);
  EXPECT_EQ(full[7], 0x81);
  EXPECT_EQ(full[62], 0x04 + 29 % 26);
  EXPECT_EQ(full[63], 0x81);
  const MacroBlock short29 = EncodeMacroBlock(0x29, 1, Events(29));
  EXPECT_NE(short29[61], 0);
  EXPECT_EQ(short29[62], 0);
  EXPECT_EQ(short29[63], 0);
  // More than 30 pairs never run past the block.
  EXPECT_EQ(EncodeMacroBlock(0x29, 1, Events(40)), full);
}

TEST(EncodeMacroBlock, RecordsOfOtherKindsAreSkippedWithoutAdvancing) {
  std::vector<MacroEventRecord> events = Events(2);
  MacroEventRecord other;
  other.type = 1;
  other.value = 90;
  events.insert(events.begin() + 1, other);
  other.type = 7;
  events.push_back(other);
  const MacroBlock block = EncodeMacroBlock(3, 1, events);
  EXPECT_EQ(block[4], 0x04);
  EXPECT_EQ(block[6], 0x05);
  EXPECT_EQ(block[7], 0x81);
  EXPECT_EQ(block[8], 0);
}

TEST(EncodeMacroBlock, PlayTimesAreClampedToAByteOfAtLeastOne) {
  EXPECT_EQ(EncodeMacroBlock(1, 0, {})[3], 1);
  EXPECT_EQ(EncodeMacroBlock(1, -3, {})[3], 1);
  EXPECT_EQ(EncodeMacroBlock(1, 99, {})[3], 99);
  EXPECT_EQ(EncodeMacroBlock(1, 255, {})[3], 255);
  EXPECT_EQ(EncodeMacroBlock(1, 300, {})[3], 255);
}

TEST(EncodeMacroBlock, ReadsPlayTimesAndEventsInIndexOrderFromTheStore) {
  const TempFolder folder("kwmacro");
  ASSERT_TRUE(folder.MakeFolder("db"));
  {
    ProfileStore store;
    ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), "Tarnwick_V3"));
    MacroRecord macro;
    macro.name = "M";
    macro.play_times = 300;
    const int32_t id = store.AddMacroFull(macro);
    // Inserted out of order; the block follows record_index.
    store.AddMacroEvents({{0, id, 3, 1, 65, 2000, "A"}, {0, id, 2, 0, 65, 10, "A"}});
    const MacroBlock block = EncodeMacroBlock(0x10, id, store);
    EXPECT_EQ(block[2], 0x10);
    EXPECT_EQ(block[3], 255);
    EXPECT_EQ(block[4], 0x04);
    EXPECT_EQ(block[5], 0x01);
    EXPECT_EQ(block[6], 0x04);
    EXPECT_EQ(block[7], 0xB4);
    const MacroBlock missing = EncodeMacroBlock(0x11, id + 1, store);
    EXPECT_EQ(missing[3], 1);
    EXPECT_EQ(missing[4], 0);
  }
}

}  // namespace
