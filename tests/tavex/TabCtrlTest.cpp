#include <gtest/gtest.h>

#include "TavexTestSupport.h"
#include "tavex/Codes.h"
#include "tavex/ControlFactory.h"
#include "tavex/MTabCtrl.h"
#include "tavex/MTabLayout.h"

using namespace TavexTest;
using Tavex::MTabCtrl;

namespace {
int CountCode(const RecordingParent& parent, unsigned code) {
  int n = 0;
  for (const Notification& note : parent.notes) n += note.code == code ? 1 : 0;
  return n;
}

void AddTabs(MTabCtrl& tabs, int count) {
  for (int i = 0; i < count; ++i) tabs.InsertItem(10 + i, "tab", "", nullptr, -1, 0);
}
}  // namespace

TEST(MTabCtrl, ItemWidthIsTheShareOfTheStripBetweenTheMinimumAndTheWish) {
  for (auto [width, expected] : {std::pair{400, 100}, {200, 60}, {800, 120}}) {
    RecordingParent parent;
    MTabCtrl tabs(&parent, 3, CRect(0, 0, width, 40), "");
    AddTabs(tabs, 4);
    tabs.SetItemWidth(120, 60, 1);
    EXPECT_EQ(tabs.GetItemWidth(), expected) << "strip " << width;
    EXPECT_EQ(tabs.GetItemInfo(1)->rect.left, expected) << "strip " << width;
    EXPECT_EQ(tabs.GetItemInfo(3)->rect.right, 4 * expected) << "strip " << width;
  }
}

TEST(MTabCtrl, ItemWidthWithoutMinimumIsTheWishAndInsetsNarrowTheShare) {
  RecordingParent parent;
  MTabCtrl tabs(&parent, 3, CRect(0, 0, 400, 40), "");
  tabs.SetItemWidth(90, 0, 1);  // no tabs: nothing happens
  EXPECT_EQ(tabs.GetItemWidth(), 0);
  AddTabs(tabs, 4);
  tabs.SetItemWidth(150, 0, 1);
  EXPECT_EQ(tabs.GetItemWidth(), 150);
  tabs.SetLeftRightPading(20, 20);
  tabs.SetItemWidth(120, 60, 1);
  EXPECT_EQ(tabs.GetItemWidth(), 90);
  EXPECT_EQ(tabs.GetItemInfo(0)->rect.left, 20);
}

TEST(MTabCtrl, SelectingTheSelectedTabAgainSendsNothing) {
  RecordingParent parent;
  MTabCtrl tabs(&parent, 3, CRect(0, 0, 400, 40), "");
  AddTabs(tabs, 3);
  EXPECT_EQ(tabs.SetSelectItem(1), -1);
  ASSERT_EQ(CountCode(parent, Tavex::Notify::Click), 1);
  EXPECT_EQ(parent.notes.back().wParam, 1u);
  EXPECT_EQ(tabs.SetSelectItem(1), 1);
  EXPECT_EQ(tabs.SetSelectItem(7), 1);
  EXPECT_EQ(tabs.SetSelectItem(-1), 1);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 1);
  EXPECT_EQ(tabs.SetSelectItem(2), 1);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 2);
}

TEST(MTabCtrl, HidingTheSelectedTabKeepsAValidVisibleSelection) {
  RecordingParent parent;
  MTabCtrl tabs(&parent, 3, CRect(0, 0, 400, 40), "");
  AddTabs(tabs, 4);
  tabs.SetItemWidth(100, 0, 1);
  tabs.SetSelectItem(3);
  tabs.SetItemVisible(3, 0);
  EXPECT_EQ(tabs.GetSelectItem(), 2);
  EXPECT_TRUE(tabs.GetItemInfo(3)->rect.IsRectEmpty());
  // A hidden tab takes no space: the one after it moves left.
  tabs.SetItemVisible(1, 0);
  EXPECT_EQ(tabs.GetItemInfo(2)->rect.left, 100);
  EXPECT_EQ(tabs.GetItemID(-1), 0u);
  EXPECT_EQ(tabs.GetItemID(2), 12u);
}

TEST(MTabCtrl, SelectionShowsOnlyTheSelectedTabsPage) {
  RecordingParent parent;
  Probe first(&parent, 21, CRect(0, 50, 100, 100));
  Probe second(&parent, 22, CRect(0, 50, 100, 100));
  MTabCtrl tabs(&parent, 3, CRect(0, 0, 400, 40), "");
  tabs.InsertItem(1, "a", "", &first, -1, 100);
  tabs.InsertItem(2, "b", "", &second, -1, 100);
  tabs.SetSelectItem(0);
  EXPECT_TRUE(first.IsVisible());
  EXPECT_FALSE(second.IsVisible());
  tabs.SetSelectItem(1);
  EXPECT_FALSE(first.IsVisible());
  EXPECT_TRUE(second.IsVisible());
}

TEST(MTabCtrl, AClickOnATabSelectsItAndARepeatedClickSendsNothingMore) {
  RecordingParent parent;
  MTabCtrl tabs(&parent, 3, CRect(0, 0, 400, 40), "");
  AddTabs(tabs, 4);
  tabs.SetItemWidth(100, 0, 1);
  tabs.SetTabCtrlHeight(40);
  for (int round = 0; round < 2; ++round) {
    tabs.OnMouseMove(0, CPoint(250, 20));
    tabs.OnLButtonDown(1, CPoint(250, 20));
    tabs.OnLButtonUp(0, CPoint(250, 20));
  }
  EXPECT_EQ(tabs.GetSelectItem(), 2);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 1);
}

TEST(MTabLayout, ShowsExactlyOnePageAndIgnoresIndicesOutOfRange) {
  RecordingParent parent;
  Tavex::MTabLayout layout(&parent, 4, CRect(0, 0, 200, 200));
  auto* a = new Probe(&layout, 31, CRect(0, 0, 10, 10));
  auto* b = new Probe(&layout, 32, CRect(0, 0, 10, 10));
  layout.AddControl(a);
  layout.AddControl(b);
  EXPECT_EQ(layout.GetPageCount(), 2);
  EXPECT_TRUE(layout.SelectItem(1));
  EXPECT_FALSE(a->IsVisible());
  EXPECT_TRUE(b->IsVisible());
  EXPECT_FALSE(layout.SelectItem(2));
  EXPECT_EQ(layout.GetCurSel(), 1);
  EXPECT_TRUE(layout.SelectItem(a));
  EXPECT_TRUE(a->IsVisible());
  EXPECT_FALSE(b->IsVisible());
}

TEST(MTabCtrl, BothFactoriesCreateTheTabClasses) {
  using T = Tavex::ControlFactory::Table;
  RecordingParent parent;
  for (T table : {T::Dialog, T::Panel}) {
    for (const char* name : {"MTabCtrl", "MTabLayout"}) {
      std::unique_ptr<Tavex::MControl> c(
          Tavex::ControlFactory::Create(table, name, &parent, 1, CRect(0, 0, 9, 9), "t", 1, 0));
      ASSERT_NE(c, nullptr) << name;
      EXPECT_STREQ(c->GetClassNameW(), name);
    }
  }
}

TEST(MTabCtrl, PressingATabsButtonReportsNineWithTheTabAndDoesNotSelectBeforeRelease) {
  RecordingParent parent;
  MTabCtrl tabs(&parent, 3, CRect(0, 0, 400, 40), "");
  AddTabs(tabs, 2);
  tabs.SetItemWidth(100, 0, 1);
  tabs.SetTabCtrlHeight(40);
  tabs.EnableTabButton(1, 12, 12);
  // Second tab: 100..200; its button sits 3 px from the right edge, 6 px below the top.
  EXPECT_EQ(tabs.GetItemInfo(1)->buttonRect, CRect(185, 6, 197, 18));
  tabs.OnMouseMove(0, CPoint(190, 10));
  tabs.OnLButtonDown(1, CPoint(190, 10));
  ASSERT_EQ(CountCode(parent, Tavex::Notify::InnerPress), 1);
  EXPECT_EQ(parent.notes.back().wParam, 1u);
  EXPECT_EQ(tabs.GetItemInfo(1)->buttonState, 2);
  EXPECT_EQ(tabs.GetSelectItem(), -1);
  tabs.OnLButtonUp(0, CPoint(190, 10));
  EXPECT_EQ(tabs.GetItemInfo(1)->buttonState, 0);
  EXPECT_EQ(tabs.GetSelectItem(), 1);
}
