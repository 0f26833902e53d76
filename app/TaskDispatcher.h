// The main window's task queue and the rule that runs it: one code per step, in queue order.
//
//  - Codes 2 and 3 refresh the devices (with the window enabled) whether or not a keyboard is
//    connected; 2 also marks the first refresh as done.
//  - Without a connected keyboard every code is then dropped; one that closes the wait dialog
//    still closes it, so that an unplug while the dialog shows does not leave it up.
//  - Otherwise the window is disabled, the code's registered work runs (a code without work does
//    nothing), codes that close the wait dialog close it and pause 100 ms, and the window is
//    enabled again before the code leaves the queue.
//
// Threads: QueueTask from any thread; RegisterTask before the worker starts or from any thread
// (the table has its own lock); RunStep on the worker only. The host and the clock must outlive
// the dispatcher.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

#include "app/TaskCodes.h"
#include "app/TaskHost.h"
#include "app/TaskQueue.h"
#include "platform/Clock.h"

class TaskDispatcher {
 public:
  using Work = std::function<void()>;
  static constexpr std::chrono::milliseconds kWaitDialogPause{100};

  explicit TaskDispatcher(TaskHost& host, platform::Clock& clock = platform::SystemClock());

  // Appends `code` to the back of the queue.
  void QueueTask(uint32_t code);

  // Sets the work of `code`, replacing earlier work. False for the refresh codes 2 and 3, whose
  // work is the host's refresh, and for empty work.
  bool RegisterTask(uint32_t code, Work work);

  // One step of the worker: handles the front code, if any.
  void RunStep();

  // Blocks until a code is queued or `giveUp` returns true; `giveUp` is checked under the queue's
  // lock, so a WakeWaiters after its answer changes is never missed. Worker thread.
  void WaitForTask(const std::function<bool()>& giveUp) { queue_.WaitForCode(giveUp); }
  // Makes WaitForTask check `giveUp` again. Any thread.
  void WakeWaiters() { queue_.WakeWaiters(); }

  bool FirstRefreshDone() const { return firstRefreshDone_.load(); }
  size_t PendingTasks() const { return queue_.Size(); }

 private:
  Work WorkOf(uint32_t code) const;

  TaskHost& host_;
  platform::Clock& clock_;
  TaskQueue queue_;
  std::atomic<bool> firstRefreshDone_{false};

  mutable std::mutex tableMutex_;
  std::map<uint32_t, Work> table_;
};
