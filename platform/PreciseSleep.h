// Monotonic time and sleeps to absolute deadlines (immune to wall-clock changes and to early
// wake-ups by signals). Callable from any thread.
#pragma once

#include <chrono>

namespace platform {

// Time since an arbitrary fixed point of the monotonic clock.
std::chrono::nanoseconds MonotonicNow();

// Sleeps until MonotonicNow() >= deadline; returns at once when the deadline has passed.
void SleepUntil(std::chrono::nanoseconds deadline);

// SleepUntil(MonotonicNow() + duration).
void SleepFor(std::chrono::nanoseconds duration);

}  // namespace platform
