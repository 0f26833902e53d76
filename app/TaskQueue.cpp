#include "app/TaskQueue.h"

void TaskQueue::Push(uint32_t code) {
  std::lock_guard lock(mutex_);
  codes_.push_back(code);
}

std::optional<uint32_t> TaskQueue::Front() const {
  std::lock_guard lock(mutex_);
  if (codes_.empty()) return std::nullopt;
  return codes_.front();
}

void TaskQueue::PopFront() {
  std::lock_guard lock(mutex_);
  if (!codes_.empty()) codes_.pop_front();
}

size_t TaskQueue::Size() const {
  std::lock_guard lock(mutex_);
  return codes_.size();
}
