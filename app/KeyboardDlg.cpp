#include "app/KeyboardDlg.h"

#include <cstdio>
#include <iterator>

#include "app/CloseBehaviour.h"
#include "app/CUIMessageBox.h"
#include "app/CloseWindowTipDlg.h"
#include "app/PageControllers.h"
#include "app/TrayIcon.h"
#include "app/WaitDlg.h"
#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "docs/LayoutViews.h"
#include "platform/Autostart.h"
#include "platform/ShellOpen.h"
#include "store/LightFrameStore.h"
#include "tavex/Buttons.h"
#include "tavex/CDeviceCtrl.h"
#include "tavex/CheckButtons.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MComboBox.h"
#include "tavex/MTabCtrl.h"
#include "tavex/MText.h"
#include "tavex/MenuWnd.h"
#include "tavex/Native.h"
#include "tavex/Pictures.h"

using Tavex::CRect;
namespace Notify = Tavex::Notify;

namespace {

// Page header per tab item: title text and icon.
struct Header {
  int item;
  int text;
  const char* icon;
};
constexpr Header kHeaders[] = {
    {ids::kItemKeys, ids::text::kTabKeys, "icon/icon_keyboard.png"},
    {ids::kItemMacros, ids::text::kTabMacros, "icon/icon_macro.png"},
    {ids::kItemLighting, ids::text::kTabLighting, "icon/icon_lightmode.png"},
    {ids::kItemSettings, ids::text::kTabSettings, "icon/icon_config.png"},
};

constexpr const char* kProgramFile = "keywright";
// Every keyboard type keeps its profiles in one database of this name.
constexpr const char* kProfileTypeName = "Tarnwick_V3";
constexpr int kFirmwareButtonIdle = 0;

}  // namespace

KeyboardDlg::KeyboardDlg(ProgramServices& services) : services_(services) {
  // Before the controllers: one that takes task 12 replaces this and reads the version itself.
  dispatcher_.RegisterTask(kTaskCheckFirmware, [this] { ReadFirmwareVersion(); });
  controllers_ = MakePageControllers(*this);
}

KeyboardDlg::~KeyboardDlg() {
  // A worker step that outlived the stop uses this object: wait for it before members go.
  worker_.StopWorker();
  worker_.JoinWorker();
  network_.Stop();
  hotplug_.Stop();
  if (devices_) devices_->StopEventReaders();
  tray_.reset();
}

int KeyboardDlg::Run() {
  if (Create(nullptr, ids::kInstanceName, ids::kDialogStyle, 0,
             CRect(0, 0, ids::kWindowWidth, ids::kWindowHeight)) == nullptr) {
    return kExitCodeClosed;
  }
  CenterWindow();
  ShowModal(ids::kShowModalCmd);
  Shutdown();  // the loop may also end without one of our exits (the window was destroyed)
  return exitCode_;
}

// ---- building ------------------------------------------------------------------------------

void KeyboardDlg::InitUI(CRect) {
  BuildFrame(*this, texts_, controls_);
  const auto build = [&](int item, auto&& builder) {
    const int index = PageIndexOfItem(item);
    if (index < 0 || controls_.pages[index] == nullptr) return;
    PageBuilder page(*this, controls_.pages[index], texts_);
    builder(page);
  };
  build(ids::kItemHome, [&](PageBuilder& p) { BuildHomePage(p, controls_); });
  build(ids::kItemKeys, [&](PageBuilder& p) { BuildKeyPage(p, controls_); });
  build(ids::kItemMacros, [&](PageBuilder& p) { BuildMacroPage(p); });
  build(ids::kItemLighting, [&](PageBuilder& p) { BuildLightingPage(p, controls_); });
  build(ids::kItemSettings, [&](PageBuilder& p) { BuildSettingsPage(p, controls_); });

  if (controls_.language != nullptr) controls_.language->SelectData(GetCurrentLanguage());
  if (controls_.autostart != nullptr)
    controls_.autostart->SetCheck(platform::IsAutostartEnabled(ids::kInstanceName) ? 1 : 0);
  UpdateCloseTooltip();
  SwitchPage(ids::kItemHome);
}

void KeyboardDlg::UISize(CRect client) {
  // The system buttons keep to the right edge of whatever size the window has.
  static constexpr unsigned kSystemButtons[] = {ids::kCloseButton, ids::kMinimizeButton,
                                                ids::kWebButton};
  int right = client.right;
  for (unsigned id : kSystemButtons) {
    Tavex::MControl* button = GetControl(id);
    if (button == nullptr) continue;
    const CRect rect = button->GetRect();
    button->SetRect(right - rect.Width(), rect.top, right, rect.bottom);
    right -= rect.Width();
  }
}

int KeyboardDlg::OnInitDialog() {
  MDialog::OnInitDialog();
  const std::string folder = GetProgramFolder();
  LightFrameStore::Instance().Open(folder);

  Tavex::Native::SetExternalMark(GetSafeHwnd(), ids::kInstanceName, "1");
  AddTrayIcon();
  SetIconFile((folder + ids::kIconFile).c_str());
  EnableInputMethod(0);
  Tavex::Native::AllowExternalMessage(Tavex::WM_EXTERNALREQUEST);
  LoadDeviceTable();
  // The blocked-word list of the name check and the audio capture thread come with the
  // profile and music-lighting work.

  SetTimer(ids::kSoftwareCheckTimer, ids::kSoftwareCheckDelayMs);
  SetMTimer(ids::kAnimationTickMs);
  worker_.StartWorker();
  QueueTask(kTaskFirstRefresh);
  return 1;
}

void KeyboardDlg::AddTrayIcon() {
  tray_ = TrayIcon::Add(GetSafeHwnd(), ids::kInstanceName, GetProgramFolder() + ids::kIconFile);
}

void KeyboardDlg::LoadDeviceTable() {
  DeviceTable::File file = DeviceTable::Read(GetProgramFolder() + "config.xml");
  software_ = file.software;
  if (controls_.devices != nullptr) {
    controls_.devices->ClearList();
    for (const DeviceTable::Entry& entry : file.entries)
      controls_.devices->AddDevice(entry.name.c_str(), entry.vendorId, entry.productId,
                                   entry.type, false);
  }
  if (!software_.caption.empty()) {
    SetWindowTextW(software_.caption.c_str());
    if (controls_.caption != nullptr) controls_.caption->SetTitle(software_.caption.c_str());
  }
  if (controls_.version != nullptr && !software_.version.empty())
    controls_.version->SetTitle(("Ver: " + software_.version).c_str());

  devices_ = std::make_unique<DeviceTable>(services_.Devices(), std::move(file.entries));
  const HWND window = GetSafeHwnd();
  devices_->StartEventReaders([window](uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Tavex::Native::PostMessage(window, message, wParam, lParam);
  });
  // Without a source the program still works; only plugs and unplugs go unnoticed.
  hotplug_.Start([window](UINT message, WPARAM wParam, LPARAM lParam) {
    Tavex::Native::PostMessage(window, message, wParam, lParam);
  });
  dispatcher_.RegisterTask(kTaskSwitchDevice, [this] { SelectDeviceOnWorker(); });
  dispatcher_.RegisterTask(kTaskReloadPages, [this] { ReloadPagesOnWorker(); });
}

void KeyboardDlg::SetAllTexts() {
  texts_.Apply();
  UpdateCloseTooltip();
  for (const auto& controller : controllers_) controller->OnTextsChanged();
  if (tray_) tray_->SetTexts();
  SwitchPage(currentPage_);
  UpdatePageState();
}

void KeyboardDlg::UpdateCloseTooltip() {
  if (controls_.closeButton != nullptr)
    controls_.closeButton->SetTooltip(GetLangText(CloseTooltipText(ReadExitMode())).c_str());
}

// ---- routes --------------------------------------------------------------------------------

int KeyboardDlg::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  for (const auto& controller : controllers_)
    if (controller->OnMessage(id, code, wParam, lParam)) return 0;
  if (id == ids::kDeviceList && code == Notify::Press) {
    OnDevicePressed();
    return 0;
  }
  if (code != Notify::Click) return 0;
  switch (id) {
    case ids::kCloseButton: OnCloseButton(); break;
    case ids::kMinimizeButton: OnMinimize(); break;
    case ids::kWebButton:
      if (!software_.website.empty()) platform::ShellOpen(software_.website);
      break;
    case ids::kTabStrip:
      if (controls_.tabs != nullptr)
        SwitchPage(static_cast<int>(controls_.tabs->GetItemID(static_cast<int>(wParam))));
      break;
    case ids::kLanguageList: OnLanguageChosen(); break;
    case ids::kAutostartCheck: OnAutostartClicked(); break;
    default: break;
  }
  return 0;
}

LRESULT KeyboardDlg::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  for (const auto& controller : controllers_)
    if (controller->OnWindowMessage(msg, wParam, lParam)) return 0;
  switch (msg) {
    case Tavex::WM_EXTERNALREQUEST:
      if (lParam == Tavex::kExternalQuit) ExitProgram();
      return 0;
    case Tavex::WM_TRAYNOTIFY:
      if (lParam == WM_LBUTTONDOWN || lParam == WM_LBUTTONDBLCLK) ShowFromTray();
      if (lParam == WM_RBUTTONUP) {
        const POINT at = TrayIcon::PointOfTrayMessage(wParam);
        ShowTrayMenu(at.x, at.y);
      }
      return 0;
    case WM_COMMAND:
      OnTrayMenuCommand(static_cast<int>(lParam));
      return 0;
    case Tavex::WM_SETTEXTS:
      SetAllTexts();
      return 0;
    case WM_CLOSE:
      // The window manager's close acts as the close button; our own exits destroy the window.
      OnCloseButton();
      return 0;
    case kMsgEnable:
      MWindow::EnableWindow(wParam != 0 ? 1 : 0);
      return 0;
    case kMsgPageState:
      UpdatePageState();
      return 0;
    case kMsgDeviceShown:
      ShowDevicePages(static_cast<int>(wParam));
      if (auto* firmware = dynamic_cast<Tavex::UpgradeButton*>(GetControl(ids::kFirmwareUpdate)))
        firmware->SetUpgradeStatus(kFirmwareButtonIdle);
      SetTimer(ids::kFirmwareCheckTimer, ids::kFirmwareCheckDelayMs);
      Invalidate();  // the views got their layout on the worker
      return 0;
    case WM_DEVICECHANGE:
      OnDeviceChange();
      return 0;
    default:
      break;
  }
  return MDialog::OnWindowMessage(msg, wParam, lParam);
}

int KeyboardDlg::OnTimer(unsigned id) {
  if (id == ids::kSoftwareCheckTimer) {
    KillTimer(id);
    QueueTask(kTaskCheckSoftware);
  } else if (id == ids::kFirmwareCheckTimer) {
    KillTimer(id);
    QueueTask(kTaskCheckFirmware);
  } else if (id == kReaderRestartTimer) {
    KillTimer(id);
    if (devices_) devices_->RestartEventReaders();
  }
  return 0;
}

// ---- pages ---------------------------------------------------------------------------------

void KeyboardDlg::SwitchPage(int item) {
  const int index = PageIndexOfItem(item);
  if (index < 0) return;
  ClearTooltip();  // it described a control of the page that is going away
  for (int i = 0; i < static_cast<int>(std::size(controls_.pages)); ++i)
    if (controls_.pages[i] != nullptr) controls_.pages[i]->SetVisible(i == index ? 1 : 0);
  const Header* header = nullptr;
  for (const Header& h : kHeaders)
    if (h.item == item) header = &h;
  if (controls_.pageTitle != nullptr) {
    controls_.pageTitle->SetTitle(header != nullptr ? GetLangText(header->text).c_str() : "");
    controls_.pageTitle->SetVisible(header != nullptr ? 1 : 0);
  }
  if (controls_.headerIcon != nullptr) {
    if (header != nullptr) controls_.headerIcon->SetPicture(header->icon);
    controls_.headerIcon->SetVisible(header != nullptr ? 1 : 0);
  }
  if (controls_.tabs != nullptr) {
    for (int i = 0; i < controls_.tabs->GetItemCount(); ++i)
      if (static_cast<int>(controls_.tabs->GetItemID(i)) == item) controls_.tabs->SetSelectItem(i);
  }
  const int left = currentPage_;
  currentPage_ = item;
  for (const auto& controller : controllers_) controller->OnPageChanged(left, item);
}

void KeyboardDlg::OnDevicePressed() {
  if (controls_.devices == nullptr) return;
  const int type = controls_.devices->GetCurDeviceType();
  if (type == 0) return;
  ShowDevicePages(type);
  if (type == currentType_.load()) return;
  selectedType_.store(type);
  QueueTask(kTaskSwitchDevice);
}

void KeyboardDlg::ShowDevicePages(int type) {
  if (controls_.tabs == nullptr) return;
  const bool keyboard = type < ids::kLightingOnlyType;
  for (int i = 0; i < controls_.tabs->GetItemCount(); ++i) {
    const int item = static_cast<int>(controls_.tabs->GetItemID(i));
    if (item == ids::kItemKeys || item == ids::kItemMacros)
      controls_.tabs->SetItemVisible(i, keyboard ? 1 : 0);
  }
  controls_.tabs->SetVisible(1);
  SwitchPage(keyboard ? ids::kItemKeys : ids::kItemLighting);
}

void KeyboardDlg::UpdatePageState() {
  const bool connected = connected_.load();
  const bool noAccess = !connected && noAccess_.load();
  if (controls_.status != nullptr)
    controls_.status->SetTitle(GetLangText(connected  ? ids::text::kConnected
                                           : noAccess ? ids::text::kNoAccess
                                                      : ids::text::kNotConnected)
                                   .c_str());
  if (controls_.grantAccess != nullptr) controls_.grantAccess->SetVisible(noAccess ? 1 : 0);
  // Without a keyboard, or when the current one went away, the device list comes back and the
  // next selection loads the keyboard again.
  const bool gone = currentGone_.exchange(false);
  // Any removal while a page shows returns to the list, so the next choice loads afresh.
  const bool removedOnPage = removalSeen_.exchange(false) && currentPage_ != ids::kItemHome;
  if (!connected || gone || removedOnPage) {
    currentType_.store(0);
    if (controls_.tabs != nullptr) controls_.tabs->SetVisible(0);
    SwitchPage(ids::kItemHome);
  }
}

// ---- worker side ---------------------------------------------------------------------------

void KeyboardDlg::RefreshDeviceState() {
  if (!devices_) return;
  // Cleared before the enumeration: a notice from now on needs a refresh of its own.
  refreshQueued_.store(false);
  const std::vector<DeviceTable::Shown> shown = devices_->Refresh();
  if (controls_.devices != nullptr)
    for (const DeviceTable::Shown& s : shown)
      controls_.devices->SetDeviceState(s.vendorId, s.productId, s.connected ? 1 : 0);
  connected_.store(devices_->AnyConnected());
  noAccess_.store(devices_->AnyNoAccess());
  trace_.Refresh(connected_.load(), shown);
  // Read here, where the presence marks are written, for the UI thread's page state.
  const int type = currentType_.load();
  const std::optional<DeviceTable::Entry> current = devices_->FindType(type);
  currentGone_.store(type != 0 && (!current || !current->present));
  removalSeen_.store(lastHotPlugKind_.exchange(kHotPlugNone) == kHotPlugRemoval);
  {
    // Indexes follow the enumeration order, which a plug or unplug of another keyboard changes.
    std::lock_guard lock(keyboardMutex_);
    if (keyboard_.Chosen()) keyboard_.deviceIndex = current ? current->index : -1;
  }
  PostMessageW(kMsgPageState);
}

void KeyboardDlg::SelectDeviceOnWorker() {
  const int type = selectedType_.load();
  if (type == 0 || type == currentType_.load() || !devices_) return;
  ProfileStore& store = services_.Store();
  store.Close();
  CurrentKeyboard chosen;
  chosen.type = type;
  if (const std::optional<DeviceTable::Entry> entry = devices_->FindType(type)) {
    chosen.vendorId = entry->vendorId;
    chosen.productId = entry->productId;
    chosen.layoutPath = LayoutFile::PathFor(GetProgramFolder(), entry->layout);
    chosen.layout.LoadDeviceInfo(chosen.layoutPath, 1);
    store.SetDeviceType(type);
    // A store that cannot be opened leaves the pages empty; the keyboard still works.
    store.OpenForDevice(GetDataFolder(), kProfileTypeName);
    chosen.deviceIndex = services_.Devices().FindDevice(entry->vendorId, entry->productId);
    LayoutFile views;
    views.LoadLayout(chosen.layoutPath);
    ApplyLayout<Tavex::KeyboardCtrl, CRect>(
        views, {controls_.keyboards[0], controls_.keyboards[1], controls_.keyboards[2]});
  }
  {
    std::lock_guard lock(keyboardMutex_);
    keyboard_ = chosen;
  }
  currentType_.store(type);
  trace_.Select(type, chosen.deviceIndex);
  QueueTask(kTaskReloadPages);
  // The page switch, the firmware button and timer 300 belong to the UI thread.
  PostMessageW(kMsgDeviceShown, static_cast<WPARAM>(type));
}

std::optional<uint16_t> KeyboardDlg::ReadFirmwareVersion() {
  const CurrentKeyboard keyboard = Keyboard();
  const std::optional<uint16_t> version =
      keyboard.Chosen() ? services_.Commands().ReadFirmwareVersion(keyboard.deviceIndex)
                        : std::nullopt;
  {
    std::lock_guard lock(keyboardMutex_);
    // Kept only when no other switch came in between.
    if (keyboard_.type == keyboard.type) keyboard_.firmwareVersion = version;
  }
  char text[8] = "none";
  if (version) std::snprintf(text, sizeof text, "%04X", *version);
  trace_.Firmware(text);
  return version;
}

void KeyboardDlg::ReloadDeviceSettings() {
  const CurrentKeyboard keyboard = Keyboard();
  if (!keyboard.Chosen()) return;
  LayoutFile settings;
  // An unreadable file keeps the settings read at the switch.
  if (!settings.LoadDeviceInfo(keyboard.layoutPath, keyboard.lightingProfile)) return;
  std::lock_guard lock(keyboardMutex_);
  // Kept only when no other switch came in between.
  if (keyboard_.type == keyboard.type) keyboard_.layout = std::move(settings);
}

void KeyboardDlg::OnDeviceChange() {
  if (!devices_) return;
  for (const platform::HotPlugNotice& notice : hotplug_.Take()) {
    const bool arrival = notice.kind == platform::HotPlugKind::Arrival;
    const int32_t type =
        arrival ? devices_->MatchArrival(notice.identity) : devices_->MarkRemoved(notice.identity);
    if (type == 0) continue;  // another device, or a removal of one not marked present
    lastHotPlugKind_.store(arrival ? kHotPlugArrival : kHotPlugRemoval);
    QueueRefresh(arrival ? kTaskFirstRefresh : kTaskRefresh);
    // One restart after the burst: each restart enumerates and reopens every event interface.
    SetTimer(kReaderRestartTimer, kReaderRestartDelayMs);
  }
}

void KeyboardDlg::QueueRefresh(uint32_t code) {
  // A storm of plugs and unplugs ends in one refresh that reads the state as it is by then.
  if (!refreshQueued_.exchange(true)) QueueTask(code);
}

void KeyboardDlg::ReloadPagesOnWorker() {
  const CurrentKeyboard keyboard = Keyboard();
  if (!keyboard.Chosen()) return;
  for (const auto& controller : controllers_) controller->ReloadForKeyboard(keyboard);
}

CurrentKeyboard KeyboardDlg::Keyboard() const {
  std::lock_guard lock(keyboardMutex_);
  return keyboard_;
}

int KeyboardDlg::ShowMessage(int textNumber, int captionNumber, int style) {
  return ::ShowMessage(this, GetLangText(textNumber), GetLangText(captionNumber), style);
}

void KeyboardDlg::Host::EnableWindow(bool enable) {
  window_.PostMessageW(kMsgEnable, enable ? 1 : 0);
}

void KeyboardDlg::Host::CloseWaitDialog() {
  std::lock_guard lock(window_.waitMutex_);
  // The task may end before the UI thread has put up the dialog it queued the task with.
  if (window_.wait_ != nullptr)
    window_.wait_->RequestClose();
  else
    window_.waitClosePending_ = true;
}

void KeyboardDlg::ShowWaitDialog() {
  WaitDlg dialog;
  {
    std::lock_guard lock(waitMutex_);
    if (waitClosePending_) {
      waitClosePending_ = false;
      return;
    }
    wait_ = &dialog;
  }
  dialog.Run(*this);
  std::lock_guard lock(waitMutex_);
  wait_ = nullptr;
}

// ---- close, tray, settings -------------------------------------------------------------------

void KeyboardDlg::OnCloseButton() {
  ExitMode mode = ReadExitMode();
  if (mode == ExitMode::Ask) {
    CloseWindowTipDlg tip;
    tip.Run(this);
    mode = ReadExitMode();
    UpdateCloseTooltip();
  }
  switch (CloseActionFor(mode, tray_ && tray_->Available())) {
    case CloseAction::Hide: ShowWindow(SW_HIDE); break;
    case CloseAction::Minimize: OnMinimize(); break;
    case CloseAction::Exit: ExitProgram(); break;
    case CloseAction::Nothing: break;
  }
}

void KeyboardDlg::OnTrayMenuCommand(int command) {
  if (command == ids::kTrayExit) {
    ExitProgram();
  } else if (command == ids::kTrayCloseOptions) {
    CloseWindowTipDlg tip;
    tip.Run(this);
    UpdateCloseTooltip();
  }
}

void KeyboardDlg::ShowFromTray() {
  Tavex::Native::SetForegroundWindow(GetSafeHwnd());
  ShowWindow(SW_SHOWNORMAL);
  Tavex::Native::UpdateWindow(GetSafeHwnd());
  BringToTop();
}

void KeyboardDlg::ShowTrayMenu(int x, int y) {
  Tavex::Native::SetForegroundWindow(GetSafeHwnd());
  auto* menu = new Tavex::MenuWnd(this);
  menu->AddMenu(GetLangText(ids::text::kCloseOptions).c_str(), ids::kTrayCloseOptions);
  menu->AddMenu(GetLangText(ids::text::kExit).c_str(), ids::kTrayExit);
  // The menu deletes itself once its window is gone; one never created is ours to delete.
  if (menu->Create(GetSafeHwnd(), Tavex::CPoint(x, y), WM_COMMAND) == nullptr) delete menu;
}

void KeyboardDlg::OnLanguageChosen() {
  if (controls_.language == nullptr) return;
  const int lcid = static_cast<int>(controls_.language->GetCurData());
  if (lcid != kLangChinese && lcid != kLangEnglish) return;
  WriteLanguageSetting(lcid);
  SetCurrentLanguage(lcid);
  // Through the message, so the list's switch and any other sender share one route.
  PostMessageW(Tavex::WM_SETTEXTS);
}

void KeyboardDlg::OnAutostartClicked() {
  if (controls_.autostart == nullptr) return;
  const bool on = controls_.autostart->GetCheck() != 0;
  platform::SetAutostart(ids::kInstanceName, on, GetProgramFolder() + kProgramFile);
  // The box shows what is stored, also when storing failed.
  controls_.autostart->SetCheck(platform::IsAutostartEnabled(ids::kInstanceName) ? 1 : 0);
}

// ---- ending --------------------------------------------------------------------------------

void KeyboardDlg::ExitProgram() {
  exitCode_ = kExitCodeExplicit;
  Shutdown();
}

void KeyboardDlg::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  KillTimer(ids::kSoftwareCheckTimer);
  KillTimer(ids::kFirmwareCheckTimer);
  KillTimer(kReaderRestartTimer);
  worker_.StopWorker();
  for (const auto& controller : controllers_) controller->OnShutdown();
  // Their fetches have been told to end: the running one returns within about a second.
  network_.Stop();
  hotplug_.Stop();
  if (devices_) devices_->StopEventReaders();
  tray_.reset();
  DestroyWindow();
}
