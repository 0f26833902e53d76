// The transfers of KeyboardCommands against the virtual keyboard, byte for byte on the wire, and
// what each reports about the reports that went out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "device/VkbdFixture.h"
#include "features/KeyboardCommands.h"
#include "store/ProfileStore.h"
#include "support/TempFolder.h"

namespace {

using std::chrono::milliseconds;
using vkbd::ReportKind;

class CommandsTest : public VkbdTest {
 protected:
  void SetUp() override {
    VkbdTest::SetUp();
    ASSERT_TRUE(folder.MakeFolder("db"));
    ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), "Tarnwick_V3"));
    std::vector<ProfileRecord> profiles;
    store.ListProfilesWithDefaults("Profile", profiles);
    UseCountingList();
    commands.SetSleeper([this](std::chrono::nanoseconds d) { waits.push_back(d); });
  }
  void TearDown() override {
    store.Close();
    VkbdTest::TearDown();
  }

  // Plugs a keyboard, refreshes the list and forgets the set-up traffic.
  std::shared_ptr<vkbd::VirtualKeyboard> PlugKeyboard(uint16_t vid = kVid, uint16_t pid = kPid) {
    auto keyboard = Plug(vid, pid);
    RefreshList();
    keyboard->ClearLog();
    waits.clear();
    return keyboard;
  }

  void Assign(int32_t key, int32_t kind, int32_t value) {
    KeyAssignmentRecord r;
    r.profile = 1;
    r.key_code = key;
    r.macro_type = kind;
    r.macro_value = value;
    ASSERT_GT(store.SaveKeyAssignment(r), 0);
  }

  int32_t Macro(int32_t firstKey, int events) {
    const int32_t id = store.AddMacro("M" + std::to_string(firstKey));
    std::vector<MacroEventRecord> list;
    for (int i = 0; i < events; ++i) {
      list.push_back({0, id, i % 2 == 0 ? 2 : 3, i, firstKey + i / 2, 10, "K"});
    }
    store.AddMacroEvents(list);
    return id;
  }

  static std::vector<std::vector<uint8_t>> Bytes(const std::vector<vkbd::LoggedReport>& log) {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& report : log) out.push_back(report.bytes);
    return out;
  }

  static std::vector<uint8_t> Wire(std::initializer_list<uint8_t> head, size_t size) {
    std::vector<uint8_t> bytes(head);
    bytes.resize(size, 0);
    return bytes;
  }

  const TempFolder folder{"kwcmd"};
  ProfileStore store;
  KeyboardCommands commands{list, store};
};

TEST_F(CommandsTest, AnEmptyProfileSendsSixteenZeroMacroReportsAndAZeroKeyTable) {
  auto keyboard = PlugKeyboard();
  const TransferResult result = commands.SendKeyAssignments(0, 1);
  EXPECT_TRUE(result.Complete());
  EXPECT_EQ(result.total, 21);
  const auto sent = Bytes(keyboard->Log(ReportKind::FeatureSet));
  ASSERT_EQ(sent.size(), 21u);
  EXPECT_EQ(sent[0], Wire({0x07, 0x01, 0x23, 0x45, 0x67}, 64));
  for (int r = 1; r <= 16; ++r) {
    for (int i = 0; i < 64; ++i) {
      EXPECT_EQ(sent[r][i], i % 8 == 0 ? 0x07 : i % 8 == 1 ? 0x88 : 0x00) << r << ":" << i;
    }
  }
  EXPECT_EQ(sent[17], Wire({0x07, 0xAB, 0xCD, 0xEF, 0x00}, 64));
  EXPECT_EQ(sent[18], Wire({0x07, 0x76, 0x54, 0x32, 0x10}, 64));
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(sent[19][i], i % 8 == 0 ? 0x07 : i % 8 == 1 ? 0x99 : 0x00) << i;
  }
  EXPECT_EQ(sent[20], Wire({0x07, 0xFE, 0xDC, 0xBA, 0x00}, 64));
  // 21 paced reports of the list, and the 50 ms gap after the macro area in between.
  ASSERT_EQ(waits.size(), 22u);
  EXPECT_EQ(waits[18], milliseconds(50));
  EXPECT_EQ(std::count(waits.begin(), waits.end(), milliseconds(32)), 21);
  const auto state = keyboard->State();
  EXPECT_EQ(state.macroTransfers, 1);
  EXPECT_EQ(state.macroReportsInLastTransfer, 16);
  EXPECT_EQ(state.keyTableTransfers, 1);
  EXPECT_EQ(state.malformedReports + state.unknownReports, 0);
}

TEST_F(CommandsTest, ADisabledKeyIsTheFirstKeyTableEntry) {
  auto keyboard = PlugKeyboard();
  Assign(0x29, 1, 1);
  commands.SendKeyAssignments(0, 1);
  const auto sent = Bytes(keyboard->Log(ReportKind::FeatureSet));
  ASSERT_EQ(sent.size(), 21u);
  const auto& table = sent[19];
  EXPECT_EQ(table[2], 0x29);
  EXPECT_EQ(table[18], 0x01);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(table[8 * i], 0x07);
    EXPECT_EQ(table[8 * i + 1], 0x99);
  }
  EXPECT_EQ(std::count(table.begin(), table.end(), 0), 64 - 16 - 2);
  EXPECT_EQ(keyboard->State().keyTable[0], (vkbd::KeyEntry{0x29, 0x01}));
}

TEST_F(CommandsTest, MacroKeysThenShortcutsFillTheAreaInListOrder) {
  auto keyboard = PlugKeyboard();
  const int32_t first = Macro(65, 30);  // A, B, ... fills its block
  const int32_t second = Macro(70, 4);
  Assign(0x30, 7, 13);  // the shortcut is listed first, sent last
  Assign(0x31, 3, first);
  Assign(0x32, 3, second);
  Assign(0x29, 2, 0x04);  // a key table entry, no block
  commands.SendKeyAssignments(0, 1);
  const auto state = keyboard->State();
  const auto block0 = state.MacroBlock(0);
  const auto block1 = state.MacroBlock(1);
  const auto block2 = state.MacroBlock(2);
  EXPECT_EQ(block0[2], 0x31);
  EXPECT_EQ(block0[4], 0x04);   // A
  EXPECT_EQ(block0[63], 0x81);  // 30th record, a release
  EXPECT_EQ(block1[2], 0x32);
  EXPECT_EQ(block1[4], 0x09);  // F
  EXPECT_EQ(block1[12], 0);
  EXPECT_EQ(block2[2], 0x30);
  EXPECT_EQ(std::vector<uint8_t>(block2.begin() + 4, block2.begin() + 16),
            (std::vector<uint8_t>{0xE2, 0x01, 0x2C, 0x01, 0x1B, 0x01, 0x1B, 0x81, 0x2C, 0x81, 0xE2,
                                  0x81}));
  EXPECT_EQ(state.MacroBlock(3), (std::array<uint8_t, 64>{}));
  // Data report 1 starts with byte 48 of block 0.
  const auto sent = Bytes(keyboard->Log(ReportKind::FeatureSet));
  EXPECT_EQ(sent[2][2], block0[48]);
  EXPECT_EQ(sent[2][7], block0[53]);
  EXPECT_EQ(sent[2][10], block0[54]);
  EXPECT_EQ(state.keyTable[0], (vkbd::KeyEntry{0x29, 0x04}));
  EXPECT_EQ(state.keyTable[1], (vkbd::KeyEntry{}));
}

LightRecord CustomSlotLight() {
  LightRecord light;
  light.profile = 1;
  light.mode = 5;
  light.brightness = 4;
  light.speed = 2;
  light.config_func = 0x100;
  return light;
}

TEST_F(CommandsTest, LightingModeGoesOutInTheFamilyOfTheDeviceType) {
  auto keyboard = PlugKeyboard();
  store.AddLightSetting(CustomSlotLight());
  EXPECT_TRUE(commands.SendLightingMode(0, 1, 1, 5, 2).Complete());
  const TransferResult noRow = commands.SendLightingMode(0, 1, 1, 6, 2);
  EXPECT_EQ(noRow.total, 0);  // nothing to send
  EXPECT_FALSE(noRow.Complete());
  auto sent = Bytes(keyboard->Log(ReportKind::FeatureSet));
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], Wire({0x07, 0xFF, 0xFF, 0x04, 0x04, 0x02, 0x00, 0x02}, 64));
  EXPECT_EQ(keyboard->State().lightSlot, 2);

  keyboard->ClearLog();
  EXPECT_TRUE(commands.SendLightingMode(0, 200, 1, 5, 2).Complete());
  sent = Bytes(keyboard->Log(ReportKind::Output));
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], Wire({0x00, 0xBB, 0xAA, 0x99, 0x88, 0xAA, 0x04, 0x04, 0x02}, 65));
  EXPECT_TRUE(keyboard->Log(ReportKind::FeatureSet).empty());
}

TEST_F(CommandsTest, CustomLightEditsAndMusicLevelsReachTheKeyboard) {
  auto keyboard = PlugKeyboard();
  EXPECT_TRUE(commands.SendCustomLightBegin(0, 1));
  EXPECT_TRUE(commands.SendCustomLightKey(0, 0x29, true));
  EXPECT_TRUE(commands.SendCustomLightKey(0, 0x2A, false));
  EXPECT_TRUE(commands.SendCustomLightEnd(0, 1));
  const size_t pacedWaits = waits.size();
  EXPECT_TRUE(commands.SendMusicLevel(0, 3, 200));
  EXPECT_EQ(waits.size(), pacedWaits);  // the music level is not paced
  const auto state = keyboard->State();
  EXPECT_EQ(state.customSessions, 1);
  EXPECT_EQ(state.litKeys.at(1).at(0x29), true);
  EXPECT_EQ(state.litKeys.at(1).at(0x2A), false);
  EXPECT_EQ(state.musicEffect, 3);
  EXPECT_EQ(state.musicLevel, 200);
}

TEST_F(CommandsTest, FactoryResetOfBothFamiliesWithItsWaits) {
  auto keyboard = PlugKeyboard();
  EXPECT_TRUE(commands.SendFactoryReset(0, 1).Complete());
  EXPECT_EQ(Bytes(keyboard->Log(ReportKind::FeatureSet)),
            (std::vector<std::vector<uint8_t>>{Wire({0x07, 0xF0, 0xAA}, 64)}));
  EXPECT_EQ(waits, (std::vector<std::chrono::nanoseconds>{milliseconds(32), milliseconds(100)}));
  EXPECT_EQ(keyboard->State().featureResets, 1);

  keyboard->ClearLog();
  waits.clear();
  EXPECT_TRUE(commands.SendFactoryReset(0, 200).Complete());
  EXPECT_EQ(Bytes(keyboard->Log(ReportKind::Output)),
            (std::vector<std::vector<uint8_t>>{
                Wire({0x00, 0xBB, 0xAA, 0x99, 0x88, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}, 65),
                Wire({0x00, 0xBB, 0xAA, 0x99, 0x88}, 65)}));
  EXPECT_EQ(waits, (std::vector<std::chrono::nanoseconds>{milliseconds(1600)}));
  EXPECT_EQ(keyboard->State().outputResets, 1);
}

TEST_F(CommandsTest, FirmwareVersionIsReadAndComparedAsDecimalDigits) {
  auto keyboard = PlugKeyboard();
  keyboard->SetFirmwareVersion(0x0105);
  EXPECT_EQ(commands.ReadFirmwareVersion(0), std::optional<uint16_t>(0x0105));
  EXPECT_TRUE(commands.FirmwareUpdateAvailable(0, "106"));
  EXPECT_FALSE(commands.FirmwareUpdateAvailable(0, "105"));
  keyboard->SetVersionReply(vkbd::VersionReply::Never);
  EXPECT_EQ(commands.ReadFirmwareVersion(0), std::nullopt);
  EXPECT_FALSE(commands.FirmwareUpdateAvailable(0, "106"));
}

TEST_F(CommandsTest, WithoutAKeyboardTransfersStillRunThroughTheirWaitsAndSendNothing) {
  const TransferResult result = commands.SendKeyAssignments(-1, 1);
  EXPECT_EQ(waits, (std::vector<std::chrono::nanoseconds>{milliseconds(50)}));
  EXPECT_EQ(result.sent, 0);
  EXPECT_EQ(result.total, 21);
  EXPECT_FALSE(result.Complete());
  EXPECT_FALSE(commands.SendMusicLevel(-1, 1, 1));
  EXPECT_FALSE(commands.SendCustomLightBegin(-1, 0));
  EXPECT_EQ(commands.SendFactoryReset(-1, 200).sent, 0);
}

TEST_F(CommandsTest, AKeyboardUnpluggedMidTransferIsNotReportedAsSuccess) {
  auto keyboard = PlugKeyboard();
  // The list's pacing wait before report 6 (5 delivered) pulls the plug.
  list.SetSleeper([&](std::chrono::nanoseconds d) {
    waits.push_back(d);
    if (waits.size() == 6) keyboard->Unplug();
  });
  const TransferResult result = commands.SendKeyAssignments(0, 1);
  EXPECT_EQ(keyboard->Log(ReportKind::FeatureSet).size(), 5u);
  EXPECT_EQ(result.sent, 5);
  EXPECT_EQ(result.total, 21);
  EXPECT_FALSE(result.Complete());
  EXPECT_EQ(keyboard->State().macroTransfers, 0);  // the area never ended
}

TEST_F(CommandsTest, AFailedReportInTheMiddleIsCountedAndTheRestStillGoOut) {
  auto keyboard = PlugKeyboard();
  keyboard->FailNextFeatures(1);
  const TransferResult result = commands.SendKeyAssignments(0, 1);
  EXPECT_EQ(result.sent, 20);
  EXPECT_EQ(result.total, 21);
  EXPECT_FALSE(result.Complete());
  EXPECT_EQ(keyboard->State().keyTableTransfers, 1);
}

}  // namespace
