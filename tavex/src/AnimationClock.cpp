#include "tavex/AnimationClock.h"

#include <ctime>

namespace Tavex {

namespace {
std::atomic<AnimationClock*> g_installed{nullptr};

std::int64_t MonotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}
}  // namespace

std::int64_t AnimationClock::NowNs() {
  const AnimationClock* clock = g_installed.load(std::memory_order_acquire);
  return clock != nullptr ? clock->Nanoseconds() : MonotonicNs();
}

std::int64_t AnimationClock::NowMs() { return NowNs() / 1000000; }

AnimationClock* AnimationClock::Install(AnimationClock* clock) {
  return g_installed.exchange(clock, std::memory_order_acq_rel);
}

}  // namespace Tavex
