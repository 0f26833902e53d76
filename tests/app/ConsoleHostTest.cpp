#include <gtest/gtest.h>

#include "app/ConsoleHost.h"

namespace {

TEST(ConsoleHost, KeyboardPresenceFollowsTheDeviceLayersRefresh) {
  bool present = true;
  ConsoleHost host([&] { return present; });
  EXPECT_FALSE(host.IsKeyboardConnected());
  host.RefreshDevices();
  EXPECT_TRUE(host.IsKeyboardConnected());
  present = false;
  host.RefreshDevices();
  EXPECT_FALSE(host.IsKeyboardConnected());
}

TEST(ConsoleHost, WithoutADeviceLayerNoKeyboardIsEverConnected) {
  ConsoleHost host;
  host.RefreshDevices();
  EXPECT_FALSE(host.IsKeyboardConnected());
}

}  // namespace
