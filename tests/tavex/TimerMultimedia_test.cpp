// Multimedia timers: periodic and one-shot callbacks on the timer thread, safe killing.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <chrono>
#include <thread>

#include "tavex/NativeTimer.h"

namespace Tavex {
namespace {

using namespace std::chrono_literals;

struct Counter {
  std::atomic<int> ticks{0};
  std::atomic<UINT> lastId{0};
  std::atomic<bool> inside{false};
  std::atomic<int> sleepMs{0};
};

void CALLBACK_Count(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* c = reinterpret_cast<Counter*>(user);
  c->inside = true;
  c->lastId = id;
  if (c->sleepMs.load() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(c->sleepMs.load()));
  ++c->ticks;
  c->inside = false;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 3000ms) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

TEST(TimerMultimedia, PeriodicTimersTickWithTheirIdUntilKilled) {
  Counter c;
  const UINT id = Native::timeSetEvent(5, 1, CALLBACK_Count, reinterpret_cast<DWORD_PTR>(&c),
                                       TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  ASSERT_TRUE(WaitFor([&] { return c.ticks.load() >= 5; }));
  EXPECT_EQ(c.lastId.load(), id);
  EXPECT_EQ(Native::timeKillEvent(id), TIMERR_NOERROR);
  const int after = c.ticks.load();
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(c.ticks.load(), after) << "no callback after timeKillEvent returned";
  EXPECT_EQ(Native::timeKillEvent(id), TIMERR_NOCANDO);
}

TEST(TimerMultimedia, OneShotTimersFireOnce) {
  Counter c;
  ASSERT_NE(Native::timeSetEvent(3, 1, CALLBACK_Count, reinterpret_cast<DWORD_PTR>(&c), TIME_ONESHOT), 0u);
  // Wait for the callback's last touch of `c` before it goes out of scope.
  ASSERT_TRUE(WaitFor([&] { return c.ticks.load() == 1 && !c.inside.load(); }));
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(c.ticks.load(), 1);
}

TEST(TimerMultimedia, KillingWaitsForARunningCallback) {
  Counter c;
  c.sleepMs = 60;
  const UINT id = Native::timeSetEvent(2, 1, CALLBACK_Count, reinterpret_cast<DWORD_PTR>(&c),
                                       TIME_PERIODIC);
  ASSERT_TRUE(WaitFor([&] { return c.inside.load(); }));
  Native::timeKillEvent(id);
  EXPECT_FALSE(c.inside.load()) << "the callback had finished when kill returned";
}

struct SelfKill {
  std::atomic<UINT> id{0};
  std::atomic<int> ticks{0};
};

TEST(TimerMultimedia, ACallbackMayKillItsOwnTimer) {
  static SelfKill s;
  s.ticks = 0;
  s.id = Native::timeSetEvent(2, 1, [](UINT id, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    ++s.ticks;
    Native::timeKillEvent(id);
  }, 0, TIME_PERIODIC);
  ASSERT_NE(s.id.load(), 0u);
  ASSERT_TRUE(WaitFor([] { return s.ticks.load() == 1; }));
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(s.ticks.load(), 1);
}

TEST(TimerMultimedia, BadArgumentsAreRefused) {
  EXPECT_EQ(Native::timeSetEvent(10, 1, nullptr, 0, TIME_PERIODIC), 0u);
  Counter c;
  EXPECT_EQ(Native::timeSetEvent(0, 1, CALLBACK_Count, reinterpret_cast<DWORD_PTR>(&c), TIME_PERIODIC), 0u);
  EXPECT_EQ(Native::timeKillEvent(0xFFFFFFF0u), TIMERR_NOCANDO);
  TIMECAPS caps{};
  EXPECT_EQ(Native::timeGetDevCaps(&caps, sizeof caps), TIMERR_NOERROR);
  EXPECT_EQ(caps.wPeriodMin, 1u);
  EXPECT_EQ(Native::timeGetDevCaps(nullptr, sizeof caps), TIMERR_NOCANDO);
}

TEST(TimerMultimedia, SkippedTicksStayOnTheGridAndAResumeBringsTheNextTickBack) {
  Counter c;
  const UINT id = Native::timeSetEvent(10, 1, CALLBACK_Count, reinterpret_cast<DWORD_PTR>(&c),
                                       TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  ASSERT_TRUE(WaitFor([&] { return c.ticks.load() >= 1; }));
  ASSERT_EQ(Native::timeSkipTicks(id, 100), TIMERR_NOERROR);  // about a second of sleep
  const int before = c.ticks.load();
  std::this_thread::sleep_for(150ms);
  EXPECT_LE(c.ticks.load(), before + 1) << "at most the tick already due when the skip came";
  const auto resumed = std::chrono::steady_clock::now();
  EXPECT_EQ(Native::timeResumeTicks(id), TIMERR_NOERROR);
  const int sleeping = c.ticks.load();
  ASSERT_TRUE(WaitFor([&] { return c.ticks.load() > sleeping; }));
  EXPECT_LT(std::chrono::steady_clock::now() - resumed, 200ms) << "not the second the skip asked for";
  EXPECT_EQ(Native::timeKillEvent(id), TIMERR_NOERROR);
  EXPECT_EQ(Native::timeSkipTicks(id, 1), TIMERR_NOCANDO);
  EXPECT_EQ(Native::timeResumeTicks(id), TIMERR_NOCANDO);
}

}  // namespace
}  // namespace Tavex
