#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "NativeTestSupport.h"
// Both helpers define the display check the same way.
#undef TAVEX_REQUIRE_DISPLAY
#include "StdControlsSupport.h"
#include "tavex/Codes.h"
#include "tavex/Edits.h"
#include "tavex/MPopupWnd.h"

using namespace TavexTest;
namespace NT = Tavex::NativeTest;
using Tavex::MPopupWnd;
namespace Native = Tavex::Native;

namespace {

// A popup that tells when its object goes away.
class CountedPopup : public MPopupWnd {
 public:
  CountedPopup(Tavex::MObject* owner, int* deleted) : MPopupWnd(owner), m_deleted(deleted) {}
  ~CountedPopup() override { ++*m_deleted; }

 private:
  int* m_deleted;
};

bool Near(std::uint32_t pixel, std::uint32_t rgb) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((pixel >> shift) & 0xFF);
    const int b = static_cast<int>((rgb >> shift) & 0xFF);
    if (std::abs(a - b) > 2) return false;
  }
  return true;
}

struct PopupFixture : ::testing::Test {
  void SetUp() override {
    if (!Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    owner = NT::ShownWindow(300, 300, 400, 300);
    ASSERT_NE(owner, nullptr);
    Native::SetFocus(owner);
  }
  void TearDown() override {
    if (owner != nullptr) Native::DestroyWindow(owner);
    NT::Pump(20);
  }
  HWND owner = nullptr;
};

}  // namespace

TEST(MPopupWndPlacement, APopupCrossingTheWorkAreaIsShiftedInsideRightAndBottomFirst) {
  const CRect work(0, 0, 1920, 1040);
  EXPECT_EQ(MPopupWnd::FitIntoWorkArea(CRect(100, 100, 300, 200), work), CRect(100, 100, 300, 200));
  EXPECT_EQ(MPopupWnd::FitIntoWorkArea(CRect(1850, 1000, 2050, 1100), work),
            CRect(1720, 940, 1920, 1040));
  EXPECT_EQ(MPopupWnd::FitIntoWorkArea(CRect(-30, -5, 170, 95), work), CRect(0, 0, 200, 100));
  // Too big for the work area: the top-left corner stays visible.
  EXPECT_EQ(MPopupWnd::FitIntoWorkArea(CRect(10, 10, 2010, 60), work), CRect(0, 10, 2000, 60));
}

TEST_F(PopupFixture, ControlsOfThePopupNotifyTheOwnerObjectWithTheirOwnIdentifiers) {
  RecordingParent ownerObject;
  MPopupWnd popup(&ownerObject);
  HWND hwnd = popup.CreateOver(owner, CRect(20, 30, 220, 130));
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(popup.IsClass("MPopupWnd"));
  RECT r{};
  Native::GetWindowRect(hwnd, &r);
  EXPECT_EQ(CRect(r), CRect(320, 330, 520, 430));

  auto* button = popup.CreateControl("MButton", 41, CRect(10, 10, 110, 40), "OK", 1, 1);
  auto* area = popup.CreateArea("CArea", 42, CRect(0, 0, 200, 100), nullptr, 1, 1);
  ASSERT_NE(button, nullptr);
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(popup.CreateControl("NoSuchControl", 43, CRect(), nullptr, 1, 1), nullptr);
  EXPECT_EQ(popup.GetControl(41), button);
  EXPECT_EQ(popup.GetControl(42), area);
  EXPECT_EQ(button->GetManager(), &popup.GetPaintManager());

  Click(*button, CPoint(50, 20));
  ASSERT_NE(LastCode(ownerObject, Tavex::Notify::Click), nullptr);
  EXPECT_EQ(LastCode(ownerObject, Tavex::Notify::Click)->id, 41u);
  EXPECT_EQ(CountCode(ownerObject, Tavex::Notify::Press), 1);

  // Detached: nothing more reaches the old owner.
  popup.SetOwnerObject(nullptr);
  Click(*button, CPoint(50, 20));
  EXPECT_EQ(CountCode(ownerObject, Tavex::Notify::Click), 1);
}

TEST_F(PopupFixture, RealClicksReachThePopupsControlsAndItPaintsItsBackground) {
  RecordingParent ownerObject;
  MPopupWnd popup(&ownerObject);
  popup.SetBackColor(0x0000FF, 0x00FF00);
  ASSERT_NE(popup.Create(owner, CRect(600, 500, 800, 600)), nullptr);
  ASSERT_NE(popup.CreateControl("MButton", 7, CRect(50, 30, 150, 70), "Go", 1, 1), nullptr);
  ASSERT_TRUE(NT::PumpUntil([&] { return popup.GetPaintManager().GetPaintCount() > 0; }));
  NT::Pump(50);
  const Tavex::Image shot = Tavex::CaptureWindow(popup.GetSafeHwnd());
  ASSERT_FALSE(shot.IsNull());
  // Background and border are drawn with alpha 0xFE, so allow a step of rounding.
  EXPECT_TRUE(Near(shot.Pixel(0, 0), 0x00FF00)) << std::hex << shot.Pixel(0, 0);
  EXPECT_TRUE(Near(shot.Pixel(5, 90), 0xFF0000)) << std::hex << shot.Pixel(5, 90);

  Native::InputEvent events[] = {
      {Native::InputEvent::MouseMove, 0, 700, 550},
      {Native::InputEvent::ButtonDown, VK_LBUTTON},
      {Native::InputEvent::ButtonUp, VK_LBUTTON},
  };
  ASSERT_EQ(Native::SendInput(events, 3), 3u);
  ASSERT_TRUE(
      NT::PumpUntil([&] { return LastCode(ownerObject, Tavex::Notify::Click) != nullptr; }));
  EXPECT_EQ(LastCode(ownerObject, Tavex::Notify::Click)->id, 7u);
}

TEST_F(PopupFixture, CloseEndsTheWindowOnceAndAnAutoDeletePopupGoesWithIt) {
  int deleted = 0;
  std::vector<int> results;
  auto* popup = new CountedPopup(nullptr, &deleted);
  popup->SetAutoDelete(true);
  popup->SetCloseHandler([&](int result) { results.push_back(result); });
  HWND hwnd = popup->Create(owner, CRect(100, 100, 200, 150));
  ASSERT_NE(hwnd, nullptr);
  popup->Close(6);
  popup->Close(1);  // ignored: a close is already on its way
  ASSERT_TRUE(NT::PumpUntil([&] { return !Native::IsWindow(hwnd); }));
  NT::Pump(20);
  EXPECT_EQ(results, std::vector<int>{6});
  EXPECT_EQ(deleted, 1);
}

TEST_F(PopupFixture, APopupKeptByItsOwnerCanBeOpenedAgainAfterClosing) {
  std::vector<int> results;
  MPopupWnd popup;
  popup.SetCloseHandler([&](int result) { results.push_back(result); });
  HWND first = popup.Create(owner, CRect(100, 100, 200, 150));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(popup.Create(owner, CRect(0, 0, 10, 10)), first);  // already open
  popup.DoOK();
  ASSERT_TRUE(NT::PumpUntil([&] { return !popup.IsValid(); }));
  EXPECT_EQ(popup.GetResult(), 1);
  HWND second = popup.Create(owner, CRect(100, 100, 200, 150));
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  popup.DestroyWindow();
  EXPECT_EQ(results, (std::vector<int>{1, 0}));
}

TEST_F(PopupFixture, LosingTheFocusOrEscapeDismissesThePopupUnlessSwitchedOff) {
  MPopupWnd popup;
  ASSERT_NE(popup.Create(owner, CRect(100, 100, 200, 150)), nullptr);
  EXPECT_EQ(Native::GetFocus(), popup.GetSafeHwnd());
  Native::SetFocus(owner);
  ASSERT_TRUE(NT::PumpUntil([&] { return !popup.IsValid(); }));
  EXPECT_EQ(popup.GetResult(), MPopupWnd::kResultDismissed);

  ASSERT_NE(popup.Create(owner, CRect(100, 100, 200, 150)), nullptr);
  popup.SendMessageW(WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(NT::PumpUntil([&] { return !popup.IsValid(); }));
  EXPECT_EQ(popup.GetResult(), MPopupWnd::kResultDismissed);

  popup.SetCloseOnDeactivate(false);
  popup.SetCloseOnEscape(false);
  ASSERT_NE(popup.Create(owner, CRect(100, 100, 200, 150)), nullptr);
  Native::SetFocus(owner);
  popup.SendMessageW(WM_KEYDOWN, VK_ESCAPE, 0);
  NT::Pump(100);
  EXPECT_TRUE(popup.IsValid());
}

TEST_F(PopupFixture, ANoActivatePopupLeavesTheFocusWhereItWas) {
  MPopupWnd popup;
  ASSERT_NE(popup.Create(owner, CRect(100, 100, 200, 150), MPopupWnd::kNoActivate), nullptr);
  NT::Pump(50);
  EXPECT_TRUE(popup.IsWindowVisible());
  EXPECT_EQ(Native::GetFocus(), owner);
}

TEST_F(PopupFixture, APopupAskedForBeyondTheScreenEdgeOpensInsideTheWorkArea) {
  RECT work{};
  ASSERT_TRUE(Native::GetWorkArea(owner, &work));
  MPopupWnd popup;
  ASSERT_NE(popup.Create(owner, CRect(work.right - 50, work.bottom - 20, work.right + 150,
                                      work.bottom + 80)),
            nullptr);
  EXPECT_EQ(popup.GetWindowRect(),
            CRect(work.right - 200, work.bottom - 100, work.right, work.bottom));
  MPopupWnd kept;
  ASSERT_NE(kept.Create(owner, CRect(work.right - 50, 10, work.right + 150, 110),
                        MPopupWnd::kKeepPosition | MPopupWnd::kNoActivate),
            nullptr);
  EXPECT_EQ(kept.GetWindowRect().left, work.right - 50);
}

TEST_F(PopupFixture, AnEditBoxInThePopupTakesTypingAndEndsWhenThePopupIsDismissed) {
  RecordingParent ownerObject;
  auto* popup = new MPopupWnd(&ownerObject);
  popup->SetAutoDelete(true);
  bool closed = false;
  popup->SetCloseHandler([&](int) { closed = true; });
  HWND hwnd = popup->CreateOver(owner, CRect(40, 40, 240, 70));
  ASSERT_NE(hwnd, nullptr);
  auto* edit =
      popup->CreateControlAs<Tavex::MEdit>("MEdit", 9, popup->GetDialogClientRect(), "", 1, 1);
  ASSERT_NE(edit, nullptr);
  popup->SetFocusControl(edit);
  ASSERT_NE(LastCode(ownerObject, Tavex::Notify::EditStarted), nullptr);  // editing started
  EXPECT_EQ(LastCode(ownerObject, Tavex::Notify::EditStarted)->id, 9u);
  NT::Pump(50);
  ASSERT_FALSE(closed);  // the edit box lives as long as the popup
  Native::InputEvent keys[] = {
      {Native::InputEvent::KeyDown, '4'}, {Native::InputEvent::KeyUp, '4'},
      {Native::InputEvent::KeyDown, '2'}, {Native::InputEvent::KeyUp, '2'},
  };
  ASSERT_EQ(Native::SendInput(keys, 4), 4u);
  ASSERT_TRUE(NT::PumpUntil([&] { return closed || edit->GetTitle() == "42"; }));
  ASSERT_FALSE(closed);
  EXPECT_GE(CountCode(ownerObject, Tavex::Notify::TextChanged), 1);

  Native::SetFocus(owner);
  ASSERT_TRUE(NT::PumpUntil([&] { return closed; }));
  ASSERT_NE(LastCode(ownerObject, Tavex::Notify::EditEnded),
            nullptr);  // editing ended with the popup
  EXPECT_EQ(LastCode(ownerObject, Tavex::Notify::EditEnded)->id, 9u);
}

TEST_F(PopupFixture, ALayeredPopupGetsAnAlphaWindowAndPaintsThroughTheLayeredOutput) {
  MPopupWnd popup;
  popup.SetLayeredWindow(1);
  ASSERT_NE(popup.Create(owner, CRect(100, 100, 300, 200), MPopupWnd::kNoActivate), nullptr);
  EXPECT_TRUE(popup.GetExStyle() & WS_EX_LAYERED);
  auto* area = popup.CreateArea("CArea", 1, CRect(0, 0, 200, 100), nullptr, 1, 1);
  ASSERT_NE(area, nullptr);
  ASSERT_TRUE(NT::PumpUntil([&] { return popup.GetPaintManager().GetPaintCount() > 0; }));
  if (!Native::CompositorRunning()) {
    EXPECT_TRUE(Native::IsWindowShaped(popup.GetSafeHwnd()));
  }
}
