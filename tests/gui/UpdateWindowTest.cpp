// The real program's updates under Xvfb against a scripted local server: the software check at
// start-up with each kind of reply, the download it queues, the firmware check after a keyboard
// is chosen, the update buttons with and without their mark, a failed download that keeps the program running, a complete one that starts the
// downloaded program and ends with 0, and the button's progress while a download runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <thread>

#include "GalleryProcess.h"
#include "MainWindowSession.h"
#include "SiteProgramCopy.h"
#include "app/WindowIds.h"
#include "support/TempFolder.h"
#include "tests/platform/UpdateSite.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using GuiTest::kMainTitle;

constexpr const char* kMessageTitle = "MessageBox";
constexpr unsigned kMessageOk = 33;
constexpr const char* kArchive = "Keyboard-Software-1.0.2.zip";
constexpr const char* kProgram = "Keyboard-Software-1.0.2.exe";
// The software check runs 2 s after the window starts.
constexpr auto kCheckWait = 15s;
// A click made while a worker task holds the window is dropped: it is made again.
constexpr int kClickAttempts = 4;

class UpdateWindow : public ::testing::Test, protected GuiTest::MainWindowSession {
 protected:
  void SetUp() override {
    ASSERT_TRUE(map_.Ready());
    NewSite();
    ASSERT_TRUE(home_.StartVirtualKeyboard());
  }
  void TearDown() override {
    if (site_) site_->OpenGate();
  }
  // A fresh server (each lives a minute at most) and the shipped device table and layout with
  // their update addresses on it.
  void NewSite() {
    site_ = std::make_unique<UpdateSite>();
    ASSERT_GT(site_->Port(), 0);
    ASSERT_TRUE(copy_.PointAt(*site_));
  }

  void Start(const std::string& lang = "en_US.UTF-8") {
    MainWindowSession::Start(lang, copy_.Executable());
  }
  // Chooses the virtual keyboard and opens the settings page.
  void OpenSettings() {
    SelectKeyboard();
    OpenPage(ids::kItemSettings);
    ASSERT_TRUE(map_.WaitFor(ids::kSoftwareUpdate).has_value());
  }
  // Waits for the message box, presses its button and waits until it is gone.
  bool DismissMessage(std::chrono::milliseconds timeout = 10s) {
    map_.SetWindow(kMessageTitle);
    const bool shown = map_.WaitFor(kMessageOk, timeout).has_value() && map_.Click(kMessageOk);
    std::this_thread::sleep_for(300ms);
    map_.SetWindow(kMainTitle);
    return shown;
  }
  bool MessageShown(std::chrono::milliseconds timeout) {
    map_.SetWindow(kMessageTitle);
    const bool shown = map_.WaitFor(kMessageOk, timeout).has_value();
    map_.SetWindow(kMainTitle);
    return shown;
  }
  std::string UpdateTemp() const { return home_.Path() + "/data/Tarnwick Files/temp"; }
  std::vector<std::string> TempFiles() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(UpdateTemp(), ignored))
      names.push_back(entry.path().filename().string());
    return names;
  }

  TempFolder scratch_{"kw-update-window"};
  GuiTest::SiteProgramCopy copy_{home_.Path() + "/install/"};
  std::unique_ptr<UpdateSite> site_;
};

TEST_F(UpdateWindow, OnlyANewerAcceptedVersionQueuesTheDownload) {
  // The installed version is 1.0.1. "1.0" has another number of parts, which counts as newer.
  const std::pair<const char*, const char*> cases[] = {
      {"1.0.2", kArchive},       {"1.0", "Keyboard-Software-1.0.zip"},
      {"1.0.1", nullptr},        {"0.9.10", nullptr},
      {"1.0.1.00001", nullptr},  {"../../x", nullptr},
      {"1.0.2 beta", nullptr},   {"", nullptr}};
  for (const auto& [reply, archive] : cases) {
    SCOPED_TRACE(reply);
    NewSite();
    site_->Serve("/sw/version", LoopbackServer::Ok(reply));
    Start();
    ASSERT_TRUE(site_->WaitForRequests("/sw/version", 1, kCheckWait));
    if (archive != nullptr) {
      // Nothing is served there: the download fails and says so.
      EXPECT_TRUE(site_->WaitForRequests(archive, 1, 5s));
      EXPECT_TRUE(DismissMessage()) << "the failed download was not reported";
    } else {
      std::this_thread::sleep_for(1500ms);
      EXPECT_FALSE(MessageShown(0ms));
    }
    EXPECT_EQ(site_->Requests(".zip"), archive != nullptr ? 1 : 0);
    EXPECT_TRUE(program_->Running());
    EXPECT_EQ(Quit(), 0);
  }
  EXPECT_TRUE(TempFiles().empty());
}

TEST_F(UpdateWindow, AFailedDownloadKeepsRunningAndTheMarkedButtonTriesAgain) {
  site_->Serve("/sw/version", LoopbackServer::Ok("1.0.2"));
  site_->Serve(kArchive, LoopbackServer::Status(500, "Internal Server Error"));
  Start();
  ASSERT_TRUE(site_->WaitForRequests(kArchive, 1, kCheckWait));
  EXPECT_TRUE(DismissMessage());
  EXPECT_TRUE(TempFiles().empty()) << "a partial archive was left";

  OpenSettings();
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(Screenshot("update-marked-1033"));
  // Marked: the button downloads again. A body that is no zip archive is removed, not opened.
  site_->Serve(kArchive, LoopbackServer::Ok("PK\x03\x04 this is no zip archive"));
  ASSERT_TRUE(map_.ClickUntil(
      ids::kSoftwareUpdate, [&] { return site_->Requests(kArchive) >= 2; }, kClickAttempts, 3s));
  EXPECT_TRUE(DismissMessage());
  EXPECT_TRUE(TempFiles().empty());
  EXPECT_TRUE(home_.ReadFile(home_.ShellLog()).empty()) << "something was opened";
  EXPECT_TRUE(program_->Running());
  EXPECT_EQ(Quit(), 0);
}

TEST_F(UpdateWindow, UnmarkedButtonsSayTheVersionIsTheLatest) {
  site_->Serve("/sw/version", LoopbackServer::Ok("1.0.1"));
  Start();
  ASSERT_TRUE(site_->WaitForRequests("/sw/version", 1, kCheckWait));
  OpenSettings();
  for (const unsigned button : {ids::kSoftwareUpdate, ids::kFirmwareUpdate}) {
    ASSERT_TRUE(map_.ClickUntil(button, [&] { return MessageShown(0ms); }, kClickAttempts, 3s))
        << button;
    EXPECT_TRUE(DismissMessage()) << button;
  }
  EXPECT_EQ(site_->Requests(".zip"), 0);
  EXPECT_EQ(Quit(), 0);
}

TEST_F(UpdateWindow, ANewerFirmwareMarksItsButtonAndAnEqualOneDoesNot) {
  // The virtual keyboard runs firmware 0x0105, which the check writes "105".
  std::string unmarked;
  for (const auto& [reply, newer] : {std::pair{"105", false}, {"106", true}}) {
    SCOPED_TRACE(reply);
    NewSite();
    site_->Serve("/fw/version", LoopbackServer::Ok(reply));
    Start();
    OpenSettings();
    // Timer 300 asks the keyboard, then the server, 3 s after the choice.
    ASSERT_TRUE(site_->WaitForRequests("/fw/version", 1, kCheckWait));
    const std::string archive = std::string("FirmwareUpdateTool-") + reply + ".zip";
    if (newer) {
      // The offer queues the download at once; nothing is served there, so it fails and says so.
      EXPECT_TRUE(site_->WaitForRequests(archive, 1, 5s));
      EXPECT_TRUE(DismissMessage()) << "the failed download was not reported";
    } else {
      std::this_thread::sleep_for(1s);
      EXPECT_FALSE(MessageShown(0ms));
    }
    ASSERT_TRUE(TestSupport::MovePointer(0, 0));  // no hover on the button
    std::this_thread::sleep_for(300ms);
    const std::string pixels = Pixels(ids::kFirmwareUpdate);
    ASSERT_FALSE(pixels.empty());
    if (newer) {
      EXPECT_NE(pixels, unmarked) << "the button looks unmarked";
      EXPECT_TRUE(Screenshot("firmware-marked-1033"));
    } else {
      unmarked = pixels;
    }
    // Marked, the button downloads again; unmarked, it says the version is the latest.
    ASSERT_TRUE(map_.ClickUntil(
        ids::kFirmwareUpdate,
        [&] { return newer ? site_->Requests(archive) >= 2 : MessageShown(0ms); }, kClickAttempts,
        3s));
    EXPECT_TRUE(DismissMessage());
    EXPECT_EQ(site_->Requests(archive), newer ? 2 : 0);
    EXPECT_TRUE(program_->Running());
    EXPECT_EQ(Quit(), 0);
  }
}

TEST_F(UpdateWindow, ACompleteDownloadStartsTheProgramAndEndsWithZero) {
  const std::string marker = scratch_ / "started";
  const std::string zip =
      UpdateSite::ZipOf(scratch_, "[" + UpdateSite::MarkerEntry(kProgram, marker) + "]");
  ASSERT_FALSE(zip.empty());
  site_->Serve("/sw/version", LoopbackServer::Ok("1.0.2"));
  site_->Serve(kArchive, LoopbackServer::Ok(zip));
  Start();
  EXPECT_EQ(program_->Wait(kCheckWait + 10s), 0);
  const auto until = std::chrono::steady_clock::now() + 10s;
  while (!fs::exists(marker) && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(fs::exists(marker)) << "the downloaded program did not run";
  EXPECT_EQ(TempFiles(), std::vector<std::string>{kProgram}) << "the archive stayed";
}

TEST_F(UpdateWindow, TheButtonShowsTheProgressAndAQuitStopsTheDownload) {
  for (const auto& [lang, lcid] : {std::pair{"en_US.UTF-8", "1033"}, {"zh_CN.UTF-8", "2052"}}) {
    SCOPED_TRACE(lang);
    NewSite();
    // Half of a large body, then silence: the download stays at its middle.
    site_->Serve("/sw/version", LoopbackServer::Ok("1.0.2"));
    site_->Serve(kArchive, LoopbackServer::HalfThenSilence(std::string(2 * 1024 * 1024, 'z')));
    site_->CloseGate();
    Start(lang);
    OpenSettings();
    site_->OpenGate();
    ASSERT_TRUE(site_->WaitForRequests(kArchive, 1, kCheckWait));
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(Screenshot(std::string("update-downloading-") + lcid));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Quit(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_TRUE(TempFiles().empty()) << "a partial archive was left";
    home_.WriteSettings("");  // the next start chooses its language from the locale again
  }
}

}  // namespace
