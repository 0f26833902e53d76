#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tavex/MRender.h"

using Tavex::CPoint;
using Tavex::CRect;
using Tavex::Image;
using Tavex::MRender;
using Tavex::Painter;
using Tavex::Surface;

TEST(MRender, CheckAlphaColorLiftsOnlyPureBlack) {
  DWORD black = 0xFF000000;
  MRender::CheckAlphaColor(black);
  EXPECT_EQ(black, 0xFF000001u);
  DWORD dark = 0x00000100;
  MRender::CheckAlphaColor(dark);
  EXPECT_EQ(dark, 0x00000100u);
  DWORD transparentBlack = 0;
  MRender::CheckAlphaColor(transparentBlack);
  EXPECT_EQ(transparentBlack, 1u);
}

TEST(MRender, GetOriginPointPlacesABoxByBothAlignments) {
  EXPECT_EQ(MRender::GetOriginPoint(100, 40, 30, 10, 1, 4), CPoint(35, 15));
  EXPECT_EQ(MRender::GetOriginPoint(100, 40, 30, 10, 2, 8), CPoint(70, 30));
  EXPECT_EQ(MRender::GetOriginPoint(100, 40, 30, 10, 0, 0), CPoint(0, 0));
  EXPECT_EQ(MRender::GetOriginPoint(CRect(10, 20, 110, 60), 30, 10, 1, 4), CPoint(45, 35));
}

TEST(MRender, DrawColorWithZeroAlphaDrawsNothing) {
  Surface surface(4, 4);
  {
    Painter painter(surface);
    MRender::DrawColor(painter, RECT{0, 0, 4, 4}, 0x00FFFFFF);
  }
  EXPECT_EQ(surface.Pixel(1, 1), 0u);
  {
    Painter painter(surface);
    MRender::DrawColor(painter, RECT{0, 0, 4, 4}, 0xFF00FF00);
  }
  EXPECT_EQ(surface.Pixel(1, 1), 0xFF00FF00u);
}

TEST(MRender, FillSolidRectConvertsTheColorrefToOpaqueArgb) {
  Surface surface(4, 4);
  {
    Painter painter(surface);
    MRender::FillSolidRect(painter, 0, 0, 2, 2, RGB(0x11, 0x22, 0x33));
  }
  EXPECT_EQ(surface.Pixel(1, 1), 0xFF112233u);
  EXPECT_EQ(surface.Pixel(2, 2), 0u);
}

TEST(MRender, RoundRectRadiiFollowTheDivisorAndEqualiseWhenFarApart) {
  float rx = 0;
  float ry = 0;
  MRender::RoundRectRadii(100, 20, 12, &rx, &ry);
  EXPECT_NEAR(rx, 4.17f, 0.01f);
  EXPECT_NEAR(ry, 0.83f, 0.01f);
  MRender::RoundRectRadii(400, 20, 2, &rx, &ry);  // 100 and 5: too far apart
  EXPECT_FLOAT_EQ(rx, 5.0f);
  EXPECT_FLOAT_EQ(ry, 5.0f);
}

TEST(MRender, EqualTransparenciesGiveOneConstantOpacity) {
  for (int i = 0; i < 10; ++i) EXPECT_EQ(MRender::TransitionAlpha(80, 80, i, 10), 51);
  EXPECT_EQ(MRender::TransitionAlpha(0, 100, 0, 10), 255);
  EXPECT_LT(MRender::TransitionAlpha(0, 100, 9, 10), 40);
}

TEST(MRender, VerticalTransitionBlendsEachRowWithItsOpacity) {
  Surface src(8, 10);
  {
    Painter p(src);
    p.FillRect(RECT{0, 0, 8, 10}, 0xFFFFFFFF);
  }
  Surface dst(8, 10);
  int last = 0;
  {
    Painter p(dst);
    last = MRender::DrawVerticalTransition(p, src, CRect(0, 0, 8, 10), CRect(0, 0, 8, 10), 80, 80);
  }
  EXPECT_EQ(last, 51);
  EXPECT_NEAR(static_cast<int>(dst.Pixel(3, 0) >> 24), 51, 1);
  EXPECT_NEAR(static_cast<int>(dst.Pixel(3, 9) >> 24), 51, 1);

  Surface fade(8, 10);
  {
    Painter p(fade);
    MRender::DrawVerticalTransition(p, src, CRect(0, 0, 8, 10), CRect(0, 0, 8, 10), 0, 100);
  }
  EXPECT_EQ(fade.Pixel(3, 0) >> 24, 255u);
  EXPECT_LT(fade.Pixel(3, 9) >> 24, fade.Pixel(3, 5) >> 24);
}

TEST(MRender, ImageFrameCopiesCornersUnscaledAndStretchesTheCentre) {
  // 30 x 30 source: red corners of 10 pixels, blue centre.
  std::vector<std::uint32_t> px(30 * 30, 0xFF0000FF);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 30; ++x) {
      const bool cornerX = x < 10 || x >= 20;
      const bool cornerY = y < 10 || y >= 20;
      if (cornerX && cornerY) px[y * 30 + x] = 0xFFFF0000;
    }
  }
  const Image image = Image::FromARGB(30, 30, px.data());
  Surface surface(100, 80);
  {
    Painter p(surface);
    MRender::DrawImageFrame(p, image, CRect(0, 0, 100, 80), 0, 0, 30, 30, 10);
  }
  EXPECT_EQ(surface.Pixel(5, 5), 0xFFFF0000u);
  EXPECT_EQ(surface.Pixel(9, 9), 0xFFFF0000u);
  EXPECT_EQ(surface.Pixel(94, 74), 0xFFFF0000u);
  EXPECT_EQ(surface.Pixel(50, 40), 0xFF0000FFu);
  // Just inside the corner size the edge (blue in its middle) begins.
  EXPECT_NE(surface.Pixel(50, 5), 0xFFFF0000u);
}

TEST(MRender, GradientWithBothAlphasZeroDrawsNothingAndOpaqueDrawsBothEnds) {
  Surface surface(10, 40);
  {
    Painter p(surface);
    MRender::DrawGradient(p, RECT{0, 0, 10, 40}, 0x00FF0000, 0x000000FF, true, 8);
  }
  EXPECT_EQ(surface.Pixel(5, 20), 0u);
  {
    Painter p(surface);
    MRender::DrawGradient(p, RECT{0, 0, 10, 40}, 0xFFFF0000, 0xFF0000FF, true, 8);
  }
  const auto top = surface.Pixel(5, 0);
  const auto bottom = surface.Pixel(5, 39);
  EXPECT_GT((top >> 16) & 0xFF, 0xE0u);
  EXPECT_GT(bottom & 0xFF, 0xE0u);
}

TEST(MRender, GradientWithMeanAlphaBelowOpaqueIsComposedWithThatOpacity) {
  Surface surface(10, 10);
  {
    Painter p(surface);
    MRender::DrawGradient(p, RECT{0, 0, 10, 10}, 0x80FFFFFF, 0x80FFFFFF, false, 8);
  }
  EXPECT_NEAR(static_cast<int>(surface.Pixel(5, 5) >> 24), 0x80, 2);
}

TEST(MRender, SaveBitmapToFileWritesABmpAndRefusesANullBitmap) {
  const auto path = std::filesystem::temp_directory_path() / "tavex-mrender-test.bmp";
  Surface surface(3, 2);
  {
    Painter p(surface);
    p.FillRect(RECT{0, 0, 3, 2}, 0xFF102030);
  }
  ASSERT_TRUE(MRender::SaveBitmapToFile(surface, path.string()));
  std::ifstream in(path, std::ios::binary);
  char magic[2] = {};
  in.read(magic, 2);
  EXPECT_EQ(magic[0], 'B');
  EXPECT_EQ(magic[1], 'M');
  in.close();
  std::filesystem::remove(path);
  EXPECT_FALSE(MRender::SaveBitmapToFile(Surface(), path.string()));
  EXPECT_FALSE(MRender::SaveBitmapToFile(surface, ""));
}

TEST(MRender, ImagesLoadFromFilesAndRegisteredResourcesOrGiveNull) {
  EXPECT_TRUE(MRender::LoadImageFromFile("/nonexistent/none.png").IsNull());
  EXPECT_TRUE(MRender::LoadIconFromFile("").IsNull());
  EXPECT_TRUE(MRender::LoadImageFromIDResource(4242, "PNG", nullptr).IsNull());

  const auto dir = std::filesystem::temp_directory_path() / "tavex-mrender-icons";
  std::filesystem::create_directories(dir);
  Surface s(4, 4);
  {
    Painter p(s);
    p.FillRect(RECT{0, 0, 4, 4}, 0xFF00FF00);
  }
  ASSERT_TRUE(s.SavePNG((dir / "tool.png").string()));
  std::ofstream((dir / "tool").string()) << "#!/bin/sh\n";
  // An executable without an image of its own takes the picture with the same stem.
  const Image icon = MRender::LoadIconFromFile((dir / "tool").string());
  ASSERT_FALSE(icon.IsNull());
  EXPECT_EQ(icon.Width(), 4);

  std::ifstream png((dir / "tool.png").string(), std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(png)), {});
  MRender::RegisterResource(4243, "PNG", bytes);
  EXPECT_EQ(MRender::LoadImageFromIDResource(4243, "PNG", nullptr).Pixel(1, 1), 0xFF00FF00u);
  EXPECT_TRUE(MRender::LoadImageFromIDResource(4243, "ICON", nullptr).IsNull());
  std::filesystem::remove_all(dir);
}
