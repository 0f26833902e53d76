#include "platform/IntervalGrid.h"

namespace platform {

IntervalGrid::IntervalGrid(Clock& clock, std::chrono::nanoseconds interval)
    : clock_(clock),
      interval_(interval.count() > 0 ? interval : std::chrono::nanoseconds{1}),
      deadline_(clock.Now()) {}

void IntervalGrid::Restart() { deadline_ = clock_.Now(); }

void IntervalGrid::SetInterval(std::chrono::nanoseconds interval) {
  if (interval.count() > 0) interval_ = interval;
}

std::chrono::nanoseconds IntervalGrid::Wait() {
  const std::chrono::nanoseconds now = clock_.Now();
  std::chrono::nanoseconds next = deadline_ + interval_;
  if (now < next) {
    clock_.SleepUntil(next);
  } else {
    // Late: step now, on the newest deadline already passed, and drop the older ones.
    const int64_t missed = (now - next) / interval_;
    next += missed * interval_;
    dropped_ += missed;
  }
  deadline_ = next;
  return deadline_;
}

}  // namespace platform
