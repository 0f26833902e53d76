// Slider, progress bar and level row: clamping, repaints on change, input.
#include <gtest/gtest.h>

#include "StdControlsSupport.h"
#include "tavex/Sliders.h"
#include "tavex/SpinButtons.h"

namespace {

using TavexTest::CountCode;
using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::RecordingParent;

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
  EXPECT_EQ(CountCode(parent, 2), 0);
  s.OnLButtonUp(0, CPoint(500, 10));
  EXPECT_EQ(CountCode(parent, 2), 1);
  EXPECT_EQ(s.GetThumbRect().CenterPoint().x, 209);
}

TEST(Slider, WheelStepsAndSendsTwoEvenAtTheEnd) {
  RecordingParent parent;
  Tavex::MSlider s(&parent, 1, CRect(0, 0, 218, 20));
  s.SetProgress(99);
  s.OnScroll(1, 0, CPoint(5, 5));
  s.OnScroll(1, 0, CPoint(5, 5));
  EXPECT_EQ(s.GetProgress(), 100);
  EXPECT_EQ(CountCode(parent, 2), 2);
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
  EXPECT_EQ(parent.notes[0].code, 2u);
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
  EXPECT_EQ(CountCode(parent, 28), 1);
  s.OnScroll(1, 1, CPoint(5, 5));
  EXPECT_EQ(s.GetValue(), 1);
  EXPECT_EQ(CountCode(parent, 28), 2);
}

}  // namespace
