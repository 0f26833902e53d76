// The key page of the real program against the virtual keyboard, clicked by control id: function
// keys, the key menu, the custom key dialog (combination, macro, shortcut, web address), the two
// limits, the host-side functions the keyboard triggers, the profile list with its resets, and an
// unplug while a transfer runs.
// What the keyboard received is compared with key-table and macro-area bytes written out here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "GalleryProcess.h"
#include "KeyboardSession.h"
#include "ProgramProcess.h"
#include "app/CustomKeyDlg.h"
#include "app/KeyPageController.h"
#include "app/WindowIds.h"
#include "docs/LayoutFile.h"
#include "store/ProfileStore.h"
#include "support/ControlMap.h"
#include "tavex/CDeviceCtrl.h"
#include "tavex/KeyFuncControl.h"
// Last: it brings the X11 headers and their macros.
#include "support/PasteReceiver.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using GuiTest::Eventually;
using GuiTest::kMainTitle;
using GuiTest::kMenuTitle;
using GuiTest::Spawned;
constexpr long kQuit = 610;
constexpr int kListRowHeight = 30;

// Layout codes (HID usages) of keys on the 87-key picture.
constexpr int kEsc = 0x29;
constexpr int kKeyA = 0x04;
constexpr int kF2 = 0x3b;
constexpr int kF3 = 0x3c;
// Function list entries by their value.
constexpr int kFunctionF1 = 58;

// Twelve assignments of `kind` and `value` on F1 to F12 (codes 0x3a to 0x45) of profile 1.
void FillTwelve(ProfileStore& store, int32_t kind, int32_t value) {
  for (int32_t code = 0x3a; code <= 0x45; ++code) {
    KeyAssignmentRecord r;
    r.profile = 1;
    r.key_code = code;
    r.macro_type = kind;
    r.macro_value = value;
    ASSERT_GT(store.SaveKeyAssignment(r), 0);
  }
}

class KeyAssignment : public ::testing::Test, protected GuiTest::KeyboardSession {
 protected:
  void SetUp() override {
    ASSERT_TRUE(map_.Ready());
    ASSERT_TRUE(home_.StartVirtualKeyboard());
    ASSERT_FALSE(layout_.Keys().empty());
  }
  void TearDown() override {
    if (program_ && program_->Running()) {
      GuiTest::SendRequest(kQuit);
      program_->Wait(10s);
    }
  }

  // A store prepared before the program starts (defaults made the way a first start makes them).
  void PrepareStore(const std::function<void(ProfileStore&)>& fill) {
    fs::create_directories(DataFolder() + "db");
    ProfileStore store;
    ASSERT_TRUE(store.OpenForDevice(DataFolder(), "Tarnwick_V3"));
    std::vector<ProfileRecord> profiles;
    store.ListProfilesWithDefaults("Profile", profiles);
    fill(store);
    store.Close();
  }

  void Start(const std::string& lang = "en_US.UTF-8",
             const std::vector<std::pair<std::string, std::string>>& extra = {}) {
    std::vector<std::string> env =
        GuiTest::WithVariable(home_.Environment(lang), map_.Environment());
    for (const auto& variable : extra) env = GuiTest::WithVariable(env, variable);
    program_ = std::make_unique<Spawned>(GuiTest::ProgramCommand(), env);
    ASSERT_NE(GuiTest::WaitForMainWindow(), 0u);
    map_.SetWindow(kMainTitle);
    ChooseKeyboard();
  }
  // Presses the keyboard's row of the device list once a refresh marked it connected, and waits
  // for the key page and the store task 5 reads.
  void ChooseKeyboard() {
    ASSERT_TRUE(map_.WaitFor(ids::kDeviceList).has_value());
    std::this_thread::sleep_for(700ms);  // the first device refresh marks the keyboard connected
    ASSERT_TRUE(map_.ClickAt(ids::kDeviceList, Tavex::CDeviceCtrl::kRowHeight * 2,
                             Tavex::CDeviceCtrl::kRowHeight / 2));
    ASSERT_TRUE(map_.WaitFor(ids::kKeyKeyboard).has_value()) << "the key page did not show";
    // Task 5 fills the profile list from the store.
    ASSERT_TRUE(Eventually([&] { return fs::exists(Database()); }));
    std::this_thread::sleep_for(500ms);
  }
};

TEST_F(KeyAssignment, AFunctionKeyReachesTheKeyTableAndTheKeyMenuResetsIt) {
  Start();
  const int before = KeyTableTransfers();
  ASSERT_TRUE(KeyButton(kEsc, false));
  std::this_thread::sleep_for(300ms);
  const auto click = std::chrono::steady_clock::now();
  ASSERT_TRUE(ClickFunction(kFunctionF1));
  ASSERT_TRUE(WaitForTransfer(before + 1));
  EXPECT_EQ(KeyTable(), std::vector<std::string>{"key 0 code=29 value=3a"});
  // Figures, not checks: from the click to the macro area's begin report (07 01 23 45 67) and to
  // the key table's end report (07 fe dc ba), on the same monotonic clock as the keyboard's log.
  const std::string log = home_.Vkbd("log 0").value_or("");
  const auto reportNs = [&](const std::string& bytes) -> long long {
    const size_t at = log.rfind(bytes);
    if (at == std::string::npos) return 0;
    const size_t line = log.rfind('\n', at);
    return std::stoll(log.substr(line == std::string::npos ? 0 : line + 1));
  };
  const long long clickNs =
      std::chrono::duration_cast<std::chrono::nanoseconds>(click.time_since_epoch()).count();
  const long long firstNs = reportNs(" 07 01 23 45 67");
  const long long lastNs = reportNs(" 07 fe dc ba");
  if (firstNs > 0 && lastNs > 0)
    std::printf("key transfer: click to first report %.1f ms, to last report %.1f ms\n",
                (firstNs - clickNs) / 1e6, (lastNs - clickNs) / 1e6);
  EXPECT_EQ(Sql("SELECT macro_type, macro_value FROM t_key_macro_data WHERE key_code = 41"),
            "2|58\n");

  ASSERT_TRUE(KeyMenu(kEsc, KeyPageController::kMenuReset));
  ASSERT_TRUE(WaitForTransfer(before + 2));
  EXPECT_TRUE(KeyTable().empty());
  EXPECT_EQ(Sql("SELECT COUNT(*) FROM t_key_macro_data"), "0\n");
}

TEST_F(KeyAssignment, TheThirteenthFunctionKeyIsRefusedAndNothingIsSent) {
  PrepareStore([](ProfileStore& store) { FillTwelve(store, 2, kFunctionF1); });
  Start();
  const int before = KeyTableTransfers();
  ASSERT_TRUE(KeyButton(kEsc, false));
  ASSERT_TRUE(ClickFunction(kFunctionF1));
  EXPECT_EQ(AnswerMessage(), "A profile can hold at most 12 function keys.");
  EXPECT_EQ(KeyTableTransfers(), before);
  EXPECT_EQ(Sql("SELECT COUNT(*) FROM t_key_macro_data WHERE key_code = 41"), "0\n");
}

TEST_F(KeyAssignment, UnpluggingDuringATransferReturnsToTheListAndAReplugWorksAgain) {
  Start();
  ASSERT_TRUE(KeyButton(kEsc, false));
  std::this_thread::sleep_for(300ms);
  ASSERT_TRUE(ClickFunction(kFunctionF1));
  ASSERT_TRUE(home_.Vkbd("unplug 0").has_value());

  // The wait dialog goes, the pages give way to the device list, which shows it not connected.
  EXPECT_TRUE(Eventually([&] { return !WaitDialogShown(); })) << "the wait dialog stayed";
  EXPECT_TRUE(Eventually([&] { return LastRefresh().find("24AE:4076=0") != std::string::npos; }))
      << LastRefresh();
  EXPECT_NE(LastRefresh().find("connected=0"), std::string::npos) << LastRefresh();
  EXPECT_TRUE(map_.WaitFor(ids::kHomePage, 10s).has_value()) << "the device list did not come back";
  EXPECT_TRUE(Eventually([&] { return !map_.Visible(ids::kTabStrip); })) << "the tab strip stayed";
  ASSERT_TRUE(program_->Running());

  // Plugged back in and chosen again, the next assignment reaches the keyboard.
  ASSERT_TRUE(home_.Vkbd("replug 0").has_value());
  ASSERT_TRUE(Eventually([&] { return LastRefresh().find("24AE:4076=1") != std::string::npos; }))
      << LastRefresh();
  ChooseKeyboard();
  const int before = KeyTableTransfers();
  ASSERT_TRUE(KeyButton(kEsc, false));
  std::this_thread::sleep_for(300ms);
  ASSERT_TRUE(ClickFunction(kFunctionF1));
  ASSERT_TRUE(WaitForTransfer(before + 1));
  EXPECT_EQ(KeyTable(), std::vector<std::string>{"key 0 code=29 value=3a"});
  EXPECT_FALSE(WaitDialogShown());
  EXPECT_TRUE(program_->Running());
}

TEST_F(KeyAssignment, TheDialogStoresACombinationAMacroAShortcutAndAnAddress) {
  PrepareStore([](ProfileStore& store) {
    const int32_t id = store.AddMacro("Hello");
    store.AddMacroEvents({{0, id, 2, 0, 65, 10, "A"}, {0, id, 3, 1, 65, 10, "A"}});
    store.AddMacro("Empty");
  });
  Start();
  int transfers = KeyTableTransfers();

  // Shift + Ctrl + the key right of the minus key on key A.
  ASSERT_TRUE(AssignShiftCtrlCombination(kKeyA, "equal"));
  ASSERT_TRUE(WaitForTransfer(++transfers));
  EXPECT_EQ(KeyTable(), std::vector<std::string>{"key 0 code=04 value=2e"});
  EXPECT_EQ(Sql("SELECT macro_type, macro_value, macro_value2, macro_desc FROM t_key_macro_data"),
            "2|46|3|Shift + Ctrl + =+\n");

  // A macro without events is refused; the one with two events goes on F2.
  ASSERT_TRUE(KeyMenu(kF2, KeyPageController::kMenuMacro));
  ASSERT_TRUE(InDialog(
      [&] { return PickRow(CustomKeyDlg::kChoiceList, 1) && map_.Click(CustomKeyDlg::kConfirm); }));
  EXPECT_EQ(AnswerMessage(), "This macro has no events yet. Record it first.");
  ASSERT_TRUE(InDialog(
      [&] { return PickRow(CustomKeyDlg::kChoiceList, 0) && map_.Click(CustomKeyDlg::kConfirm); }));
  ASSERT_TRUE(WaitForTransfer(++transfers));

  // Shortcut 1 (Ctrl+A) on F3.
  ASSERT_TRUE(KeyMenu(kF3, KeyPageController::kMenuShortcut));
  ASSERT_TRUE(InDialog([&] { return map_.Click(CustomKeyDlg::kConfirm); }));
  ASSERT_TRUE(WaitForTransfer(++transfers));
  const std::string zeros = [] {
    std::string z;
    for (int i = 0; i < 52; ++i) z += " 00";
    return z;
  }();
  // Macro blocks first, then shortcut blocks: key, played once, press and release pairs.
  EXPECT_EQ(MacroBlock(0), "00 00 3b 01 04 01 04 81 00 00 00 00" + zeros);
  EXPECT_EQ(MacroBlock(1), "00 00 3c 01 e0 01 04 01 04 81 e0 81" + zeros);

  // A web address on Esc: a host-function row, its number in the key table.
  ASSERT_TRUE(KeyMenu(kEsc, KeyPageController::kMenuShortcut));
  ASSERT_TRUE(InDialog([&] {
    return PickRow(CustomKeyDlg::kTypeList, 6) && map_.Click(CustomKeyDlg::kField) &&
           TestSupport::RunXDoTool("type --delay 20 https://example.com/a") &&
           map_.Click(CustomKeyDlg::kConfirm);
  }));
  ASSERT_TRUE(WaitForTransfer(++transfers));
  EXPECT_EQ(Sql("SELECT macro_value, param, type FROM t_key_otherdata"), "1||9\n");
  EXPECT_EQ(Sql("SELECT macro_type, macro_value, macro_desc FROM t_key_macro_data "
                "WHERE key_code = 41"),
            "9|1|https://example.com/a\n");
}

TEST_F(KeyAssignment, TheTwelveMacroAndShortcutKeyLimitKeepsTheDialogClosed) {
  PrepareStore([](ProfileStore& store) { FillTwelve(store, 7, 1); });
  Start();
  ASSERT_TRUE(KeyMenu(kEsc, KeyPageController::kMenuMacro));
  EXPECT_EQ(AnswerMessage(), "A profile can hold at most 12 macro and shortcut keys.");
  map_.SetWindow(GuiTest::kCustomKeyTitle);
  EXPECT_FALSE(map_.WaitFor(CustomKeyDlg::kConfirm, 1s).has_value());
}

TEST_F(KeyAssignment, DeviceEventsRunTheHostFunctions) {
  const std::string marker = home_.Path() + "/started";
  const std::string script = home_.Path() + "/tool.sh";
  std::ofstream(script) << "#!/bin/sh\ntouch '" << marker << "'\n";
  fs::permissions(script, fs::perms::owner_all);
  int32_t program = 0, address = 0, text = 0, profile = 0, gone = 0;
  PrepareStore([&](ProfileStore& store) {
    program = store.AddKeyOtherData(script, script, 8);
    address = store.AddKeyOtherData("example.org", "", 9);
    text = store.AddKeyOtherData("pasted 文字", "", 10);
    profile = store.AddKeyOtherData("Profile 2", "2", 11);
    gone = store.AddKeyOtherData("Old", "99", 11);
  });
  Start();
  const auto event = [&](int32_t id) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%x", id);
    ASSERT_TRUE(home_.Vkbd("event 0 " + std::string(hex)));
  };

  event(program);
  EXPECT_TRUE(Eventually([&] { return fs::exists(marker); })) << "the program did not start";
  event(address);
  EXPECT_TRUE(Eventually([&] {
    return home_.ReadFile(home_.ShellLog()).find("http://www.example.org") != std::string::npos;
  }));

  TestSupport::PasteReceiver receiver;
  ASSERT_TRUE(receiver.Ready());
  ASSERT_TRUE(receiver.Focus());
  event(text);
  EXPECT_EQ(receiver.WaitForText(5s), "pasted 文字");

  // A row naming a deleted profile does nothing; the switch shows profile 2 without sending, and
  // the next assignment lands in profile 2.
  const int transfers = KeyTableTransfers();
  event(gone);
  event(profile);
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(KeyTableTransfers(), transfers);
  ASSERT_TRUE(KeyButton(kEsc, false));
  ASSERT_TRUE(ClickFunction(kFunctionF1));
  ASSERT_TRUE(WaitForTransfer(transfers + 1));
  EXPECT_EQ(Sql("SELECT profile FROM t_key_macro_data WHERE key_code = 41"), "2\n");
}

TEST_F(KeyAssignment, TheProgramChooserFillsThePathThatTheKeyThenStarts) {
  // The desktop's chooser is a zenity stand-in that answers with a script; no portal answers.
  const std::string marker = home_.Path() + "/chosen-started";
  const std::string script = home_.Path() + "/chosen.sh";
  std::ofstream(script) << "#!/bin/sh\ntouch '" << marker << "'\n";
  fs::permissions(script, fs::perms::owner_all);
  const std::string bin = home_.Path() + "/bin";
  fs::create_directories(bin);
  std::ofstream(bin + "/zenity") << "#!/bin/sh\nprintf '%s\\n' '" << script << "'\n";
  fs::permissions(bin + "/zenity", fs::perms::owner_all);
  const char* path = std::getenv("PATH");
  Start("en_US.UTF-8", {{"PATH", bin + ":" + (path != nullptr ? path : "/usr/bin:/bin")},
                        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"}});
  const int transfers = KeyTableTransfers();
  ASSERT_TRUE(KeyMenu(kEsc, KeyPageController::kMenuShortcut));
  ASSERT_TRUE(InDialog([&] {
    if (!PickRow(CustomKeyDlg::kTypeList, 5) || !map_.Click(CustomKeyDlg::kChooseProgram))
      return false;
    const auto field =
        map_.WaitFor(CustomKeyDlg::kField, 10s, [&](const auto& c) { return c.text == script; });
    return field.has_value() && map_.Click(CustomKeyDlg::kConfirm);
  }));
  ASSERT_TRUE(WaitForTransfer(transfers + 1));
  EXPECT_EQ(Sql("SELECT macro_value, macro_desc, param, type FROM t_key_otherdata"),
            "1|" + script + "|" + script + "|8\n");
  EXPECT_EQ(KeyTable(), std::vector<std::string>{"key 0 code=29 value=01"});
  ASSERT_TRUE(home_.Vkbd("event 0 1"));
  EXPECT_TRUE(Eventually([&] { return fs::exists(marker); })) << "the chosen program did not start";
}

TEST_F(KeyAssignment, ProfilesAreCreatedRenamedDeletedSelectedAndReset) {
  Start();
  EXPECT_EQ(Sql("SELECT name FROM t_profile_data ORDER BY profile"),
            "Profile 1\nProfile 2\nProfile 3\n");
  int transfers = KeyTableTransfers();
  ASSERT_TRUE(map_.Click(ids::kProfileAdd));
  ASSERT_TRUE(WaitForTransfer(++transfers));
  EXPECT_EQ(Sql("SELECT name, status FROM t_profile_data WHERE profile = 4"), "Profile 4|1\n");

  // Renaming the new (selected) profile: a blocked word, an empty name, then a good one.
  const auto rename = [&](const std::string& keys) {
    map_.Click(ids::kProfileRename);
    std::this_thread::sleep_for(300ms);
    TestSupport::RunXDoTool("key ctrl+a BackSpace");
    if (!keys.empty()) TestSupport::RunXDoTool("type --delay 20 '" + keys + "'");
    TestSupport::RunXDoTool("key Return");
  };
  rename("My Admin keys");
  EXPECT_EQ(AnswerMessage(), "The name contains a word that is not allowed.");
  rename("");
  EXPECT_EQ(AnswerMessage(), "The name cannot be empty.");
  EXPECT_EQ(Sql("SELECT name FROM t_profile_data WHERE profile = 4"), "Profile 4\n");
  rename("Gaming");
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(Sql("SELECT name FROM t_profile_data WHERE profile = 4"), "Gaming\n");

  // Selecting the second row makes profile 2 active and sends it.
  ASSERT_TRUE(map_.ClickAt(ids::kProfileList, 60, kListRowHeight + kListRowHeight / 2));
  ASSERT_TRUE(WaitForTransfer(++transfers));
  EXPECT_EQ(Sql("SELECT profile FROM t_profile_data WHERE status = 1"), "2\n");

  // Deleting it asks, then selects the row before.
  ASSERT_TRUE(map_.Click(ids::kProfileDelete));
  EXPECT_EQ(AnswerMessage(), "Delete the selected profile?");
  ASSERT_TRUE(WaitForTransfer(++transfers));
  EXPECT_EQ(Sql("SELECT profile FROM t_profile_data ORDER BY profile"), "1\n3\n4\n");
  EXPECT_EQ(Sql("SELECT profile FROM t_profile_data WHERE status = 1"), "1\n");

  // Reset keys empties the active profile's table.
  ASSERT_TRUE(KeyButton(kEsc, false));
  ASSERT_TRUE(ClickFunction(kFunctionF1));
  ASSERT_TRUE(WaitForTransfer(++transfers));
  ASSERT_EQ(KeyTable().size(), 1u);
  ASSERT_TRUE(map_.Click(ids::kProfileReset));
  EXPECT_EQ(AnswerMessage(), "Reset all keys of the current profile to their defaults?");
  ASSERT_TRUE(WaitForTransfer(++transfers));
  EXPECT_TRUE(KeyTable().empty());
  EXPECT_EQ(Sql("SELECT COUNT(*) FROM t_key_macro_data"), "0\n");
}

TEST_F(KeyAssignment, FactoryResetSendsItsCommandAndStartsAFreshStore) {
  home_.WriteSettings("LCID=2052\nexit_mode=2\n");
  Start();
  const int before = KeyTableTransfers();
  ASSERT_TRUE(map_.Click(ids::kProfileAdd));
  ASSERT_TRUE(WaitForTransfer(before + 1));
  ASSERT_EQ(Sql("SELECT COUNT(*) FROM t_profile_data"), "4\n");
  // The settings page is the last tab item.
  ASSERT_TRUE(map_.ClickAt(ids::kTabStrip, ids::kTabItemSize / 2,
                           4 * ids::kTabItemSize + ids::kTabItemSize / 2));
  ASSERT_TRUE(map_.WaitFor(ids::kSettingsPage, 5s).has_value());
  const int lightingBefore = LightingCommands();
  ASSERT_TRUE(map_.Click(ids::kFactoryResetButton));
  AnswerMessage();
  EXPECT_TRUE(
      Eventually([&] { return home_.Vkbd("log 0").value_or("").find(" 07 f0 aa") != std::string::npos; }));
  EXPECT_TRUE(Eventually([&] { return Sql("SELECT COUNT(*) FROM t_profile_data") == "3\n"; }));
  // The pages are built again from the fresh store: the lighting page makes its rows from the
  // layout and sends the active mode on the first custom slot.
  EXPECT_TRUE(Eventually([&] { return LightingCommands() > lightingBefore; }));
  EXPECT_NE(Sql("SELECT COUNT(*) FROM t_light_data"), "0\n");
  EXPECT_NE(Sql("SELECT COUNT(*) FROM t_light_data WHERE status = 1"), "0\n");
  EXPECT_EQ(StateNumber("lighting .*slot=(\\d+)"), 0);
  const std::string settings = home_.ReadFile(home_.SettingsFile());
  EXPECT_NE(settings.find("exit_mode=0"), std::string::npos);
  EXPECT_NE(settings.find("LCID=1033"), std::string::npos);  // the English locale of the run
}

// Pictures to look at (saved when KW_SCREENSHOT_DIR is set): the key page with assignments and a
// tip, the key menu, and the custom key dialog showing each of its nine types, in both languages.
class KeyAssignmentPictures : public KeyAssignment,
                              public ::testing::WithParamInterface<const char*> {};

TEST_P(KeyAssignmentPictures, KeyPageMenuAndEveryDialogType) {
  const char* dir = std::getenv("KW_SCREENSHOT_DIR");
  if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "set KW_SCREENSHOT_DIR to keep pictures";
  const std::string lang = GetParam();
  const std::string tag = lang.substr(0, 2);
  PrepareStore([](ProfileStore& store) {
    const int32_t kinds[][3] = {{0x29, 1, 1}, {0x3a, 2, 58}, {0x3b, 7, 3}, {0x04, 5, 2}};
    for (const auto& k : kinds) {
      KeyAssignmentRecord r;
      r.profile = 1;
      r.key_code = k[0];
      r.macro_type = k[1];
      r.macro_value = k[2];
      r.macro_desc = k[1] == 7 ? "Cut (Ctrl+X)" : k[1] == 2 ? "F1" : "";
      store.SaveKeyAssignment(r);
    }
  });
  Start(lang);
  const auto shot = [&](const std::string& name) {
    std::this_thread::sleep_for(500ms);
    return GuiTest::SaveScreen(std::string(dir) + "/" + name + "-" + tag + ".png");
  };
  const LayoutKey* f2 = FindKey(kF2);
  const TestSupport::ScreenRect view = map_.RectOf(ids::kKeyKeyboard);
  ASSERT_NE(f2, nullptr);
  TestSupport::MovePointer(
      view.left + (view.Width() - layout_.Width()) / 2 + (f2->left + f2->right) / 2,
      view.top + (f2->top + f2->bottom) / 2);
  std::this_thread::sleep_for(800ms);
  EXPECT_TRUE(shot("keypage"));
  ASSERT_TRUE(KeyButton(kF3, true));
  EXPECT_TRUE(shot("keymenu"));
  map_.SetWindow(kMenuTitle);
  ASSERT_TRUE(map_.Click(KeyPageController::kMenuShortcut));
  map_.SetWindow(kMainTitle);
  ASSERT_TRUE(InDialog([&] {
    bool ok = true;
    for (int row = 0; row < 9; ++row) {
      ok = ok && PickRow(CustomKeyDlg::kTypeList, row);
      ok = ok && shot("dialog-type" + std::to_string(row));
    }
    return ok && map_.Click(CustomKeyDlg::kClose);
  }));
}

INSTANTIATE_TEST_SUITE_P(Languages, KeyAssignmentPictures,
                         ::testing::Values("en_US.UTF-8", "zh_CN.UTF-8"));

}  // namespace
