// Period jitter of a 10 ms multimedia timer over 10 s, and the CPU time the timer costs.
// Prints "NAME VALUE UNIT" lines. Arguments: [seconds] [period_ms].
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "tavex/NativeTimer.h"

namespace {

std::int64_t NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Samples {
  std::vector<std::int64_t> times;
  std::atomic<std::size_t> count{0};
};

void Tick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* s = reinterpret_cast<Samples*>(user);
  const std::size_t i = s->count.load(std::memory_order_relaxed);
  if (i < s->times.size()) {
    s->times[i] = NowNs();
    s->count.store(i + 1, std::memory_order_release);
  }
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t i = std::min(v.size() - 1, static_cast<std::size_t>(std::ceil(p * v.size())) - 1);
  return v[i];
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const int periodMs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
  Samples samples;
  samples.times.assign(static_cast<std::size_t>(seconds) * 1000 / periodMs + 16, 0);
  const double cpuBefore = CpuSeconds();
  const std::int64_t start = NowNs();
  const UINT id = Tavex::Native::timeSetEvent(static_cast<UINT>(periodMs), 1, Tick,
                                              reinterpret_cast<DWORD_PTR>(&samples), TIME_PERIODIC);
  if (id == 0) {
    std::puts("timer_start_failed 1 bool");
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  Tavex::Native::timeKillEvent(id);
  const double cpu = CpuSeconds() - cpuBefore;
  const std::int64_t wall = NowNs() - start;

  const std::size_t n = samples.count.load(std::memory_order_acquire);
  std::vector<double> jitterMs;   // |interval - period|
  std::vector<double> lateMs;     // tick time - its absolute deadline
  const double period = periodMs * 1e6;
  for (std::size_t i = 0; i < n; ++i) {
    // Deadlines are start + k * period (plus the set-up delay); a tick counts against the
    // last deadline before it, so that a skipped tick does not make every later one "late".
    lateMs.push_back(std::fmod(static_cast<double>(samples.times[i] - start), period) / 1e6);
    if (i > 0) jitterMs.push_back(std::fabs((samples.times[i] - samples.times[i - 1]) - period) / 1e6);
  }
  double mean = 0;
  for (double j : jitterMs) mean += j;
  mean = jitterMs.empty() ? 0 : mean / jitterMs.size();
  std::printf("timer_period %d ms\n", periodMs);
  std::printf("timer_ticks %zu count\n", n);
  std::printf("timer_expected_ticks %lld count\n", static_cast<long long>(wall / (periodMs * 1000000LL)));
  std::printf("timer_jitter_mean %.4f ms\n", mean);
  std::printf("timer_jitter_p50 %.4f ms\n", Percentile(jitterMs, 0.50));
  std::printf("timer_jitter_p99 %.4f ms\n", Percentile(jitterMs, 0.99));
  std::printf("timer_jitter_max %.4f ms\n", jitterMs.empty() ? 0 : *std::max_element(jitterMs.begin(), jitterMs.end()));
  std::printf("timer_lateness_p99 %.4f ms\n", Percentile(lateMs, 0.99));
  std::printf("timer_skipped_ticks %lld count\n",
              std::max(0LL, static_cast<long long>(wall / (periodMs * 1000000LL)) - static_cast<long long>(n)));
  std::printf("timer_cpu %.4f s\n", cpu);
  std::printf("timer_cpu_share %.4f percent\n", 100.0 * cpu / (wall / 1e9));
  return 0;
}
