// Colour pickers: what colour lies where, and notification 27.
#include <gtest/gtest.h>

#include "StdControlsSupport.h"
#include "tavex/Codes.h"
#include "tavex/Palettes.h"

namespace {

using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::LastCode;
using TavexTest::CountCode;
using TavexTest::Hex;
using TavexTest::NearARGB;
using TavexTest::RecordingParent;
using TavexTest::Render;

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
  const auto* n = LastCode(parent, Tavex::Notify::ColourChosen);
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
  ASSERT_NE(LastCode(parent, Tavex::Notify::ColourChosen), nullptr);
  EXPECT_EQ(LastCode(parent, Tavex::Notify::ColourChosen)->lParam,
            static_cast<long>(RGB(255, 255, 255)));
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
  EXPECT_EQ(LastCode(parent, Tavex::Notify::ColourChosen)->lParam, 0);
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

TEST(ColorMath, EveryColourOfAGridSurvivesARoundTripThroughHsv) {
  const int levels[] = {0, 1, 15, 64, 127, 128, 200, 254, 255};
  for (int r : levels) {
    for (int g : levels) {
      for (int b : levels) {
        const COLORREF c = RGB(r, g, b);
        double h = -1, s = -1, v = -1;
        Tavex::ColorToHSV(c, &h, &s, &v);
        ASSERT_GE(h, 0.0);
        ASSERT_LT(h, 360.0);
        ASSERT_EQ(Tavex::ColorFromHSV(h, s, v), c) << r << "," << g << "," << b;
      }
    }
  }
  double h = 1, s = 1, v = 0;
  Tavex::ColorToHSV(RGB(51, 51, 51), &h, &s, &v);
  EXPECT_EQ(s, 0.0);  // a grey has no saturation
  EXPECT_NEAR(v, 0.2, 1e-9);
}

// What the field and the hue bar show at a pixel is the colour a press there picks.
TEST(ColorPalette, DrawnColoursMatchWhatAPressPicks) {
  RecordingParent parent;
  Tavex::CColorPalette p(&parent, 6, CRect(0, 0, 124, 101));
  p.SetColor(RGB(0, 0, 255));  // markers at the field's top-right and the bar's two-thirds
  const Tavex::Surface img = Render(p, 124, 101);
  const CPoint samples[] = {{10, 50}, {50, 80}, {30, 20}, {80, 40}, {110, 20}, {110, 50}, {110, 95}};
  for (const CPoint& pt : samples) {
    COLORREF picked = 0;
    ASSERT_TRUE(p.ColorAt(pt, &picked));
    const ARGB shown = img.Pixel(pt.x, pt.y);
    EXPECT_TRUE(NearARGB(shown, ARGBFromCOLORREF(picked), 4))
        << pt.x << "," << pt.y << ": shown " << Hex(shown) << " picks " << Hex(ARGBFromCOLORREF(picked));
  }
}

TEST(ColorPalette, HueBarKeepsSaturationAndValueAndGreysKeepTheHue) {
  RecordingParent parent;
  Tavex::CColorPalette p(&parent, 6, CRect(0, 0, 124, 120));
  p.SetColor(RGB(128, 64, 64));  // hue 0, saturation 0.5, value about 0.5
  const CRect bar = p.GetHueRect();
  p.OnLButtonDown(MK_LBUTTON, CPoint(bar.left + 4, bar.top + bar.Height() / 3));  // 120°
  p.OnLButtonUp(0, CPoint(bar.left + 4, bar.top + bar.Height() / 3));
  EXPECT_EQ(p.GetColor(), RGB(64, 128, 64));
  p.SetColor(RGB(90, 90, 90));
  const CRect field = p.GetFieldRect();
  p.OnLButtonDown(MK_LBUTTON, CPoint(field.right - 1, field.top));
  EXPECT_EQ(p.GetColor(), RGB(0, 255, 0));
  EXPECT_EQ(TavexTest::LastCode(parent, Tavex::Notify::ColourChosen)->lParam,
            static_cast<long>(RGB(0, 255, 0)));
}

// The release of a drag never reaches a disabled control; re-enabled, a plain move must not
// keep picking.
TEST(ColorPalette, DisabledDuringADragEndsTheDrag) {
  RecordingParent parent;
  Tavex::CColorPalette p(&parent, 6, CRect(0, 0, 124, 101));
  p.OnLButtonDown(MK_LBUTTON, CPoint(0, 0));
  const COLORREF chosen = p.GetColor();
  p.SetEnabled(0);
  p.SetEnabled(1);
  const int sent = CountCode(parent, Tavex::Notify::ColourChosen);
  p.OnMouseMove(0, CPoint(50, 90));
  EXPECT_EQ(p.GetColor(), chosen);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::ColourChosen), sent);
}

TEST(CirclePalette, DrawnWheelShowsTheColourAPressPicks) {
  RecordingParent parent;
  Tavex::CirclePalette c(&parent, 6, CRect(0, 0, 101, 101));
  c.SetColor(RGB(255, 255, 255));  // marker in the middle
  const Tavex::Surface img = Render(c, 101, 101);
  const CPoint samples[] = {{50, 20}, {25, 60}, {75, 75}, {85, 40}, {15, 40}, {50, 90}};
  for (const CPoint& pt : samples) {
    COLORREF picked = 0;
    ASSERT_TRUE(c.ColorAt(pt, &picked));
    const ARGB shown = img.Pixel(pt.x, pt.y);
    EXPECT_TRUE(NearARGB(shown, ARGBFromCOLORREF(picked), 3))
        << pt.x << "," << pt.y << ": shown " << Hex(shown) << " picks " << Hex(ARGBFromCOLORREF(picked));
  }
  EXPECT_EQ(img.Pixel(2, 2), 0u);  // outside the wheel nothing is drawn
}

TEST(CirclePalette, DragSendsOnlyChangesAndEndsOnReleaseOrDisable) {
  RecordingParent parent;
  Tavex::CirclePalette c(&parent, 6, CRect(0, 0, 101, 101));
  c.OnLButtonDown(MK_LBUTTON, CPoint(50, 20));
  c.OnMouseMove(MK_LBUTTON, CPoint(50, 20));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::ColourChosen), 1);
  c.OnMouseMove(MK_LBUTTON, CPoint(20, 50));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::ColourChosen), 2);
  c.OnLButtonUp(0, CPoint(20, 50));
  const COLORREF chosen = c.GetColor();
  c.OnMouseMove(0, CPoint(80, 50));
  EXPECT_EQ(c.GetColor(), chosen);

  c.OnLButtonDown(MK_LBUTTON, CPoint(50, 80));
  const COLORREF second = c.GetColor();
  c.SetEnabled(0);
  c.SetEnabled(1);
  c.OnMouseMove(0, CPoint(50, 30));
  EXPECT_EQ(c.GetColor(), second);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::ColourChosen), 3);
}

TEST(Palette, SwatchesShowTheColourTheyPickAndTheChosenOneIsRinged) {
  RecordingParent parent;
  Tavex::MPalette p(&parent, 6, CRect(0, 0, 160, 40));  // 16 default colours, 8 per row
  const Tavex::Surface before = Render(p, 160, 40);
  const auto colours = p.GetColors();
  ASSERT_EQ(colours.size(), 16u);
  for (int i = 0; i < 16; ++i) {
    const CRect r = p.GetSwatchRect(i);
    EXPECT_EQ(before.Pixel(r.CenterPoint().x, r.CenterPoint().y),
              ARGBFromCOLORREF(colours[static_cast<std::size_t>(i)]))
        << "swatch " << i;
  }
  const CRect fifth = p.GetSwatchRect(5);
  p.OnLButtonDown(MK_LBUTTON, fifth.CenterPoint());
  EXPECT_EQ(p.GetColor(), colours[5]);
  EXPECT_EQ(TavexTest::LastCode(parent, Tavex::Notify::ColourChosen)->lParam, 0);
  const Tavex::Surface after = Render(p, 160, 40);
  EXPECT_EQ(after.Pixel(fifth.left - 1, fifth.top + 5), 0xFFFFFFFFu);
  EXPECT_NE(before.Pixel(fifth.left - 1, fifth.top + 5), 0xFFFFFFFFu);
  // Presses between swatches pick nothing.
  p.OnLButtonDown(MK_LBUTTON, CPoint(fifth.right + 1, fifth.top + 5));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::ColourChosen), 1);
}

TEST(ColorSelect, PresetPickSendsItsColourAndTheCurrentColourPlaceIsNoTarget) {
  RecordingParent parent;
  Tavex::CColorSelect s(&parent, 6, CRect(0, 0, 300, 30));
  const int presets = static_cast<int>(s.GetPresets().size());
  s.OnLButtonDown(MK_LBUTTON, s.GetSwatchRect(presets).CenterPoint());
  EXPECT_TRUE(parent.notes.empty());
  s.OnLButtonDown(MK_LBUTTON, s.GetSwatchRect(2).CenterPoint());
  ASSERT_NE(TavexTest::LastCode(parent, Tavex::Notify::ColourChosen), nullptr);
  EXPECT_EQ(TavexTest::LastCode(parent, Tavex::Notify::ColourChosen)->wParam, 0u);
  EXPECT_EQ(TavexTest::LastCode(parent, Tavex::Notify::ColourChosen)->lParam,
            static_cast<long>(s.GetPresets()[2]));
  const Tavex::Surface img = Render(s, 300, 30);
  const CPoint cur = s.GetSwatchRect(presets).CenterPoint();
  EXPECT_EQ(img.Pixel(cur.x, cur.y), ARGBFromCOLORREF(s.GetPresets()[2]));
}

}  // namespace
