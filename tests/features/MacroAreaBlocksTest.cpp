// The blocks of the macro area: macros from the store first, then shortcuts, each in list order.
#include "features/MacroAreaBlocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/ProfileStore.h"
#include "support/TempFolder.h"
#include "support/KeyAssignments.h"

namespace {

TEST(ShortcutBlocks, EveryShortcutPressesInOrderAndReleasesInReverse) {
  const uint8_t expected[15][3] = {
      {0xE0, 0x04}, {0xE0, 0x06}, {0xE0, 0x1B},       {0xE0, 0x19},       {0xE0, 0x1D},
      {0xE0, 0x16}, {0xE3, 0x08}, {0xE3, 0x0F},       {0xE3, 0x07},       {0xE2, 0x2B},
      {0xE3, 0x10}, {0xE0, 0x1A}, {0xE2, 0x2C, 0x1B}, {0xE2, 0x2C, 0x11}, {0xE2, 0x3D},
  };
  for (int number = 1; number <= 15; ++number) {
    const MacroAreaBlock block = ShortcutBlock(0x33, number);
    const auto& keys = expected[number - 1];
    const int count = keys[2] != 0 ? 3 : 2;
    // The whole block as it should be: key, play count 1, the press pairs, the release pairs
    // in reverse, zeros after.
    MacroAreaBlock want{};
    want[2] = 0x33;
    want[3] = 1;
    size_t at = 4;
    for (int i = 0; i < count; ++i) {
      want[at++] = keys[i];
      want[at++] = 0x01;
    }
    for (int i = count - 1; i >= 0; --i) {
      want[at++] = keys[i];
      want[at++] = 0x81;
    }
    EXPECT_EQ(block, want) << number;
  }
  const MacroAreaBlock thirteen = ShortcutBlock(1, 13);
  EXPECT_EQ(std::vector<uint8_t>(thirteen.begin() + 4, thirteen.begin() + 16),
            (std::vector<uint8_t>{0xE2, 0x01, 0x2C, 0x01, 0x1B, 0x01, 0x1B, 0x81, 0x2C, 0x81, 0xE2,
                                  0x81}));
  EXPECT_EQ(ShortcutBlock(1, 16)[4], 0);
  EXPECT_EQ(ShortcutBlock(1, 0)[4], 0);
}

TEST(MacroAreaBlocks, MacrosComeBeforeShortcutsAndOtherKindsGiveNoBlock) {
  const TempFolder folder("kwblocks");
  ASSERT_TRUE(folder.MakeFolder("db"));
  ProfileStore store;
  ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), "Tarnwick_V3"));
  const int32_t macro = store.AddMacro("M");
  store.AddMacroEvents({{0, macro, 2, 0, 65, 10, "A"}, {0, macro, 3, 1, 65, 10, "A"}});
  const std::vector<KeyAssignmentRecord> list = {Key(0x30, 7, 1), Key(0x29, 2, 4),
                                                 Key(0x31, 3, macro), Key(0x32, 3, macro + 100)};
  const std::vector<MacroAreaBlock> blocks = MacroAreaBlocks(list, store);
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks[0][2], 0x31);
  EXPECT_EQ(blocks[0][4], 0x04);  // A as a HID usage
  EXPECT_EQ(blocks[1][2], 0x32);  // a missing macro: play count 1, no events
  EXPECT_EQ(blocks[1][3], 1);
  EXPECT_EQ(blocks[1][4], 0);
  EXPECT_EQ(blocks[2], ShortcutBlock(0x30, 1));
  store.Close();
}

}  // namespace
