#include "app/CThreadBasic.h"

CThreadBasic::CThreadBasic(platform::Clock& clock) : clock_(clock) {}

CThreadBasic::~CThreadBasic() {
  running_.store(false);
  JoinWorker();
}

bool CThreadBasic::StartWorker(bool loop) {
  if (running_.load()) return false;
  if (thread_.joinable()) {
    {
      std::lock_guard lock(doneMutex_);
      if (!done_) return false;  // the last step of a stopped worker is still running
    }
    thread_.join();
  }
  pauseMs_.store(kWorkerPauseMs);
  loop_.store(loop);
  startTick_.store(clock_.Now().count());
  {
    std::lock_guard lock(doneMutex_);
    done_ = false;
  }
  running_.store(true);
  thread_ = std::thread([this] { ThreadFunction(); });
  return true;
}

bool CThreadBasic::StopWorker() {
  if (!thread_.joinable()) return true;
  running_.store(false);
  WakeWorker();
  bool ended = false;
  {
    std::unique_lock lock(doneMutex_);
    ended = doneSignal_.wait_for(lock, kStopTimeout, [this] { return done_; });
  }
  if (ended) thread_.join();
  return ended;
}

void CThreadBasic::JoinWorker() {
  if (thread_.joinable()) thread_.join();
}

int CThreadBasic::ThreadFunction() {
  if (loop_.load()) {
    while (running_.load()) {
      Step();
      if (!running_.load()) break;  // no pause once a stop was asked for
      // An absolute deadline: the pause is exact however often the sleep is interrupted.
      clock_.SleepUntil(clock_.Now() + std::chrono::milliseconds(pauseMs_.load()));
      AwaitWork();
    }
  } else {
    Step();
  }
  SignalDone();
  return result_;
}

void CThreadBasic::SignalDone() {
  std::lock_guard lock(doneMutex_);
  done_ = true;
  doneSignal_.notify_all();
}
