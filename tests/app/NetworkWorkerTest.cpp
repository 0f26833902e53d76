#include "app/NetworkWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr auto kLimit = 10s;

TEST(NetworkWorker, RunsJobsInOrderOffThePostingThreadAndMayBePostedToFromAJob) {
  NetworkWorker worker;
  std::mutex mutex;
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  std::promise<void> last;
  const auto record = [&](int n) {
    std::lock_guard lock(mutex);
    order.push_back(n);
    threads.push_back(std::this_thread::get_id());
  };
  ASSERT_TRUE(worker.Post([&] { record(1); }));
  ASSERT_TRUE(worker.Post([&] {
    record(2);
    worker.Post([&] {
      record(4);
      last.set_value();
    });
  }));
  ASSERT_TRUE(worker.Post([&] { record(3); }));
  EXPECT_FALSE(worker.Post({}));
  ASSERT_EQ(last.get_future().wait_for(kLimit), std::future_status::ready);
  std::lock_guard lock(mutex);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
  for (const std::thread::id id : threads) {
    EXPECT_NE(id, std::this_thread::get_id());
    EXPECT_EQ(id, threads.front());
  }
}

TEST(NetworkWorker, StopWaitsForTheRunningJobDropsTheRestAndRefusesMore) {
  NetworkWorker worker;
  std::promise<void> started;
  std::atomic<bool> keepGoing{true};
  std::atomic<bool> finished{false};
  std::atomic<int> laterRuns{0};
  // A job like a stalled fetch: it ends only once told to.
  worker.Post([&] {
    started.set_value();
    while (keepGoing.load()) std::this_thread::sleep_for(1ms);
    finished.store(true);
  });
  worker.Post([&] { laterRuns.fetch_add(1); });
  ASSERT_EQ(started.get_future().wait_for(kLimit), std::future_status::ready);

  std::thread teller([&] {
    std::this_thread::sleep_for(50ms);
    keepGoing.store(false);
  });
  worker.Stop();
  teller.join();
  EXPECT_TRUE(finished.load()) << "Stop returned while the job still ran";
  EXPECT_FALSE(worker.Post([&] { laterRuns.fetch_add(1); }));
  worker.Stop();
  EXPECT_EQ(laterRuns.load(), 0);
}

TEST(NetworkWorker, AWorkerNeverPostedToStopsAtOnce) {
  NetworkWorker worker;
  worker.Stop();
  EXPECT_FALSE(worker.Post([] {}));
}

}  // namespace
