// Monotonic time as an interface, so that code which paces itself can run on a test's clock.
// Implementations must be callable from any thread.
#pragma once

#include <chrono>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Time since a fixed, arbitrary point; never goes backwards.
  virtual std::chrono::nanoseconds Now() = 0;
  // Returns once Now() >= deadline (at once when it has passed).
  virtual void SleepUntil(std::chrono::nanoseconds deadline) = 0;
};

// The monotonic system clock with precise sleeps (platform/PreciseSleep.h). Process-wide and
// stateless.
Clock& SystemClock();

}  // namespace platform
