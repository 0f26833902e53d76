#include "app/LightingController.h"

#include <cstdlib>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/PageHost.h"
#include "app/ProgramServices.h"
#include "app/TaskCodes.h"
#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "features/LightingModes.h"
#include "store/LightFrameStore.h"
#include "tavex/Buttons.h"
#include "tavex/Codes.h"
#include "tavex/DListBox.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MComboBox.h"
#include "tavex/MDialog.h"
#include "tavex/Sliders.h"

namespace Notify = Tavex::Notify;
using Tavex::KeyboardCtrl;

namespace {

constexpr int32_t kProfile = lighting::kLightingProfile;
// The profile database of every keyboard type.
constexpr const char* kStoreTypeName = "Tarnwick_V3";
// Mode names are language texts of this section.
constexpr const char* kModeNameSection = "KB.DIALOG";
// The preview outlines in the accent colour (COLORREF), visible on the dark keyboard picture.
constexpr COLORREF kPreviewColour = 0x0051CA;

constexpr unsigned kMusicIds[] = {ids::kMusicLabel,  ids::kMusicChoice,   ids::kGainLabel,
                                  ids::kGainSlider, ids::kIntervalLabel, ids::kMusicInterval};

template <typename T>
T* Find(Tavex::MDialog& window, unsigned id) {
  return dynamic_cast<T*>(window.GetControl(id));
}

void Show(Tavex::MControl* control, bool shown) {
  if (control != nullptr) control->SetVisible(shown ? 1 : 0);
}

// A mode's name is the number of its language text.
std::string ModeName(const LightRecord& row) {
  return GetLangText(std::atoi(row.name.c_str()), kModeNameSection);
}

// The layout sets the sliders' maxima; one mark per step.
void SetMaximum(Tavex::MSlider* slider, int32_t most) {
  if (slider == nullptr || most <= 0) return;
  slider->SetMaxProgress(most);
  slider->SetScale(most + 1);
}

void Enable(Tavex::MControl* control, bool enabled) {
  if (control != nullptr) control->SetEnabled(enabled ? 1 : 0);
}

}  // namespace

LightingController::LightingController(PageHost& host)
    : host_(host), music_(host.Services().Commands()) {
  host_.RegisterTask(kTaskSendLighting, [this] { SendLightMode(); });
  host_.RegisterTask(kTaskSendCustomLight, [this] { UploadCustomSlot(); });
}

LightingController::~LightingController() { music_.StopCapture(); }

bool LightingController::FindControls() {
  if (found_) return true;
  Tavex::MDialog& w = host_.Window();
  c_.modes = Find<Tavex::DListBox>(w, ids::kLightList);
  c_.view = Find<KeyboardCtrl>(w, ids::kLightKeyboard);
  c_.brightnessLabel = w.GetControl(ids::kBrightnessLabel);
  c_.brightness = Find<Tavex::MSlider>(w, ids::kBrightnessSlider);
  c_.speedLabel = w.GetControl(ids::kSpeedLabel);
  c_.speed = Find<Tavex::MSlider>(w, ids::kSpeedSlider);
  c_.slots = Find<Tavex::MComboBox>(w, ids::kColourSlot);
  c_.edit = Find<Tavex::MButton>(w, ids::kLightApply);
  for (std::size_t i = 0; i < std::size(kMusicIds); ++i) c_.musicControls[i] = w.GetControl(kMusicIds[i]);
  // Without the page (a build without it) the controller stays out of the way.
  if (c_.modes == nullptr || c_.view == nullptr) return false;
  found_ = true;
  c_.view->SetPreviewColor(kPreviewColour);
  music_.Attach(c_.view, Find<Tavex::MComboBox>(w, ids::kMusicChoice),
                Find<Tavex::MSlider>(w, ids::kGainSlider),
                Find<Tavex::MComboBox>(w, ids::kMusicInterval));
  HideModeControls();  // until a keyboard fills the page
  music_.StartCapture();
  return true;
}

// ---- routes --------------------------------------------------------------------------------

bool LightingController::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  if (!FindControls()) return false;
  switch (id) {
    case ids::kLightList:
      if (code == Notify::Click) SelectLightMode(static_cast<int>(wParam));
      return true;
    case ids::kBrightnessSlider:
      if (code == Notify::Click) SetBrightness();
      return true;
    case ids::kSpeedSlider:
      if (code == Notify::Click) SetSpeed();
      return true;
    case ids::kColourSlot:
      if (code == Notify::Click) SelectCustomSlot();
      return true;
    case ids::kLightApply:
      if (code == Notify::Click) ToggleCustomEdit();
      return true;
    case ids::kLightKeyboard:
      if (code == Notify::Click && lighting::IsCustom(options_.load()))
        CustomKeyClicked(static_cast<uint32_t>(lParam));
      return true;
    default:
      return music_.OnMessage(id, code);
  }
}

bool LightingController::OnWindowMessage(UINT msg, WPARAM, LPARAM) {
  if (msg != kMsgFirstCustomSlot) return false;
  SelectFirstCustomSlot();
  return true;
}

void LightingController::ReloadForKeyboard(const CurrentKeyboard& keyboard) {
  if (!found_) return;
  // The device switch opens the store for the type; the page must not depend on the order.
  ProfileStore& store = host_.Services().Store();
  if (!store.IsOpen()) store.OpenForDevice(GetDataFolder(), kStoreTypeName);
  music_.SetDeviceIndex(keyboard.deviceIndex);
  BuildLightingPage(keyboard);
  SendLightMode();
}

void LightingController::OnPageChanged(int left, int shown) {
  if (!FindControls()) return;
  if (left == ids::kItemLighting && shown != ids::kItemLighting) EndCustomEdit();
  pageShown_.store(shown == ids::kItemLighting);
  UpdateMusicShown();
}

void LightingController::OnTextsChanged() {
  if (!found_) return;
  if (c_.edit != nullptr)
    c_.edit->SetTitle(GetLangText(editing_.load() ? kDoneText : kEditText).c_str());
  const std::vector<LightRecord> rows =
      lighting::ListedModes(host_.Services().Store(), kProfile, host_.Keyboard().type);
  for (const LightRecord& row : rows) {
    const int at = c_.modes->FindItemData(row.mode);
    if (at >= 0)
      c_.modes->ModifyItemString(at, ModeName(row).c_str());
  }
}

void LightingController::OnShutdown() {
  // The keyboard must not stay in its editing state when the program ends.
  EndCustomEdit();
  music_.StopCapture();
}

// ---- modes ---------------------------------------------------------------------------------

void LightingController::BuildLightingPage(const CurrentKeyboard& keyboard) {
  ProfileStore& store = host_.Services().Store();
  lighting::EnsureDefaultRows(store, kProfile, keyboard.layout);
  c_.modes->DeleteAllItems();
  for (const LightRecord& row : lighting::ListedModes(store, kProfile, keyboard.type))
    c_.modes->AddString(ModeName(row).c_str(), row.mode, 0);
  SetMaximum(c_.brightness, keyboard.layout.Light().brightnessMax);
  SetMaximum(c_.speed, keyboard.layout.Light().speedMax);
  if (c_.slots != nullptr) c_.slots->SetCurSel(0);
  slot_.store(0);
  if (editing_.load()) SetEditing(false);  // a new keyboard starts outside any editing period
  mode_.store(store.GetActiveLightMode(kProfile));
  c_.modes->SetCurData(mode_.load());
  ShowLightMode();
}

void LightingController::HideModeControls() {
  Show(c_.brightnessLabel, false);
  Show(c_.speedLabel, false);
  Show(c_.brightness, false);
  Show(c_.speed, false);
  Show(c_.slots, false);
  Show(c_.edit, false);
  for (Tavex::MControl* m : c_.musicControls) Show(m, false);
}

bool LightingController::CurrentRow(LightRecord& row) const {
  return host_.Services().Store().GetLightSetting(kProfile, mode_.load(), row);
}

void LightingController::ShowLightMode() {
  LightRecord row;
  if (!CurrentRow(row)) {
    // Nothing to show: no controls of a mode, no preview, no stream.
    options_.store(0);
    HideModeControls();
    c_.view->SetLightModeData(nullptr, 0);
    UpdateMusicShown();
    return;
  }
  const int32_t options = row.config_func;
  options_.store(options);
  host_.Services().Store().SetActiveLightMode(kProfile, row.mode);
  c_.view->SetKeyboardCtrlMode(KeyboardCtrl::kModePreview);

  const bool hasBrightness = (options & lighting::kHasBrightness) != 0;
  Show(c_.brightnessLabel, hasBrightness);
  Show(c_.brightness, hasBrightness);
  if (c_.brightness != nullptr) c_.brightness->SetProgress(hasBrightness ? row.brightness : 0);

  const bool hasSpeed = (options & lighting::kHasSpeed) != 0;
  Show(c_.speedLabel, hasSpeed);
  Show(c_.speed, hasSpeed);
  if (c_.speed != nullptr) c_.speed->SetProgress(hasSpeed ? row.speed : 0);
  if (hasSpeed) c_.view->SetLightSpeed(row.speed);

  if (lighting::IsCustom(options)) {
    ShowCustomSlot();
  } else {
    Show(c_.slots, false);
    Show(c_.edit, false);
    Enable(c_.view, true);
  }
  const bool music = lighting::IsMusic(options);
  if (music) c_.view->SetKeyboardCtrlMode(KeyboardCtrl::kModeMusic);
  for (Tavex::MControl* m : c_.musicControls) Show(m, music);
  if (lighting::HasPreview(options))
    ShowPreviewFrames(row.mode);
  else if (!lighting::IsCustom(options))
    c_.view->SetLightModeData(nullptr, 0);
  UpdateMusicShown();
}

void LightingController::SelectLightMode(int row) {
  if (row < 0 || row >= c_.modes->GetItemCount()) return;
  Enable(c_.view, true);
  mode_.store(static_cast<int32_t>(c_.modes->GetItemData(row)));
  ShowLightMode();
  const int32_t options = options_.load();
  if (lighting::IsMusic(options)) {
    music_.ReadControls();
    c_.view->SetKeyboardCtrlMode(KeyboardCtrl::kModeMusic);
    return;  // the level stream replaces the mode command
  }
  LightRecord current;
  if (!CurrentRow(current)) return;  // an unreadable row sends nothing
  if (lighting::IsCustom(options)) {
    c_.view->SetKeyboardCtrlMode(KeyboardCtrl::kModeColours);
    Enable(c_.view, false);
  } else {
    c_.view->SetKeyboardCtrlMode(KeyboardCtrl::kModePreview);
  }
  host_.QueueTask(kTaskSendLighting);
  host_.ShowWaitDialog();
}

void LightingController::SetBrightness() { StoreSlider(true); }

void LightingController::SetSpeed() { StoreSlider(false); }

void LightingController::StoreSlider(bool brightness) {
  LightRecord row;
  if (!CurrentRow(row)) return;
  Tavex::MSlider* slider = brightness ? c_.brightness : c_.speed;
  if (slider == nullptr) return;
  if (brightness) {
    row.brightness = slider->GetProgress();
  } else {
    row.speed = slider->GetProgress();
    c_.view->SetLightSpeed(row.speed);
  }
  host_.Services().Store().UpdateLightSetting(kProfile, row.mode, row);
  // A pending task reads the row when it runs: one transfer carries every move.
  if (host_.PendingTasks() != 0) return;
  host_.QueueTask(kTaskSendLighting);
  host_.ShowWaitDialog();
}

void LightingController::SendLightMode() {
  LightRecord row;
  if (!CurrentRow(row) || lighting::IsMusic(row.config_func)) return;
  const CurrentKeyboard keyboard = host_.Keyboard();
  host_.Services().Commands().SendLightingSetting(keyboard.deviceIndex, keyboard.type, row,
                                                  slot_.load());
}

void LightingController::ShowPreviewFrames(int32_t mode) {
  std::vector<FrameRecord> frames;
  LightFrameStore::Instance().ListFrames(mode, frames);
  const std::vector<unsigned char> bytes = lighting::PreviewBytes(frames);
  c_.view->SetLightModeData(bytes.empty() ? nullptr : bytes.data(), static_cast<int>(bytes.size()));
}

// ---- custom slots --------------------------------------------------------------------------

void LightingController::ShowCustomSlot() {
  c_.view->SetKeyboardCtrlMode(KeyboardCtrl::kModeColours);
  c_.view->SetLightModeData(nullptr, 0);
  Show(c_.edit, true);
  Show(c_.slots, true);
  editing_.store(false);
  if (c_.edit != nullptr) c_.edit->SetTitle(GetLangText(kEditText).c_str());
  Enable(c_.brightness, true);
  Enable(c_.slots, true);
  Enable(c_.view, false);  // keys change only in an editing period
  ShowSlotColours();
}

void LightingController::ShowSlotColours() {
  c_.view->SetLightModeColor(0, 0);
  std::vector<KeyColourRecord> rows;
  host_.Services().Store().ListKeyColours(lighting::SlotId(slot_.load()), rows);
  for (const KeyColourRecord& r : rows)
    c_.view->SetKeyColor(static_cast<DWORD>(r.key_code), static_cast<COLORREF>(r.key_rgb));
}

void LightingController::SetEditing(bool editing) {
  editing_.store(editing);
  if (c_.edit != nullptr) c_.edit->SetTitle(GetLangText(editing ? kDoneText : kEditText).c_str());
  Enable(c_.modes, !editing);
  Enable(c_.brightness, !editing);
  Enable(c_.slots, !editing);
  Enable(c_.view, editing);
}

void LightingController::ToggleCustomEdit() {
  KeyboardCommands& commands = host_.Services().Commands();
  const int32_t slot = slot_.load();
  if (!editing_.load()) {
    host_.Services().Store().DeleteKeyColours(lighting::SlotId(slot));
    c_.view->SetLightModeColor(0, 0);
    SetEditing(true);
    commands.SendCustomLightBegin(DeviceIndex(), slot);
  } else {
    SetEditing(false);
    commands.SendCustomLightEnd(DeviceIndex(), slot);
  }
}

void LightingController::CustomKeyClicked(uint32_t keyCode) {
  std::vector<std::pair<int32_t, int32_t>> keys;
  COLORREF clicked = 0;
  for (const Tavex::KEY_INFO* key : c_.view->GetKeyItems()) {
    keys.emplace_back(static_cast<int32_t>(key->keyValue), static_cast<int32_t>(key->colour));
    if (key->keyValue == keyCode) clicked = key->colour;
  }
  const int32_t slot = slot_.load();
  // One transaction: the slot is never left half written.
  host_.Services().Store().ReplaceKeyColours(lighting::SlotId(slot),
                                             lighting::SlotRows(kProfile, slot, keys));
  if (keyCode != 0)
    host_.Services().Commands().SendCustomLightKey(DeviceIndex(), static_cast<int32_t>(keyCode),
                                                   clicked != 0);
}

void LightingController::SelectCustomSlot() {
  const CurrentKeyboard keyboard = host_.Keyboard();
  if (keyboard.LightingOnly() || c_.slots == nullptr) return;
  LightRecord row;
  if (!CurrentRow(row)) return;
  const int selected = c_.slots->GetCurSel();
  if (selected < 0 || selected >= lighting::kSlotCount) return;
  slot_.store(selected);
  host_.Services().Commands().SendLightingSetting(keyboard.deviceIndex, keyboard.type, row,
                                                  selected);
  ShowSlotColours();
}

void LightingController::SelectFirstCustomSlot() {
  if (!FindControls() || c_.slots == nullptr) return;
  EndCustomEdit();
  c_.slots->SetCurSel(0);
  const bool changed = slot_.exchange(0) != 0;
  // Outside a custom mode the keyboard ignores the slot: only the choice is kept.
  if (changed && lighting::IsCustom(options_.load())) SelectCustomSlot();
}

void LightingController::EndCustomEdit() {
  if (!editing_.load()) return;
  SetEditing(false);
  host_.Services().Commands().SendCustomLightEnd(DeviceIndex(), slot_.load());
}

void LightingController::UploadCustomSlot() {
  constexpr int32_t kSlot = 0;
  KeyboardCommands& commands = host_.Services().Commands();
  const int index = host_.Keyboard().deviceIndex;
  std::vector<KeyColourRecord> rows;
  host_.Services().Store().ListKeyColours(lighting::SlotId(kSlot), rows);
  commands.SendCustomLightBegin(index, kSlot);
  for (const KeyColourRecord& r : rows) commands.SendCustomLightKey(index, r.key_code, r.key_rgb > 0);
  commands.SendCustomLightEnd(index, kSlot);
}

// ---- music ---------------------------------------------------------------------------------

void LightingController::UpdateMusicShown() {
  music_.SetShown(pageShown_.load() && lighting::IsMusic(options_.load()));
}

int LightingController::DeviceIndex() const { return host_.Keyboard().deviceIndex; }
