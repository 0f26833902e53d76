// The update controller's work in process: the firmware check against the virtual keyboard's
// version (0x0105) and a scripted server, the firmware tool download with its progress messages
// and its end, and the buttons. The tasks run here on the test's thread, and their network work
// too unless a test gives the host a network thread; what the controller posts to its window is
// read back from the thread's queue.
#include "app/UpdateController.h"

#include <optional>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <thread>
#include <vector>

#include "app/NetworkWorker.h"
#include "app/PageHost.h"
#include "app/ProgramServices.h"
#include "app/TaskCodes.h"
#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "tavex/Buttons.h"
#include "tavex/Codes.h"
#include "tavex/MDialog.h"
#include "tests/platform/UpdateSite.h"
#include "tools/vkbd/VirtualBus.h"

namespace {

namespace Native = Tavex::Native;
using Tavex::CRect;

constexpr const char* kShippedFirmwareAddress = "https://update.keywright.invalid/firmware/k87/";
constexpr int kTextLatest = 175;
constexpr int kTextCaption = 156;
constexpr int kTextFailed = 176;
// A task step that only hands its fetch on returns well within this; the test server holds a
// version reply up to UpdateSite::kGateLimit, and a fetch stalls for its 30 s limit.
constexpr auto kWorkerLimit = std::chrono::seconds(5);
constexpr auto kWaitLimit = std::chrono::seconds(10);

// The window side the controller asks for: a dialog holding the two update buttons, the
// services with the virtual keyboard open, the keyboard chosen with a layout whose firmware
// address is the test server's; queued tasks, registered work and messages are recorded.
class TestHost : public PageHost {
 public:
  Tavex::MDialog& Window() override { return dialog; }
  ProgramServices& Services() override { return services; }
  CurrentKeyboard Keyboard() const override { return keyboard; }
  void QueueTask(uint32_t code) override { queued.push_back(code); }
  size_t PendingTasks() const override { return queued.size(); }
  bool RegisterTask(uint32_t code, std::function<void()> work) override {
    tasks[code] = std::move(work);
    return true;
  }
  void ShowWaitDialog() override {}
  int ShowMessage(int text, int caption, int) override {
    messages.emplace_back(text, caption);
    return 1;
  }
  int CurrentPage() const override { return ids::kItemSettings; }
  std::optional<uint16_t> ReadFirmwareVersion() override {
    return keyboard.Chosen() ? services.Commands().ReadFirmwareVersion(keyboard.deviceIndex)
                             : std::nullopt;
  }
  void PostNetworkWork(std::function<void()> work) override {
    if (threaded)
      network.Post(std::move(work));
    else
      work();
  }

  Tavex::MDialog dialog;
  ProgramServices services;
  CurrentKeyboard keyboard;
  std::vector<uint32_t> queued;
  std::map<uint32_t, std::function<void()>> tasks;
  std::vector<std::pair<int, int>> messages;
  bool threaded = false;
  NetworkWorker network;
};

class UpdateControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    ASSERT_GT(site_.Port(), 0);
    vkbd::LocalBus().Clear();
    keyboard_ = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
    HidDeviceList& devices = host_.services.Devices();
    devices.SetSleeper([](std::chrono::nanoseconds) {});
    devices.AddFilter(0x24AE, 0x4076, "", DeviceFilter::PathPattern(0x24AE, 0x4076));
    devices.Refresh();
    devices.SetOpen(true);

    ASSERT_NE(host_.dialog.Create(nullptr, "updates", WS_POPUP, 0, CRect(0, 0, 400, 200)),
              nullptr);
    // The settings page makes them on its panel; the dialog's own table has no such class.
    software_ = new Tavex::UpgradeButton(&host_.dialog, ids::kSoftwareUpdate,
                                         CRect(10, 10, 190, 40), "");
    firmware_ = new Tavex::UpgradeButton(&host_.dialog, ids::kFirmwareUpdate,
                                         CRect(10, 60, 190, 90), "");
    ASSERT_NE(host_.dialog.AddControl(software_), nullptr);
    ASSERT_NE(host_.dialog.AddControl(firmware_), nullptr);

    std::ifstream in(GetProgramFolder() + "layouts/tarnwick_k87.xml", std::ios::binary);
    std::string layout((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t at = layout.find(kShippedFirmwareAddress);
    ASSERT_NE(at, std::string::npos);
    layout.replace(at, std::string(kShippedFirmwareAddress).size(), site_.Url("/fw/"));
    ASSERT_TRUE(folder_.Write("layout.xml", layout));
    host_.keyboard.type = 1;
    host_.keyboard.deviceIndex = 0;
    ASSERT_TRUE(host_.keyboard.layout.LoadDeviceInfo(folder_ / "layout.xml", 1));
  }
  void TearDown() override {
    host_.dialog.DestroyWindow();
    vkbd::LocalBus().Clear();
  }

  void Run(uint32_t task) {
    ASSERT_TRUE(host_.tasks.count(task));
    host_.tasks[task]();
  }
  // The posted messages of `msg` now in the queue, as (wParam, lParam).
  std::vector<std::pair<WPARAM, LPARAM>> Posted(UINT msg) {
    std::vector<std::pair<WPARAM, LPARAM>> found;
    MSG m{};
    while (Native::PeekMessage(&m, host_.dialog.GetSafeHwnd(), msg, msg, PM_REMOVE))
      found.emplace_back(m.wParam, m.lParam);
    return found;
  }

  TempFolder folder_{"kw-update-controller"};
  ScopedEnv data_{"XDG_DATA_HOME", folder_.Path().c_str()};
  UpdateSite site_;
  std::shared_ptr<vkbd::VirtualKeyboard> keyboard_;
  TestHost host_;
  Tavex::UpgradeButton* software_ = nullptr;
  Tavex::UpgradeButton* firmware_ = nullptr;
};

TEST_F(UpdateControllerTest, TheFirmwareCheckOffersOnlyANewerAcceptedReply) {
  UpdateController controller(host_);
  // The keyboard's 0x0105 is compared as the number 105.
  const std::pair<const char*, bool> cases[] = {
      {"106", true},          {"105", false},        {"104", false},
      {"10600000000", false}, {"../106", false},     {"", false}};
  int requests = 0;
  for (const auto& [reply, offered] : cases) {
    SCOPED_TRACE(reply);
    firmware_->SetUpgradeStatus(0);
    host_.queued.clear();
    site_.Serve("/fw/version", LoopbackServer::Ok(reply));
    Run(kTaskCheckFirmware);
    EXPECT_EQ(site_.Requests("/fw/version"), ++requests);
    EXPECT_EQ(firmware_->GetUpgradeStatus(), offered ? 1 : 0);
    EXPECT_EQ(host_.queued, offered ? std::vector<uint32_t>{kTaskDownloadFirmware}
                                    : std::vector<uint32_t>{});
  }
  EXPECT_EQ(software_->GetUpgradeStatus(), 0);

  // A keyboard that is not there is not asked about, and neither is the server.
  host_.keyboard.deviceIndex = -1;
  Run(kTaskCheckFirmware);
  EXPECT_EQ(site_.Requests("/fw/version"), requests);
}

TEST_F(UpdateControllerTest, TheToolDownloadPostsRisingProgressThenEndsTheProgram) {
  UpdateController controller(host_);
  site_.Serve("/fw/version", LoopbackServer::Ok("106"));
  Run(kTaskCheckFirmware);
  const std::string marker = folder_ / "started";
  // A stored filler of 200 KiB makes the body come in many pieces.
  const std::string zip = UpdateSite::ZipOf(
      folder_, "[" + UpdateSite::MarkerEntry("FirmwareUpdateTool-106.exe", marker) +
                   ", ('filler.bin', 'x' * 204800, 0o100644)]");
  ASSERT_FALSE(zip.empty());
  site_.Serve("/FirmwareUpdateTool-106.zip", LoopbackServer::Ok(zip));
  Run(kTaskDownloadFirmware);

  std::vector<int> progress;
  for (const auto& [wParam, lParam] : Posted(Tavex::WM_TRAYNOTIFY)) {
    EXPECT_EQ(wParam, 0u);
    progress.push_back(static_cast<int>(lParam));
  }
  ASSERT_GE(progress.size(), 6u) << ::testing::PrintToString(progress);
  EXPECT_EQ((std::vector<int>(progress.begin(), progress.begin() + 4)),
            (std::vector<int>{0, 2, 8, 10}));
  EXPECT_EQ(progress.back(), 100);
  for (size_t i = 1; i < progress.size(); ++i) EXPECT_LT(progress[i - 1], progress[i]);

  EXPECT_EQ(Posted(Tavex::WM_EXTERNALREQUEST),
            (std::vector<std::pair<WPARAM, LPARAM>>{{0, Tavex::kExternalQuit}}));
  EXPECT_TRUE(Posted(UpdateController::kMsgUpdateFailed).empty());
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(marker) && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(std::filesystem::exists(marker));
}

TEST_F(UpdateControllerTest, AFailedDownloadIsReportedAndNothingEndsTheProgram) {
  UpdateController controller(host_);
  site_.Serve("/fw/version", LoopbackServer::Ok("106"));
  Run(kTaskCheckFirmware);
  site_.Serve("/FirmwareUpdateTool-106.zip", LoopbackServer::Ok("not a zip archive"));
  Run(kTaskDownloadFirmware);
  EXPECT_TRUE(Posted(Tavex::WM_EXTERNALREQUEST).empty());
  const auto failed = Posted(UpdateController::kMsgUpdateFailed);
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0].first, ids::kFirmwareUpdate);
  EXPECT_TRUE(controller.OnWindowMessage(UpdateController::kMsgUpdateFailed, failed[0].first, 0));
  EXPECT_EQ(host_.messages, (std::vector<std::pair<int, int>>{{kTextFailed, kTextCaption}}));
  EXPECT_EQ(firmware_->GetUpgradeStatus(), 1) << "the mark stays for another try";
}

TEST_F(UpdateControllerTest, ButtonsDownloadWhenMarkedAndProgressIsToldFromTheTray) {
  UpdateController controller(host_);
  EXPECT_TRUE(controller.OnMessage(ids::kSoftwareUpdate, Tavex::Notify::Click, 0, 0));
  EXPECT_EQ(host_.messages, (std::vector<std::pair<int, int>>{{kTextLatest, kTextCaption}}));
  EXPECT_TRUE(host_.queued.empty());

  software_->SetUpgradeStatus(1);
  firmware_->SetUpgradeStatus(1);
  EXPECT_TRUE(controller.OnMessage(ids::kSoftwareUpdate, Tavex::Notify::Click, 0, 0));
  EXPECT_TRUE(controller.OnMessage(ids::kFirmwareUpdate, Tavex::Notify::Click, 0, 0));
  EXPECT_EQ(host_.queued, (std::vector<uint32_t>{kTaskDownloadSoftware, kTaskDownloadFirmware}));
  EXPECT_EQ(host_.messages.size(), 1u);
  EXPECT_FALSE(controller.OnMessage(ids::kSoftwareUpdate, Tavex::Notify::Press, 0, 0));

  // Progress has wParam 0 and a percentage; the tray's mouse messages pass on.
  EXPECT_TRUE(controller.OnWindowMessage(Tavex::WM_TRAYNOTIFY, 0, 55));
  EXPECT_FALSE(controller.OnWindowMessage(Tavex::WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN));
  EXPECT_FALSE(controller.OnWindowMessage(Tavex::WM_TRAYNOTIFY, 1, 55));
}

TEST_F(UpdateControllerTest, AStalledServerHoldsNeitherTheWorkerNorTheButtonsNorTheShutdown) {
  using std::chrono::steady_clock;
  const std::string zip = UpdateSite::ZipOf(
      folder_, "[" + UpdateSite::MarkerEntry("FirmwareUpdateTool-106.exe", folder_ / "started") +
                   ", ('filler.bin', 'x' * 204800, 0o100644)]");
  ASSERT_FALSE(zip.empty());
  site_.Serve("/FirmwareUpdateTool-106.zip", LoopbackServer::HalfThenSilence(zip));
  // From here on no assertion may end the test before the network thread stops: its work uses
  // the controller.
  host_.threaded = true;
  UpdateController controller(host_);
  // The version reply waits at the gate, as a silent server's would.
  site_.CloseGate();
  site_.Serve("/fw/version", LoopbackServer::Ok("106"));
  const auto checked = steady_clock::now();
  Run(kTaskCheckFirmware);
  EXPECT_LT(steady_clock::now() - checked, kWorkerLimit) << "the worker waited for the server";
  EXPECT_TRUE(site_.WaitForRequests("/fw/version", 1, kWaitLimit));

  // The offered tool's download, queued behind the check, sends half and falls silent.
  const auto downloaded = steady_clock::now();
  Run(kTaskDownloadFirmware);
  EXPECT_LT(steady_clock::now() - downloaded, kWorkerLimit) << "the worker waited for the server";
  site_.OpenGate();
  bool progress = false;
  for (const auto until = steady_clock::now() + kWaitLimit; !progress && steady_clock::now() < until;
       std::this_thread::sleep_for(std::chrono::milliseconds(20)))
    progress = !Posted(Tavex::WM_TRAYNOTIFY).empty();
  EXPECT_TRUE(progress) << "the download did not start";

  // The window stays enabled meanwhile: a click on the button must not queue the same download.
  EXPECT_TRUE(controller.OnMessage(ids::kFirmwareUpdate, Tavex::Notify::Click, 0, 0));
  EXPECT_TRUE(host_.messages.empty());

  // The quit tells the stalled download to end; its thread is then joined at once.
  controller.OnShutdown();
  const auto stopped = steady_clock::now();
  host_.network.Stop();
  EXPECT_LT(steady_clock::now() - stopped, kWaitLimit) << "the download ran on to its stall limit";
  // Only the check's own offer queued the download; a stopped download says nothing.
  EXPECT_EQ(host_.queued, std::vector<uint32_t>{kTaskDownloadFirmware});
  EXPECT_TRUE(Posted(UpdateController::kMsgUpdateFailed).empty());
  EXPECT_TRUE(Posted(Tavex::WM_EXTERNALREQUEST).empty());
}

}  // namespace
