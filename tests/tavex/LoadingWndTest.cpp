#include <gtest/gtest.h>

#include <thread>

#include "NativeTestSupport.h"
// Both helpers define the display check the same way.
#undef TAVEX_REQUIRE_DISPLAY
#include "TavexTestSupport.h"
#include "tavex/LoadingWnd.h"

using namespace TavexTest;
namespace NT = Tavex::NativeTest;
namespace Native = Tavex::Native;
using Tavex::LoadingWnd;

namespace {

struct LoadingFixture : ::testing::Test {
  void SetUp() override {
    if (!Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    owner = NT::ShownWindow(300, 300, 400, 300);
    ASSERT_NE(owner, nullptr);
    Native::SetFocus(owner);
    NT::Pump(20);
  }
  void TearDown() override {
    loading.DestroyWindow();
    if (owner != nullptr) Native::DestroyWindow(owner);
    NT::Pump(20);
  }
  HWND owner = nullptr;
  LoadingWnd loading;
};

// How many pixels two renderings differ in.
int Differences(const Tavex::Surface& a, const Tavex::Surface& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) n += a.Pixel(x, y) != b.Pixel(x, y) ? 1 : 0;
  }
  return n;
}

}  // namespace

TEST(LoadingWndDrawing, TheArcTurnsStepByStepAndComesBackAfterOneTurn) {
  LoadingWnd loading;
  const Tavex::Surface first = loading.Render();
  ASSERT_EQ(first.Width(), LoadingWnd::kBox);
  EXPECT_EQ(first.Pixel(0, 0) >> 24, 0u);             // rounded corner
  EXPECT_EQ(first.Pixel(LoadingWnd::kBox / 2, 5) >> 24, 0xFFu);  // panel
  // The head starts at the top of the ring in the accent colour.
  EXPECT_EQ(first.Pixel(LoadingWnd::kBox / 2, LoadingWnd::kBox / 2 - 20) & 0xFFFFFF, 0xCA5100u);
  loading.Step();
  EXPECT_EQ(loading.GetStep(), 1);
  EXPECT_GT(Differences(first, loading.Render()), 20);
  for (int i = 1; i < LoadingWnd::kSteps; ++i) loading.Step();
  EXPECT_EQ(loading.GetStep(), 0);
  EXPECT_EQ(Differences(first, loading.Render()), 0);
}

TEST(LoadingWndDrawing, AnAnimatedSkinImageReplacesTheArcAndAMissingOneChangesNothing) {
  LoadingWnd loading;
  EXPECT_FALSE(loading.SetAnimation("no-such-animation.gif"));
  EXPECT_FALSE(loading.HasAnimation());
  ASSERT_TRUE(loading.SetAnimation("loading.gif"));
  EXPECT_TRUE(loading.HasAnimation());
  const Tavex::Surface first = loading.Render();
  loading.Step();
  EXPECT_EQ(loading.GetStep(), 1);
  EXPECT_GT(Differences(first, loading.Render()), 0);
}

TEST(LoadingWndDrawing, ATextWidensThePanelAndAddsALine) {
  EXPECT_EQ(LoadingWnd::PanelSize(""), Tavex::CSize(LoadingWnd::kBox, LoadingWnd::kBox));
  const auto withText = LoadingWnd::PanelSize("Sending to the keyboard, please wait");
  EXPECT_GT(withText.cx, LoadingWnd::kBox + 24);
  EXPECT_EQ(withText.cy, LoadingWnd::kBox + LoadingWnd::kTextHeight);
}

TEST_F(LoadingFixture, ShowCentresOverTheOwnerFollowsItAnimatesAndLeavesTheFocusAlone) {
  ASSERT_TRUE(loading.Show(owner));
  EXPECT_TRUE(loading.IsShown());
  EXPECT_TRUE(loading.IsWindowVisible());
  EXPECT_EQ(loading.GetWindowRect(), CRect(452, 402, 548, 498));
  EXPECT_EQ(Native::GetFocus(), owner);
  const int start = loading.GetStep();
  ASSERT_TRUE(NT::PumpUntil([&] { return loading.GetStep() != start; }, 1000));
  NT::Pump(30);
  EXPECT_EQ(Native::GetFocus(), owner);
  // It follows an owner that moves while it is shown.
  Native::MoveWindow(owner, 200, 250, 400, 300, true);
  ASSERT_TRUE(NT::PumpUntil([&] { return loading.GetWindowRect() == CRect(352, 352, 448, 448); },
                            1000));
  // Out of sight while the owner is hidden, back when it shows again.
  Native::ShowWindow(owner, SW_HIDE);
  ASSERT_TRUE(NT::PumpUntil([&] { return !loading.IsWindowVisible(); }, 1000));
  EXPECT_TRUE(loading.IsShown());
  Native::ShowWindow(owner, SW_SHOWNA);
  ASSERT_TRUE(NT::PumpUntil([&] { return loading.IsWindowVisible() != 0; }, 1000));

  loading.Hide();
  EXPECT_FALSE(loading.IsShown());
  EXPECT_FALSE(loading.IsWindowVisible());
  EXPECT_FALSE(loading.HasUserTimer(LoadingWnd::kFrameTimer));
  const int stopped = loading.GetStep();
  NT::Pump(200);
  EXPECT_EQ(loading.GetStep(), stopped);
}

TEST_F(LoadingFixture, ShowingAgainReusesTheWindowAndFollowsTheOwnerIntoTheWorkArea) {
  ASSERT_TRUE(loading.Show(owner, "Loading"));
  const HWND first = loading.GetSafeHwnd();
  loading.Hide();
  RECT work{};
  ASSERT_TRUE(Native::GetWorkArea(owner, &work));
  // An owner hanging over the bottom-right corner: the indicator stays on the screen.
  Native::MoveWindow(owner, work.right - 100, work.bottom - 50, 400, 300, true);
  ASSERT_TRUE(loading.Show(owner, "Loading"));
  EXPECT_EQ(loading.GetSafeHwnd(), first);
  const CRect r = loading.GetWindowRect();
  EXPECT_EQ(r.right, work.right);
  EXPECT_EQ(r.bottom, work.bottom);
  EXPECT_EQ(r.Size(), LoadingWnd::PanelSize("Loading"));
}

TEST_F(LoadingFixture, AWorkerThreadCanEndTheBusyState) {
  ASSERT_TRUE(loading.Show(owner));
  std::thread worker([&] { loading.Hide(); });
  worker.join();
  ASSERT_TRUE(NT::PumpUntil([&] { return !loading.IsShown(); }));
  EXPECT_FALSE(loading.IsWindowVisible());
  // Hiding with no window at all is harmless.
  LoadingWnd never;
  never.Hide();
  EXPECT_FALSE(never.IsShown());
}
