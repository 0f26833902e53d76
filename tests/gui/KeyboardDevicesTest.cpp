// The real program under Xvfb against the virtual keyboard server: which keyboards the device
// list shows at start, after plugs and unplugs on the list and on a page, and after a storm of
// them; choosing each model; choosing the current one again; the version request after a choice.
// What the list shows is read from the program's device trace, what the keyboard got from the
// server's report log.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "ProgramProcess.h"
#include "app/WindowIds.h"
#include "support/ControlMap.h"
#include "tavex/CDeviceCtrl.h"
#include "tavex/Codes.h"
#include "tavex/Native.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using GuiTest::ProgramHome;
using GuiTest::Spawned;
using TestSupport::ControlMap;

constexpr const char* kMainTitle = "Keywright";
constexpr auto kWait = 10s;
constexpr auto kPoll = 50ms;
constexpr auto kStormPause = 45ms;
constexpr const char* kFirst = "24AE:4076";
constexpr const char* kSecond = "1A2C:7FFF";
constexpr int kFirstType = 101;
constexpr int kSecondType = 102;

struct TraceLine {
  std::string kind;
  long long micros = 0;
  std::string rest;
};

class KeyboardDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    ASSERT_TRUE(map_.Ready());
  }
  void TearDown() override {
    if (program_ && program_->Running()) {
      GuiTest::SendRequest(Tavex::kExternalQuit);
      EXPECT_EQ(program_->Wait(10s), 0);
    }
  }

  // Starts the server with `models`, unplugs the first `unplugged` of them, runs the server
  // commands `setup`, then starts the program.
  void Start(const std::vector<std::string>& models, int unplugged = 0,
             const std::vector<std::string>& setup = {}) {
    ASSERT_TRUE(home_.StartVirtualKeyboard(models));
    for (int i = 0; i < unplugged; ++i) ASSERT_TRUE(Vkbd("unplug " + std::to_string(i)));
    for (const std::string& command : setup) ASSERT_TRUE(Vkbd(command)) << command;
    program_ = std::make_unique<Spawned>(
        GuiTest::ProgramCommand(), GuiTest::WithVariable(home_.Environment(), map_.Environment()));
    ASSERT_NE(GuiTest::WaitForMainWindow(), 0u);
    map_.SetWindow(kMainTitle);
    ASSERT_TRUE(map_.WaitFor(ids::kDeviceList).has_value());
    ASSERT_TRUE(WaitForRefresh([](const std::string&) { return true; })) << "no first refresh";
  }
  bool Vkbd(const std::string& command) { return home_.Vkbd(command).has_value(); }

  std::vector<TraceLine> Trace(const std::string& kind) const {
    std::vector<TraceLine> lines;
    std::istringstream in(home_.ReadFile(home_.DeviceTraceFile()));
    for (std::string line; std::getline(in, line);) {
      TraceLine t;
      std::istringstream fields(line);
      fields >> t.kind >> t.micros;
      std::getline(fields >> std::ws, t.rest);
      if (t.kind == kind) lines.push_back(t);
    }
    return lines;
  }
  // Waits until the last refresh shows what `accept` wants.
  bool WaitForRefresh(const std::function<bool(const std::string&)>& accept,
                      std::chrono::milliseconds timeout = kWait) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
      const auto lines = Trace("refresh");
      if (!lines.empty() && accept(lines.back().rest)) return true;
      std::this_thread::sleep_for(kPoll);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
  }
  static std::function<bool(const std::string&)> Shows(const std::string& model, bool connected) {
    const std::string want = model + (connected ? "=1" : "=0");
    return [want](const std::string& rest) { return rest.find(want) != std::string::npos; };
  }
  std::string LastRefresh() const {
    const auto lines = Trace("refresh");
    return lines.empty() ? "" : lines.back().rest;
  }

  // Presses row `row` of the device list (connected keyboards come first) and waits for the
  // switch to `type`.
  void Choose(int row, int type) {
    const size_t before = Trace("select").size();
    ASSERT_TRUE(map_.ClickAt(ids::kDeviceList, Tavex::CDeviceCtrl::kRowHeight * 2,
                             row * Tavex::CDeviceCtrl::kRowHeight + Tavex::CDeviceCtrl::kRowHeight / 2));
    ASSERT_TRUE(map_.WaitFor(ids::kTabStrip).has_value()) << "the pages did not show";
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (Trace("select").size() == before && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(kPoll);
    const auto selects = Trace("select");
    ASSERT_GT(selects.size(), before) << "no device switch";
    EXPECT_NE(selects.back().rest.find("type=" + std::to_string(type)), std::string::npos)
        << selects.back().rest;
  }
  // Back to the device list through the first item of the tab strip.
  void OpenDeviceList() {
    ASSERT_TRUE(map_.ClickAt(ids::kTabStrip, ids::kTabItemSize / 2, ids::kTabItemSize / 2));
    ASSERT_TRUE(map_.WaitFor(ids::kHomePage, 5s).has_value()) << "the device list did not show";
  }
  // Waits until control `id` is hidden (or gone from the map).
  bool WaitHidden(unsigned id) const {
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    do {
      if (!map_.Visible(id)) return true;
      std::this_thread::sleep_for(kPoll);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
  }
  // The report log lines of keyboard `index`.
  std::vector<std::string> Log(int index) {
    std::vector<std::string> lines;
    std::istringstream in(home_.Vkbd("log " + std::to_string(index)).value_or(""));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  void Screenshot(const std::string& name) {
    const char* dir = std::getenv("KW_SCREENSHOT_DIR");
    if (dir == nullptr || *dir == '\0') return;
    std::this_thread::sleep_for(300ms);  // the repaint after the state change
    fs::create_directories(dir);
    EXPECT_TRUE(GuiTest::SaveScreen(std::string(dir) + "/" + name + ".png"));
  }

  ControlMap map_;
  ProgramHome home_;
  std::unique_ptr<Spawned> program_;
};

TEST_F(KeyboardDevices, StartsWithNoKeyboard) {
  Start({"24ae:4076"}, 1);
  EXPECT_NE(LastRefresh().find("connected=0"), std::string::npos) << LastRefresh();
  EXPECT_NE(LastRefresh().find(std::string(kFirst) + "=0"), std::string::npos);
  Screenshot("devices-none");
}

TEST_F(KeyboardDevices, AKeyboardWithoutAccessShowsTheHintAndConnectsAfterTheRuleIsInstalled) {
  Start({"24ae:4076"}, 0, {"deny 0"});
  EXPECT_TRUE(WaitForRefresh([](const std::string& rest) {
    return rest.find("connected=0") != std::string::npos &&
           rest.find(std::string(kFirst) + "=denied") != std::string::npos;
  })) << LastRefresh();
  const auto hint = map_.WaitFor(ids::kStatusText, kWait, [](const auto& c) {
    return c.text.find("may not open it") != std::string::npos;
  });
  EXPECT_TRUE(hint.has_value()) << "the status line does not show the no-access hint";
  ASSERT_TRUE(map_.WaitFor(ids::kGrantAccessButton).has_value()) << "no allow-access button";
  Screenshot("devices-no-access");

  // What the installed rule does to the node's permissions, the server does here.
  ASSERT_TRUE(Vkbd("allow 0"));
  ASSERT_TRUE(map_.Click(ids::kGrantAccessButton));
  EXPECT_TRUE(WaitForRefresh(Shows(kFirst, true))) << LastRefresh();
  EXPECT_TRUE(WaitHidden(ids::kGrantAccessButton));

  const std::string rule =
      "# Written by Keywright: gives the logged-in user access to the HID interfaces of its "
      "keyboards.\n"
      "SUBSYSTEM==\"hidraw\", KERNEL==\"hidraw*\", ATTRS{idVendor}==\"24ae\", "
      "ATTRS{idProduct}==\"4076\", TAG+=\"uaccess\"\n";
  const std::string logged = home_.ReadFile(home_.PrivilegedLog());
  EXPECT_EQ(logged.rfind("pkexec\n/bin/sh\n-c\nprintf '%s' '", 0), 0u) << logged;
  EXPECT_NE(logged.find(rule), std::string::npos) << logged;
  EXPECT_NE(logged.find("' > /etc/udev/rules.d/70-keywright.rules && udevadm control --reload-rules"
                        " && udevadm trigger --subsystem-match=hidraw --action=change\n\n"),
            std::string::npos)
      << logged;
}

TEST_F(KeyboardDevices, StartsWithOneKeyboard) {
  Start({"24ae:4076"});
  EXPECT_TRUE(WaitForRefresh(Shows(kFirst, true))) << LastRefresh();
  EXPECT_NE(LastRefresh().find("connected=1"), std::string::npos);
  Screenshot("devices-one");
}

TEST_F(KeyboardDevices, WithBothIdentitiesTheSecondShowsNotConnected) {
  Start({"24ae:4076", "1a2c:7fff"});
  EXPECT_TRUE(WaitForRefresh(Shows(kFirst, true))) << LastRefresh();
  EXPECT_TRUE(WaitForRefresh(Shows(kSecond, false))) << LastRefresh();
  Screenshot("devices-two");
  // Without the first, the second is shown connected.
  ASSERT_TRUE(Vkbd("unplug 0"));
  EXPECT_TRUE(WaitForRefresh([](const std::string& rest) {
    return Shows(kFirst, false)(rest) && Shows(kSecond, true)(rest);
  })) << LastRefresh();
  Screenshot("devices-after-unplug");
}

TEST_F(KeyboardDevices, PlugAndUnplugOnTheListThenOnAPageReturnsToTheList) {
  Start({"24ae:4076"});
  ASSERT_TRUE(WaitForRefresh(Shows(kFirst, true)));
  ASSERT_TRUE(Vkbd("unplug 0"));
  EXPECT_TRUE(WaitForRefresh(Shows(kFirst, false))) << LastRefresh();
  EXPECT_NE(LastRefresh().find("connected=0"), std::string::npos);
  ASSERT_TRUE(Vkbd("replug 0"));
  EXPECT_TRUE(WaitForRefresh(Shows(kFirst, true))) << LastRefresh();

  Choose(0, kFirstType);
  ASSERT_TRUE(Vkbd("unplug 0"));
  EXPECT_TRUE(WaitForRefresh(Shows(kFirst, false))) << LastRefresh();
  EXPECT_TRUE(WaitHidden(ids::kTabStrip)) << "the pages stayed after the unplug";
  EXPECT_TRUE(map_.WaitFor(ids::kHomePage).has_value()) << "the device list did not come back";

  // Plugged back in, it can be chosen again and the switch runs again.
  ASSERT_TRUE(Vkbd("replug 0"));
  ASSERT_TRUE(WaitForRefresh(Shows(kFirst, true)));
  Choose(0, kFirstType);
  EXPECT_EQ(Trace("select").size(), 2u);
}

TEST_F(KeyboardDevices, ChoosingAKeyboardOpensItsStoreAndAsksForTheVersionThreeSecondsLater) {
  Start({"24ae:4076"});
  ASSERT_TRUE(WaitForRefresh(Shows(kFirst, true)));
  Choose(0, kFirstType);
  const long long chosenAt = Trace("select").back().micros;
  EXPECT_TRUE(fs::exists(home_.Path() + "/data/Tarnwick Files/db/Tarnwick_V3_data.db"));

  // The version request is the keyboard's only feature read.
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  while (Trace("firmware").empty() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(kPoll);
  ASSERT_EQ(Trace("firmware").size(), 1u);
  EXPECT_EQ(Trace("firmware")[0].rest, "version=0105");
  long long requestNs = -1;
  for (const std::string& line : Log(0))
    if (requestNs < 0 && line.find(" feature-get ") != std::string::npos) requestNs = std::stoll(line);
  ASSERT_GE(requestNs, 0) << "no version request in the keyboard's log";
  const long long delayMs = (requestNs / 1000 - chosenAt) / 1000;
  EXPECT_GE(delayMs, 2900);
  EXPECT_LE(delayMs, 4500);

  // The same keyboard again: nothing is switched and nothing reaches the keyboard.
  const size_t reports = Log(0).size();
  OpenDeviceList();
  ASSERT_TRUE(map_.ClickAt(ids::kDeviceList, Tavex::CDeviceCtrl::kRowHeight * 2,
                           Tavex::CDeviceCtrl::kRowHeight / 2));
  ASSERT_TRUE(map_.WaitFor(ids::kTabStrip).has_value()) << "the pages did not show";
  std::this_thread::sleep_for(4s);  // past another timer 300
  EXPECT_EQ(Trace("select").size(), 1u);
  EXPECT_EQ(Log(0).size(), reports);
}

TEST_F(KeyboardDevices, TheSecondModelIsChosenWithItsOwnType) {
  Start({"1a2c:7fff"});
  ASSERT_TRUE(WaitForRefresh(Shows(kSecond, true)));
  Choose(0, kSecondType);
  EXPECT_NE(Trace("select").back().rest.find("index=0"), std::string::npos);
}

TEST_F(KeyboardDevices, AStormOfPlugsAndUnplugsEndsInTheLastState) {
  Start({"24ae:4076"});
  ASSERT_TRUE(WaitForRefresh(Shows(kFirst, true)));
  Choose(0, kFirstType);
  const auto begin = std::chrono::steady_clock::now();
  const size_t refreshes = Trace("refresh").size();
  // 20 cycles over about 2 s, so that notices also arrive while refreshes run.
  for (int cycle = 0; cycle < 20; ++cycle) {
    ASSERT_TRUE(Vkbd("unplug 0"));
    std::this_thread::sleep_for(kStormPause);
    ASSERT_TRUE(Vkbd("replug 0"));
    std::this_thread::sleep_for(kStormPause);
  }
  const auto took = std::chrono::steady_clock::now() - begin;
  EXPECT_TRUE(WaitForRefresh(Shows(kFirst, true))) << LastRefresh();
  std::this_thread::sleep_for(1s);  // nothing still queued changes the end state
  EXPECT_TRUE(Shows(kFirst, true)(LastRefresh())) << LastRefresh();
  EXPECT_TRUE(program_->Running());
  RecordProperty("storm_ms", static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
  RecordProperty("refreshes", static_cast<int>(Trace("refresh").size() - refreshes));
  // The keyboard still answers: choose it again after the pages went back to the list.
  ASSERT_TRUE(map_.WaitFor(ids::kHomePage).has_value());
  Choose(0, kFirstType);
}

}  // namespace
