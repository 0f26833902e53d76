#include "app/UpdateController.h"

#include <optional>
#include <string>

#include "app/CUIMessageBox.h"
#include "app/DeviceTable.h"
#include "app/PageHost.h"
#include "app/ProgramServices.h"
#include "app/TaskCodes.h"
#include "app/WindowIds.h"
#include "device/CommandBuilders.h"
#include "docs/LangSettings.h"
#include "tavex/Buttons.h"
#include "tavex/Codes.h"
#include "tavex/MDialog.h"
#include "update/UpdateCheck.h"

namespace Notify = Tavex::Notify;
using update::UpdatePackage;

namespace {

constexpr int kTextLatestVersion = 175;  // "You are using the latest version."
constexpr int kTextUpdateCaption = 156;
constexpr int kTextUpdateFailed = 176;
constexpr int kTextDownloading = 177;
constexpr int kTextSoftwareButton = 124;
constexpr int kTextFirmwareButton = 125;
constexpr int kProgressMax = 100;

unsigned ButtonOf(UpdatePackage package) {
  return package == UpdatePackage::Software ? ids::kSoftwareUpdate : ids::kFirmwareUpdate;
}

}  // namespace

UpdateController::UpdateController(PageHost& host) : host_(host) {
  const DeviceTable::Software software =
      DeviceTable::Read(GetProgramFolder() + "config.xml").software;
  installedVersion_ = software.version;
  softwareAddress_ = software.upgrade;
  host_.RegisterTask(kTaskCheckSoftware,
                     [this] { host_.PostNetworkWork([this] { CheckSoftware(); }); });
  host_.RegisterTask(kTaskCheckFirmware, [this] { CheckFirmware(); });
  host_.RegisterTask(kTaskDownloadSoftware, [this] {
    host_.PostNetworkWork([this] { Download(UpdatePackage::Software, softwareAddress_); });
  });
  host_.RegisterTask(kTaskDownloadFirmware, [this] {
    // Read here: network work must not ask the window for its keyboard.
    host_.PostNetworkWork([this, address = host_.Keyboard().layout.FirmwareUrl()] {
      Download(UpdatePackage::FirmwareTool, address);
    });
  });
}

// ---- UI thread -----------------------------------------------------------------------------

bool UpdateController::OnMessage(unsigned id, unsigned code, unsigned, long) {
  if (code != Notify::Click || (id != ids::kSoftwareUpdate && id != ids::kFirmwareUpdate))
    return false;
  // A download in progress shows on its button; the window stays enabled while it runs, and a
  // second click would only queue the same download behind it.
  if (progressButton_.load() != 0) return true;
  const Tavex::UpgradeButton* button = Button(id);
  if (button != nullptr && button->GetUpgradeStatus() != 0) {
    host_.QueueTask(id == ids::kSoftwareUpdate ? kTaskDownloadSoftware : kTaskDownloadFirmware);
  } else {
    host_.ShowMessage(kTextLatestVersion, kTextUpdateCaption, CUIMessageBox::kStyleOneButton);
  }
  return true;
}

bool UpdateController::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // Download progress shares its number with the tray callback, told apart by wParam 0 and a
  // percentage where the tray sends a mouse message.
  if (msg == Tavex::WM_TRAYNOTIFY && wParam == 0 && lParam >= 0 && lParam <= kProgressMax) {
    ShowProgress(static_cast<int>(lParam));
    return true;
  }
  if (msg == kMsgUpdateFailed) {
    // Progress of this download may still have been queued behind the message's sender; a
    // later download has set its own button already.
    unsigned shown = static_cast<unsigned>(wParam);
    progressButton_.compare_exchange_strong(shown, 0);
    RestoreCaption(static_cast<unsigned>(wParam));
    host_.ShowMessage(kTextUpdateFailed, kTextUpdateCaption, CUIMessageBox::kStyleOneButton);
    return true;
  }
  return false;
}

void UpdateController::OnShutdown() { keepGoing_.store(false); }

void UpdateController::ShowProgress(int percent) {
  Tavex::UpgradeButton* button = Button(progressButton_.load());
  if (button == nullptr) return;
  const std::string title = GetLangText(kTextDownloading) + " " + std::to_string(percent) + "%";
  button->SetTitle(title.c_str());
}

void UpdateController::RestoreCaption(unsigned buttonId) {
  Tavex::UpgradeButton* button = Button(buttonId);
  if (button == nullptr) return;
  const int text = buttonId == ids::kSoftwareUpdate ? kTextSoftwareButton : kTextFirmwareButton;
  button->SetTitle(GetLangText(text).c_str());
}

Tavex::UpgradeButton* UpdateController::Button(unsigned id) const {
  if (id == 0) return nullptr;
  return dynamic_cast<Tavex::UpgradeButton*>(host_.Window().GetControl(id));
}

// ---- worker and network thread ----------------------------------------------------------------

void UpdateController::Offer(unsigned buttonId, uint32_t downloadTask) {
  if (Tavex::UpgradeButton* button = Button(buttonId)) button->SetUpgradeStatus(1);
  host_.QueueTask(downloadTask);
}

void UpdateController::CheckSoftware() {
  platform::FetchOptions options;
  options.keepGoing = &keepGoing_;
  const update::VersionOffer offer =
      update::CheckSoftwareVersion(softwareAddress_, installedVersion_, options);
  if (offer.version.empty()) return;
  offeredSoftware_ = offer.version;
  if (offer.newer) Offer(ids::kSoftwareUpdate, kTaskDownloadSoftware);
}

void UpdateController::CheckFirmware() {
  const CurrentKeyboard keyboard = host_.Keyboard();
  std::string address = keyboard.layout.FirmwareUrl();
  // The keyboard first: without its version there is nothing to compare an offer with.
  std::optional<uint16_t> installed;
  if (keyboard.deviceIndex >= 0 && !address.empty()) installed = host_.ReadFirmwareVersion();
  host_.PostNetworkWork([this, address = std::move(address), installed] {
    CheckFirmwareOffer(address, installed);
  });
}

void UpdateController::CheckFirmwareOffer(const std::string& address,
                                          std::optional<uint16_t> installed) {
  offeredFirmware_.clear();
  if (!installed) return;
  platform::FetchOptions options;
  options.keepGoing = &keepGoing_;
  const update::VersionOffer offer = update::CheckFirmwareVersion(
      address,
      [&](const std::string& reply) { return FirmwareIsOlder(*installed, reply); }, options);
  if (offer.version.empty()) return;
  offeredFirmware_ = offer.version;
  if (offer.newer) Offer(ids::kFirmwareUpdate, kTaskDownloadFirmware);
}

void UpdateController::Download(UpdatePackage package, const std::string& address) {
  const bool software = package == UpdatePackage::Software;
  const std::string& version = software ? offeredSoftware_ : offeredFirmware_;
  const unsigned buttonId = ButtonOf(package);
  Tavex::MDialog& window = host_.Window();
  progressButton_.store(buttonId);
  platform::FetchOptions options;
  options.keepGoing = &keepGoing_;
  const update::UpdateOutcome outcome = update::InstallUpdate(
      package, address, version, GetDataFolder(),
      [&window](int percent) { window.PostMessageW(Tavex::WM_TRAYNOTIFY, 0, percent); }, options);
  if (outcome.status == update::UpdateStatus::Launched) {
    // The route of a quit request: the window's shutdown, then exit code 0.
    window.PostMessageW(Tavex::WM_EXTERNALREQUEST, 0, Tavex::kExternalQuit);
  } else if (keepGoing_.load()) {
    window.PostMessageW(kMsgUpdateFailed, buttonId);
  }
}
