#pragma once
// AnimationClock: the "now" of everything that moves on screen: the window's animation ticks
// (how many ticks a sleep of the timer spanned), GIF frames, the sliding picture strip and the
// caret blink of the window and of the edit box. By default it is the monotonic clock. A test
// or a tool installs a ManualClock and moves time itself, so frames come out exact and nothing
// sleeps. The timer threads that wake the ticks keep real time; only what a tick or a paint
// reads as "now" comes from here.
//
// Ownership: Install does not take the clock; the caller keeps it alive while it is installed.
// Threads: NowNs/NowMs from any thread. Install before the animations that should follow the
// clock start (tests install before they create their controls and restore at the end).
#include <atomic>
#include <cstdint>

#include "tavex/Version.h"

namespace Tavex {

class TAVEX_API AnimationClock {
 public:
  AnimationClock() = default;
  AnimationClock(const AnimationClock&) = delete;
  AnimationClock& operator=(const AnimationClock&) = delete;
  virtual ~AnimationClock() = default;

  // Nanoseconds on this clock (an arbitrary but fixed origin).
  virtual std::int64_t Nanoseconds() const = 0;

  // Now through the installed clock (the monotonic clock when none is).
  static std::int64_t NowNs();
  static std::int64_t NowMs();
  // Installs `clock` (null: the monotonic clock again) and returns the one it replaces.
  static AnimationClock* Install(AnimationClock* clock);
};

// A clock that moves only when told to. Starts well away from 0, which code may use as
// "never".
class TAVEX_API ManualClock : public AnimationClock {
 public:
  static constexpr std::int64_t kStartMs = 1000000;

  std::int64_t Nanoseconds() const override { return m_ns.load(); }
  void AdvanceMs(std::int64_t ms) { m_ns += ms * 1000000; }

 private:
  std::atomic<std::int64_t> m_ns{kStartMs * 1000000};
};

// Installs a clock for its own lifetime, then puts the previous one back.
class TAVEX_API ScopedAnimationClock {
 public:
  explicit ScopedAnimationClock(AnimationClock& clock)
      : m_previous(AnimationClock::Install(&clock)) {}
  ~ScopedAnimationClock() { AnimationClock::Install(m_previous); }
  ScopedAnimationClock(const ScopedAnimationClock&) = delete;
  ScopedAnimationClock& operator=(const ScopedAnimationClock&) = delete;

 private:
  AnimationClock* m_previous;
};

}  // namespace Tavex
