#include <gtest/gtest.h>

#include "NativeTestSupport.h"
// Both helpers define the display check the same way.
#undef TAVEX_REQUIRE_DISPLAY
#include "TavexTestSupport.h"
#include "tavex/Codes.h"
#include "tavex/MComboBox.h"
#include "tavex/MDialog.h"

using namespace TavexTest;
using Tavex::MComboBox;

namespace {
const CRect kScreen(0, 0, 1920, 1080);

class ComboHost : public Tavex::MDialog {
 public:
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override {
    notes.push_back({id, code, wParam, lParam});
    return 1;
  }
  std::vector<Notification> notes;
};

MComboBox* MakeCombo(ComboHost& host, int entries) {
  auto* combo = host.CreateControlAs<MComboBox>("MComboBox", 9, CRect(20, 20, 180, 50), "", 1, 1);
  for (int i = 0; i < entries; ++i) combo->AddItem(("entry " + std::to_string(i)).c_str(), 100 + i);
  return combo;
}
}  // namespace

TEST(MComboBox, PopupShowsAtMostFiveRowsBelowTheControl) {
  const CRect control(100, 100, 260, 130);
  EXPECT_EQ(MComboBox::PopupRect(control, 8, kScreen), CRect(100, 132, 260, 294));
  EXPECT_EQ(MComboBox::PopupRect(control, 8, kScreen).Height(), 162);
  EXPECT_EQ(MComboBox::PopupRect(control, 2, kScreen).Height(), 72);
  EXPECT_EQ(MComboBox::PopupRect(control, 0, kScreen).Height(), 12);
}

TEST(MComboBox, PopupThatWouldPassTheWorkAreaBottomOpensAbove) {
  const CRect control(100, 1000, 260, 1030);
  const CRect above = MComboBox::PopupRect(control, 8, kScreen);
  EXPECT_EQ(above.bottom, 1000);
  EXPECT_EQ(above.top, 1000 - 162);
  // Exactly fitting still opens below.
  EXPECT_EQ(MComboBox::PopupRect(CRect(0, 886, 100, 916), 8, kScreen).top, 918);
}

TEST(MComboBox, SelectionByIndexAndByData) {
  RecordingParent parent;
  MComboBox combo(&parent, 4, CRect(0, 0, 160, 30), "");
  EXPECT_EQ(combo.AddItem("one", 11), 0);
  EXPECT_EQ(combo.AddItem("two", 22), 1);
  EXPECT_EQ(combo.SetCurSel(2), 0);
  EXPECT_EQ(combo.SetCurSel(-2), 0);
  EXPECT_EQ(combo.GetCurSel(), -1);
  EXPECT_EQ(combo.SetCurSel(1), 1);
  EXPECT_EQ(combo.GetTitle(), "two");
  EXPECT_EQ(combo.GetCurData(), 22);
  EXPECT_EQ(combo.SelectData(99), 0);
  EXPECT_EQ(combo.GetCurSel(), 1);
  EXPECT_EQ(combo.SelectData(11), 1);
  EXPECT_EQ(combo.GetTitle(), "one");
  EXPECT_EQ(combo.SetCurSel(-1), 1);
  EXPECT_EQ(combo.GetTitle(), "");
  EXPECT_EQ(combo.GetCurData(), 0);
}

TEST(MComboBox, InsertItemAcceptsExistingPositionsOrAppendAndKeepsTheSelectedEntry) {
  RecordingParent parent;
  MComboBox combo(&parent, 4, CRect(0, 0, 160, 30), "");
  EXPECT_EQ(combo.InsertItem(0, "x"), -1);  // no entry 0 yet
  EXPECT_EQ(combo.InsertItem(-1, "a", 1), 0);
  EXPECT_EQ(combo.InsertItem(-1, "b", 2), 1);
  combo.SetCurSel(1);
  EXPECT_EQ(combo.InsertItem(2, "c"), -1);
  EXPECT_EQ(combo.InsertItem(0, "first", 0), 0);
  EXPECT_EQ(combo.GetCurSel(), 2);
  EXPECT_EQ(combo.GetCurData(), 2);
  combo.DeleteItem(2);
  EXPECT_EQ(combo.GetCurSel(), -1);
  EXPECT_EQ(combo.GetTitle(), "");
}

TEST(MComboBox, OpenedListWindowHasTheRowsHeightAndAPickSelects) {
  TAVEX_REQUIRE_DISPLAY();
  ComboHost host;
  ASSERT_NE(host.Create(nullptr, "host", 0x96000000, 0, CRect(100, 100, 500, 400)), nullptr);
  MComboBox* combo = MakeCombo(host, 8);
  ASSERT_TRUE(combo->OpenList());
  HWND popup = combo->GetPopupWindow();
  ASSERT_NE(popup, nullptr);
  RECT r{};
  ASSERT_TRUE(Tavex::Native::GetWindowRect(popup, &r));
  EXPECT_EQ(r.bottom - r.top, 162);
  EXPECT_EQ(r.right - r.left, 160);
  EXPECT_EQ(r.top, 100 + 50 + 2);
  EXPECT_TRUE(combo->IsOpen());

  // The popup's list reports a pick as (row, 19).
  combo->OnMessage(1, Tavex::Notify::Click, 3, Tavex::Notify::ComboPickFlag);
  EXPECT_EQ(combo->GetCurSel(), 3);
  EXPECT_EQ(combo->GetTitle(), "entry 3");
  ASSERT_FALSE(host.notes.empty());
  EXPECT_EQ(host.notes.back().code, Tavex::Notify::Click);
  EXPECT_EQ(host.notes.back().wParam, 3u);
  EXPECT_FALSE(combo->IsOpen());
  Tavex::NativeTest::PumpUntil([&] { return !Tavex::Native::IsWindow(popup); });
  EXPECT_FALSE(Tavex::Native::IsWindow(popup));
  host.DestroyWindow();
  Tavex::NativeTest::Pump(20);
}

TEST(MComboBox, ListNearTheScreenBottomOpensAboveTheControl) {
  TAVEX_REQUIRE_DISPLAY();
  ComboHost host;
  ASSERT_NE(host.Create(nullptr, "host", 0x96000000, 0, CRect(100, 100, 500, 170)), nullptr);
  RECT work{};
  ASSERT_TRUE(Tavex::Native::GetWorkArea(host.GetSafeHwnd(), &work));
  const int top = work.bottom - 80;
  ASSERT_TRUE(host.MoveWindow(100, top, 400, 70));
  MComboBox* combo = MakeCombo(host, 2);
  ASSERT_TRUE(combo->OpenList());
  RECT r{};
  ASSERT_TRUE(Tavex::Native::GetWindowRect(combo->GetPopupWindow(), &r));
  EXPECT_EQ(r.bottom - r.top, 72);
  EXPECT_EQ(r.bottom, top + 20);
  // A press on the control keeps the list for its release; a press elsewhere closes it.
  combo->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
  EXPECT_TRUE(combo->IsOpen());
  combo->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 60));
  EXPECT_FALSE(combo->IsOpen());
  EXPECT_EQ(combo->GetPopupWindow(), nullptr);
  host.DestroyWindow();
  Tavex::NativeTest::Pump(20);
}
