// Music levels: the level of a captured packet, the gain and its clamp, what reaches the virtual
// keyboard, and the device list shared by the level stream, a transfer and a refresh that finds
// the keyboard unplugged (also run under ThreadSanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "device/VkbdFixture.h"
#include "features/KeyboardCommands.h"
#include "features/MusicLevelStream.h"
#include "store/ProfileStore.h"
#include "support/TempFolder.h"

namespace {

// A packet whose unit at count - 10 is `sample`, the rest loud noise that must not count.
std::vector<int16_t> Packet(int16_t sample, std::size_t count = 64) {
  std::vector<int16_t> units(count, 0x7F00);
  units[count - MusicLevelStream::kUnitsFromEnd] = sample;
  return units;
}

TEST(MusicLevel, ThePacketsLevelIsTheHighByteOfTheTenthUnitFromTheEnd) {
  auto level = [](int16_t sample) {
    const std::vector<int16_t> p = Packet(sample);
    return MusicLevelStream::LevelOfPacket(p.data(), p.size());
  };
  EXPECT_EQ(level(0x1234), 0x12);
  EXPECT_EQ(level(-0x1234), 0x12);
  EXPECT_EQ(level(-32768), 128);
  EXPECT_EQ(level(0x00FF), 0);
  const std::vector<int16_t> small(4, 0x7FFF);
  EXPECT_EQ(MusicLevelStream::LevelOfPacket(small.data(), small.size()), 0);
  EXPECT_EQ(MusicLevelStream::LevelOfPacket(nullptr, 0), 0);
  const std::vector<int16_t> exact = Packet(0x4000, MusicLevelStream::kUnitsFromEnd);
  EXPECT_EQ(MusicLevelStream::LevelOfPacket(exact.data(), exact.size()), 0x40);
}

TEST(MusicLevel, TheGainScalesTruncatesAndClampsAt255) {
  EXPECT_EQ(MusicLevelStream::Scaled(0x12, 1.0F), 0x12);
  EXPECT_EQ(MusicLevelStream::Scaled(100, 2.0F), 200);
  EXPECT_EQ(MusicLevelStream::Scaled(128, 2.0F), 255);
  EXPECT_EQ(MusicLevelStream::Scaled(128, 4.0F), 255);
  EXPECT_EQ(MusicLevelStream::Scaled(7, 0.5F), 3);
  EXPECT_EQ(MusicLevelStream::Scaled(0, 4.0F), 0);
  EXPECT_EQ(MusicLevelStream::Scaled(50, -1.0F), 0);
}

class MusicStreamTest : public VkbdTest {
 protected:
  void SetUp() override {
    VkbdTest::SetUp();
    ASSERT_TRUE(folder.MakeFolder("db"));
    ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), "Tarnwick_V3"));
    list.AddFilter(kVid, kPid, "", DeviceFilter::PathPattern(kVid, kPid));
    keyboard = Plug();
    RefreshList();
    keyboard->ClearLog();
  }
  void TearDown() override {
    store.Close();
    VkbdTest::TearDown();
  }

  const TempFolder folder{"kwmusic"};
  ProfileStore store;
  KeyboardCommands commands{list, store};
  std::shared_ptr<vkbd::VirtualKeyboard> keyboard;
};

TEST_F(MusicStreamTest, AnActiveStreamSendsEffectAndScaledLevelAtOnceAndAnInactiveOneNothing) {
  MusicLevelStream stream(commands);
  stream.SetDeviceIndex(0);
  const std::vector<int16_t> loud = Packet(-32768);
  EXPECT_EQ(stream.OnPacket(loud.data(), loud.size()), -1) << "inactive";
  EXPECT_TRUE(keyboard->Log().empty());

  stream.SetActive(true);
  stream.SetEffect(2);
  stream.SetGain(2.0F);
  EXPECT_EQ(stream.OnPacket(loud.data(), loud.size()), 255);
  EXPECT_EQ(stream.OnPacket(nullptr, 0), 0) << "silence still sends level 0";
  const auto log = keyboard->Log();
  ASSERT_EQ(log.size(), 2u);
  const std::vector<uint8_t> head(log[0].bytes.begin(), log[0].bytes.begin() + 7);
  EXPECT_EQ(head, (std::vector<uint8_t>{0x07, 0x23, 0x45, 0x67, 0x89, 2, 255}));
  EXPECT_EQ(log[1].bytes[6], 0);
  EXPECT_TRUE(waits.empty()) << "levels go out without the pacing wait";

  stream.SetDeviceIndex(-1);
  EXPECT_EQ(stream.OnPacket(loud.data(), loud.size()), -1) << "no keyboard: dropped";
}

TEST_F(MusicStreamTest, UnplugAndRefreshWhileLevelsStreamAndATransferRuns) {
  MusicLevelStream stream(commands);
  stream.SetDeviceIndex(0);
  stream.SetActive(true);
  list.SetSleeper([](std::chrono::nanoseconds) {});  // no pacing: maximal overlap
  std::atomic<bool> stop{false};
  std::atomic<int> sent{0};

  std::thread audio([&] {
    const std::vector<int16_t> p = Packet(0x3000);
    while (!stop.load())
      if (stream.OnPacket(p.data(), p.size()) >= 0) sent.fetch_add(1);
  });
  std::thread worker([&] {
    while (!stop.load()) commands.SendKeyAssignments(0, 1);
  });
  // The keyboard goes away and comes back while both send; every refresh drops the records
  // the other threads may be sending through.
  for (int round = 0; round < 20; ++round) {
    if (round % 2 == 0)
      keyboard->Unplug();
    else
      keyboard = Plug();
    RefreshList();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (list.Count() == 0) keyboard = Plug();
  RefreshList();
  const int before = sent.load();
  // After the last refresh the stream reaches the keyboard again.
  for (int i = 0; i < 200 && sent.load() == before; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  stop.store(true);
  audio.join();
  worker.join();
  EXPECT_GT(sent.load(), before);
  EXPECT_GT(keyboard->State().musicReports, 0);
}

}  // namespace
