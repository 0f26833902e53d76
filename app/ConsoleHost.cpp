#include "app/ConsoleHost.h"

#include <cstdio>

void Report(const std::string& text) {
  std::printf("keywright: %s\n", text.c_str());
  std::fflush(stdout);
}

ConsoleHost::ConsoleHost(DeviceRefresh refresh) : refresh_(std::move(refresh)) {}

void ConsoleHost::RefreshDevices() {
  if (!refresh_) {
    connected_.store(false);
    Report("device refresh: no device layer in this build, no keyboard");
    return;
  }
  const bool connected = refresh_();
  connected_.store(connected);
  Report(connected ? "device refresh: keyboard connected" : "device refresh: no keyboard");
}

void ConsoleHost::EnableWindow(bool enable) {
  Report(enable ? "task done" : "task running");
}

void ConsoleHost::CloseWaitDialog() { Report("wait dialog closed"); }
