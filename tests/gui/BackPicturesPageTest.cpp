// The gallery's back pictures page end to end: the open drop-down list and the menu, as the X
// server shows them, carry the skin's nine-part picture with its corners unscaled.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "GalleryProcess.h"
#include "support/ControlMap.h"
#include "tavex/Native.h"
#include "tavex/Painter.h"

using namespace GuiTest;

namespace {

constexpr int kCorner = 30;  // the page draws bk_prompt.png with 30-pixel corners

// Counts the opaque pixels of the skin picture's top-left and bottom-right corners, in the
// strips of `rows` rows at the top and bottom edge that no entry covers, that `shot` shows
// differently; `checked` receives how many were compared.
int CornerMismatches(const Tavex::Image& shot, const Tavex::Image& skin, int rows, int* checked) {
  int bad = 0;
  *checked = 0;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < kCorner; ++x) {
      const auto check = [&](int sx, int sy, int dx, int dy) {
        const std::uint32_t want = skin.Pixel(sx, sy);
        if ((want >> 24) != 0xFF) return;
        ++*checked;
        if ((shot.Pixel(dx, dy) & 0xFFFFFF) != (want & 0xFFFFFF)) ++bad;
      };
      check(x, y, x, y);
      const int sy = skin.Height() - 1 - y, dy = shot.Height() - 1 - y;
      check(skin.Width() - kCorner + x, sy, shot.Width() - kCorner + x, dy);
    }
  }
  return bad;
}

}  // namespace

TEST(BackPicturesPage, OpenListAndMenuShowTheSkinPictureWithUnscaledCorners) {
  if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
  const TestSupport::ControlMap folder;  // the test's own temporary folder
  ASSERT_TRUE(folder.Ready());
  const auto base = std::filesystem::path(folder.Folder()) / "backs";
  const std::string shot = base.string() + ".png";
  GalleryProcess gallery({"--page", "backs", "--screenshot", shot});
  ASSERT_TRUE(gallery.Started());
  ASSERT_GE(gallery.WaitFor("screenshot " + base.string() + "-menu.png"), 0);
  EXPECT_EQ(gallery.Wait(), 0);
  const Tavex::Image skin =
      Tavex::Image::LoadFile(ProgramFolder() + "skins/theme1/bk_prompt.png");
  ASSERT_FALSE(skin.IsNull());
  const Tavex::Image combo = Tavex::Image::LoadFile(base.string() + "-combo.png");
  const Tavex::Image menu = Tavex::Image::LoadFile(base.string() + "-menu.png");
  ASSERT_FALSE(combo.IsNull());
  ASSERT_FALSE(menu.IsNull());
  EXPECT_EQ(combo.Width(), 220);
  EXPECT_EQ(combo.Height(), 162);  // eight entries, five rows shown
  EXPECT_EQ(menu.Width(), 240);
  // Rows start 6 pixels below the top and end 6 above the bottom in both windows.
  int checked = 0;
  EXPECT_EQ(CornerMismatches(combo, skin, 6, &checked), 0);
  EXPECT_GT(checked, 100);
  EXPECT_EQ(CornerMismatches(menu, skin, 6, &checked), 0);
  EXPECT_GT(checked, 100);
}
