#include <gtest/gtest.h>

#include <memory>

#include "NativeTestSupport.h"
// Both helpers define the display check the same way.
#undef TAVEX_REQUIRE_DISPLAY
#include "TavexTestSupport.h"
#include "tavex/Codes.h"
#include "tavex/MenuWnd.h"

using namespace TavexTest;
namespace NT = Tavex::NativeTest;
using Tavex::MenuWnd;

namespace {
constexpr UINT kOwnerMessage = Tavex::WM_KEYMENU;
}

TEST(MenuWnd, ThreeEntriesAndASeparatorMakeAMenu121PixelsHigh) {
  auto menu = std::make_unique<MenuWnd>();
  menu->AddMenu("Reset", 606);
  menu->AddMenu("Macro", 608);
  menu->AddSeparator(0);
  menu->AddMenu("Shortcut", 609);
  EXPECT_EQ(menu->GetMenuHeight(), 121);
  EXPECT_EQ(menu->GetMenuWidth(), 300);
  const auto& items = menu->GetItems();
  EXPECT_EQ(items[0]->GetRect(), CRect(2, 6, 298, 41));
  EXPECT_EQ(items[1]->GetRect(), CRect(2, 41, 298, 76));
  // An untitled separator is inset further on both sides than a titled one.
  EXPECT_EQ(items[2]->GetRect(), CRect(9, 77, 291, 78));
  EXPECT_EQ(items[3]->GetRect(), CRect(2, 80, 298, 115));
}

TEST(MenuWnd, HiddenEntriesTakeNoSpace) {
  auto menu = std::make_unique<MenuWnd>();
  menu->AddMenu("one", 1);
  menu->AddMenu("two", 2);
  menu->SetItemVisible("one", 0);
  EXPECT_EQ(menu->GetMenuHeight(), 6 + 35 + 6);
  EXPECT_TRUE(menu->GetItems()[0]->GetRect().IsRectEmpty());
  EXPECT_EQ(menu->GetItems()[1]->GetRect().top, 6);
}

TEST(MenuWnd, AnEntryWiderThanTheMenuWidensIt) {
  auto menu = std::make_unique<MenuWnd>();
  menu->AddMenu("short", 1);
  EXPECT_EQ(menu->GetMenuWidth(), 300);
  const std::string text(60, 'W');
  menu->AddMenu(text.c_str(), 2);
  Tavex::FontDesc font;
  const int need = Tavex::MeasureText(text, font).cx + 5 + 4;
  ASSERT_GT(need, 300);
  EXPECT_EQ(menu->GetMenuWidth(), need);
  EXPECT_EQ(menu->GetItems()[0]->GetRect().right, need - 2);
}

TEST(MenuWnd, AClickPostsTheEntryOnceToTheOwnerAndTheMenuCloses) {
  TAVEX_REQUIRE_DISPLAY();
  NT::Log().clear();
  HWND owner = NT::ShownWindow(200, 200, 300, 200);
  ASSERT_NE(owner, nullptr);
  auto* menu = new MenuWnd();
  menu->AddMenu("Reset", 606);
  Tavex::MenuItem* entry = menu->AddMenu("Macro", 608, "", 1, 1);
  HWND hwnd = menu->Create(owner, CPoint(250, 250), kOwnerMessage);
  ASSERT_NE(hwnd, nullptr);
  RECT r{};
  ASSERT_TRUE(Tavex::Native::GetWindowRect(hwnd, &r));
  EXPECT_EQ(r.bottom - r.top, 6 + 2 * 35 + 6);
  const CPoint inside(20, 50);
  entry->OnMouseMove(0, inside);
  entry->OnLButtonDown(1, inside);
  entry->OnLButtonUp(0, inside);
  // The menu deletes itself with its window: nothing of it is touched after this.
  ASSERT_TRUE(NT::PumpUntil([&] { return !Tavex::Native::IsWindow(hwnd); }));
  NT::Pump(50);
  const auto posted = NT::Only({kOwnerMessage}, owner);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].wParam, 1u);  // check state
  EXPECT_EQ(posted[0].lParam, 608);
  Tavex::Native::DestroyWindow(owner);
  NT::Pump(20);
}

TEST(MenuWnd, CloseRequestEndsTheMenuWithoutAChoice) {
  TAVEX_REQUIRE_DISPLAY();
  NT::Log().clear();
  HWND owner = NT::ShownWindow(200, 200, 300, 200);
  auto* menu = new MenuWnd();
  menu->AddMenu("Reset", 606);
  HWND hwnd = menu->Create(owner, CPoint(250, 250), kOwnerMessage);
  ASSERT_NE(hwnd, nullptr);
  menu->CloseWindow();
  ASSERT_TRUE(NT::PumpUntil([&] { return !Tavex::Native::IsWindow(hwnd); }));
  NT::Pump(50);
  EXPECT_EQ(NT::Count(kOwnerMessage, owner), 0);
  Tavex::Native::DestroyWindow(owner);
  NT::Pump(20);
}

namespace {
// A key as the X layer delivers it: queued to the focus window, then the queue runs.
void Press(HWND hwnd, UINT key) {
  Tavex::Native::PostMessage(hwnd, WM_KEYDOWN, key, 1);
  NT::Pump(5);
}

// A shown owner that the X server has really focused: a focus event still on its way would
// take the focus from the menu opened next, and close it.
HWND FocusedOwner() {
  HWND owner = NT::ShownWindow(200, 200, 300, 200);
  if (owner != nullptr) {
    NT::PumpUntil([&] { return Tavex::Native::GetFocus() == owner; });
    NT::Pump(50);
  }
  return owner;
}

int HighlightedCount(const MenuWnd& menu) {
  int n = 0;
  for (const Tavex::MenuItem* item : menu.GetItems()) n += item->IsHighlighted() ? 1 : 0;
  return n;
}
}  // namespace

TEST(MenuWnd, KeysMoveOneHighlightSharedWithThePointerOverSelectableEntriesOnly) {
  TAVEX_REQUIRE_DISPLAY();
  HWND owner = FocusedOwner();
  ASSERT_NE(owner, nullptr);
  auto* menu = new MenuWnd();
  menu->AddMenu("Reset", 1);                  // 0
  menu->AddSeparator(0);                      // 1
  menu->AddMenu("Macro", 2, "", 0, 0);        // 2, disabled
  menu->AddMenu("Shortcut", 3);               // 3
  menu->AddMenu("Hidden", 4);                 // 4
  menu->AddMenu("record", 5);                 // 5
  menu->SetItemVisible("Hidden", 0);
  // The pointer starts away from the menu and later moves onto it for real.
  Tavex::Native::SetCursorPos(5, 5);
  HWND hwnd = menu->Create(owner, CPoint(250, 250), kOwnerMessage);
  ASSERT_NE(hwnd, nullptr);
  // The open menu has the keys.
  EXPECT_EQ(Tavex::Native::GetFocus(), hwnd);
  EXPECT_EQ(menu->GetHighlight(), -1);

  const std::vector<std::pair<UINT, int>> steps = {
      {VK_DOWN, 0}, {VK_DOWN, 3}, {VK_DOWN, 5}, {VK_DOWN, 0},  // skips and wraps
      {VK_UP, 5},   {VK_HOME, 0}, {VK_END, 5},  {'S', 3},      // first letters, any case
      {'R', 5},     {'R', 0},     {'M', 0},                    // a disabled entry is not found
  };
  for (const auto& [key, expected] : steps) {
    Press(hwnd, key);
    ASSERT_TRUE(Tavex::Native::IsWindow(hwnd)) << "closed by key " << key;
    EXPECT_EQ(menu->GetHighlight(), expected) << "after key " << key;
    EXPECT_EQ(HighlightedCount(*menu), 1) << "after key " << key;
  }
  EXPECT_TRUE(menu->GetItems()[0]->IsHighlighted());

  // The pointer entering an entry takes the highlight; the next key starts from there.
  const CPoint onShortcut = menu->GetItems()[3]->GetRect().CenterPoint();
  Tavex::Native::SetCursorPos(250 + onShortcut.x, 250 + onShortcut.y);
  EXPECT_TRUE(NT::PumpUntil([&] { return menu->GetHighlight() == 3; }));
  EXPECT_EQ(HighlightedCount(*menu), 1);
  Press(hwnd, VK_DOWN);
  EXPECT_EQ(menu->GetHighlight(), 5);
  EXPECT_FALSE(menu->GetItems()[3]->IsHighlighted());
  EXPECT_EQ(HighlightedCount(*menu), 1);

  menu->CloseWindow();
  ASSERT_TRUE(NT::PumpUntil([&] { return !Tavex::Native::IsWindow(hwnd); }));
  Tavex::Native::DestroyWindow(owner);
  NT::Pump(20);
}

TEST(MenuWnd, EnterAndSpacePickLikeAClickAndEscapeClosesWithoutAChoice) {
  TAVEX_REQUIRE_DISPLAY();
  NT::Log().clear();
  HWND owner = FocusedOwner();
  ASSERT_NE(owner, nullptr);
  const auto open = [&] {
    auto* menu = new MenuWnd();
    menu->AddMenu("Reset", 606);
    menu->AddMenu("Macro", 608, "", 1, 1);
    return menu->Create(owner, CPoint(250, 250), kOwnerMessage);
  };
  const auto closed = [](HWND hwnd) {
    return NT::PumpUntil([&] { return !Tavex::Native::IsWindow(hwnd); });
  };

  HWND hwnd = open();
  ASSERT_NE(hwnd, nullptr);
  Press(hwnd, VK_END);
  // A second Enter already queued (key repeat) finds the menu closing and picks nothing more.
  Tavex::Native::PostMessage(hwnd, WM_KEYDOWN, VK_RETURN, 1);
  Tavex::Native::PostMessage(hwnd, WM_KEYDOWN, VK_RETURN, 1);
  ASSERT_TRUE(closed(hwnd));
  NT::Pump(30);
  auto posted = NT::Only({kOwnerMessage}, owner);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].wParam, 1u);  // check state, as a click posts it
  EXPECT_EQ(posted[0].lParam, 608);
  // The owner has the keys again.
  EXPECT_EQ(Tavex::Native::GetFocus(), owner);

  hwnd = open();
  ASSERT_NE(hwnd, nullptr);
  Press(hwnd, VK_DOWN);
  Press(hwnd, VK_SPACE);
  ASSERT_TRUE(closed(hwnd));
  NT::Pump(30);
  posted = NT::Only({kOwnerMessage}, owner);
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[1].wParam, 0u);
  EXPECT_EQ(posted[1].lParam, 606);

  // Escape with an entry highlighted, and Enter with none, end the menu with no choice.
  for (const UINT key : {UINT{VK_ESCAPE}, UINT{VK_RETURN}}) {
    hwnd = open();
    ASSERT_NE(hwnd, nullptr);
    if (key == VK_ESCAPE) Press(hwnd, VK_DOWN);
    Press(hwnd, key);
    ASSERT_TRUE(closed(hwnd)) << key;
    NT::Pump(30);
    EXPECT_EQ(NT::Count(kOwnerMessage, owner), 2) << key;
  }
  Tavex::Native::DestroyWindow(owner);
  NT::Pump(20);
}
