// Check boxes, radio groups and the switch.
#include <gtest/gtest.h>

#include "StdControlsSupport.h"
#include "tavex/CheckButtons.h"
#include "tavex/MPanel.h"

namespace {

using TavexTest::CountCode;
using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::LastCode;
using TavexTest::RecordingParent;

TEST(CheckButton, ClickTogglesAndSendsTwoWithoutAPressNotification) {
  RecordingParent parent;
  Tavex::CCheckButton c(&parent, 5, CRect(0, 0, 120, 24), "Autostart");
  TavexTest::Click(c, CPoint(4, 10));
  EXPECT_EQ(c.GetCheck(), 1);
  TavexTest::Click(c, CPoint(4, 10));
  EXPECT_EQ(c.GetCheck(), 0);
  EXPECT_EQ(CountCode(parent, 2), 2);
  EXPECT_EQ(CountCode(parent, 1), 0);
}

TEST(CheckButton, SpaceOnTheFocusedBoxTogglesAndSendsSevenWithTheNewState) {
  RecordingParent parent;
  Tavex::CCheckButton c(&parent, 5, CRect(0, 0, 120, 24), "Autostart");
  EXPECT_EQ(c.OnKeyDown(VK_SPACE, 1, 0), 0);  // not focused
  c.SetControlFocus(1);
  EXPECT_EQ(c.OnKeyDown(VK_SPACE, 1, 16), 0);  // Shift+Space is not a toggle
  EXPECT_EQ(c.OnKeyDown(VK_SPACE, 1, 0), 1);
  const auto* n = LastCode(parent, 7);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->wParam, 0u);
  EXPECT_EQ(n->lParam, 1);
  EXPECT_EQ(c.GetCheck(), 1);
}

TEST(CheckButton, SetCheckRepaintsOnlyOnChangeAndSendsNothing) {
  RecordingParent parent;
  Tavex::CCheckButton c(&parent, 5, CRect(0, 0, 120, 24), "x");
  c.SetCheck(1);
  const auto after = parent.repaints.size();
  c.SetCheck(1);
  EXPECT_EQ(parent.repaints.size(), after);
  EXPECT_TRUE(parent.notes.empty());
  EXPECT_EQ(c.GetStateIndex(), 2);
  c.OnMouseMove(0, CPoint(3, 3));
  EXPECT_EQ(c.GetStateIndex(), 3);
}

TEST(CheckButton, DisabledBoxIgnoresClicksAndKeys) {
  RecordingParent parent;
  Tavex::CCheckButton c(&parent, 5, CRect(0, 0, 120, 24), "x", 1, 0);
  c.SetControlFocus(1);
  TavexTest::Click(c, CPoint(4, 10));
  c.OnKeyDown(VK_SPACE, 1, 0);
  EXPECT_EQ(c.GetCheck(), 0);
  EXPECT_TRUE(parent.notes.empty());
}

// Radio buttons inside a panel: siblings are the panel's children.
class RadioGroups : public ::testing::Test {
 protected:
  void SetUp() override {
    panel = new Tavex::MPanel(&parent, 100, CRect(0, 0, 400, 200), 1);
    holder.reset(panel);
    for (int i = 0; i < 4; ++i) {
      radios[i] = new Tavex::CRadioButton(panel, 10 + i, CRect(0, i * 30, 200, i * 30 + 24), "r");
      radios[i]->SetGroupName(i < 2 ? "speed" : "mode");
      panel->AddControl(radios[i]);
    }
  }
  RecordingParent parent;
  Tavex::MPanel* panel = nullptr;
  std::unique_ptr<Tavex::MPanel> holder;
  Tavex::CRadioButton* radios[4] = {};
};

TEST_F(RadioGroups, CheckingOneClearsOnlyItsOwnGroup) {
  radios[0]->SetCheck(1);
  radios[2]->SetCheck(1);
  EXPECT_EQ(radios[0]->GetCheck(), 1);  // another group name: both on
  radios[1]->SetCheck(1);
  EXPECT_EQ(radios[0]->GetCheck(), 0);
  EXPECT_EQ(radios[1]->GetCheck(), 1);
  EXPECT_EQ(radios[2]->GetCheck(), 1);
}

TEST_F(RadioGroups, ClickChecksAndNeverUnchecksItself) {
  radios[3]->SetCheck(1);
  TavexTest::Click(*radios[2], CPoint(5, 65));
  EXPECT_EQ(radios[2]->GetCheck(), 1);
  EXPECT_EQ(radios[3]->GetCheck(), 0);
  TavexTest::Click(*radios[2], CPoint(5, 65));
  EXPECT_EQ(radios[2]->GetCheck(), 1);
  EXPECT_EQ(CountCode(parent, 2), 2);  // through the panel, with the radio's id
  EXPECT_EQ(parent.notes.back().id, 12u);
}

TEST_F(RadioGroups, SameGroupNameUnderAnotherParentIsNotTouched) {
  RecordingParent other;
  Tavex::CRadioButton stranger(&other, 50, CRect(0, 0, 10, 10), "s");
  stranger.SetGroupName("speed");
  stranger.SetCheck(1);
  radios[0]->SetCheck(1);
  EXPECT_EQ(stranger.GetCheck(), 1);
}

TEST(SwitchButton, ClickFlipsAndReportsTheNewStateInLParam) {
  RecordingParent parent;
  Tavex::CSwitchButton s(&parent, 8, CRect(0, 0, 60, 24), nullptr);
  TavexTest::Click(s, CPoint(10, 10));
  ASSERT_NE(LastCode(parent, 2), nullptr);
  EXPECT_EQ(LastCode(parent, 2)->lParam, 1);
  TavexTest::Click(s, CPoint(10, 10));
  EXPECT_EQ(LastCode(parent, 2)->lParam, 0);
  EXPECT_EQ(s.GetCheck(), 0);
}

}  // namespace
