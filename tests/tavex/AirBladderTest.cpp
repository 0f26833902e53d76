#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "NativeTestSupport.h"
// Both helpers define the display check the same way.
#undef TAVEX_REQUIRE_DISPLAY
#include "TavexTestSupport.h"
#include "tavex/MAirBladder.h"
#include "tavex/MDialog.h"

using namespace TavexTest;
namespace NT = Tavex::NativeTest;
namespace Native = Tavex::Native;
using Tavex::MAirBladder;

namespace {

const CRect kWork(0, 0, 1920, 1040);
const Tavex::CSize kBody(200, 50);

// Where the pointer tip lands on the screen.
CPoint ScreenTip(const MAirBladder::Layout& l) {
  return CPoint(l.window.left + l.tip.x, l.window.top + l.tip.y);
}

struct BalloonFixture : ::testing::Test {
  void SetUp() override {
    if (!Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    owner = NT::ShownWindow(300, 300, 400, 300);
    ASSERT_NE(owner, nullptr);
  }
  void TearDown() override {
    balloon.DestroyWindow();
    if (owner != nullptr) Native::DestroyWindow(owner);
    NT::Pump(20);
  }
  bool Set(const char* text, POINT at, Tavex::AIRBLADDER_TYPE type,
           Tavex::AIRBLADDER_MODE mode = Tavex::AIRBLADDER_MODE_TOP) {
    return balloon.SetMsg(text, at, type, mode, owner);
  }
  HWND owner = nullptr;
  MAirBladder balloon;
};

}  // namespace

TEST(MAirBladderPlacement, AboveThePointCentredWithThePointerOnIt) {
  const auto l = MAirBladder::Place(kBody, {500, 500}, Tavex::AIRBLADDER_MODE_TOP, kWork);
  EXPECT_EQ(l.side, Tavex::AIRBLADDER_MODE_TOP);
  EXPECT_EQ(l.window, CRect(400, 500 - 50 - MAirBladder::kTail, 600, 500));
  EXPECT_EQ(l.body, CRect(0, 0, 200, 50));
  EXPECT_EQ(ScreenTip(l), CPoint(500, 500));
}

TEST(MAirBladderPlacement, ABalloonWithoutRoomOnItsSideFlipsToTheOtherSide) {
  // Near the top edge a balloon meant to be above goes below the point.
  auto l = MAirBladder::Place(kBody, {500, 30}, Tavex::AIRBLADDER_MODE_TOP, kWork);
  EXPECT_EQ(l.side, Tavex::AIRBLADDER_MODE_BOTTOM);
  EXPECT_EQ(l.window.top, 30);
  EXPECT_EQ(l.body.top, MAirBladder::kTail);
  EXPECT_EQ(ScreenTip(l), CPoint(500, 30));
  // Near the bottom one meant to be below goes above.
  l = MAirBladder::Place(kBody, {500, 1030}, Tavex::AIRBLADDER_MODE_BOTTOM, kWork);
  EXPECT_EQ(l.side, Tavex::AIRBLADDER_MODE_TOP);
  EXPECT_EQ(l.window.bottom, 1030);
  // Left of a point at the left edge is no room: it goes right.
  l = MAirBladder::Place(kBody, {50, 500}, Tavex::AIRBLADDER_MODE_LEFT, kWork);
  EXPECT_EQ(l.side, Tavex::AIRBLADDER_MODE_RIGHT);
  EXPECT_EQ(l.window, CRect(50, 475, 50 + 200 + MAirBladder::kTail, 525));
  EXPECT_EQ(ScreenTip(l), CPoint(50, 500));
  // Room on the preferred side: no flip.
  l = MAirBladder::Place(kBody, {1000, 500}, Tavex::AIRBLADDER_MODE_RIGHT, kWork);
  EXPECT_EQ(l.side, Tavex::AIRBLADDER_MODE_RIGHT);
  EXPECT_EQ(ScreenTip(l), CPoint(1000, 500));
}

TEST(MAirBladderPlacement, AtASideEdgeTheBodyStaysInsideAndThePointerStillAims) {
  auto l = MAirBladder::Place(kBody, {1850, 500}, Tavex::AIRBLADDER_MODE_TOP, kWork);
  EXPECT_EQ(l.window.right, 1920);
  EXPECT_EQ(ScreenTip(l), CPoint(1850, 500));
  // Closer than the rounded corner: the pointer stops where the corner begins.
  l = MAirBladder::Place(kBody, {1915, 500}, Tavex::AIRBLADDER_MODE_TOP, kWork);
  EXPECT_EQ(l.window.right, 1920);
  EXPECT_EQ(l.tip.x, 200 - MAirBladder::kRadius - MAirBladder::kTailHalf);
  l = MAirBladder::Place(kBody, {3, 500}, Tavex::AIRBLADDER_MODE_BOTTOM, kWork);
  EXPECT_EQ(l.window.left, 0);
  EXPECT_EQ(l.tip.x, MAirBladder::kRadius + MAirBladder::kTailHalf);
  // A side balloon near the bottom edge moves up.
  l = MAirBladder::Place(kBody, {800, 1035}, Tavex::AIRBLADDER_MODE_LEFT, kWork);
  EXPECT_EQ(l.window.bottom, 1040);
}

TEST(MAirBladderLayout, LongTextWrapsAndTheIconTakesItsPlace) {
  const std::string words = "The keyboard was not found. Connect it again and wait a moment "
                            "before you try the transfer once more.";
  const auto one = MAirBladder::BodySize("Saved", Tavex::AIRBLADDER_INFO);
  const auto many = MAirBladder::BodySize(words, Tavex::AIRBLADDER_INFO);
  const int iconPart = MAirBladder::kIconSize + MAirBladder::kIconGap;
  EXPECT_LE(many.cx, 2 * MAirBladder::kPadding + iconPart + MAirBladder::kMaxTextWidth);
  EXPECT_GT(many.cy, 2 * one.cy - 2 * MAirBladder::kPadding);
  EXPECT_EQ(MAirBladder::BodySize("Saved", Tavex::AIRBLADDER_NORMAL).cx, one.cx - iconPart);
  EXPECT_GE(one.cy, 2 * MAirBladder::kPadding + MAirBladder::kIconSize);
}

TEST(MAirBladderLayout, TheBalloonIsDrawnAsItsShapeWithTheKindsFrameColour) {
  const auto l = MAirBladder::Place(kBody, {500, 500}, Tavex::AIRBLADDER_MODE_TOP, kWork);
  const Tavex::Surface s = MAirBladder::Render("Saved", Tavex::AIRBLADDER_ERROR, l);
  ASSERT_EQ(s.Width(), l.window.Width());
  ASSERT_EQ(s.Height(), l.window.Height());
  EXPECT_EQ(s.Pixel(0, 0) >> 24, 0u);                          // rounded corner
  EXPECT_EQ(s.Pixel(5, s.Height() - 2) >> 24, 0u);             // beside the pointer
  EXPECT_EQ(s.Pixel(l.tip.x, s.Height() - 3) >> 24, 0xFFu);    // the pointer itself
  EXPECT_EQ(s.Pixel(100, 0), MAirBladder::TypeColour(Tavex::AIRBLADDER_ERROR));  // frame
  EXPECT_EQ(s.Pixel(190, 40), 0xFF262626u);                    // body
  // The frame line does not cut the pointer off the body.
  EXPECT_EQ(s.Pixel(l.tip.x, l.body.bottom - 1), 0xFF262626u);
}

TEST_F(BalloonFixture, TheSameTextPointTypeAndModeChangeNothing) {
  ASSERT_TRUE(Set("Saved", {700, 400}, Tavex::AIRBLADDER_INFO));
  EXPECT_TRUE(balloon.IsShown());
  EXPECT_TRUE(balloon.IsWindowVisible());
  EXPECT_EQ(balloon.GetShowCount(), 1);
  EXPECT_EQ(balloon.GetWindowRect(), balloon.GetLayout().window);
  ASSERT_TRUE(Set("Saved", {700, 400}, Tavex::AIRBLADDER_INFO));
  EXPECT_EQ(balloon.GetShowCount(), 1);
  Set("Saved", {700, 400}, Tavex::AIRBLADDER_INFO, Tavex::AIRBLADDER_MODE_BOTTOM);
  EXPECT_EQ(balloon.GetShowCount(), 2);
  EXPECT_EQ(balloon.GetLayout().side, Tavex::AIRBLADDER_MODE_BOTTOM);
  Set("Saved", {700, 400}, Tavex::AIRBLADDER_WARNING, Tavex::AIRBLADDER_MODE_BOTTOM);
  Set("Saved", {701, 400}, Tavex::AIRBLADDER_WARNING, Tavex::AIRBLADDER_MODE_BOTTOM);
  Set("Done", {701, 400}, Tavex::AIRBLADDER_WARNING, Tavex::AIRBLADDER_MODE_BOTTOM);
  EXPECT_EQ(balloon.GetShowCount(), 5);
  // An empty text hides it; the same message afterwards shows it again.
  Set("", {701, 400}, Tavex::AIRBLADDER_WARNING);
  EXPECT_FALSE(balloon.IsShown());
  EXPECT_FALSE(balloon.IsWindowVisible());
  Set("Done", {701, 400}, Tavex::AIRBLADDER_WARNING, Tavex::AIRBLADDER_MODE_BOTTOM);
  EXPECT_TRUE(balloon.IsShown());
  EXPECT_EQ(balloon.GetShowCount(), 6);
}

TEST_F(BalloonFixture, EveryKindButTheGuideHidesOnItsWindowTimer10AfterFiveSeconds) {
  EXPECT_EQ(balloon.GetHideDelay(), 5000u);
  for (auto type : {Tavex::AIRBLADDER_NORMAL, Tavex::AIRBLADDER_INFO, Tavex::AIRBLADDER_SUCCESS,
                    Tavex::AIRBLADDER_WARNING, Tavex::AIRBLADDER_ERROR}) {
    ASSERT_TRUE(Set("Saved", {700, 400}, type));
    EXPECT_TRUE(balloon.HasUserTimer(MAirBladder::kHideTimer)) << type;
    balloon.SendMessageW(WM_TIMER, MAirBladder::kHideTimer, 0);
    EXPECT_FALSE(balloon.IsShown()) << type;
    EXPECT_FALSE(balloon.IsWindowVisible()) << type;
    EXPECT_FALSE(balloon.HasUserTimer(MAirBladder::kHideTimer)) << type;
  }
  ASSERT_TRUE(Set("Click a key to change it", {700, 400}, Tavex::AIRBLADDER_GUIDE));
  EXPECT_FALSE(balloon.HasUserTimer(MAirBladder::kHideTimer));
  // A click hides any balloon at once.
  balloon.SendMessageW(WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(balloon.IsShown());
}

TEST_F(BalloonFixture, TheRunningTimerHidesABalloonAndLeavesAGuideAlone) {
  balloon.SetHideDelay(60);
  ASSERT_TRUE(Set("Saved", {700, 400}, Tavex::AIRBLADDER_SUCCESS));
  ASSERT_TRUE(NT::PumpUntil([&] { return !balloon.IsShown(); }, 2000));
  EXPECT_FALSE(balloon.IsWindowVisible());

  ASSERT_TRUE(Set("Stay", {700, 400}, Tavex::AIRBLADDER_GUIDE));
  NT::Pump(300);
  EXPECT_TRUE(balloon.IsShown());

  // Repeating the shown message does not push the hide back.
  ASSERT_TRUE(Set("Saved", {700, 400}, Tavex::AIRBLADDER_INFO));
  const auto start = std::chrono::steady_clock::now();
  bool hidden = false;
  while (!hidden && std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1500)) {
    NT::Pump(20);
    hidden = !balloon.IsShown();
    if (!hidden) Set("Saved", {700, 400}, Tavex::AIRBLADDER_INFO);
  }
  EXPECT_TRUE(hidden);
}

TEST(MAirBladderDialog, ADialogShowsTheBalloonAtItsClientPointFromAnyThread) {
  if (!Native::DisplayAvailable()) GTEST_SKIP() << "no display";
  Tavex::MDialog dialog;
  ASSERT_NE(dialog.Create(nullptr, "t", 0x96000000, 0, CRect(100, 120, 500, 420)), nullptr);
  dialog.ShowWindow(SW_SHOW);
  EXPECT_EQ(dialog.GetPaintManager().GetAirBladder(), nullptr);
  dialog.SetAirBladderMsg("Saved", {50, 60}, Tavex::AIRBLADDER_INFO);
  MAirBladder* balloon = dialog.GetPaintManager().GetAirBladder();
  ASSERT_NE(balloon, nullptr);
  EXPECT_TRUE(balloon->IsShown());
  EXPECT_EQ(CPoint(balloon->GetAnchor()), CPoint(150, 180));
  EXPECT_EQ(balloon->GetParentHwnd(), dialog.GetSafeHwnd());

  dialog.HideAirBladder();
  EXPECT_FALSE(balloon->IsShown());
  std::thread worker([&] {
    dialog.SetAirBladderMsg("From the worker", {10, 10}, Tavex::AIRBLADDER_WARNING);
  });
  worker.join();
  ASSERT_TRUE(NT::PumpUntil([&] { return balloon->IsShown(); }));
  EXPECT_EQ(balloon->GetText(), "From the worker");

  // A control's balloon points at the middle of the edge that faces it.
  Tavex::MControl* button = dialog.CreateControl("MButton", 5, CRect(10, 20, 110, 60), "", 1, 1);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(dialog.GetAirBladderPoint(button, Tavex::AIRBLADDER_MODE_TOP), CPoint(60, 20));
  EXPECT_EQ(dialog.GetAirBladderPoint(button, Tavex::AIRBLADDER_MODE_BOTTOM), CPoint(60, 60));
  EXPECT_EQ(dialog.GetAirBladderPoint(button, Tavex::AIRBLADDER_MODE_LEFT), CPoint(10, 40));
  EXPECT_EQ(dialog.GetAirBladderPoint(button, Tavex::AIRBLADDER_MODE_RIGHT), CPoint(110, 40));

  // Hiding the dialog hides its balloon.
  ASSERT_TRUE(balloon->IsShown());
  dialog.ShowWindow(SW_HIDE);
  EXPECT_FALSE(balloon->IsShown());

  // The balloon goes with its dialog's window.
  dialog.DestroyWindow();
  EXPECT_FALSE(balloon->IsValid());
}
