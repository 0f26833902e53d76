// The worker's queue of task codes: appended at the back by any thread, read and removed at the
// front by the worker. One lock, held only inside these calls, never while a task runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

class TaskQueue {
 public:
  void Push(uint32_t code);
  // The front code without removing it; nullopt when the queue is empty.
  std::optional<uint32_t> Front() const;
  void PopFront();
  size_t Size() const;

 private:
  mutable std::mutex mutex_;
  std::deque<uint32_t> codes_;
};
