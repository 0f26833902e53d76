// The recorder's bookkeeping on a manual clock: key names of both input paths, auto-repeat,
// the pause written on the event before, the delay modes and the 30-event limit.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "macro/MacroRecorder.h"
#include "tests/app/FakeHost.h"

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kA = 'A';
constexpr uint32_t kShift = 0x10;
constexpr uint32_t kRightShift = 0xA1;

class MacroRecorderTest : public ::testing::Test {
 protected:
  void Wait(std::chrono::milliseconds d) { clock.SleepUntil(clock.Now() + d); }
  std::optional<RecordedStep> Key(uint32_t vk, bool release) {
    return recorder.Add(MacroRecorder::FromGrab(vk, release));
  }

  ManualClock clock;
  MacroRecorder recorder{clock};
};

TEST_F(MacroRecorderTest, NamesFollowTheRecordingTableOnBothPaths) {
  const RecordedInput shift = MacroRecorder::FromRawKey(kShift, false);
  EXPECT_EQ(shift.code, 0xA0u);
  EXPECT_EQ(shift.name, "L_Shift");
  EXPECT_EQ(MacroRecorder::FromGrab(kRightShift, false).name, "R_Shift");
  EXPECT_EQ(MacroRecorder::FromGrab(0x5C, false).name, "RWin");
  EXPECT_EQ(MacroRecorder::FromRawKey(0x5C, false).name, "R_Win");
  EXPECT_EQ(MacroRecorder::FromGrab(0x22, true).name, "PgDn");
  EXPECT_TRUE(MacroRecorder::FromGrab(0x22, true).release);
  EXPECT_EQ(MacroRecorder::FromRawButton(1, false).name, "mouse_left");
  EXPECT_EQ(MacroRecorder::FromRawButton(3, true).name, "mouse_right");
  EXPECT_EQ(MacroRecorder::FromRawButton(9, false).name, "mouse_button5");
  EXPECT_EQ(MacroRecorder::FromRawButton(4, false).kind, RecordedInput::Ignore) << "wheel";
}

TEST_F(MacroRecorderTest, HeldKeyGivesOnePressAndOneReleaseWithPausesOnTheEventBefore) {
  recorder.Start(0, MacroRecorder::Recorded, 10);
  const auto first = Key(kShift, false);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->previousDelay, 0) << "nothing before the first event";
  EXPECT_EQ(first->name, "L_Shift");
  EXPECT_EQ(first->type, 2);
  Wait(120ms);
  EXPECT_FALSE(Key(kShift, false)) << "auto-repeat";
  Wait(30ms);
  const auto a = Key(kA, false);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->previousDelay, 150);
  Wait(45s);
  const auto up = Key(kA, true);
  ASSERT_TRUE(up);
  EXPECT_EQ(up->previousDelay, 31000) << "a long pause is capped";
  EXPECT_EQ(up->type, 3);
  EXPECT_TRUE(Key(kShift, true));
  EXPECT_TRUE(Key(kShift, false)) << "pressed again after its release";
  EXPECT_EQ(recorder.Records(), 5);
}

TEST_F(MacroRecorderTest, DelayModesAndIgnoredInput) {
  recorder.Start(0, MacroRecorder::NoDelay, 10);
  Key(kA, false);
  Wait(500ms);
  EXPECT_EQ(Key(kA, true)->previousDelay, 0);
  recorder.Start(0, MacroRecorder::Fixed, 75);
  Key(kA, false);
  Wait(500ms);
  EXPECT_EQ(Key(kA, true)->previousDelay, 75);
  EXPECT_FALSE(recorder.Add(MacroRecorder::FromRawButton(1, false))) << "buttons are not recorded";
  recorder.Stop();
  EXPECT_FALSE(Key(kA, false)) << "nothing after stop";
}

TEST_F(MacroRecorderTest, RecordingFromTwentyEightStopsAfterTwoEvents) {
  recorder.Start(28, MacroRecorder::Recorded, 10);
  const auto one = Key(kA, false);
  ASSERT_TRUE(one);
  EXPECT_FALSE(one->limitReached);
  const auto two = Key(kA, true);
  ASSERT_TRUE(two);
  EXPECT_TRUE(two->limitReached);
}

}  // namespace
