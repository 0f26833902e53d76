#include "tools/vkbd/CommandDecoder.h"

#include <gtest/gtest.h>

#include <vector>

using vkbd::CommandDecoder;
using vkbd::KeyEntry;

namespace {

using Report = std::vector<uint8_t>;

Report Cmd(std::initializer_list<uint8_t> head) {
  Report r(64, 0);
  size_t i = 0;
  for (const uint8_t b : head) r[i++] = b;
  return r;
}

// A data report with the 48 data bytes spread over eight 07 mm d d d d d d sub-packets.
Report Data(uint8_t marker, const std::vector<uint8_t>& bytes48) {
  Report r(64, 0);
  for (int p = 0; p < 8; ++p) {
    r[8 * p] = 0x07;
    r[8 * p + 1] = marker;
  }
  for (size_t n = 0; n < 48 && n < bytes48.size(); ++n) r[8 * (n / 6) + 2 + n % 6] = bytes48[n];
  return r;
}

class Decoder : public ::testing::Test {
 protected:
  void Feature(const Report& r) { d.OnFeature(r.data(), r.size()); }
  void Output(const Report& payload) {
    Report wire{0x00};
    wire.insert(wire.end(), payload.begin(), payload.end());
    d.OnOutput(wire.data(), wire.size());
  }
  CommandDecoder d;
};

}  // namespace

TEST_F(Decoder, KeyTableTransferSetsEntriesFromCodesAndValues) {
  std::vector<uint8_t> bytes(48, 0);
  bytes[0] = 0x29;
  bytes[12] = 0x01;
  bytes[1] = 0x3A;
  bytes[13] = 0x7F;
  Feature(Cmd({7, 0x76, 0x54, 0x32, 0x10}));
  const Report data = Data(0x99, bytes);
  EXPECT_EQ(data[2], 0x29);
  EXPECT_EQ(data[18], 0x01);
  Feature(data);
  EXPECT_EQ(d.State().keyTableTransfers, 0);  // not before the end command
  Feature(Cmd({7, 0xFE, 0xDC, 0xBA, 0x00}));
  EXPECT_EQ(d.State().keyTableTransfers, 1);
  EXPECT_EQ(d.State().keyTable[0], (KeyEntry{0x29, 0x01}));
  EXPECT_EQ(d.State().keyTable[1], (KeyEntry{0x3A, 0x7F}));
  EXPECT_EQ(d.State().keyTable[2], KeyEntry{});
  EXPECT_EQ(d.State().malformedReports, 0);
}

TEST_F(Decoder, MacroAreaIsAssembledFromSixteenReportsInOrder) {
  Feature(Cmd({7, 0x01, 0x23, 0x45, 0x67}));
  for (int r = 0; r < 16; ++r) {
    std::vector<uint8_t> bytes(48);
    for (int n = 0; n < 48; ++n) bytes[n] = static_cast<uint8_t>(48 * r + n);
    Feature(Data(0x88, bytes));
  }
  Feature(Cmd({7, 0xAB, 0xCD, 0xEF, 0x00}));
  const auto& s = d.State();
  EXPECT_EQ(s.macroTransfers, 1);
  EXPECT_EQ(s.macroReportsInLastTransfer, 16);
  EXPECT_EQ(s.MacroBlock(0)[48], 48);  // data report 1 starts with byte 48 of block 0
  EXPECT_EQ(s.MacroBlock(11)[63], static_cast<uint8_t>(767));
  EXPECT_EQ(s.malformedReports, 0);
}

TEST_F(Decoder, DataOutsideATransferOrWithBadHeadersIsCountedAsMalformed) {
  Feature(Data(0x88, std::vector<uint8_t>(48, 1)));
  Feature(Cmd({7, 0xFE, 0xDC, 0xBA, 0x00}));
  EXPECT_EQ(d.State().malformedReports, 2);
  EXPECT_EQ(d.State().keyTableTransfers, 0);
  Feature(Cmd({7, 0x76, 0x54, 0x32, 0x10}));
  Report bad = Data(0x99, std::vector<uint8_t>(48, 2));
  bad[16] = 0x06;
  Feature(bad);
  EXPECT_EQ(d.State().malformedReports, 3);
}

TEST_F(Decoder, LightingModeOfBothFamilies) {
  Feature(Cmd({7, 0xFF, 0xFF, 4, 4, 2, 0, 2}));
  EXPECT_EQ(d.State().lightMode, 4);
  EXPECT_EQ(d.State().brightness, 4);
  EXPECT_EQ(d.State().speed, 2);
  EXPECT_EQ(d.State().lightSlot, 2);
  Output(Cmd({0xBB, 0xAA, 0x99, 0x88, 0xAA, 7, 3, 1}));
  EXPECT_EQ(d.State().lightMode, 7);
  EXPECT_EQ(d.State().brightness, 3);
  EXPECT_EQ(d.State().speed, 1);
  EXPECT_EQ(d.State().lightingCommands, 2);
}

TEST_F(Decoder, CustomLightSessionsTrackLitKeysPerSlot) {
  Feature(Cmd({7, 0x12, 0x34, 0x56, 0x78, 0x00, 0x00, 1}));
  EXPECT_TRUE(d.State().customEditing);
  Feature(Cmd({7, 0x12, 0x34, 0x56, 0x78, 0x29, 0x01}));
  Feature(Cmd({7, 0x12, 0x34, 0x56, 0x78, 0x41, 0x01}));
  Feature(Cmd({7, 0x12, 0x34, 0x56, 0x78, 0x41, 0x00}));
  Feature(Cmd({7, 0x12, 0x34, 0x56, 0x78, 0xFE, 0x00, 1}));
  EXPECT_FALSE(d.State().customEditing);
  EXPECT_EQ(d.State().customSessions, 1);
  EXPECT_EQ(d.State().LitKeysText(1), "29");
  EXPECT_EQ(d.State().LitKeysText(0), "");
  Feature(Cmd({7, 0x12, 0x34, 0x56, 0x78, 0x00, 0x00, 1}));  // a new period starts dark
  EXPECT_EQ(d.State().LitKeysText(1), "");
}

TEST_F(Decoder, MusicLevelKeepsTheLastEffectAndLevel) {
  Feature(Cmd({7, 0x23, 0x45, 0x67, 0x89, 2, 100}));
  Feature(Cmd({7, 0x23, 0x45, 0x67, 0x89, 3, 255}));
  EXPECT_EQ(d.State().musicEffect, 3);
  EXPECT_EQ(d.State().musicLevel, 255);
  EXPECT_EQ(d.State().musicReports, 2);
}

TEST_F(Decoder, FactoryResetsOfBothFamiliesClearTheSettings) {
  Feature(Cmd({7, 0xFF, 0xFF, 4, 4, 2, 0, 0}));
  Feature(Cmd({7, 0xF0, 0xAA}));
  EXPECT_EQ(d.State().featureResets, 1);
  EXPECT_EQ(d.State().lightMode, 0);

  Output(Cmd({0xBB, 0xAA, 0x99, 0x88, 0xAA, 5, 5, 5}));
  Output(Cmd({0xBB, 0xAA, 0x99, 0x88}));  // step 2 without step 1 is no reset
  EXPECT_EQ(d.State().outputResets, 0);
  Output(Cmd({0xBB, 0xAA, 0x99, 0x88, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}));
  EXPECT_EQ(d.State().lightMode, 5);  // step 1 alone changes nothing
  Output(Cmd({0xBB, 0xAA, 0x99, 0x88}));
  EXPECT_EQ(d.State().outputResets, 1);
  EXPECT_EQ(d.State().lightMode, 0);
}

TEST_F(Decoder, ShortEmptyAndForeignReportsAreCountedNotTrusted) {
  d.OnFeature(nullptr, 0);
  const uint8_t two[2] = {7, 0xFF};
  d.OnFeature(two, 2);
  const Report big(200, 0x07);
  d.OnFeature(big.data(), big.size());
  d.OnOutput(nullptr, 0);
  Output(Cmd({0x12, 0x34}));
  EXPECT_EQ(d.State().unknownReports, 5);
  EXPECT_EQ(d.State().lightingCommands, 0);
}
