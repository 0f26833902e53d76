// Another process raising our window: a window hidden to the tray is mapped, raised and focused.
#include "NativeTestSupport.h"

#include <X11/Xlib.h>

namespace Tavex::NativeTest {
namespace {

// The map state as the server sees it, through a connection of its own.
int ServerMapState(std::uint64_t xid) {
  Display* dpy = XOpenDisplay(nullptr);
  if (dpy == nullptr) return -1;
  XWindowAttributes attributes{};
  const int state = XGetWindowAttributes(dpy, static_cast<::Window>(xid), &attributes)
                        ? attributes.map_state
                        : -1;
  XCloseDisplay(dpy);
  return state;
}

class ExternalActivateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TAVEX_REQUIRE_DISPLAY();
    Log().clear();
  }
};

TEST_F(ExternalActivateTest, AWithdrawnWindowIsMappedAgainAndTakesTheFocus) {
  HWND hwnd = ShownWindow(10, 10, 80, 60);
  ASSERT_NE(hwnd, nullptr);
  const std::uint64_t xid = Native::GetNativeId(hwnd);
  Native::ShowWindow(hwnd, SW_HIDE);
  Pump(50);
  ASSERT_EQ(ServerMapState(xid), IsUnmapped);
  ASSERT_FALSE(Native::IsWindowVisible(hwnd));

  Log().clear();
  ASSERT_TRUE(Native::ActivateExternalWindow(xid));
  EXPECT_EQ(ServerMapState(xid), IsViewable);
  ASSERT_TRUE(PumpUntil([hwnd] { return Native::IsWindowVisible(hwnd) && Count(WM_PAINT) > 0; }));
  const auto shows = Only({WM_SHOWWINDOW});
  ASSERT_EQ(shows.size(), 1u);
  EXPECT_EQ(shows[0].wParam, 1u);
  EXPECT_NE(Native::GetWindowLongPtr(hwnd, GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_TRUE(PumpUntil([hwnd] { return Native::GetFocus() == hwnd; }));

  // Shown and hidden again by the program itself: the map notice of the moment it was shown
  // arrives after the hide and must not count as another client's map.
  Native::ShowWindow(hwnd, SW_HIDE);
  Native::ShowWindow(hwnd, SW_SHOW);
  Native::ShowWindow(hwnd, SW_HIDE);
  Pump(100);
  EXPECT_FALSE(Native::IsWindowVisible(hwnd));
  EXPECT_EQ(ServerMapState(xid), IsUnmapped);
  Native::DestroyWindow(hwnd);
}

TEST_F(ExternalActivateTest, AVanishedWindowIsReportedAndDoesNotEndTheCaller) {
  HWND hwnd = ShownWindow(10, 10, 40, 40);
  ASSERT_NE(hwnd, nullptr);
  const std::uint64_t xid = Native::GetNativeId(hwnd);
  Native::DestroyWindow(hwnd);
  Pump(20);
  EXPECT_FALSE(Native::ActivateExternalWindow(xid));
  EXPECT_FALSE(Native::ActivateExternalWindow(0));
}

}  // namespace
}  // namespace Tavex::NativeTest
