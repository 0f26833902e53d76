// The painter on off-screen surfaces: exact pixels for shapes, images, clipping and alpha;
// positions for text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>

#include "tavex/Painter.h"

namespace Tavex {
namespace {

constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kBlack = 0xFF000000;
constexpr ARGB kRed = 0xFFFF0000;
constexpr ARGB kBlue = 0xFF0000FF;

std::string TempPath(const std::string& name) {
  return std::string(::testing::TempDir()) + "painter_" + std::to_string(getpid()) + "_" + name;
}

// Bounding box of pixels that differ from `background`; empty rect when none.
RECT InkBox(const Surface& s, ARGB background) {
  RECT box{s.Width(), s.Height(), 0, 0};
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.Pixel(x, y) == background) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  if (box.right == 0) return RECT{0, 0, 0, 0};
  return box;
}

TEST(Painter, ANewSurfaceIsTransparentAndRectsFillExactlyTheirHalfOpenArea) {
  Surface s(20, 10);
  ASSERT_FALSE(s.IsNull());
  EXPECT_EQ(s.Pixel(5, 5), 0u);
  {
    Painter p(s);
    ASSERT_TRUE(p.IsValid());
    p.FillRect(RECT{2, 3, 6, 5}, kRed);
  }
  EXPECT_EQ(s.Pixel(2, 3), kRed);
  EXPECT_EQ(s.Pixel(5, 4), kRed);
  EXPECT_EQ(s.Pixel(6, 4), 0u) << "right edge is outside";
  EXPECT_EQ(s.Pixel(5, 5), 0u) << "bottom edge is outside";
  EXPECT_EQ(s.Pixel(1, 3), 0u);
  EXPECT_EQ(s.Pixel(-1, 0), 0u);
  EXPECT_TRUE(Surface(0, 5).IsNull());
}

TEST(Painter, TranslucentFillsBlendOverWhatIsThere) {
  Surface s(4, 4);
  Painter p(s);
  p.Clear(kWhite);
  p.FillRect(RECT{0, 0, 2, 4}, 0x80000000);
  p.Flush();
  const ARGB blended = s.Pixel(0, 0);
  EXPECT_EQ(ARGBAlpha(blended), 0xFF);
  EXPECT_NEAR(ARGBRed(blended), 0x7F, 1);
  EXPECT_EQ(s.Pixel(3, 0), kWhite);
  p.ClearRect(RECT{3, 3, 4, 4}, 0x40FF0000);
  p.Flush();
  EXPECT_EQ(ARGBAlpha(s.Pixel(3, 3)), 0x40) << "clearing replaces alpha too";
  EXPECT_NEAR(ARGBRed(s.Pixel(3, 3)), 0xFF, 2);
}

TEST(Painter, RoundedRectanglesLeaveTheCornersOut) {
  Surface s(40, 20);
  Painter p(s);
  p.FillRoundRect(0, 0, 40, 20, 8, 8, kBlue);
  p.Flush();
  EXPECT_EQ(s.Pixel(0, 0), 0u);
  EXPECT_EQ(s.Pixel(39, 19), 0u);
  EXPECT_EQ(s.Pixel(20, 0), kBlue) << "straight edge";
  EXPECT_EQ(s.Pixel(0, 10), kBlue);
  EXPECT_EQ(s.Pixel(20, 10), kBlue);
  p.Clear();
  p.DrawRoundRect(0.5f, 0.5f, 39, 19, 4, 4, kRed, 1.0f);
  p.Flush();
  EXPECT_EQ(s.Pixel(20, 10), 0u) << "an outline leaves the inside";
  EXPECT_EQ(ARGBRed(s.Pixel(20, 0)), 0xFF);
}

TEST(Painter, OutlinesAndAxisLinesAreCrisp) {
  Surface s(10, 10);
  Painter p(s);
  p.DrawRect(RECT{1, 1, 9, 9}, kRed, 2);
  p.DrawLine(0, 5, 10, 5, kBlue);
  p.Flush();
  EXPECT_EQ(s.Pixel(1, 1), kRed);
  EXPECT_EQ(s.Pixel(2, 2), kRed);
  EXPECT_EQ(s.Pixel(3, 3), 0u);
  EXPECT_EQ(s.Pixel(8, 8), kRed);
  EXPECT_EQ(s.Pixel(9, 9), 0u);
  EXPECT_EQ(s.Pixel(5, 5), kBlue);
  EXPECT_EQ(s.Pixel(5, 4), 0u);
  EXPECT_EQ(s.Pixel(5, 6), 0u);
}

TEST(Painter, ImagesDrawASourceRectangleScaledWithoutBleedingAndWithOpacity) {
  const std::uint32_t pixels[] = {kRed, kBlue};  // a 2 x 1 strip of two "states"
  const Image strip = Image::FromARGB(2, 1, pixels);
  ASSERT_EQ(strip.Width(), 2);
  EXPECT_EQ(strip.Pixel(1, 0), kBlue);
  Surface s(10, 10);
  Painter p(s);
  p.DrawImage(strip, RECT{0, 0, 10, 10}, RECT{1, 0, 2, 1});
  p.Flush();
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) ASSERT_EQ(s.Pixel(x, y), kBlue) << x << "," << y;
  }
  p.Clear(kWhite);
  p.DrawImage(strip, RECT{0, 0, 10, 10}, RECT{0, 0, 1, 1}, 128);
  p.Flush();
  const ARGB half = s.Pixel(5, 5);
  EXPECT_EQ(ARGBRed(half), 0xFF);
  EXPECT_NEAR(ARGBGreen(half), 0x7F, 2);
  p.Clear();
  p.DrawImage(strip, 3, 4);
  p.Flush();
  EXPECT_EQ(s.Pixel(3, 4), kRed);
  EXPECT_EQ(s.Pixel(4, 4), kBlue);
  EXPECT_EQ(s.Pixel(5, 4), 0u);
  p.DrawImage(Image(), RECT{0, 0, 5, 5}, RECT{0, 0, 1, 1});  // a null image draws nothing
}

TEST(Painter, ClipsNestAndPopAndGroupsFadeAsAWhole) {
  Surface s(10, 10);
  Painter p(s);
  p.PushClip(RECT{0, 0, 5, 10});
  p.PushClip(RECT{0, 0, 10, 5});
  p.FillRect(RECT{0, 0, 10, 10}, kRed);
  p.PopClip();
  p.FillRect(RECT{0, 6, 10, 7}, kBlue);
  p.PopClip();
  p.PopClip();  // unbalanced: ignored
  p.FillRect(RECT{9, 9, 10, 10}, kBlue);
  p.Flush();
  EXPECT_EQ(s.Pixel(4, 4), kRed);
  EXPECT_EQ(s.Pixel(5, 4), 0u);
  EXPECT_EQ(s.Pixel(4, 5), 0u);
  EXPECT_EQ(s.Pixel(4, 6), kBlue);
  EXPECT_EQ(s.Pixel(6, 6), 0u);
  EXPECT_EQ(s.Pixel(9, 9), kBlue);

  p.Clear();
  p.PushGroup();
  p.FillRect(RECT{0, 0, 10, 10}, kRed);
  p.FillRect(RECT{0, 0, 5, 10}, kBlue);  // overlapping shapes do not add up
  p.PopGroup(0x80);
  p.Flush();
  EXPECT_NEAR(ARGBAlpha(s.Pixel(2, 2)), 0x80, 1);
  EXPECT_EQ(ARGBRed(s.Pixel(2, 2)), 0);
  EXPECT_NEAR(ARGBAlpha(s.Pixel(7, 2)), 0x80, 1);
}

TEST(Painter, MasksKeepTheAlphaOfTheirSurfaceAndStampAnyColourThroughIt) {
  EXPECT_TRUE(Mask::FromAlpha(Surface()).IsNull());
  Surface shape(6, 4);
  {
    Painter p(shape);
    p.FillRect(RECT{0, 0, 2, 4}, kWhite);
    p.FillRect(RECT{2, 0, 4, 4}, 0x80FF0000);  // only the alpha counts, not the colour
  }
  const Mask mask = Mask::FromAlpha(shape);
  ASSERT_EQ(mask.Width(), 6);
  ASSERT_EQ(mask.Height(), 4);
  EXPECT_EQ(mask.Coverage(1, 3), 0xFF);
  EXPECT_NEAR(mask.Coverage(3, 0), 0x80, 1);
  EXPECT_EQ(mask.Coverage(5, 0), 0);
  EXPECT_EQ(mask.Coverage(6, 0), 0) << "outside";

  // Stamped at (2, 1) in translucent blue over white: full coverage blends as a fill would,
  // half coverage half as much, no coverage and the rest of the surface stay white.
  Surface s(10, 6);
  Painter p(s);
  p.Clear(kWhite);
  p.FillMask(mask, 2, 1, 0x800000FF);
  p.Flush();
  Surface filled(1, 1);
  {
    Painter f(filled);
    f.Clear(kWhite);
    f.FillRect(RECT{0, 0, 1, 1}, 0x800000FF);
  }
  EXPECT_EQ(s.Pixel(2, 1), filled.Pixel(0, 0));
  EXPECT_EQ(s.Pixel(3, 4), filled.Pixel(0, 0));
  EXPECT_NEAR(ARGBRed(s.Pixel(4, 2)), 0xBF, 1);
  EXPECT_EQ(ARGBBlue(s.Pixel(4, 2)), 0xFF);
  for (const POINT pt : {POINT{7, 2}, POINT{1, 1}, POINT{2, 0}, POINT{2, 5}}) {
    EXPECT_EQ(s.Pixel(pt.x, pt.y), kWhite) << pt.x << "," << pt.y;
  }
}

Surface CopyOf(const Surface& from) {
  Surface to(from.Width(), from.Height());
  std::memcpy(to.Data(), from.Data(), static_cast<std::size_t>(from.Stride()) * from.Height());
  return to;
}

// The stored (premultiplied) pixel.
std::uint32_t Raw(const Surface& s, int x, int y) {
  std::uint32_t v = 0;
  std::memcpy(&v, s.Data() + static_cast<std::ptrdiff_t>(y) * s.Stride() + x * 4, sizeof v);
  return v;
}

TEST(Painter, AStampWrittenPixelByPixelIsTheCompositorsToTheBit) {
  // An antialiased outline (every coverage from 0 to 255) over pixels of every kind: opaque,
  // translucent, clear.
  Surface shape(24, 16);
  {
    Painter p(shape);
    p.DrawRoundRect(2.5f, 2.5f, 19.0f, 11.0f, 3.0f, 3.0f, kWhite, 2.0f);
    p.FillRect(RECT{9, 6, 14, 10}, 0x60FFFFFF);
  }
  const Mask mask = Mask::FromAlpha(shape);
  ASSERT_FALSE(mask.Runs().empty());
  Surface under(30, 20);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 30; ++x) {
      const std::uint32_t a = (x * 37 + y * 11) % 3 == 0 ? 0xFF : static_cast<std::uint32_t>((x * 13 + y * 29) % 256);
      Painter(under).FillRect(RECT{x, y, x + 1, y + 1}, (a << 24) | static_cast<std::uint32_t>(x * 8 << 16 | y * 12 << 8 | (x + y) * 5));
    }
  }
  std::vector<std::uint32_t> beneath;
  ASSERT_TRUE(mask.Gather(under, 3, 2, beneath));
  for (const ARGB colour : {0xFFCA5100u, 0x80CA5100u, 0x01FFFFFFu, 0xFE102030u, 0x28000000u}) {
    Surface composited = CopyOf(under);
    {
      Painter p(composited);
      p.FillMask(mask, 3, 2, colour);
    }
    Surface written = CopyOf(under);
    ASSERT_TRUE(StampMaskOver(written, 3, 2, mask, colour, beneath));
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 30; ++x) {
        ASSERT_EQ(Raw(written, x, y), Raw(composited, x, y)) << std::hex << colour << " at " << std::dec << x << "," << y;
      }
    }
  }
  // Outside the target, or with pixels gathered for another mask: nothing is written.
  Surface small(20, 12);
  EXPECT_FALSE(StampMaskOver(small, 3, 2, mask, 0xFFCA5100, beneath));
  EXPECT_FALSE(mask.Gather(small, 3, 2, beneath));
  EXPECT_TRUE(beneath.empty());
  EXPECT_FALSE(StampMaskOver(under, 3, 2, mask, 0xFFCA5100, beneath));
}

TEST(Painter, GradientsRunFromTheFirstToTheSecondColour) {
  Surface s(1, 100);
  Painter p(s);
  p.FillGradient(RECT{0, 0, 1, 100}, kBlack, kWhite, true);
  p.Flush();
  EXPECT_LT(ARGBRed(s.Pixel(0, 0)), 5);
  EXPECT_GT(ARGBRed(s.Pixel(0, 99)), 250);
  EXPECT_NEAR(ARGBRed(s.Pixel(0, 50)), 128, 4);
}

FontDesc TestFont() {
  FontDesc f;
  f.family = "DejaVu Sans";
  f.sizePx = 14;
  return f;
}

TEST(Painter, TextIsPlacedByItsAlignmentFlags) {
  Surface s(200, 40);
  Painter p(s);
  const RECT box{0, 0, 200, 40};
  p.Clear(kWhite);
  const RECT left = p.DrawText("Hello", TestFont(), box, kBlack, DT_LEFT | DT_TOP | DT_SINGLELINE);
  p.Flush();
  const RECT inkLeft = InkBox(s, kWhite);
  ASSERT_GT(inkLeft.right, 0) << "text drew nothing";
  EXPECT_LT(inkLeft.left, 4);
  EXPECT_LT(inkLeft.top, 8);
  EXPECT_EQ(left.left, 0);

  p.Clear(kWhite);
  const RECT centred = p.DrawText("Hello", TestFont(), box, kBlack, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  p.Flush();
  const RECT ink = InkBox(s, kWhite);
  EXPECT_NEAR((ink.left + ink.right) / 2.0, 100, 3);
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 20, 4);
  EXPECT_NEAR((centred.left + centred.right) / 2.0, 100, 1);

  p.Clear(kWhite);
  const RECT right = p.DrawText("Hello", TestFont(), box, kBlack, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
  p.Flush();
  const RECT inkRight = InkBox(s, kWhite);
  EXPECT_GT(inkRight.right, 195);
  EXPECT_GT(inkRight.bottom, 30);
  EXPECT_EQ(right.right, 200);
  EXPECT_EQ(right.bottom, 40);
}

TEST(Painter, LongTextIsShortenedWithAnEllipsisAndClippedOtherwise) {
  const std::string text = "A rather long caption that cannot fit";
  const SIZE full = MeasureText(text, TestFont());
  ASSERT_GT(full.cx, 120);
  Surface s(200, 30);
  Painter p(s);
  p.Clear(kWhite);
  const RECT box{0, 0, 100, 30};
  const RECT shortened = p.DrawText(text, TestFont(), box, kBlack, DT_SINGLELINE | DT_END_ELLIPSIS);
  p.Flush();
  EXPECT_LE(shortened.right - shortened.left, 100);
  EXPECT_LE(InkBox(s, kWhite).right, 100);
  p.Clear(kWhite);
  p.DrawText(text, TestFont(), box, kBlack, DT_SINGLELINE);
  p.Flush();
  EXPECT_LE(InkBox(s, kWhite).right, 100) << "clipped to the rectangle";
  p.Clear(kWhite);
  p.DrawText(text, TestFont(), box, kBlack, DT_SINGLELINE | DT_NOCLIP);
  p.Flush();
  EXPECT_GT(InkBox(s, kWhite).right, 110);
}

TEST(Painter, MeasuringCountsLinesWrapsAndCalcRectDrawsNothing) {
  const SIZE one = MeasureText("Line", TestFont());
  const SIZE two = MeasureText("Line\nLine", TestFont(), 0, 0);
  EXPECT_GT(one.cx, 0);
  EXPECT_NEAR(two.cy, 2 * one.cy, 2);
  EXPECT_EQ(MeasureText("Line\nLine", TestFont()).cy, one.cy) << "single line joins lines";
  const SIZE wrapped = MeasureText("word word word word word", TestFont(), 60, DT_WORDBREAK);
  EXPECT_LE(wrapped.cx, 60);
  EXPECT_GE(wrapped.cy, 3 * one.cy - 2);
  FontDesc big = TestFont();
  big.sizePx = 28;
  EXPECT_GT(MeasureText("Line", big).cx, one.cx);
  EXPECT_GT(MeasureText("Line", big).cy, one.cy);

  Surface s(100, 40);
  Painter p(s);
  const RECT calc = p.DrawText("Line", TestFont(), RECT{5, 6, 100, 40}, kBlack, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(calc.left, 5);
  EXPECT_EQ(calc.right - calc.left, one.cx);
  p.Flush();
  EXPECT_EQ(InkBox(s, 0).right, 0);
  // Invalid UTF-8 is drawn as replacement characters instead of failing.
  EXPECT_GT(MeasureText(std::string("ab\xFF\xFE"), TestFont()).cx, MeasureText("ab", TestFont()).cx);
}

TEST(Painter, SurfacesRoundTripThroughPngAndBmpFiles) {
  Surface s(3, 2);
  {
    Painter p(s);
    p.FillRect(RECT{0, 0, 1, 2}, kRed);
    p.FillRect(RECT{1, 0, 2, 1}, 0x80123456);
  }
  const std::string png = TempPath("a.png");
  const std::string bmp = TempPath("a.bmp");
  ASSERT_TRUE(s.SavePNG(png));
  ASSERT_TRUE(s.SaveBMP(bmp));
  for (const std::string& path : {png, bmp}) {
    const Image back = Image::LoadFile(path);
    ASSERT_FALSE(back.IsNull()) << path;
    EXPECT_EQ(back.Width(), 3);
    EXPECT_EQ(back.Height(), 2);
    EXPECT_EQ(back.Pixel(0, 1), kRed) << path;
    EXPECT_EQ(back.Pixel(2, 1), 0u) << path;
    EXPECT_EQ(ARGBAlpha(back.Pixel(1, 0)), 0x80) << path;
    EXPECT_NEAR(ARGBRed(back.Pixel(1, 0)), 0x12, 2) << path;
    std::remove(path.c_str());
  }
  EXPECT_FALSE(s.SaveBMP("/nonexistent-dir/x.bmp"));
}

TEST(Painter, BrokenOrMissingImageFilesGiveNullImages) {
  EXPECT_TRUE(Image::LoadFile("/nonexistent/file.png").IsNull());
  const std::string junk = TempPath("junk.png");
  std::ofstream(junk) << "not a picture at all";
  EXPECT_TRUE(Image::LoadFile(junk).IsNull());
  EXPECT_TRUE(LoadAnimationFrames(junk).empty());
  EXPECT_TRUE(Image::LoadMemory("xx", 2).IsNull());
  std::remove(junk.c_str());
}

// A 1 x 1 GIF with a red and a blue frame, 100 ms and 200 ms.
const unsigned char kGif[] = {
    'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF,
    0x21, 0xF9, 4, 0, 10, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0,
    0x21, 0xF9, 4, 0, 20, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0,
    0x3B};

TEST(Painter, AnimatedGifsGiveEveryFrameWithItsDelay) {
  const std::string path = TempPath("anim.gif");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(kGif), sizeof kGif);
  const auto frames = LoadAnimationFrames(path);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].image.Pixel(0, 0), kRed);
  EXPECT_EQ(frames[0].delayMs, 100);
  EXPECT_EQ(frames[1].image.Pixel(0, 0), kBlue);
  EXPECT_EQ(frames[1].delayMs, 200);
  EXPECT_EQ(Image::LoadFile(path).Pixel(0, 0), kRed) << "a still load is the first frame";
  std::remove(path.c_str());
}

TEST(Painter, IconFilesLoad) {
  // 2 x 2, 32 bits per pixel, bottom-up, with an all-zero AND mask.
  std::vector<unsigned char> ico = {0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 32, 0};
  const std::uint32_t bytes = 40 + 16 + 8;
  for (int i = 0; i < 4; ++i) ico.push_back(static_cast<unsigned char>(bytes >> (8 * i)));
  for (int i = 0; i < 4; ++i) ico.push_back(static_cast<unsigned char>(22 >> (8 * i)));
  const unsigned char header[40] = {40, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 1, 0, 32, 0};
  ico.insert(ico.end(), header, header + 40);
  const unsigned char bgra[16] = {0, 0, 255, 255, 0, 0, 255, 255,     // bottom row: red
                                  255, 0, 0, 255, 255, 0, 0, 255};    // top row: blue
  ico.insert(ico.end(), bgra, bgra + 16);
  ico.insert(ico.end(), 8, 0);
  const Image icon = Image::LoadMemory(ico.data(), ico.size());
  ASSERT_FALSE(icon.IsNull());
  EXPECT_EQ(icon.Width(), 2);
  EXPECT_EQ(icon.Pixel(0, 0), kBlue);
  EXPECT_EQ(icon.Pixel(1, 1), kRed);
}

TEST(Painter, PrivateFontFilesBecomeAvailableFamilies) {
  const char* candidates[] = {"/usr/share/fonts/truetype/open-sans/OpenSans-Semibold.ttf",
                              "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"};
  std::string file;
  for (const char* c : candidates) {
    if (std::ifstream(c).good()) {
      file = c;
      break;
    }
  }
  if (file.empty()) GTEST_SKIP() << "no font file to add";
  const auto families = AddFontFile(file);
  ASSERT_FALSE(families.empty());
  EXPECT_TRUE(HasFontFamily(families.front()));
  EXPECT_FALSE(HasFontFamily("No Such Family 123"));
  EXPECT_TRUE(AddFontFile("/nonexistent/font.ttf").empty());
}

}  // namespace
}  // namespace Tavex
