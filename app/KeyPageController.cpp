#include "app/KeyPageController.h"

#include <vector>

#include "app/CursorMenu.h"
#include "app/CustomKeyDlg.h"
#include "app/PageHost.h"
#include "app/ProgramServices.h"
#include "app/TaskCodes.h"
#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "features/AssignmentKinds.h"
#include "features/HostFunctions.h"
#include "platform/ShellOpen.h"
#include "tavex/Codes.h"
#include "tavex/KeyFuncControl.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MDialog.h"

namespace Notify = Tavex::Notify;

namespace {

constexpr int32_t kLayer = 0;  // only layer 0 is used
constexpr int kStyleOneButton = 0;
constexpr int kDialogConfirmed = 1;

constexpr int kTextFixedKey = 365;
constexpr int kCaptionFixedKey = 366;
constexpr int kTextFunctionLimit = 367;
constexpr int kCaptionFunctionLimit = 368;
constexpr int kTextMacroLimit = 363;
constexpr int kCaptionMacroLimit = 364;
constexpr int kTextMenuReset = 201;
constexpr int kTextMenuMacro = 206;
constexpr int kTextMenuShortcut = 209;

}  // namespace

KeyPageController::KeyPageController(PageHost& host) : host_(host) {
  host_.RegisterTask(kTaskSendKeys, [this] { SendOnWorker(); });
}

Tavex::KeyboardCtrl* KeyPageController::Keyboard() const {
  return dynamic_cast<Tavex::KeyboardCtrl*>(host_.Window().GetControl(ids::kKeyKeyboard));
}

Tavex::KeyFuncControl* KeyPageController::Functions() const {
  return dynamic_cast<Tavex::KeyFuncControl*>(host_.Window().GetControl(ids::kKeyFunctions));
}

void KeyPageController::ClearFunctionMarks() const {
  if (Tavex::KeyFuncControl* functions = Functions()) functions->SetItemCheckByItemData(0, 0, 0);
}

bool KeyPageController::OnMessage(unsigned id, unsigned code, unsigned, long lParam) {
  if (id == ids::kKeyKeyboard && (code == Notify::Click || code == Notify::RightClick)) {
    SelectKey(code == Notify::RightClick, lParam);
    return true;
  }
  if (id == ids::kKeyFunctions && code == Notify::Press) {
    AssignFunction();
    return true;
  }
  return false;
}

bool KeyPageController::OnWindowMessage(UINT msg, WPARAM, LPARAM lParam) {
  if (msg == Tavex::WM_KEYMENU) {
    switch (static_cast<unsigned>(lParam)) {
      case kMenuReset: ResetKey(); break;
      case kMenuDisable: DisableKey(); break;
      case kMenuMacro: AssignMacroOrShortcut(assign::kMacro); break;
      case kMenuShortcut: AssignMacroOrShortcut(assign::kShortcut); break;
      default: break;
    }
    return true;
  }
  if (msg == Tavex::WM_DEVICEEVENT) {
    RunHostFunction(static_cast<int32_t>(lParam));
    return true;
  }
  return false;
}

void KeyPageController::OnShutdown() { paste_.Stop(); }

// ---- choosing and assigning ---------------------------------------------------------------------

void KeyPageController::SelectKey(bool rightButton, long keyValue) {
  ClearFunctionMarks();
  Tavex::KeyboardCtrl* view = Keyboard();
  selectedKey_ = static_cast<int32_t>(keyValue);
  if (keyValue == kFixedKey) {
    if (view != nullptr) view->SetSelectItem(-1);
    host_.ShowMessage(kTextFixedKey, kCaptionFixedKey, kStyleOneButton);
    return;
  }
  if (rightButton && keyValue == 0) return;
  KeyAssignmentRecord current;
  if (host_.Services().Store().GetKeyAssignment(ActiveProfile(), kLayer, selectedKey_, current))
    if (Tavex::KeyFuncControl* functions = Functions())
      functions->SetItemCheckByItemData(current.macro_value, current.macro_value2,
                                        current.macro_value3);
  if (rightButton) ShowKeyMenu();
}

void KeyPageController::ShowKeyMenu() {
  ShowCursorMenu(host_.Window(), Tavex::WM_KEYMENU,
                 {{kTextMenuReset, kMenuReset},
                  {kTextMenuMacro, kMenuMacro},
                  {kTextMenuShortcut, kMenuShortcut}});
}

std::vector<KeyAssignmentRecord> KeyPageController::OtherKeysOfProfile() const {
  std::vector<KeyAssignmentRecord> list;
  host_.Services().Store().ListKeyAssignments(ActiveProfile(), kLayer, list);
  // The selected key's own row is replaced, so it does not count against a limit.
  std::erase_if(list, [&](const KeyAssignmentRecord& r) { return r.key_code == selectedKey_; });
  return list;
}

void KeyPageController::AssignFunction() {
  if (selectedKey_ == kFixedKey) {
    host_.ShowMessage(kTextFixedKey, kCaptionFixedKey, kStyleOneButton);
    return;
  }
  Tavex::KeyFuncControl* functions = Functions();
  if (functions == nullptr || selectedKey_ == 0) return;
  int first = 0, value = 0, value2 = 0, value3 = 0;
  Tavex::CString label;
  if (!functions->GetCurItemData(first, value, value2, value3, label)) return;
  if (assign::CountFunctionKeys(OtherKeysOfProfile()) >= assign::kFunctionKeyLimit) {
    host_.ShowMessage(kTextFunctionLimit, kCaptionFunctionLimit, kStyleOneButton);
    return;
  }
  KeyAssignmentRecord record;
  record.macro_type = assign::FunctionKind(value);
  record.macro_value = value;
  record.macro_value2 = value2;
  record.macro_value3 = value3;
  record.macro_desc = label;
  StoreAssignment(record);
}

void KeyPageController::ResetKey() {
  if (selectedKey_ == 0 || selectedKey_ == kFixedKey) return;
  StoreAssignment(KeyAssignmentRecord{});
}

void KeyPageController::DisableKey() {
  if (selectedKey_ == 0 || selectedKey_ == kFixedKey) return;
  KeyAssignmentRecord record;
  record.macro_type = assign::kDisabled;
  record.macro_value = 1;
  record.macro_desc = GetLangText(assign::kTextDisabled);
  StoreAssignment(record);
}

void KeyPageController::AssignMacroOrShortcut(int32_t presetKind) {
  if (selectedKey_ == 0 || selectedKey_ == kFixedKey) return;
  if (assign::CountMacroAndShortcutKeys(OtherKeysOfProfile()) >= assign::kMacroShortcutLimit) {
    host_.ShowMessage(kTextMacroLimit, kCaptionMacroLimit, kStyleOneButton);
    return;
  }
  CustomKeyDlg dialog(host_.Services().Store(), presetKind);
  if (dialog.Run(host_.Window()) != kDialogConfirmed) return;
  const KeyAssignmentRecord record = dialog.Record();
  StoreAssignment(record);
}

void KeyPageController::StoreAssignment(KeyAssignmentRecord record) {
  record.profile = ActiveProfile();
  record.fn_layer = kLayer;
  record.key_code = selectedKey_;
  const int32_t stored = host_.Services().Store().SaveKeyAssignment(record);
  Tavex::KeyboardCtrl* view = Keyboard();
  if (stored == 0) {
    if (view != nullptr) {
      view->SetKeyCheck(static_cast<DWORD>(record.key_code), 0);
      view->SetTipKey(static_cast<DWORD>(record.key_code), "", "");
      view->SetSelectItem(-1);
      view->UpdateControl();
    }
    ClearFunctionMarks();
  } else {
    if (view != nullptr) {
      MarkKey(*view, record);
      view->UpdateControl();
    }
    if (record.macro_type == assign::kKeyOrFunction || record.macro_type == assign::kHighFunction)
      if (Tavex::KeyFuncControl* functions = Functions())
        functions->SetItemCheckByItemData(record.macro_value, record.macro_value2,
                                          record.macro_value3);
  }
  SendAssignments();
}

void KeyPageController::MarkKey(Tavex::KeyboardCtrl& view,
                                const KeyAssignmentRecord& record) const {
  const auto key = static_cast<DWORD>(record.key_code);
  view.SetKeyCheck(key, 1);
  const int title = assign::TipTitleText(record.macro_type);
  if (title == 0) return;
  const std::string body = record.macro_type == assign::kDisabled ? "" : record.macro_desc;
  view.SetTipKey(key, GetLangText(title).c_str(), body.c_str());
}

void KeyPageController::ShowAssignments(int32_t profile) {
  ClearFunctionMarks();
  Tavex::KeyboardCtrl* view = Keyboard();
  if (view == nullptr) return;
  view->EnableKBTips(true);
  view->ResetAllItemCheck();
  view->ResetTipKey();
  std::vector<KeyAssignmentRecord> list;
  host_.Services().Store().ListKeyAssignments(profile, kLayer, list);
  for (const KeyAssignmentRecord& record : list) MarkKey(*view, record);
  view->UpdateControl();
}

void KeyPageController::SendAssignments() {
  host_.QueueTask(kTaskSendKeys);
  host_.ShowWaitDialog();
}

void KeyPageController::SendOnWorker() {
  const CurrentKeyboard keyboard = host_.Keyboard();
  if (keyboard.deviceIndex < 0 || keyboard.LightingOnly()) return;
  host_.Services().Commands().SendKeyAssignments(keyboard.deviceIndex, ActiveProfile());
}

// ---- host-side functions ------------------------------------------------------------------------

void KeyPageController::RunHostFunction(int32_t rowId) {
  HostActions actions;
  actions.open = [](const std::string& target) { return platform::ShellOpen(target); };
  actions.paste = [this](const std::string& text) { return paste_.Paste(text); };
  // The keyboard switched by itself: only what is shown follows, nothing is sent.
  actions.showProfile = [this](int32_t profile) {
    SetActiveProfile(profile);
    ShowAssignments(profile);
  };
  ::RunHostFunction(host_.Services().Store(), rowId, actions);
}
