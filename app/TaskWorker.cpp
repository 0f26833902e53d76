#include "app/TaskWorker.h"

TaskWorker::TaskWorker(TaskDispatcher& dispatcher, platform::Clock& clock)
    : CThreadBasic(clock), dispatcher_(dispatcher) {}

TaskWorker::~TaskWorker() {
  StopWorker();
  JoinWorker();  // a step that outlived the stop still uses this object
}

void TaskWorker::Step() { dispatcher_.RunStep(); }

void TaskWorker::AwaitWork() {
  dispatcher_.WaitForTask([this] { return !IsWorkerRunning(); });
}

void TaskWorker::WakeWorker() { dispatcher_.WakeWaiters(); }
