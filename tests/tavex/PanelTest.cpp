#include <gtest/gtest.h>

#include "TavexTestSupport.h"
#include "tavex/Codes.h"
#include "tavex/MDialog.h"
#include "tavex/MPanel.h"
#include "tavex/Painter.h"

using namespace TavexTest;

namespace {
class RecordingDialog : public Tavex::MDialog {
 public:
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override {
    notes.push_back({id, code, wParam, lParam});
    return 1;
  }
  std::vector<Notification> notes;
};
}  // namespace

TEST(MPanel, ANotificationFromInsideAPanelReachesTheDialogWithTheInnerIdentifier) {
  RecordingDialog dialog;
  auto* outer = new Tavex::MPanel(&dialog, 20, CRect(0, 0, 300, 300));
  auto* inner = new Tavex::MPanel(outer, 30, CRect(10, 10, 200, 200));
  auto* probe = new Probe(inner, 77, CRect(20, 20, 60, 60));
  inner->AddControl(probe);
  outer->AddControl(inner);
  dialog.AddControl(outer);
  probe->SendMessageW(Tavex::Notify::Click, 4, 5);
  ASSERT_EQ(dialog.notes.size(), 1u);
  EXPECT_EQ(dialog.notes[0].id, 77u);
  EXPECT_EQ(dialog.notes[0].code, Tavex::Notify::Click);
  EXPECT_EQ(dialog.notes[0].wParam, 4u);
  EXPECT_EQ(dialog.notes[0].lParam, 5);
  EXPECT_EQ(dialog.GetControl(77), probe);
}

TEST(MPanel, OwnsTwoHiddenScrollBarsThatAppearWithAVirtualSize) {
  RecordingParent parent;
  Tavex::MPanel panel(&parent, 5, CRect(0, 0, 100, 100));
  ASSERT_NE(panel.GetVScroll(), nullptr);
  EXPECT_EQ(panel.GetVScroll()->GetControlID(), 1u);
  EXPECT_EQ(panel.GetHScroll()->GetControlID(), 2u);
  EXPECT_TRUE(panel.GetVScroll()->IsClass("CScrollVertical"));
  EXPECT_FALSE(panel.GetVScroll()->IsVisible());
  EXPECT_EQ(panel.GetScrollOffset(), CPoint(0, 0));
  panel.SetVirtualHeight(400);
  EXPECT_TRUE(panel.GetVScroll()->IsVisible());
  EXPECT_FALSE(panel.GetHScroll()->IsVisible());
  EXPECT_EQ(panel.GetVScroll()->GetScrollRange(), 300);
  panel.SetEnableScroll(0);
  EXPECT_FALSE(panel.GetVScroll()->IsVisible());
}

TEST(MPanel, ChildrenGetScrolledPointsExceptIdentifiersOneAndTwo) {
  RecordingParent parent;
  Tavex::MPanel panel(&parent, 5, CRect(0, 0, 100, 100));
  auto* child = new Probe(&panel, 9, CRect(0, 40, 80, 80));
  panel.AddControl(child);
  panel.SetVirtualHeight(400);
  panel.GetVScroll()->SetScrollPos(40);
  ASSERT_EQ(panel.GetScrollOffset(), CPoint(0, 40));

  panel.OnLButtonDown(0, CPoint(10, 5));  // window (10, 5) is virtual (10, 45)
  ASSERT_EQ(child->downs.size(), 1u);
  EXPECT_EQ(child->downs[0], CPoint(10, 45));

  auto* one = new Probe(&panel, 1, CRect(0, 0, 50, 20));
  panel.AddControl(one);
  panel.OnLButtonDown(0, CPoint(10, 5));  // untranslated (10, 5) hits identifier 1
  ASSERT_EQ(one->downs.size(), 1u);
  EXPECT_EQ(one->downs[0], CPoint(10, 5));
  EXPECT_EQ(child->downs.size(), 1u);
}

TEST(MPanel, TheWheelScrollsItsBarAndTellsTheParent) {
  RecordingParent parent;
  Tavex::MPanel panel(&parent, 5, CRect(0, 0, 100, 100));
  panel.SetScrollSteps(30);
  panel.SetVirtualHeight(400);
  EXPECT_EQ(panel.OnScroll(1, 1, CPoint(50, 50)), 1);
  EXPECT_EQ(panel.GetScrollOffset(), CPoint(0, 30));
  ASSERT_FALSE(parent.notes.empty());
  EXPECT_EQ(parent.notes.back().id, 1u);
  EXPECT_EQ(parent.notes.back().code, Tavex::Notify::Scrolled);
  EXPECT_EQ(parent.notes.back().wParam, 30u);
  EXPECT_EQ(panel.OnScroll(1, 0, CPoint(50, 50)), 1);
  EXPECT_EQ(panel.OnScroll(1, 0, CPoint(50, 50)), 0);  // already at the top
  EXPECT_EQ(panel.GetScrollOffset(), CPoint(0, 0));
}

TEST(MPanel, RepaintsOfChildrenAreShiftedByTheScrollOffsetAndClipped) {
  RecordingParent parent;
  Tavex::MPanel panel(&parent, 5, CRect(0, 0, 100, 100));
  auto* child = new Probe(&panel, 9, CRect(0, 140, 80, 180));
  panel.AddControl(child);
  panel.SetVirtualHeight(400);
  parent.repaints.clear();
  child->UpdateControl(1, 0);
  EXPECT_TRUE(parent.repaints.empty());  // scrolled out of view
  panel.GetVScroll()->SetScrollPos(100);
  parent.repaints.clear();
  child->UpdateControl(1, 0);
  ASSERT_EQ(parent.repaints.size(), 1u);
  EXPECT_EQ(parent.repaints[0], CRect(0, 40, 80, 80));
}

TEST(MPanel, DrawsChildrenAtTheirScrolledPlaceInsideItsRectangle) {
  RecordingParent parent;
  Tavex::MPanel panel(&parent, 5, CRect(0, 0, 50, 50));
  auto* child = new Probe(&panel, 9, CRect(0, 60, 20, 80));
  panel.AddControl(child);
  panel.SetVirtualHeight(200);
  Tavex::Surface surface(60, 60);
  {
    Tavex::Painter p(surface);
    panel.Draw(p, CRect(0, 0, 60, 60));
  }
  EXPECT_EQ(child->draws, 0);
  panel.GetVScroll()->SetScrollPos(40);
  {
    Tavex::Painter p(surface);
    panel.Draw(p, CRect(0, 0, 60, 60));
  }
  EXPECT_EQ(child->draws, 1);
  // The vertical bar is drawn at the panel's right edge.
  EXPECT_NE(surface.Pixel(45, 25), 0u);
}
