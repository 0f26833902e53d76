#include "device/DeviceEventReader.h"

#include <condition_variable>
#include <mutex>

#include "VkbdFixture.h"

using namespace std::chrono_literals;
using vkbd::VirtualKeyboard;

namespace {

struct Posted {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

// Collects posted messages from the reader thread.
class Inbox {
 public:
  DeviceEventReader::Poster Poster() {
    return [this](uint32_t m, uintptr_t w, intptr_t l) {
      {
        const std::lock_guard lock(mutex_);
        posted_.push_back({m, w, l});
      }
      arrived_.notify_all();
    };
  }
  // Waits for `count` messages; returns all received so far.
  std::vector<Posted> WaitFor(size_t count) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, 10s, [&] { return posted_.size() >= count; });
    return posted_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<Posted> posted_;
};

}  // namespace

class DeviceEventReaderTest : public VkbdTest {
 protected:
  Inbox inbox;
  DeviceEventReader reader;
};

TEST_F(DeviceEventReaderTest, PostsTheEventByteOfReportFiveOnly) {
  const auto kb = Plug();
  reader.Start(inbox.Poster(), kVid, kPid, 7);
  ASSERT_TRUE(reader.IsReading());
  ASSERT_TRUE(kb->WaitForOpen(VirtualKeyboard::kEventInterface, 5s));
  EXPECT_EQ(kb->OpenCount(VirtualKeyboard::kCommandInterface), 0);
  ASSERT_TRUE(kb->EmitReport({0x04, 0x00, 0x11, 0x00}));
  ASSERT_TRUE(kb->EmitReport({0x06, 0x00, 0x12, 0x00}));
  ASSERT_TRUE(kb->EmitEvent(0x21));
  const auto posted = inbox.WaitFor(1);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].message, 0x0444u);
  EXPECT_EQ(posted[0].wParam, 7u);
  EXPECT_EQ(posted[0].lParam, 0x21);
}

TEST_F(DeviceEventReaderTest, ShortAndLongReportsAreHandledSafely) {
  const auto kb = Plug();
  reader.Start(inbox.Poster(), kVid, kPid, 3);
  ASSERT_TRUE(kb->WaitForOpen(VirtualKeyboard::kEventInterface, 5s));
  kb->EmitReport({0x05});
  kb->EmitReport({0x05, 0x00});  // no event byte: nothing to post
  kb->EmitReport({});
  kb->EmitReport({0x05, 0x00, 0x30});  // cut short of its 4 bytes: nothing either
  kb->EmitReport({0x05, 0x00, 0x31, 0x00});
  std::vector<uint8_t> longReport(64, 0xEE);
  longReport[0] = 0x05;
  longReport[2] = 0x32;
  kb->EmitReport(longReport);
  const auto posted = inbox.WaitFor(2);
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0].lParam, 0x31);
  EXPECT_EQ(posted[1].lParam, 0x32);
}

TEST_F(DeviceEventReaderTest, ReadsOnlyItsOwnModel) {
  const auto other = Plug(kLightVid, kLightPid);
  const auto mine = Plug();
  reader.Start(inbox.Poster(), kVid, kPid, 1);
  ASSERT_TRUE(mine->WaitForOpen(VirtualKeyboard::kEventInterface, 5s));
  EXPECT_EQ(other->OpenCount(VirtualKeyboard::kEventInterface), 0);
  EXPECT_FALSE(other->EmitEvent(0x40));  // nobody listens
  mine->EmitEvent(0x41);
  const auto posted = inbox.WaitFor(1);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].lParam, 0x41);
}

TEST_F(DeviceEventReaderTest, WithoutKeyboardNothingRunsUntilARestartFindsOne) {
  reader.Start(inbox.Poster(), kVid, kPid, 1);
  EXPECT_FALSE(reader.IsReading());
  const auto kb = Plug();
  reader.Restart();
  ASSERT_TRUE(reader.IsReading());
  ASSERT_TRUE(kb->WaitForOpen(VirtualKeyboard::kEventInterface, 5s));
  kb->EmitEvent(0x05);
  EXPECT_EQ(inbox.WaitFor(1).size(), 1u);
}

TEST_F(DeviceEventReaderTest, SurvivesUnplugAndReadsTheKeyboardAgainAfterRestart) {
  const auto kb = Plug();
  reader.Start(inbox.Poster(), kVid, kPid, 1);
  ASSERT_TRUE(kb->WaitForOpen(VirtualKeyboard::kEventInterface, 5s));
  kb->Unplug();
  reader.Restart();
  EXPECT_FALSE(reader.IsReading());
  kb->Plug();
  reader.Restart();
  ASSERT_TRUE(kb->WaitForOpen(VirtualKeyboard::kEventInterface, 5s));
  kb->EmitEvent(0x09);
  const auto posted = inbox.WaitFor(1);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].lParam, 0x09);
  reader.Stop();
  EXPECT_FALSE(reader.IsReading());
  EXPECT_EQ(kb->OpenCount(VirtualKeyboard::kEventInterface), 0);
}

TEST(DeviceEventDecode, AcceptsOnlyReportFiveWithItsEventByte) {
  const uint8_t ok[4] = {5, 0, 0x44, 0};
  const uint8_t other[4] = {4, 0, 0x44, 0};
  EXPECT_EQ(DeviceEventReader::DecodeEvent(ok, 4), 0x44);
  EXPECT_FALSE(DeviceEventReader::DecodeEvent(ok, 3));
  EXPECT_FALSE(DeviceEventReader::DecodeEvent(ok, 1));
  EXPECT_FALSE(DeviceEventReader::DecodeEvent(other, 4));
  EXPECT_FALSE(DeviceEventReader::DecodeEvent(nullptr, 4));
}
