#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

#include "TavexTestSupport.h"
#include "tavex/MDialog.h"
#include "tavex/CArea.h"
#include "tavex/Painter.h"

using namespace TavexTest;
using Tavex::MDialog;
using Tavex::PaintManager;
using Tavex::Native::SendMessage;

namespace {
// A dialog that swallows the caption press the manager sends for window dragging and
// counts it, so tests see the request without an interactive move.
class DragDialog : public MDialog {
 public:
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_NCLBUTTONDOWN && wParam == static_cast<WPARAM>(HTCAPTION)) {
      ++captionPresses;
      return 0;
    }
    return MDialog::OnWindowMessage(msg, wParam, lParam);
  }
  HWND Make() { return Create(nullptr, "pm", 0x96000000, 0, CRect(40, 40, 440, 340)); }
  Probe* AddProbe(unsigned id, CRect rect) {
    return static_cast<Probe*>(AddControl(new Probe(this, id, rect)));
  }
  int captionPresses = 0;
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
}  // namespace

TEST(PaintManager, WheelDeltasBecomeWholeStepsWithADirection) {
  unsigned direction = 9;
  EXPECT_EQ(PaintManager::WheelSteps(240, &direction), 2);
  EXPECT_EQ(direction, 0u);
  EXPECT_EQ(PaintManager::WheelSteps(-120, &direction), 1);
  EXPECT_EQ(direction, 1u);
  EXPECT_EQ(PaintManager::WheelSteps(60, &direction), 0);
  EXPECT_EQ(PaintManager::WheelSteps(-359, &direction), 2);
}

TEST(PaintManager, KeyModifiersFollowAltThenShiftEachWithCtrl) {
  EXPECT_EQ(PaintManager::KeyModifiers(false, false, false), 0u);
  EXPECT_EQ(PaintManager::KeyModifiers(true, false, false), 18u);
  EXPECT_EQ(PaintManager::KeyModifiers(false, true, false), 16u);
  EXPECT_EQ(PaintManager::KeyModifiers(false, false, true), 17u);
  EXPECT_EQ(PaintManager::KeyModifiers(true, true, false), 18u);
  EXPECT_EQ(PaintManager::KeyModifiers(true, false, true), 19u);
  EXPECT_EQ(PaintManager::KeyModifiers(false, true, true), 17u);
}

TEST(PaintManager, TabMovesForwardShiftTabBackAndCtrlTabNeither) {
  EXPECT_EQ(PaintManager::TabDirection(false, false, false), 1);
  EXPECT_EQ(PaintManager::TabDirection(true, false, false), -1);
  EXPECT_EQ(PaintManager::TabDirection(false, true, false), 0);
  EXPECT_EQ(PaintManager::TabDirection(true, true, false), 0);
  EXPECT_EQ(PaintManager::TabDirection(false, false, true), 0);

  MDialog dialog;
  auto add = [&](unsigned id, bool tab) {
    auto* p = static_cast<Probe*>(dialog.AddControl(new Probe(&dialog, id, CRect(0, 0, 5, 5))));
    p->SetTabStop(tab ? 1 : 0);
    return p;
  };
  Probe* a = add(1, true);
  add(2, false);
  Probe* c = add(3, true);
  Probe* d = add(4, true);
  d->SetEnabled(0);
  PaintManager& pm = dialog.GetPaintManager();
  EXPECT_TRUE(pm.MoveFocus(true));
  EXPECT_EQ(pm.GetFocusControl(), a);
  EXPECT_TRUE(pm.MoveFocus(true));
  EXPECT_EQ(pm.GetFocusControl(), c);
  EXPECT_EQ(c->IsFocused(), 1);
  EXPECT_EQ(a->IsFocused(), 0);
  EXPECT_TRUE(pm.MoveFocus(true));  // wraps past the disabled one
  EXPECT_EQ(pm.GetFocusControl(), a);
  EXPECT_TRUE(pm.MoveFocus(false));
  EXPECT_EQ(pm.GetFocusControl(), c);
}

TEST(PaintManager, WheelStepsGoToTheHoveredControlFirst) {
  TAVEX_REQUIRE_DISPLAY();
  DragDialog dialog;
  const HWND hwnd = dialog.Make();
  ASSERT_NE(hwnd, nullptr);
  Probe* other = dialog.AddProbe(1, CRect(0, 0, 50, 50));
  Probe* hovered = dialog.AddProbe(2, CRect(100, 100, 200, 200));
  SendMessage(hwnd, WM_MOUSEMOVE, 0, At(150, 150));
  ASSERT_EQ(dialog.GetPaintManager().GetHoverControl(), hovered);
  POINT screen{150, 150};
  Tavex::Native::ClientToScreen(hwnd, &screen);
  SendMessage(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), At(screen.x, screen.y));
  ASSERT_EQ(hovered->scrolls.size(), 2u);
  EXPECT_EQ(hovered->scrolls[0], std::make_pair(1, 0u));
  SendMessage(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), At(screen.x, screen.y));
  ASSERT_EQ(hovered->scrolls.size(), 3u);
  EXPECT_EQ(hovered->scrolls[2].second, 1u);
  SendMessage(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), At(screen.x, screen.y));
  EXPECT_EQ(hovered->scrolls.size(), 3u);
  EXPECT_TRUE(other->scrolls.empty());
  // A step the hovered control refuses goes round the other controls.
  hovered->takeScroll = 0;
  SendMessage(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), At(screen.x, screen.y));
  EXPECT_EQ(other->scrolls.size(), 1u);
}

TEST(PaintManager, PressingOutsideEveryControlMovesTheWindowOnlyWhileDraggingIsOn) {
  TAVEX_REQUIRE_DISPLAY();
  DragDialog dialog;
  const HWND hwnd = dialog.Make();
  ASSERT_NE(hwnd, nullptr);
  Probe* probe = dialog.AddProbe(1, CRect(0, 0, 50, 50));
  SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(300, 200));
  SendMessage(hwnd, WM_LBUTTONUP, 0, At(300, 200));
  EXPECT_EQ(dialog.captionPresses, 1);
  dialog.EnableWndDrag(0);
  SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(300, 200));
  SendMessage(hwnd, WM_LBUTTONUP, 0, At(300, 200));
  EXPECT_EQ(dialog.captionPresses, 1);
  dialog.EnableWndDrag(1);
  // A press on a control is the control's, not a window move.
  SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  EXPECT_EQ(dialog.captionPresses, 1);
  EXPECT_EQ(probe->downs.size(), 1u);
  EXPECT_EQ(dialog.GetPaintManager().GetFocusControl(), probe);
  EXPECT_EQ(dialog.GetPaintManager().IsPressed(), 1);
  SendMessage(hwnd, WM_LBUTTONUP, 0, At(10, 10));
  EXPECT_EQ(probe->ups.size(), 1u);
  EXPECT_EQ(dialog.GetPaintManager().IsPressed(), 0);
}

TEST(PaintManager, PressingADisabledControlNeitherReachesItNorMovesTheWindow) {
  TAVEX_REQUIRE_DISPLAY();
  DragDialog dialog;
  const HWND hwnd = dialog.Make();
  Probe* probe = dialog.AddProbe(1, CRect(0, 0, 50, 50));
  probe->SetEnabled(0);
  SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  SendMessage(hwnd, WM_LBUTTONUP, 0, At(10, 10));
  EXPECT_TRUE(probe->downs.empty());
  EXPECT_EQ(dialog.captionPresses, 0);
}

TEST(PaintManager, KeysGoToTheHoveredControlThenToTheOthersUntilOneTakesThem) {
  TAVEX_REQUIRE_DISPLAY();
  DragDialog dialog;
  const HWND hwnd = dialog.Make();
  Probe* first = dialog.AddProbe(1, CRect(0, 0, 50, 50));
  Probe* second = dialog.AddProbe(2, CRect(100, 100, 150, 150));
  Probe* third = dialog.AddProbe(3, CRect(200, 100, 250, 150));
  SendMessage(hwnd, WM_MOUSEMOVE, 0, At(120, 120));
  second->takeKeys = 0;
  first->takeKeys = 0;
  SendMessage(hwnd, WM_KEYDOWN, 'A', 1);
  ASSERT_EQ(second->keys.size(), 1u);
  EXPECT_EQ(second->keys[0].first, static_cast<unsigned>('A'));
  EXPECT_EQ(first->keys.size(), 1u);
  EXPECT_EQ(third->keys.size(), 1u);
}

TEST(PaintManager, MouseLeaveForgetsTheHoveredControlWithAMoveToMinusOne) {
  TAVEX_REQUIRE_DISPLAY();
  DragDialog dialog;
  const HWND hwnd = dialog.Make();
  Probe* probe = dialog.AddProbe(1, CRect(0, 0, 50, 50));
  SendMessage(hwnd, WM_MOUSEMOVE, 0, At(10, 10));
  ASSERT_EQ(dialog.GetPaintManager().GetHoverControl(), probe);
  SendMessage(hwnd, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(dialog.GetPaintManager().GetHoverControl(), nullptr);
  ASSERT_FALSE(probe->moves.empty());
  EXPECT_EQ(probe->moves.back(), CPoint(-1, -1));
}

TEST(PaintManager, ControlTimerIdentifiersStayClearOfTheManagersAndTheWindowsOwn) {
  TAVEX_REQUIRE_DISPLAY();
  DragDialog dialog;
  ASSERT_NE(dialog.Make(), nullptr);
  dialog.SetTimer(17, 100000);  // the first identifier the counter would give
  PaintManager& pm = dialog.GetPaintManager();
  std::set<unsigned> seen;
  for (unsigned i = 0; i < PaintManager::kTimerRange; ++i) seen.insert(pm.NextTimerId());
  for (unsigned reserved : {0u, 17u, 66u, 88u, 99u}) EXPECT_EQ(seen.count(reserved), 0u) << reserved;
  for (unsigned id : seen) EXPECT_LT(id, PaintManager::kTimerRange);
}

// Setting a running control timer again changes nothing: re-armed every few milliseconds, a
// 30 ms timer still fires, and a longer interval given meanwhile does not replace its own.
TEST(PaintManager, ARunningControlTimerSetAgainKeepsItsPaceAndFires) {
  TAVEX_REQUIRE_DISPLAY();
  DragDialog dialog;
  ASSERT_NE(dialog.Make(), nullptr);
  Probe* probe = dialog.AddProbe(1, CRect(0, 0, 50, 50));
  PaintManager& pm = dialog.GetPaintManager();
  const unsigned id = pm.SetTimer(probe, 3, 30);
  ASSERT_NE(id, 0u);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  MSG msg{};
  while (probe->timerKeys.empty() && std::chrono::steady_clock::now() < end) {
    EXPECT_EQ(pm.SetTimer(probe, 3, 100000), id);
    while (Tavex::Native::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      Tavex::Native::DispatchMessage(&msg);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_FALSE(probe->timerKeys.empty());
  EXPECT_EQ(probe->timerKeys[0], 3u);
  pm.KillTimer(probe, 3);
}

TEST(PaintManager, ControlTimersAreKeptPerControlAndKeyAndReachTheirControl) {
  TAVEX_REQUIRE_DISPLAY();
  DragDialog dialog;
  const HWND hwnd = dialog.Make();
  Probe* probe = dialog.AddProbe(1, CRect(0, 0, 50, 50));
  PaintManager& pm = dialog.GetPaintManager();
  const unsigned id = pm.SetTimer(probe, 3, 100000);
  ASSERT_NE(id, 0u);
  EXPECT_EQ(pm.SetTimer(probe, 3, 100000), id);  // running: unchanged
  const unsigned other = pm.SetTimer(probe, 4, 100000);
  EXPECT_NE(other, id);
  pm.KillTimer(probe, 3);
  EXPECT_EQ(pm.GetTimerNativeId(probe, 3), 0u);
  EXPECT_EQ(pm.SetTimer(probe, 3, 100000), id);  // stopped: restarted with its identifier
  SendMessage(hwnd, WM_TIMER, other, 0);
  ASSERT_EQ(probe->timerKeys.size(), 1u);
  EXPECT_EQ(probe->timerKeys[0], 4u);
  dialog.GetPaintManager().RemoveControl(probe);
  SendMessage(hwnd, WM_TIMER, other, 0);  // the removed control's timers are gone
}

TEST(PaintManager, AnimationTicksReachOnlyRunningVisibleControls) {
  MDialog dialog;
  auto* running = static_cast<Probe*>(dialog.AddControl(new Probe(&dialog, 1, CRect())));
  auto* idle = static_cast<Probe*>(dialog.AddControl(new Probe(&dialog, 2, CRect())));
  auto* hidden = static_cast<Probe*>(dialog.AddControl(new Probe(&dialog, 3, CRect())));
  for (Probe* p : {running, idle, hidden}) p->AddMTimer();
  running->SetRunTimer(1);
  hidden->SetRunTimer(1);
  hidden->SetVisible(0);
  EXPECT_EQ(dialog.GetPaintManager().TickAnimation(), 1);
  EXPECT_EQ(running->ticks, 1);
  EXPECT_EQ(idle->ticks, 0);
  EXPECT_EQ(hidden->ticks, 0);
  dialog.GetPaintManager().RemoveControl(running);
  EXPECT_EQ(dialog.GetPaintManager().TickAnimation(), 0);
}

TEST(PaintManager, AnimationTicksEndWithTheWindow) {
  TAVEX_REQUIRE_DISPLAY();
  DragDialog dialog;
  ASSERT_NE(dialog.Make(), nullptr);
  Probe* probe = dialog.AddProbe(1, CRect(0, 0, 50, 50));
  probe->AddMTimer();
  probe->SetRunTimer(1);
  PaintManager& pm = dialog.GetPaintManager();
  pm.SetMTimer(1);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (pm.GetAnimationWakeCount() < 3 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_GE(pm.GetAnimationWakeCount(), 3u);
  dialog.DestroyWindow();
  const unsigned atDestroy = pm.GetAnimationWakeCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(pm.GetAnimationWakeCount(), atDestroy) << "a tick ran after the window was gone";
}

TEST(PaintManager, RenderPaintsBackgroundThenAreasThenControls) {
  MDialog dialog;
  dialog.SetBackColor(RGB(0x05, 0x05, 0x05), RGB(0x57, 0x57, 0x57));
  auto* area = dialog.CreateArea("CArea", 1, CRect(10, 10, 30, 30), nullptr, 1, 1);
  static_cast<Tavex::CArea*>(area)->SetTransparent(0, 0, RGB(0xFF, 0, 0));
  Tavex::Surface surface(40, 40);
  {
    Tavex::Painter p(surface);
    dialog.GetPaintManager().Render(p, CRect(0, 0, 40, 40), CRect(0, 0, 40, 40));
  }
  // Background and border are drawn with alpha 0xFE: channels may round by one.
  const auto near = [](ARGB a, ARGB b) {
    for (int shift = 0; shift < 24; shift += 8) {
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 1) {
        return false;
      }
    }
    return true;
  };
  EXPECT_TRUE(near(surface.Pixel(0, 0), 0x575757u)) << std::hex << surface.Pixel(0, 0);
  EXPECT_TRUE(near(surface.Pixel(5, 5), 0x050505u)) << std::hex << surface.Pixel(5, 5);
  EXPECT_EQ(surface.Pixel(20, 20), 0xFFFF0000u);
}

TEST(PaintManager, RepaintRequestsFromAnotherThreadOnlyInvalidate) {
  TAVEX_REQUIRE_DISPLAY();
  DragDialog dialog;
  const HWND hwnd = dialog.Make();
  Probe* probe = dialog.AddProbe(1, CRect(0, 0, 50, 50));
  // Paints are paced: the one after the first paint comes a moment later.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  MSG msg{};
  while (std::chrono::steady_clock::now() < until) {
    while (Tavex::Native::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      Tavex::Native::DispatchMessage(&msg);
    }
    if (!Tavex::Native::GetUpdateRect(hwnd, nullptr, false)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  RECT before{};
  ASSERT_FALSE(Tavex::Native::GetUpdateRect(hwnd, &before, false));
  std::thread worker([&] { probe->SetRect(10, 10, 60, 60); });
  worker.join();
  EXPECT_EQ(probe->GetRect(), CRect(10, 10, 60, 60));
  RECT update{};
  EXPECT_TRUE(Tavex::Native::GetUpdateRect(hwnd, &update, false));
}
