// Carries the hot-plug monitor's notices to the main window: the monitor thread stores each
// notice and posts WM_DEVICECHANGE with its kind (arrival 0x8000 or removal 0x8004);
// the window's handler takes the stored notices in arrival order. Notices are kept here rather
// than in the message so that none is lost or leaked when the window stops listening.
//
// Ownership: owns the monitor. Threads: Start, Stop and Take on the UI thread; the monitor thread
// stores and posts.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/HotPlugMonitor.h"
#include "tavex/WinTypes.h"

// wParam of WM_DEVICECHANGE: a HID interface arrived, or its removal is complete.
inline constexpr WPARAM kDeviceArrival = 0x8000;
inline constexpr WPARAM kDeviceRemoveComplete = 0x8004;

class HotPlugInbox {
 public:
  using Poster = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;

  HotPlugInbox() = default;
  ~HotPlugInbox() { Stop(); }
  HotPlugInbox(const HotPlugInbox&) = delete;
  HotPlugInbox& operator=(const HotPlugInbox&) = delete;

  // Starts the monitor; false when it has no source to watch (the program goes on without).
  bool Start(Poster poster);
  void Stop();

  // The notices stored since the last call, oldest first.
  std::vector<platform::HotPlugNotice> Take();

  // The message's wParam for a notice of `kind`.
  static WPARAM EventCode(platform::HotPlugKind kind) {
    return kind == platform::HotPlugKind::Arrival ? kDeviceArrival : kDeviceRemoveComplete;
  }

 private:
  platform::HotPlugMonitor monitor_;
  std::mutex mutex_;
  std::deque<platform::HotPlugNotice> notices_;
};
