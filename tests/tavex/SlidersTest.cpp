// Slider, progress bar and level row: clamping, repaints on change, input.
#include <gtest/gtest.h>

#include <climits>

#include "StdControlsSupport.h"
#include "tavex/Codes.h"
#include "tavex/PaintManager.h"
#include "tavex/Sliders.h"
#include "tavex/SpinButtons.h"

namespace {

using TavexTest::CountCode;
using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::Hex;
using TavexTest::NearARGB;
using TavexTest::RecordingParent;
using TavexTest::Render;

TEST(Slider, ClampsToTheMaximumAndIgnoresNegativeValues) {
  RecordingParent parent;
  Tavex::MSlider s(&parent, 1, CRect(0, 0, 218, 20));
  s.SetMaxProgress(100);
  s.SetProgress(150);
  EXPECT_EQ(s.GetProgress(), 100);
  s.SetProgress(-1);
  EXPECT_EQ(s.GetProgress(), 100);
  s.SetMinProgress(10);
  s.SetProgress(3);
  EXPECT_EQ(s.GetProgress(), 10);
  s.SetMaxProgress(5);  // bounds stay ordered, value follows
  EXPECT_EQ(s.GetMinProgress(), 5);
  EXPECT_EQ(s.GetProgress(), 5);
}

TEST(Slider, RepaintsOnlyWhenTheValueChanges) {
  RecordingParent parent;
  Tavex::MSlider s(&parent, 1, CRect(0, 0, 218, 20));
  s.SetProgress(40);
  const auto after = parent.repaints.size();
  s.SetProgress(40);
  s.SetProgress(-7);
  EXPECT_EQ(parent.repaints.size(), after);
}

TEST(Slider, PressSetsTheValueUnderThePointerAndReleaseSendsTwo) {
  RecordingParent parent;
  Tavex::MSlider s(&parent, 1, CRect(0, 0, 218, 20));  // track 9..209: 2 px per step
  s.OnLButtonDown(MK_LBUTTON, CPoint(109, 10));
  EXPECT_EQ(s.GetProgress(), 50);
  s.OnMouseMove(MK_LBUTTON, CPoint(500, 10));
  EXPECT_EQ(s.GetProgress(), 100);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 0);
  s.OnLButtonUp(0, CPoint(500, 10));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 1);
  EXPECT_EQ(s.GetThumbRect().CenterPoint().x, 209);
}

TEST(Slider, WheelStepsAndSendsTwoEvenAtTheEnd) {
  RecordingParent parent;
  Tavex::MSlider s(&parent, 1, CRect(0, 0, 218, 20));
  s.SetProgress(99);
  s.OnScroll(1, 0, CPoint(5, 5));
  s.OnScroll(1, 0, CPoint(5, 5));
  EXPECT_EQ(s.GetProgress(), 100);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 2);
  s.OnScroll(1, 1, CPoint(5, 5));
  EXPECT_EQ(s.GetProgress(), 99);
}

TEST(Progress, PositionStaysInsideTheRange) {
  RecordingParent parent;
  Tavex::MProgress p(&parent, 1, CRect(0, 0, 200, 10));
  p.SetPos(250);
  EXPECT_EQ(p.GetPos(), 100);
  EXPECT_EQ(p.FilledWidth(200), 200);
  p.SetPos(-5);
  EXPECT_EQ(p.GetPos(), 0);
  p.SetPos(40);
  p.SetRange(20);
  EXPECT_EQ(p.GetPos(), 20);
  p.SetRange(0);
  EXPECT_EQ(p.GetRange(), 1);
}

TEST(LevelCtrl, ClickOnAStepSetsThatLevelAndReportsIt) {
  RecordingParent parent;
  Tavex::MLevelCtrl l(&parent, 9, CRect(0, 0, 100, 10));
  l.SetLevelCount(4);
  l.OnLButtonDown(MK_LBUTTON, CPoint(60, 5));  // third step (steps are 22 px + 3 px gaps)
  EXPECT_EQ(l.GetLevel(), 3);
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].code, Tavex::Notify::Click);
  EXPECT_EQ(parent.notes[0].wParam, 3u);
  l.SetLevel(9);
  EXPECT_EQ(l.GetLevel(), 4);
  l.SetLevelCount(2);
  EXPECT_EQ(l.GetLevel(), 2);
}

TEST(SpinButton, ArrowsStepInsideTheRangeAndNotifyOnlyOnChange) {
  RecordingParent parent;
  Tavex::MSpinButton s(&parent, 3, CRect(0, 0, 100, 30));
  s.SetRange(0, 2);
  s.SetValue(1);
  const CPoint up = s.GetUpRect().CenterPoint();
  s.OnLButtonDown(MK_LBUTTON, up);
  s.OnLButtonUp(0, up);
  s.OnLButtonDown(MK_LBUTTON, up);
  s.OnLButtonUp(0, up);
  EXPECT_EQ(s.GetValue(), 2);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::SpinChanged), 1);
  s.OnScroll(1, 1, CPoint(5, 5));
  EXPECT_EQ(s.GetValue(), 1);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::SpinChanged), 2);
}

// The release of a drag never reaches a control that was disabled or hidden meanwhile; the drag
// must end there, or the next plain pointer move would still set the value.
TEST(Slider, DisabledOrHiddenDuringADragEndsTheDrag) {
  RecordingParent parent;
  Tavex::MSlider s(&parent, 1, CRect(0, 0, 218, 20));
  s.OnLButtonDown(MK_LBUTTON, CPoint(109, 10));
  ASSERT_EQ(s.GetProgress(), 50);
  s.SetEnabled(0);
  s.OnLButtonUp(0, CPoint(109, 10));
  s.SetEnabled(1);
  s.OnMouseMove(0, CPoint(9, 10));
  EXPECT_EQ(s.GetProgress(), 50);

  s.OnLButtonDown(MK_LBUTTON, CPoint(159, 10));
  ASSERT_EQ(s.GetProgress(), 75);
  s.SetVisible(0);
  s.SetVisible(1);
  s.OnMouseMove(0, CPoint(9, 10));
  EXPECT_EQ(s.GetProgress(), 75);
}

TEST(Slider, ValueUnderThePointerIsRoundedToTheNearestStep) {
  RecordingParent parent;
  Tavex::MSlider s(&parent, 1, CRect(0, 0, 218, 20));  // track 9..209
  s.SetMaxProgress(3);
  const int left = s.GetTrackRect().left;
  EXPECT_EQ(s.ValueAt(left + 33), 0);  // 0.495 of a step
  EXPECT_EQ(s.ValueAt(left + 34), 1);  // 0.51
  EXPECT_EQ(s.ValueAt(left + 200), 3);
  EXPECT_EQ(s.ValueAt(-50), 0);
  s.SetMinProgress(1);
  EXPECT_EQ(s.ValueAt(left), 1);
  EXPECT_EQ(s.ValueAt(left + 99), 2);
}

TEST(Slider, FilledPartOfTheTrackEndsUnderTheThumbCentre) {
  RecordingParent parent;
  Tavex::MSlider s(&parent, 1, CRect(0, 0, 218, 20));
  s.SetProgress(50);
  const CRect track = s.GetTrackRect();
  const int y = (track.top + track.bottom) / 2;
  Tavex::Surface img = Render(s, 218, 20);
  const ARGB accent = Tavex::Manager::GetSelectColor();
  EXPECT_TRUE(NearARGB(img.Pixel(track.left + 20, y), accent, 3)) << Hex(img.Pixel(track.left + 20, y));
  EXPECT_FALSE(NearARGB(img.Pixel(track.right - 20, y), accent, 30));
  s.SetProgress(0);
  img = Render(s, 218, 20);
  EXPECT_FALSE(NearARGB(img.Pixel(track.left + 20, y), accent, 30));
}

// The shipped thumb holds normal, hover, pressed and disabled side by side.
TEST(Slider, ThumbShowsTheStateOfTheLookFromItsImage) {
  const Tavex::Image thumb = TavexTest::ShippedSkin("img_thumb.png");
  if (thumb.IsNull()) GTEST_SKIP() << "skins not built";
  const int side = thumb.Width() / 4;
  RecordingParent parent;
  Tavex::PaintManager pm;
  auto* s = new Tavex::MSlider(&parent, 1, CRect(0, 0, 218, 30));
  pm.AddControl(s);
  s->SetThumbImage("img_thumb.png");
  s->SetProgress(50);
  const CRect r = s->GetThumbRect();
  ASSERT_EQ(r.Width(), side);
  const CPoint at = TavexTest::DistinctStatePoint(thumb, 4, CRect(0, 0, side, thumb.Height()));
  ASSERT_GE(at.x, 0) << "the thumb's states look alike";
  const CPoint c(r.left + side / 2, r.top + side / 2);
  const auto expectState = [&](int state) {
    const Tavex::Surface img = Render(*s, 218, 30);
    const ARGB want = thumb.Pixel(state * side + at.x, at.y);
    const ARGB got = img.Pixel(r.left + at.x, r.top + at.y);
    EXPECT_TRUE(NearARGB(got, want, 3)) << "state " << state << ": " << Hex(got) << " != " << Hex(want);
  };
  expectState(0);
  s->OnMouseMove(0, c);
  expectState(1);
  s->OnLButtonDown(MK_LBUTTON, c);
  expectState(2);
  s->OnLButtonUp(0, c);
  s->SetEnabled(0);
  expectState(3);
}

TEST(Progress, BarFillsItsShareOfTheWidthFromTheLeft) {
  RecordingParent parent;
  Tavex::MProgress p(&parent, 1, CRect(0, 0, 200, 10));
  p.SetBarColor(0xFF00FF00);
  p.SetPos(50);
  const Tavex::Surface img = Render(p, 200, 10);
  EXPECT_EQ(img.Pixel(90, 5), 0xFF00FF00u);
  EXPECT_NE(img.Pixel(110, 5), 0xFF00FF00u);
  EXPECT_NE(img.Pixel(110, 5) >> 24, 0u);  // the empty part is drawn too
}

TEST(LevelCtrl, LightsExactlyTheFirstLevelSteps) {
  RecordingParent parent;
  Tavex::MLevelCtrl l(&parent, 9, CRect(0, 0, 100, 10));
  l.SetLevelCount(4);
  l.SetLevel(2);
  const Tavex::Surface img = Render(l, 100, 10);
  const ARGB accent = Tavex::Manager::GetSelectColor();
  for (int i = 0; i < 4; ++i) {
    const CPoint c = l.GetStepRect(i).CenterPoint();
    EXPECT_EQ(NearARGB(img.Pixel(c.x, c.y), accent, 3), i < 2) << "step " << i;
  }
}

TEST(LevelCtrl, StepsTileTheRowAndDisabledRowIgnoresPresses) {
  RecordingParent parent;
  Tavex::MLevelCtrl l(&parent, 9, CRect(0, 0, 103, 10));
  l.SetLevelCount(5);
  for (int x = 0; x < 103; ++x) EXPECT_GE(l.StepAt(CPoint(x, 5)), 0) << "x " << x;
  EXPECT_EQ(l.StepAt(CPoint(0, 5)), 0);
  EXPECT_EQ(l.StepAt(CPoint(102, 5)), 4);
  EXPECT_EQ(l.StepAt(CPoint(50, 20)), -1);
  l.SetEnabled(0);
  l.OnLButtonDown(MK_LBUTTON, CPoint(50, 5));
  EXPECT_EQ(l.GetLevel(), 0);
  EXPECT_TRUE(parent.notes.empty());
}

TEST(SpinButton, ArrowKeysStepOnlyTheFocusedFieldWithoutModifiers) {
  RecordingParent parent;
  Tavex::MSpinButton s(&parent, 3, CRect(0, 0, 100, 30));
  s.SetValue(5);
  EXPECT_EQ(s.OnKeyDown(VK_UP, 1, 0), 0);
  s.SetControlFocus(1);
  EXPECT_EQ(s.OnKeyDown(VK_UP, 1, 16), 0);
  EXPECT_EQ(s.OnKeyDown(VK_UP, 1, 0), 1);
  EXPECT_EQ(s.OnKeyDown(VK_DOWN, 1, 0), 1);
  EXPECT_EQ(s.OnKeyDown(VK_DOWN, 1, 0), 1);
  EXPECT_EQ(s.GetValue(), 4);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::SpinChanged), 3);
}

TEST(SpinButton, LargeStepsStopAtTheBoundsInsteadOfWrapping) {
  RecordingParent parent;
  Tavex::MSpinButton s(&parent, 3, CRect(0, 0, 100, 30));
  s.SetRange(INT_MIN, INT_MAX);
  s.SetStep(1000);
  s.SetValue(INT_MAX - 10);
  s.OnScroll(1, 0, CPoint(5, 5));
  EXPECT_EQ(s.GetValue(), INT_MAX);
  s.SetValue(INT_MIN + 10);
  s.OnScroll(1, 1, CPoint(5, 5));
  EXPECT_EQ(s.GetValue(), INT_MIN);
}

TEST(SpinButton, PressOnAnArrowAtItsEndChangesNothingAndSendsNothing) {
  RecordingParent parent;
  Tavex::MSpinButton s(&parent, 3, CRect(0, 0, 100, 30));
  s.SetRange(0, 10);
  s.SetValue(0);
  const CPoint down = s.GetDownRect().CenterPoint();
  s.OnLButtonDown(MK_LBUTTON, down);
  s.OnLButtonUp(0, down);
  EXPECT_EQ(s.GetValue(), 0);
  s.OnLButtonDown(MK_LBUTTON, CPoint(20, 15));  // on the number, not an arrow
  s.OnLButtonUp(0, CPoint(20, 15));
  EXPECT_EQ(s.GetValue(), 0);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::SpinChanged), 0);
}

}  // namespace
