#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "tavex/RKTimer.h"

namespace {
class CountingTimer : public Tavex::RKTimer {
 public:
  ~CountingTimer() override { KillTimer(); }
  void OnMTimer(unsigned id) override {
    std::lock_guard guard(lock);
    ++ticks;
    lastId = id;
    changed.notify_all();
  }
  void OnMTimer(unsigned, Tavex::CString name) override {
    std::lock_guard guard(lock);
    ++appTicks;
    lastName = name;
  }
  std::mutex lock;
  std::condition_variable changed;
  int ticks = 0;
  int appTicks = 0;
  unsigned lastId = 0;
  Tavex::CString lastName;
};
}  // namespace

TEST(RKTimer, KeepsEntriesByIdentifierAndNameAndMapsIdentifiersToTheirOwner) {
  CountingTimer timer;
  const unsigned a = timer.SetTimer(100000, "anim", 0);
  const unsigned b = timer.SetTimer(100000, "app", 1);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_EQ(Tavex::RKTimer::m_bIsTmierOK, 1);
  EXPECT_GE(Tavex::RKTimer::m_uAccuracy, 1u);
  EXPECT_TRUE(timer.GetTimerIsRun(a));
  EXPECT_TRUE(timer.GetTimerIsRun("app"));
  EXPECT_EQ(timer.GetTimerName(b), "app");
  EXPECT_EQ(timer.IsAppTimer(a), 0);
  EXPECT_EQ(timer.IsAppTimer(b), 1);
  EXPECT_EQ(Tavex::RKTimer::GetFSTimer(a), &timer);
  EXPECT_EQ(timer.KillTimer("anim"), 1);
  EXPECT_EQ(Tavex::RKTimer::GetFSTimer(a), nullptr);
  EXPECT_EQ(timer.KillTimer(b), 0);
  EXPECT_FALSE(timer.GetTimerIsRun("app"));
  EXPECT_EQ(timer.IsAppTimer(b), 0);
}

TEST(RKTimer, TheCallbackCallsOnMTimerAndTheNamedFormForApplicationTimers) {
  CountingTimer timer;
  const unsigned plain = timer.SetTimer(100000, "plain", 0);
  const unsigned app = timer.SetTimer(100000, "app", 1);
  Tavex::RKTimer::TimerCallProc(plain, 0, reinterpret_cast<DWORD_PTR>(&timer), 0, 0);
  Tavex::RKTimer::TimerCallProc(app, 0, reinterpret_cast<DWORD_PTR>(&timer), 0, 0);
  EXPECT_EQ(timer.ticks, 2);
  EXPECT_EQ(timer.appTicks, 1);
  EXPECT_EQ(timer.lastName, "app");
  // A tick for an identifier the object no longer has, or for no live object, is dropped.
  timer.KillTimer(plain);
  Tavex::RKTimer::TimerCallProc(plain, 0, reinterpret_cast<DWORD_PTR>(&timer), 0, 0);
  Tavex::RKTimer::TimerCallProc(app, 0, 0, 0, 0);
  EXPECT_EQ(timer.ticks, 2);
}

TEST(RKTimer, APeriodicTimerTicksOnTheTimerThreadUntilKilled) {
  CountingTimer timer;
  const unsigned id = timer.SetTimer(2, "", 0);
  ASSERT_NE(id, 0u);
  {
    std::unique_lock guard(timer.lock);
    ASSERT_TRUE(timer.changed.wait_for(guard, std::chrono::seconds(5),
                                       [&] { return timer.ticks >= 3; }));
    EXPECT_EQ(timer.lastId, id);
  }
  timer.KillTimer();
  const int after = timer.ticks;
  EXPECT_FALSE(timer.GetTimerIsRun(id));
  EXPECT_EQ(timer.ticks, after);
}
