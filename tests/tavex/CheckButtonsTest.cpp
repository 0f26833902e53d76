// Check boxes, radio groups and the switch.
#include <gtest/gtest.h>

#include "StdControlsSupport.h"
#include "tavex/CheckButtons.h"
#include "tavex/Codes.h"
#include "tavex/MPanel.h"
#include "tavex/Manager.h"
#include "tavex/PaintManager.h"

namespace {

using TavexTest::CountCode;
using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::LastCode;
using TavexTest::Hex;
using TavexTest::RecordingParent;
using TavexTest::Render;

TEST(CheckButton, ClickTogglesAndSendsTwoWithoutAPressNotification) {
  RecordingParent parent;
  Tavex::CCheckButton c(&parent, 5, CRect(0, 0, 120, 24), "Autostart");
  TavexTest::Click(c, CPoint(4, 10));
  EXPECT_EQ(c.GetCheck(), 1);
  TavexTest::Click(c, CPoint(4, 10));
  EXPECT_EQ(c.GetCheck(), 0);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 2);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Press), 0);
}

TEST(CheckButton, SpaceOnTheFocusedBoxTogglesAndSendsSevenWithTheNewState) {
  RecordingParent parent;
  Tavex::CCheckButton c(&parent, 5, CRect(0, 0, 120, 24), "Autostart");
  EXPECT_EQ(c.OnKeyDown(VK_SPACE, 1, 0), 0);  // not focused
  c.SetControlFocus(1);
  EXPECT_EQ(c.OnKeyDown(VK_SPACE, 1, 16), 0);  // Shift+Space is not a toggle
  EXPECT_EQ(c.OnKeyDown(VK_SPACE, 1, 0), 1);
  const auto* n = LastCode(parent, Tavex::Notify::CheckToggled);
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
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 2);  // through the panel, with the radio's id
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
  ASSERT_NE(LastCode(parent, Tavex::Notify::Click), nullptr);
  EXPECT_EQ(LastCode(parent, Tavex::Notify::Click)->lParam, 1);
  TavexTest::Click(s, CPoint(10, 10));
  EXPECT_EQ(LastCode(parent, Tavex::Notify::Click)->lParam, 0);
  EXPECT_EQ(s.GetCheck(), 0);
}

// The shipped box image holds unchecked, unchecked hover, checked and checked hover.
TEST(CheckButton, BoxShowsTheStateOfCheckAndHoverFromTheStateImage) {
  const Tavex::Image skin = TavexTest::ShippedSkin("btn_checkbox.png");
  if (skin.IsNull()) GTEST_SKIP() << "skins not built";
  const int side = skin.Width() / 4;
  RecordingParent parent;
  Tavex::PaintManager pm;
  auto* c = new Tavex::CCheckButton(&parent, 5, CRect(0, 0, 150, side), "");
  pm.AddControl(c);
  c->SetImage("btn_checkbox.png", 4);
  ASSERT_EQ(c->GetBoxRect(), CRect(0, 0, side, side));
  const CPoint at(side / 2, side / 2);
  ASSERT_NE(skin.Pixel(at.x, at.y), skin.Pixel(2 * side + at.x, at.y));
  const auto expectState = [&](int state) {
    const Tavex::Surface s = Render(*c, 150, side);
    const ARGB want = skin.Pixel(state * side + at.x, at.y);
    EXPECT_TRUE(TavexTest::NearARGB(s.Pixel(at.x, at.y), want, 3))
        << "state " << state << ": " << Hex(s.Pixel(at.x, at.y)) << " != " << Hex(want);
  };
  expectState(0);
  c->OnMouseMove(0, CPoint(100, 5));  // over the title counts as over the box
  expectState(1);
  c->SetCheck(1);
  expectState(3);
  c->OnMouseLeave();
  expectState(2);
}

TEST(CheckButton, OwnShortcutKeyTogglesWithoutFocusAndOtherKeysDoNothing) {
  RecordingParent parent;
  Tavex::CCheckButton c(&parent, 5, CRect(0, 0, 120, 24), "Mute");
  c.SetShortcutKey('M');
  EXPECT_EQ(c.OnControlKeyDown('N', 1, 0), 0);
  EXPECT_EQ(c.OnControlKeyDown(VK_SPACE, 1, 0), 0);  // Space needs the focus
  EXPECT_EQ(c.OnControlKeyDown('M', 1, 0), 1);
  EXPECT_EQ(c.GetCheck(), 1);
  EXPECT_EQ(c.OnControlKeyDown('M', 1, 0), 1);
  EXPECT_EQ(c.GetCheck(), 0);
  ASSERT_EQ(CountCode(parent, Tavex::Notify::CheckToggled), 2);
  EXPECT_EQ(parent.notes[0].lParam, 1);
  EXPECT_EQ(parent.notes[1].lParam, 0);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 0);
}

TEST(CheckButton, ReleaseOutsideAfterAPressInsideDoesNotToggle) {
  RecordingParent parent;
  Tavex::CCheckButton c(&parent, 5, CRect(0, 0, 120, 24), "x");
  c.OnLButtonDown(MK_LBUTTON, CPoint(4, 10));
  c.OnMouseMove(MK_LBUTTON, CPoint(400, 10));
  c.OnLButtonUp(0, CPoint(400, 10));
  EXPECT_EQ(c.GetCheck(), 0);
  EXPECT_TRUE(parent.notes.empty());
}

TEST_F(RadioGroups, SpaceOnAFocusedRadioChecksItClearsTheGroupAndSendsSeven) {
  radios[0]->SetCheck(1);
  radios[1]->SetControlFocus(1);
  EXPECT_EQ(radios[1]->OnKeyDown(VK_SPACE, 1, 0), 1);
  EXPECT_EQ(radios[1]->GetCheck(), 1);
  EXPECT_EQ(radios[0]->GetCheck(), 0);
  EXPECT_EQ(radios[1]->OnKeyDown(VK_SPACE, 1, 0), 1);
  EXPECT_EQ(radios[1]->GetCheck(), 1);  // a radio never unchecks itself
  ASSERT_EQ(CountCode(parent, Tavex::Notify::CheckToggled), 2);
  EXPECT_EQ(LastCode(parent, Tavex::Notify::CheckToggled)->id, 11u);
  EXPECT_EQ(LastCode(parent, Tavex::Notify::CheckToggled)->lParam, 1);
}

TEST_F(RadioGroups, UncheckingOneLeavesTheCheckedSiblingAlone) {
  radios[0]->SetCheck(1);
  radios[1]->SetCheck(0);
  EXPECT_EQ(radios[0]->GetCheck(), 1);
}

// Radio buttons made on the dialog itself have no parent control: their siblings are the
// manager's controls that share the same parent object.
TEST(RadioButton, DialogLevelGroupsWorkThroughTheManagersListsAndSkipHiddenRepaints) {
  RecordingParent dialogSide, otherOwner;
  Tavex::PaintManager pm;
  auto* a = new Tavex::CRadioButton(&dialogSide, 1, CRect(0, 0, 100, 20), "a");
  auto* b = new Tavex::CRadioButton(&dialogSide, 2, CRect(0, 30, 100, 50), "b");
  auto* hidden = new Tavex::CRadioButton(&dialogSide, 3, CRect(0, 60, 100, 80), "c", 0);
  auto* foreign = new Tavex::CRadioButton(&otherOwner, 4, CRect(0, 90, 100, 110), "d");
  for (auto* r : {a, b, hidden, foreign}) {
    pm.AddControl(r);
    r->SetGroupName("mode");
  }
  hidden->SetCheck(1);
  foreign->SetCheck(1);
  dialogSide.repaints.clear();
  TavexTest::Click(*a, CPoint(5, 5));
  EXPECT_EQ(a->GetCheck(), 1);
  EXPECT_EQ(hidden->GetCheck(), 0);
  EXPECT_EQ(foreign->GetCheck(), 1);
  for (const CRect& r : dialogSide.repaints) EXPECT_NE(r, hidden->GetRect());
  b->SetCheck(1);
  EXPECT_EQ(a->GetCheck(), 0);
  EXPECT_EQ(CountCode(dialogSide, Tavex::Notify::Click), 1);
}

TEST(SwitchButton, DisabledSwitchIgnoresClicksAndSetCheckSendsNothing) {
  RecordingParent parent;
  Tavex::CSwitchButton s(&parent, 8, CRect(0, 0, 60, 24), nullptr, 1, 0);
  TavexTest::Click(s, CPoint(10, 10));
  EXPECT_EQ(s.GetCheck(), 0);
  s.SetCheck(1);
  EXPECT_EQ(s.GetCheck(), 1);
  EXPECT_TRUE(parent.notes.empty());
}

TEST(SwitchButton, KnobMovesToTheRightAndTheTrackTakesTheAccentWhenOn) {
  RecordingParent parent;
  Tavex::CSwitchButton s(&parent, 8, CRect(0, 0, 44, 22), nullptr);
  const Tavex::Surface off = Render(s, 44, 22);
  s.SetCheck(1);
  const Tavex::Surface on = Render(s, 44, 22);
  // Knob: left end when off, right end when on; the other end shows the track.
  EXPECT_TRUE(TavexTest::NearARGB(on.Pixel(6, 11), Tavex::Manager::GetSelectColor(), 3))
      << Hex(on.Pixel(6, 11));
  EXPECT_FALSE(TavexTest::NearARGB(off.Pixel(6, 11), Tavex::Manager::GetSelectColor(), 30));
  EXPECT_FALSE(TavexTest::NearARGB(off.Pixel(37, 11), Tavex::Manager::GetSelectColor(), 30));
  EXPECT_TRUE(TavexTest::NearARGB(on.Pixel(33, 11), off.Pixel(11, 11), 2));  // the knob's face
}

}  // namespace
