#include "app/TaskDispatcher.h"

TaskDispatcher::TaskDispatcher(TaskHost& host, platform::Clock& clock)
    : host_(host), clock_(clock) {}

void TaskDispatcher::QueueTask(uint32_t code) { queue_.Push(code); }

bool TaskDispatcher::RegisterTask(uint32_t code, Work work) {
  if (IsRefreshTask(code) || !work) return false;
  std::lock_guard lock(tableMutex_);
  table_[code] = std::move(work);
  return true;
}

TaskDispatcher::Work TaskDispatcher::WorkOf(uint32_t code) const {
  std::lock_guard lock(tableMutex_);
  const auto found = table_.find(code);
  return found == table_.end() ? Work() : found->second;
}

void TaskDispatcher::RunStep() {
  // No timer resolution to raise here: the worker's clock sleeps to absolute deadlines.
  const std::optional<uint32_t> code = queue_.Front();
  if (!code) return;

  if (IsRefreshTask(*code)) {
    host_.RefreshDevices();
    if (*code == kTaskFirstRefresh) firstRefreshDone_.store(true);
  }
  if (!host_.IsKeyboardConnected()) {
    // The UI opened the wait dialog when it queued this code; with the keyboard gone nothing
    // else would ever close it.
    if (ClosesWaitDialog(*code)) host_.CloseWaitDialog();
    queue_.PopFront();
    return;
  }

  host_.EnableWindow(false);
  // Copied out of the table so that no lock is held while the work runs.
  if (const Work work = WorkOf(*code)) work();
  if (ClosesWaitDialog(*code)) {
    host_.CloseWaitDialog();
    clock_.SleepUntil(clock_.Now() + kWaitDialogPause);
  }
  host_.EnableWindow(true);
  queue_.PopFront();
}
