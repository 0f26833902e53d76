// The grid that paces the music level stream, on a scripted clock: deadlines stay on
// start + k × interval whatever the wake-ups and steps cost.
#include "platform/IntervalGrid.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <vector>

namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

constexpr milliseconds kInterval{33};
constexpr milliseconds kStart{1000};

// A clock whose sleeps wake up late by scripted amounts; a step's own cost is added with Spend.
class ScriptedClock : public platform::Clock {
 public:
  nanoseconds Now() override { return now_; }
  void SleepUntil(nanoseconds deadline) override {
    sleeps.push_back(deadline);
    nanoseconds late{0};
    if (!lateness.empty()) {
      late = lateness.front();
      lateness.pop_front();
    }
    if (deadline + late > now_) now_ = deadline + late;
  }
  void Spend(nanoseconds duration) { now_ += duration; }

  std::deque<nanoseconds> lateness;
  std::vector<nanoseconds> sleeps;

 private:
  nanoseconds now_{kStart};
};

nanoseconds Point(int k) { return kStart + k * kInterval; }

TEST(IntervalGrid, LateWakeUpsAndSlowStepsKeepTheDeadlinesOnTheGrid) {
  ScriptedClock clock;
  platform::IntervalGrid grid(clock, kInterval);
  EXPECT_EQ(grid.Deadline(), Point(0)) << "the grid is anchored where it was made";

  clock.lateness = {milliseconds(0), milliseconds(7), milliseconds(0)};
  EXPECT_EQ(grid.Wait(), Point(1));
  // Woken 7 ms late: the step still runs (at once), and the next deadline does not move.
  EXPECT_EQ(grid.Wait(), Point(2));
  EXPECT_EQ(clock.Now(), Point(2) + milliseconds(7));
  EXPECT_EQ(grid.Wait(), Point(3));
  EXPECT_EQ(clock.sleeps, (std::vector<nanoseconds>{Point(1), Point(2), Point(3)}));

  // A step that costs 80 ms runs past deadlines 4 and 5: one step at once for 5, then 6 on time.
  clock.Spend(milliseconds(80));
  EXPECT_EQ(grid.Wait(), Point(5));
  EXPECT_EQ(clock.sleeps.size(), 3U) << "a late step must not sleep";
  EXPECT_EQ(grid.Dropped(), 1);
  EXPECT_EQ(grid.Wait(), Point(6));
  EXPECT_EQ(clock.sleeps.back(), Point(6));
  EXPECT_EQ(clock.Now(), Point(6));

  // Exactly on a deadline counts as reached, not as missed.
  clock.Spend(kInterval);
  EXPECT_EQ(grid.Wait(), Point(7));
  EXPECT_EQ(grid.Dropped(), 1);
}

TEST(IntervalGrid, ANewIntervalSpacesFromTheLastDeadlineAndARestartAnchorsAtNow) {
  ScriptedClock clock;
  platform::IntervalGrid grid(clock, kInterval);
  grid.Wait();
  grid.SetInterval(milliseconds(66));
  EXPECT_EQ(grid.Wait(), Point(1) + milliseconds(66));
  grid.SetInterval(nanoseconds(0));
  EXPECT_EQ(grid.Interval(), milliseconds(66)) << "a zero interval would spin";

  // After a pause (a reconnect) the grid starts from its end: no burst of missed steps.
  clock.Spend(milliseconds(500));
  grid.Restart();
  const nanoseconds restart = clock.Now();
  clock.Spend(milliseconds(5));  // the first step after the reconnect
  EXPECT_EQ(grid.Wait(), restart + milliseconds(66));
  EXPECT_EQ(clock.sleeps.back(), restart + milliseconds(66));
  EXPECT_EQ(grid.Dropped(), 0) << "a restart is not a run of missed deadlines";
}

}  // namespace
