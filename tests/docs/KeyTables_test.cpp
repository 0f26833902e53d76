#include "docs/KeyTables.h"

#include <gtest/gtest.h>

namespace {

TEST(VirtualKeyToHid, MapsRangesSingleCodesAndDeviceCodes) {
  EXPECT_EQ(VirtualKeyToHid(65), 0x04u);
  EXPECT_EQ(VirtualKeyToHid(90), 0x1Du);
  EXPECT_EQ(VirtualKeyToHid(49), 0x1Eu);
  EXPECT_EQ(VirtualKeyToHid(57), 0x26u);
  EXPECT_EQ(VirtualKeyToHid(48), 0x27u);
  EXPECT_EQ(VirtualKeyToHid(666), 0x32u);
  EXPECT_EQ(VirtualKeyToHid(123), 0x45u);
  EXPECT_EQ(VirtualKeyToHid(124), 0x68u);
  EXPECT_EQ(VirtualKeyToHid(135), 0x73u);
  EXPECT_EQ(VirtualKeyToHid(97), 0x59u);
  EXPECT_EQ(VirtualKeyToHid(105), 0x61u);
  EXPECT_EQ(VirtualKeyToHid(96), 0x62u);
  EXPECT_EQ(VirtualKeyToHid(108), 0x58u);
  EXPECT_EQ(VirtualKeyToHid(254), 0xAFu);
  EXPECT_EQ(VirtualKeyToHid(92), 0xE7u);
  EXPECT_EQ(VirtualKeyToHid(137), 137u);
  EXPECT_EQ(VirtualKeyToHid(301), 0xECu);
  EXPECT_EQ(VirtualKeyToHid(302), 0xEBu);
}

TEST(VirtualKeyToHid, CodesWithoutAKeyGiveZero) {
  for (uint32_t vk : {0u, 16u, 17u, 18u, 64u, 95u, 140u, 255u, 300u, 665u, 0xFFFFFFFFu}) {
    EXPECT_EQ(VirtualKeyToHid(vk), 0u) << vk;
  }
}

TEST(HidToLabel, KeypadAndMainRowShareLabels) {
  EXPECT_EQ(HidToLabel(0x5A), "2");
  EXPECT_EQ(HidToLabel(0x1F), "2");
  EXPECT_EQ(HidToLabel(0x62), "0");
  EXPECT_EQ(HidToLabel(0x58), "Enter");
  EXPECT_EQ(HidToLabel(0x04), "A");
  EXPECT_EQ(HidToLabel(0x1D), "Z");
  EXPECT_EQ(HidToLabel(0x3A), "F1");
  EXPECT_EQ(HidToLabel(0x45), "F12");
  EXPECT_EQ(HidToLabel(0x31), "\\");
  EXPECT_EQ(HidToLabel(0x52), "UP");
  EXPECT_EQ(HidToLabel(0xAF), "Fn");
  EXPECT_EQ(HidToLabel(0xE6), "R_Alt");
}

TEST(HidToLabel, UsagesWithoutALabelAreEmpty) {
  for (uint32_t usage : {0x00u, 0x32u, 0x64u, 0x68u, 0xE7u, 0x100u}) {
    EXPECT_EQ(HidToLabel(usage), "") << usage;
  }
}

TEST(VirtualKeyToDisplayName, CustomKeyOverridesReplaceLayoutNames) {
  const auto name = [](uint32_t vk) { return VirtualKeyToDisplayName(vk, KeyNameVariant::CustomKey); };
  EXPECT_EQ(name(124), "F13");
  EXPECT_EQ(name(135), "F24");
  EXPECT_EQ(name(220), "\\||");
  EXPECT_EQ(name(222), "'\"");
  EXPECT_EQ(name(191), "?/");
  EXPECT_EQ(name(91), "Win");
  EXPECT_EQ(name(16), "Shift");  // no override: the layout's name
  EXPECT_EQ(name(112), "F1");
  EXPECT_EQ(name(13), "Enter");
  EXPECT_FALSE(name(65).empty());
  EXPECT_EQ(name(1000), "");
}

TEST(VirtualKeyToDisplayName, RecordingUsesLeftHandModifiers) {
  EXPECT_EQ(RecordedVirtualKey(16), 160u);
  EXPECT_EQ(RecordedVirtualKey(17), 162u);
  EXPECT_EQ(RecordedVirtualKey(18), 164u);
  EXPECT_EQ(RecordedVirtualKey(65), 65u);
  const auto name = [](uint32_t vk) { return VirtualKeyToDisplayName(vk, KeyNameVariant::MacroRecord); };
  EXPECT_EQ(name(16), "L_Shift");
  EXPECT_EQ(name(17), "L_Ctrl");
  EXPECT_EQ(name(18), "L_Alt");
  EXPECT_EQ(name(165), "R_Alt");
  EXPECT_EQ(name(34), "PgDn");
  EXPECT_EQ(name(145), "Scroll");
  // The custom key dialog's overrides are not part of this variant.
  EXPECT_NE(name(124), "");
  EXPECT_NE(name(186), ";:");
}

}  // namespace
