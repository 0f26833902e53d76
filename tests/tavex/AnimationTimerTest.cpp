// The window's animation timer sleeps through ticks that every running control promises to
// spend without a visible change, and wakes as soon as one has to move again.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "tavex/KeyboardCtrl.h"
#include "tavex/MDialog.h"

using Tavex::CRect;
using Tavex::KeyboardCtrl;
using namespace std::chrono_literals;

namespace {

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

// Frame changes seen over `span`, and when the first came.
struct Watched {
  int changes = 0;
  std::chrono::milliseconds first{-1};
};

Watched WatchFrames(const KeyboardCtrl& kb, std::chrono::milliseconds span) {
  Watched w;
  const auto start = std::chrono::steady_clock::now();
  int frame = kb.GetCurrentFrame();
  while (std::chrono::steady_clock::now() - start < span) {
    std::this_thread::sleep_for(2ms);
    const int now = kb.GetCurrentFrame();
    if (now == frame) continue;
    frame = now;
    if (w.changes++ == 0) {
      w.first = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    }
  }
  return w;
}

}  // namespace

TEST(AnimationTimer, SleepsWhileNothingMovesAndWakesOncePerPreviewFrame) {
  Tavex::MDialog dialog;
  KeyboardCtrl* kb = PreviewKeyboard(dialog);
  kb->SetKeyboardCtrlMode(KeyboardCtrl::kModeAssign);
  Tavex::PaintManager& pm = dialog.GetPaintManager();
  ASSERT_NE(pm.SetMTimer(10), 0u);

  std::this_thread::sleep_for(300ms);
  EXPECT_LE(pm.GetAnimationWakeCount(), 3u) << "thirty ticks with nothing to animate";

  // The preview starts at once and keeps its pace of one frame per 60 ms, with about one
  // wake of the timer per frame instead of six.
  const unsigned wakesBefore = pm.GetAnimationWakeCount();
  kb->SetKeyboardCtrlMode(KeyboardCtrl::kModePreview);
  const Watched preview = WatchFrames(*kb, 1200ms);
  const unsigned wakes = pm.GetAnimationWakeCount() - wakesBefore;
  EXPECT_GE(preview.first.count(), 0);
  EXPECT_LT(preview.first, 150ms);
  EXPECT_GE(preview.changes, 12);
  EXPECT_LE(preview.changes, 21);
  EXPECT_LE(wakes, static_cast<unsigned>(preview.changes) + 4);

  // A faster speed takes effect without waiting for the sleep planned at the old one.
  kb->SetLightSpeed(7);  // every tick
  const Watched fast = WatchFrames(*kb, 300ms);
  EXPECT_GE(fast.changes, 15);

  // Hidden, it asks for nothing; shown again, it moves at once.
  kb->SetVisible(0);
  std::this_thread::sleep_for(50ms);
  const unsigned hiddenWakes = pm.GetAnimationWakeCount();
  std::this_thread::sleep_for(200ms);
  EXPECT_LE(pm.GetAnimationWakeCount() - hiddenWakes, 1u);
  kb->SetVisible(1);
  EXPECT_GE(WatchFrames(*kb, 100ms).changes, 3);
  pm.KillMTimer(pm.GetMTimerID());
}
