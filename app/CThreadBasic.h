// The worker thread base of the main window: runs the step of a derived class over and over, with
// a pause between steps, on a thread of its own. A derived class that has nothing to do between
// steps lets the thread sleep in AwaitWork instead of waking every pause.
//
// Threads: StartWorker, StopWorker and JoinWorker are called by the owner's thread (the UI
// thread); Step runs on the worker thread. The derived class must stop and join the worker in its
// own destructor (JoinWorker), because a step that still runs uses the derived part.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/Clock.h"

class CThreadBasic {
 public:
  static constexpr int kDefaultPauseMs = 100;  // after construction
  static constexpr int kWorkerPauseMs = 33;    // set by StartWorker
  static constexpr std::chrono::milliseconds kStopTimeout{1000};

  // `clock` paces the pause between steps; it must outlive the worker.
  explicit CThreadBasic(platform::Clock& clock = platform::SystemClock());
  CThreadBasic(const CThreadBasic&) = delete;
  CThreadBasic& operator=(const CThreadBasic&) = delete;
  virtual ~CThreadBasic();

  // The work of one iteration; runs on the worker thread.
  virtual void Step() = 0;

  // Blocks the worker thread after a step's pause until there is more work or the worker is
  // stopped (IsWorkerRunning false). The default does not block: the loop steps every pause.
  virtual void AwaitWork() {}
  // Wakes AwaitWork; called by StopWorker after the running flag is cleared, from the owner's
  // thread. An override must not lose a wake-up that comes just before AwaitWork starts waiting.
  virtual void WakeWorker() {}

  // Starts the worker with a pause of 33 ms, stepping repeatedly (or once when `loop` is false).
  // False when it already runs, or when a previous worker has not finished its last step yet.
  bool StartWorker(bool loop = true);

  // Asks the worker to end and waits at most 1000 ms for it. True when it has ended; false when a
  // step is still running, which then finishes on its own (JoinWorker waits for it).
  bool StopWorker();

  // Waits, without limit, until the worker thread has ended and releases it. The running flag
  // must be clear (StopWorker) or the loop flag off, else this waits for ever.
  void JoinWorker();

  // True between StartWorker and StopWorker. Long tasks poll it to end early on shutdown.
  bool IsWorkerRunning() const { return running_.load(); }

  int Pause() const { return pauseMs_.load(); }
  void SetPause(int milliseconds) { pauseMs_.store(milliseconds); }
  // Loop flag: true runs the step repeatedly, false runs it once.
  bool Looping() const { return loop_.load(); }
  // Clock time when the worker was last started.
  std::chrono::nanoseconds StartTick() const { return std::chrono::nanoseconds(startTick_.load()); }
  int Result() const { return result_; }

 protected:
  // The worker thread's body: steps while running (or once), then signals the end.
  int ThreadFunction();

 private:
  void SignalDone();

  platform::Clock& clock_;
  std::atomic<bool> running_{false};
  std::atomic<bool> loop_{true};
  std::atomic<int> pauseMs_{kDefaultPauseMs};
  std::atomic<int64_t> startTick_{0};
  int result_ = 0;

  // The done event: set when the thread function ends.
  std::mutex doneMutex_;
  std::condition_variable doneSignal_;
  bool done_ = true;

  std::thread thread_;
};
