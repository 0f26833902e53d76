// A main window stand-in for the task dispatcher that records what the worker asked of it, and a
// clock that records pauses instead of sleeping.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "app/TaskHost.h"
#include "platform/Clock.h"

class FakeHost : public TaskHost {
 public:
  bool IsKeyboardConnected() const override { return connected.load(); }
  void RefreshDevices() override { Log("refresh"); }
  void EnableWindow(bool enable) override { Log(enable ? "enable" : "disable"); }
  void CloseWaitDialog() override { Log("close-wait"); }

  void Log(const std::string& entry) {
    std::lock_guard lock(mutex_);
    events_.push_back(entry);
  }
  std::vector<std::string> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  void ClearEvents() {
    std::lock_guard lock(mutex_);
    events_.clear();
  }

  std::atomic<bool> connected{false};

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> events_;
};

// Virtual time that advances only when someone sleeps.
class ManualClock : public platform::Clock {
 public:
  std::chrono::nanoseconds Now() override {
    std::lock_guard lock(mutex_);
    return now_;
  }
  void SleepUntil(std::chrono::nanoseconds deadline) override {
    std::lock_guard lock(mutex_);
    sleeps_.push_back(deadline - now_);
    if (deadline > now_) now_ = deadline;
  }
  std::vector<std::chrono::nanoseconds> Sleeps() const {
    std::lock_guard lock(mutex_);
    return sleeps_;
  }

 private:
  mutable std::mutex mutex_;
  std::chrono::nanoseconds now_{1'000'000'000};
  std::vector<std::chrono::nanoseconds> sleeps_;
};
