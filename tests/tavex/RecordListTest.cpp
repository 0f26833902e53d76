#include <gtest/gtest.h>

#include "StdControlsSupport.h"
#include "tavex/CRecordList.h"
#include "tavex/Codes.h"
#include "tavex/WinTypes.h"

using namespace TavexTest;
using Tavex::CRecordList;

namespace {
struct Fixture {
  RecordingParent parent;
  CRecordList list{&parent, 8, CRect(0, 0, 440, 123)};
  Fixture() {
    list.AddString("A", 2, 0x41, 20);
    list.AddString("A", 3, 0x41, 35);
    list.AddString("B", 2, 0x42, 50);
  }
  // A press on the delay column of a row selects it and opens the box.
  void OpenDelayBox(int row) {
    const CPoint at(350, row * 41 + 20);
    list.OnMouseMove(0, at);
    list.OnLButtonDown(1, at);
    list.OnLButtonUp(0, at);
  }
  void Type(const std::string& ascii) {
    for (char c : ascii) list.OnWindowMessage(WM_CHAR, static_cast<unsigned char>(c), 0);
  }
  int Count29() const {
    int n = 0;
    for (const Notification& note : parent.notes)
      n += note.code == Tavex::Notify::EditEnded ? 1 : 0;
    return n;
  }
};
}  // namespace

TEST(CRecordList, UpdateDelayTimeOnAnEmptyListChangesNothing) {
  RecordingParent parent;
  CRecordList list(&parent, 8, CRect(0, 0, 440, 200));
  EXPECT_FALSE(list.UpdateDelayTime(30));
  EXPECT_EQ(list.GetItemCount(), 0);
  list.AddString("A", 2, 0x41, 0);
  EXPECT_TRUE(list.UpdateDelayTime(30));
  EXPECT_EQ(list.GetRecordItems().back()->delay, 30);
}

TEST(CRecordList, SetCurSelAcceptsMinusOneToTheLastRow) {
  Fixture f;
  EXPECT_EQ(f.list.SetCurSel(3), 0);
  EXPECT_EQ(f.list.GetCurSel(), -1);
  EXPECT_EQ(f.list.SetCurSel(2), 1);
  EXPECT_EQ(f.list.SetCurSel(-2), 0);
  EXPECT_EQ(f.list.GetCurSel(), 2);
  EXPECT_EQ(f.list.SetCurSel(-1), 1);
  EXPECT_EQ(f.list.GetCurSel(), -1);
}

TEST(CRecordList, TheSelectedRowIsOutlinedInTheLibrarySelectionColour) {
  Fixture f;
  f.list.SetCurSel(1);
  const Tavex::Surface target = Render(f.list, 440, 123);
  EXPECT_EQ(target.Pixel(0, 41 + 20), Tavex::Manager::GetSelectColor());  // left edge of row 1
  EXPECT_NE(target.Pixel(0, 20), Tavex::Manager::GetSelectColor());
}

TEST(CRecordList, SwapItemNeedsTwoDifferentValidRows) {
  Fixture f;
  EXPECT_FALSE(f.list.SwapItem(0, 0));
  EXPECT_FALSE(f.list.SwapItem(0, 3));
  EXPECT_EQ(f.list.GetRecordItems()[0]->delay, 20);
  EXPECT_TRUE(f.list.SwapItem(0, 2));
  const auto rows = f.list.GetRecordItems();
  EXPECT_EQ(rows[0]->text, "B");
  EXPECT_EQ(rows[2]->delay, 20);
  // Rows keep their places on screen.
  EXPECT_EQ(rows[0]->rect.top, 0);
  EXPECT_EQ(rows[2]->rect.top, 82);
}

TEST(CRecordList, RowsThatNoLongerFitScrollAndDeletingTheLastResetsTheScroll) {
  Fixture f;
  EXPECT_EQ(f.list.GetVirtualHeight(), 0);
  f.list.AddString("C", 2, 0x43, 5);
  EXPECT_EQ(f.list.GetVirtualHeight(), 164);
  f.list.GetVScroll()->SetScrollPos(100);
  EXPECT_EQ(f.list.RowAt(CPoint(10, 5)), 1);
  EXPECT_EQ(f.list.DeleteItem(7), 0);
  EXPECT_EQ(f.list.DeleteItem(3), 1);
  EXPECT_EQ(f.list.GetVirtualHeight(), 0);
  EXPECT_EQ(f.list.RowAt(CPoint(10, 5)), 0);
}

TEST(CRecordList, AnEmptiedDelayBoxBecomesTenWhenTheFocusLeaves) {
  Fixture f;
  f.OpenDelayBox(1);
  ASSERT_EQ(f.list.GetEditRow(), 1);
  EXPECT_EQ(f.list.GetEditText(), "35");
  // The box covers the delay column of its row and follows the row when rows grow.
  const Tavex::CRect box = f.list.GetEditRect();
  EXPECT_EQ(box.left, 300);
  EXPECT_EQ(box.right, 420);
  EXPECT_EQ((box.top + box.bottom) / 2, 41 + 41 / 2 - 2);
  f.list.SetItemHeight(50);
  EXPECT_EQ(f.list.GetEditRect().top, box.top + 50 + 25 - 41 - 20);
  f.list.OnKeyDown(VK_BACK, 1, 0);
  f.list.OnKeyDown(VK_BACK, 1, 0);
  f.list.SetControlFocus(0);
  EXPECT_EQ(f.list.GetEditRow(), -1);
  EXPECT_EQ(f.list.GetRecordItems()[1]->delay, 10);
  ASSERT_EQ(f.Count29(), 1);
  EXPECT_EQ(f.parent.notes.back().lParam, 1);
}

TEST(CRecordList, TheDelayBoxRefusesLettersAndASixthDigit) {
  Fixture f;
  f.OpenDelayBox(0);
  ASSERT_EQ(f.list.GetEditRow(), 0);
  f.Type("a1b2-3x");
  EXPECT_EQ(f.list.GetEditText(), "20123");
  f.Type("4");
  EXPECT_EQ(f.list.GetEditText(), "20123");
  // A press on another row ends the edit and keeps the number.
  f.list.OnMouseMove(0, CPoint(50, 90));
  f.list.OnLButtonDown(1, CPoint(50, 90));
  EXPECT_EQ(f.list.GetEditRow(), -1);
  EXPECT_EQ(f.list.GetRecordItems()[0]->delay, 20123);
  EXPECT_EQ(f.list.GetCurSel(), 2);
}

TEST(CRecordList, AnUnchangedDelaySendsNoNotification) {
  Fixture f;
  f.OpenDelayBox(2);
  ASSERT_EQ(f.list.GetEditRow(), 2);
  f.list.OnKeyDown(VK_RETURN, 1, 0);
  EXPECT_EQ(f.list.GetEditRow(), -1);
  EXPECT_EQ(f.Count29(), 0);
  // Editing is refused while disallowed.
  f.list.EnableEdit(0);
  f.OpenDelayBox(2);
  EXPECT_EQ(f.list.GetEditRow(), -1);
}
