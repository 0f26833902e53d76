#pragma once
// How much longer an end-to-end test waits for the program it drives. Sanitizer builds run the
// program several times slower, so their waits grow by a factor instead of every test sleeping
// longer in every build. KW_TEST_TIME_SCALE (a whole number, 1-50) overrides the build's own
// factor. Any thread.
#include <chrono>

namespace TestSupport {

// Factors of this build: the program under AddressSanitizer runs ~3x slower, under
// ThreadSanitizer up to ~15x on a loaded machine.
inline constexpr int kPlainTimeScale = 1;
inline constexpr int kAddressSanitizerTimeScale = 4;
inline constexpr int kThreadSanitizerTimeScale = 8;
inline constexpr int kMaxTimeScale = 50;

// The factor of this run (read once).
int TimeScale();
// `parsed` as a factor: the whole numbers 1 to kMaxTimeScale; `fallback` for anything else.
int ParseTimeScale(const char* text, int fallback);

template <class Rep, class Period>
std::chrono::milliseconds Scaled(std::chrono::duration<Rep, Period> wait) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(wait) * TimeScale();
}

}  // namespace TestSupport
