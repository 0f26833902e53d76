// Pictures: placement, the sliding strip and the animated image.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "StdControlsSupport.h"
#include "tavex/AnimationClock.h"
#include "tavex/Buttons.h"
#include "tavex/Codes.h"
#include "tavex/MPanel.h"
#include "tavex/Manager.h"
#include "tavex/PaintManager.h"
#include "tavex/Pictures.h"

namespace {

using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::CountCode;
using TavexTest::Hex;
using TavexTest::RecordingParent;
using TavexTest::Render;

// Files of this process only (test cases may run as parallel processes), removed at exit.
std::string TempPath(const std::string& name) {
  struct Cleanup {
    std::vector<std::string> paths;
    ~Cleanup() {
      std::error_code ignored;
      for (const auto& p : paths) std::filesystem::remove(p, ignored);
    }
  };
  static Cleanup cleanup;
  const std::string path = (std::filesystem::temp_directory_path() /
                            (std::to_string(getpid()) + "_" + name)).string();
  cleanup.paths.push_back(path);
  return path;
}

std::string WriteStillPng() {
  const std::string path = TempPath("tavex_still_picture.png");
  Tavex::Surface s(8, 6);
  {
    Tavex::Painter p(s);
    p.Clear(0xFF336699);
  }
  EXPECT_TRUE(s.SavePNG(path));
  return path;
}

// An animated GIF of 4 × 4 frames, each one solid colour, with per-frame delays in 1/100 s.
// The image data restarts the code table before every pixel, so every code is 3 bits wide.
struct GifFrame {
  unsigned char r, g, b;
  int delayCs;
};

std::string WriteGif(const char* name, const std::vector<GifFrame>& frames) {
  std::vector<unsigned char> d = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0xF1, 0, 0};
  // Global table of 4 entries: one per frame (at most 4 frames).
  for (std::size_t i = 0; i < 4; ++i) {
    const GifFrame f = i < frames.size() ? frames[i] : GifFrame{0, 0, 0, 0};
    d.insert(d.end(), {f.r, f.g, f.b});
  }
  d.insert(d.end(), {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
                     3, 1, 0, 0, 0});
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const int delay = frames[i].delayCs;
    d.insert(d.end(), {0x21, 0xF9, 4, 0x04, static_cast<unsigned char>(delay & 0xFF),
                       static_cast<unsigned char>(delay >> 8), 0, 0});
    d.insert(d.end(), {0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0, 2});
    std::vector<unsigned char> bits;
    unsigned acc = 0;
    int used = 0;
    const auto put = [&](unsigned code) {
      acc |= code << used;
      used += 3;
      while (used >= 8) {
        bits.push_back(static_cast<unsigned char>(acc & 0xFF));
        acc >>= 8;
        used -= 8;
      }
    };
    for (int px = 0; px < 16; ++px) {
      put(4);  // clear
      put(static_cast<unsigned>(i));
    }
    put(5);  // end of information
    if (used > 0) bits.push_back(static_cast<unsigned char>(acc & 0xFF));
    d.push_back(static_cast<unsigned char>(bits.size()));
    d.insert(d.end(), bits.begin(), bits.end());
    d.push_back(0);
  }
  d.push_back(0x3B);
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(d.data()),
                                               static_cast<std::streamsize>(d.size()));
  return path;
}

// Red for 30 ms, blue for 200 ms, green for 10 ms (below 20 ms: shown 100 ms).
std::string WriteTestGif() {
  return WriteGif("tavex_three_frames.gif",
                  {{255, 0, 0, 3}, {0, 0, 255, 20}, {0, 255, 0, 1}});
}

// One animation tick `ms` after the previous one; returns how many controls asked to redraw.
int TickAfter(Tavex::PaintManager& pm, Tavex::ManualClock& clock, int ms) {
  clock.AdvanceMs(ms);
  return pm.TickAnimation();
}

ARGB CentreOf(Tavex::MControl& c) {
  const CRect r = c.GetRect();
  return Render(c, r.right, r.bottom).Pixel(r.CenterPoint().x, r.CenterPoint().y);
}

TEST(GifPicture, FramesFollowTheirOwnDelaysAndTheDrawnFrameFollows) {
  RecordingParent parent;
  Tavex::CGifPicture gif(&parent, 1, CRect(0, 0, 4, 4));
  ASSERT_TRUE(gif.LoadGif(WriteTestGif().c_str()));
  ASSERT_EQ(gif.GetFrameCount(), 3);
  EXPECT_FALSE(gif.IsRunning());  // a new image starts still
  EXPECT_EQ(CentreOf(gif), 0xFFFF0000u);
  ASSERT_EQ(gif.SetRunState(1, 0), 1);
  EXPECT_FALSE(gif.Advance(29));
  EXPECT_TRUE(gif.Advance(1));
  EXPECT_EQ(gif.GetFrame(), 1);
  EXPECT_EQ(CentreOf(gif), 0xFF0000FFu);
  EXPECT_FALSE(gif.Advance(199));
  EXPECT_TRUE(gif.Advance(1));
  EXPECT_EQ(CentreOf(gif), 0xFF00FF00u);
  EXPECT_FALSE(gif.Advance(60));  // 10 ms in the file, 100 ms on screen
  EXPECT_TRUE(gif.Advance(40));
  EXPECT_EQ(gif.GetFrame(), 0);  // wrapped round
  EXPECT_EQ(CentreOf(gif), 0xFFFF0000u);
}

TEST(GifPicture, StoppingShowsTheChosenFrameAndABadFileKeepsTheFrames) {
  RecordingParent parent;
  Tavex::CGifPicture gif(&parent, 1, CRect(0, 0, 4, 4));
  ASSERT_TRUE(gif.LoadGif(WriteTestGif().c_str()));
  gif.SetRunState(1, 0);
  EXPECT_EQ(gif.SetRunState(0, 2), 1);
  EXPECT_FALSE(gif.IsRunning());
  EXPECT_EQ(CentreOf(gif), 0xFF00FF00u);
  EXPECT_EQ(gif.SetRunState(0, -4), 1);  // clamped to the first
  EXPECT_EQ(gif.GetFrame(), 0);

  const std::string bad = TempPath("tavex_bad.gif");
  std::ofstream(bad, std::ios::binary) << "GIF89a\x04\x00 not an image";
  EXPECT_FALSE(gif.LoadGif(bad.c_str()));
  EXPECT_FALSE(gif.LoadGif("/nonexistent/anim.gif"));
  EXPECT_FALSE(gif.LoadGif(""));
  EXPECT_EQ(gif.GetFrameCount(), 3);
}

// Frames advance on the window's animation tick only while the animation runs, by the time
// the animation clock says has passed since the previous tick.
TEST(GifPicture, AnimationTickAdvancesOnlyARunningImageByTheClock) {
  Tavex::ManualClock clock;
  Tavex::ScopedAnimationClock installed(clock);
  RecordingParent parent;
  Tavex::PaintManager pm;
  auto* gif = new Tavex::CGifPicture(&parent, 1, CRect(0, 0, 4, 4));
  pm.AddControl(gif);
  ASSERT_TRUE(gif->LoadGif(WriteTestGif().c_str()));
  EXPECT_EQ(TickAfter(pm, clock, 40), 0);
  EXPECT_EQ(gif->GetFrame(), 0);
  gif->SetRunState(1, 0);
  EXPECT_TRUE(gif->IsRunTimer());
  EXPECT_EQ(TickAfter(pm, clock, 29), 0);  // red lasts 30 ms
  EXPECT_EQ(TickAfter(pm, clock, 1), 1);
  EXPECT_EQ(gif->GetFrame(), 1);
  EXPECT_EQ(TickAfter(pm, clock, 199), 0);
  EXPECT_EQ(TickAfter(pm, clock, 1), 1);
  EXPECT_EQ(gif->GetFrame(), 2);
  gif->SetRunState(0, 0);
  EXPECT_FALSE(gif->IsRunTimer());
  EXPECT_EQ(TickAfter(pm, clock, 500), 0);
  EXPECT_EQ(gif->GetFrame(), 0);
}

// The strip slides 2 pixels a millisecond of the animation clock and stops its timer at rest.
TEST(SliderPicture, AnimationTickSlidesByTheClockAndStopsAtThePicture) {
  Tavex::ManualClock clock;
  Tavex::ScopedAnimationClock installed(clock);
  RecordingParent parent;
  Tavex::PaintManager pm;
  auto* strip = new Tavex::CSliderPicture(&parent, 1, CRect(0, 0, 100, 50));
  pm.AddControl(strip);
  std::vector<std::uint32_t> red(100 * 50, 0xFFFF0000), blue(100 * 50, 0xFF0000FF);
  strip->AddPicture(Tavex::Image::FromARGB(100, 50, red.data()));
  strip->AddPicture(Tavex::Image::FromARGB(100, 50, blue.data()));
  strip->SetCurrent(1, 1);
  EXPECT_TRUE(strip->IsRunTimer());
  EXPECT_EQ(TickAfter(pm, clock, 10), 1);
  EXPECT_EQ(strip->GetOffset(), 20);
  EXPECT_EQ(TickAfter(pm, clock, 15), 1);
  EXPECT_EQ(strip->GetOffset(), 50);
  EXPECT_EQ(TickAfter(pm, clock, 100), 1);
  EXPECT_EQ(strip->GetOffset(), 100);
  EXPECT_EQ(TickAfter(pm, clock, 10), 0);  // at rest: the timer stops
  EXPECT_FALSE(strip->IsRunTimer());
}

TEST(Picture, SmallPictureIsCentredUnscaledUnlessStretched) {
  RecordingParent parent;
  Tavex::MPicture pic(&parent, 1, CRect(0, 0, 50, 50));
  ASSERT_TRUE(pic.SetPicture(WriteStillPng().c_str()));  // 8 × 6
  Tavex::Surface img = Render(pic, 50, 50);
  EXPECT_EQ(img.Pixel(25, 25), 0xFF336699u);
  EXPECT_EQ(img.Pixel(21, 22), 0xFF336699u);
  EXPECT_EQ(img.Pixel(20, 25), 0u);
  EXPECT_EQ(img.Pixel(10, 10), 0u);
  pic.SetFit(Tavex::MPicture::kFitStretch);
  img = Render(pic, 50, 50);
  EXPECT_EQ(img.Pixel(1, 1), 0xFF336699u);
  EXPECT_EQ(img.Pixel(48, 48), 0xFF336699u);
}

TEST(Picture, TakesNoMouseSoPressesReachTheControlBelow) {
  RecordingParent parent;
  Tavex::MPanel panel(&parent, 100, CRect(0, 0, 200, 100), 1);
  panel.AddControl(new Tavex::MButton(&panel, 7, CRect(0, 0, 100, 40), "OK"));
  panel.AddControl(new Tavex::MPicture(&panel, 8, CRect(0, 0, 100, 40)));  // on top
  TavexTest::Click(panel, CPoint(20, 20));
  ASSERT_EQ(CountCode(parent, Tavex::Notify::Click), 1);
  EXPECT_EQ(parent.notes.back().id, 7u);
}

TEST(PhotoFrame, PressSendsOneAndOnlyAReleaseInsideSendsTwo) {
  RecordingParent parent;
  Tavex::CPhotoFrame f(&parent, 3, CRect(0, 0, 60, 60));
  TavexTest::Click(f, CPoint(30, 30));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Press), 1);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 1);
  f.OnLButtonDown(MK_LBUTTON, CPoint(30, 30));
  f.OnMouseMove(MK_LBUTTON, CPoint(90, 30));
  f.OnLButtonUp(0, CPoint(90, 30));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Press), 2);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 1);
  // The frame takes the accent while hovered.
  f.OnMouseMove(0, CPoint(30, 30));
  EXPECT_EQ(Render(f, 60, 60).Pixel(0, 30), Tavex::Manager::GetSelectColor());
  f.OnMouseLeave();
  EXPECT_NE(Render(f, 60, 60).Pixel(0, 30), Tavex::Manager::GetSelectColor());
}

TEST(SliderPicture, MidwayTheStripShowsTheEndOfOnePictureAndTheStartOfTheNext) {
  RecordingParent parent;
  Tavex::CSliderPicture strip(&parent, 1, CRect(0, 0, 100, 50));
  std::vector<std::uint32_t> red(100 * 50, 0xFFFF0000), blue(100 * 50, 0xFF0000FF);
  strip.AddPicture(Tavex::Image::FromARGB(100, 50, red.data()));
  strip.AddPicture(Tavex::Image::FromARGB(100, 50, blue.data()));
  strip.SetCurrent(1);
  EXPECT_TRUE(strip.Advance(25));  // 2 px a millisecond: half way
  Tavex::Surface img = Render(strip, 100, 50);
  EXPECT_EQ(img.Pixel(25, 25), 0xFFFF0000u);
  EXPECT_EQ(img.Pixel(75, 25), 0xFF0000FFu);
  strip.Advance(1000);
  img = Render(strip, 100, 50);
  EXPECT_EQ(img.Pixel(25, 25), 0xFF0000FFu);
  EXPECT_EQ(img.Pixel(99, 49), 0xFF0000FFu);
  // Twice as wide, still at rest on the second picture (now centred in its wider cell).
  strip.SetRect(0, 0, 200, 50);
  EXPECT_EQ(strip.GetOffset(), 200);
  EXPECT_FALSE(strip.Advance(40));
  img = Render(strip, 200, 50);
  EXPECT_EQ(img.Pixel(100, 25), 0xFF0000FFu);
  EXPECT_EQ(img.Pixel(20, 25), 0u);
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
