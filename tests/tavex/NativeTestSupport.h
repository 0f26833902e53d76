#pragma once
// Shared helpers of the native layer tests: a recording window class and a bounded pump.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "tavex/Native.h"

namespace Tavex::NativeTest {

struct Seen {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Messages seen by RecordingProc, in order (UI thread only).
inline std::vector<Seen>& Log() {
  static std::vector<Seen> log;
  return log;
}

inline LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Log().push_back(Seen{hwnd, msg, wParam, lParam});
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps{};
    Native::BeginPaint(hwnd, &ps);
    Native::EndPaint(hwnd, &ps);
    return 0;
  }
  return Native::DefWindowProc(hwnd, msg, wParam, lParam);
}

inline const char* RecordingClass(bool doubleClicks = true) {
  static bool registered = false;
  if (!registered) {
    WNDCLASS wc{};
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "NativeTestRecording";
    Native::RegisterClass(wc);
    WNDCLASS plain{};
    plain.lpfnWndProc = RecordingProc;
    plain.lpszClassName = "NativeTestPlain";
    Native::RegisterClass(plain);
    registered = true;
  }
  return doubleClicks ? "NativeTestRecording" : "NativeTestPlain";
}

// Runs the loop until `done` or `ms` milliseconds have passed; true when done.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    MSG m{};
    while (Native::PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      Native::TranslateMessage(&m);
      Native::DispatchMessage(&m);
      if (done()) return true;
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

inline void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

inline int Count(UINT msg, HWND hwnd = nullptr) {
  int n = 0;
  for (const Seen& s : Log()) n += (s.msg == msg && (hwnd == nullptr || s.hwnd == hwnd)) ? 1 : 0;
  return n;
}

inline std::vector<Seen> Only(std::initializer_list<UINT> msgs, HWND hwnd = nullptr) {
  std::vector<Seen> out;
  for (const Seen& s : Log()) {
    if (hwnd != nullptr && s.hwnd != hwnd) continue;
    for (UINT m : msgs) {
      if (s.msg == m) out.push_back(s);
    }
  }
  return out;
}

// Tests that need the X server skip only when no display is configured at all.
#define TAVEX_REQUIRE_DISPLAY()                                   \
  do {                                                            \
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY"; \
    ASSERT_TRUE(Native::DisplayAvailable()) << "DISPLAY is set but cannot be opened"; \
  } while (0)

// A shown top-level window at (x, y), mapped and painted once.
inline HWND ShownWindow(int x, int y, int w, int h, bool doubleClicks = true,
                        DWORD exStyle = 0) {
  HWND hwnd = Native::CreateWindowEx(exStyle, RecordingClass(doubleClicks), "test",
                                     WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr,
                                     nullptr, nullptr);
  if (hwnd != nullptr) PumpUntil([hwnd] { return Count(WM_PAINT, hwnd) > 0; });
  return hwnd;
}

}  // namespace Tavex::NativeTest
