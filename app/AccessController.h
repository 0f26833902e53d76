// The home page's "allow access" button: shown while a keyboard of the device table is present
// but may not be opened. A click installs the udev rule for the table's ids through pkexec on a
// thread of its own (the authentication dialog may stay open for long), then queues a device
// refresh so that the keyboard connects without a replug.
//
// Threads: the PageController calls on the UI thread; the installer thread only reads the HID
// list's filters and queues the refresh (both thread-safe).
#pragma once

#include <atomic>
#include <thread>

#include "app/PageController.h"

class PageHost;

class AccessController : public PageController {
 public:
  explicit AccessController(PageHost& host);
  ~AccessController() override;  // joins the installer

  bool OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  void OnShutdown() override;

 private:
  void Install();  // installer thread

  PageHost& host_;
  std::thread installer_;
  std::atomic<bool> running_{false};
};
