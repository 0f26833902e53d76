// Input translation, driven through the X server with synthesised events.
#include "NativeTestSupport.h"
#include "tavex/platform/KeyMap.h"

namespace Tavex::NativeTest {
namespace {

using Native::InputEvent;

void Move(int x, int y) {
  InputEvent e;
  e.kind = InputEvent::MouseMove;
  e.x = x;
  e.y = y;
  ASSERT_EQ(Native::SendInput(&e, 1), 1u);
}

void Click(UINT button = VK_LBUTTON) {
  InputEvent e[2];
  e[0].kind = InputEvent::ButtonDown;
  e[0].vk = button;
  e[1].kind = InputEvent::ButtonUp;
  e[1].vk = button;
  ASSERT_EQ(Native::SendInput(e, 2), 2u);
}

void Key(UINT vk, bool down) {
  InputEvent e;
  e.kind = down ? InputEvent::KeyDown : InputEvent::KeyUp;
  e.vk = vk;
  ASSERT_EQ(Native::SendInput(&e, 1), 1u);
}

class NativeInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TAVEX_REQUIRE_DISPLAY();
    Log().clear();
  }
  // A focused window at (200, 200) with the pointer inside at client (10, 10).
  HWND Focused(bool doubleClicks = true) {
    HWND hwnd = ShownWindow(200, 200, 200, 150, doubleClicks);
    if (hwnd == nullptr) return nullptr;
    Native::SetFocus(hwnd);
    Move(210, 210);
    PumpUntil([hwnd] { return Count(WM_MOUSEMOVE, hwnd) > 0; });
    Log().clear();
    return hwnd;
  }
};

TEST_F(NativeInputTest, ClicksAndDoubleClicksCarryClientCoordinatesAndButtonFlags) {
  HWND hwnd = Focused();
  ASSERT_NE(hwnd, nullptr);
  Click();
  Click();
  Click();
  ASSERT_TRUE(PumpUntil([] { return Count(WM_LBUTTONUP) == 3; }));
  const auto buttons = Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK});
  ASSERT_EQ(buttons.size(), 6u);
  EXPECT_EQ(buttons[0].msg, WM_LBUTTONDOWN);
  EXPECT_EQ(buttons[1].msg, WM_LBUTTONUP);
  EXPECT_EQ(buttons[2].msg, WM_LBUTTONDBLCLK);
  EXPECT_EQ(buttons[4].msg, WM_LBUTTONDOWN) << "a third click starts over";
  EXPECT_EQ(GET_X_LPARAM(buttons[0].lParam), 10);
  EXPECT_EQ(GET_Y_LPARAM(buttons[0].lParam), 10);
  EXPECT_NE(buttons[0].wParam & MK_LBUTTON, 0u);
  EXPECT_EQ(buttons[1].wParam & MK_LBUTTON, 0u);

  Log().clear();
  Click(VK_RBUTTON);
  ASSERT_TRUE(PumpUntil([] { return Count(WM_RBUTTONUP) == 1; }));
  EXPECT_EQ(Count(WM_RBUTTONDOWN), 1);
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeInputTest, ClassesWithoutDoubleClicksGetTwoPresses) {
  HWND hwnd = Focused(false);
  ASSERT_NE(hwnd, nullptr);
  Click();
  Click();
  ASSERT_TRUE(PumpUntil([] { return Count(WM_LBUTTONUP) == 2; }));
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 2);
  EXPECT_EQ(Count(WM_LBUTTONDBLCLK), 0);
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeInputTest, WheelNotchesAre120EachWithScreenCoordinates) {
  HWND hwnd = Focused();
  ASSERT_NE(hwnd, nullptr);
  InputEvent up;
  up.kind = InputEvent::Wheel;
  up.wheelDelta = 240;
  InputEvent down = up;
  down.wheelDelta = -120;
  Native::SendInput(&up, 1);
  Native::SendInput(&down, 1);
  ASSERT_TRUE(PumpUntil([] { return Count(WM_MOUSEWHEEL) == 3; }));
  const auto wheel = Only({WM_MOUSEWHEEL});
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].wParam), 120);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[1].wParam), 120);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[2].wParam), -120);
  EXPECT_EQ(GET_X_LPARAM(wheel[0].lParam), 210);
  EXPECT_EQ(GET_Y_LPARAM(wheel[0].lParam), 210);
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 0) << "wheel buttons are not clicks";
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeInputTest, KeysGiveVirtualKeysModifierStateAndTypedCharacters) {
  HWND hwnd = Focused();
  ASSERT_NE(hwnd, nullptr);
  Key(VK_SHIFT, true);
  Key('A', true);
  Key('A', false);
  Key(VK_SHIFT, false);
  ASSERT_TRUE(PumpUntil([] { return Count(WM_KEYUP) == 2; }));
  const auto keys = Only({WM_KEYDOWN, WM_KEYUP, WM_CHAR});
  ASSERT_EQ(keys.size(), 5u);
  EXPECT_EQ(keys[0].msg, WM_KEYDOWN);
  EXPECT_EQ(keys[0].wParam, VK_SHIFT);
  EXPECT_EQ(keys[1].msg, WM_KEYDOWN);
  EXPECT_EQ(keys[1].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(keys[1].lParam & KF_REPEAT_BIT, 0);
  EXPECT_EQ(keys[2].msg, WM_CHAR);
  EXPECT_EQ(keys[2].wParam, static_cast<WPARAM>('A')) << "shifted";
  EXPECT_EQ(keys[3].msg, WM_KEYUP);
  EXPECT_NE(keys[3].lParam & KF_UP_BIT, 0);
  EXPECT_NE(keys[3].lParam & KF_REPEAT_BIT, 0) << "previous state is down on key up";
  EXPECT_EQ(Native::GetKeyState(VK_SHIFT) & 0x8000, 0);
  Native::DestroyWindow(hwnd);
}

// Shift+Tab typed faster than the loop runs: all four events are read before the Tab is
// handled, yet the Tab must still see Shift down (and the release after it, up).
SHORT g_shiftAtTab = -1;
SHORT g_shiftAtShiftUp = -1;

LRESULT ShiftProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN && wParam == VK_TAB) g_shiftAtTab = Native::GetKeyState(VK_SHIFT);
  if (msg == WM_KEYUP && wParam == VK_SHIFT) g_shiftAtShiftUp = Native::GetKeyState(VK_SHIFT);
  return RecordingProc(hwnd, msg, wParam, lParam);
}

TEST_F(NativeInputTest, AKeySeesTheModifiersOfItsOwnMomentEvenWhenLaterOnesWereRead) {
  WNDCLASS wc{};
  wc.lpfnWndProc = ShiftProbeProc;
  wc.lpszClassName = "NativeTestShiftProbe";
  Native::RegisterClass(wc);
  HWND hwnd = Native::CreateWindowEx(0, "NativeTestShiftProbe", "probe", WS_POPUP | WS_VISIBLE,
                                     200, 200, 200, 150, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(PumpUntil([hwnd] { return Count(WM_PAINT, hwnd) > 0; }));
  Native::SetFocus(hwnd);
  Move(210, 210);
  ASSERT_TRUE(PumpUntil([hwnd] { return Count(WM_MOUSEMOVE, hwnd) > 0; }));
  InputEvent e[4];
  e[0].vk = VK_SHIFT;
  e[1].vk = VK_TAB;
  e[2].kind = InputEvent::KeyUp;
  e[2].vk = VK_TAB;
  e[3].kind = InputEvent::KeyUp;
  e[3].vk = VK_SHIFT;
  ASSERT_EQ(Native::SendInput(e, 4), 4u);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // all four reach our connection
  ASSERT_TRUE(PumpUntil([] { return g_shiftAtShiftUp != -1; }));
  EXPECT_NE(g_shiftAtTab & 0x8000, 0);
  EXPECT_EQ(g_shiftAtShiftUp & 0x8000, 0);
  EXPECT_EQ(Native::GetKeyState(VK_SHIFT) & 0x8000, 0);
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeInputTest, AKeyHeldDownRepeatsWithThePreviousStateBit) {
  HWND hwnd = Focused();
  ASSERT_NE(hwnd, nullptr);
  Key('B', true);
  // The server's auto-repeat starts after its delay (660 ms by default).
  const bool repeated = PumpUntil([] { return Count(WM_KEYDOWN) >= 3; }, 3000);
  Key('B', false);
  ASSERT_TRUE(PumpUntil([] { return Count(WM_KEYUP) == 1; }));
  ASSERT_TRUE(repeated) << "no auto-repeat from the server";
  const auto downs = Only({WM_KEYDOWN});
  EXPECT_EQ(downs[0].lParam & KF_REPEAT_BIT, 0);
  for (std::size_t i = 1; i < downs.size(); ++i) EXPECT_NE(downs[i].lParam & KF_REPEAT_BIT, 0);
  EXPECT_EQ(Count(WM_KEYUP), 1) << "repeats bring no releases";
  EXPECT_EQ(static_cast<std::size_t>(Count(WM_CHAR)), downs.size()) << "each repeat types again";
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeInputTest, AltTurnsKeysIntoSystemKeysAndCtrlLettersIntoControlCharacters) {
  HWND hwnd = Focused();
  ASSERT_NE(hwnd, nullptr);
  Native::GetAsyncKeyState(VK_F4);  // reset the "pressed since" bit
  Key(VK_MENU, true);
  Key(VK_F4, true);
  ASSERT_TRUE(PumpUntil([] { return Count(WM_SYSKEYDOWN) == 2; }));
  EXPECT_NE(Native::GetAsyncKeyState(VK_MENU) & 0x8000, 0);
  EXPECT_NE(Native::GetAsyncKeyState(VK_F4) & 0x8000, 0);
  const auto sys = Only({WM_SYSKEYDOWN});
  EXPECT_EQ(sys[1].wParam, VK_F4);
  EXPECT_NE(sys[1].lParam & KF_ALTDOWN_BIT, 0);
  Key(VK_F4, false);
  Key(VK_MENU, false);
  ASSERT_TRUE(PumpUntil([] { return Count(WM_SYSKEYUP) + Count(WM_KEYUP) == 2; }));
  const SHORT f4 = Native::GetAsyncKeyState(VK_F4);
  EXPECT_EQ(f4 & 0x8000, 0);
  EXPECT_EQ(Native::GetAsyncKeyState(VK_F4) & 1, 0) << "the pressed-since bit is read once";

  Log().clear();
  Key(VK_CONTROL, true);
  Key('A', true);
  Key('A', false);
  Key(VK_CONTROL, false);
  ASSERT_TRUE(PumpUntil([] { return Count(WM_KEYUP) == 2; }));
  const auto chars = Only({WM_CHAR});
  ASSERT_EQ(chars.size(), 1u);
  EXPECT_EQ(chars[0].wParam, 1u);
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeInputTest, DisabledWindowsTakeNoInput) {
  HWND hwnd = Focused();
  ASSERT_NE(hwnd, nullptr);
  Native::EnableWindow(hwnd, false);
  Click();
  Key('C', true);
  Key('C', false);
  Pump(150);
  EXPECT_EQ(Count(WM_LBUTTONDOWN), 0);
  EXPECT_EQ(Count(WM_KEYDOWN), 0);
  Native::EnableWindow(hwnd, true);
  Click();
  EXPECT_TRUE(PumpUntil([] { return Count(WM_LBUTTONUP) == 1; }));
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeInputTest, LeaveAndHoverAreReportedOnceWhenTracked) {
  HWND hwnd = Focused();
  ASSERT_NE(hwnd, nullptr);
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE | TME_HOVER, hwnd, 50};
  ASSERT_TRUE(Native::TrackMouseEvent(&tme));
  ASSERT_TRUE(PumpUntil([] { return Count(WM_MOUSEHOVER) == 1; }));
  const Seen hover = Only({WM_MOUSEHOVER}).front();
  EXPECT_EQ(GET_X_LPARAM(hover.lParam), 10);
  EXPECT_EQ(Count(WM_MOUSELEAVE), 0);
  Move(10, 10);
  ASSERT_TRUE(PumpUntil([] { return Count(WM_MOUSELEAVE) == 1; }));
  Move(220, 220);
  Move(5, 5);
  Pump(150);
  EXPECT_EQ(Count(WM_MOUSELEAVE), 1) << "one-shot until tracked again";
  EXPECT_EQ(Count(WM_MOUSEHOVER), 1);
  // Tracking a leave while the pointer is outside reports it at once.
  ASSERT_TRUE(Native::TrackMouseEvent(&tme));
  EXPECT_TRUE(PumpUntil([] { return Count(WM_MOUSELEAVE) == 2; }));
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeInputTest, CaptureKeepsMouseMessagesOutsideTheWindow) {
  HWND hwnd = Focused();
  ASSERT_NE(hwnd, nullptr);
  HWND other = ShownWindow(600, 200, 100, 100);
  ASSERT_NE(other, nullptr);
  Native::SetCapture(hwnd);
  EXPECT_EQ(Native::GetCapture(), hwnd);
  Log().clear();
  Move(650, 250);
  ASSERT_TRUE(PumpUntil([hwnd] { return Count(WM_MOUSEMOVE, hwnd) > 0; }));
  const Seen move = Only({WM_MOUSEMOVE}, hwnd).back();
  EXPECT_EQ(GET_X_LPARAM(move.lParam), 450);
  EXPECT_EQ(Count(WM_MOUSEMOVE, other), 0);
  EXPECT_TRUE(Native::ReleaseCapture());
  EXPECT_EQ(Count(WM_CAPTURECHANGED, hwnd), 1);
  Move(655, 255);
  EXPECT_TRUE(PumpUntil([other] { return Count(WM_MOUSEMOVE, other) > 0; }));
  Native::DestroyWindow(other);
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeInputTest, FocusMovesBetweenWindowsWithKillAndSetFocus) {
  HWND a = ShownWindow(0, 0, 50, 50);
  HWND b = ShownWindow(60, 0, 50, 50);
  ASSERT_NE(b, nullptr);
  Native::SetFocus(a);
  Log().clear();
  EXPECT_EQ(Native::SetFocus(b), a);
  EXPECT_EQ(Native::GetFocus(), b);
  const auto focus = Only({WM_KILLFOCUS, WM_SETFOCUS});
  ASSERT_EQ(focus.size(), 2u);
  EXPECT_EQ(focus[0].hwnd, a);
  EXPECT_EQ(focus[0].msg, WM_KILLFOCUS);
  EXPECT_EQ(focus[1].hwnd, b);
  EXPECT_EQ(focus[1].wParam, reinterpret_cast<WPARAM>(a));
  Pump(50);
  EXPECT_EQ(Native::GetFocus(), b) << "the server's focus events agree";
  // Back to back, as when a window opens a menu right after taking the focus: the server's
  // notices of the first change arrive late and must not take the focus away again.
  Native::SetFocus(a);
  Native::SetFocus(b);
  Log().clear();
  Pump(80);
  EXPECT_EQ(Native::GetFocus(), b);
  EXPECT_TRUE(Only({WM_KILLFOCUS, WM_SETFOCUS}).empty());
  Native::DestroyWindow(a);
  Native::DestroyWindow(b);
}

TEST(NativeKeyMap, KeysymsMapToVirtualKeysBothWays) {
  using namespace Tavex::Platform;
  EXPECT_EQ(VirtualKeyOfKeysym(0x61), static_cast<UINT>('A'));   // a
  EXPECT_EQ(VirtualKeyOfKeysym(0x41), static_cast<UINT>('A'));   // A
  EXPECT_EQ(VirtualKeyOfKeysym(0x35), static_cast<UINT>('5'));
  EXPECT_EQ(VirtualKeyOfKeysym(0xFFBE), VK_F1);
  EXPECT_EQ(VirtualKeyOfKeysym(0xFFE1), VK_SHIFT);
  EXPECT_EQ(SidedVirtualKeyOfKeysym(0xFFE4), VK_RCONTROL);
  EXPECT_EQ(VirtualKeyOfKeysym(0xFFB3), VK_NUMPAD3);
  EXPECT_EQ(VirtualKeyOfKeysym(0x3B), VK_OEM_1);
  EXPECT_EQ(VirtualKeyOfKeysym(0x1008FF12), VK_VOLUME_MUTE);
  EXPECT_EQ(VirtualKeyOfKeysym(0x12345), 0u);
  for (UINT vk : {static_cast<UINT>('Q'), static_cast<UINT>('0'), VK_F12, VK_RETURN, VK_LEFT,
                  VK_OEM_4, VK_NUMPAD7, VK_MEDIA_PLAY_PAUSE, VK_LSHIFT, VK_RMENU}) {
    const std::uint32_t ks = KeysymOfVirtualKey(vk);
    ASSERT_NE(ks, 0u) << vk;
    const UINT back = SidedVirtualKeyOfKeysym(ks) ? SidedVirtualKeyOfKeysym(ks) : VirtualKeyOfKeysym(ks);
    EXPECT_EQ(back, vk);
  }
  EXPECT_TRUE(IsExtendedKeysym(0xFF51));    // Left
  EXPECT_FALSE(IsExtendedKeysym(0xFF96));   // KP_Left
  EXPECT_EQ(CodePointOfKeysym(0xFF08), U'\b');
  EXPECT_EQ(CodePointOfKeysym(0xE9), U'\u00E9');
  EXPECT_EQ(CodePointOfKeysym(0x10020AC), U'\u20AC');
  EXPECT_EQ(CodePointOfKeysym(0xFF51), 0u);
  EXPECT_EQ(Native::CodePointToUtf8(0x20AC), "\xE2\x82\xAC");
  EXPECT_EQ(Native::CodePointToUtf8(0xD800), "");
}

TEST(NativeKeyMap, AReleaseFollowedByAPressAtTheSameTimeIsAutoRepeat) {
  using Tavex::Platform::RawKey;
  EXPECT_TRUE(IsAutoRepeatRelease(RawKey{false, 38, 1000}, RawKey{true, 38, 1000}));
  EXPECT_FALSE(IsAutoRepeatRelease(RawKey{false, 38, 1000}, RawKey{true, 38, 1001}));
  EXPECT_FALSE(IsAutoRepeatRelease(RawKey{false, 38, 1000}, RawKey{true, 39, 1000}));
  EXPECT_FALSE(IsAutoRepeatRelease(RawKey{true, 38, 1000}, RawKey{true, 38, 1000}));
}

}  // namespace
}  // namespace Tavex::NativeTest

namespace Tavex::NativeTest {
namespace {

LRESULT DraggingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Log().push_back(Seen{hwnd, msg, wParam, lParam});
  if (msg == WM_LBUTTONDOWN) {
    // What a dialog does when the press is outside every control.
    POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    Native::ClientToScreen(hwnd, &screen);
    return Native::SendMessage(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
  }
  return Native::DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST_F(NativeInputTest, ACaptionPressMovesTheWindowWithThePointer) {
  WNDCLASS wc{};
  wc.lpfnWndProc = DraggingProc;
  wc.lpszClassName = "NativeInputDragging";
  ASSERT_TRUE(Native::RegisterClass(wc));
  HWND hwnd = Native::CreateWindowEx(0, "NativeInputDragging", "drag", WS_POPUP | WS_VISIBLE, 300,
                                     300, 100, 80, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  Pump(50);
  Move(320, 320);
  InputEvent press;
  press.kind = InputEvent::ButtonDown;
  press.vk = VK_LBUTTON;
  Native::SendInput(&press, 1);
  ASSERT_TRUE(PumpUntil([hwnd] { return Count(WM_LBUTTONDOWN, hwnd) == 1; }));
  Move(370, 350);
  RECT r{};
  ASSERT_TRUE(PumpUntil([&] {
    Native::GetWindowRect(hwnd, &r);
    return r.left == 350;
  })) << r.left << "," << r.top;
  EXPECT_EQ(r.top, 330);
  InputEvent release = press;
  release.kind = InputEvent::ButtonUp;
  Native::SendInput(&release, 1);
  ASSERT_TRUE(PumpUntil([hwnd] { return Count(WM_EXITSIZEMOVE, hwnd) == 1; }));
  Move(500, 500);
  Pump(50);
  Native::GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 350) << "the move ended with the release";
  Native::DestroyWindow(hwnd);
}

TEST_F(NativeInputTest, ACaptionPressHandledAfterItsReleaseMovesOnceAndLeavesNoGrab) {
  WNDCLASS wc{};
  wc.lpfnWndProc = DraggingProc;
  wc.lpszClassName = "NativeInputLateDragging";
  ASSERT_TRUE(Native::RegisterClass(wc));
  HWND hwnd = Native::CreateWindowEx(0, "NativeInputLateDragging", "drag", WS_POPUP | WS_VISIBLE,
                                     300, 300, 100, 80, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  Pump(50);
  // The whole drag happens before the loop sees its press, as when the program is busy.
  Move(320, 320);
  InputEvent press;
  press.kind = InputEvent::ButtonDown;
  press.vk = VK_LBUTTON;
  Native::SendInput(&press, 1);
  Move(370, 350);
  InputEvent release = press;
  release.kind = InputEvent::ButtonUp;
  Native::SendInput(&release, 1);
  ASSERT_TRUE(PumpUntil([hwnd] { return Count(WM_EXITSIZEMOVE, hwnd) == 1; }));
  RECT r{};
  Native::GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 350);
  EXPECT_EQ(r.top, 330);
  // No pointer grab is left behind: the next press still reaches the window.
  const int presses = Count(WM_LBUTTONDOWN, hwnd);
  Move(360, 340);
  Native::SendInput(&press, 1);
  Native::SendInput(&release, 1);
  ASSERT_TRUE(PumpUntil([&] { return Count(WM_LBUTTONDOWN, hwnd) == presses + 1; }));
  Native::DestroyWindow(hwnd);
}

}  // namespace
}  // namespace Tavex::NativeTest
