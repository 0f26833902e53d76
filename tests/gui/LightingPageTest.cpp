// The lighting page of the real program against the virtual keyboard: every mode with its
// brightness and speed, the sliders, a custom editing period, slot changes, the lighting-only
// model's output family, and the music mode against a private audio server with a null sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "KeyboardSession.h"
#include "ProgramProcess.h"
#include "app/WindowIds.h"
#include "features/LightingModes.h"
#include "support/ControlMap.h"
#include "tavex/CComboBoxList.h"
#include "tavex/CDeviceCtrl.h"
#include "tavex/Codes.h"
#include "tavex/MComboBox.h"
#include "tavex/Native.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using GuiTest::ProgramHome;
using GuiTest::Spawned;
using TestSupport::ControlMap;

constexpr int kModeRowHeight = 26;
constexpr int kLightingTab = 3;  // position of the lighting tab in the strip of a full keyboard
constexpr int kSettingsTab = 4;
// Clicks made while a transfer still holds the window are dropped: a click is made again.
constexpr int kClickAttempts = 4;
// The shipped layout: modes 1-7 with brightness and speed, 8 custom, 9 music; defaults.
constexpr int kModes = 9;
constexpr int kCustomRow = 7;
constexpr int kMusicRow = 8;
constexpr int kDefaultBrightness = 4;
constexpr int kDefaultSpeed = 2;
constexpr int kEscLeft = 9, kEscTop = 8, kKeySize = 50;  // Esc on the keyboard picture
constexpr const char* kSampleRate = "48000";
constexpr int kScreenSize = 10000;  // a work area the slot popup fits below the list in

// One report the virtual keyboard received.
struct Report {
  long long ns = 0;
  std::string kind;
  std::vector<int> bytes;
  bool Starts(std::initializer_list<int> head) const {
    return bytes.size() >= head.size() && std::equal(head.begin(), head.end(), bytes.begin());
  }
};

std::vector<Report> ParseLog(const std::string& text) {
  std::vector<Report> out;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream in(line);
    Report r;
    std::string interface, ok, byte;
    if (!(in >> r.ns >> r.kind >> interface >> ok)) continue;
    while (in >> byte) r.bytes.push_back(std::stoi(byte, nullptr, 16));
    out.push_back(std::move(r));
  }
  return out;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 8s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

const std::initializer_list<int> kMusicHead = {0x07, 0x23, 0x45, 0x67, 0x89};
const std::initializer_list<int> kCustomHead = {0x07, 0x12, 0x34, 0x56, 0x78};

class LightingPage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    ASSERT_TRUE(map_.Ready());
  }

  void Start(const std::string& model = "24ae:4076", const std::string& lang = "en_US.UTF-8") {
    if (!keyboardStarted_) {
      keyboardStarted_ = home_.StartVirtualKeyboard(model);
      ASSERT_TRUE(keyboardStarted_);
    }
    std::vector<std::string> env = GuiTest::WithVariable(home_.Environment(lang), map_.Environment());
    if (!audioSocket_.empty()) env.push_back("PULSE_SERVER=unix:" + audioSocket_);
    program_ = std::make_unique<Spawned>(GuiTest::ProgramCommand(), env);
    ASSERT_NE(GuiTest::WaitForMainWindow(), 0u);
    map_.SetWindow("Keywright");
    ASSERT_TRUE(map_.WaitFor(ids::kDeviceList).has_value());
    std::this_thread::sleep_for(700ms);  // the first device refresh marks it connected
    ASSERT_TRUE(map_.ClickAt(ids::kDeviceList, Tavex::CDeviceCtrl::kRowHeight * 2,
                             Tavex::CDeviceCtrl::kRowHeight / 2));
    ASSERT_TRUE(map_.WaitFor(ids::kTabStrip).has_value()) << "the tab strip did not show";
    // Task 5 ends with the lighting transfer; the window takes clicks again after its pause.
    ASSERT_TRUE(WaitUntil([&] { return LightingCommands() >= 1; })) << "task 5 sent no lighting";
    ASSERT_TRUE(WaitUntil([&] { return !WaitDialogShown(); })) << "the wait dialog stayed";
    std::this_thread::sleep_for(300ms);
  }
  void TearDown() override {
    if (program_ && program_->Running()) {
      EXPECT_EQ(GuiTest::SendRequest(Tavex::kExternalQuit), 0);
      EXPECT_EQ(program_->Wait(10s), 0);
    }
  }

  // Whether a transfer's wait dialog shows now; the window drops clicks while it does.
  bool WaitDialogShown() const { return map_.WindowShown(GuiTest::kWaitTitle); }
  void OpenTab(int position, unsigned page) {
    ASSERT_TRUE(map_.ClickAtUntil(
        ids::kTabStrip, ids::kTabItemSize / 2, position * ids::kTabItemSize + ids::kTabItemSize / 2,
        [&] { return map_.WaitFor(page, 0ms).has_value(); }, kClickAttempts, 3s))
        << "page " << page << " did not show";
  }
  void OpenLighting() {
    OpenTab(kLightingTab, ids::kLightingPage);
    ASSERT_TRUE(map_.WaitFor(ids::kLightList, 5s).has_value());
  }

  std::vector<Report> Log() const { return ParseLog(home_.Vkbd("log 0").value_or("")); }
  // A number of the state text: `line` names the line ("lighting"), `field` the value ("mode").
  int State(const std::string& line, const std::string& field) const {
    std::istringstream lines(home_.Vkbd("state 0").value_or(""));
    std::string text;
    while (std::getline(lines, text)) {
      if (text.rfind(line + " ", 0) != 0) continue;
      const std::size_t at = text.find(" " + field + "=");
      if (at != std::string::npos) return std::atoi(text.c_str() + at + field.size() + 2);
    }
    return -1;
  }
  int LightingCommands() const { return State("lighting", "commands"); }
  // The brightness the profile database holds for `mode` of the lighting profile.
  int StoredBrightness(int mode) const {
    const std::string db = home_.Path() + "/data/Tarnwick Files/db/Tarnwick_V3_data.db";
    const std::string out = TestSupport::CommandOutput(
        "sqlite3 '" + db + "' 'SELECT brightness FROM t_light_data WHERE profile = 1 AND mode = " +
        std::to_string(mode) + "'");
    return out.empty() ? -1 : std::atoi(out.c_str());
  }

  // Clicks a row of the mode list and, unless it is the music mode, waits for its transfer.
  void ChooseMode(int row) {
    const int before = LightingCommands();
    const int y = row * kModeRowHeight + kModeRowHeight / 2;
    if (row == kMusicRow) {
      ASSERT_TRUE(map_.ClickAt(ids::kLightList, 60, y));
      return;
    }
    ASSERT_TRUE(map_.ClickAtUntil(
        ids::kLightList, 60, y, [&] { return LightingCommands() > before; }, kClickAttempts, 3s))
        << "row " << row;
    ASSERT_TRUE(WaitUntil([&] { return !WaitDialogShown(); })) << "the wait dialog stayed";
    std::this_thread::sleep_for(300ms);  // the window takes clicks again after its pause
  }
  // The picture is as wide as the control and starts at its top edge.
  void ClickEsc() { ASSERT_TRUE(ClickEscUntil([] { return true; })); }
  bool ClickEscUntil(const std::function<bool()>& done) {
    return map_.ClickAtUntil(ids::kLightKeyboard, kEscLeft + kKeySize / 2, kEscTop + kKeySize / 2,
                             done, kClickAttempts, 3s);
  }
  // Opens the slot list and clicks row `slot` of its popup.
  void PickSlot(int slot) {
    const TestSupport::ScreenRect combo = map_.RectOf(ids::kColourSlot);
    ASSERT_TRUE(map_.Click(ids::kColourSlot));
    std::this_thread::sleep_for(300ms);
    const Tavex::CRect popup = Tavex::MComboBox::PopupRect(
        Tavex::CRect(combo.left, combo.top, combo.right, combo.bottom), lighting::kSlotCount,
        Tavex::CRect(0, 0, kScreenSize, kScreenSize));
    const int row = Tavex::CComboBoxList::kRowHeight;
    const int y = popup.top + Tavex::MComboBox::kPopupMargin / 2 + slot * row + row / 2;
    ASSERT_TRUE(TestSupport::MovePointer(combo.CentreX(), y));
    ASSERT_TRUE(TestSupport::RunXDoTool("click 1"));
  }
  std::vector<Report> CustomReports() const {
    std::vector<Report> out;
    for (const Report& r : Log())
      if (r.Starts(kCustomHead)) out.push_back(r);
    return out;
  }
  std::vector<Report> MusicReports() const {
    std::vector<Report> out;
    for (const Report& r : Log())
      if (r.Starts(kMusicHead)) out.push_back(r);
    return out;
  }

  ControlMap map_;
  ProgramHome home_;
  std::unique_ptr<Spawned> program_;
  std::string audioSocket_;
  bool keyboardStarted_ = false;
};

TEST_F(LightingPage, EveryModeIsSentWithItsBrightnessAndSpeedAndTheMusicModeSendsNone) {
  Start();
  OpenLighting();
  // Task 5 sent the profile's active mode, the layout's default 4 (3 on the keyboard).
  EXPECT_EQ(LightingCommands(), 1);
  EXPECT_EQ(State("lighting", "mode"), 3);
  for (int row = 0; row < kCustomRow; ++row) {
    ChooseMode(row);
    EXPECT_EQ(State("lighting", "mode"), row) << "row " << row;
    EXPECT_EQ(State("lighting", "brightness"), kDefaultBrightness);
    EXPECT_EQ(State("lighting", "speed"), kDefaultSpeed);
  }
  ChooseMode(kCustomRow);
  EXPECT_EQ(State("lighting", "mode"), kCustomRow);
  EXPECT_EQ(State("lighting", "slot"), 0);

  const int before = LightingCommands();
  ChooseMode(kMusicRow);
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(LightingCommands(), before) << "the music mode sent a lighting mode command";
  ASSERT_EQ(kModes, kMusicRow + 1);
}

TEST_F(LightingPage, SliderMovesAreStoredAndSentAndZeroBrightnessToo) {
  Start();
  OpenLighting();
  ChooseMode(1);  // breathing: brightness and speed
  const TestSupport::ScreenRect slider = map_.RectOf(ids::kBrightnessSlider);
  int before = LightingCommands();
  ASSERT_TRUE(map_.ClickAt(ids::kBrightnessSlider, 0, slider.Height() / 2));
  ASSERT_TRUE(WaitUntil([&] { return LightingCommands() > before; }));
  EXPECT_EQ(State("lighting", "brightness"), 0);
  EXPECT_EQ(State("lighting", "mode"), 1);
  EXPECT_EQ(StoredBrightness(2), 0);
  std::this_thread::sleep_for(300ms);

  const TestSupport::ScreenRect speed = map_.RectOf(ids::kSpeedSlider);
  before = LightingCommands();
  ASSERT_TRUE(map_.ClickAt(ids::kSpeedSlider, speed.Width() - 1, speed.Height() / 2));
  ASSERT_TRUE(WaitUntil([&] { return LightingCommands() > before; }));
  EXPECT_EQ(State("lighting", "speed"), 3) << "the layout's speed maximum";
  EXPECT_EQ(State("lighting", "brightness"), 0) << "the brightness stayed stored";
}

TEST_F(LightingPage, ACustomEditingPeriodSendsBeginKeysAndEndAlsoWhenThePageIsLeft) {
  Start();
  OpenLighting();
  ChooseMode(kCustomRow);
  ASSERT_TRUE(map_.Click(ids::kLightApply));  // edit: begin
  ASSERT_TRUE(WaitUntil([&] { return State("custom", "editing") == 1; }));
  // The begin command's transfer holds the window for a moment and drops a click made then.
  ASSERT_TRUE(WaitUntil([&] { return !WaitDialogShown(); }));
  ASSERT_TRUE(ClickEscUntil([&] { return CustomReports().size() >= 2; }))  // lit
      << "the key click sent nothing";
  ClickEsc();  // dark again
  ClickEsc();  // lit
  ASSERT_TRUE(map_.Click(ids::kLightApply));  // done: end
  ASSERT_TRUE(WaitUntil([&] { return State("custom", "sessions") == 1; }));
  std::vector<Report> custom = CustomReports();
  ASSERT_EQ(custom.size(), 5u);
  const std::vector<std::vector<int>> expected = {
      {0x00, 0x00, 0x00}, {0x29, 0x01}, {0x29, 0x00}, {0x29, 0x01}, {0xFE, 0x00, 0x00}};
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(std::equal(expected[i].begin(), expected[i].end(), custom[i].bytes.begin() + 5))
        << "report " << i;
  EXPECT_NE(home_.Vkbd("state 0").value_or("").find("lit 0 29\n"), std::string::npos) << home_.Vkbd("state 0").value_or("");

  // A second period left by opening another page still ends on the keyboard.
  ASSERT_TRUE(map_.Click(ids::kLightApply));
  ASSERT_TRUE(WaitUntil([&] { return State("custom", "editing") == 1; }));
  OpenTab(kSettingsTab, ids::kLightingPage + 1);
  EXPECT_TRUE(WaitUntil([&] { return State("custom", "sessions") == 2; }));
  EXPECT_EQ(State("custom", "editing"), 0);
}

TEST_F(LightingPage, AnotherSlotIsSentWithTheModeAndEditedAsItsOwn) {
  Start();
  OpenLighting();
  ChooseMode(kCustomRow);
  const int before = LightingCommands();
  // A popup that opened late misses the row click; Escape closes whatever is open, then again.
  bool sent = false;
  for (int attempt = 0; attempt < 3 && !sent; ++attempt) {
    if (attempt > 0) {
      ASSERT_TRUE(TestSupport::RunXDoTool("key Escape"));
    }
    PickSlot(1);
    sent = WaitUntil([&] { return LightingCommands() > before; }, 3s);
  }
  ASSERT_TRUE(sent) << "the slot choice sent nothing";
  EXPECT_EQ(State("lighting", "slot"), 1);
  EXPECT_EQ(State("lighting", "mode"), kCustomRow);
  // An editing period now works on slot 1.
  ASSERT_TRUE(map_.Click(ids::kLightApply));
  ASSERT_TRUE(WaitUntil([&] { return State("custom", "editing") == 1; }));
  EXPECT_EQ(State("custom", "slot"), 1);
  ASSERT_TRUE(map_.Click(ids::kLightApply));
  EXPECT_TRUE(WaitUntil([&] { return State("custom", "editing") == 0; }));
}

TEST_F(LightingPage, TheLightingOnlyModelGetsTheOutputFamily) {
  Start("24ae:4077");
  // A lighting-only model opens on its lighting page.
  ASSERT_TRUE(map_.WaitFor(ids::kLightList, 5s).has_value());
  ChooseMode(1);
  const std::vector<Report> log = Log();
  const auto last = std::find_if(log.rbegin(), log.rend(), [](const Report& r) {
    return r.Starts({0xBB, 0xAA, 0x99, 0x88}) || r.Starts({0x00, 0xBB, 0xAA, 0x99, 0x88});
  });
  ASSERT_NE(last, log.rend()) << "no output report";
  EXPECT_EQ(last->kind, "output");
  EXPECT_EQ(State("lighting", "mode"), 1);
  EXPECT_EQ(State("lighting", "brightness"), kDefaultBrightness);
  for (const Report& r : log) EXPECT_NE(r.kind, "feature-set") << "a feature report went out";
}

// Pictures of the page in each kind of mode, in both languages, kept in KW_SCREENSHOT_DIR when it
// is set; the preview must move between two pictures of the keyboard view.
TEST_F(LightingPage, ThePreviewAnimatesAndEachKindOfModeIsPictured) {
  const char* dir = std::getenv("KW_SCREENSHOT_DIR");
  const std::string folder = dir != nullptr && *dir != '\0' ? dir : map_.Folder();
  fs::create_directories(folder);
  const auto shoot = [&](const std::string& name) {
    const std::string path = folder + "/" + name + ".png";
    EXPECT_TRUE(GuiTest::SaveScreen(path) && fs::file_size(path) > 0) << name;
  };
  const auto view = [&] {
    const TestSupport::ScreenRect r = map_.RectOf(ids::kLightKeyboard);
    const std::string path = map_.Folder() + "/view.png";
    TestSupport::CommandOutput("import -window root -crop " + std::to_string(r.Width()) + "x" +
                               std::to_string(r.Height()) + "+" + std::to_string(r.left) + "+" +
                               std::to_string(r.top) + " '" + path + "' 2>/dev/null");
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  for (const auto& [lang, suffix] : {std::pair{"en_US.UTF-8", "1033"}, {"zh_CN.UTF-8", "2052"}}) {
    Start("24ae:4076", lang);
    OpenLighting();
    ChooseMode(3);  // wave
    const std::string first = view();
    std::this_thread::sleep_for(700ms);
    EXPECT_NE(view(), first) << "the preview stood still";
    shoot(std::string("lighting-preview-") + suffix);
    ChooseMode(kCustomRow);
    ASSERT_TRUE(map_.Click(ids::kLightApply));
    ClickEsc();
    ASSERT_TRUE(map_.Click(ids::kLightApply));
    std::this_thread::sleep_for(300ms);
    shoot(std::string("lighting-custom-") + suffix);
    ChooseMode(kMusicRow);
    std::this_thread::sleep_for(500ms);
    shoot(std::string("lighting-music-") + suffix);
    EXPECT_EQ(GuiTest::SendRequest(Tavex::kExternalQuit), 0);
    EXPECT_EQ(program_->Wait(10s), 0);
    home_.WriteSettings("");  // the next start takes its language from the locale again
  }
}

// ---- music ------------------------------------------------------------------------------------

// A private audio server with a null sink, so that the test can restart it.
class MusicLighting : public LightingPage {
 protected:
  void SetUp() override {
    LightingPage::SetUp();
    if (IsSkipped()) return;
    if (std::system("command -v pulseaudio >/dev/null && command -v pacat >/dev/null") != 0)
      GTEST_SKIP() << "pulseaudio or pacat missing";
    audioDir_ = home_.Path() + "/pulse";
    fs::create_directories(audioDir_);
    audioSocket_ = audioDir_ + "/native";
    ASSERT_TRUE(StartAudio());
  }
  void TearDown() override {
    tone_.reset();
    LightingPage::TearDown();
    audio_.reset();
  }
  bool StartAudio() {
    audio_ = std::make_unique<Spawned>(
        std::vector<std::string>{
            "/usr/bin/env", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
            "--disallow-exit", "--use-pid-file=no",
            "--load=module-native-protocol-unix socket=" + audioSocket_ + " auth-anonymous=1",
            "--load=module-null-sink sink_name=kw_tone rate=" + std::string(kSampleRate),
            "--load=module-always-sink"},
        // Off the session bus, where the shared test server holds the audio server's name.
        std::vector<std::string>{"PULSE_RUNTIME_PATH=" + audioDir_, "HOME=" + audioDir_,
                                 "DBUS_SESSION_BUS_ADDRESS=unix:path=" + audioDir_ + "/no-bus"});
    return WaitUntil([&] { return Pactl("info") == 0; }, 15s) &&
           Pactl("set-default-sink kw_tone") == 0;
  }
  int Pactl(const std::string& args) const {
    return std::system(("pactl --server=unix:" + audioSocket_ + " " + args + " >/dev/null 2>&1").c_str());
  }
  // Plays every sample as `value` (both channels) for `seconds` into the null sink.
  void PlayConstant(int16_t value, int seconds, const std::string& sink = "kw_tone") {
    const std::string file = audioDir_ + "/tone.raw";
    {
      std::ofstream out(file, std::ios::binary);
      const long frames = std::atol(kSampleRate) * seconds;
      for (long i = 0; i < frames * 2; ++i) out.write(reinterpret_cast<const char*>(&value), 2);
    }
    tone_ = std::make_unique<Spawned>(
        std::vector<std::string>{"/usr/bin/env", "pacat", "--server=unix:" + audioSocket_,
                                 "--playback", "--format=s16le", "--rate=" + std::string(kSampleRate),
                                 "--channels=2", "--device=" + sink, file},
        std::vector<std::string>{});
  }
  // Level values of the music reports received since report `from`.
  std::vector<int> LevelsSince(std::size_t from) const {
    std::vector<int> levels;
    const std::vector<Report> reports = MusicReports();
    for (std::size_t i = from; i < reports.size(); ++i) levels.push_back(reports[i].bytes[6]);
    return levels;
  }
  void ChooseMusic() {
    ChooseMode(kMusicRow);
    ASSERT_TRUE(WaitUntil([&] { return MusicReports().size() >= 5; })) << "no level stream";
  }

  std::string audioDir_;
  std::unique_ptr<Spawned> audio_;
  std::unique_ptr<Spawned> tone_;
};

TEST_F(MusicLighting, AToneGivesLevelsAtTheIntervalSilenceZeroAndTheGainDoubles) {
  Start();
  OpenLighting();
  ChooseMusic();
  // Silence: level 0.
  std::size_t from = MusicReports().size();
  std::this_thread::sleep_for(500ms);
  std::vector<int> levels = LevelsSince(from);
  ASSERT_GE(levels.size(), 5u);
  EXPECT_TRUE(std::all_of(levels.begin(), levels.end(), [](int v) { return v == 0; }));

  // 0x3000 has level 0x30; the slider's initial position is gain 2.0.
  PlayConstant(0x3000, 3);
  ASSERT_TRUE(WaitUntil([&] {
    const auto l = LevelsSince(from);
    return std::count(l.begin(), l.end(), 0x60) >= 10;
  })) << "no level 0x60 arrived";
  // Effect 1 with every level; the interval about 33 ms.
  const std::vector<Report> reports = MusicReports();
  std::vector<long long> gaps;
  for (std::size_t i = reports.size() - 10; i < reports.size(); ++i) {
    EXPECT_EQ(reports[i].bytes[5], 1);
    gaps.push_back((reports[i].ns - reports[i - 1].ns) / 1000000);
  }
  std::sort(gaps.begin(), gaps.end());
  EXPECT_NEAR(gaps[gaps.size() / 2], 33, 5);
  tone_.reset();

  // Full scale -32768 is level 128: doubled 256, sent as 255.
  from = MusicReports().size();
  PlayConstant(-32768, 3);
  EXPECT_TRUE(WaitUntil([&] {
    const auto l = LevelsSince(from);
    return std::count(l.begin(), l.end(), 255) >= 5;
  }));
}

TEST_F(MusicLighting, TheStreamStopsOnAnotherModeOrPageAndResumesAfterTheServerRestarts) {
  Start();
  OpenLighting();
  ChooseMusic();
  ChooseMode(0);
  std::size_t count = MusicReports().size();
  std::this_thread::sleep_for(500ms);
  EXPECT_LE(MusicReports().size(), count + 1) << "levels went on after another mode";

  ChooseMusic();
  OpenTab(kSettingsTab, ids::kLightingPage + 1);
  std::this_thread::sleep_for(200ms);
  count = MusicReports().size();
  std::this_thread::sleep_for(500ms);
  EXPECT_LE(MusicReports().size(), count + 1) << "levels went on on another page";

  OpenLighting();
  ASSERT_TRUE(WaitUntil([&] { return MusicReports().size() > count + 5; }));
  // The server goes away and comes back: after a reconnect levels flow again.
  audio_.reset();
  std::this_thread::sleep_for(1s);
  count = MusicReports().size();
  std::this_thread::sleep_for(500ms);
  EXPECT_LE(MusicReports().size(), count + 1) << "levels without a server";
  ASSERT_TRUE(StartAudio());
  PlayConstant(0x3000, 5);
  EXPECT_TRUE(WaitUntil([&] {
    const auto l = LevelsSince(count);
    return std::count(l.begin(), l.end(), 0x60) >= 5;
  }, 10s)) << "the capture did not come back";
}

TEST_F(MusicLighting, TheCaptureFollowsTheDefaultOutputWhenItChanges) {
  Start();
  OpenLighting();
  ChooseMusic();
  ASSERT_EQ(Pactl("load-module module-null-sink sink_name=kw_other rate=" + std::string(kSampleRate)), 0);
  ASSERT_EQ(Pactl("set-default-sink kw_other"), 0);
  std::this_thread::sleep_for(500ms);
  const std::size_t from = MusicReports().size();
  PlayConstant(0x3000, 3, "kw_other");
  EXPECT_TRUE(WaitUntil([&] {
    const auto l = LevelsSince(from);
    return std::count(l.begin(), l.end(), 0x60) >= 5;
  })) << "the tone on the new default output gave no levels";
}

}  // namespace
