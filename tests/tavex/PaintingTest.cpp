#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "TavexTestSupport.h"
#include "tavex/CArea.h"
#include "tavex/MDialog.h"
#include "tavex/Native.h"
#include "tavex/Painter.h"

using namespace Tavex;
using TavexTest::Probe;

namespace {

// A 40 × 40 picture whose pixels all differ: (x, y) -> colour, so scaling shows.
Image Pattern() {
  std::vector<std::uint32_t> px(40 * 40);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      px[y * 40 + x] = 0xFF000000u | (static_cast<std::uint32_t>(x * 6) << 16) |
                       (static_cast<std::uint32_t>(y * 6) << 8) | ((x + y) % 2 ? 0xFF : 0x00);
    }
  }
  return Image::FromARGB(40, 40, px.data());
}

// A control filling its rectangle with one colour.
class Fill : public MControl {
 public:
  Fill(MObject* parent, unsigned id, CRect rect, ARGB colour)
      : MControl(parent, id, rect), colour_(colour) {}
  void DrawControl(Painter& painter, CRect) override { painter.FillRect(GetRect(), colour_); }

 private:
  ARGB colour_;
};

// A Fill whose colour can change.
class Swatch : public MControl {
 public:
  Swatch(MObject* owner, unsigned id, CRect rect, ARGB colour)
      : MControl(owner, id, rect), colour_(colour) {}
  void DrawControl(Painter& painter, CRect) override { painter.FillRect(GetRect(), colour_); }
  void Recolour(ARGB colour) {
    colour_ = colour;
    UpdateControl();
  }

 private:
  ARGB colour_;
};

// How many pages of [data, data + bytes) are in memory.
std::size_t ResidentPages(const std::uint8_t* data, std::size_t bytes) {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(data) / page * page;
  const std::size_t length = reinterpret_cast<std::uintptr_t>(data) + bytes - start;
  std::vector<unsigned char> resident((length + page - 1) / page);
  if (mincore(reinterpret_cast<void*>(start), length, resident.data()) != 0) return 0;
  return static_cast<std::size_t>(std::count_if(resident.begin(), resident.end(),
                                                [](unsigned char r) { return (r & 1) != 0; }));
}

void Pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  MSG msg{};
  while (std::chrono::steady_clock::now() < end) {
    while (Native::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) Native::DispatchMessage(&msg);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// A 200 x 100 dialog of colour 0x202020 with a red swatch at (10, 10) and a green one at
// (100, 10), both 40 x 40, painted once.
struct SwatchDialog {
  MDialog dialog;
  Swatch* left = nullptr;
  Swatch* right = nullptr;

  bool Open(const char* title, CRect rect) {
    if (dialog.Create(nullptr, title, 0x96000000, 0, rect) == nullptr) return false;
    dialog.SetBackColor(RGB(0x20, 0x20, 0x20), RGB(0x20, 0x20, 0x20));
    left = new Swatch(&dialog, 1, CRect(10, 10, 50, 50), 0xFFFF0000);
    right = new Swatch(&dialog, 2, CRect(100, 10, 140, 50), 0xFF00FF00);
    dialog.GetPaintManager().AddControl(left, 1);
    dialog.GetPaintManager().AddControl(right, 1);
    Pump(100);
    return true;
  }
};

}  // namespace

TEST(Painting, FrameModeKeepsCornersUnscaled) {
  PaintManager pm;
  const Image image = Pattern();
  pm.SetBKImage(image);
  pm.SetBackMode(BackModeFrame, 10);
  Surface frame(200, 100);
  pm.Compose(frame, CRect(0, 0, 200, 100));
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      ASSERT_EQ(frame.Pixel(x, y), image.Pixel(x, y)) << x << "," << y;                  // top-left
      ASSERT_EQ(frame.Pixel(190 + x, y), image.Pixel(30 + x, y)) << x << "," << y;       // top-right
      ASSERT_EQ(frame.Pixel(x, 90 + y), image.Pixel(x, 30 + y)) << x << "," << y;        // bottom-left
      ASSERT_EQ(frame.Pixel(190 + x, 90 + y), image.Pixel(30 + x, 30 + y)) << x << "," << y;
    }
  }
  // The centre is stretched: the middle of the window shows the middle of the picture.
  const ARGB centre = frame.Pixel(100, 50);
  const ARGB source = image.Pixel(20, 20);
  EXPECT_NEAR(static_cast<int>((centre >> 16) & 0xFF), static_cast<int>((source >> 16) & 0xFF), 12);
  EXPECT_NEAR(static_cast<int>((centre >> 8) & 0xFF), static_cast<int>((source >> 8) & 0xFF), 12);
}

TEST(Painting, NormalModeDrawsTheImageAtItsSizeAtTheOrigin) {
  PaintManager pm;
  const Image image = Pattern();
  pm.SetBKImage(image);
  EXPECT_EQ(pm.GetBackMode(), BackModeNormal);
  Surface frame(100, 60);
  pm.Compose(frame, CRect(0, 0, 100, 60));
  EXPECT_EQ(frame.Pixel(39, 39), image.Pixel(39, 39));
  EXPECT_EQ(frame.Pixel(5, 7), image.Pixel(5, 7));
  EXPECT_EQ(frame.Pixel(60, 50), 0u);  // nothing outside the picture
}

TEST(Painting, WithoutAnImageTheBorderAndBackgroundColoursFill) {
  PaintManager pm;
  pm.SetBackColor(RGB(0x10, 0x20, 0x30), RGB(0xA0, 0xB0, 0xC0));
  Surface frame(50, 40);
  pm.Compose(frame, CRect(0, 0, 50, 40));
  const ARGB border = frame.Pixel(0, 20);
  const ARGB inside = frame.Pixel(25, 20);
  EXPECT_EQ(border >> 24, 0xFEu);
  EXPECT_NEAR(static_cast<int>((border >> 16) & 0xFF), 0xA0, 1);
  EXPECT_NEAR(static_cast<int>(border & 0xFF), 0xC0, 1);
  EXPECT_NEAR(static_cast<int>((inside >> 16) & 0xFF), 0x10, 1);
  EXPECT_NEAR(static_cast<int>(inside & 0xFF), 0x30, 1);
}

TEST(Painting, ControlsDrawAfterAreasAndOnlyInsideTheUpdateRectangle) {
  PaintManager pm;
  pm.AddControl(new Fill(nullptr, 1, CRect(0, 0, 40, 40), 0xFFFF0000), 0);  // area
  pm.AddControl(new Fill(nullptr, 2, CRect(20, 0, 60, 40), 0xFF0000FF), 1);  // control
  Surface frame(80, 40);
  pm.Compose(frame, CRect(0, 0, 80, 40));
  EXPECT_EQ(frame.Pixel(10, 10), 0xFFFF0000u);
  EXPECT_EQ(frame.Pixel(30, 10), 0xFF0000FFu);  // the control list is drawn last
  // A later paint of a smaller update rectangle leaves the rest as it was.
  pm.ClearAllControls();
  pm.Compose(frame, CRect(0, 0, 10, 10));
  EXPECT_NE(frame.Pixel(5, 5), 0xFFFF0000u);
  EXPECT_EQ(frame.Pixel(30, 10), 0xFF0000FFu);
}

TEST(Painting, LayeredFramesKeepTransparencyAndCoverTheWholeClient) {
  PaintManager pm;
  pm.SetLayeredWindow(1);
  // A background picture with a transparent lower half.
  std::vector<std::uint32_t> px(60 * 40, 0xFF303030u);
  for (int i = 60 * 20; i < 60 * 40; ++i) px[i] = 0x00000000u;
  pm.SetBKImage(Image::FromARGB(60, 40, px.data()));
  pm.AddControl(new Fill(nullptr, 1, CRect(0, 30, 10, 40), 0x80FF0000), 1);   // half transparent
  pm.AddControl(new Fill(nullptr, 2, CRect(20, 30, 30, 40), 0x00FF0000), 1);  // alpha 0
  Surface frame(60, 40);
  pm.Compose(frame, CRect(0, 0, 1, 1));  // layered: the update box does not limit the frame
  EXPECT_EQ(frame.Pixel(40, 10), 0xFF303030u);
  EXPECT_EQ(frame.Pixel(40, 35) >> 24, 0u);
  EXPECT_EQ(frame.Pixel(5, 35) >> 24, 0x80u);
  EXPECT_EQ(frame.Pixel(25, 35), 0u);
}

TEST(Painting, RawColourWithoutAlphaBecomesOpaqueInLayeredFrames) {
  Surface frame(4, 1);
  auto* row = reinterpret_cast<std::uint32_t*>(frame.Data());
  row[0] = 0x00FF0000u;  // colour written without alpha
  row[1] = 0x00000000u;  // transparent black stays transparent
  row[2] = 0x80400000u;  // blended pixels keep their alpha
  row[3] = 0x00000001u;
  PaintManager::FixLayeredAlpha(frame, CRect(0, 0, 3, 1));
  const auto* out = reinterpret_cast<const std::uint32_t*>(frame.Data());
  EXPECT_EQ(out[0], 0xFFFF0000u);
  EXPECT_EQ(out[1], 0u);
  EXPECT_EQ(out[2], 0x80400000u);
  EXPECT_EQ(out[3], 0x00000001u);  // outside the rectangle: untouched
}

TEST(Painting, TheCaretBlinksOverTheControls) {
  PaintManager pm;
  pm.AddControl(new Fill(nullptr, 1, CRect(0, 0, 40, 20), 0xFF000000), 1);
  pm.CreateCaret(Image(), 2, 12);
  pm.SetCaretPos(nullptr, 10, 4);
  Surface frame(40, 20);
  pm.Compose(frame, CRect(0, 0, 40, 20));
  EXPECT_EQ(frame.Pixel(10, 5), 0xFF000000u);  // hidden until shown
  pm.ShowCaret(1);
  pm.Compose(frame, CRect(0, 0, 40, 20));
  EXPECT_EQ(frame.Pixel(10, 5), 0xFFFFFFFFu);
  EXPECT_EQ(frame.Pixel(12, 5), 0xFF000000u);
  EXPECT_EQ(pm.GetCaret().GetRect(), CRect(10, 4, 12, 16));
  pm.ShowCaret(0);
  pm.Compose(frame, CRect(0, 0, 40, 20));
  EXPECT_EQ(frame.Pixel(10, 5), 0xFF000000u);
}

TEST(Painting, TheCaretForgetsARemovedOwner) {
  PaintManager pm;
  MControl* edit = pm.AddControl(new Fill(nullptr, 1, CRect(0, 0, 40, 20), 0xFF000000), 1);
  pm.SetCaretPos(edit, 3, 3);
  pm.ShowCaret(1);
  EXPECT_EQ(pm.GetCurrentCaretObject(), edit);
  pm.RemoveControl(edit);
  EXPECT_EQ(pm.GetCurrentCaretObject(), nullptr);
  EXPECT_FALSE(pm.GetCaret().IsVisible());
}

TEST(Painting, WindowSizesAreClampedToTheLimits) {
  PaintManager pm;
  EXPECT_EQ(pm.ClampWindowSize(CSize(5, 5000)), CSize(5, 5000));
  pm.SetWindowMixSize(300, 200);
  pm.SetWindowMaxSize(1200, 0);
  EXPECT_EQ(pm.ClampWindowSize(CSize(100, 100)), CSize(300, 200));
  EXPECT_EQ(pm.ClampWindowSize(CSize(2000, 5000)), CSize(1200, 5000));
}

TEST(Painting, PaintsOfAWindowArePacedAndCoalesced) {
  TAVEX_REQUIRE_DISPLAY();
  MDialog dialog;
  ASSERT_NE(dialog.Create(nullptr, "paced", 0x96000000, 0, CRect(30, 30, 330, 230)), nullptr);
  Pump(100);
  PaintManager& pm = dialog.GetPaintManager();
  const int before = pm.GetPaintCount();
  ASSERT_GT(before, 0);
  // Two hundred repaint requests in a burst while the loop keeps running.
  const auto start = std::chrono::steady_clock::now();
  bool posted = false;
  for (int i = 0; i < 200; ++i) {
    pm.InvalidateRect(CRect(i % 50, 0, i % 50 + 10, 10));
    MSG msg{};
    while (Native::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_APP + 7) posted = true;
      Native::DispatchMessage(&msg);
    }
    if (i == 100) Native::PostMessage(dialog.GetSafeHwnd(), WM_APP + 7, 0, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  Pump(60);
  const double elapsed =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const int paints = pm.GetPaintCount() - before;
  EXPECT_GE(paints, 1);
  EXPECT_LE(paints, static_cast<int>(elapsed / PaintManager::kPaintPauseMs) + 2);
  EXPECT_TRUE(posted);  // other messages were not held back with the paints
  EXPECT_FALSE(Native::GetUpdateRect(dialog.GetSafeHwnd(), nullptr, false));
  const PaintTrace trace = pm.GetLastPaintTrace();
  EXPECT_GT(trace.total, 0.0);
  EXPECT_GE(trace.total, trace.output);
}

TEST(Painting, ALayeredWindowIsShapedToItsPixelsWithoutACompositor) {
  TAVEX_REQUIRE_DISPLAY();
  if (Native::CompositorRunning()) GTEST_SKIP() << "a compositor keeps the alpha instead";
  MDialog dialog;
  ASSERT_NE(dialog.Create(nullptr, "layered", 0x96000000, 0, CRect(40, 40, 240, 140)), nullptr);
  std::vector<std::uint32_t> px(200 * 100, 0xFF202020u);
  for (int y = 0; y < 100; ++y) {
    for (int x = 150; x < 200; ++x) px[y * 200 + x] = 0;  // a transparent right part
  }
  dialog.GetPaintManager().SetBKImage(Image::FromARGB(200, 100, px.data()));
  dialog.SetLayeredWindow(1);
  Pump(150);
  EXPECT_TRUE(dialog.GetPaintManager().IsLayered());
  EXPECT_TRUE(Native::IsWindowShaped(dialog.GetSafeHwnd()));
  EXPECT_NE(Native::GetWindowLongPtr(dialog.GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

TEST(Painting, OverlayCallsFromAnotherThreadRunOnTheWindowThread) {
  TAVEX_REQUIRE_DISPLAY();
  MDialog dialog;
  ASSERT_NE(dialog.Create(nullptr, "overlay", 0x96000000, 0, CRect(50, 50, 450, 350)), nullptr);
  Pump(50);
  std::thread worker([&] { dialog.SetProgress(3, "from a worker"); });
  worker.join();
  EXPECT_EQ(dialog.GetPaintManager().GetOverlay().GetTargetProgress(), 0);  // not yet
  Pump(50);
  const Overlay& overlay = dialog.GetPaintManager().GetOverlay();
  EXPECT_EQ(overlay.GetShownProgress(), 3);
  EXPECT_EQ(overlay.GetText(), "from a worker");
  EXPECT_EQ(overlay.GetRect(), CRect(0, 240, 400, 298));
}

TEST(Painting, RealWindowTimersDriveTheOverlay) {
  TAVEX_REQUIRE_DISPLAY();
  MDialog dialog;
  ASSERT_NE(dialog.Create(nullptr, "timers", 0x96000000, 0, CRect(60, 60, 460, 360)), nullptr);
  Pump(30);
  dialog.SetProgress(40, "climbing");
  Pump(120);
  const int shown = dialog.GetPaintManager().GetOverlay().GetShownProgress();
  EXPECT_GT(shown, 0);
  Pump(400);
  EXPECT_EQ(dialog.GetPaintManager().GetOverlay().GetShownProgress(), 40);
}

TEST(Painting, TheWindowShowsEachRepaintAndKeepsWhatLiesAroundItAlsoAfterALayeredSpell) {
  TAVEX_REQUIRE_DISPLAY();
  SwatchDialog window;
  ASSERT_TRUE(window.Open("shown", CRect(70, 70, 270, 170)));
  MDialog& dialog = window.dialog;
  Swatch* const left = window.left;
  Swatch* const right = window.right;
  const auto shows = [&](int x, int y) { return CaptureWindow(dialog.GetSafeHwnd()).Pixel(x, y); };
  EXPECT_EQ(shows(20, 20), 0xFFFF0000u);
  EXPECT_EQ(shows(120, 20), 0xFF00FF00u);
  EXPECT_EQ(shows(180, 80), 0xFF202020u);

  left->Recolour(0xFF0000FF);
  Pump(80);
  EXPECT_EQ(shows(20, 20), 0xFF0000FFu);
  EXPECT_EQ(shows(120, 20), 0xFF00FF00u);  // outside the repainted rectangle: still there

  dialog.SetLayeredWindow(1);
  Pump(80);
  right->Recolour(0xFFFFFF00);
  Pump(80);
  EXPECT_EQ(shows(120, 20), 0xFFFFFF00u);
  dialog.SetLayeredWindow(0);
  Pump(80);
  left->Recolour(0xFFFF00FF);
  Pump(80);
  EXPECT_EQ(shows(20, 20), 0xFFFF00FFu);
  EXPECT_EQ(shows(120, 20), 0xFFFFFF00u);
  EXPECT_EQ(shows(180, 80), 0xFF202020u);
}

TEST(Painting, AnIdleWindowGivesItsFrameMemoryBackAndItsNextRepaintStillShowsEverything) {
  TAVEX_REQUIRE_DISPLAY();
  SwatchDialog window;
  ASSERT_TRUE(window.Open("idle", CRect(80, 80, 280, 180)));
  PaintManager& pm = window.dialog.GetPaintManager();
  const HWND hwnd = window.dialog.GetSafeHwnd();
  Native::FrameBuffer frame;
  // The frame the paint used (no new one: same size); false where the display has no shm.
  const bool shared = Native::AcquireFrameBuffer(hwnd, 200, 100, &frame);
  const std::size_t bytes = static_cast<std::size_t>(frame.stride) * frame.height;
  if (shared) {
    EXPECT_GT(ResidentPages(frame.pixels, bytes), 0u);
  }

  Pump(static_cast<int>(PaintManager::kFrameIdleMs) + 200);
  if (shared) {
    EXPECT_EQ(ResidentPages(frame.pixels, bytes), 0u) << "the idle window kept its frame";
  }

  const int paints = pm.GetPaintCount();
  window.left->Recolour(0xFF0000FF);
  Pump(80);
  EXPECT_EQ(pm.GetPaintCount(), paints + 1);
  const auto shows = [&](int x, int y) { return CaptureWindow(hwnd).Pixel(x, y); };
  EXPECT_EQ(shows(20, 20), 0xFF0000FFu);
  EXPECT_EQ(shows(120, 20), 0xFF00FF00u);  // outside the repaint: kept by the server
  EXPECT_EQ(shows(180, 80), 0xFF202020u);
  if (shared) {
    Native::FrameBuffer again;
    ASSERT_TRUE(Native::AcquireFrameBuffer(hwnd, 200, 100, &again));
    EXPECT_EQ(again.pixels, frame.pixels);  // the same frame, not a new one
    EXPECT_GT(ResidentPages(frame.pixels, bytes), 0u);
  }
}
