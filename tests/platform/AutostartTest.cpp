#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "platform/Autostart.h"

namespace {

class AutostartTest : public ::testing::Test {
 protected:
  std::string Entry() const { return home / "config/autostart/Tarnwick.desktop"; }

  TempFolder home;
  ScopedEnv config{"XDG_CONFIG_HOME", (home.Path() + "/config").c_str()};
};

TEST_F(AutostartTest, OnWritesTheEntryWithItsFoldersAndOffDeletesIt) {
  EXPECT_EQ(platform::AutostartEntryPath("Tarnwick"), Entry());
  EXPECT_FALSE(platform::IsAutostartEnabled("Tarnwick"));
  ASSERT_TRUE(platform::SetAutostart("Tarnwick", true, "/opt/key wright/bin/keywright"));
  EXPECT_TRUE(platform::IsAutostartEnabled("Tarnwick"));
  EXPECT_EQ(home.Read("config/autostart/Tarnwick.desktop"),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Tarnwick\n"
            "Exec=\"/opt/key wright/bin/keywright\"\n"
            "Terminal=false\n");
  ASSERT_TRUE(platform::SetAutostart("Tarnwick", true, "/usr/bin/keywright"));
  EXPECT_NE(home.Read("config/autostart/Tarnwick.desktop").find("Exec=\"/usr/bin/keywright\"\n"),
            std::string::npos);

  ASSERT_TRUE(platform::SetAutostart("Tarnwick", false, ""));
  EXPECT_FALSE(platform::IsAutostartEnabled("Tarnwick"));
  EXPECT_FALSE(std::filesystem::exists(Entry()));
  EXPECT_TRUE(platform::SetAutostart("Tarnwick", false, "")) << "already off";
}

TEST_F(AutostartTest, AnEntryNamingAnotherProgramStillCountsAsEnabled) {
  home.Write("config/autostart/Tarnwick.desktop", "[Desktop Entry]\nExec=/elsewhere/prog\n");
  EXPECT_TRUE(platform::IsAutostartEnabled("Tarnwick"));
}

TEST_F(AutostartTest, ExecQuotesTheCharactersTheDesktopEntryFormatReserves) {
  EXPECT_EQ(platform::DesktopExecValue("/a/b"), "\"/a/b\"");
  // '"', '`' and '$' get one escaping backslash, doubled as a string value; a backslash
  // becomes four; '%' is doubled so that it is no field code.
  EXPECT_EQ(platform::DesktopExecValue("/a\"b`c$d"), R"("/a\\"b\\`c\\$d")");
  EXPECT_EQ(platform::DesktopExecValue("/a\\b"), R"("/a\\\\b")");
  EXPECT_EQ(platform::DesktopExecValue("/100%/x"), "\"/100%%/x\"");
}

TEST_F(AutostartTest, RelativeOrMultiLinePathsAreRefusedWithNothingWritten) {
  EXPECT_FALSE(platform::SetAutostart("Tarnwick", true, "keywright"));
  EXPECT_FALSE(platform::SetAutostart("Tarnwick", true, ""));
  EXPECT_FALSE(platform::SetAutostart("Tarnwick", true, "/a\nExec=/bin/evil"));
  EXPECT_FALSE(platform::SetAutostart("../Tarnwick", true, "/a"));
  EXPECT_FALSE(std::filesystem::exists(home / "config/autostart"));
  EXPECT_FALSE(platform::IsAutostartEnabled("Tarnwick"));
}

}  // namespace
