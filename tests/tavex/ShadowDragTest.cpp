#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "TavexTestSupport.h"
#include "tavex/Codes.h"
#include "tavex/MDialog.h"
#include "tavex/MShadow.h"
#include "tavex/Native.h"

using namespace Tavex;

namespace {

class Fill : public MControl {
 public:
  Fill(MObject* parent, unsigned id, CRect rect, ARGB colour)
      : MControl(parent, id, rect), colour_(colour) {}
  void DrawControl(Painter& painter, CRect) override { painter.FillRect(GetRect(), colour_); }
  int OnCheckMouseResponse(unsigned, CPoint pt) override { return PtInRect(pt); }

 private:
  ARGB colour_;
};

// A dialog recording the notifications its controls send.
class DropDialog : public MDialog {
 public:
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override {
    notes.push_back({id, code, wParam, lParam});
    return 0;
  }
  std::vector<TavexTest::Notification> notes;
};

void Pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  MSG msg{};
  while (std::chrono::steady_clock::now() < end) {
    while (Native::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) Native::DispatchMessage(&msg);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace

TEST(Shadow, OpacityGrowsTowardsTheDialogEdge) {
  MShadow shadow;
  shadow.SetSize(8);
  shadow.SetDarkness(200);
  const Surface s = shadow.Render(40, 20);
  ASSERT_EQ(s.Width(), 56);
  ASSERT_EQ(s.Height(), 36);
  const unsigned outer = s.Pixel(0, 18) >> 24;
  const unsigned middle = s.Pixel(4, 18) >> 24;
  const unsigned edge = s.Pixel(7, 18) >> 24;
  EXPECT_LT(outer, middle);
  EXPECT_LT(middle, edge);
  EXPECT_NEAR(static_cast<int>(edge), 200, 2);
  EXPECT_EQ(s.Pixel(28, 18), 0u);  // under the dialog nothing is drawn
}

TEST(DragDrop, TheDropBitmapShowsTheControl) {
  PaintManager pm;
  MControl* c = pm.AddControl(new Fill(nullptr, 3, CRect(30, 20, 50, 30), 0xFF12AB34), 1);
  const Image image = pm.GetDropBitmap(c, c->GetRect());
  ASSERT_FALSE(image.IsNull());
  EXPECT_EQ(image.Width(), 20);
  EXPECT_EQ(image.Height(), 10);
  EXPECT_EQ(image.Pixel(0, 0), 0xFF12AB34u);
  EXPECT_EQ(image.Pixel(19, 9), 0xFF12AB34u);
  EXPECT_TRUE(pm.GetDropBitmap(nullptr, CRect(0, 0, 5, 5)).IsNull());
}

TEST(DragDrop, DraggingAControlDropsItOnAnotherAndSendsNoClick) {
  TAVEX_REQUIRE_DISPLAY();
  DropDialog dialog;
  ASSERT_NE(dialog.Create(nullptr, "drag", 0x96000000, 0, CRect(80, 80, 480, 380)), nullptr);
  MControl* source = dialog.AddControl(new Fill(&dialog, 1, CRect(10, 10, 60, 40), 0xFF0000FF));
  dialog.AddControl(new Fill(&dialog, 2, CRect(200, 100, 300, 200), 0xFF00FF00));
  source->SetDragDrop(1);
  Pump(50);
  const HWND hwnd = dialog.GetSafeHwnd();
  PaintManager& pm = dialog.GetPaintManager();
  Native::SendMessage(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  Native::SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  EXPECT_FALSE(pm.IsDragging());
  Native::SendMessage(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(22, 21));  // within the slack
  EXPECT_FALSE(pm.IsDragging());
  Native::SendMessage(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(250, 150));
  EXPECT_TRUE(pm.IsDragging());
  EXPECT_EQ(pm.GetDragSource(), source);
  Native::SendMessage(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(250, 150));
  EXPECT_FALSE(pm.IsDragging());
  Pump(20);
  bool dropped = false, clicked = false;
  for (const auto& n : dialog.notes) {
    if (n.id == 1 && n.code == Tavex::Notify::Dropped) {
      dropped = true;
      EXPECT_EQ(n.wParam, 2u);
      EXPECT_EQ(n.lParam, static_cast<long>(MAKELPARAM(250, 150)));
    }
    clicked = clicked || (n.id == 1 && n.code == Tavex::Notify::Click);
  }
  EXPECT_TRUE(dropped);
  EXPECT_FALSE(clicked);
}
