// The window's animation timer sleeps through ticks that every running control promises to
// spend without a visible change, and wakes as soon as one has to move again. The test plays
// the timer on a manual clock: it moves time by the ticks the manager asked to sleep through
// (none once something woke it) plus one, then ticks.
#include <gtest/gtest.h>

#include <vector>

#include "tavex/AnimationClock.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MDialog.h"

using Tavex::CRect;
using Tavex::KeyboardCtrl;
using Tavex::PaintManager;

namespace {

constexpr int kPeriodMs = 10;  // the manager's animation period before SetMTimer

// Two preview frames on four keys.
KeyboardCtrl* PreviewKeyboard(Tavex::MDialog& dialog) {
  auto* kb =
      dialog.CreateControlAs<KeyboardCtrl>("KeyboardCtrl", 69, CRect(0, 0, 400, 40), nullptr, 1, 1);
  for (int i = 0; i < 4; ++i) kb->AddKeyItem("k", "k", 100 + i, CRect(i * 40, 0, i * 40 + 30, 30), "");
  const std::vector<unsigned char> frames{10, 10, 10, 10, 200, 200, 200, 200};
  kb->SetLightModeData(frames.data(), static_cast<int>(frames.size()));
  kb->SetLightSpeed(2);  // a frame every 6 ticks: 60 ms
  return kb;
}

struct TimerDouble {
  PaintManager& pm;
  Tavex::ManualClock& clock;
  int wakes = 0;

  // One wake of the timer: after the planned sleep, or after `ms` when given (a wake that
  // came early).
  int Tick(int ms = 0) {
    clock.AdvanceMs(ms > 0 ? ms : kPeriodMs * (1 + pm.GetAnimationSleep()));
    ++wakes;
    return pm.TickAnimation();
  }
  // Ticks until the frame changes; returns the milliseconds that took (-1: not within `limit`).
  int UntilNextFrame(const KeyboardCtrl& kb, int limit = 50) {
    const int frame = kb.GetCurrentFrame();
    const std::int64_t start = Tavex::AnimationClock::NowMs();
    for (int i = 0; i < limit; ++i) {
      Tick();
      const std::int64_t spent = Tavex::AnimationClock::NowMs() - start;
      if (kb.GetCurrentFrame() != frame) return static_cast<int>(spent);
    }
    return -1;
  }
};

}  // namespace

TEST(AnimationTimer, SleepsWhileNothingMovesAndWakesOncePerPreviewFrame) {
  Tavex::ManualClock clock;
  Tavex::ScopedAnimationClock installed(clock);
  Tavex::MDialog dialog;
  KeyboardCtrl* kb = PreviewKeyboard(dialog);
  kb->SetKeyboardCtrlMode(KeyboardCtrl::kModeAssign);
  PaintManager& pm = dialog.GetPaintManager();
  TimerDouble timer{pm, clock};

  // Nothing to animate: one tick, then the longest sleep.
  EXPECT_EQ(timer.Tick(), 0);
  EXPECT_EQ(pm.GetAnimationSleep(), PaintManager::kLongestSleepTicks);

  // The preview wakes the timer and starts at once; after that one wake per frame, exactly
  // 60 ms apart.
  kb->SetKeyboardCtrlMode(KeyboardCtrl::kModePreview);
  EXPECT_EQ(pm.GetAnimationSleep(), 0);
  EXPECT_EQ(timer.UntilNextFrame(*kb), 60);
  EXPECT_EQ(kb->GetCurrentFrame(), 1);
  const int wakesBefore = timer.wakes;
  for (int i = 0; i < 12; ++i) EXPECT_EQ(timer.UntilNextFrame(*kb), 60) << "frame " << i;
  EXPECT_EQ(timer.wakes - wakesBefore, 12);
  EXPECT_EQ(kb->GetCurrentFrame(), 1);  // thirteen changes over two frames

  // A wake in the middle of a sleep (20 ms into the 50 ms planned) keeps the pace: the ticks
  // slept through are counted by the clock.
  EXPECT_EQ(pm.GetAnimationSleep(), 5);
  timer.Tick(20);
  EXPECT_EQ(kb->GetCurrentFrame(), 1);
  EXPECT_EQ(pm.GetAnimationSleep(), 3);
  timer.Tick();
  EXPECT_EQ(kb->GetCurrentFrame(), 0);  // 20 + 40 ms: the frame is due

  // A faster speed takes effect without waiting for the sleep planned at the old one.
  kb->SetLightSpeed(7);  // every tick
  EXPECT_EQ(pm.GetAnimationSleep(), 0);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(timer.UntilNextFrame(*kb, 1), kPeriodMs) << i;

  // Hidden, it asks for nothing; shown again, it moves at the next tick.
  kb->SetVisible(0);
  const int hiddenFrame = kb->GetCurrentFrame();
  EXPECT_EQ(timer.Tick(), 0);
  EXPECT_EQ(pm.GetAnimationSleep(), PaintManager::kLongestSleepTicks);
  EXPECT_EQ(kb->GetCurrentFrame(), hiddenFrame);
  kb->SetVisible(1);
  EXPECT_EQ(pm.GetAnimationSleep(), 0);
  EXPECT_EQ(timer.UntilNextFrame(*kb, 1), kPeriodMs);
}
