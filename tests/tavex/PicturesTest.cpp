// Pictures: placement, the sliding strip and the animated image.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "StdControlsSupport.h"
#include "tavex/Manager.h"
#include "tavex/Pictures.h"

namespace {

using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::RecordingParent;

std::string WriteStillPng() {
  const std::string path =
      (std::filesystem::temp_directory_path() / "tavex_still_picture.png").string();
  Tavex::Surface s(8, 6);
  {
    Tavex::Painter p(s);
    p.Clear(0xFF336699);
  }
  EXPECT_TRUE(s.SavePNG(path));
  return path;
}

TEST(Picture, ContainFitKeepsProportionsAndCentres) {
  EXPECT_EQ(Tavex::MPicture::PlaceImage(CRect(0, 0, 100, 100), 200, 100,
                                        Tavex::MPicture::kFitContain),
            CRect(0, 25, 100, 75));
  EXPECT_EQ(Tavex::MPicture::PlaceImage(CRect(0, 0, 100, 100), 20, 10,
                                        Tavex::MPicture::kFitContain),
            CRect(40, 45, 60, 55));
  EXPECT_EQ(Tavex::MPicture::PlaceImage(CRect(0, 0, 100, 100), 20, 10,
                                        Tavex::MPicture::kFitStretch),
            CRect(0, 0, 100, 100));
}

TEST(Picture, UnreadableFileLeavesThePictureAsItWas) {
  RecordingParent parent;
  Tavex::MPicture pic(&parent, 1, CRect(0, 0, 50, 50));
  ASSERT_TRUE(pic.SetPicture(WriteStillPng().c_str()));
  const int width = pic.GetPicture().Width();
  EXPECT_FALSE(pic.SetPicture("/nonexistent/picture.png"));
  EXPECT_EQ(pic.GetPicture().Width(), width);
}

TEST(GifPicture, SetRunStateOnASingleFrameImageReturnsZeroAndStaysStill) {
  RecordingParent parent;
  Tavex::CGifPicture gif(&parent, 1, CRect(0, 0, 50, 50));
  EXPECT_EQ(gif.SetRunState(1, 0), 0);  // nothing loaded
  ASSERT_TRUE(gif.LoadGif(WriteStillPng().c_str()));
  EXPECT_EQ(gif.GetFrameCount(), 1);
  EXPECT_EQ(gif.SetRunState(1, 0), 0);
  EXPECT_FALSE(gif.IsRunning());
  EXPECT_FALSE(gif.Advance(1000));
  EXPECT_EQ(gif.OnControlTimer(), 0);
}

TEST(GifPicture, AnimatedImageRunsThroughItsFramesByTheirDelays) {
  const std::string gifPath = Tavex::Manager::GetSkinFolder() + "loading.gif";
  if (!std::filesystem::exists(gifPath)) GTEST_SKIP() << "skins not built: " << gifPath;
  RecordingParent parent;
  Tavex::CGifPicture gif(&parent, 1, CRect(0, 0, 100, 100));
  ASSERT_TRUE(gif.LoadGif(gifPath.c_str()));
  ASSERT_GT(gif.GetFrameCount(), 1);
  EXPECT_EQ(gif.SetRunState(1, 999), 1);  // frame clamped to the last
  EXPECT_EQ(gif.GetFrame(), gif.GetFrameCount() - 1);
  EXPECT_TRUE(gif.IsRunning());
  EXPECT_EQ(gif.SetRunState(1, 0), 1);
  EXPECT_FALSE(gif.Advance(10));  // shorter than one frame's delay
  EXPECT_TRUE(gif.Advance(40));
  EXPECT_EQ(gif.GetFrame(), 1);
  EXPECT_EQ(gif.SetRunState(0, 3), 1);
  EXPECT_EQ(gif.GetFrame(), 3);
  EXPECT_EQ(gif.OnControlTimer(), 0);  // stopped
}

TEST(SliderPicture, SlidesToTheChosenPictureAndStops) {
  RecordingParent parent;
  Tavex::CSliderPicture strip(&parent, 1, CRect(0, 0, 100, 50));
  const std::string still = WriteStillPng();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(strip.AddPicture(still.c_str()));
  strip.SetCurrent(7);
  EXPECT_EQ(strip.GetCurrent(), 2);
  EXPECT_EQ(strip.GetOffset(), 0);
  EXPECT_TRUE(strip.Advance(40));
  EXPECT_EQ(strip.GetOffset(), 80);
  EXPECT_TRUE(strip.Advance(1000));
  EXPECT_EQ(strip.GetOffset(), 200);
  EXPECT_FALSE(strip.Advance(40));
  strip.SetCurrent(0, 0);
  EXPECT_EQ(strip.GetOffset(), 0);
}

}  // namespace
