#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "app/DeviceTable.h"
#include "docs/LangSettings.h"
#include "tools/vkbd/VirtualBus.h"

namespace {

using namespace std::chrono_literals;

class DeviceTableTest : public ::testing::Test {
 protected:
  void SetUp() override { vkbd::LocalBus().Clear(); }
  void TearDown() override { vkbd::LocalBus().Clear(); }

  static std::vector<DeviceTable::Entry> ShippedTable() {
    return DeviceTable::Read(GetProgramFolder() + "config.xml").entries;
  }
  static bool AnyShownConnected(const std::vector<DeviceTable::Shown>& shown) {
    for (const auto& s : shown)
      if (s.connected) return true;
    return false;
  }

  HidDeviceList list;
};

TEST_F(DeviceTableTest, ReadsTheShippedDeviceTable) {
  const auto table = ShippedTable();
  ASSERT_GE(table.size(), 1u);
  EXPECT_EQ(table[0].vendorId, 0x24AE);
  EXPECT_EQ(table[0].productId, 0x4076);
  EXPECT_LT(table[0].type, 200);
  EXPECT_FALSE(table[0].name.empty());
  EXPECT_EQ(table[0].pathPattern, "VID_24AE&PID_4076");
  EXPECT_FALSE(table[0].layout.empty());
  const DeviceTable::Software software = DeviceTable::Read(GetProgramFolder() + "config.xml").software;
  EXPECT_FALSE(software.caption.empty());
  EXPECT_EQ(software.website.rfind("https://", 0), 0u);
}

TEST_F(DeviceTableTest, DamagedOrMissingTablesGiveTheEntriesTheyHold) {
  const std::string path = std::filesystem::temp_directory_path() / "kw-console-config.xml";
  std::ofstream(path) << "<config><device.info>"
                         "<keyboard name=\"A\" type=\"5\" vid=\"24ae\" pid=\"4076\"/>"
                         "<keyboard name=\"no ids\" type=\"6\"/>"
                         "<keyboard name=\"B\" type=\"201\" vid=\"1A2C\" pid=\"7fff\"";
  const auto file = DeviceTable::Read(path);
  const auto& table = file.entries;
  std::filesystem::remove(path);
  ASSERT_GE(table.size(), 1u);
  EXPECT_EQ(table[0].name, "A");
  EXPECT_EQ(table[0].type, 5);
  for (const auto& entry : table) EXPECT_NE(entry.name, "no ids");
  EXPECT_TRUE(file.software.caption.empty());
  const auto missing = DeviceTable::Read(path + ".missing");
  EXPECT_TRUE(missing.entries.empty());
  EXPECT_TRUE(missing.software.website.empty());
}

TEST_F(DeviceTableTest, RefreshFindsAPluggedKeyboardAndLosesItWhenUnplugged) {
  DeviceTable devices(list, ShippedTable());
  EXPECT_FALSE(AnyShownConnected(devices.Refresh()));
  EXPECT_FALSE(devices.AnyConnected());
  const auto keyboard = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
  EXPECT_TRUE(AnyShownConnected(devices.Refresh()));
  EXPECT_TRUE(devices.AnyConnected());
  EXPECT_EQ(list.FindDevice(0x24AE, 0x4076), 0);
  EXPECT_TRUE(devices.Entries()[0].present);
  EXPECT_EQ(devices.Entries()[0].index, 0);
  keyboard->Unplug();
  EXPECT_FALSE(AnyShownConnected(devices.Refresh()));
  EXPECT_FALSE(devices.Entries()[0].present);
}

TEST_F(DeviceTableTest, TheSecondIdentityShowsConnectedOnlyWhileTheFirstIsAbsent) {
  DeviceTable devices(list, ShippedTable());
  const auto second = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x1A2C, 0x7FFF));
  const auto shownFor = [](const std::vector<DeviceTable::Shown>& shown, int32_t vendor) {
    for (const auto& s : shown)
      if (s.vendorId == vendor) return s.connected;
    return false;
  };
  EXPECT_TRUE(shownFor(devices.Refresh(), 0x1A2C));
  const auto first = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
  const auto both = devices.Refresh();
  EXPECT_TRUE(shownFor(both, 0x24AE));
  EXPECT_FALSE(shownFor(both, 0x1A2C));
  first->Unplug();
  EXPECT_TRUE(shownFor(devices.Refresh(), 0x1A2C));
}

TEST_F(DeviceTableTest, AKeyboardThatMayNotBeOpenedIsShownAsNoAccessUntilAllowed) {
  DeviceTable devices(list, ShippedTable());
  const auto keyboard = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
  keyboard->SetAccessDenied(true);
  const auto isMain = [](const DeviceTable::Shown& s) {
    return s.vendorId == 0x24AE && s.productId == 0x4076;
  };
  for (const auto& s : devices.Refresh()) {
    EXPECT_FALSE(s.connected);
    EXPECT_EQ(s.noAccess, isMain(s)) << std::hex << s.productId;
  }
  EXPECT_FALSE(devices.AnyConnected());
  EXPECT_TRUE(devices.AnyNoAccess());

  keyboard->SetAccessDenied(false);
  EXPECT_TRUE(AnyShownConnected(devices.Refresh()));
  EXPECT_FALSE(devices.AnyNoAccess());

  // Absent is not "no access": an unplugged keyboard that denied access is simply gone.
  keyboard->SetAccessDenied(true);
  keyboard->Unplug();
  for (const auto& s : devices.Refresh()) EXPECT_FALSE(s.noAccess);
  EXPECT_FALSE(devices.AnyNoAccess());
}

TEST_F(DeviceTableTest, EventReadersReportKeyboardEvents) {
  const auto keyboard = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
  DeviceTable devices(list, ShippedTable());
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<std::pair<uintptr_t, intptr_t>> events;
  devices.StartEventReaders([&](uint32_t, uintptr_t type, intptr_t event) {
    std::lock_guard lock(mutex);
    events.emplace_back(type, event);
    arrived.notify_all();
  });
  ASSERT_TRUE(keyboard->WaitForOpen(vkbd::VirtualKeyboard::kEventInterface, 5s));
  ASSERT_TRUE(keyboard->EmitEvent(0x21));
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(arrived.wait_for(lock, 10s, [&] { return !events.empty(); }));
    EXPECT_EQ(events[0].first, static_cast<uintptr_t>(ShippedTable()[0].type));
    EXPECT_EQ(events[0].second, 0x21);
  }
  devices.StopEventReaders();
}

TEST_F(DeviceTableTest, HotPlugNamesMatchArrivalsByPatternAndRemovalsOfPresentEntriesOnly) {
  DeviceTable devices(list, ShippedTable());
  const std::string first = "hid\\vid_24ae&pid_4076&mi_01\\/dev/hidraw3";  // lower case
  const std::string second = "HID\\VID_1A2C&PID_7FFF&MI_01\\/dev/hidraw5";
  const std::string stranger = "HID\\VID_046D&PID_C52B&MI_00\\/dev/hidraw1";
  EXPECT_EQ(devices.MatchArrival(first), 101);
  EXPECT_EQ(devices.MatchArrival(second), 102);
  EXPECT_EQ(devices.MatchArrival(stranger), 0);
  // Nothing is present before a refresh: removals of any keyboard change nothing.
  EXPECT_EQ(devices.MarkRemoved(first), 0);

  const auto keyboard = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
  devices.Refresh();
  EXPECT_EQ(devices.MarkRemoved(stranger), 0);
  EXPECT_EQ(devices.MarkRemoved(second), 0);
  EXPECT_TRUE(devices.Entries()[0].present);
  EXPECT_EQ(devices.MarkRemoved(first), 101);
  EXPECT_FALSE(devices.Entries()[0].present);
  EXPECT_EQ(devices.MarkRemoved(first), 0) << "a second removal of the same keyboard";
}

TEST_F(DeviceTableTest, TwoEntriesWithTheSameIdsShareTheIndexAndTheFirstTakesTheArrival) {
  std::vector<DeviceTable::Entry> table = ShippedTable();
  DeviceTable::Entry twin = table[0];
  twin.type = 150;
  table.push_back(twin);
  DeviceTable devices(list, table);
  vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
  devices.Refresh();
  EXPECT_EQ(devices.FindType(150)->index, devices.FindType(table[0].type)->index);
  EXPECT_EQ(devices.MatchArrival("HID\\VID_24AE&PID_4076&MI_01\\/dev/hidraw0"), table[0].type);
  EXPECT_FALSE(devices.FindType(999).has_value());
}

}  // namespace
