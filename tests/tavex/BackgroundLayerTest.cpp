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

namespace {
// Composing a paint must give exactly what drawing the background gives.
void ExpectComposedAsDrawn(PaintManager& pm, int w, int h, const char* what) {
  Surface composed(w, h);
  pm.Compose(composed, CRect(0, 0, w, h));
  Surface drawn(w, h);
  {
    Tavex::Painter p(drawn);
    pm.Render(p, CRect(0, 0, w, h), CRect(0, 0, w, h));
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      ASSERT_EQ(composed.Pixel(x, y), drawn.Pixel(x, y)) << what << " at " << x << "," << y;
}
}  // namespace

TEST(BackgroundLayer, TheTwoColoursAreFilledInAsDrawingThemGives) {
  MDialog dialog;
  PaintManager& pm = dialog.GetPaintManager();
  pm.SetBackColor(RGB(0x10, 0x20, 0x30), RGB(0x57, 0x57, 0x57));
  ExpectComposedAsDrawn(pm, 60, 40, "colours");
  ExpectComposedAsDrawn(pm, 2, 2, "border only");
  Surface frame(60, 40);
  pm.Compose(frame, CRect(0, 0, 60, 40));
  pm.SetBackColor(RGB(0x40, 0x50, 0x60), RGB(0x57, 0x57, 0x57));
  pm.Compose(frame, CRect(0, 35, 60, 40));
  EXPECT_TRUE(Near(frame, 30, 20, 0x102030)) << "outside the paint nothing changes";
  EXPECT_TRUE(Near(frame, 30, 37, 0x405060));
  EXPECT_TRUE(Near(frame, 30, 39, 0x575757));
}

// A picture of the window's size is shown from its own pixels: the result must be what drawing
// it gives, in both modes, and a later colour background must never be painted into it.
TEST(BackgroundLayer, AWindowSizedPictureIsShownExactlyAndNeverPaintedOver) {
  constexpr int kW = 60;
  constexpr int kH = 40;
  std::vector<std::uint32_t> argb(kW * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      argb[y * kW + x] = (static_cast<std::uint32_t>(x * 4 + 10) << 24) | (x * 3u << 16) | (y * 5u << 8) | 0x40;
  const Image picture = Image::FromARGB(kW, kH, argb.data());
  const std::vector<std::uint32_t> before = picture.ToARGB();

  for (const auto mode : {Tavex::BackModeNormal, Tavex::BackModeFrame}) {
    MDialog dialog;
    PaintManager& pm = dialog.GetPaintManager();
    pm.SetBackMode(mode, 8);
    pm.SetBKImage(picture);
    ExpectComposedAsDrawn(pm, kW, kH, mode == Tavex::BackModeFrame ? "frame mode" : "normal mode");

    // A picture of another size (and later the same again) is drawn into a layer of its own.
    const Image other = Image::FromARGB(kW / 2, kH, argb.data());
    pm.SetBKImage(other);
    ExpectComposedAsDrawn(pm, kW, kH, "smaller picture");
    pm.SetBKImage(picture);
    Surface composed(kW, kH);
    pm.Compose(composed, CRect(0, 0, kW, kH));
    pm.SetBKImage(other);
    pm.Compose(composed, CRect(0, 0, kW, kH));
    EXPECT_EQ(picture.ToARGB(), before) << "another picture was drawn into this one";
  }
}
