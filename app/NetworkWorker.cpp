#include "app/NetworkWorker.h"

#include <utility>

NetworkWorker::~NetworkWorker() { Stop(); }

bool NetworkWorker::Post(Job job) {
  if (!job) return false;
  std::lock_guard lock(mutex_);
  if (stopped_) return false;
  jobs_.push_back(std::move(job));
  if (!thread_.joinable()) thread_ = std::thread([this] { Loop(); });
  changed_.notify_one();
  return true;
}

void NetworkWorker::Stop() {
  std::thread ending;
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    jobs_.clear();
    ending = std::move(thread_);
  }
  changed_.notify_all();
  if (ending.joinable()) ending.join();
}

void NetworkWorker::Loop() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return stopped_ || !jobs_.empty(); });
      if (stopped_) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    // Run without the lock, so that a job may post the next one.
    job();
  }
}
