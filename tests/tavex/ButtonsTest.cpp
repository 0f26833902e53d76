// Push buttons: notifications of presses and clicks, disabled buttons, the update badge.
#include <gtest/gtest.h>

#include "StdControlsSupport.h"
#include "tavex/Buttons.h"

namespace {

using Tavex::PressBehaviour;
using TavexTest::CountCode;
using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::RecordingParent;

TEST(PushButton, SendsOneOnPressAndTwoOnReleaseInside) {
  RecordingParent parent;
  Tavex::MButton b(&parent, 7, CRect(10, 10, 110, 40), "OK");
  b.OnMouseMove(0, CPoint(20, 20));
  EXPECT_EQ(b.GetLook(), PressBehaviour::kHover);
  b.OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
  EXPECT_EQ(b.GetLook(), PressBehaviour::kPressed);
  b.OnLButtonUp(0, CPoint(21, 21));
  ASSERT_EQ(parent.notes.size(), 2u);
  EXPECT_EQ(parent.notes[0].code, 1u);
  EXPECT_EQ(parent.notes[1].code, 2u);
  EXPECT_EQ(parent.notes[1].id, 7u);
}

TEST(PushButton, ReleaseOutsideOnlyRestoresTheLook) {
  RecordingParent parent;
  Tavex::MButton b(&parent, 7, CRect(10, 10, 110, 40), "OK");
  b.OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
  b.OnMouseMove(MK_LBUTTON, CPoint(300, 300));
  b.OnLButtonUp(0, CPoint(300, 300));
  EXPECT_EQ(CountCode(parent, 1), 1);
  EXPECT_EQ(CountCode(parent, 2), 0);
  EXPECT_EQ(b.GetLook(), PressBehaviour::kNormal);
}

TEST(PushButton, DisabledButtonTakesNoInputAndLooksDisabled) {
  RecordingParent parent;
  Tavex::CTextButton b(&parent, 3, CRect(0, 0, 80, 30), "Link", 1, 0);
  TavexTest::Click(b, CPoint(5, 5));
  EXPECT_TRUE(parent.notes.empty());
  EXPECT_EQ(b.GetLook(), PressBehaviour::kDisabled);
}

TEST(PushButton, DisablingDuringAPressCannotCompleteAClickLater) {
  RecordingParent parent;
  Tavex::MButton b(&parent, 7, CRect(0, 0, 100, 30), "OK");
  b.OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
  b.SetEnabled(0);
  b.SetEnabled(1);
  b.OnLButtonUp(0, CPoint(5, 5));
  EXPECT_EQ(CountCode(parent, 2), 0);
}

TEST(UpgradeButton, StatusRepaintsOnlyWhenItChangesAndBadgeSitsTopRight) {
  RecordingParent parent;
  Tavex::UpgradeButton b(&parent, 4, CRect(100, 10, 200, 40), "Update");
  b.SetUpgradeStatus(1);
  const auto after = parent.repaints.size();
  EXPECT_GE(after, 1u);
  b.SetUpgradeStatus(1);
  EXPECT_EQ(parent.repaints.size(), after);
  EXPECT_EQ(b.GetUpgradeStatus(), 1);
  EXPECT_EQ(b.GetBadgeRect(), CRect(184, 10, 200, 26));
}

TEST(UpgradeButton, DrawsARedBadgeOnlyWhileTheStatusIsSet) {
  RecordingParent parent;
  Tavex::UpgradeButton b(&parent, 4, CRect(0, 0, 100, 30), "");
  Tavex::Surface s(100, 30);
  {
    Tavex::Painter p(s);
    b.Draw(p, CRect(0, 0, 100, 30));
  }
  EXPECT_NE(s.Pixel(92, 8), 0xFFFF0000u);
  b.SetUpgradeStatus(2);
  Tavex::Surface t(100, 30);
  {
    Tavex::Painter p(t);
    b.Draw(p, CRect(0, 0, 100, 30));
  }
  // Left of the "1" in the middle of the circle.
  EXPECT_EQ(t.Pixel(87, 8), 0xFFFF0000u);
}

TEST(ColorButton, KeepsItsColourAndRepaintsOnlyOnChange) {
  RecordingParent parent;
  Tavex::CColorButton b(&parent, 4, CRect(0, 0, 30, 30), nullptr);
  b.SetColor(0xFF00FF00);
  const auto after = parent.repaints.size();
  b.SetColor(0xFF00FF00);
  EXPECT_EQ(parent.repaints.size(), after);
  EXPECT_EQ(b.GetColor(), 0xFF00FF00u);
}

}  // namespace
