#include <gtest/gtest.h>

#include "FakeHost.h"
#include "app/TaskDispatcher.h"

namespace {

using Events = std::vector<std::string>;
using std::chrono::milliseconds;

class Dispatcher : public ::testing::Test {
 protected:
  Dispatcher() {
    for (uint32_t code : {4u, 5u, 6u, 7u, 10u, 11u, 13u})
      dispatcher.RegisterTask(code, [this, code] { host.Log("work " + std::to_string(code)); });
  }

  FakeHost host;
  ManualClock clock;
  TaskDispatcher dispatcher{host, clock};
};

TEST_F(Dispatcher, RunsOneCodePerStepInQueueOrder) {
  host.connected = true;
  dispatcher.QueueTask(5);
  dispatcher.QueueTask(4);
  dispatcher.QueueTask(11);
  dispatcher.RunStep();
  EXPECT_EQ(host.Events(), (Events{"disable", "work 5", "enable"}));
  EXPECT_EQ(dispatcher.PendingTasks(), 2u);
  dispatcher.RunStep();
  dispatcher.RunStep();
  EXPECT_EQ(host.Events(), (Events{"disable", "work 5", "enable", "disable", "work 4", "enable",
                                   "disable", "work 11", "enable"}));
  EXPECT_EQ(dispatcher.PendingTasks(), 0u);
  dispatcher.RunStep();  // an empty queue does nothing
  EXPECT_EQ(host.Events().size(), 9u);
}

TEST_F(Dispatcher, DropsCodesWhileNoKeyboardIsConnected) {
  dispatcher.QueueTask(13);
  dispatcher.QueueTask(6);
  dispatcher.RunStep();
  EXPECT_EQ(dispatcher.PendingTasks(), 1u);
  dispatcher.RunStep();
  EXPECT_EQ(dispatcher.PendingTasks(), 0u);
  // 6 was queued with the wait dialog up: dropping it still closes the dialog, without a pause.
  EXPECT_EQ(host.Events(), (Events{"close-wait"}));
  EXPECT_TRUE(clock.Sleeps().empty());
}

TEST_F(Dispatcher, RefreshCodesRefreshWithoutAKeyboardAndTwoMarksTheFirstRefresh) {
  dispatcher.QueueTask(3);
  dispatcher.RunStep();
  EXPECT_FALSE(dispatcher.FirstRefreshDone());
  dispatcher.QueueTask(2);
  dispatcher.RunStep();
  EXPECT_TRUE(dispatcher.FirstRefreshDone());
  EXPECT_EQ(host.Events(), (Events{"refresh", "refresh"}));
  EXPECT_EQ(dispatcher.PendingTasks(), 0u);
}

TEST_F(Dispatcher, RefreshThatFindsAKeyboardGoesOnWithTheWindowDisabledAndEnabled) {
  host.connected = true;
  EXPECT_FALSE(dispatcher.RegisterTask(2, [this] { host.Log("not allowed"); }));
  dispatcher.QueueTask(2);
  dispatcher.RunStep();
  EXPECT_EQ(host.Events(), (Events{"refresh", "disable", "enable"}));
}

TEST_F(Dispatcher, QueuingSixTwiceRunsTwoTransfersEachClosingTheWaitDialog) {
  host.connected = true;
  dispatcher.QueueTask(6);
  dispatcher.QueueTask(6);
  dispatcher.RunStep();
  dispatcher.RunStep();
  const Events one{"disable", "work 6", "close-wait", "enable"};
  Events both = one;
  both.insert(both.end(), one.begin(), one.end());
  EXPECT_EQ(host.Events(), both);
  EXPECT_EQ(clock.Sleeps(), (std::vector<std::chrono::nanoseconds>{milliseconds(100),
                                                                   milliseconds(100)}));
}

TEST_F(Dispatcher, CodesWithoutWorkAreRemovedAfterDisableAndEnable) {
  host.connected = true;
  dispatcher.QueueTask(9);
  dispatcher.QueueTask(8);  // closes the wait dialog even with no upload registered
  dispatcher.RunStep();
  dispatcher.RunStep();
  EXPECT_EQ(host.Events(), (Events{"disable", "enable", "disable", "close-wait", "enable"}));
  EXPECT_EQ(dispatcher.PendingTasks(), 0u);
}

TEST_F(Dispatcher, WorkMayQueueMoreWorkWhichRunsInALaterStep) {
  host.connected = true;
  dispatcher.RegisterTask(4, [this] {
    host.Log("switch");
    dispatcher.QueueTask(5);
  });
  dispatcher.QueueTask(4);
  dispatcher.RunStep();
  EXPECT_EQ(dispatcher.PendingTasks(), 1u);
  dispatcher.RunStep();
  EXPECT_EQ(host.Events(),
            (Events{"disable", "switch", "enable", "disable", "work 5", "enable"}));
}

TEST_F(Dispatcher, KeyboardUnpluggedBetweenQueuingAndRunningDropsTheCode) {
  host.connected = true;
  dispatcher.RegisterTask(4, [this] { host.connected = false; });
  dispatcher.QueueTask(4);
  dispatcher.QueueTask(7);
  dispatcher.RunStep();
  host.ClearEvents();
  dispatcher.RunStep();
  EXPECT_EQ(host.Events(), (Events{"close-wait"}));
  EXPECT_EQ(dispatcher.PendingTasks(), 0u);
}

}  // namespace
