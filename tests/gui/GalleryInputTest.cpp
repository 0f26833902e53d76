// End-to-end input routing of the Tavex framework: real pointer and key events (xdotool,
// XTest) on the gallery window under the X server of $DISPLAY.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "GalleryProcess.h"
#include "support/ControlMap.h"
#include "tavex/Codes.h"
#include "tavex/Native.h"
#include "tavex/Painter.h"

using namespace GuiTest;
using TestSupport::ControlMap;
using TestSupport::ScreenRect;

namespace {

// The gallery dialog's ids (tools/tavex-gallery/GalleryDialog.h).
constexpr unsigned kOk = 11, kApply = 12, kDisabled = 13, kClose = 14;
constexpr unsigned kPanel = 20, kSecondPanelButton = 22, kLastPanelButton = 28;
constexpr unsigned kVerticalBar = 1;  // the panel's own scroll bar
// A half-transparent band: an area, so no control wants the pointer there.
constexpr unsigned kBand = 105;

class GalleryInput : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    if (!HaveXDoTool()) GTEST_SKIP() << "xdotool missing";
    ASSERT_TRUE(map.Ready());
    // Park the pointer away from the window: a synced move to where the pointer already is
    // would wait for motion that never comes.
    XDoTool("mousemove 0 0");
    gallery = std::make_unique<GalleryProcess>(std::vector<std::string>{},
                                               std::vector{map.Environment()});
    ASSERT_TRUE(gallery->Started());
    ASSERT_GE(gallery->WaitFor("ready "), 0) << "the gallery did not start";
  }
  void TearDown() override { gallery.reset(); }

  static std::string At(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
  int Mark() const { return static_cast<int>(gallery->Lines().size()); }

  TestSupport::ControlMap map;
  std::unique_ptr<GalleryProcess> gallery;
};

}  // namespace

TEST_F(GalleryInput, AClickReachesTheButtonUnderThePointerAndNotTheDisabledOne) {
  int from = Mark();
  ASSERT_TRUE(map.Click(kDisabled));
  ASSERT_TRUE(map.Click(kApply));
  const int press = gallery->WaitFor(Notified(kApply, Tavex::Notify::Press), from);
  ASSERT_GE(press, 0);
  EXPECT_GE(gallery->WaitFor(Notified(kApply, Tavex::Notify::Click), press), 0);
  EXPECT_EQ(gallery->CountContaining("id=" + std::to_string(kDisabled)), 0);
}

TEST_F(GalleryInput, WheelTurnsAndThumbDragsScrollThePanelAndClicksFollowTheOffset) {
  const ScreenRect before = map.RectOf(kSecondPanelButton);
  ASSERT_FALSE(before.Empty());
  int from = Mark();
  ASSERT_TRUE(map.MoveTo(kPanel));
  ASSERT_TRUE(XDoTool("click 5"));
  int line = gallery->WaitFor(Notified(kVerticalBar, Tavex::Notify::Scrolled) + " w=40", from);
  ASSERT_GE(line, 0) << "one wheel step down scrolls by the panel's step";
  // The map follows the scrolling: the second item now shows 40 pixels higher, and a click
  // there reaches it.
  const auto moved = map.WaitFor(
      kSecondPanelButton, ControlMap::kDefaultWait,
      [&](const TestSupport::MappedControl& c) { return c.rect.top == before.top - 40; });
  ASSERT_TRUE(moved.has_value()) << "the map did not follow the scrolling";
  from = Mark();
  ASSERT_TRUE(map.Click(kSecondPanelButton));
  EXPECT_GE(gallery->WaitFor(Notified(kSecondPanelButton, Tavex::Notify::Click), from), 0);
  from = Mark();
  ASSERT_TRUE(map.MoveTo(kPanel));
  ASSERT_TRUE(XDoTool("click 4"));
  EXPECT_GE(gallery->WaitFor(Notified(kVerticalBar, Tavex::Notify::Scrolled) + " w=0", from), 0);

  // Unscrolled, the thumb sits at the top of the bar: press a fifth of the way down, drag down.
  const auto bar = map.WaitFor(
      kVerticalBar, ControlMap::kDefaultWait,
      [&](const TestSupport::MappedControl& c) { return c.className == "CScrollVertical"; });
  ASSERT_TRUE(bar.has_value());
  const int x = bar->shown.CentreX(), y = bar->shown.top + bar->shown.Height() / 5;
  from = Mark();
  ASSERT_TRUE(TestSupport::MovePointer(x, y));
  ASSERT_TRUE(XDoTool("mousedown 1"));
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(x, y + bar->shown.Height() / 4)));
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(x, y + bar->shown.Height() / 2) + " mouseup 1"));
  line = gallery->WaitFor(Notified(kVerticalBar, Tavex::Notify::Scrolled), from);
  ASSERT_GE(line, 0);
  EXPECT_EQ(gallery->CountContaining(Notified(kVerticalBar, Tavex::Notify::Scrolled) + " w=0"),
            1);  // only the wheel's
}

TEST_F(GalleryInput, TabAndShiftTabMoveTheFocusAndCtrlTabDoesNot) {
  // Keys go to the window under the pointer (no window manager) or to the focused one.
  ASSERT_TRUE(map.MoveTo(kBand));
  int from = Mark();
  ASSERT_TRUE(XDoTool("key Tab"));
  int line = gallery->WaitFor("focus id=11", from);
  ASSERT_GE(line, 0);
  ASSERT_TRUE(XDoTool("key Tab"));
  line = gallery->WaitFor("focus id=12", line);
  ASSERT_GE(line, 0);
  ASSERT_TRUE(XDoTool("key Tab"));  // skips the disabled button
  line = gallery->WaitFor("focus id=14", line);
  ASSERT_GE(line, 0);
  ASSERT_TRUE(XDoTool("key shift+Tab"));
  line = gallery->WaitFor("focus id=12", line);
  ASSERT_GE(line, 0);
  ASSERT_TRUE(XDoTool("key ctrl+Tab"));
  // Ctrl+Tab reaches the focused control as a key (Ctrl modifier 17) instead of moving focus.
  line = gallery->WaitFor("key id=12 vk=9 mods=17", line);
  ASSERT_GE(line, 0);
  ASSERT_TRUE(XDoTool("key space"));
  line = gallery->WaitFor(Notified(kApply, Tavex::Notify::Click), line);
  EXPECT_GE(line, 0);
  EXPECT_EQ(gallery->CountContaining("focus id=13"), 0);
}

TEST_F(GalleryInput, PressingOutsideEveryControlDragsTheWindowAndTheMapFollows) {
  const ScreenRect ok = map.RectOf(kOk);
  ASSERT_FALSE(ok.Empty());
  const ScreenRect band = map.RectOf(kBand);
  const int x = band.CentreX(), y = band.CentreY();
  const int from = Mark();
  ASSERT_TRUE(TestSupport::MovePointer(x, y));
  ASSERT_TRUE(XDoTool("mousedown 1"));
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(x + 40, y + 40)));
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(x + 80, y + 80) + " mouseup 1"));
  EXPECT_GE(gallery->WaitFor("moved ", from), 0);
  // Controls keep their place in the window, so their screen rectangles move with it.
  const auto moved =
      map.WaitFor(kOk, ControlMap::kDefaultWait, [&](const TestSupport::MappedControl& c) {
        return c.rect.left == ok.left + 80 && c.rect.top == ok.top + 80;
      });
  EXPECT_TRUE(moved.has_value());
}

TEST_F(GalleryInput, TheCloseButtonEndsTheDialogWithResultTwo) {
  ASSERT_TRUE(map.Click(kClose));
  EXPECT_GE(gallery->WaitFor(Notified(kClose, Tavex::Notify::Click)), 0);
  EXPECT_GE(gallery->WaitFor("result 2"), 0);
  EXPECT_EQ(gallery->Wait(), 0);
}

TEST_F(GalleryInput, TheMapNamesEveryControlAndShowsOnlyWhatThePanelLetsThrough) {
  ASSERT_TRUE(map.WaitFor(kOk).has_value());
  const std::vector<TestSupport::MappedControl> all = map.Read();
  const auto find = [&](unsigned id) {
    const auto it = std::find_if(all.begin(), all.end(), [&](const auto& c) { return c.id == id; });
    return it != all.end() ? *it : TestSupport::MappedControl{};
  };
  const TestSupport::MappedControl panel = find(kPanel), band = find(kBand), off = find(kDisabled),
                                   last = find(kLastPanelButton);
  EXPECT_EQ(panel.className, "MPanel");
  EXPECT_EQ(band.className, "CArea");
  EXPECT_EQ(panel.title, "Tavex gallery");
  EXPECT_TRUE(off.visible) << "disabled is not hidden";
  EXPECT_EQ(panel.rect.Width(), 280);
  EXPECT_EQ(panel.rect.Height(), 200);
  // The last button lies below the panel's bottom until it is scrolled to: listed, not shown.
  EXPECT_TRUE(last.visible);
  EXPECT_FALSE(last.rect.Empty());
  EXPECT_GE(last.rect.top, panel.rect.bottom);
  EXPECT_TRUE(last.shown.Empty());
  EXPECT_FALSE(map.WaitFor(kLastPanelButton, std::chrono::milliseconds(0)).has_value());
}

TEST(ControlMapFile, LinesOutsideAWindowOrMalformedAreSkipped) {
  const std::string text =
      "control id=1 class=MButton visible=1 rect=0,0,10,10 shown=0,0,10,10\n"
      "window native=7 pid=42 client=100,50,740,510 title=A title, with spaces\n"
      "control id=12 class=MButton visible=1 rect=270,120,400,154 shown=270,120,400,154\n"
      "control id=13 class=MButton visible=yes rect=1,2,3,4 shown=1,2,3,4\n"
      "control id=14 class=MButton visible=0 rect=1,2,3\n"
      "garbage\n"
      "control id=21 class=DemoButton visible=1 rect=1,2,3,4 shown=0,0,0,0";
  const auto controls = TestSupport::ParseControlMap(text);
  ASSERT_EQ(controls.size(), 2u);
  EXPECT_EQ(controls[0].id, 12u);
  EXPECT_EQ(controls[0].title, "A title, with spaces");
  EXPECT_EQ(controls[0].window, 7u);
  EXPECT_EQ(controls[0].pid, 42);
  EXPECT_EQ(controls[0].client, (ScreenRect{100, 50, 740, 510}));
  EXPECT_EQ(controls[0].shown, (ScreenRect{270, 120, 400, 154}));
  EXPECT_EQ(controls[0].shown.CentreX(), 335);
  EXPECT_EQ(controls[1].className, "DemoButton");
  EXPECT_TRUE(controls[1].shown.Empty());
}

TEST(GalleryScreenshot, SavesWhatTheWindowDrew) {
  if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
  const TestSupport::ControlMap folder;  // the test's own temporary folder
  ASSERT_TRUE(folder.Ready());
  const auto path = std::filesystem::path(folder.Folder()) / "gallery.png";
  GalleryProcess gallery({"--screenshot", path.string()});
  ASSERT_TRUE(gallery.Started());
  EXPECT_GE(gallery.WaitFor("screenshot " + path.string()), 0);
  EXPECT_EQ(gallery.Wait(), 0);
  const Tavex::Image shot = Tavex::Image::LoadFile(path.string());
  ASSERT_FALSE(shot.IsNull());
  EXPECT_EQ(shot.Width(), 640);
  EXPECT_EQ(shot.Height(), 460);
  EXPECT_EQ(shot.Pixel(10, 10) & 0xFFFFFF, 0x1E1E1Eu);  // header area
  EXPECT_EQ(shot.Pixel(10, 45) & 0xFFFFFF, 0xCA5100u);  // accent line
  EXPECT_EQ(shot.Pixel(330, 260) & 0xFFFFFF, 0xCA5100u);  // framed area's border
}
