// End-to-end input routing of the Tavex framework: real pointer and key events (xdotool,
// XTest) on the gallery window under the X server of $DISPLAY.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "GalleryProcess.h"
#include "tavex/Native.h"
#include "tavex/Painter.h"

using namespace GuiTest;

namespace {

struct Origin {
  int x = 0;
  int y = 0;
};

class GalleryInput : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    if (!HaveXDoTool()) GTEST_SKIP() << "xdotool missing";
    // Park the pointer away from the window: a synced move to where the pointer already is
    // would wait for motion that never comes.
    XDoTool("mousemove 0 0");
    gallery = std::make_unique<GalleryProcess>();
    ASSERT_TRUE(gallery->Started());
    ASSERT_TRUE(gallery->WaitReady(&origin.x, &origin.y)) << "the gallery did not start";
  }
  void TearDown() override { gallery.reset(); }

  // Client coordinates to the screen.
  std::string At(int x, int y) const {
    return std::to_string(origin.x + x) + " " + std::to_string(origin.y + y);
  }
  void Click(int x, int y) { ASSERT_TRUE(XDoTool("mousemove --sync " + At(x, y) + " click 1")); }
  int Mark() const { return static_cast<int>(gallery->Lines().size()); }

  std::unique_ptr<GalleryProcess> gallery;
  Origin origin;
};

}  // namespace

TEST_F(GalleryInput, AClickReachesTheButtonUnderThePointerAndNotTheDisabledOne) {
  int from = Mark();
  Click(385, 87);  // the disabled button
  Click(235, 87);  // Apply
  const int press = gallery->WaitFor("notify id=12 code=1", from);
  ASSERT_GE(press, 0);
  EXPECT_GE(gallery->WaitFor("notify id=12 code=2", press), 0);
  EXPECT_EQ(gallery->CountContaining("id=13"), 0);
}

TEST_F(GalleryInput, WheelTurnsAndThumbDragsScrollThePanelAndClicksFollowTheOffset) {
  int from = Mark();
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(150, 200) + " click 5"));
  int line = gallery->WaitFor("notify id=1 code=8 w=40", from);
  ASSERT_GE(line, 0) << "one wheel step down scrolls by the panel's step";
  // With the panel scrolled by 40, window y 160 is virtual y 200: the second item.
  from = Mark();
  Click(150, 160);
  EXPECT_GE(gallery->WaitFor("notify id=22 code=2", from), 0);
  from = Mark();
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(150, 200) + " click 4"));
  EXPECT_GE(gallery->WaitFor("notify id=1 code=8 w=0", from), 0);

  // Drag the thumb of the vertical bar (x 288..300) down.
  from = Mark();
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(294, 170) + " mousedown 1"));
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(294, 220)));
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(294, 260) + " mouseup 1"));
  line = gallery->WaitFor("notify id=1 code=8", from);
  ASSERT_GE(line, 0);
  EXPECT_EQ(gallery->CountContaining("notify id=1 code=8 w=0"), 1);  // only the wheel's
}

TEST_F(GalleryInput, TabAndShiftTabMoveTheFocusAndCtrlTabDoesNot) {
  // Keys go to the window under the pointer (no window manager) or to the focused one.
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(320, 345)));
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
  line = gallery->WaitFor("notify id=12 code=2", line);
  EXPECT_GE(line, 0);
  EXPECT_EQ(gallery->CountContaining("focus id=13"), 0);
}

TEST_F(GalleryInput, PressingOutsideEveryControlDragsTheWindow) {
  const int from = Mark();
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(320, 345) + " mousedown 1"));
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(360, 385)));
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(400, 425) + " mouseup 1"));
  EXPECT_GE(gallery->WaitFor("moved ", from), 0);
}

TEST_F(GalleryInput, TheCloseButtonEndsTheDialogWithResultTwo) {
  Click(535, 87);
  EXPECT_GE(gallery->WaitFor("notify id=14 code=2"), 0);
  EXPECT_GE(gallery->WaitFor("result 2"), 0);
  EXPECT_EQ(gallery->Wait(), 0);
}

TEST(GalleryScreenshot, SavesWhatTheWindowDrew) {
  if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
  const auto path = std::filesystem::temp_directory_path() / "tavex-gallery-test.png";
  std::filesystem::remove(path);
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
  std::filesystem::remove(path);
}
