#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "FakeHost.h"
#include "app/ConsoleDevices.h"
#include "app/ConsoleHost.h"
#include "app/TaskWorker.h"
#include "docs/LangSettings.h"
#include "support/TempFolder.h"
#include "tools/vkbd/VirtualBus.h"

namespace {

using namespace std::chrono_literals;

class ConsoleDevicesTest : public ::testing::Test {
 protected:
  void SetUp() override { vkbd::LocalBus().Clear(); }
  void TearDown() override { vkbd::LocalBus().Clear(); }

  static std::vector<ConsoleDevices::Entry> ShippedTable() {
    return ConsoleDevices::ReadDeviceTable(GetProgramFolder() + "config.xml");
  }

  HidDeviceList list;
};

TEST_F(ConsoleDevicesTest, ReadsTheShippedDeviceTable) {
  const auto table = ShippedTable();
  ASSERT_GE(table.size(), 1u);
  EXPECT_EQ(table[0].vendorId, 0x24AE);
  EXPECT_EQ(table[0].productId, 0x4076);
  EXPECT_LT(table[0].type, 200);
  EXPECT_FALSE(table[0].name.empty());
}

TEST_F(ConsoleDevicesTest, DamagedOrMissingTablesGiveTheEntriesTheyHold) {
  const TempFolder folder("kw-console");
  const std::string path = folder / "config.xml";
  ASSERT_TRUE(folder.Write("config.xml", "<config><device.info>"
                           "<keyboard name=\"A\" type=\"5\" vid=\"24ae\" pid=\"4076\"/>"
                           "<keyboard name=\"no ids\" type=\"6\"/>"
                           "<keyboard name=\"B\" type=\"201\" vid=\"1A2C\" pid=\"7fff\""));
  const auto table = ConsoleDevices::ReadDeviceTable(path);
  ASSERT_GE(table.size(), 1u);
  EXPECT_EQ(table[0].name, "A");
  EXPECT_EQ(table[0].type, 5);
  for (const auto& entry : table) EXPECT_NE(entry.name, "no ids");
  EXPECT_TRUE(ConsoleDevices::ReadDeviceTable(path + ".missing").empty());
}

TEST_F(ConsoleDevicesTest, RefreshFindsAPluggedKeyboardAndLosesItWhenUnplugged) {
  ConsoleDevices devices(list, ShippedTable());
  EXPECT_FALSE(devices.Refresh());
  const auto keyboard = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
  EXPECT_TRUE(devices.Refresh());
  EXPECT_EQ(list.FindDevice(0x24AE, 0x4076), 0);
  keyboard->Unplug();
  EXPECT_FALSE(devices.Refresh());
}

TEST_F(ConsoleDevicesTest, EventReadersReportKeyboardEvents) {
  const auto keyboard = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
  ConsoleDevices devices(list, ShippedTable());
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

TEST_F(ConsoleDevicesTest, WorkerRunsTasksOnlyOnceTheFirstRefreshFoundTheKeyboard) {
  vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
  ConsoleDevices devices(list, ShippedTable());
  ConsoleHost host([&devices] { return devices.Refresh(); });
  ManualClock clock;
  TaskDispatcher dispatcher(host, clock);
  int transfers = 0;
  dispatcher.RegisterTask(kTaskSendKeys, [&] { ++transfers; });
  dispatcher.QueueTask(kTaskSendKeys);  // before any refresh: no keyboard known yet
  dispatcher.QueueTask(kTaskFirstRefresh);
  dispatcher.QueueTask(kTaskSendKeys);
  for (int step = 0; step < 3; ++step) dispatcher.RunStep();
  EXPECT_EQ(transfers, 1);
  EXPECT_TRUE(dispatcher.FirstRefreshDone());
  EXPECT_TRUE(host.IsKeyboardConnected());
}

}  // namespace
