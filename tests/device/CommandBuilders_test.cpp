#include "device/CommandBuilders.h"

#include <gtest/gtest.h>

#include <vector>

#include "store/ProfileStore.h"

namespace {

std::vector<uint8_t> Head(const CommandPayload& payload, size_t count) {
  return {payload.begin(), payload.begin() + count};
}

bool RestIsZero(const CommandPayload& payload, size_t from) {
  for (size_t i = from; i < payload.size(); ++i) {
    if (payload[i] != 0) return false;
  }
  return true;
}

KeyAssignmentRecord Key(int32_t code, int32_t kind, int32_t value) {
  KeyAssignmentRecord r;
  r.profile = 1;
  r.key_code = code;
  r.macro_type = kind;
  r.macro_value = value;
  return r;
}

TEST(CommandBuilders, FixedCommandsCarryTheirSignaturesAndZerosAfter) {
  const std::vector<std::pair<CommandPayload, std::vector<uint8_t>>> cases = {
      {KeyTableBeginCommand(), {0x07, 0x76, 0x54, 0x32, 0x10}},
      {KeyTableEndCommand(), {0x07, 0xFE, 0xDC, 0xBA, 0x00}},
      {MacroAreaBeginCommand(), {0x07, 0x01, 0x23, 0x45, 0x67}},
      {MacroAreaEndCommand(), {0x07, 0xAB, 0xCD, 0xEF, 0x00}},
      {CustomLightBeginCommand(2), {0x07, 0x12, 0x34, 0x56, 0x78, 0x00, 0x00, 0x02}},
      {CustomLightKeyCommand(0x29, true), {0x07, 0x12, 0x34, 0x56, 0x78, 0x29, 0x01}},
      {CustomLightKeyCommand(0x129, false), {0x07, 0x12, 0x34, 0x56, 0x78, 0x29, 0x00}},
      {CustomLightEndCommand(1), {0x07, 0x12, 0x34, 0x56, 0x78, 0xFE, 0x00, 0x01}},
      {MusicLevelCommand(3, 255), {0x07, 0x23, 0x45, 0x67, 0x89, 0x03, 0xFF}},
      {FactoryResetCommand(), {0x07, 0xF0, 0xAA}},
      {FactoryResetOutputFirstCommand(), {0xBB, 0xAA, 0x99, 0x88, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}},
      {FactoryResetOutputSecondCommand(), {0xBB, 0xAA, 0x99, 0x88}},
  };
  for (const auto& [payload, bytes] : cases) {
    EXPECT_EQ(Head(payload, bytes.size()), bytes);
    EXPECT_TRUE(RestIsZero(payload, bytes.size()));
  }
}

TEST(CommandBuilders, LightingModeSendsTheSlotOnlyForCustomSlotModes) {
  LightRecord light;
  light.mode = 5;
  light.brightness = 4;
  light.speed = 2;
  light.config_func = 0x100;
  EXPECT_EQ(Head(LightingModeCommand(light, 2), 8),
            (std::vector<uint8_t>{0x07, 0xFF, 0xFF, 0x04, 0x04, 0x02, 0x00, 0x02}));
  light.config_func = 0x003;
  EXPECT_EQ(LightingModeCommand(light, 2)[7], 0);
  EXPECT_EQ(Head(LightingModeOutputCommand(light), 8),
            (std::vector<uint8_t>{0xBB, 0xAA, 0x99, 0x88, 0xAA, 0x04, 0x04, 0x02}));
}

TEST(CommandBuilders, DataReportsSpreadSixBytesOverEachSubPacket) {
  uint8_t data[48];
  for (int i = 0; i < 48; ++i) data[i] = static_cast<uint8_t>(0x40 + i);
  const CommandPayload report = DataReport(0x88, data);
  for (int n = 0; n < 48; ++n) {
    EXPECT_EQ(report[8 * (n / 6) + 2 + n % 6], 0x40 + n) << n;
  }
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(report[8 * i], 0x07);
    EXPECT_EQ(report[8 * i + 1], 0x88);
  }
}

TEST(CommandBuilders, KeyTableSkipsDefaultMacroAndShortcutKindsAndHoldsTwelve) {
  std::vector<KeyAssignmentRecord> list = {Key(0x10, 0, 0), Key(0x29, 1, 1), Key(0x11, 3, 1),
                                           Key(0x12, 7, 2), Key(0x2A, 2, 0x104)};
  for (int32_t i = 0; i < 12; ++i) list.push_back(Key(0x50 + i, 8, 200 + i));
  const KeyTableData data = BuildKeyTableData(list);
  EXPECT_EQ(data[0], 0x29);
  EXPECT_EQ(data[12], 0x01);
  EXPECT_EQ(data[1], 0x2A);
  EXPECT_EQ(data[13], 0x04);  // low byte of the value
  EXPECT_EQ(data[11], 0x59);
  EXPECT_EQ(data[23], 209);
  for (int i = 24; i < 48; ++i) EXPECT_EQ(data[i], 0);
}

TEST(CommandBuilders, AMacroAreaKeepsItsFirstTwelveBlocks) {
  std::vector<KeyAssignmentRecord> list;
  for (int32_t i = 0; i < 14; ++i) list.push_back(Key(0x40 + i, 7, 1 + i % 15));
  ProfileStore closed;  // shortcuts only: nothing to read
  const MacroArea area = BuildMacroArea(list, closed);
  EXPECT_EQ(area[11 * 64 + 2], 0x4B);
  EXPECT_EQ(area[11 * 64 + 4], 0xE0);  // shortcut 12: Ctrl+W
  const CommandPayload last = MacroAreaReport(area, 15);
  EXPECT_EQ(last[2], area[15 * 48]);
  EXPECT_EQ(last[63], area[767]);
}

TEST(ShortcutBlocks, EveryShortcutPressesInOrderAndReleasesInReverse) {
  const uint8_t expected[15][3] = {
      {0xE0, 0x04}, {0xE0, 0x06}, {0xE0, 0x1B}, {0xE0, 0x19}, {0xE0, 0x1D},
      {0xE0, 0x16}, {0xE3, 0x08}, {0xE3, 0x0F}, {0xE3, 0x07}, {0xE2, 0x2B},
      {0xE3, 0x10}, {0xE0, 0x1A}, {0xE2, 0x2C, 0x1B}, {0xE2, 0x2C, 0x11}, {0xE2, 0x3D},
  };
  for (int number = 1; number <= 15; ++number) {
    const MacroBlock block = ShortcutBlock(0x33, number);
    const auto& keys = expected[number - 1];
    const int count = keys[2] != 0 ? 3 : 2;
    std::vector<uint8_t> pairs;
    for (int i = 0; i < count; ++i) pairs.insert(pairs.end(), {keys[i], 0x01});
    for (int i = count - 1; i >= 0; --i) pairs.insert(pairs.end(), {keys[i], 0x81});
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(block[2], 0x33);
    EXPECT_EQ(block[3], 1);
    EXPECT_EQ(std::vector<uint8_t>(block.begin() + 4, block.begin() + 4 + pairs.size()), pairs)
        << number;
    for (size_t i = 4 + pairs.size(); i < block.size(); ++i) EXPECT_EQ(block[i], 0) << number;
  }
  const MacroBlock thirteen = ShortcutBlock(1, 13);
  EXPECT_EQ(std::vector<uint8_t>(thirteen.begin() + 4, thirteen.begin() + 16),
            (std::vector<uint8_t>{0xE2, 0x01, 0x2C, 0x01, 0x1B, 0x01, 0x1B, 0x81, 0x2C, 0x81, 0xE2, 0x81}));
  EXPECT_EQ(ShortcutBlock(1, 16)[4], 0);
  EXPECT_EQ(ShortcutBlock(1, 0)[4], 0);
}

TEST(FirmwareVersion, HexDigitsAreReadAsADecimalNumber) {
  EXPECT_EQ(FirmwareVersionText(0x0105), "105");
  EXPECT_EQ(VersionNumber("105"), 105);
  EXPECT_TRUE(FirmwareIsOlder(0x0105, "106"));
  EXPECT_FALSE(FirmwareIsOlder(0x0106, "106"));
  EXPECT_FALSE(FirmwareIsOlder(0x0107, "106"));
  EXPECT_FALSE(FirmwareIsOlder(0x0000, "106"));     // a device that says 0 is never older
  EXPECT_FALSE(FirmwareIsOlder(0x0105, ""));
  EXPECT_FALSE(FirmwareIsOlder(0x0105, "12345678901"));  // 11 characters
  EXPECT_TRUE(FirmwareIsOlder(0x0105, "2000\r\n"));
  EXPECT_EQ(FirmwareVersionText(0x01A5), "1a5");  // reads as 1
  EXPECT_TRUE(FirmwareIsOlder(0x01A5, "2"));
  EXPECT_FALSE(FirmwareIsOlder(0x0105, "abc"));
}

}  // namespace
