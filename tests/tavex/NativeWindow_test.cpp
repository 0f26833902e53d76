// Native windows: creation protocol, geometry, show states, enable, other processes.
#include "NativeTestSupport.h"
#include "tavex/Codes.h"

namespace Tavex::NativeTest {
namespace {

class NativeWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TAVEX_REQUIRE_DISPLAY();
    Log().clear();
  }
};

void* g_createParam = nullptr;
LRESULT StoringProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Log().push_back(Seen{hwnd, msg, wParam, lParam});
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
    g_createParam = cs->lpCreateParams;
    Native::SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  if (msg == WM_NCCREATE && reinterpret_cast<CREATESTRUCT*>(lParam)->lpCreateParams == nullptr) {
    return 0;  // refuse creation without a parameter
  }
  return Native::DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST_F(NativeWindowTest, CreationAndDestructionFollowTheClassicMessageOrder) {
  WNDCLASS wc{};
  wc.lpfnWndProc = StoringProc;
  wc.lpszClassName = "NativeWindowStoring";
  ASSERT_TRUE(Native::RegisterClass(wc));
  ASSERT_TRUE(Native::RegisterClass(wc)) << "registering twice succeeds";
  WNDCLASS info{};
  ASSERT_TRUE(Native::GetClassInfo(nullptr, "NativeWindowStoring", &info));
  EXPECT_EQ(info.lpfnWndProc, &StoringProc);
  EXPECT_FALSE(Native::GetClassInfo(nullptr, "NoSuchClass", &info));

  int object = 5;
  HWND hwnd = Native::CreateWindowEx(0, "NativeWindowStoring", "Title", WS_POPUP, 20, 30, 300,
                                     200, nullptr, nullptr, nullptr, &object);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(g_createParam, &object);
  EXPECT_EQ(Native::GetWindowLongPtr(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&object));
  ASSERT_GE(Log().size(), 2u);
  EXPECT_EQ(Log()[0].msg, WM_NCCREATE);
  EXPECT_EQ(Log()[1].msg, WM_CREATE);
  EXPECT_EQ(Native::GetWindowText(hwnd), "Title");
  EXPECT_FALSE(Native::IsWindowVisible(hwnd)) << "no WS_VISIBLE";

  Log().clear();
  EXPECT_TRUE(Native::DestroyWindow(hwnd));
  const auto order = Only({WM_DESTROY, WM_NCDESTROY});
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(order[0].msg, WM_DESTROY);
  EXPECT_EQ(order[1].msg, WM_NCDESTROY);
  EXPECT_FALSE(Native::IsWindow(hwnd));
  EXPECT_FALSE(Native::DestroyWindow(hwnd));

  HWND again = Native::CreateWindowEx(0, "NativeWindowStoring", "", WS_POPUP, 0, 0, 10, 10,
                                      nullptr, nullptr, nullptr, &object);
  EXPECT_NE(again, hwnd) << "handles are never reused";
  Native::DestroyWindow(again);

  EXPECT_EQ(Native::CreateWindowEx(0, "NativeWindowStoring", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, nullptr, nullptr),
            nullptr)
      << "a 0 answer to WM_NCCREATE fails the creation";
  EXPECT_EQ(Native::CreateWindowEx(0, "Unregistered", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, nullptr, nullptr),
            nullptr);
}

TEST_F(NativeWindowTest, MovingAndSizingReportTheNewGeometry) {
  HWND hwnd = ShownWindow(100, 100, 300, 200);
  ASSERT_NE(hwnd, nullptr);
  Log().clear();
  ASSERT_TRUE(Native::MoveWindow(hwnd, 150, 120, 400, 250, true));
  const auto sizes = Only({WM_SIZE});
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(sizes[0].lParam), 400);
  EXPECT_EQ(GET_Y_LPARAM(sizes[0].lParam), 250);
  const auto moves = Only({WM_MOVE});
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 150);
  EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 120);
  Pump(100);
  EXPECT_EQ(Count(WM_SIZE), 1) << "the server's confirmation adds nothing";

  RECT r{};
  ASSERT_TRUE(Native::GetWindowRect(hwnd, &r));
  EXPECT_EQ(r.left, 150);
  EXPECT_EQ(r.top, 120);
  EXPECT_EQ(r.right, 550);
  EXPECT_EQ(r.bottom, 370);
  ASSERT_TRUE(Native::GetClientRect(hwnd, &r));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 400);
  EXPECT_EQ(r.bottom, 250);
  POINT p{160, 130};
  ASSERT_TRUE(Native::ScreenToClient(hwnd, &p));
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 10);
  ASSERT_TRUE(Native::ClientToScreen(hwnd, &p));
  EXPECT_EQ(p.x, 160);

  Log().clear();
  ASSERT_TRUE(Native::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
  EXPECT_EQ(Count(WM_SIZE), 0);
  EXPECT_EQ(Count(WM_MOVE), 1);
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeWindowTest, ShowStatesMaximiseToTheWorkAreaAndRestore) {
  HWND hwnd = ShownWindow(50, 60, 320, 240);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(Native::IsWindowVisible(hwnd));
  RECT work{};
  ASSERT_TRUE(Native::GetWorkArea(hwnd, &work));
  EXPECT_GT(work.right - work.left, 320);

  Log().clear();
  Native::ShowWindow(hwnd, SW_MAXIMIZE);
  EXPECT_TRUE(Native::IsZoomed(hwnd));
  RECT r{};
  Native::GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.right, work.right);
  EXPECT_EQ(r.bottom, work.bottom);
  ASSERT_FALSE(Only({WM_SIZE}).empty());
  EXPECT_EQ(Only({WM_SIZE}).back().wParam, SIZE_MAXIMIZED);

  Native::ShowWindow(hwnd, SW_RESTORE);
  EXPECT_FALSE(Native::IsZoomed(hwnd));
  Native::GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(r.right - r.left, 320);

  Log().clear();
  Native::ShowWindow(hwnd, SW_MINIMIZE);
  EXPECT_TRUE(Native::IsIconic(hwnd));
  ASSERT_FALSE(Only({WM_SIZE}).empty());
  EXPECT_EQ(Only({WM_SIZE}).back().wParam, SIZE_MINIMIZED);
  Pump(50);
  EXPECT_TRUE(Native::IsIconic(hwnd));
  Native::ShowWindow(hwnd, SW_RESTORE);
  EXPECT_FALSE(Native::IsIconic(hwnd));
  EXPECT_EQ(Only({WM_SIZE}).back().wParam, SIZE_RESTORED);

  EXPECT_TRUE(Native::ShowWindow(hwnd, SW_HIDE)) << "returns the previous visibility";
  EXPECT_FALSE(Native::IsWindowVisible(hwnd));
  EXPECT_FALSE(Native::ShowWindow(hwnd, SW_HIDE));
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeWindowTest, EnablingReportsThePreviousStateAndSendsWmEnable) {
  HWND hwnd = ShownWindow(0, 0, 50, 50);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(Native::IsWindowEnabled(hwnd));
  EXPECT_FALSE(Native::EnableWindow(hwnd, false));
  EXPECT_FALSE(Native::IsWindowEnabled(hwnd));
  EXPECT_NE(Native::GetWindowLongPtr(hwnd, GWL_STYLE) & WS_DISABLED, 0);
  EXPECT_TRUE(Native::EnableWindow(hwnd, true));
  const auto enables = Only({WM_ENABLE});
  ASSERT_EQ(enables.size(), 2u);
  EXPECT_EQ(enables[0].wParam, 0u);
  EXPECT_EQ(enables[1].wParam, 1u);
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeWindowTest, DestroyingAnOwnerDestroysItsOwnedWindowsFirst) {
  HWND owner = Native::CreateWindowEx(0, RecordingClass(), "o", WS_POPUP, 0, 0, 50, 50, nullptr,
                                      nullptr, nullptr, nullptr);
  HWND owned = Native::CreateWindowEx(0, RecordingClass(), "d", WS_POPUP, 0, 0, 20, 20, owner,
                                      nullptr, nullptr, nullptr);
  ASSERT_NE(owned, nullptr);
  EXPECT_EQ(Native::GetParent(owned), owner);
  Log().clear();
  Native::DestroyWindow(owner);
  EXPECT_FALSE(Native::IsWindow(owned));
  const auto destroys = Only({WM_DESTROY});
  ASSERT_EQ(destroys.size(), 2u);
  EXPECT_EQ(destroys[0].hwnd, owned);
  EXPECT_EQ(destroys[1].hwnd, owner);
}

TEST_F(NativeWindowTest, AnotherProcessFindsTheMarkedWindowAndPostsOnlyAllowedMessages) {
  HWND hwnd = ShownWindow(0, 0, 60, 60);
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(Native::SetExternalMark(hwnd, "TavexTestMark", "1"));
  Pump(20);
  const std::uint64_t id = Native::FindExternalWindow("TavexTestMark");
  EXPECT_EQ(id, Native::GetNativeId(hwnd));
  EXPECT_EQ(Native::FindExternalWindow("TavexNoSuchMark"), 0u);

  Native::AllowExternalMessage(Tavex::WM_EXTERNALREQUEST);
  ASSERT_TRUE(Native::PostExternalMessage(id, 0x69C, 0, 1));  // not allowed: dropped
  ASSERT_TRUE(Native::PostExternalMessage(id, Tavex::WM_EXTERNALREQUEST, 3, Tavex::kExternalQuit));
  ASSERT_TRUE(PumpUntil([] { return Count(Tavex::WM_EXTERNALREQUEST) == 1; }));
  Pump(30);
  EXPECT_EQ(Count(0x69C), 0);
  const Seen quit = Only({Tavex::WM_EXTERNALREQUEST}).front();
  EXPECT_EQ(quit.hwnd, hwnd);
  EXPECT_EQ(quit.wParam, 3u);
  EXPECT_EQ(quit.lParam, Tavex::kExternalQuit);
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeWindowTest, AClosedWindowIsDestroyedByTheDefaultProcedure) {
  HWND hwnd = ShownWindow(0, 0, 40, 40);
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(Native::PostMessage(hwnd, WM_CLOSE, 0, 0));
  ASSERT_TRUE(PumpUntil([hwnd] { return !Native::IsWindow(hwnd); }));
  EXPECT_EQ(Count(WM_CLOSE), 1);
  EXPECT_EQ(Count(WM_NCDESTROY), 1);
}

}  // namespace
}  // namespace Tavex::NativeTest

#include "tavex/Painter.h"

namespace Tavex::NativeTest {
namespace {

TEST_F(NativeWindowTest, APresentedSurfaceIsWhatTheWindowShows) {
  HWND hwnd = ShownWindow(30, 30, 64, 48);
  ASSERT_NE(hwnd, nullptr);
  Surface s(64, 48);
  {
    Painter p(s);
    p.Clear(0xFF202020);
    p.FillRect(RECT{10, 10, 20, 20}, 0xFFCA5100);
  }
  ASSERT_TRUE(s.Present(hwnd, RECT{0, 0, 64, 48}, 0, 0));
  // Part of the surface to another place: the accent square lands at (40, 30).
  ASSERT_TRUE(s.Present(hwnd, RECT{10, 10, 20, 20}, 40, 30));
  const Image shown = CaptureWindow(hwnd);
  ASSERT_FALSE(shown.IsNull());
  EXPECT_EQ(shown.Pixel(0, 0), 0xFF202020u);
  EXPECT_EQ(shown.Pixel(15, 15), 0xFFCA5100u);
  EXPECT_EQ(shown.Pixel(45, 35), 0xFFCA5100u);
  EXPECT_EQ(shown.Pixel(39, 35), 0xFF202020u);
  EXPECT_FALSE(s.Present(nullptr, RECT{0, 0, 1, 1}, 0, 0));
  Native::DestroyWindow(hwnd);
  EXPECT_TRUE(CaptureWindow(hwnd).IsNull());
}

}  // namespace
}  // namespace Tavex::NativeTest

#include <cstdlib>
#include <string>

namespace Tavex::NativeTest {
namespace {

TEST_F(NativeWindowTest, AWindowDestroyedByAnotherClientIsDestroyedHereToo) {
  HWND hwnd = ShownWindow(0, 0, 40, 40);
  ASSERT_NE(hwnd, nullptr);
  const std::string command =
      "xdotool windowclose " + std::to_string(Native::GetNativeId(hwnd)) + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << "xdotool is part of the test tools";
  ASSERT_TRUE(PumpUntil([hwnd] { return !Native::IsWindow(hwnd); }));
  EXPECT_EQ(Count(WM_DESTROY, hwnd), 1);
  EXPECT_EQ(Count(WM_NCDESTROY, hwnd), 1);
}

}  // namespace
}  // namespace Tavex::NativeTest
