// The window background is drawn once and copied into every paint: a change of colour, image,
// mode or size must still reach the screen, and a partial paint must leave the rest alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "TavexTestSupport.h"
#include "tavex/MDialog.h"
#include "tavex/Painter.h"

using namespace TavexTest;
using Tavex::Image;
using Tavex::MDialog;
using Tavex::PaintManager;
using Tavex::Surface;

namespace {
// The background is drawn at alpha 254: channels may differ from the colour by one.
bool Near(const Surface& s, int x, int y, std::uint32_t rgb) {
  const std::uint32_t p = s.Pixel(x, y);
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((rgb >> shift) & 0xFF);
    if (d > 1 || d < -1) return false;
  }
  return true;
}
}  // namespace

TEST(BackgroundLayer, ColourImageAndSizeChangesReachTheNextPaint) {
  MDialog dialog;
  PaintManager& pm = dialog.GetPaintManager();
  pm.SetBackColor(RGB(0x10, 0x20, 0x30), RGB(0x57, 0x57, 0x57));
  Surface frame(60, 40);
  pm.Compose(frame, CRect(0, 0, 60, 40));
  EXPECT_TRUE(Near(frame, 0, 0, 0x575757));   // border
  EXPECT_TRUE(Near(frame, 30, 20, 0x102030));  // inside

  pm.SetBackColor(RGB(0x40, 0x50, 0x60), RGB(0x57, 0x57, 0x57));
  pm.Compose(frame, CRect(0, 0, 60, 40));
  EXPECT_TRUE(Near(frame, 30, 20, 0x405060));

  std::vector<std::uint32_t> pixels(60 * 40, 0xFFCA5100);
  pm.SetBKImage(Image::FromARGB(60, 40, pixels.data()));
  pm.Compose(frame, CRect(0, 0, 60, 40));
  EXPECT_TRUE(Near(frame, 30, 20, 0xCA5100));

  pm.SetBKImage(Image());
  Surface larger(90, 50);
  pm.Compose(larger, CRect(0, 0, 90, 50));
  EXPECT_TRUE(Near(larger, 89, 49, 0x575757)) << "the border follows the new size";
  EXPECT_TRUE(Near(larger, 60, 45, 0x405060));
}

TEST(BackgroundLayer, APartialPaintReplacesOnlyItsRectangle) {
  MDialog dialog;
  PaintManager& pm = dialog.GetPaintManager();
  pm.SetBackColor(RGB(0x10, 0x20, 0x30), RGB(0x57, 0x57, 0x57));
  Surface frame(60, 40);
  {
    Tavex::Painter p(frame);
    p.Clear(0xFF00FF00);
  }
  pm.Compose(frame, CRect(10, 10, 20, 20));
  EXPECT_TRUE(Near(frame, 15, 15, 0x102030));
  EXPECT_TRUE(Near(frame, 9, 15, 0x00FF00));
  EXPECT_TRUE(Near(frame, 20, 15, 0x00FF00));
  EXPECT_TRUE(Near(frame, 15, 20, 0x00FF00));
}
