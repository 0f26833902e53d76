// A left press holds the pointer for its window until the release, and no longer when the
// control's press handler disabled the window for a loop of its own (a wait box) in which the
// release went by unseen.
#include <gtest/gtest.h>

#include "NativeTestSupport.h"
#undef TAVEX_REQUIRE_DISPLAY
#include "TavexTestSupport.h"
#include "tavex/MDialog.h"

using namespace TavexTest;
using Tavex::NativeTest::Pump;
using Tavex::NativeTest::PumpUntil;
namespace Native = Tavex::Native;

namespace {

constexpr int kLeft = 100, kTop = 100;
constexpr unsigned kProbeId = 5;
const CPoint kInProbe(60, 60);

void Send(Native::InputEvent::Kind kind, int x = 0, int y = 0) {
  Native::InputEvent e;
  e.kind = kind;
  e.vk = VK_LBUTTON;
  e.x = x;
  e.y = y;
  ASSERT_EQ(Native::SendInput(&e, 1), 1u);
}

void MoveTo(int screenX, int screenY) { Send(Native::InputEvent::MouseMove, screenX, screenY); }

// Its press does what a transfer's wait box does: the owner is disabled while a loop runs, and
// the user lets the button go meanwhile.
class WaitingProbe : public Probe {
 public:
  using Probe::Probe;
  bool waits = false;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override {
    Probe::OnControlLButtonDown(keys, pt);
    if (!waits) return 1;
    const HWND owner = GetManager()->GetPaintWnd();
    Native::EnableWindow(owner, false);
    Send(Native::InputEvent::ButtonUp);
    PumpUntil([] { return Native::GetKeyState(VK_LBUTTON) >= 0; });
    Pump(50);
    Native::EnableWindow(owner, true);
    return 1;
  }
};

class PressCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    ASSERT_NE(host.Create(nullptr, "press", 0x96000000, 0,
                          CRect(kLeft, kTop, kLeft + 200, kTop + 200)),
              nullptr);
    probe = static_cast<WaitingProbe*>(
        host.AddControl(new WaitingProbe(&host, kProbeId, CRect(20, 20, 180, 180))));
    ASSERT_NE(probe, nullptr);
    Native::SetFocus(host.GetSafeHwnd());
    Pump(100);
  }
  void TearDown() override {
    if (other != nullptr) Native::DestroyWindow(other);
    if (host.GetSafeHwnd() != nullptr) host.DestroyWindow();
    Pump(20);
  }
  void PressProbe() {
    MoveTo(kLeft + kInProbe.x, kTop + kInProbe.y);
    Send(Native::InputEvent::ButtonDown);
  }

  Tavex::MDialog host;
  WaitingProbe* probe = nullptr;
  HWND other = nullptr;
};

}  // namespace

TEST_F(PressCaptureTest, APressHoldsThePointerUntilItsRelease) {
  PressProbe();
  ASSERT_TRUE(PumpUntil([&] { return probe->downs.size() == 1; }));
  EXPECT_EQ(Native::GetCapture(), host.GetSafeHwnd());
  // Held, the press keeps the pointer's messages even outside the window.
  MoveTo(kLeft + 400, kTop + 50);
  ASSERT_TRUE(PumpUntil([&] { return !probe->moves.empty() && probe->moves.back().x > 200; }));
  Send(Native::InputEvent::ButtonUp);
  ASSERT_TRUE(PumpUntil([&] { return probe->ups.size() == 1; }));
  EXPECT_EQ(Native::GetCapture(), nullptr);
}

TEST_F(PressCaptureTest, AReleaseDuringTheHandlersOwnLoopEndsThePressAndFreesThePointer) {
  other = Tavex::NativeTest::ShownWindow(kLeft + 400, kTop, 100, 100);
  ASSERT_NE(other, nullptr);
  probe->waits = true;
  PressProbe();
  ASSERT_TRUE(PumpUntil([&] { return probe->downs.size() == 1; }));
  Pump(100);
  EXPECT_TRUE(probe->ups.empty()) << "the release went to a disabled window";
  EXPECT_EQ(Native::GetCapture(), nullptr);
  EXPECT_EQ(host.GetPaintManager().IsCaptured(), 0);

  // The next click elsewhere reaches the window under the pointer, not the one pressed before.
  MoveTo(kLeft + 450, kTop + 50);
  Send(Native::InputEvent::ButtonDown);
  Send(Native::InputEvent::ButtonUp);
  EXPECT_TRUE(PumpUntil([&] { return Tavex::NativeTest::Count(WM_LBUTTONDOWN, other) == 1; }));
  EXPECT_EQ(probe->downs.size(), 1u);
  // Back over the control, the pointer is followed again (no press left pinning the hover).
  MoveTo(kLeft + kInProbe.x + 10, kTop + kInProbe.y);
  EXPECT_TRUE(PumpUntil([&] { return !probe->moves.empty() && probe->moves.back().x == 70; }));
}
