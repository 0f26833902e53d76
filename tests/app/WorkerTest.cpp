#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "FakeHost.h"
#include "app/TaskWorker.h"
#include "platform/PreciseSleep.h"

namespace {

using namespace std::chrono_literals;

// A clock that really sleeps and remembers how long each pause was meant to be: the distance of
// the deadline from the time the sleeping thread last read.
class RecordingClock : public platform::Clock {
 public:
  std::chrono::nanoseconds Now() override { return lastNow_ = platform::MonotonicNow(); }
  void SleepUntil(std::chrono::nanoseconds deadline) override {
    {
      std::lock_guard lock(mutex_);
      pauses_.push_back(deadline - lastNow_);
    }
    platform::SleepUntil(deadline);
  }
  std::vector<std::chrono::nanoseconds> Pauses() const {
    std::lock_guard lock(mutex_);
    return pauses_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::chrono::nanoseconds> pauses_;
  static thread_local std::chrono::nanoseconds lastNow_;
};

thread_local std::chrono::nanoseconds RecordingClock::lastNow_{};

// Lets a test wait for the worker to reach a point, and hold it there.
class Gate {
 public:
  void Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  void Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return open_; });
  }
  bool WaitFor(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [this] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
};

// How long a test waits for the worker to take every queued code.
constexpr std::chrono::milliseconds kDrainLimit = 10s;

// Polls until the worker has taken every queued code. False once `limit` has passed, so a worker
// that stops taking codes fails the test at once instead of hanging it until the time-out.
bool WaitUntilQueueDrained(const TaskDispatcher& dispatcher, std::chrono::milliseconds limit) {
  const auto deadline = platform::MonotonicNow() + limit;
  while (dispatcher.PendingTasks() != 0) {
    if (platform::MonotonicNow() >= deadline) return false;
    platform::SleepFor(1ms);
  }
  return true;
}

TEST(Worker, RunsQueuedCodesInOrderOnItsThreadWithThePauseBetweenSteps) {
  FakeHost host;
  host.connected = true;
  RecordingClock clock;
  TaskDispatcher dispatcher(host, clock);
  Gate finished;
  std::thread::id workerThread;
  dispatcher.RegisterTask(4, [&] { host.Log("4"); workerThread = std::this_thread::get_id(); });
  dispatcher.RegisterTask(5, [&] { host.Log("5"); });
  dispatcher.RegisterTask(12, [&] { host.Log("12"); finished.Open(); });
  TaskWorker worker(dispatcher, clock);
  EXPECT_EQ(worker.Pause(), 100);

  dispatcher.QueueTask(4);
  dispatcher.QueueTask(5);
  dispatcher.QueueTask(12);
  ASSERT_TRUE(worker.StartWorker());
  EXPECT_EQ(worker.Pause(), 33);
  EXPECT_FALSE(worker.StartWorker());
  ASSERT_TRUE(finished.WaitFor(10s));
  EXPECT_TRUE(worker.StopWorker());
  EXPECT_FALSE(worker.IsWorkerRunning());

  EXPECT_EQ(host.Events(), (std::vector<std::string>{"disable", "4", "enable", "disable", "5",
                                                     "enable", "disable", "12", "enable"}));
  EXPECT_NE(workerThread, std::this_thread::get_id());
  const auto pauses = clock.Pauses();
  ASSERT_GE(pauses.size(), 2u);
  for (const auto pause : pauses) EXPECT_EQ(pause, 33ms);
}

TEST(Worker, StopDuringALongTaskReturnsWhileTheTaskStillRuns) {
  FakeHost host;
  host.connected = true;
  TaskDispatcher dispatcher(host);
  Gate started, release;
  std::atomic<bool> taskEnded{false};
  dispatcher.RegisterTask(6, [&] {
    started.Open();
    release.Wait();
    taskEnded = true;
  });
  {
    TaskWorker worker(dispatcher);
    dispatcher.QueueTask(6);
    ASSERT_TRUE(worker.StartWorker());
    ASSERT_TRUE(started.WaitFor(10s));

    const auto before = platform::MonotonicNow();
    EXPECT_FALSE(worker.StopWorker());  // gave up waiting; the transfer goes on
    const auto waited = platform::MonotonicNow() - before;
    EXPECT_FALSE(taskEnded.load());
    EXPECT_GE(waited, 1000ms);
    EXPECT_FALSE(worker.StartWorker());  // the old step still runs

    release.Open();
  }  // destruction waits for the step to finish
  EXPECT_TRUE(taskEnded.load());
  EXPECT_EQ(host.Events().back(), "enable");
}

TEST(Worker, CanBeStartedAgainAfterAStop) {
  FakeHost host;
  TaskDispatcher dispatcher(host);
  TaskWorker worker(dispatcher);
  EXPECT_TRUE(worker.StopWorker());  // never started
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(worker.StartWorker());
    dispatcher.QueueTask(3);
    Gate refreshed;
    std::thread watcher([&] {
      if (WaitUntilQueueDrained(dispatcher, kDrainLimit)) refreshed.Open();
    });
    const bool drained = refreshed.WaitFor(kDrainLimit + 1s);
    watcher.join();
    ASSERT_TRUE(drained) << "round " << round << ": the worker left the refresh code in the queue";
    EXPECT_TRUE(worker.StopWorker());
  }
  EXPECT_EQ(host.Events(), (std::vector<std::string>{"refresh", "refresh"}));
}

TEST(Worker, SleepsWhileTheQueueIsEmptyAndWakesForACodeOrAStop) {
  FakeHost host;
  host.connected = true;
  ManualClock clock;  // pauses cost no time: a polling loop would step thousands of times
  TaskDispatcher dispatcher(host, clock);
  Gate ran;
  dispatcher.RegisterTask(7, [&] { ran.Open(); });
  TaskWorker worker(dispatcher, clock);
  ASSERT_TRUE(worker.StartWorker());
  platform::SleepFor(100ms);
  EXPECT_EQ(clock.Sleeps().size(), 1u) << "the worker kept stepping over an empty queue";

  dispatcher.QueueTask(7);
  ASSERT_TRUE(ran.WaitFor(10s));
  ASSERT_TRUE(WaitUntilQueueDrained(dispatcher, kDrainLimit));

  const auto before = platform::MonotonicNow();
  EXPECT_TRUE(worker.StopWorker());
  EXPECT_LT(platform::MonotonicNow() - before, CThreadBasic::kStopTimeout);
  EXPECT_FALSE(worker.IsWorkerRunning());
}

TEST(Worker, WithoutTheLoopFlagRunsOneStep) {
  FakeHost host;
  host.connected = true;
  ManualClock clock;
  TaskDispatcher dispatcher(host, clock);
  dispatcher.QueueTask(9);
  dispatcher.QueueTask(9);
  TaskWorker worker(dispatcher, clock);
  ASSERT_TRUE(worker.StartWorker(false));
  worker.JoinWorker();
  EXPECT_EQ(dispatcher.PendingTasks(), 1u);
  EXPECT_TRUE(clock.Sleeps().empty());
  EXPECT_TRUE(worker.StopWorker());
}

TEST(Worker, CodesQueuedFromSeveralThreadsAllRunInEachThreadsOrder) {
  FakeHost host;
  host.connected = true;
  ManualClock clock;  // no pauses: the steps follow one another at once
  TaskDispatcher dispatcher(host, clock);
  std::mutex seenMutex;
  std::vector<uint32_t> seen;
  for (uint32_t code = 20; code < 26; ++code)
    dispatcher.RegisterTask(code, [&, code] {
      std::lock_guard lock(seenMutex);
      seen.push_back(code);
    });
  TaskWorker worker(dispatcher, clock);
  ASSERT_TRUE(worker.StartWorker());
  std::vector<std::thread> producers;
  for (uint32_t base : {20u, 23u})
    producers.emplace_back([&, base] {
      for (int i = 0; i < 50; ++i)
        for (uint32_t code = base; code < base + 3; ++code) dispatcher.QueueTask(code);
    });
  for (auto& producer : producers) producer.join();
  const bool drained = WaitUntilQueueDrained(dispatcher, kDrainLimit);
  EXPECT_TRUE(worker.StopWorker());
  ASSERT_TRUE(drained) << dispatcher.PendingTasks() << " codes were never taken from the queue";

  ASSERT_EQ(seen.size(), 300u);
  for (uint32_t base : {20u, 23u}) {
    uint32_t expected = base;
    for (const uint32_t code : seen) {
      if (code < base || code >= base + 3) continue;
      EXPECT_EQ(code, expected);
      expected = expected + 1 == base + 3 ? base : expected + 1;
    }
  }
}

}  // namespace
