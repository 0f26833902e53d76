#pragma once
// Monotonic time for the window layer (timers, double clicks, hover, message times).
#include <cstdint>
#include <ctime>

namespace Tavex::Platform {

inline std::uint64_t NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
         static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

}  // namespace Tavex::Platform
