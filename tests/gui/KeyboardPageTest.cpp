// The gallery's keyboard page driven like a user would: real pointer events (xdotool) on the
// shipped 87-key layout, results read from what the page prints and from the screen.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <thread>

#include "GalleryProcess.h"
#include "docs/LayoutFile.h"
#include "support/ControlMap.h"
#include "tavex/Codes.h"
#include "tavex/Native.h"
#include "tavex/Painter.h"

using namespace GuiTest;
using TestSupport::CommandOutput;

namespace {

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  int CentreX() const { return (left + right) / 2; }
  int CentreY() const { return (top + bottom) / 2; }
  bool Intersects(const Box& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
};

// The keyboard page's ids (tools/tavex-gallery/KeyboardPage.h): the control, the caption, and
// the mode buttons 100 to 104 from kFirstModeButton on.
constexpr unsigned kKeyboard = 69, kCaption = 70, kFirstModeButton = 80;
constexpr int kFirstMode = 100;

class KeyboardPage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    if (!HaveXDoTool()) GTEST_SKIP() << "xdotool missing";
    ASSERT_TRUE(map.Ready());
    const std::string path = LayoutFile::PathFor(ProgramFolder(), "tarnwick_k87");
    ASSERT_TRUE(layout.LoadDeviceInfo(path, 1) && layout.LoadLayout(path));
    XDoTool("mousemove 0 0");
    gallery = std::make_unique<GalleryProcess>(std::vector<std::string>{"--keyboard-mode", "101"},
                                               std::vector{map.Environment()});
    ASSERT_TRUE(gallery->Started());
    ASSERT_GE(gallery->WaitFor("ready "), 0) << "the gallery did not start";
    const auto keyboard = map.WaitFor(kKeyboard);
    ASSERT_TRUE(keyboard.has_value()) << "the keyboard control is not on the map";
    window = keyboard->client;
    // Client coordinates of the control: where screenshots of the client area show it.
    control = {keyboard->rect.left - window.left, keyboard->rect.top - window.top,
               keyboard->rect.right - window.left, keyboard->rect.bottom - window.top};
  }
  void TearDown() override { gallery.reset(); }

  // A key's rectangle in the window's client coordinates: the layout places keys within the
  // control, whose picture starts at its corner.
  Box KeyBox(uint32_t code, int* index = nullptr) const {
    const auto& keys = layout.Keys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (keys[i].code != code) continue;
      if (index != nullptr) *index = static_cast<int>(i);
      return InWindow(keys[i]);
    }
    ADD_FAILURE() << "no key " << code;
    return {};
  }
  Box InWindow(const LayoutKey& k) const {
    return {control.left + k.left, control.top + k.top, control.left + k.right,
            control.top + k.bottom};
  }
  // Client coordinates to the screen.
  std::string At(int x, int y) const {
    return std::to_string(window.left + x) + " " + std::to_string(window.top + y);
  }
  int Mark() const { return static_cast<int>(gallery->Lines().size()); }
  // Clicks the middle of a key: where the layout puts it inside the keyboard control.
  void ClickKey(uint32_t code) {
    const Box key = KeyBox(code);
    ASSERT_TRUE(map.ClickAt(kKeyboard, key.CentreX() - control.left, key.CentreY() - control.top));
  }
  void SwitchTo(int mode) {
    const int from = Mark();
    ASSERT_TRUE(map.Click(kFirstModeButton + static_cast<unsigned>(mode - kFirstMode)));
    ASSERT_GE(gallery->WaitFor("mode " + std::to_string(mode), from), 0);
  }
  // What the screen shows of the window's client area, read until `ready` says yes (repaints
  // are paced) or 3 s have passed; the last picture is returned either way.
  Tavex::Image ScreenUntil(const std::function<bool(const Tavex::Image&)>& ready) const {
    const auto path = std::filesystem::path(map.Folder()) / "keyboard-page.png";
    Tavex::Image shot;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    do {
      CommandOutput("import -window root -crop " + std::to_string(window.Width()) + "x" +
                    std::to_string(window.Height()) + "+" + std::to_string(window.left) + "+" +
                    std::to_string(window.top) + " png:" + path.string() + " 2>/dev/null");
      shot = Tavex::Image::LoadFile(path.string());
      if (!shot.IsNull() && ready(shot)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < end);
    return shot;
  }
  static unsigned Rgb(const Tavex::Image& shot, int x, int y) { return shot.Pixel(x, y) & 0xFFFFFF; }

  TestSupport::ControlMap map;
  LayoutFile layout;
  std::unique_ptr<GalleryProcess> gallery;
  TestSupport::ScreenRect window;  // the client area on the screen
  Box control;                     // the keyboard control in client coordinates
};

constexpr uint32_t kEsc = 0x29, kQ = 0x14, kD = 0x07;

}  // namespace

TEST_F(KeyboardPage, HoveringAKeyShowsItsTipCentredAboveIt) {
  const Box esc = KeyBox(kEsc);
  // The first move finds the key, the next one inside it shows its tip.
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(esc.CentreX(), esc.CentreY())));
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(esc.CentreX() + 3, esc.CentreY() + 2)));
  const std::string id = CommandOutput(
      "timeout 5 xdotool search --sync --onlyvisible --name 'KeyboardTip Window' | head -1");
  ASSERT_FALSE(id.empty()) << "no tip window appeared";
  const std::string geometry = CommandOutput("xdotool getwindowgeometry " + id);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(geometry, m, std::regex("Position: (-?\\d+),(-?\\d+)[^]*Geometry: (\\d+)x(\\d+)")))
      << geometry;
  const int x = std::stoi(m[1]), y = std::stoi(m[2]), w = std::stoi(m[3]), h = std::stoi(m[4]);
  EXPECT_EQ(y + h, window.top + esc.top) << "the tip's bottom touches the key's top edge";
  EXPECT_NEAR(x + w / 2, window.left + esc.CentreX(), 1) << "and is centred on the key";

  // Leaving the keyboard hides it.
  ASSERT_TRUE(map.MoveTo(kCaption));
  bool hidden = false;
  for (int i = 0; i < 30 && !hidden; ++i) {
    hidden = CommandOutput("xdotool search --onlyvisible --name 'KeyboardTip Window'").empty();
    if (!hidden) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(hidden);
}

TEST_F(KeyboardPage, LeftClicksReportTheKeyOrMinusOneOnEmptySpace) {
  int index = -1;
  KeyBox(kQ, &index);
  int from = Mark();
  ClickKey(kQ);
  EXPECT_GE(gallery->WaitFor(
                Notified(kKeyboard, Tavex::Notify::Click) + " w=" + std::to_string(index) + " l=20",
                from),
            0);
  // Inside the control, between the picture's edge and the first key.
  from = Mark();
  ASSERT_TRUE(map.ClickAt(kKeyboard, 2, 2));
  EXPECT_GE(gallery->WaitFor(Notified(kKeyboard, Tavex::Notify::Click) + " w=4294967295 l=0", from),
            0);
}

TEST_F(KeyboardPage, ARightClickWithoutMovingIsNoSelection) {
  const int from = Mark();
  ASSERT_TRUE(map.RightClick(kKeyboard));
  EXPECT_GE(gallery->WaitFor(Notified(kKeyboard, Tavex::Notify::RightClick), from), 0);
  EXPECT_EQ(gallery->CountContaining(Notified(kKeyboard, Tavex::Notify::FrameSelected)), 0);
}

TEST_F(KeyboardPage, ARightDragChecksExactlyTheKeysItTouches) {
  // From the middle of Q to the middle of D: Q W E, A S D and whatever else the frame touches.
  const Box q = KeyBox(kQ), d = KeyBox(kD);
  const int x0 = q.CentreX(), y0 = q.CentreY(), x1 = d.CentreX(), y1 = d.CentreY();
  const int from = Mark();
  ASSERT_TRUE(TestSupport::MovePointer(window.left + x0, window.top + y0));
  ASSERT_TRUE(XDoTool("mousedown 3"));
  ASSERT_TRUE(XDoTool("mousemove --sync " + At((x0 + x1) / 2, (y0 + y1) / 2)));
  ASSERT_TRUE(XDoTool("mousemove --sync " + At(x1, y1) + " mouseup 3"));
  const int end =
      gallery->WaitFor(Notified(kKeyboard, Tavex::Notify::FrameSelected) + " w=0 l=0", from);
  ASSERT_GE(end, 0);
  EXPECT_EQ(gallery->CountContaining(" code=" + std::to_string(Tavex::Notify::RightClick) + " "), 0)
      << "a selection is no right click";
  const int report = gallery->WaitFor("checked n=", end);
  ASSERT_GE(report, 0);

  const Box selection{x0, y0, x1, y1};
  std::string expected;
  int count = 0;
  for (const LayoutKey& k : layout.Keys()) {
    if (!InWindow(k).Intersects(selection)) continue;
    expected += (expected.empty() ? "" : ",") + std::to_string(k.code);
    ++count;
  }
  EXPECT_GE(count, 4);
  EXPECT_EQ(gallery->Lines()[static_cast<std::size_t>(report)],
            "checked n=" + std::to_string(count) + " codes=" + expected);
}

TEST_F(KeyboardPage, ModesChangeWhatTheKeysLookLikeAndColourClicksToggle) {
  const Box q = KeyBox(kQ);
  // Plain keys: blue, no picture.
  SwitchTo(100);
  const int innerX = q.left + 3, innerY = q.top + 3;
  Tavex::Image shot = ScreenUntil([&](const Tavex::Image& s) { return Rgb(s, innerX, innerY) == 0x007ACC; });
  EXPECT_EQ(Rgb(shot, innerX, innerY), 0x007ACCu);

  // Per-key colours: every key dark, a click lights Q in cyan, a second one darkens it again.
  SwitchTo(103);
  const int edgeX = q.CentreX(), edgeY = q.top;
  const auto cyan = [&](const Tavex::Image& s) { return Rgb(s, edgeX, edgeY) == 0x00FFFF; };
  shot = ScreenUntil([&](const Tavex::Image& s) { return Rgb(s, innerX, innerY) != 0x007ACC; });
  EXPECT_NE(Rgb(shot, innerX, innerY), 0x007ACCu);
  EXPECT_FALSE(cyan(shot));
  int from = Mark();
  ClickKey(kQ);
  ASSERT_GE(gallery->WaitFor("colour code=20 value=FFFF00", from), 0);
  EXPECT_TRUE(cyan(ScreenUntil(cyan)));
  from = Mark();
  ClickKey(kQ);
  ASSERT_GE(gallery->WaitFor("colour code=20 value=000000", from), 0);
  EXPECT_FALSE(cyan(ScreenUntil([&](const Tavex::Image& s) { return !cyan(s); })));

  // The light preview animates: the outlines change from one look to the next.
  SwitchTo(102);
  const Tavex::Image first = ScreenUntil([](const Tavex::Image&) { return true; });
  const Tavex::Image later = ScreenUntil([&](const Tavex::Image& s) {
    for (const LayoutKey& k : layout.Keys()) {
      const Box key = InWindow(k);
      if (Rgb(s, key.CentreX(), key.top) != Rgb(first, key.CentreX(), key.top)) return true;
    }
    return false;
  });
  int changed = 0;
  for (const LayoutKey& k : layout.Keys()) {
    const Box key = InWindow(k);
    if (Rgb(later, key.CentreX(), key.top) != Rgb(first, key.CentreX(), key.top)) ++changed;
  }
  EXPECT_GT(changed, 0);
}
