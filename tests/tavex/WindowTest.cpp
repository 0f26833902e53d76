#include <gtest/gtest.h>

#include "TavexTestSupport.h"
#include "tavex/MDialog.h"

using namespace TavexTest;
using Tavex::MDialog;
using Tavex::Native::PostMessage;

namespace {
constexpr UINT kDestroyMe = WM_APP + 1;
constexpr UINT kOkIfOpen = WM_APP + 2;

class TestDialog : public MDialog {
 public:
  int OnInitDialog() override {
    ++inits;
    return MDialog::OnInitDialog();
  }
  void InitUI(CRect client) override { initClient = client; }
  void OnDestroyMessage(HWND hwnd) override {
    ++destroyed;
    MDialog::OnDestroyMessage(hwnd);
  }
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == kDestroyMe) {
      DestroyWindow();
      return 0;
    }
    if (msg == kOkIfOpen) {
      DoOK();
      return 0;
    }
    return MDialog::OnWindowMessage(msg, wParam, lParam);
  }
  HWND Make() { return Create(nullptr, "test", 0x96000000, 0, CRect(50, 50, 350, 250)); }
  int inits = 0;
  int destroyed = 0;
  CRect initClient;
};
}  // namespace

TEST(MWindow, ShowModalWithoutAWindowReturnsAllOnes) {
  TestDialog dialog;
  EXPECT_EQ(dialog.ShowModal(SW_SHOW), -1);
  EXPECT_EQ(static_cast<unsigned>(dialog.ShowModal(SW_SHOW)), 0xFFFFFFFFu);
  EXPECT_EQ(dialog.DestroyWindow(), 0);
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST(MWindow, CreateOnALiveWindowReturnsItAndCreatesNothing) {
  TAVEX_REQUIRE_DISPLAY();
  TestDialog dialog;
  const HWND first = dialog.Make();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(dialog.Make(), first);
  EXPECT_EQ(dialog.inits, 1);
  EXPECT_EQ(dialog.initClient, CRect(0, 0, 300, 200));
  EXPECT_EQ(dialog.DestroyWindow(), 1);
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
  EXPECT_EQ(dialog.destroyed, 1);
  // The same object may be created again.
  const HWND second = dialog.Make();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(dialog.inits, 2);
}

TEST(MWindow, ShowModalReturnsTheDialogResultOfEachCloseOperation) {
  TAVEX_REQUIRE_DISPLAY();
  struct Case {
    void (MDialog::*close)();
    int expected;
  };
  for (const Case c : {Case{&MDialog::DoYes, 6}, Case{&MDialog::DoCancel, 2},
                       Case{&MDialog::DoClose, 2}, Case{&MDialog::DoOK, 1},
                       Case{&MDialog::DoNo, 7}}) {
    TestDialog dialog;
    ASSERT_NE(dialog.Make(), nullptr);
    (dialog.*c.close)();
    EXPECT_EQ(dialog.ShowModal(SW_SHOW), c.expected);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
  }
}

TEST(MWindow, ShowModalReturnsZeroWhenTheWindowIsDestroyedWithoutACloseRequest) {
  TAVEX_REQUIRE_DISPLAY();
  TestDialog dialog;
  const HWND hwnd = dialog.Make();
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(PostMessage(hwnd, kDestroyMe, 0, 0));
  EXPECT_EQ(dialog.ShowModal(SW_SHOW), 0);
  EXPECT_EQ(dialog.destroyed, 1);
}

TEST(MWindow, AQuitMessageEndsShowModalAndIsPostedAgain) {
  TAVEX_REQUIRE_DISPLAY();
  TestDialog dialog;
  ASSERT_NE(dialog.Make(), nullptr);
  Tavex::Native::PostQuitMessage(33);
  EXPECT_EQ(dialog.ShowModal(SW_SHOW), 0);
  EXPECT_NE(dialog.GetSafeHwnd(), nullptr);  // the window is still there
  MSG msg{};
  EXPECT_EQ(Tavex::Native::GetMessage(&msg, nullptr, 0, 0), 0);
  EXPECT_EQ(msg.wParam, 33u);
  dialog.DestroyWindow();
}

TEST(MWindow, ShowModalDisablesTheOwnerWhileItRuns) {
  TAVEX_REQUIRE_DISPLAY();
  TestDialog owner;
  ASSERT_NE(owner.Make(), nullptr);
  struct Child : TestDialog {
    int OnInitDialog() override {
      TestDialog::OnInitDialog();
      return 1;
    }
    int OnTimer(unsigned) override {
      ownerEnabledDuring = Tavex::Native::IsWindowEnabled(GetParentHwnd());
      DoOK();
      return 0;
    }
    bool ownerEnabledDuring = true;
  } child;
  ASSERT_NE(child.Create(owner.GetSafeHwnd(), "child", 0x96000000, 0, CRect(0, 0, 100, 100)),
            nullptr);
  child.SetTimer(5, 1);
  EXPECT_EQ(child.ShowModal(SW_SHOW), 1);
  EXPECT_FALSE(child.ownerEnabledDuring);
  EXPECT_TRUE(Tavex::Native::IsWindowEnabled(owner.GetSafeHwnd()));
}

TEST(MWindow, CenteredPositionIsClampedRightAndBottomFirstThenLeftAndTop) {
  using Tavex::MWindow;
  EXPECT_EQ(MWindow::CenteredPosition({100, 50}, CRect(0, 0, 300, 150), CRect(0, 0, 1000, 1000)),
            CPoint(100, 50));
  EXPECT_EQ(MWindow::CenteredPosition({100, 50}, CRect(900, 0, 1000, 50), CRect(0, 0, 960, 800)),
            CPoint(860, 0));
  // Larger than the bounds: left/top win.
  EXPECT_EQ(MWindow::CenteredPosition({500, 500}, CRect(0, 0, 100, 100), CRect(0, 0, 300, 300)),
            CPoint(0, 0));
}

TEST(MWindow, CenterWindowPlacesATopLevelWindowInTheWorkArea) {
  TAVEX_REQUIRE_DISPLAY();
  TestDialog dialog;
  ASSERT_NE(dialog.Make(), nullptr);
  RECT work{};
  ASSERT_TRUE(Tavex::Native::GetWorkArea(dialog.GetSafeHwnd(), &work));
  dialog.CenterWindow(nullptr);
  const CRect r = dialog.GetWindowRect();
  EXPECT_EQ(r.left, work.left + (work.right - work.left - 300) / 2);
  EXPECT_EQ(r.top, work.top + (work.bottom - work.top - 200) / 2);
  EXPECT_EQ(r.Width(), 300);
}

TEST(MDialog, OnCreateDropsCaptionAndFrameAndAddsClipping) {
  TAVEX_REQUIRE_DISPLAY();
  TestDialog dialog;
  ASSERT_NE(dialog.Create(nullptr, "t", WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0,
                          CRect(0, 0, 100, 100)),
            nullptr);
  const DWORD style = dialog.GetStyle();
  EXPECT_EQ(style & WS_CAPTION, 0u);
  EXPECT_EQ(style & WS_THICKFRAME, 0u);
  EXPECT_EQ(style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN), WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
}

// A small dialog with a cancel result and a close button of its own (control 32): Escape, the
// window's close button and a click on control 32 end it with 2. Without a cancel result
// Escape and the click do nothing (a later DoOK gives 1) and the window's close button gives
// no result (0).
TEST(MDialog, ADialogWithACancelResultEndsWithTwoOnEscapeAndItsCloseButtons) {
  TAVEX_REQUIRE_DISPLAY();
  enum class Close { Escape, WindowButton, OwnButton };
  const auto run = [](bool cancelResult, Close how) {
    TestDialog dialog;
    const HWND hwnd = dialog.Make();
    EXPECT_NE(hwnd, nullptr);
    EXPECT_NE(dialog.CreateControl("MButton", 32, CRect(250, 10, 290, 40), "x", 1, 1), nullptr);
    if (cancelResult) dialog.SetCancelResult(1, 32);
    switch (how) {
      case Close::Escape: PostMessage(hwnd, WM_KEYDOWN, VK_ESCAPE, 0); break;
      case Close::WindowButton: PostMessage(hwnd, WM_CLOSE, 0, 0); break;
      case Close::OwnButton:
        Tavex::Native::SendMessage(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(270, 25));
        Tavex::Native::SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(270, 25));
        Tavex::Native::SendMessage(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(270, 25));
        break;
    }
    PostMessage(hwnd, kOkIfOpen, 0, 0);
    return dialog.ShowModal(SW_SHOW);
  };
  EXPECT_EQ(run(true, Close::Escape), 2);
  EXPECT_EQ(run(true, Close::WindowButton), 2);
  EXPECT_EQ(run(true, Close::OwnButton), 2);
  EXPECT_EQ(run(false, Close::Escape), 1);
  EXPECT_EQ(run(false, Close::WindowButton), 0);
  EXPECT_EQ(run(false, Close::OwnButton), 1);
}

TEST(MWindow, WindowTimersReachTheWindowAndAreRemembered) {
  TAVEX_REQUIRE_DISPLAY();
  struct Timed : TestDialog {
    int OnTimer(unsigned id) override {
      fired = id;
      DoOK();
      return 0;
    }
    unsigned fired = 0;
  } dialog;
  ASSERT_NE(dialog.Make(), nullptr);
  EXPECT_EQ(dialog.SetTimer(200, 1), 200u);
  EXPECT_TRUE(dialog.HasUserTimer(200));
  EXPECT_EQ(dialog.ShowModal(SW_SHOW), 1);
  EXPECT_EQ(dialog.fired, 200u);
}
