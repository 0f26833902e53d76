#include <gtest/gtest.h>

#include <thread>

#include "TavexTestSupport.h"
#include "tavex/CArea.h"
#include "tavex/Codes.h"
#include "tavex/MControlFont.h"
#include "tavex/Manager.h"
#include "tavex/Painter.h"

using namespace TavexTest;

namespace {
class TextProbe : public Tavex::MControlFont {
 public:
  TextProbe(Tavex::MObject* parent, unsigned id, CRect rect)
      : MControlFont(parent, id, rect, "title") {}
  void DrawControl(Tavex::Painter&, CRect) override {}
};

class ClickProbe : public Tavex::MControl {
 public:
  ClickProbe(Tavex::MObject* parent, unsigned id, CRect rect) : MControl(parent, id, rect) {}
  void DrawControl(Tavex::Painter&, CRect) override {}
  int OnCheckMouseResponse(unsigned, CPoint pt) override { return PtInRect(pt); }
  int OnControlMouseMove(unsigned, CPoint pt) override { return PressMove(press, pt); }
  int OnControlLButtonDown(unsigned, CPoint pt) override { return PressDown(press, pt); }
  int OnControlLButtonUp(unsigned, CPoint pt) override { return PressUp(press, pt); }
  Tavex::PressBehaviour press;
};
}  // namespace

TEST(MControl, SetVisibleWithTheCurrentValueRepaintsNothing) {
  RecordingParent parent;
  Probe probe(&parent, 7, CRect(0, 0, 10, 10));
  probe.SetVisible(1);
  EXPECT_TRUE(parent.repaints.empty());
  probe.SetVisible(0);
  ASSERT_EQ(parent.repaints.size(), 1u);
  EXPECT_EQ(parent.repaints[0], CRect(0, 0, 10, 10));
  probe.SetVisible(0);
  EXPECT_EQ(parent.repaints.size(), 1u);
}

TEST(MControl, SetEnabledRepaintsOnlyOnChangeAndOnlyWhenVisible) {
  RecordingParent parent;
  Probe probe(&parent, 7, CRect(0, 0, 10, 10));
  probe.SetEnabled(1);
  EXPECT_TRUE(parent.repaints.empty());
  probe.SetEnabled(0);
  EXPECT_EQ(parent.repaints.size(), 1u);
  probe.SetVisible(0, 0);
  probe.SetEnabled(1);
  EXPECT_EQ(parent.repaints.size(), 1u);
}

TEST(MControl, SetRectRepaintsTheUnionOfOldAndNewRectangles) {
  RecordingParent parent;
  Probe probe(&parent, 7, CRect(0, 0, 10, 10));
  probe.SetRect(20, 0, 30, 10);
  ASSERT_EQ(parent.repaints.size(), 1u);
  EXPECT_EQ(parent.repaints[0], CRect(0, 0, 30, 10));
  probe.SetRect(CRect(20, 0, 30, 10));
  EXPECT_EQ(parent.repaints.size(), 1u);
}

TEST(MControl, UpdateControlOfAHiddenControlNeedsForce) {
  RecordingParent parent;
  Probe probe(&parent, 7, CRect(0, 0, 10, 10));
  probe.SetVisible(0, 0);
  probe.UpdateControl(1, 0);
  EXPECT_TRUE(parent.repaints.empty());
  probe.UpdateControl(1, 1);
  EXPECT_EQ(parent.repaints.size(), 1u);
}

TEST(MControl, DisabledHiddenOrDeafControlsIgnoreEveryMouseEvent) {
  RecordingParent parent;
  Probe probe(&parent, 7, CRect(0, 0, 10, 10));
  probe.SetEnabled(0);
  EXPECT_EQ(probe.OnLButtonDown(0, CPoint(5, 5)), 0);
  EXPECT_EQ(probe.OnMouseMove(0, CPoint(5, 5)), 0);
  EXPECT_EQ(probe.OnScroll(1, 0, CPoint(5, 5)), 0);
  EXPECT_EQ(probe.OnKeyDown(VK_SPACE, 1, 0), 0);
  probe.SetEnabled(1);
  probe.SetRresponse(0);
  EXPECT_EQ(probe.OnLButtonDown(0, CPoint(5, 5)), 0);
  probe.SetRresponse(1);
  probe.SetVisible(0);
  EXPECT_EQ(probe.OnLButtonDown(0, CPoint(5, 5)), 0);
  EXPECT_TRUE(probe.downs.empty());
  EXPECT_TRUE(probe.moves.empty());
  EXPECT_TRUE(probe.scrolls.empty());
  EXPECT_TRUE(probe.keys.empty());
  probe.SetVisible(1);
  EXPECT_EQ(probe.OnLButtonDown(0, CPoint(5, 5)), 1);
  EXPECT_EQ(probe.downs.size(), 1u);
  EXPECT_EQ(probe.IsFocused(), 1);
}

TEST(MControl, APressGoesToTheLastResponsiveChildUnderThePoint) {
  RecordingParent parent;
  Probe outer(&parent, 1, CRect(0, 0, 100, 100));
  auto* lower = new Probe(&outer, 2, CRect(0, 0, 50, 50));
  auto* upper = new Probe(&outer, 3, CRect(0, 0, 50, 50));
  auto* disabled = new Probe(&outer, 4, CRect(0, 0, 50, 50));
  disabled->SetEnabled(0);
  outer.GetChildControls().Add(lower);
  outer.GetChildControls().Add(upper);
  outer.GetChildControls().Add(disabled);
  outer.OnLButtonDown(0, CPoint(10, 10));
  EXPECT_EQ(upper->downs.size(), 1u);
  EXPECT_TRUE(lower->downs.empty());
  EXPECT_TRUE(outer.downs.empty());
  EXPECT_EQ(outer.GetHoverChild(), upper);
  outer.OnLButtonDown(0, CPoint(80, 80));
  EXPECT_EQ(outer.downs.size(), 1u);
  EXPECT_EQ(outer.GetControl(3), upper);
  EXPECT_EQ(outer.GetControl(99), nullptr);
}

TEST(MControl, SendMessageReportsToTheParentWithTheControlIdentifier) {
  RecordingParent parent;
  Probe probe(&parent, 42, CRect(0, 0, 10, 10));
  probe.SendMessageW(Tavex::Notify::Click, 5, -1);
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].id, 42u);
  EXPECT_EQ(parent.notes[0].code, Tavex::Notify::Click);
  EXPECT_EQ(parent.notes[0].wParam, 5u);
  EXPECT_EQ(parent.notes[0].lParam, -1);
}

TEST(PressBehaviour, AClickIsAPressInsideFollowedByAReleaseInside) {
  RecordingParent parent;
  ClickProbe button(&parent, 9, CRect(0, 0, 20, 20));
  button.OnLButtonDown(0, CPoint(5, 5));
  button.OnLButtonUp(0, CPoint(6, 6));
  ASSERT_EQ(parent.notes.size(), 2u);
  EXPECT_EQ(parent.notes[0].code, Tavex::Notify::Press);
  EXPECT_EQ(parent.notes[1].code, Tavex::Notify::Click);

  parent.notes.clear();
  button.OnLButtonDown(0, CPoint(5, 5));
  button.OnLButtonUp(0, CPoint(50, 50));  // released outside: no click
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].code, Tavex::Notify::Press);
  EXPECT_EQ(button.press.GetLook(true), Tavex::PressBehaviour::kNormal);
}

TEST(PressBehaviour, TheLookFollowsHoverPressAndEnabledState) {
  Tavex::PressBehaviour press;
  EXPECT_FALSE(press.Down(false));
  EXPECT_TRUE(press.Move(true));
  EXPECT_FALSE(press.Move(true));
  EXPECT_EQ(press.GetLook(true), Tavex::PressBehaviour::kHover);
  press.Down(true);
  EXPECT_EQ(press.GetLook(true), Tavex::PressBehaviour::kPressed);
  press.Move(false);
  EXPECT_EQ(press.GetLook(true), Tavex::PressBehaviour::kNormal);
  EXPECT_EQ(press.GetLook(false), Tavex::PressBehaviour::kDisabled);
  EXPECT_TRUE(press.Leave());
  EXPECT_FALSE(press.IsPressed());
}

TEST(MControlFont, SettersRepaintOnlyWhenTheValueChanges) {
  RecordingParent parent;
  TextProbe text(&parent, 3, CRect(0, 0, 50, 20));
  EXPECT_EQ(text.GetFontFamily(), Tavex::Manager::GetFontName());
  EXPECT_EQ(text.GetFontWidth(), Tavex::Manager::GetFontWidth());
  EXPECT_EQ(text.GetTextColor(), 0xFFFFFFFFu);
  EXPECT_EQ(text.GetAlignment(), 0u);
  EXPECT_EQ(text.GetVAlignment(), 4u);
  text.SetTitle("title");
  text.SetAlignment(0, 4);
  text.SetTextColor(0xFFFFFFFF);
  text.SetFontWidth(text.GetFontWidth());
  EXPECT_TRUE(parent.repaints.empty());
  text.SetTitle("other");
  text.SetAlignment(1);
  text.SetTextColor(0xFF00FF00);
  text.SetFont("Open Sans", 12, Tavex::FontStyleBold);
  EXPECT_EQ(parent.repaints.size(), 4u);
  EXPECT_EQ(text.GetTitle(), "other");
  EXPECT_EQ(text.GetFontStyle(), Tavex::FontStyleBold);
}

TEST(MControlFont, SettersFromAnotherThreadAreSafeAndRepaint) {
  RecordingParent parent;
  TextProbe text(&parent, 3, CRect(0, 0, 50, 20));
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) text.SetTitle(("t" + std::to_string(i)).c_str());
  });
  for (int i = 0; i < 100; ++i) (void)text.GetTitle();
  worker.join();
  EXPECT_EQ(text.GetTitle(), "t99");
}

TEST(CArea, DrawsEightyPercentTransparencyByDefaultAndOpaqueWithAFrame) {
  RecordingParent parent;
  Tavex::CArea area(&parent, 1, CRect(0, 0, 10, 10));
  Tavex::Surface surface(10, 10);
  {
    Tavex::Painter p(surface);
    area.Draw(p, CRect(0, 0, 10, 10));
  }
  EXPECT_NEAR(static_cast<int>(surface.Pixel(5, 5) >> 24), 51, 1);
  EXPECT_EQ(surface.Pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);

  area.SetTransparent(0, 0, RGB(0x10, 0x20, 0x30));
  area.SetFrame(1, 0xFFFF0000);
  Tavex::Surface opaque(10, 10);
  {
    Tavex::Painter p(opaque);
    area.Draw(p, CRect(0, 0, 10, 10));
  }
  EXPECT_EQ(opaque.Pixel(5, 5), 0xFF102030u);
  EXPECT_EQ(opaque.Pixel(0, 5), 0xFFFF0000u);
  EXPECT_EQ(area.GetRresponse(), 1);
  EXPECT_EQ(area.OnCheckMouseResponse(0, CPoint(5, 5)), 0);
}

TEST(CArea, AHorizontalFadeRunsAcrossColumns) {
  RecordingParent parent;
  Tavex::CArea area(&parent, 1, CRect(0, 0, 20, 4));
  area.SetDirection(0);
  area.SetTransparent(0, 100, RGB(0xFF, 0xFF, 0xFF));
  Tavex::Surface surface(20, 4);
  {
    Tavex::Painter p(surface);
    area.Draw(p, CRect(0, 0, 20, 4));
  }
  EXPECT_EQ(surface.Pixel(0, 2) >> 24, 255u);
  EXPECT_LT(surface.Pixel(19, 2) >> 24, 30u);
}

TEST(MControl, UpdateMemDCKeepsTheSurfaceUntilTheSizeChanges) {
  RecordingParent parent;
  Probe probe(&parent, 1, CRect(0, 0, 10, 10));
  probe.UpdateControl(1, 0);
  EXPECT_EQ(probe.GetUpdate(), 0);
  Tavex::Surface& first = probe.UpdateMemDC(10, 10);
  EXPECT_EQ(probe.GetUpdate(), 1);
  first.Data()[0] = 0xFF;
  Tavex::Surface& same = probe.UpdateMemDC(10, 10);
  EXPECT_EQ(same.Data()[0], 0xFF);
  Tavex::Surface& bigger = probe.UpdateMemDC(20, 10);
  EXPECT_EQ(bigger.Width(), 20);
  EXPECT_EQ(bigger.Data()[0], 0);
}
