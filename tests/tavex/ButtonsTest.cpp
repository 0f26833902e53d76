// Push buttons: notifications of presses and clicks, disabled buttons, the update badge.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "StdControlsSupport.h"
#include "tavex/Buttons.h"
#include "tavex/Codes.h"
#include "tavex/MDialog.h"
#include "tavex/PaintManager.h"

namespace {

using Tavex::PressBehaviour;
using TavexTest::CountCode;
using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::Hex;
using TavexTest::RecordingParent;
using TavexTest::Render;
using TavexTest::SamePixels;

TEST(PushButton, SendsOneOnPressAndTwoOnReleaseInside) {
  RecordingParent parent;
  Tavex::MButton b(&parent, 7, CRect(10, 10, 110, 40), "OK");
  b.OnMouseMove(0, CPoint(20, 20));
  EXPECT_EQ(b.GetLook(), PressBehaviour::kHover);
  b.OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
  EXPECT_EQ(b.GetLook(), PressBehaviour::kPressed);
  b.OnLButtonUp(0, CPoint(21, 21));
  ASSERT_EQ(parent.notes.size(), 2u);
  EXPECT_EQ(parent.notes[0].code, Tavex::Notify::Press);
  EXPECT_EQ(parent.notes[1].code, Tavex::Notify::Click);
  EXPECT_EQ(parent.notes[1].id, 7u);
}

TEST(PushButton, ReleaseOutsideOnlyRestoresTheLook) {
  RecordingParent parent;
  Tavex::MButton b(&parent, 7, CRect(10, 10, 110, 40), "OK");
  b.OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
  b.OnMouseMove(MK_LBUTTON, CPoint(300, 300));
  b.OnLButtonUp(0, CPoint(300, 300));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Press), 1);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 0);
  EXPECT_EQ(b.GetLook(), PressBehaviour::kNormal);
}

TEST(PushButton, DisabledButtonTakesNoInputAndLooksDisabled) {
  RecordingParent parent;
  Tavex::CTextButton b(&parent, 3, CRect(0, 0, 80, 30), "Link", 1, 0);
  TavexTest::Click(b, CPoint(5, 5));
  EXPECT_TRUE(parent.notes.empty());
  EXPECT_EQ(b.GetLook(), PressBehaviour::kDisabled);
}

TEST(PushButton, DisablingDuringAPressCannotCompleteAClickLater) {
  RecordingParent parent;
  Tavex::MButton b(&parent, 7, CRect(0, 0, 100, 30), "OK");
  b.OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
  b.SetEnabled(0);
  b.SetEnabled(1);
  b.OnLButtonUp(0, CPoint(5, 5));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 0);
}

TEST(UpgradeButton, StatusRepaintsOnlyWhenItChangesAndBadgeSitsTopRight) {
  RecordingParent parent;
  Tavex::UpgradeButton b(&parent, 4, CRect(100, 10, 200, 40), "Update");
  b.SetUpgradeStatus(1);
  const auto after = parent.repaints.size();
  EXPECT_GE(after, 1u);
  b.SetUpgradeStatus(1);
  EXPECT_EQ(parent.repaints.size(), after);
  EXPECT_EQ(b.GetUpgradeStatus(), 1);
  EXPECT_EQ(b.GetBadgeRect(), CRect(184, 10, 200, 26));
}

TEST(UpgradeButton, DrawsARedBadgeOnlyWhileTheStatusIsSet) {
  RecordingParent parent;
  Tavex::UpgradeButton b(&parent, 4, CRect(0, 0, 100, 30), "");
  Tavex::Surface s(100, 30);
  {
    Tavex::Painter p(s);
    b.Draw(p, CRect(0, 0, 100, 30));
  }
  EXPECT_NE(s.Pixel(92, 8), 0xFFFF0000u);
  b.SetUpgradeStatus(2);
  Tavex::Surface t(100, 30);
  {
    Tavex::Painter p(t);
    b.Draw(p, CRect(0, 0, 100, 30));
  }
  // Left of the "1" in the middle of the circle.
  EXPECT_EQ(t.Pixel(87, 8), 0xFFFF0000u);
}

TEST(ColorButton, KeepsItsColourAndRepaintsOnlyOnChange) {
  RecordingParent parent;
  Tavex::CColorButton b(&parent, 4, CRect(0, 0, 30, 30), nullptr);
  b.SetColor(0xFF00FF00);
  const auto after = parent.repaints.size();
  b.SetColor(0xFF00FF00);
  EXPECT_EQ(parent.repaints.size(), after);
  EXPECT_EQ(b.GetColor(), 0xFF00FF00u);
}

TEST(PushButton, PressDraggedOutAndBackInStillClicksAndLooksNormalWhileOutside) {
  RecordingParent parent;
  Tavex::MButton b(&parent, 7, CRect(10, 10, 110, 40), "OK");
  b.OnMouseMove(0, CPoint(20, 20));
  b.OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
  b.OnMouseMove(MK_LBUTTON, CPoint(200, 20));
  EXPECT_EQ(b.GetLook(), PressBehaviour::kNormal);
  b.OnMouseMove(MK_LBUTTON, CPoint(30, 30));
  EXPECT_EQ(b.GetLook(), PressBehaviour::kPressed);
  b.OnLButtonUp(0, CPoint(30, 30));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 1);
  EXPECT_EQ(b.GetLook(), PressBehaviour::kHover);
  b.OnMouseLeave();
  EXPECT_EQ(b.GetLook(), PressBehaviour::kNormal);
}

TEST(PushButton, ReleaseWithoutAPressIsNoClick) {
  RecordingParent parent;
  Tavex::MButton b(&parent, 7, CRect(0, 0, 100, 30), "OK");
  b.OnMouseMove(MK_LBUTTON, CPoint(5, 5));  // pressed elsewhere, released here
  b.OnLButtonUp(0, CPoint(5, 5));
  EXPECT_TRUE(parent.notes.empty());
}

TEST(PushButton, HiddenWhilePressedForgetsThePress) {
  RecordingParent parent;
  Tavex::MButton b(&parent, 7, CRect(0, 0, 100, 30), "OK");
  b.OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
  b.SetVisible(0);
  b.SetVisible(1);
  b.OnLButtonUp(0, CPoint(5, 5));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 0);
}

// The shipped state image holds normal, hover, pressed and disabled side by side; each look
// must show its own quarter.
TEST(PushButton, EachLookDrawsItsOwnStateOfTheStateImage) {
  const Tavex::Image skin = TavexTest::ShippedSkin("btn_apply.png");
  if (skin.IsNull()) GTEST_SKIP() << "skins not built";
  const int w = skin.Width() / 4, h = skin.Height();
  RecordingParent parent;
  Tavex::PaintManager pm;
  auto* b = new Tavex::MButton(&parent, 7, CRect(0, 0, w, h), "");
  pm.AddControl(b);
  b->SetImage("btn_apply.png", 4);
  const CPoint samples[] = {{w / 2, h / 2}, {3, h / 2}, {w / 2, 2}};
  const auto expectState = [&](int state) {
    const Tavex::Surface s = Render(*b, w, h);
    for (const CPoint& pt : samples) {
      const ARGB want = skin.Pixel(state * w + pt.x, pt.y);
      EXPECT_TRUE(TavexTest::NearARGB(s.Pixel(pt.x, pt.y), want, 3))
          << "state " << state << " at " << pt.x << "," << pt.y << ": " << Hex(s.Pixel(pt.x, pt.y))
          << " != " << Hex(want);
    }
  };
  // The test means something only if the states differ where it looks.
  ASSERT_NE(skin.Pixel(w / 2, h / 2), skin.Pixel(2 * w + w / 2, h / 2));
  expectState(0);
  b->OnMouseMove(0, CPoint(5, 5));
  expectState(1);
  b->OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
  expectState(2);
  b->OnLButtonUp(0, CPoint(5, 5));
  b->SetEnabled(0);
  expectState(3);
}

// Every push button kind must look different when hovered, pressed and disabled, whether it
// draws a skin or its own face.
struct ButtonKind {
  const char* name;
  std::function<Tavex::MButton*(RecordingParent*)> make;
};

class EveryPushButton : public ::testing::TestWithParam<ButtonKind> {};

TEST_P(EveryPushButton, HoverPressedAndDisabledLooksDifferFromNormal) {
  RecordingParent parent;
  std::unique_ptr<Tavex::MButton> b(GetParam().make(&parent));
  const Tavex::Surface normal = Render(*b, 120, 40);
  b->OnMouseMove(0, CPoint(30, 20));
  const Tavex::Surface hover = Render(*b, 120, 40);
  b->OnLButtonDown(MK_LBUTTON, CPoint(30, 20));
  const Tavex::Surface pressed = Render(*b, 120, 40);
  b->OnLButtonUp(0, CPoint(300, 300));
  b->OnMouseLeave();
  EXPECT_TRUE(SamePixels(Render(*b, 120, 40), normal)) << "release outside restores the look";
  b->SetEnabled(0);
  const Tavex::Surface disabled = Render(*b, 120, 40);
  EXPECT_FALSE(SamePixels(normal, hover));
  EXPECT_FALSE(SamePixels(normal, pressed));
  EXPECT_FALSE(SamePixels(normal, disabled));
}

template <class T>
ButtonKind Kind(const char* name) {
  return {name, [](RecordingParent* p) -> Tavex::MButton* {
            return new T(p, 1, CRect(0, 0, 120, 40), "Apply");
          }};
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EveryPushButton,
    ::testing::Values(Kind<Tavex::MButton>("MButton"), Kind<Tavex::CTextButton>("CTextButton"),
                      Kind<Tavex::CIconButton>("CIconButton"),
                      Kind<Tavex::CHelpButton>("CHelpButton"),
                      Kind<Tavex::CTimerButton>("CTimerButton"),
                      Kind<Tavex::DownloadButton>("DownloadButton"),
                      Kind<Tavex::UpgradeButton>("UpgradeButton"),
                      Kind<Tavex::CColorButton>("CColorButton"),
                      ButtonKind{"CImageButton",
                                 [](RecordingParent* p) -> Tavex::MButton* {
                                   return new Tavex::CImageButton(p, 1, CRect(0, 0, 120, 40));
                                 }}),
    [](const ::testing::TestParamInfo<ButtonKind>& info) { return std::string(info.param.name); });

TEST(ImageButton, DrawsNoTitleEvenWhenOneIsSet) {
  RecordingParent parent;
  Tavex::CImageButton withTitle(&parent, 1, CRect(0, 0, 120, 40));
  withTitle.SetTitle("Title");
  Tavex::MButton plain(&parent, 2, CRect(0, 0, 120, 40), "");
  EXPECT_TRUE(SamePixels(Render(withTitle, 120, 40), Render(plain, 120, 40)));
  // While the same face with a title does show it.
  plain.SetTitle("Title");
  EXPECT_FALSE(SamePixels(Render(withTitle, 120, 40), Render(plain, 120, 40)));
}

// A dialog that records what its controls send.
class RecordingDialog : public Tavex::MDialog {
 public:
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override {
    notes.push_back({id, code, wParam, lParam});
    return 0;
  }
  int Count(unsigned code) const {
    return static_cast<int>(std::count_if(notes.begin(), notes.end(),
                                          [&](const auto& n) { return n.code == code; }));
  }
  std::vector<TavexTest::Notification> notes;
};

// The repeat timer is driven by hand: the interval is long enough that the real one never
// fires during the test, and each WM_TIMER below is one tick.
TEST(TimerButton, RepeatsTwoOnEachTickWhileHeldInsideAndStopsOnRelease) {
  TAVEX_REQUIRE_DISPLAY();
  RecordingDialog dialog;
  ASSERT_NE(dialog.Create(nullptr, "timer", 0x96000000, 0, CRect(50, 50, 350, 250)), nullptr);
  auto* b = dialog.CreateControlAs<Tavex::CTimerButton>("CTimerButton", 5, CRect(10, 10, 110, 40),
                                                        "+", 1, 1);
  ASSERT_NE(b, nullptr);
  b->SetInterval(60000);
  Tavex::PaintManager& pm = dialog.GetPaintManager();
  const HWND hwnd = dialog.GetSafeHwnd();
  const auto send = [&](UINT msg, WPARAM w, int x, int y) {
    Tavex::Native::SendMessage(hwnd, msg, w, MAKELPARAM(x, y));
  };
  send(WM_MOUSEMOVE, 0, 20, 20);
  send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
  EXPECT_EQ(dialog.Count(1), 1);
  const unsigned timer = pm.GetTimerNativeId(b, Tavex::CTimerButton::kTimerKey);
  ASSERT_NE(timer, 0u);
  for (int i = 0; i < 3; ++i) Tavex::Native::SendMessage(hwnd, WM_TIMER, timer, 0);
  EXPECT_EQ(dialog.Count(2), 3);
  // Held but outside: the ticks wait without sending.
  send(WM_MOUSEMOVE, MK_LBUTTON, 250, 150);
  Tavex::Native::SendMessage(hwnd, WM_TIMER, timer, 0);
  EXPECT_EQ(dialog.Count(2), 3);
  send(WM_MOUSEMOVE, MK_LBUTTON, 30, 20);
  Tavex::Native::SendMessage(hwnd, WM_TIMER, timer, 0);
  EXPECT_EQ(dialog.Count(2), 4);
  send(WM_LBUTTONUP, 0, 30, 20);
  EXPECT_EQ(dialog.Count(2), 5);  // the click itself
  EXPECT_EQ(pm.GetTimerNativeId(b, Tavex::CTimerButton::kTimerKey), 0u);
  Tavex::Native::SendMessage(hwnd, WM_TIMER, timer, 0);
  EXPECT_EQ(dialog.Count(2), 5);
  for (const auto& n : dialog.notes) EXPECT_EQ(n.id, 5u);
  dialog.DestroyWindow();
}

// After the first (double) delay the button repeats at its own interval: with a first delay of
// two minutes and a repeat interval of 5 ms, pumping after the first tick brings more repeats.
TEST(TimerButton, RepeatsAtItsIntervalAfterTheFirstDelay) {
  TAVEX_REQUIRE_DISPLAY();
  RecordingDialog dialog;
  ASSERT_NE(dialog.Create(nullptr, "timer", 0x96000000, 0, CRect(50, 50, 350, 250)), nullptr);
  auto* b = dialog.CreateControlAs<Tavex::CTimerButton>("CTimerButton", 5, CRect(10, 10, 110, 40),
                                                        "+", 1, 1);
  ASSERT_NE(b, nullptr);
  b->SetInterval(60000);
  const HWND hwnd = dialog.GetSafeHwnd();
  Tavex::Native::SendMessage(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  Tavex::Native::SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  const unsigned timer =
      dialog.GetPaintManager().GetTimerNativeId(b, Tavex::CTimerButton::kTimerKey);
  ASSERT_NE(timer, 0u);
  b->SetInterval(5);
  Tavex::Native::SendMessage(hwnd, WM_TIMER, timer, 0);  // the first delay is over
  ASSERT_EQ(dialog.Count(2), 1);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  MSG msg{};
  while (dialog.Count(2) < 3 && std::chrono::steady_clock::now() < end) {
    while (Tavex::Native::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      Tavex::Native::DispatchMessage(&msg);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_GE(dialog.Count(2), 3);
  Tavex::Native::SendMessage(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  dialog.DestroyWindow();
}

TEST(TimerButton, DisabledWhileHeldStopsRepeating) {
  TAVEX_REQUIRE_DISPLAY();
  RecordingDialog dialog;
  ASSERT_NE(dialog.Create(nullptr, "timer", 0x96000000, 0, CRect(50, 50, 350, 250)), nullptr);
  auto* b = dialog.CreateControlAs<Tavex::CTimerButton>("CTimerButton", 5, CRect(10, 10, 110, 40),
                                                        "+", 1, 1);
  ASSERT_NE(b, nullptr);
  b->SetInterval(60000);
  const HWND hwnd = dialog.GetSafeHwnd();
  Tavex::Native::SendMessage(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  Tavex::Native::SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  const unsigned timer =
      dialog.GetPaintManager().GetTimerNativeId(b, Tavex::CTimerButton::kTimerKey);
  ASSERT_NE(timer, 0u);
  b->SetEnabled(0);
  Tavex::Native::SendMessage(hwnd, WM_TIMER, timer, 0);
  b->SetEnabled(1);
  Tavex::Native::SendMessage(hwnd, WM_TIMER, timer, 0);
  EXPECT_EQ(dialog.Count(2), 0);
  dialog.DestroyWindow();
}

}  // namespace
