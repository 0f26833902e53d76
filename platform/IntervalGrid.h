#pragma once
// Paces a repeating step by the clock: deadlines lie on a fixed grid (start + k × interval), so
// a late wake-up or a slow step shifts neither the later deadlines (no drift) nor crowds them
// (no burst). After a step that ran past one or more deadlines the next step starts at once, and
// the deadlines it missed are dropped.
//
// Ownership: the clock is borrowed and must outlive the grid.
// Threads: one thread at a time (the one that paces itself).
#include <chrono>
#include <cstdint>

#include "platform/Clock.h"

namespace platform {

class IntervalGrid {
 public:
  IntervalGrid(Clock& clock, std::chrono::nanoseconds interval);

  // Anchors the grid at the clock's now (as does construction): the next deadline is one
  // interval later.
  void Restart();
  // The spacing of the deadlines after the current one (values below 1 ns are ignored).
  void SetInterval(std::chrono::nanoseconds interval);
  std::chrono::nanoseconds Interval() const { return interval_; }

  // Sleeps until the next deadline (or not at all when it has passed) and returns that deadline.
  std::chrono::nanoseconds Wait();
  // The deadline the last Wait returned (the anchor before any).
  std::chrono::nanoseconds Deadline() const { return deadline_; }
  // Deadlines dropped because the steps before them ran past them.
  int64_t Dropped() const { return dropped_; }

 private:
  Clock& clock_;
  std::chrono::nanoseconds interval_;
  std::chrono::nanoseconds deadline_;
  int64_t dropped_ = 0;
};

}  // namespace platform
