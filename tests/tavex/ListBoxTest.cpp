#include <gtest/gtest.h>

#include "StdControlsSupport.h"
#include "tavex/Codes.h"
#include "tavex/DListBox.h"
#include "tavex/MListBox.h"
#include "tavex/WinTypes.h"

using namespace TavexTest;
using Tavex::DListBox;

namespace {
struct Fixture {
  RecordingParent parent;
  DListBox list{&parent, 6, CRect(0, 0, 200, 90)};
  Fixture() {
    list.AddString("Profile 1", 1L, 0);
    list.AddString("Profile 2", 2L, 0);
    list.AddString("Profile 3", 3L, 0);
  }
  void Type(const std::string& ascii) {
    for (char c : ascii) list.OnWindowMessage(WM_CHAR, static_cast<unsigned char>(c), 0);
  }
};
}  // namespace

TEST(DListBox, SetCurDataSelectsTheFirstMatchOrKeepsTheSelection) {
  Fixture f;
  EXPECT_EQ(f.list.GetCurData(), 0);
  EXPECT_EQ(f.list.SetCurData(2), 1);
  EXPECT_EQ(f.list.GetCurSel(), 1);
  EXPECT_EQ(f.list.SetCurData(42), -1);
  EXPECT_EQ(f.list.GetCurSel(), 1);
  EXPECT_EQ(f.list.GetCurData(), 2);
  EXPECT_EQ(f.list.SetCurSel(3), 0);
  EXPECT_EQ(f.list.SetCurSel(-1), 1);
  EXPECT_EQ(f.list.GetCurData(), 0);
}

TEST(DListBox, TheSelectedRowIsFilledWithTheLibrarySelectionColour) {
  Fixture f;
  f.list.SetCurSel(1);
  const Tavex::Surface target = Render(f.list, 200, 90);
  EXPECT_EQ(target.Pixel(190, 45), Tavex::Manager::GetSelectColor());
  EXPECT_NE(target.Pixel(190, 15), Tavex::Manager::GetSelectColor());
}

TEST(DListBox, InsertStringOutsideTheRowsInsertsNothing) {
  Fixture f;
  EXPECT_EQ(f.list.InsertString(5, "x"), -1);
  EXPECT_EQ(f.list.InsertString(3, "x"), -1);
  EXPECT_EQ(f.list.InsertString(-2, "x"), -1);
  EXPECT_EQ(f.list.GetItemCount(), 3);
  f.list.SetCurSel(1);
  EXPECT_EQ(f.list.InsertString(0, "first", 0, 9), 3);
  EXPECT_EQ(f.list.GetItemText(0), "first");
  // The selected entry stays selected.
  EXPECT_EQ(f.list.GetCurData(), 2);
  EXPECT_EQ(f.list.InsertString(-1, "last"), 4);
  EXPECT_EQ(f.list.GetItemText(4), "last");
}

TEST(DListBox, RowsTallerThanTheListScrollAndHitTestingFollowsTheScroll) {
  Fixture f;
  EXPECT_EQ(f.list.GetVirtualHeight(), 0);
  f.list.AddString("Profile 4", 4L, 0);
  EXPECT_EQ(f.list.GetVirtualHeight(), 120);
  EXPECT_EQ(f.list.RowAt(CPoint(50, 65)), 2);
  EXPECT_EQ(f.list.GetItemRect(1), CRect(0, 30, 200, 60));
  EXPECT_EQ(f.list.DeleteAllItems(), 1);
  EXPECT_EQ(f.list.GetVirtualHeight(), 0);
  EXPECT_EQ(f.list.RowAt(CPoint(50, 5)), -1);
}

TEST(DListBox, PressAndReleaseOnARowSelectItAndReportTheRow) {
  Fixture f;
  f.list.OnLButtonDown(1, CPoint(50, 40));
  f.list.OnLButtonUp(0, CPoint(50, 40));
  ASSERT_EQ(f.parent.notes.size(), 2u);
  EXPECT_EQ(f.parent.notes[0].code, Tavex::Notify::Press);
  EXPECT_EQ(f.parent.notes[0].wParam, 1u);
  EXPECT_EQ(f.parent.notes[1].code, Tavex::Notify::Click);
  EXPECT_EQ(f.list.GetCurSel(), 1);
  EXPECT_TRUE(f.list.SwapItem(0, 1));
  EXPECT_EQ(f.list.GetItemText(0), "Profile 2");
  EXPECT_FALSE(f.list.SwapItem(0, 3));
}

TEST(DListBox, RenameIsOffUntilEnabledAndNeedsASelection) {
  Fixture f;
  f.list.SetCurSel(0);
  f.list.ShowEdit();
  EXPECT_EQ(f.list.GetEditRow(), -1);
  f.list.EnableShowEdit(1);
  f.list.SetCurSel(-1);
  f.list.ShowEdit();
  EXPECT_EQ(f.list.GetEditRow(), -1);
  f.list.SetCurSel(2);
  f.list.SetEnabled(0);
  f.list.ShowEdit();
  EXPECT_EQ(f.list.GetEditRow(), -1);
}

TEST(DListBox, RenameEndsOnFocusLossAndReportsOnlyAChangedText) {
  Fixture f;
  f.list.EnableShowEdit(1);
  f.list.SetCurSel(1);
  f.list.ShowEdit();
  ASSERT_EQ(f.list.GetEditRow(), 1);
  EXPECT_EQ(f.list.GetEditText(), "Profile 2");
  f.list.SetControlFocus(0);
  EXPECT_EQ(f.list.GetEditRow(), -1);
  EXPECT_EQ(CountCode(f.parent, Tavex::Notify::EditEnded), 0);

  f.list.ShowEdit();
  f.list.OnKeyDown(VK_BACK, 1, 0);
  f.Type("X");
  f.list.SetControlFocus(0);
  EXPECT_EQ(f.list.GetItemText(1), "Profile X");
  ASSERT_EQ(CountCode(f.parent, Tavex::Notify::EditEnded), 1);
  EXPECT_EQ(f.parent.notes.back().lParam, 1);
}

TEST(DListBox, APressOnAnotherRowEndsTheRenameButOneInsideTheBoxKeepsIt) {
  Fixture f;
  f.list.EnableShowEdit(1);
  f.list.SetCurSel(0);
  f.list.ShowEdit();
  // The box is a real editor: a press inside it places the caret there.
  const CRect box = f.list.GetEditRect();
  ASSERT_TRUE(box.PtInRect(CPoint(box.left + 3, 15)));
  f.list.OnLButtonDown(1, CPoint(box.left + 3, 15));
  f.list.OnLButtonUp(0, CPoint(box.left + 3, 15));
  EXPECT_EQ(f.list.GetEditRow(), 0);
  f.Type("!");
  EXPECT_EQ(f.list.GetEditText(), "!Profile 1");
  f.list.OnLButtonDown(1, CPoint(60, 75));
  EXPECT_EQ(f.list.GetEditRow(), -1);
  EXPECT_EQ(f.list.GetItemText(0), "!Profile 1");
  EXPECT_EQ(f.list.GetCurSel(), 2);
  // Escape leaves the entry untouched.
  f.list.ShowEdit();
  f.Type("zz");
  f.list.OnKeyDown(VK_ESCAPE, 1, 0);
  EXPECT_EQ(f.list.GetItemText(2), "Profile 3");
  EXPECT_EQ(CountCode(f.parent, Tavex::Notify::EditEnded), 1);
}

TEST(MListBox, ADoubleClickOnARowReportsThreeWithTheRowAfterThePress) {
  RecordingParent parent;
  Tavex::MListBox list(&parent, 6, CRect(0, 0, 200, 90));
  list.AddString("one", 1L, 0);
  list.AddString("two", 2L, 0);
  list.OnLButtonDown(1, CPoint(40, 45));
  list.OnLButtonUp(0, CPoint(40, 45));
  list.OnWindowMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 45));
  list.OnLButtonDblClk(1, CPoint(40, 45));
  ASSERT_EQ(parent.notes.size(), 4u);
  EXPECT_EQ(parent.notes[2].code, Tavex::Notify::Press);
  EXPECT_EQ(parent.notes[3].code, Tavex::Notify::DoubleClick);
  EXPECT_EQ(parent.notes[3].wParam, 1u);
  // A double click below the rows is only a press.
  list.OnWindowMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 80));
  list.OnLButtonDblClk(1, CPoint(40, 80));
  EXPECT_EQ(parent.notes.back().code, Tavex::Notify::DoubleClick);
  EXPECT_EQ(parent.notes.size(), 4u);
}
