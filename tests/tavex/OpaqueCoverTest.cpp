// Where a control promises to paint every pixel itself, the window leaves out its background
// there. Anywhere else, under a hidden control, and under a parent that does not draw its
// children as they are, the background must still be painted; and a keyboard preview composed
// over whatever the frame held must look exactly as drawing everything from scratch does.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "TavexTestSupport.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MDialog.h"
#include "tavex/MPanel.h"
#include "tavex/Painter.h"

using namespace TavexTest;
using Tavex::Image;
using Tavex::KeyboardCtrl;
using Tavex::MControl;
using Tavex::MDialog;
using Tavex::MObject;
using Tavex::MPanel;
using Tavex::Painter;
using Tavex::PaintManager;
using Tavex::Surface;

namespace {

constexpr int kW = 80;
constexpr int kH = 60;
// What the frame held before the paint: it shows wherever the background was left out.
constexpr std::uint32_t kStale = 0xFF00FF00;

// Promises `area` (in its own space) and draws nothing, so what it promised stays stale.
class Promiser : public MControl {
 public:
  Promiser(MObject* parent, CRect rect, CRect area) : MControl(parent, 7, rect), m_area(area) {}
  void DrawControl(Painter&, CRect) override {}
  CRect OpaqueArea() override { return m_area; }

 private:
  CRect m_area;
};

// Draws its children through a group at half opacity: what lies under them shows through.
class Fader : public MControl {
 public:
  Fader(MObject* parent, CRect rect) : MControl(parent, 8, rect) {}
  void DrawControl(Painter&, CRect) override {}
  void DrawSubControls(Painter& painter, CRect paint) override {
    painter.PushGroup();
    GetChildControls().ForEach([&](MControl* c) { c->Draw(painter, paint); });
    painter.PopGroup(128);
  }
};

Surface StaleFrame(int w = kW, int h = kH) {
  Surface s(w, h);
  Painter p(s);
  p.Clear(kStale);
  return s;
}

// The window drawn from scratch, background first, nothing left out.
Surface Drawn(PaintManager& pm, int w = kW, int h = kH) {
  Surface s(w, h);
  Painter p(s);
  pm.Render(p, CRect(0, 0, w, h), CRect(0, 0, w, h));
  return s;
}

// Composes `update` over a stale frame; inside `update`, pixels must be stale exactly in
// `left` and as drawn from scratch elsewhere; outside it they must stay stale.
void ExpectLeftOut(PaintManager& pm, CRect update, CRect left, const char* what) {
  Surface frame = StaleFrame();
  pm.Compose(frame, update);
  const Surface drawn = Drawn(pm);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const bool stale = !update.PtInRect({x, y}) || left.PtInRect({x, y});
      ASSERT_EQ(frame.Pixel(x, y), stale ? kStale : drawn.Pixel(x, y))
          << what << " at " << x << "," << y;
    }
  }
}

// A window-less dialog with a background of two colours.
struct Window {
  MDialog dialog;
  PaintManager& pm = dialog.GetPaintManager();
  Window() { pm.SetBackColor(RGB(0x10, 0x20, 0x30), RGB(0x57, 0x57, 0x57)); }
};

}  // namespace

TEST(OpaqueCover, OnlyAPromisedAreaInsideItsControlAndThePaintIsLeftOut) {
  Window w;
  // The promise reaches past the control's right edge: only the part inside it counts.
  auto* promiser = w.dialog.AddControl(new Promiser(&w.dialog, CRect(10, 10, 50, 40), CRect(20, 15, 60, 35)));
  ExpectLeftOut(w.pm, CRect(0, 0, kW, kH), CRect(20, 15, 50, 35), "whole paint");
  // Bands above, below, left and right of the promise get the background.
  ExpectLeftOut(w.pm, CRect(5, 5, 45, 45), CRect(20, 15, 45, 35), "partial paint");
  ExpectLeftOut(w.pm, CRect(25, 20, 30, 25), CRect(25, 20, 30, 25), "paint inside the promise");

  std::vector<std::uint32_t> pixels(kW * kH, 0xFFCA5100);
  w.pm.SetBKImage(Image::FromARGB(kW, kH, pixels.data()));
  ExpectLeftOut(w.pm, CRect(5, 5, 45, 45), CRect(20, 15, 45, 35), "background picture");

  promiser->SetVisible(0);
  ExpectLeftOut(w.pm, CRect(0, 0, kW, kH), CRect(), "hidden control");
}

TEST(OpaqueCover, APanelAnswersForItsChildrenScrolledAndClippedToIt) {
  Window w;
  auto* panel = static_cast<MPanel*>(w.dialog.AddControl(new MPanel(&w.dialog, 5, CRect(10, 10, 60, 50))));
  panel->SetVirtualHeight(400);
  // Children's rectangles are window coordinates plus the scroll offset.
  panel->AddControl(new Promiser(panel, CRect(15, 35, 45, 200), CRect(15, 35, 45, 200)));
  panel->GetVScroll()->SetScrollPos(20);
  ASSERT_EQ(panel->GetScrollOffset(), CPoint(0, 20));
  // Virtual rows 35 to 200 show from window row 15 down to the panel's bottom.
  ExpectLeftOut(w.pm, CRect(0, 0, kW, kH), CRect(15, 15, 45, 50), "scrolled panel");

  panel->SetVisible(0);
  ExpectLeftOut(w.pm, CRect(0, 0, kW, kH), CRect(), "hidden panel");
}

TEST(OpaqueCover, AParentThatFadesItsChildrenStillShowsTheBackground) {
  Window w;
  auto* fader = w.dialog.AddControl(new Fader(&w.dialog, CRect(10, 10, 60, 50)));
  fader->GetChildControls().Add(new Promiser(fader, CRect(10, 10, 60, 50), CRect(10, 10, 60, 50)));
  ExpectLeftOut(w.pm, CRect(0, 0, kW, kH), CRect(), "fading parent");
}

namespace {

// A keyboard in the light preview at (10, 5)-(70, 55) of the window: a 40 × 40 picture,
// centred, whose top and bottom rows are translucent and whose corners are clear, with two
// keys lit by alternating frames.
struct PreviewWindow : Window {
  KeyboardCtrl* kb = nullptr;
  Image picture;
  PreviewWindow() {
    kb = static_cast<KeyboardCtrl*>(dialog.AddControl(new KeyboardCtrl(&dialog, 69, CRect(10, 5, 70, 55))));
    std::vector<std::uint32_t> pixels(40 * 40, 0xFF303840);
    for (int x = 0; x < 40; ++x) {
      pixels[x] = 0x80A0A0A0;
      pixels[39 * 40 + x] = 0x40A0A0A0;
    }
    for (const int corner : {40, 79, 38 * 40, 38 * 40 + 39}) pixels[corner] = 0;
    kb->SetWidthAndHeight(40, 40);
    picture = Image::FromARGB(40, 40, pixels.data());
    kb->SetKeyboardPicture(picture);
    kb->AddKeyItem("A", "Key A", 4, CRect(4, 4, 18, 18), "");
    kb->AddKeyItem("B", "Key B", 5, CRect(22, 20, 36, 36), "");
    const unsigned char frames[] = {255, 40, 0, 200};
    kb->SetLightModeData(frames, 4);
    kb->SetPreviewColor(RGB(0xCA, 0x51, 0x00));
    kb->SetLightSpeed(7);
    kb->SetKeyboardCtrlMode(KeyboardCtrl::kModePreview);
  }
};

}  // namespace

TEST(OpaqueCover, APreviewOverStalePixelsShowsWhatDrawingFromScratchShows) {
  PreviewWindow w;
  PaintManager& pm = w.pm;
  // The picture sits at (20, 5)-(60, 45); rows 2 to 37 of it are wholly opaque.
  EXPECT_EQ(w.kb->OpaqueArea(), CRect(20, 7, 60, 43));
  for (int frame = 0; frame < 2; ++frame) {
    for (const CRect update : {CRect(0, 0, kW, kH), CRect(15, 3, 45, 30), CRect(30, 20, 65, 50)}) {
      Surface frameSurface = StaleFrame();
      pm.Compose(frameSurface, update);
      const Surface drawn = Drawn(pm);
      for (int y = update.top; y < update.bottom; ++y)
        for (int x = update.left; x < update.right; ++x)
          ASSERT_EQ(frameSurface.Pixel(x, y), drawn.Pixel(x, y)) << "frame " << frame << " at " << x << "," << y;
    }
    w.kb->OnTimer();
  }
  // Rows without outlines show the picture over the background, translucent rows blended.
  Surface frameSurface = StaleFrame();
  pm.Compose(frameSurface, CRect(0, 0, kW, kH));
  Window bare;
  Surface expected = Drawn(bare.pm);
  {
    Painter p(expected);
    p.DrawImage(w.picture, 20, 5);
  }
  for (const int y : {5, 6, 43, 44})
    for (int x = 20; x < 60; ++x)
      ASSERT_EQ(frameSurface.Pixel(x, y), expected.Pixel(x, y)) << "at " << x << "," << y;
  // Outside the preview nothing is promised.
  w.kb->SetKeyboardCtrlMode(KeyboardCtrl::kModeAssign);
  EXPECT_EQ(w.kb->OpaqueArea(), CRect());
}

TEST(OpaqueCover, APromiseTheKeyboardCanNoLongerKeepLeavesNoStalePixels) {
  for (int change = 0; change < 3; ++change) {
    PreviewWindow w;
    const CRect promised = w.kb->OpaqueArea();
    ASSERT_FALSE(promised.IsRectEmpty());
    // Another thread changes the keyboard between the promise and the paint.
    if (change == 0) w.kb->SetKeyboardCtrlMode(KeyboardCtrl::kModePlain);
    if (change == 1) w.kb->SetKeyboardPicture(Image());
    if (change == 2) w.kb->SetRect(CRect(10, 30, 70, 80));
    Surface frame = StaleFrame(kW, kH + 30);
    {
      Painter p(frame);
      w.kb->Draw(p, promised);
    }
    for (int y = promised.top; y < promised.bottom; ++y)
      for (int x = promised.left; x < promised.right; ++x)
        ASSERT_NE(frame.Pixel(x, y), kStale) << "change " << change << " at " << x << "," << y;
    // The next promise follows the new state.
    EXPECT_NE(w.kb->OpaqueArea(), promised) << "change " << change;
  }
}
