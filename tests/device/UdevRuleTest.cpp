#include <gtest/gtest.h>

#include "device/UdevRule.h"

namespace {

std::string Line(const char* vendor, const char* product) {
  return std::string("SUBSYSTEM==\"hidraw\", KERNEL==\"hidraw*\", ATTRS{idVendor}==\"") + vendor +
         "\", ATTRS{idProduct}==\"" + product + "\", TAG+=\"uaccess\"\n";
}

TEST(UdevRuleTest, OneLowerCaseLinePerDistinctPairInTableOrder) {
  const std::string text = UdevRuleText({{0x24AE, 0x4076, "", ""},
                                         {0x1A2C, 0x7FFF, "", ""},
                                         {0x24AE, 0x4076, "", ""},
                                         {0x00AB, 0x0001, "", ""}});
  const std::string lines = Line("24ae", "4076") + Line("1a2c", "7fff") + Line("00ab", "0001");
  ASSERT_GE(text.size(), lines.size());
  EXPECT_EQ(text.substr(text.size() - lines.size()), lines);
  EXPECT_EQ(text.front(), '#');
  // The whole text goes through the root shell's single quotes.
  EXPECT_EQ(text.find('\''), std::string::npos);
}

TEST(UdevRuleTest, IdsOutsideSixteenBitsAreLeftOut) {
  const std::string text =
      UdevRuleText({{0x10000, 0x4076, "", ""}, {0x24AE, -1, "", ""}, {0x24AE, 0x4077, "", ""}});
  EXPECT_EQ(text.find("10000"), std::string::npos);
  EXPECT_EQ(text.find("ffff"), std::string::npos);
  EXPECT_NE(text.find(Line("24ae", "4077")), std::string::npos);
}

TEST(UdevRuleTest, TheInstallCommandWritesTheRuleAndRetriggersHidraw) {
  const std::string rule = UdevRuleText({{0x24AE, 0x4076, "", ""}});
  const std::vector<std::string> command = UdevInstallCommand(rule);
  ASSERT_EQ(command.size(), 3u);
  EXPECT_EQ(command[0], "/bin/sh");
  EXPECT_EQ(command[1], "-c");
  EXPECT_EQ(command[2], "printf '%s' '" + rule +
                            "' > /etc/udev/rules.d/70-keywright.rules"
                            " && udevadm control --reload-rules"
                            " && udevadm trigger --subsystem-match=hidraw --action=change");
}

TEST(UdevRuleTest, TextThatCouldLeaveItsQuotesGivesNoCommand) {
  EXPECT_TRUE(UdevInstallCommand("x'; rm -rf /; '").empty());
  EXPECT_TRUE(UdevInstallCommand(std::string("a\0b", 3)).empty());
}

}  // namespace
