// The services the program builds once: the command sender reads the store it is handed and
// sends through the list it is handed.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "app/ProgramServices.h"
#include "support/TempFolder.h"
#include "tools/vkbd/VirtualBus.h"

namespace {

TEST(ProgramServices, TheSenderUsesTheStoreAndTheListItWasBuiltWith) {
  vkbd::LocalBus().Clear();
  const auto keyboard = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
  const TempFolder folder("kw-services");
  ASSERT_TRUE(folder.MakeFolder("db"));
  {
    ProgramServices services;
    const auto noWait = [](std::chrono::nanoseconds) {};
    services.Devices().SetSleeper(noWait);
    services.Commands().SetSleeper(noWait);
    services.Devices().AddFilter(0x24AE, 0x4076, "", DeviceFilter::PathPattern(0x24AE, 0x4076));
    services.Devices().Refresh();
    services.Devices().SetOpen(true);
    ASSERT_TRUE(services.Store().OpenForDevice(folder.Slashed(), "Tarnwick_V3"));
    std::vector<ProfileRecord> profiles;
    services.Store().ListProfilesWithDefaults("Profile", profiles);
    KeyAssignmentRecord disabled;
    disabled.profile = 1;
    disabled.key_code = 0x29;
    disabled.macro_type = 1;
    disabled.macro_value = 1;
    ASSERT_GT(services.Store().SaveKeyAssignment(disabled), 0);

    EXPECT_TRUE(services.Commands().SendKeyAssignments(0, 1).Complete());
    EXPECT_EQ(keyboard->State().keyTable[0], (vkbd::KeyEntry{0x29, 0x01}));
    services.Store().Close();
  }
  vkbd::LocalBus().Clear();
}

}  // namespace
