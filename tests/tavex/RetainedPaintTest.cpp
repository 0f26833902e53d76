// A keyboard preview animating in a shown window writes each frame straight into the window's
// kept frame. What the window shows must be what composing everything from scratch gives, frame
// after frame; and whatever else happens in the window (a control over the keyboard, another
// repaint, the frame given back when idle, a new picture) must bring back composing.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "NativeTestSupport.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MDialog.h"

namespace Tavex {
namespace {

using NativeTest::PumpUntil;

constexpr int kW = 120;
constexpr int kH = 80;

// Paints a translucent colour over its rectangle.
class Veil : public MControl {
 public:
  Veil(MObject* owner, CRect rect) : MControl(owner, 9, rect) {}
  void DrawControl(Painter& painter, CRect) override { painter.FillRect(GetRect(), 0x8020C040); }
};

Image KeyboardPicture(ARGB shade) {
  // Opaque but for a translucent top row and clear corners.
  std::vector<std::uint32_t> pixels(80 * 60, shade);
  for (int x = 0; x < 80; ++x) pixels[x] = 0x80A0A0A0;
  for (const int corner : {80 * 1, 80 * 1 + 79, 80 * 59, 80 * 59 + 79}) pixels[corner] = 0;
  return Image::FromARGB(80, 60, pixels.data());
}

// A 120 × 80 window with the keyboard at (10, 5)-(110, 75) in the light preview: three keys
// inside the picture's opaque pixels, and with `edgeKey` a fourth whose outline reaches its
// translucent top row. Every key changes with every frame.
struct PreviewWindow {
  MDialog dialog;
  PaintManager& pm = dialog.GetPaintManager();
  KeyboardCtrl* kb = nullptr;

  bool Open(bool edgeKey) {
    if (dialog.Create(nullptr, "retained", 0x96000000, 0, CRect(40, 40, 40 + kW, 40 + kH)) == nullptr) {
      return false;
    }
    dialog.SetBackColor(RGB(0x10, 0x20, 0x30), RGB(0x57, 0x57, 0x57));
    kb = static_cast<KeyboardCtrl*>(pm.AddControl(new KeyboardCtrl(&dialog, 69, CRect(10, 5, 110, 75))));
    kb->SetWidthAndHeight(80, 60);
    kb->SetKeyboardPicture(KeyboardPicture(0xFF303840));
    kb->AddKeyItem("A", "Key A", 4, CRect(6, 6, 24, 24), "");
    kb->AddKeyItem("B", "Key B", 5, CRect(30, 10, 50, 30), "");
    kb->AddKeyItem("C", "Key C", 6, CRect(54, 32, 76, 54), "");
    if (edgeKey) kb->AddKeyItem("D", "Key D", 7, CRect(30, 1, 50, 8), "");
    const int keys = edgeKey ? 4 : 3;
    const unsigned char alphas[] = {255, 40, 0, 200, 128, 1};
    std::vector<unsigned char> frames;
    for (int frame = 0; frame < 6; ++frame) {
      for (int key = 0; key < keys; ++key) frames.push_back(alphas[(frame + key) % 6]);
    }
    kb->SetLightModeData(frames.data(), static_cast<int>(frames.size()));
    kb->SetPreviewColor(RGB(0xCA, 0x51, 0x00));
    kb->SetLightSpeed(7);  // a frame every tick
    kb->SetKeyboardCtrlMode(KeyboardCtrl::kModePreview);
    return PumpUntil([this] { return pm.GetPaintCount() > 0 && !Native::GetUpdateRect(Hwnd(), nullptr, false); });
  }
  HWND Hwnd() { return dialog.GetSafeHwnd(); }

  // Shows the next frame and waits until it is painted.
  bool Step() {
    kb->OnTimer();
    return PumpUntil([this] { return !Native::GetUpdateRect(Hwnd(), nullptr, false); });
  }

  // Pixels where the window differs from the whole window composed from scratch (colour only:
  // the window keeps no alpha).
  int Mismatches() {
    std::vector<std::uint32_t> shown(static_cast<std::size_t>(kW) * kH);
    if (!Native::ReadWindowPixels(Hwnd(), shown.data(), kW, kH)) return -1;
    Surface drawn(kW, kH);
    {
      Painter p(drawn);
      pm.Render(p, CRect(0, 0, kW, kH), CRect(0, 0, kW, kH));
    }
    int wrong = 0;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        if ((shown[static_cast<std::size_t>(y) * kW + x] & 0xFFFFFF) != (drawn.Pixel(x, y) & 0xFFFFFF)) ++wrong;
      }
    }
    return wrong;
  }
};

TEST(RetainedPaint, EachFrameIsWrittenIntoTheKeptFrameAndShowsWhatComposingShows) {
  TAVEX_REQUIRE_DISPLAY();
  PreviewWindow w;
  ASSERT_TRUE(w.Open(false));
  ASSERT_EQ(w.Mismatches(), 0);
  for (int frame = 1; frame <= 8; ++frame) {
    ASSERT_TRUE(w.Step());
    ASSERT_EQ(w.Mismatches(), 0) << "frame " << frame;
    EXPECT_EQ(w.pm.GetRetainedPaintCount(), frame) << "frame " << frame;
  }
}

TEST(RetainedPaint, AnOutlineOverTranslucentPixelsIsComposedInstead) {
  TAVEX_REQUIRE_DISPLAY();
  PreviewWindow w;
  ASSERT_TRUE(w.Open(true));
  for (int frame = 1; frame <= 6; ++frame) {
    ASSERT_TRUE(w.Step());
    ASSERT_EQ(w.Mismatches(), 0) << "frame " << frame;
  }
  EXPECT_EQ(w.pm.GetRetainedPaintCount(), 0);
}

TEST(RetainedPaint, AnythingElseInTheWindowBringsBackComposing) {
  TAVEX_REQUIRE_DISPLAY();
  PreviewWindow w;
  ASSERT_TRUE(w.Open(false));
  int retained = 0;
  const auto expectFrame = [&](bool writtenItself, const char* what) {
    ASSERT_TRUE(w.Step()) << what;
    ASSERT_EQ(w.Mismatches(), 0) << what;
    if (writtenItself) ++retained;
    EXPECT_EQ(w.pm.GetRetainedPaintCount(), retained) << what;
  };
  expectFrame(true, "before");

  // A control drawn over the keyboard: composed while it shows, written again once it is gone.
  auto* veil = w.pm.AddControl(new Veil(&w.dialog, CRect(40, 20, 70, 50)));
  ASSERT_TRUE(PumpUntil([&] { return !Native::GetUpdateRect(w.Hwnd(), nullptr, false); }));
  expectFrame(false, "veiled");
  expectFrame(false, "still veiled");
  veil->SetVisible(0);
  expectFrame(false, "veil hidden with the frame");
  expectFrame(true, "unveiled");

  // Another repaint requested with the frame: the rectangles are composed together.
  w.pm.InvalidateRect(CRect(0, 0, 6, 6));
  expectFrame(false, "with another repaint");
  expectFrame(true, "alone again");

  // The idle window gave its frame's pages back: the keyboard is composed whole once.
  Native::SendMessage(w.Hwnd(), WM_TIMER, PaintManager::kTimerFrameIdle, 0);
  expectFrame(false, "after the frame was released");
  expectFrame(true, "released frame refilled");

  // A new picture: its outlines are written only over pixels drawn with it.
  w.kb->SetKeyboardPicture(KeyboardPicture(0xFF604020));
  w.kb->UpdateControl(1, 0);
  expectFrame(false, "new picture");
  expectFrame(true, "over the new picture");
}

}  // namespace
}  // namespace Tavex
