#include "device/CommandBuilders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/KeyAssignments.h"

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

TEST(CommandBuilders, AMacroAreaKeepsItsFirstTwelveBlocksInOrder) {
  std::vector<MacroAreaBlock> blocks(14);
  for (size_t i = 0; i < blocks.size(); ++i) blocks[i].fill(static_cast<uint8_t>(i + 1));
  const MacroArea area = BuildMacroArea(blocks);
  EXPECT_EQ(area[0], 1);
  EXPECT_EQ(area[11 * 64], 12);
  EXPECT_EQ(area[767], 12);  // blocks 13 and 14 are dropped
  const CommandPayload last = MacroAreaReport(area, 15);
  EXPECT_EQ(last[2], area[15 * 48]);
  EXPECT_EQ(last[63], area[767]);
  // Fewer blocks leave the rest of the area zero.
  const MacroArea two = BuildMacroArea({blocks[0], blocks[1]});
  EXPECT_EQ(two[127], 2);
  EXPECT_EQ(std::count(two.begin() + 128, two.end(), 0), kMacroAreaBytes - 128);
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
