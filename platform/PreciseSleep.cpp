#include "platform/PreciseSleep.h"

#include <time.h>

#include <cerrno>

namespace platform {

std::chrono::nanoseconds MonotonicNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

void SleepUntil(std::chrono::nanoseconds deadline) {
  if (deadline.count() <= 0) return;
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(deadline);
  timespec target{};
  target.tv_sec = static_cast<time_t>(seconds.count());
  target.tv_nsec = static_cast<long>((deadline - seconds).count());
  // A signal interrupts the sleep; the absolute deadline makes resuming exact.
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &target, nullptr) == EINTR) {
  }
}

void SleepFor(std::chrono::nanoseconds duration) { SleepUntil(MonotonicNow() + duration); }

}  // namespace platform
