#include <gtest/gtest.h>

#include <memory>

#include "NativeTestSupport.h"
// Both helpers define the display check the same way.
#undef TAVEX_REQUIRE_DISPLAY
#include "TavexTestSupport.h"
#include "tavex/MenuWnd.h"

using namespace TavexTest;
namespace NT = Tavex::NativeTest;
using Tavex::MenuWnd;

namespace {
constexpr UINT kOwnerMessage = 0x721;
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
