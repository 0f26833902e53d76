// The short scheduler slice of the capture thread: it changes the slice and nothing else.
#include "platform/WakeLatency.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace {

constexpr int kNice = 3;
constexpr std::chrono::microseconds kSlice{500};

// The calling thread's slice in ns as the scheduler's statistics show it; -1 when they do not.
long long ThreadSlice() {
  std::ifstream in("/proc/thread-self/sched");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("se.slice", 0) == 0) return std::stoll(line.substr(line.find(':') + 1));
  return -1;
}

int OwnNice() { return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())); }

TEST(WakeLatency, AShortSliceKeepsThePolicyAndTheNiceValueAndOtherThreadsSlices) {
  const long long mainSlice = ThreadSlice();
  std::thread([] {
    // Raising the nice value needs no privilege; the request must not reset it to 0.
    ASSERT_EQ(setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kNice), 0);
    const long long before = ThreadSlice();
    ASSERT_TRUE(platform::RequestShortWakeSlice(kSlice));
    EXPECT_EQ(sched_getscheduler(0), SCHED_OTHER);
    EXPECT_EQ(OwnNice(), kNice);
    const long long slice = ThreadSlice();
    // Kernels before custom slices keep the thread's slice as it was.
    if (slice >= 0)
      EXPECT_TRUE(slice == std::chrono::nanoseconds(kSlice).count() || slice == before) << slice;
  }).join();
  EXPECT_EQ(ThreadSlice(), mainSlice) << "another thread's slice changed";
  EXPECT_FALSE(platform::RequestShortWakeSlice(std::chrono::microseconds(0)));
}

}  // namespace
