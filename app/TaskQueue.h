// The worker's queue of task codes: appended at the back by any thread, read and removed at the
// front by the worker, which may sleep until a code arrives. One lock, held only inside these
// calls, never while a task runs.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

class TaskQueue {
 public:
  void Push(uint32_t code);
  // The front code without removing it; nullopt when the queue is empty.
  std::optional<uint32_t> Front() const;
  void PopFront();
  size_t Size() const;
  // Blocks until the queue holds a code or `giveUp` returns true (checked under the lock).
  void WaitForCode(const std::function<bool()>& giveUp);
  // Wakes WaitForCode so that it checks `giveUp` again.
  void WakeWaiters();

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<uint32_t> codes_;
};
