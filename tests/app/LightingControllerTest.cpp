// The lighting controller on the real lighting page in a hidden dialog, with a host that records
// what it queues and a virtual keyboard in process: the rule that a slider move queues a transfer
// only when nothing is pending, rows that cannot be read, a layout without lighting, and task 8.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "app/LightingController.h"
#include "app/PageHost.h"
#include "app/ProgramServices.h"
#include "app/TaskCodes.h"
#include "app/WindowIds.h"
#include "app/WindowTexts.h"
#include "app/pages/PageBuilder.h"
#include "app/pages/Pages.h"
#include "docs/LangSettings.h"
#include "tavex/Codes.h"
#include "tavex/DListBox.h"
#include "tavex/MComboBox.h"
#include "tavex/MDialog.h"
#include "tavex/MPanel.h"
#include "tavex/Native.h"
#include "tavex/Sliders.h"
#include "support/TempFolder.h"
#include "tools/vkbd/VirtualBus.h"

namespace {

using Tavex::CRect;
namespace Notify = Tavex::Notify;

constexpr uint16_t kVid = 0x24AE, kPid = 0x4076;

class RecordingHost : public PageHost {
 public:
  RecordingHost(Tavex::MDialog& window, ProgramServices& services, CurrentKeyboard keyboard)
      : window_(window), services_(services), keyboard_(std::move(keyboard)) {}
  Tavex::MDialog& Window() override { return window_; }
  ProgramServices& Services() override { return services_; }
  CurrentKeyboard Keyboard() const override { return keyboard_; }
  void QueueTask(uint32_t code) override { queued.push_back(code); }
  size_t PendingTasks() const override { return pending; }
  bool RegisterTask(uint32_t code, std::function<void()> work) override {
    tasks[code] = std::move(work);
    return true;
  }
  void ShowWaitDialog() override { ++waitDialogs; }
  int ShowMessage(int, int, int) override { return 1; }
  int CurrentPage() const override { return ids::kItemLighting; }

  std::vector<uint32_t> queued;
  size_t pending = 0;
  int waitDialogs = 0;
  std::map<uint32_t, std::function<void()>> tasks;

 private:
  Tavex::MDialog& window_;
  ProgramServices& services_;
  CurrentKeyboard keyboard_;
};

class LightingControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    vkbd::LocalBus().Clear();
    keyboard_ = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(kVid, kPid));
    services_.Devices().AddFilter(kVid, kPid, "", DeviceFilter::PathPattern(kVid, kPid));
    services_.Devices().Refresh();
    services_.Devices().SetOpen(true);
    ASSERT_TRUE(folder_.MakeFolder("db"));
    ASSERT_TRUE(services_.Store().OpenForDevice(folder_.Slashed(), "Tarnwick_V3"));
    ASSERT_NE(dialog_.Create(nullptr, "lighting", 0x96000000, 0, CRect(0, 0, 1280, 760)), nullptr);
    // The page lives in a tab panel, as in the main window.
    auto* panel = static_cast<Tavex::MPanel*>(dialog_.CreateControl(
        "MTabLayout", ids::kLightingPage, CRect(0, 0, 1280, 760), nullptr, 1, 1));
    ASSERT_NE(panel, nullptr);
    PageBuilder page(dialog_, panel, texts_);
    BuildLightingPage(page, controls_);
    ASSERT_NE(Modes(), nullptr);
  }
  void TearDown() override {
    controller_.reset();
    host_.reset();
    services_.Store().Close();
    vkbd::LocalBus().Clear();
  }

  // A controller for the 87-key keyboard (or `keyboard`), with the page filled by task 5.
  void Reload(CurrentKeyboard keyboard = Keyboard()) {
    host_ = std::make_unique<RecordingHost>(dialog_, services_, keyboard);
    controller_ = std::make_unique<LightingController>(*host_);
    controller_->OnPageChanged(ids::kItemHome, ids::kItemLighting);
    controller_->ReloadForKeyboard(keyboard);
    keyboard_->ClearLog();
  }
  static CurrentKeyboard Keyboard() {
    CurrentKeyboard k;
    k.type = 101;
    k.deviceIndex = 0;
    k.layoutPath = LayoutFile::PathFor(GetProgramFolder(), "tarnwick_k87");
    k.layout.LoadDeviceInfo(k.layoutPath, 1);
    return k;
  }
  Tavex::DListBox* Modes() { return dynamic_cast<Tavex::DListBox*>(dialog_.GetControl(ids::kLightList)); }
  Tavex::MSlider* Slider(unsigned id) { return dynamic_cast<Tavex::MSlider*>(dialog_.GetControl(id)); }
  void Click(unsigned id, unsigned wParam = 0) { controller_->OnMessage(id, Notify::Click, wParam, 0); }
  LightRecord Row(int32_t mode) {
    LightRecord r;
    EXPECT_TRUE(services_.Store().GetLightSetting(1, mode, r));
    return r;
  }

  const TempFolder folder_{"kwlightctl"};
  ProgramServices services_;
  Tavex::MDialog dialog_;
  WindowTexts texts_;
  WindowControls controls_;
  std::shared_ptr<vkbd::VirtualKeyboard> keyboard_;
  std::unique_ptr<RecordingHost> host_;
  std::unique_ptr<LightingController> controller_;
};

TEST_F(LightingControllerTest, ASliderMoveQueuesATransferOnlyWhileNothingIsPending) {
  Reload();
  ASSERT_EQ(Modes()->GetItemCount(), 9);
  Click(ids::kLightList, 1);  // breathing, mode 2
  EXPECT_EQ(host_->queued, (std::vector<uint32_t>{kTaskSendLighting}));
  EXPECT_EQ(host_->waitDialogs, 1);

  // Nothing pending: stored and queued.
  Slider(ids::kBrightnessSlider)->SetProgress(0);
  Click(ids::kBrightnessSlider);
  EXPECT_EQ(host_->queued.size(), 2u);
  EXPECT_EQ(Row(2).brightness, 0);

  // A transfer pending: only stored; the pending one reads the row when it runs.
  host_->pending = 1;
  Slider(ids::kSpeedSlider)->SetProgress(3);
  Click(ids::kSpeedSlider);
  EXPECT_EQ(host_->queued.size(), 2u);
  EXPECT_EQ(host_->waitDialogs, 2);
  EXPECT_EQ(Row(2).speed, 3);
  host_->tasks.at(kTaskSendLighting)();
  const auto state = keyboard_->State();
  EXPECT_EQ(state.lightMode, 1);
  EXPECT_EQ(state.brightness, 0);
  EXPECT_EQ(state.speed, 3);
}

TEST_F(LightingControllerTest, AModeWithoutARowQueuesNothingAndTheMusicModeNeither) {
  Reload();
  Modes()->AddString("no row", 77, 0);
  Click(ids::kLightList, static_cast<unsigned>(Modes()->GetItemCount() - 1));
  Click(ids::kLightList, 8);  // music
  EXPECT_TRUE(host_->queued.empty());
  EXPECT_EQ(host_->waitDialogs, 0);
  host_->tasks.at(kTaskSendLighting)();  // the active mode is music: no mode command
  EXPECT_TRUE(keyboard_->Log().empty());
}

TEST_F(LightingControllerTest, ALayoutWithoutLightingGivesAnEmptyListAndNoTransfer) {
  CurrentKeyboard bare = Keyboard();
  bare.layout = LayoutFile();
  host_ = std::make_unique<RecordingHost>(dialog_, services_, bare);
  controller_ = std::make_unique<LightingController>(*host_);
  controller_->OnPageChanged(ids::kItemHome, ids::kItemLighting);
  controller_->ReloadForKeyboard(bare);
  EXPECT_EQ(Modes()->GetItemCount(), 0);
  EXPECT_EQ(services_.Store().CountLightSettings(1), 0);
  EXPECT_EQ(keyboard_->State().lightingCommands, 0);
}

TEST_F(LightingControllerTest, TheFirstSlotMessageSendsOnlyWhenACustomModeLeavesAnotherSlot) {
  constexpr unsigned kCustomRow = 7;
  constexpr unsigned kBreathingRow = 1;
  Reload();
  auto* slots = dynamic_cast<Tavex::MComboBox*>(dialog_.GetControl(ids::kColourSlot));
  ASSERT_NE(slots, nullptr);
  const auto chooseSlot = [&](int slot) {
    slots->SetCurSel(slot);
    Click(ids::kColourSlot);
  };
  const auto firstSlot = [&] {
    EXPECT_TRUE(controller_->OnWindowMessage(LightingController::kMsgFirstCustomSlot, 0, 0));
  };
  Click(ids::kLightList, kCustomRow);
  chooseSlot(2);
  ASSERT_EQ(keyboard_->State().lightSlot, 2);
  const int sent = keyboard_->State().lightingCommands;

  firstSlot();
  EXPECT_EQ(slots->GetCurSel(), 0);
  EXPECT_EQ(keyboard_->State().lightSlot, 0);
  EXPECT_EQ(keyboard_->State().lightingCommands, sent + 1);
  firstSlot();  // already there: nothing new for the keyboard
  EXPECT_EQ(keyboard_->State().lightingCommands, sent + 1);

  // Outside a custom mode only the choice returns to the first slot.
  Click(ids::kLightList, kBreathingRow);
  chooseSlot(1);
  const int before = keyboard_->State().lightingCommands;
  firstSlot();
  EXPECT_EQ(slots->GetCurSel(), 0);
  EXPECT_EQ(keyboard_->State().lightingCommands, before);
  EXPECT_FALSE(controller_->OnWindowMessage(LightingController::kMsgFirstCustomSlot + 1, 0, 0));
}

TEST_F(LightingControllerTest, TaskEightUploadsSlotZeroKeyByKey) {
  Reload();
  ASSERT_EQ(services_.Store().ReplaceKeyColours(
                128, {{0, 1, 128, 0x29, 0xFFFF00}, {0, 1, 128, 0x14, 0}, {0, 1, 128, 0x04, 1}}),
            3);
  host_->tasks.at(kTaskSendCustomLight)();
  std::vector<std::vector<uint8_t>> sent;
  for (const auto& r : keyboard_->Log())
    sent.emplace_back(r.bytes.begin() + 5, r.bytes.begin() + 8);
  EXPECT_EQ(sent, (std::vector<std::vector<uint8_t>>{
                      {0x00, 0x00, 0x00}, {0x29, 0x01, 0x00}, {0x14, 0x00, 0x00},
                      {0x04, 0x01, 0x00}, {0xFE, 0x00, 0x00}}));
  EXPECT_EQ(keyboard_->State().LitKeysText(0), "04 29");
}

}  // namespace
