// The task host of the program while it runs without its main window: it reports on standard
// output what the worker asks of the window, and finds keyboards through a refresh function the
// device layer provides. Called on the worker thread; the refresh function is set before the
// worker starts.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "app/TaskHost.h"

class ConsoleHost final : public TaskHost {
 public:
  // Refreshes the device state; returns whether a keyboard is connected.
  using DeviceRefresh = std::function<bool()>;

  explicit ConsoleHost(DeviceRefresh refresh = {});

  bool IsKeyboardConnected() const override { return connected_.load(); }
  void RefreshDevices() override;
  void EnableWindow(bool enable) override;
  void CloseWaitDialog() override;

 private:
  DeviceRefresh refresh_;
  std::atomic<bool> connected_{false};
};

// Prints one line "keywright: <text>" at once (any thread).
void Report(const std::string& text);
