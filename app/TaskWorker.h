// The worker of the main window: a CThreadBasic whose step runs one step of a task dispatcher.
// Owned by the UI thread; the dispatcher must outlive it. Destruction stops the worker and waits
// for a step in progress to finish.
#pragma once

#include "app/CThreadBasic.h"
#include "app/TaskDispatcher.h"

class TaskWorker final : public CThreadBasic {
 public:
  explicit TaskWorker(TaskDispatcher& dispatcher,
                      platform::Clock& clock = platform::SystemClock());
  ~TaskWorker() override;

  void Step() override;
  // Sleeps while the dispatcher's queue is empty, so an idle window costs no wake-ups.
  void AwaitWork() override;
  void WakeWorker() override;

 private:
  TaskDispatcher& dispatcher_;
};
