#include "app/TaskQueue.h"

void TaskQueue::Push(uint32_t code) {
  std::lock_guard lock(mutex_);
  codes_.push_back(code);
  changed_.notify_all();
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

void TaskQueue::WaitForCode(const std::function<bool()>& giveUp) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return !codes_.empty() || giveUp(); });
}

void TaskQueue::WakeWaiters() {
  // Taking the lock orders this after a waiter's check, so the notification cannot fall between
  // its check and its wait.
  std::lock_guard lock(mutex_);
  changed_.notify_all();
}
