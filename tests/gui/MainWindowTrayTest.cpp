// The real program's tray icon under Xvfb, through a test StatusNotifierWatcher on the test
// session bus and through a test XEmbed tray manager: activation shows the hidden window, the
// context menu is the library's menu with the two commands, and the D-Bus menu offers the same.
#include <gtest/gtest.h>

#include <gio/gio.h>

#include <functional>
#include <thread>

#include "ProgramProcess.h"
#include "app/WindowIds.h"
#include "platform/TrayHosts.h"
#include "support/ControlMap.h"

namespace {

using namespace std::chrono_literals;
using GuiTest::ProgramHome;
using GuiTest::Spawned;

constexpr const char* kMainTitle = "Keywright";
constexpr const char* kMenuTitle = "Menu Window";
constexpr const char* kTipTitle = "CloseWindowTipDlg";
constexpr unsigned kTipConfirm = 33;
constexpr const char* kItemPath = "/StatusNotifierItem";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";

bool Eventually(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return done();
}

class MainWindowTray : public ::testing::Test {
 protected:
  // Starts the program with "hide to the tray" chosen and hides it with the close button.
  void StartHidden() {
    ASSERT_TRUE(map_.Ready());
    home_.WriteSettings("LCID=1033\nexit_mode=1\n");
    program_ = std::make_unique<Spawned>(
        GuiTest::ProgramCommand(), GuiTest::WithVariable(home_.Environment(), map_.Environment()));
    window_ = GuiTest::WaitForMainWindow();
    ASSERT_NE(window_, 0u);
    map_.SetWindow(kMainTitle);
    ASSERT_TRUE(map_.Click(ids::kCloseButton));
    ASSERT_TRUE(Eventually([&] { return !GuiTest::IsViewable(window_); }))
        << "the close button did not hide the window";
    EXPECT_TRUE(program_->Running());
  }
  // The library's menu at the tray shows both commands; the close options open their dialog.
  void UseTheContextMenu() {
    map_.SetWindow(kMenuTitle);
    ASSERT_TRUE(map_.WaitFor(ids::kTrayExit).has_value()) << "no exit entry";
    ASSERT_TRUE(map_.Click(ids::kTrayCloseOptions));
    map_.SetWindow(kTipTitle);
    ASSERT_TRUE(map_.Click(kTipConfirm));
    EXPECT_TRUE(Eventually([&] { return !map_.WaitFor(kTipConfirm, 100ms).has_value(); }));
    EXPECT_TRUE(program_->Running());
  }

  TestSupport::ControlMap map_;
  ProgramHome home_;
  std::unique_ptr<Spawned> program_;
  std::uint64_t window_ = 0;
};

TEST_F(MainWindowTray, TheStatusNotifierItemShowsTheWindowAndOffersBothCommands) {
  TestWatcher watcher;
  ASSERT_TRUE(watcher.Ready()) << "no session bus for the test watcher";
  StartHidden();
  ASSERT_TRUE(Eventually([&] { return watcher.Registered().size() == 1; }));
  const std::string item = watcher.Registered()[0];

  g_variant_unref(watcher.Call(item, kItemPath, kItemInterface, "Activate",
                               g_variant_new("(ii)", 5, 6)));
  EXPECT_TRUE(Eventually([&] { return GuiTest::IsViewable(window_); }))
      << "activation did not show the window";

  g_variant_unref(watcher.Call(item, kItemPath, kItemInterface, "ContextMenu",
                               g_variant_new("(ii)", 300, 200)));
  UseTheContextMenu();

  const auto entries = watcher.MenuEntries(item);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].second, "Close Options");
  EXPECT_EQ(entries[1].second, "Exit");
  ASSERT_TRUE(watcher.ClickMenuEntry(item, entries[1].first));
  EXPECT_EQ(program_->Wait(10s), 0) << "the menu's exit did not end the program";
}

TEST_F(MainWindowTray, TheXEmbedIconShowsTheWindowAndOpensTheMenu) {
  TestTrayManager tray;
  ASSERT_TRUE(tray.Ready());
  StartHidden();
  ASSERT_TRUE(Eventually([&] { return tray.Docked().size() == 1; })) << "no icon docked";
  const std::uint64_t icon = tray.Docked()[0];

  SendClick(icon, 1, 0, 0);
  EXPECT_TRUE(Eventually([&] { return GuiTest::IsViewable(window_); }))
      << "a left click did not show the window";
  SendClick(icon, 3, 300, 200);
  UseTheContextMenu();

  // The menu's exit ends the program.
  SendClick(icon, 3, 300, 200);
  map_.SetWindow(kMenuTitle);
  ASSERT_TRUE(map_.Click(ids::kTrayExit));
  EXPECT_EQ(program_->Wait(10s), 0);
}

}  // namespace
