// Colour pickers: what colour lies where, and notification 27.
#include <gtest/gtest.h>

#include "StdControlsSupport.h"
#include "tavex/Palettes.h"

namespace {

using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::LastCode;
using TavexTest::RecordingParent;

TEST(ColorMath, HsvRoundTripsThroughColorref) {
  EXPECT_EQ(Tavex::ColorFromHSV(0, 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(Tavex::ColorFromHSV(120, 1, 1), RGB(0, 255, 0));
  EXPECT_EQ(Tavex::ColorFromHSV(240, 1, 0.5), RGB(0, 0, 128));
  EXPECT_EQ(Tavex::ColorFromHSV(720 + 60, 1, 1), RGB(255, 255, 0));
  double h = 0, s = 0, v = 0;
  Tavex::ColorToHSV(RGB(0, 128, 255), &h, &s, &v);
  EXPECT_EQ(Tavex::ColorFromHSV(h, s, v), RGB(0, 128, 255));
}

TEST(Palette, PressOnASwatchSendsItsColourInWParam) {
  RecordingParent parent;
  Tavex::MPalette p(&parent, 6, CRect(0, 0, 80, 20));
  p.SetColors({RGB(1, 2, 3), RGB(4, 5, 6)});
  p.SetColumns(2);
  p.OnLButtonDown(MK_LBUTTON, CPoint(60, 10));
  const auto* n = LastCode(parent, 27);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->wParam, RGB(4, 5, 6));
  EXPECT_EQ(p.GetColor(), RGB(4, 5, 6));
}

TEST(CirclePalette, CentreIsWhiteRimIsFullHueAndOutsideIsNothing) {
  RecordingParent parent;
  Tavex::CirclePalette c(&parent, 6, CRect(0, 0, 101, 101));
  COLORREF colour = 0;
  ASSERT_TRUE(c.ColorAt(CPoint(50, 50), &colour));
  EXPECT_EQ(colour, RGB(255, 255, 255));
  ASSERT_TRUE(c.ColorAt(CPoint(100, 50), &colour));  // angle 0 at the right: red
  EXPECT_EQ(GetRValue(colour), 255);
  EXPECT_LT(GetGValue(colour), 10);
  EXPECT_FALSE(c.ColorAt(CPoint(2, 2), &colour));
  c.OnLButtonDown(MK_LBUTTON, CPoint(50, 50));
  ASSERT_NE(LastCode(parent, 27), nullptr);
  EXPECT_EQ(LastCode(parent, 27)->lParam, static_cast<long>(RGB(255, 255, 255)));
}

TEST(ColorPalette, FieldPicksSaturationAndValueOfTheCurrentHue) {
  RecordingParent parent;
  Tavex::CColorPalette p(&parent, 6, CRect(0, 0, 124, 101));  // field 0..100 wide
  p.SetColor(RGB(0, 255, 0));
  p.OnLButtonDown(MK_LBUTTON, CPoint(99, 0));
  EXPECT_EQ(p.GetColor(), RGB(0, 255, 0));
  p.OnMouseMove(MK_LBUTTON, CPoint(0, 0));
  EXPECT_EQ(p.GetColor(), RGB(255, 255, 255));
  p.OnMouseMove(MK_LBUTTON, CPoint(50, 500));  // dragged below: clamped to black
  EXPECT_EQ(p.GetColor(), RGB(0, 0, 0));
  p.OnLButtonUp(0, CPoint(50, 500));
  EXPECT_EQ(LastCode(parent, 27)->lParam, 0);
}

TEST(ColorSelect, DisabledSelectIgnoresPresses) {
  RecordingParent parent;
  Tavex::CColorSelect s(&parent, 6, CRect(0, 0, 300, 30));
  s.SetEnabled(0);
  s.OnLButtonDown(MK_LBUTTON, s.GetSwatchRect(1).CenterPoint());
  EXPECT_TRUE(parent.notes.empty());
  s.SetEnabled(1);
  s.OnLButtonDown(MK_LBUTTON, s.GetSwatchRect(1).CenterPoint());
  EXPECT_EQ(s.GetColor(), s.GetPresets()[1]);
}

}  // namespace
