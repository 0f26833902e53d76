// The macro page of the real program under Xvfb with the virtual keyboard: recording keys typed
// through the X server (xdotool) while another client sees none of them, the 30-event limit,
// the key field's capture of a button and a key, the list's buttons and its context menu.
// The database is read back with sqlite3. Screenshots go to KW_SCREENSHOT_DIR when set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ProgramProcess.h"
#include "app/WindowIds.h"
#include "platform/InputCapture.h"
#include "store/ProfileStore.h"
#include "support/ControlMap.h"
#include "tavex/CDeviceCtrl.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using GuiTest::ProgramHome;
using GuiTest::Spawned;
using TestSupport::CommandOutput;
using TestSupport::ControlMap;
using TestSupport::RunXDoTool;

constexpr long kQuit = 610;
constexpr const char* kMainTitle = "Keywright";
constexpr const char* kMessageTitle = "MessageBox";
constexpr const char* kMenuTitle = "Menu Window";
constexpr unsigned kMessageOk = 33;
constexpr unsigned kMenuPaste = 610;
constexpr int kListRowHeight = 30;
constexpr int kTabPosition = 2;  // the macro tab is the third of the strip
constexpr int kKeyTabPosition = 1;

// A test X client that prints the keys it receives.
class KeyWitness {
 public:
  explicit KeyWitness(const std::string& folder) : log_(folder + "/witness.log") {
    process_ = std::make_unique<Spawned>(
        std::vector<std::string>{"/bin/sh", "-c",
                                 "exec xev -event keyboard -geometry 120x80+1000+700 -name "
                                 "KeyWitness > '" + log_ + "'"},
        std::vector<std::string>{std::string("DISPLAY=") + std::getenv("DISPLAY")});
    window_ = CommandOutput("timeout 5 xdotool search --sync --name KeyWitness | head -1");
    while (!window_.empty() && window_.back() == '\n') window_.pop_back();
  }
  bool Ready() const { return !window_.empty(); }
  bool Focus() const { return RunXDoTool("windowfocus --sync " + window_); }
  int Presses() const {
    const std::string text = CommandOutput("grep -c '^KeyPress' '" + log_ + "' || true");
    return std::atoi(text.c_str());
  }

 private:
  std::string log_;
  std::string window_;
  std::unique_ptr<Spawned> process_;
};

class MacroPage : public ::testing::Test {
 protected:
  void Start(const std::string& lang = "en_US.UTF-8", std::vector<std::string> extraEnv = {}) {
    ASSERT_TRUE(map_.Ready());
    ASSERT_TRUE(home_.StartVirtualKeyboard());
    std::vector<std::string> env = GuiTest::WithVariable(home_.Environment(lang), map_.Environment());
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    program_ = std::make_unique<Spawned>(GuiTest::ProgramCommand(), env);
    ASSERT_NE(GuiTest::WaitForMainWindow(), 0u);
    map_.SetWindow(kMainTitle);
    ASSERT_TRUE(map_.WaitFor(ids::kDeviceList).has_value());
    std::this_thread::sleep_for(700ms);  // the first device refresh marks the keyboard connected
    ASSERT_TRUE(map_.ClickAt(ids::kDeviceList, Tavex::CDeviceCtrl::kRowHeight * 2,
                             Tavex::CDeviceCtrl::kRowHeight / 2));
    ASSERT_TRUE(map_.WaitFor(ids::kTabStrip).has_value());
    OpenPage(kTabPosition, ids::kMacroPage);
  }
  // Clicks the tab again while the window is disabled by a transfer (a click then is dropped).
  void OpenPage(int position, unsigned page) {
    ASSERT_TRUE(map_.ClickAtUntil(
        ids::kTabStrip, ids::kTabItemSize / 2, position * ids::kTabItemSize + ids::kTabItemSize / 2,
        [&] { return map_.WaitFor(page, 0ms).has_value(); }, 5, 2s))
        << "page " << page << " did not show";
  }
  void TearDown() override {
    if (program_ && program_->Running()) {
      GuiTest::SendRequest(kQuit);
      program_->Wait(10s);
    }
  }
  std::string DataFolder() const { return home_.Path() + "/data/Tarnwick Files/"; }
  // One line per row, columns separated by '|'.
  std::string Query(const std::string& sql) const {
    return CommandOutput("sqlite3 '" + ProfileStore::DatabasePath(DataFolder(), "Tarnwick_V3") +
                         "' \"" + sql + "\"");
  }
  // Waits until `sql` gives `expected`; the last answer.
  std::string WaitQuery(const std::string& sql, const std::string& expected) const {
    std::string got;
    for (int i = 0; i < 50 && got != expected; ++i) {
      got = Query(sql);
      if (got != expected) std::this_thread::sleep_for(100ms);
    }
    return got;
  }
  std::string Records(int macro) const {
    return Query("select desc, type, value from t_macrorecord where macro_id = " +
                 std::to_string(macro) + " order by record_index");
  }
  void Key(const std::string& args) {
    ASSERT_TRUE(RunXDoTool(args));
    std::this_thread::sleep_for(120ms);
  }
  void Shot(const std::string& name) {
    const char* dir = std::getenv("KW_SCREENSHOT_DIR");
    if (dir == nullptr || *dir == '\0') return;
    std::this_thread::sleep_for(400ms);
    fs::create_directories(dir);
    EXPECT_TRUE(GuiTest::SaveScreen(std::string(dir) + "/" + name + ".png"));
  }
  // A database with one macro of `count` events (press and release of Q) before the start.
  void SeedMacro(const std::string& name, int count) {
    fs::create_directories(DataFolder() + "db");
    ProfileStore store;
    ASSERT_TRUE(store.OpenForDevice(DataFolder(), "Tarnwick_V3"));
    const int32_t id = store.AddMacro(name);
    std::vector<MacroEventRecord> events;
    for (int i = 0; i < count; ++i)
      events.push_back({0, id, 2 + i % 2, i, 'Q', 10 + i, "Q"});
    ASSERT_TRUE(store.AddMacroEvents(events));
    store.Close();
  }
  // Answers the message box the program shows now.
  bool ConfirmMessage() {
    map_.SetWindow(kMessageTitle);
    const bool clicked = map_.Click(kMessageOk);
    map_.SetWindow(kMainTitle);
    std::this_thread::sleep_for(300ms);
    return clicked;
  }

  ControlMap map_;
  ProgramHome home_;
  std::unique_ptr<Spawned> program_;
};

TEST_F(MacroPage, RecordingTakesEveryKeyNamesThemAndIgnoresAutoRepeat) {
  Start();
  ASSERT_TRUE(map_.Click(ids::kMacroNew));
  ASSERT_EQ(WaitQuery("select name from t_macro_data", "Macro 1\n"), "Macro 1\n");
  KeyWitness witness(map_.Folder());
  ASSERT_TRUE(witness.Ready());
  ASSERT_TRUE(witness.Focus());
  Key("key b");
  ASSERT_EQ(witness.Presses(), 1) << "the witness must see keys while nothing records";

  ASSERT_TRUE(map_.Click(ids::kRecordStart));
  std::this_thread::sleep_for(300ms);
  ASSERT_TRUE(witness.Focus());
  Key("keydown Shift_L");
  Key("keydown a");
  Key("keydown a");  // a repeat of the held key
  Key("keyup a");
  Key("keyup Shift_L");
  Key("key Next");
  Shot("macro-recording-en");
  // The tabs are disabled while recording: the key page does not open.
  ASSERT_TRUE(map_.ClickAt(ids::kTabStrip, ids::kTabItemSize / 2,
                           kKeyTabPosition * ids::kTabItemSize + ids::kTabItemSize / 2));
  EXPECT_FALSE(map_.WaitFor(ids::kKeyPage, 700ms).has_value());
  ASSERT_TRUE(map_.Click(ids::kRecordStop));
  EXPECT_EQ(WaitQuery("select count(*) from t_macrorecord", "6\n"), "6\n");
  EXPECT_EQ(Records(1), "L_Shift|2|160\nA|2|65\nA|3|65\nL_Shift|3|160\nPgDn|2|34\nPgDn|3|34\n");
  EXPECT_EQ(witness.Presses(), 1) << "a key reached another program while recording";
  EXPECT_EQ(Query("select delay_time from t_macrorecord where record_index = 5"), "0\n");

  // After the stop the keyboard is the desktop's again.
  ASSERT_TRUE(witness.Focus());
  Key("key c");
  EXPECT_EQ(witness.Presses(), 2);
}

TEST_F(MacroPage, AKeyboardHeldByAnotherClientIsReportedAndNothingRecords) {
  Start();
  ASSERT_TRUE(map_.Click(ids::kMacroNew));
  ASSERT_EQ(WaitQuery("select count(*) from t_macro_data", "1\n"), "1\n");
  platform::InputCapture other;  // another X client taking the keyboard first
  ASSERT_EQ(other.Start(platform::InputCapture::Mode::Grab, [](const platform::CapturedInput&) {}),
            platform::InputCapture::Result::Started);
  ASSERT_TRUE(map_.Click(ids::kRecordStart));
  EXPECT_TRUE(ConfirmMessage()) << "no message about the keyboard";
  other.Stop();
  Key("key z");
  EXPECT_EQ(Query("select count(*) from t_macrorecord"), "0\n");
  // Not recording: the start button acts again once the keyboard is free.
  ASSERT_TRUE(map_.Click(ids::kRecordStart));
  std::this_thread::sleep_for(300ms);
  Key("key z");
  ASSERT_TRUE(map_.Click(ids::kRecordStop));
  EXPECT_EQ(WaitQuery("select count(*) from t_macrorecord", "2\n"), "2\n");
}

TEST_F(MacroPage, RecordingStopsItselfAtThirtyEventsAndAFullMacroDoesNotStart) {
  SeedMacro("Long", 28);
  Start();
  ASSERT_TRUE(map_.WaitFor(ids::kRecordStart).has_value());
  std::this_thread::sleep_for(300ms);
  ASSERT_TRUE(map_.Click(ids::kRecordStart));
  std::this_thread::sleep_for(300ms);
  Key("key x");
  EXPECT_TRUE(ConfirmMessage()) << "no limit message";
  EXPECT_EQ(WaitQuery("select count(*) from t_macrorecord", "30\n"), "30\n");
  EXPECT_EQ(Query("select desc, type from t_macrorecord where record_index >= 28"), "X|2\nX|3\n");

  // A full macro shows the message at once and takes no keys.
  KeyWitness witness(map_.Folder());
  ASSERT_TRUE(witness.Ready());
  ASSERT_TRUE(map_.Click(ids::kRecordStart));
  EXPECT_TRUE(ConfirmMessage());
  ASSERT_TRUE(witness.Focus());
  Key("key y");
  EXPECT_EQ(witness.Presses(), 1);
}

TEST_F(MacroPage, TheKeyFieldCapturesAButtonAndAKeyAndInsertsThemAsEvents) {
  Start();
  ASSERT_TRUE(map_.Click(ids::kMacroNew));
  ASSERT_EQ(WaitQuery("select count(*) from t_macro_data", "1\n"), "1\n");
  // A button pressed over the field, then a key; each is inserted after the selected record.
  ASSERT_TRUE(map_.Click(ids::kKeyField));
  std::this_thread::sleep_for(300ms);
  Key("click 2");
  ASSERT_TRUE(map_.Click(ids::kInsertEventButton));  // this left press is not captured
  EXPECT_EQ(WaitQuery("select count(*) from t_macrorecord", "2\n"), "2\n");
  ASSERT_TRUE(map_.Click(ids::kKeyField));
  std::this_thread::sleep_for(300ms);
  Key("key Shift_R");
  ASSERT_TRUE(map_.Click(ids::kInsertEventButton));
  EXPECT_EQ(WaitQuery("select count(*) from t_macrorecord", "4\n"), "4\n");
  EXPECT_EQ(Records(1),
            "mouse_middle|2|4\nmouse_middle|3|4\nL_Shift|2|160\nL_Shift|3|160\n")
      << "raw input names the generic Shift the left one";
}

TEST_F(MacroPage, ListButtonsAndTheContextMenuNameAndCopyMacros) {
  Start();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(map_.Click(ids::kMacroNew));
  ASSERT_EQ(WaitQuery("select name from t_macro_data", "Macro 1\nMacro 2\nMacro 3\n"),
            "Macro 1\nMacro 2\nMacro 3\n");
  ASSERT_TRUE(map_.ClickAt(ids::kMacroList, 60, kListRowHeight / 2));  // Macro 1
  ASSERT_TRUE(map_.Click(ids::kMacroCopy));
  ASSERT_EQ(WaitQuery("select count(*) from t_macro_data", "4\n"), "4\n");
  ASSERT_TRUE(map_.RightClick(ids::kMacroList));
  map_.SetWindow(kMenuTitle);
  ASSERT_TRUE(map_.WaitFor(kMenuPaste).has_value()) << "paste is offered after a copy";
  Shot("macro-menu-en");
  ASSERT_TRUE(map_.Click(kMenuPaste));
  map_.SetWindow(kMainTitle);
  EXPECT_EQ(WaitQuery("select name from t_macro_data where macro_id > 3",
                      "Macro 1 - 1\nMacro 1 - 2\n"),
            "Macro 1 - 1\nMacro 1 - 2\n");

  // Play count: saved when its edit ends; 0 is stored as 1 and the field corrected.
  ASSERT_TRUE(map_.ClickAt(ids::kMacroList, 60, kListRowHeight / 2));
  for (const auto& [typed, stored] : {std::pair{"42", "42\n"}, std::pair{"0", "1\n"}}) {
    ASSERT_TRUE(map_.Click(ids::kPlayCount));
    Key("key ctrl+a BackSpace");
    Key(std::string("type ") + typed);
    ASSERT_TRUE(map_.Click(ids::kRecordSave));  // leaving the field ends its edit
    EXPECT_EQ(WaitQuery("select play_times from t_macro_data where macro_id = 1", stored), stored);
  }

  ASSERT_TRUE(map_.Click(ids::kMacroDelete));
  EXPECT_EQ(WaitQuery("select count(*) from t_macro_data where macro_id = 1", "0\n"), "0\n");
  Shot("macro-idle-en");
}

TEST_F(MacroPage, RecordsMoveAndGoAndTheMacroIsRenamedInPlace) {
  SeedMacro("Macro 1", 3);
  Start();
  ASSERT_TRUE(map_.WaitFor(ids::kRecordList).has_value());
  std::this_thread::sleep_for(300ms);
  const auto delays = [&] {
    return Query("select delay_time from t_macrorecord order by record_index");
  };
  ASSERT_TRUE(map_.Click(ids::kRecordUp));  // nothing selected: nothing moves
  ASSERT_TRUE(map_.ClickAt(ids::kRecordList, 60, 20));  // the first row
  ASSERT_TRUE(map_.Click(ids::kRecordUp));  // the first row cannot move up
  EXPECT_EQ(delays(), "10\n11\n12\n");
  ASSERT_TRUE(map_.Click(ids::kRecordDown));
  EXPECT_EQ(WaitQuery("select delay_time from t_macrorecord order by record_index",
                      "11\n10\n12\n"), "11\n10\n12\n");
  ASSERT_TRUE(map_.Click(ids::kRecordDelete));  // the moved row, now second
  EXPECT_EQ(WaitQuery("select delay_time from t_macrorecord order by record_index",
                      "11\n12\n"), "11\n12\n");

  ASSERT_TRUE(map_.Click(ids::kMacroRename));
  std::this_thread::sleep_for(300ms);
  Key("key ctrl+a BackSpace");
  Key("type 'Fire <&>'");
  Key("key Return");
  EXPECT_EQ(WaitQuery("select name from t_macro_data", "Fire <&>\n"), "Fire <&>\n");
  ASSERT_TRUE(map_.Click(ids::kMacroRename));
  std::this_thread::sleep_for(300ms);
  Key("key ctrl+a BackSpace Return");
  EXPECT_TRUE(ConfirmMessage()) << "an empty name is refused with a message";
  EXPECT_EQ(Query("select name from t_macro_data"), "Fire <&>\n");
  std::this_thread::sleep_for(500ms);  // the main window takes the focus back from the box
  ASSERT_TRUE(map_.Click(ids::kMacroRename));
  std::this_thread::sleep_for(500ms);
  Key("key ctrl+a BackSpace");
  Key("type 'My Cheat Run'");
  Key("key Return");
  EXPECT_TRUE(ConfirmMessage()) << "a name with a blocked word is refused with a message";
  EXPECT_EQ(Query("select name from t_macro_data"), "Fire <&>\n");
}

// The desktop chooser's zenity fallback (no session bus) answering with the path the test sets.
class FakeZenity {
 public:
  explicit FakeZenity(const std::string& folder) : folder_(folder + "/bin") {
    fs::create_directories(folder_);
    const std::string script = folder_ + "/zenity";
    std::ofstream(script) << "#!/bin/sh\necho \"$@\" >> '" << folder_
                          << "/args'\ncat '" << folder_ << "/answer'\n";
    fs::permissions(script, fs::perms::owner_all);
  }
  std::vector<std::string> Environment() const {
    return {"PATH=" + folder_ + ":" + std::getenv("PATH"),
            "DBUS_SESSION_BUS_ADDRESS=unix:path=" + folder_ + "/no-bus"};
  }
  void Answer(const std::string& path) const { std::ofstream(folder_ + "/answer") << path << "\n"; }
  std::string Args() const { return CommandOutput("cat '" + folder_ + "/args'"); }

 private:
  std::string folder_;
};

TEST_F(MacroPage, ProfileAndMacroGoOutAndComeBackThroughTheFileChooser) {
  SeedMacro("Macro 1", 4);
  SeedMacro("Macro 2", 2);
  {
    ProfileStore store;
    ASSERT_TRUE(store.OpenForDevice(DataFolder(), "Tarnwick_V3"));
    std::vector<ProfileRecord> profiles;
    store.ListProfilesWithDefaults("Profile", profiles);
    for (const auto& [key, macro] : {std::pair{5, 1}, std::pair{6, 2}})
      store.SaveKeyAssignment({0, 1, 0, key, key, "K", 3, macro, 0, 0, "M"});
    store.Close();
  }
  FakeZenity zenity(map_.Folder());
  Start("en_US.UTF-8", zenity.Environment());
  const std::string profileFile = map_.Folder() + "/Game.v2.xml";
  zenity.Answer(profileFile);
  OpenPage(kKeyTabPosition, ids::kKeyPage);
  ASSERT_TRUE(map_.Click(ids::kProfileExport));
  for (int i = 0; i < 50 && !fs::exists(profileFile); ++i) std::this_thread::sleep_for(100ms);
  EXPECT_NE(zenity.Args().find("Profile (*.xml)"), std::string::npos) << zenity.Args();
  const std::string text = home_.ReadFile(profileFile);
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile>", 0), 0u) << text;

  ASSERT_TRUE(map_.Click(ids::kProfileImport));
  const std::string keys = "select key_code, macro_type, macro_value from t_key_macro_data "
                           "where profile = ";
  EXPECT_EQ(WaitQuery("select name from t_profile_data where status = 1", "Game\n"), "Game\n");
  EXPECT_EQ(Query(keys + "4 order by key_code"), "5|3|1\n6|3|2\n")
      << "the macros exist by name: the keys play them";
  EXPECT_EQ(Query("select count(*) from t_macro_data"), "2\n");

  OpenPage(kTabPosition, ids::kMacroPage);
  const std::string macroFile = map_.Folder() + "/Combo.xml";
  zenity.Answer(macroFile);
  // The first macro is selected. The import's transfer may still hold the window disabled,
  // which drops a click: click again until the file is there.
  for (int attempt = 0; attempt < 5 && !fs::exists(macroFile); ++attempt) {
    ASSERT_TRUE(map_.Click(ids::kMacroExport));
    for (int i = 0; i < 20 && !fs::exists(macroFile); ++i) std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(fs::exists(macroFile));
  ASSERT_TRUE(map_.Click(ids::kMacroImport));
  EXPECT_EQ(WaitQuery("select macro_id from t_macro_data where name = 'Combo'", "3\n"), "3\n");
  EXPECT_EQ(Query("select type, value, delay_time from t_macrorecord where macro_id = 3 "
                  "order by record_index"),
            Query("select type, value, delay_time from t_macrorecord where macro_id = 1 "
                  "order by record_index"));
}

TEST_F(MacroPage, ChineseScreens) {
  if (std::getenv("KW_SCREENSHOT_DIR") == nullptr) GTEST_SKIP() << "only takes screenshots";
  Start("zh_CN.UTF-8");
  ASSERT_TRUE(map_.Click(ids::kMacroNew));
  ASSERT_TRUE(map_.Click(ids::kMacroCopy));
  Shot("macro-idle-zh");
  ASSERT_TRUE(map_.RightClick(ids::kMacroList));
  Shot("macro-menu-zh");
  Key("key Escape");
  ASSERT_TRUE(map_.Click(ids::kRecordStart));
  std::this_thread::sleep_for(300ms);
  Key("key a");
  Shot("macro-recording-zh");
  ASSERT_TRUE(map_.Click(ids::kRecordStop));
}

}  // namespace
