// The status icon against real hosts: a StatusNotifierWatcher on the test session bus, an XEmbed
// tray manager on the test display, and neither.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <chrono>
#include <mutex>
#include <thread>

#include "TrayHosts.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "platform/StatusIcon.h"

namespace {

using platform::StatusIcon;
using platform::StatusIconKind;
using Clock = std::chrono::steady_clock;

constexpr int kExitCommand = 100;
constexpr int kCloseSettingsCommand = 200;

template <typename Done>
bool Eventually(Done done, int ms = 3000) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// What the icon reported, from its own thread.
struct Reports {
  std::mutex mutex;
  int activations = 0;
  std::vector<std::pair<int, int>> menus;
  std::vector<int> commands;
  std::vector<StatusIconKind> kinds;

  template <typename T>
  T Get(T Reports::*field) {
    std::lock_guard lock(mutex);
    return this->*field;
  }
};

class StatusIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SessionBusAvailable() || !DisplayAvailable())
      GTEST_SKIP() << "needs the test session bus and display (scripts/services.sh)";
    IgnoreXErrors();
  }

  platform::StatusIconSpec Spec() {
    platform::StatusIconSpec spec;
    spec.id = "Tarnwick";
    spec.title = "Tarnwick";
    spec.iconPath = "Keywright.ico";
    spec.tooltip = "Tarnwick";
    spec.menu = {{kCloseSettingsCommand, "Close settings"}, {kExitCommand, "Exit"}};
    spec.onActivate = [this] {
      std::lock_guard lock(reports.mutex);
      ++reports.activations;
    };
    spec.onContextMenu = [this](int x, int y) {
      std::lock_guard lock(reports.mutex);
      reports.menus.emplace_back(x, y);
    };
    spec.onMenuCommand = [this](int command) {
      std::lock_guard lock(reports.mutex);
      reports.commands.push_back(command);
    };
    spec.onKindChanged = [this](StatusIconKind kind) {
      std::lock_guard lock(reports.mutex);
      reports.kinds.push_back(kind);
    };
    return spec;
  }

  Reports reports;
};

std::string Text(GVariant* value) {
  std::string text = value != nullptr ? g_variant_get_string(value, nullptr) : "";
  if (value != nullptr) g_variant_unref(value);
  return text;
}

TEST_F(StatusIconTest, TheItemRegistersWithTheWatcherAndAnswersItsHost) {
  TestWatcher watcher;
  ASSERT_TRUE(watcher.Ready());
  auto icon = StatusIcon::Create(Spec());
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->Kind(), StatusIconKind::Sni);
  EXPECT_TRUE(icon->IsVisible());
  ASSERT_EQ(watcher.Registered().size(), 1u);
  const std::string item = watcher.Registered()[0];

  EXPECT_EQ(Text(watcher.ItemProperty(item, "Id")), "Tarnwick");
  EXPECT_EQ(Text(watcher.ItemProperty(item, "Status")), "Active");
  GVariant* menuPath = watcher.ItemProperty(item, "Menu");
  ASSERT_NE(menuPath, nullptr);
  const std::string menu = g_variant_get_string(menuPath, nullptr);
  g_variant_unref(menuPath);
  GVariant* pixmaps = watcher.ItemProperty(item, "IconPixmap");
  ASSERT_NE(pixmaps, nullptr);
  ASSERT_GT(g_variant_n_children(pixmaps), 0u) << "the icon file was read";
  for (gsize i = 0; i < g_variant_n_children(pixmaps); ++i) {
    gint32 w = 0, h = 0;
    GVariant* bytes = nullptr;
    g_variant_get_child(pixmaps, i, "(ii@ay)", &w, &h, &bytes);
    EXPECT_GT(w, 0);
    EXPECT_EQ(g_variant_n_children(bytes), static_cast<gsize>(w) * h * 4);
    g_variant_unref(bytes);
  }
  g_variant_unref(pixmaps);

  // Left click, then right click at a point.
  g_variant_unref(watcher.Call(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem",
                               "Activate", g_variant_new("(ii)", 5, 6)));
  g_variant_unref(watcher.Call(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem",
                               "ContextMenu", g_variant_new("(ii)", 640, 12)));
  ASSERT_TRUE(Eventually([&] { return reports.Get(&Reports::menus).size() == 1; }));
  EXPECT_EQ(reports.Get(&Reports::activations), 1);
  EXPECT_EQ(reports.Get(&Reports::menus)[0], std::make_pair(640, 12));

  // The same entries through the D-Bus menu.
  const auto children = MenuChildren(watcher.Call(
      item, menu.c_str(), "com.canonical.dbusmenu", "GetLayout",
      g_variant_new("(ii@as)", 0, -1, g_variant_new_strv(nullptr, 0))));
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(children[0].second, "Close settings");
  EXPECT_EQ(children[1].second, "Exit");
  for (const auto& child : children) {
    GVariant* done = watcher.Call(item, menu.c_str(), "com.canonical.dbusmenu", "Event",
                                  g_variant_new("(isvu)", child.first, "clicked",
                                                g_variant_new_int32(0), 0u));
    ASSERT_NE(done, nullptr);
    g_variant_unref(done);
  }
  EXPECT_EQ(watcher.Call(item, menu.c_str(), "com.canonical.dbusmenu", "Event",
                         g_variant_new("(isvu)", 99, "clicked", g_variant_new_int32(0), 0u)),
            nullptr)
      << "an unknown item is an error";
  ASSERT_TRUE(Eventually([&] { return reports.Get(&Reports::commands).size() == 2; }));
  EXPECT_EQ(reports.Get(&Reports::commands), (std::vector<int>{200, 100}));

  // Tooltip and menu changes reach the host.
  icon->SetTooltip("Hidden in the tray");
  ASSERT_TRUE(Eventually([&] { return watcher.SignalCount("NewToolTip") > 0; }));
  GVariant* tip = watcher.ItemProperty(item, "ToolTip");
  ASSERT_NE(tip, nullptr);
  const gchar* description = nullptr;
  g_variant_get(tip, "(&s@a(iiay)&s&s)", nullptr, nullptr, nullptr, &description);
  EXPECT_STREQ(description, "Hidden in the tray");
  g_variant_unref(tip);
  icon->SetMenu({{kExitCommand, "Quit"}});
  ASSERT_TRUE(Eventually([&] {
    return MenuChildren(watcher.Call(item, menu.c_str(), "com.canonical.dbusmenu", "GetLayout",
                                     g_variant_new("(ii@as)", 0, -1,
                                                   g_variant_new_strv(nullptr, 0)))) ==
           std::vector<std::pair<int, std::string>>{{1, "Quit"}};
  }));

  // Destruction takes the item off the bus, promptly.
  const auto before = Clock::now();
  icon.reset();
  EXPECT_LT(Clock::now() - before, std::chrono::seconds(2));
  EXPECT_TRUE(Eventually([&] {
    GVariant* owner = watcher.Call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                   "org.freedesktop.DBus", "NameHasOwner",
                                   g_variant_new("(s)", item.c_str()));
    gboolean has = TRUE;
    if (owner != nullptr) g_variant_get(owner, "(b)", &has), g_variant_unref(owner);
    return !has;
  }));
  EXPECT_TRUE(reports.Get(&Reports::kinds).empty()) << "no change after Create";
}

TEST_F(StatusIconTest, WithNoHostThereIsNoIconUntilAWatcherAppears) {
  auto icon = StatusIcon::Create(Spec());
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->Kind(), StatusIconKind::None);
  EXPECT_FALSE(icon->IsVisible());
  {
    TestWatcher watcher;
    ASSERT_TRUE(watcher.Ready());
    ASSERT_TRUE(Eventually([&] { return icon->Kind() == StatusIconKind::Sni; }));
    EXPECT_TRUE(icon->IsVisible());
    EXPECT_EQ(watcher.Registered().size(), 1u);
  }
  ASSERT_TRUE(Eventually([&] { return icon->Kind() == StatusIconKind::None; }));
  EXPECT_FALSE(icon->IsVisible());
  EXPECT_EQ(reports.Get(&Reports::kinds),
            (std::vector<StatusIconKind>{StatusIconKind::Sni, StatusIconKind::None}));
}

TEST_F(StatusIconTest, WithoutAWatcherTheIconDocksInTheXTrayAndTakesClicks) {
  TestTrayManager tray;
  ASSERT_TRUE(tray.Ready());
  auto icon = StatusIcon::Create(Spec());
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->Kind(), StatusIconKind::XEmbed);
  ASSERT_TRUE(Eventually([&] { return icon->IsVisible() && tray.Docked().size() == 1; }));
  const std::uint64_t xid = tray.Docked()[0];
  DockedWindow docked;
  ASSERT_TRUE(Eventually([&] {
    docked = Inspect(xid);
    return docked.pixelsOffGreen > 0;
  })) << "the icon is drawn over the tray's background";
  EXPECT_EQ(docked.parent, tray.ManagerWindow());
  EXPECT_TRUE(docked.viewable);

  SendClick(xid, 1, 0, 0);
  SendClick(xid, 3, 321, 54);
  ASSERT_TRUE(Eventually([&] { return reports.Get(&Reports::menus).size() == 1; }));
  EXPECT_EQ(reports.Get(&Reports::activations), 1);
  EXPECT_EQ(reports.Get(&Reports::menus)[0], std::make_pair(321, 54));

  icon.reset();
  EXPECT_FALSE(Inspect(xid).exists) << "the icon window is gone with the icon";
}

TEST_F(StatusIconTest, WithoutASessionBusTheXTrayStillServes) {
  TempFolder runtime;  // holds no bus socket
  ScopedEnv noBus{"DBUS_SESSION_BUS_ADDRESS", nullptr};
  ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.Path().c_str()};
  auto icon = StatusIcon::Create(Spec());
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->Kind(), StatusIconKind::None);
  {
    TestTrayManager tray;
    ASSERT_TRUE(tray.Ready());
    ASSERT_TRUE(Eventually([&] { return icon->Kind() == StatusIconKind::XEmbed; }));
    EXPECT_TRUE(Eventually([&] { return icon->IsVisible(); }));
  }
}

TEST_F(StatusIconTest, TheXTrayIconFollowsTheManagerAwayAndBack) {
  auto tray = std::make_unique<TestTrayManager>(/*alphaVisual=*/true);
  ASSERT_TRUE(tray->Ready());
  auto icon = StatusIcon::Create(Spec());
  ASSERT_TRUE(icon);
  ASSERT_TRUE(Eventually([&] { return icon->IsVisible() && tray->Docked().size() == 1; }));
  EXPECT_EQ(Inspect(tray->Docked()[0]).depth, 32) << "the offered visual with alpha is used";

  tray.reset();
  ASSERT_TRUE(Eventually([&] { return icon->Kind() == StatusIconKind::None; }));
  EXPECT_FALSE(icon->IsVisible());

  tray = std::make_unique<TestTrayManager>();
  ASSERT_TRUE(tray->Ready());
  ASSERT_TRUE(Eventually([&] { return icon->IsVisible() && tray->Docked().size() == 1; }));
  EXPECT_EQ(icon->Kind(), StatusIconKind::XEmbed);
  EXPECT_EQ(reports.Get(&Reports::kinds),
            (std::vector<StatusIconKind>{StatusIconKind::None, StatusIconKind::XEmbed}));
}

}  // namespace
