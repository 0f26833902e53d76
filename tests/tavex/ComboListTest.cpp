// The open list of a combo box: hover and selection drawn, keys and type-to-find, scrolling to
// the selection, the closed box's keys, and popups whose back picture has see-through corners.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "NativeTestSupport.h"
// Both helpers define the display check the same way.
#undef TAVEX_REQUIRE_DISPLAY
#include "TavexTestSupport.h"
#include "tavex/CComboBoxList.h"
#include "tavex/Codes.h"
#include "tavex/MComboBox.h"
#include "tavex/MDialog.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"
#include "tavex/MenuWnd.h"
#include "tavex/PaintManager.h"

using namespace TavexTest;
using namespace Tavex;
namespace NT = Tavex::NativeTest;

namespace {

constexpr unsigned kRoundRes = 0x7C01;
constexpr unsigned kOpaqueRes = 0x7C02;

class ComboHost : public MDialog {
 public:
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override {
    if (code == Tavex::Notify::Click) picks.push_back({id, code, wParam, lParam});
    return 1;
  }
  std::vector<Notification> picks;
};

MComboBox* MakeCombo(ComboHost& host, int entries) {
  auto* combo = host.CreateControlAs<MComboBox>("MComboBox", 9, CRect(20, 20, 180, 50), "", 1, 1);
  for (int i = 0; i < entries; ++i) combo->AddItem(("entry " + std::to_string(i)).c_str(), 100 + i);
  return combo;
}

CComboBoxList* ListOf(MComboBox* combo) {
  MDialog* popup = combo->GetPopup();
  return popup != nullptr ? static_cast<CComboBoxList*>(popup->GetControl(1)) : nullptr;
}

// A 30 × 30 picture, opaque grey but for 4 × 4 fully transparent corners (when `round`).
void RegisterBack(unsigned id, bool round) {
  Surface s(30, 30);
  for (int y = 0; y < 30; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(s.Data() + static_cast<std::size_t>(y) * s.Stride());
    for (int x = 0; x < 30; ++x) {
      const bool corner = (x < 4 || x >= 26) && (y < 4 || y >= 26);
      row[x] = round && corner ? 0u : 0xFF303030u;
    }
  }
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("tavex-combo-" + std::to_string(getpid()) + "-" +
                             std::to_string(id) + ".png"))
                               .string();
  ASSERT_TRUE(s.SavePNG(path));
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  std::filesystem::remove(path);
  MRender::RegisterResource(id, "PNG", std::move(bytes));
}

int Brightness(std::uint32_t p) { return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF); }

struct OpenCombo : ::testing::Test {
  void SetUp() override {
    TAVEX_REQUIRE_DISPLAY();
    ASSERT_NE(host.Create(nullptr, "host", 0x96000000, 0, CRect(100, 100, 500, 400)), nullptr);
  }
  void TearDown() override {
    if (host.IsValid()) host.DestroyWindow();
    NT::Pump(20);
  }
  LRESULT Key(MComboBox* combo, unsigned vk) {
    return combo->OnWindowMessage(WM_KEYDOWN, vk, 0);
  }
  // The first row in view.
  static int TopRow(CComboBoxList* list) {
    return list->RowAt(CPoint(60, list->GetRect().top + 5));
  }
  ComboHost host;
};

}  // namespace

TEST_F(OpenCombo, ListScrollsToTheSelectionAndDrawsItAndTheHoveredRow) {
  MComboBox* combo = MakeCombo(host, 8);
  combo->SetCurSel(7);
  ASSERT_TRUE(combo->OpenList());
  CComboBoxList* list = ListOf(combo);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetSelected(), 7);
  // Five rows are in view; the last one, selected, is among them.
  const CRect r = list->GetRect();
  EXPECT_EQ(list->RowAt(CPoint(60, r.bottom - 5)), 7);
  EXPECT_EQ(list->RowAt(CPoint(60, r.top + 5)), 3);

  EXPECT_EQ(list->MoveHighlight(-1), 6);
  const int w = 160, h = 162;
  Surface s(w, h);
  combo->GetPopup()->GetPaintManager().Compose(s, CRect(0, 0, w, h));
  const int y7 = r.bottom - 15, y6 = y7 - 30, y5 = y6 - 30;
  ASSERT_EQ(list->RowAt(CPoint(60, y6)), 6);
  // The selected row carries the accent marker; the others do not.
  EXPECT_EQ(s.Pixel(1, y7) & 0xFFFFFF, Manager::GetSelectColor() & 0xFFFFFF);
  EXPECT_NE(s.Pixel(1, y6) & 0xFFFFFF, Manager::GetSelectColor() & 0xFFFFFF);
  // The hovered row is lighter than a plain one, away from the text.
  EXPECT_GT(Brightness(s.Pixel(120, y6)), Brightness(s.Pixel(120, y5)));
  EXPECT_EQ(s.Pixel(120, y5), s.Pixel(120, y7));
  // The selected entry's text shows in the accent colour somewhere on its row.
  bool accentText = false;
  for (int x = 10; x < 80 && !accentText; ++x) {
    for (int y = y7 - 8; y < y7 + 8; ++y) {
      if ((s.Pixel(x, y) & 0xFFFFFF) == (Manager::GetSelectColor() & 0xFFFFFF)) accentText = true;
    }
  }
  EXPECT_TRUE(accentText);
}

TEST_F(OpenCombo, DownAndEnterPickTheHighlightedRowOnce) {
  MComboBox* combo = MakeCombo(host, 8);
  combo->SetCurSel(2);
  ASSERT_TRUE(combo->OpenList());
  HWND popup = combo->GetPopupWindow();
  EXPECT_EQ(Key(combo, VK_DOWN), 1);
  EXPECT_EQ(Key(combo, VK_DOWN), 1);
  EXPECT_EQ(ListOf(combo)->GetHoverRow(), 4);
  // Other keys stay with the window.
  EXPECT_EQ(Key(combo, 'A'), 0);
  EXPECT_EQ(Key(combo, VK_RETURN), 1);
  ASSERT_EQ(host.picks.size(), 1u);
  EXPECT_EQ(host.picks[0].wParam, 4u);
  EXPECT_EQ(host.picks[0].lParam, 0);
  EXPECT_EQ(combo->GetCurSel(), 4);
  EXPECT_FALSE(combo->IsOpen());
  EXPECT_TRUE(NT::PumpUntil([&] { return !Native::IsWindow(popup); }));
  // The list is gone: a second Enter is the window's again and picks nothing.
  EXPECT_EQ(Key(combo, VK_RETURN), 0);
  EXPECT_EQ(host.picks.size(), 1u);
}

TEST_F(OpenCombo, HighlightStopsAtTheEndsAndStartsAtTheTopWithoutSelection) {
  MComboBox* combo = MakeCombo(host, 3);
  ASSERT_TRUE(combo->OpenList());
  CComboBoxList* list = ListOf(combo);
  EXPECT_EQ(list->GetHoverRow(), -1);
  Key(combo, VK_DOWN);
  EXPECT_EQ(list->GetHoverRow(), 0);
  for (int i = 0; i < 5; ++i) Key(combo, VK_DOWN);
  EXPECT_EQ(list->GetHoverRow(), 2);
  for (int i = 0; i < 5; ++i) Key(combo, VK_UP);
  EXPECT_EQ(list->GetHoverRow(), 0);
  combo->CloseList();
}

TEST_F(OpenCombo, PageHomeAndEndKeysMoveTheHighlightAndKeepItInView) {
  MComboBox* combo = MakeCombo(host, 20);
  combo->SetCurSel(7);
  ASSERT_TRUE(combo->OpenList());
  CComboBoxList* list = ListOf(combo);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->GetPageRows(), 5);
  EXPECT_EQ(TopRow(list), 3);
  const auto press = [&](unsigned vk) {
    EXPECT_EQ(Key(combo, vk), 1);
    return std::make_pair(list->GetHoverRow(), TopRow(list));
  };
  using Seen = std::pair<int, int>;
  // From the selection a page down; the highlight ends at the bottom of the view.
  EXPECT_EQ(press(VK_NEXT), Seen(12, 8));
  EXPECT_EQ(press(VK_END), Seen(19, 15));
  EXPECT_EQ(press(VK_NEXT), Seen(19, 15));
  EXPECT_EQ(press(VK_PRIOR), Seen(14, 14));
  EXPECT_EQ(press(VK_HOME), Seen(0, 0));
  EXPECT_EQ(press(VK_PRIOR), Seen(0, 0));
  EXPECT_EQ(press(VK_NEXT), Seen(5, 1));
  EXPECT_EQ(press(VK_UP), Seen(4, 1));
  EXPECT_EQ(list->GetScrollOffset().y, CComboBoxList::kRowHeight);
  EXPECT_EQ(Key(combo, VK_RETURN), 1);
  ASSERT_EQ(host.picks.size(), 1u);
  EXPECT_EQ(host.picks[0].wParam, 4u);

  // Without a selection, Page Down lands a page from the top and Page Up a page from the end.
  combo->SetCurSel(-1);
  ASSERT_TRUE(combo->OpenList());
  list = ListOf(combo);
  EXPECT_EQ(press(VK_NEXT), Seen(4, 0));
  combo->CloseList();
  ASSERT_TRUE(combo->OpenList());
  list = ListOf(combo);
  EXPECT_EQ(press(VK_PRIOR), Seen(15, 11));
  combo->CloseList();
}

TEST_F(OpenCombo, TypedLettersFindRowsByTheirStart) {
  MComboBox* combo = MakeCombo(host, 0);
  for (const char* text : {"Apple", "banana", "Blueberry", "cherry", "\xC3\x89" "clair", "apricot",
                           "Banana split", "\xE4\xB8\xAD\xE6\x96\x87"}) {
    combo->AddItem(text);
  }
  ASSERT_TRUE(combo->OpenList());
  CComboBoxList* list = ListOf(combo);
  ASSERT_NE(list, nullptr);
  // Typed text reaches the list through the owner window; control characters do not.
  EXPECT_EQ(combo->OnWindowMessage(WM_CHAR, 'c', 0), 1);
  EXPECT_EQ(list->GetHoverRow(), 3);
  EXPECT_EQ(combo->OnWindowMessage(WM_CHAR, 13, 0), 0);

  // Letters more than a second apart each start afresh, from the row after the highlight.
  std::uint32_t t = Native::GetMessageTime() + 10000;
  const auto type = [&](char32_t cp, std::uint32_t after) {
    t += after;
    return list->TypeToFind(cp, t);
  };
  EXPECT_EQ(type('b', 0), 6);
  EXPECT_EQ(type('b', 2000), 1);  // wrapped
  EXPECT_EQ(type('B', 2000), 2);  // either case
  // Quick letters extend the prefix: the current row stays while it still fits.
  EXPECT_EQ(type('a', 2000), 5);
  EXPECT_EQ(type('p', 300), 5);
  EXPECT_EQ(type('p', 300), 0);
  EXPECT_EQ(type('l', 300), 0);
  // One letter repeated quickly cycles through its rows.
  EXPECT_EQ(type('b', 2000), 1);
  EXPECT_EQ(type('b', 300), 2);
  EXPECT_EQ(type('b', 300), 6);
  // No match keeps the highlight; neither do the following quick letters match.
  EXPECT_EQ(type('z', 2000), -1);
  EXPECT_EQ(type('c', 300), -1);
  EXPECT_EQ(list->GetHoverRow(), 6);
  // Whole code points are compared, and the row found is scrolled into view.
  EXPECT_EQ(type(U'\u00C9', 2000), 4);
  EXPECT_EQ(type(U'\u4E2D', 2000), 7);
  EXPECT_EQ(TopRow(list), 3);
  EXPECT_EQ(type(U'\u00E9', 2000), -1);
  EXPECT_EQ(Key(combo, VK_RETURN), 1);
  ASSERT_EQ(host.picks.size(), 1u);
  EXPECT_EQ(host.picks[0].wParam, 7u);
}

TEST_F(OpenCombo, FocusedClosedBoxStepsWithArrowsAndOpensWithF4OrAltDown) {
  MComboBox* combo = MakeCombo(host, 3);
  combo->SetCurSel(1);
  const unsigned alt = PaintManager::KeyModifiers(true, false, false);
  // Without the focus the keys are not the box's.
  EXPECT_EQ(combo->OnKeyDown(VK_DOWN, 1, 0), 0);
  EXPECT_EQ(combo->OnKeyDown(VK_F4, 1, 0), 0);
  EXPECT_EQ(combo->GetCurSel(), 1);
  host.GetPaintManager().SetFocusControl(combo);
  EXPECT_EQ(combo->OnKeyDown(VK_DOWN, 1, 0), 1);
  EXPECT_EQ(combo->OnKeyDown(VK_DOWN, 1, 0), 1);  // at the end: no change, no notice
  ASSERT_EQ(host.picks.size(), 1u);
  EXPECT_EQ(host.picks[0].wParam, 2u);
  EXPECT_EQ(combo->GetCurSel(), 2);
  EXPECT_FALSE(combo->IsOpen());

  EXPECT_EQ(combo->OnKeyDown(VK_F4, 1, 0), 1);
  EXPECT_TRUE(combo->IsOpen());
  EXPECT_EQ(Key(combo, VK_F4), 1);
  EXPECT_FALSE(combo->IsOpen());
  EXPECT_EQ(combo->OnKeyDown(VK_DOWN, 1, alt), 1);
  EXPECT_TRUE(combo->IsOpen());
  EXPECT_EQ(combo->OnWindowMessage(WM_SYSKEYDOWN, VK_UP, 0), 1);
  EXPECT_FALSE(combo->IsOpen());
  EXPECT_EQ(combo->GetCurSel(), 2);
  EXPECT_EQ(host.picks.size(), 1u);
}

TEST_F(OpenCombo, EscapeClosesWithoutPicking) {
  MComboBox* combo = MakeCombo(host, 4);
  combo->SetCurSel(1);
  ASSERT_TRUE(combo->OpenList());
  Key(combo, VK_DOWN);
  EXPECT_EQ(Key(combo, VK_ESCAPE), 1);
  EXPECT_FALSE(combo->IsOpen());
  EXPECT_EQ(combo->GetPopupWindow(), nullptr);
  EXPECT_TRUE(host.picks.empty());
  EXPECT_EQ(combo->GetCurSel(), 1);
}

TEST_F(OpenCombo, BackPictureWithSeeThroughCornersMakesThePopupLayered) {
  RegisterBack(kRoundRes, true);
  RegisterBack(kOpaqueRes, false);
  MComboBox* combo = MakeCombo(host, 3);
  combo->SetBackImage(kOpaqueRes);
  combo->SetShowModeMID(10, 10, 10, 10);
  ASSERT_TRUE(combo->OpenList());
  // An opaque picture keeps the plain window.
  EXPECT_FALSE(combo->GetPopup()->GetPaintManager().IsLayered());
  EXPECT_FALSE(combo->GetPopup()->GetExStyle() & WS_EX_LAYERED);
  combo->CloseList();

  combo->SetBackImage(kRoundRes);
  ASSERT_TRUE(combo->OpenList());
  MDialog* popup = combo->GetPopup();
  PaintManager& pm = popup->GetPaintManager();
  EXPECT_TRUE(pm.IsLayered());
  EXPECT_TRUE(popup->GetExStyle() & WS_EX_LAYERED);
  const int w = 160, h = 102;
  Surface s(w, h);
  pm.Compose(s, CRect(0, 0, w, h));
  for (const CPoint p : {CPoint(0, 0), CPoint(w - 1, 0), CPoint(0, h - 1), CPoint(w - 1, h - 1)}) {
    EXPECT_EQ(s.Pixel(p.x, p.y) >> 24, 0u) << p.x << "," << p.y;
  }
  EXPECT_EQ(s.Pixel(w / 2, 2) >> 24, 0xFFu);
  // Without a compositor the corners are cut from the window's shape.
  if (!Native::CompositorRunning()) {
    const HWND hwnd = popup->GetSafeHwnd();
    EXPECT_TRUE(NT::PumpUntil([&] { return Native::IsWindowShaped(hwnd); }));
  }
  combo->CloseList();
}

TEST(MenuWnd, BackPictureWithSeeThroughCornersMakesTheMenuLayered) {
  TAVEX_REQUIRE_DISPLAY();
  RegisterBack(kRoundRes, true);
  HWND owner = NT::ShownWindow(200, 200, 300, 200);
  ASSERT_NE(owner, nullptr);
  auto* menu = new MenuWnd();
  menu->AddMenu("Reset", 606);
  HWND hwnd =
      menu->Create(owner, CPoint(250, 250), Tavex::WM_KEYMENU, kRoundRes, 10, 200, BackModeFrame);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(menu->GetPaintManager().IsLayered());
  EXPECT_TRUE(menu->GetExStyle() & WS_EX_LAYERED);
  const int w = menu->GetMenuWidth(), h = menu->GetMenuHeight();
  Surface s(w, h);
  menu->GetPaintManager().Compose(s, CRect(0, 0, w, h));
  EXPECT_EQ(s.Pixel(0, 0) >> 24, 0u);
  EXPECT_EQ(s.Pixel(w - 1, h - 1) >> 24, 0u);
  EXPECT_EQ(s.Pixel(w / 2, h / 2) >> 24, 0xFFu);
  menu->CloseWindow();
  EXPECT_TRUE(NT::PumpUntil([&] { return !Native::IsWindow(hwnd); }));
  Native::DestroyWindow(owner);
  NT::Pump(20);
}
