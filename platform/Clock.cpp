#include "platform/Clock.h"

#include "platform/PreciseSleep.h"

namespace platform {
namespace {

class MonotonicClock final : public Clock {
 public:
  std::chrono::nanoseconds Now() override { return MonotonicNow(); }
  void SleepUntil(std::chrono::nanoseconds deadline) override { platform::SleepUntil(deadline); }
};

}  // namespace

Clock& SystemClock() {
  static MonotonicClock clock;
  return clock;
}

}  // namespace platform
