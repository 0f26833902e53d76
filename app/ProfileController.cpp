#include "app/ProfileController.h"

#include <vector>

#include "app/CursorMenu.h"
#include "app/KeyPageController.h"
#include "app/LightingController.h"
#include "app/PageHost.h"
#include "app/ProgramServices.h"
#include "app/TaskCodes.h"
#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "features/ProfileNames.h"
#include "platform/Autostart.h"
#include "tavex/CheckButtons.h"
#include "tavex/Codes.h"
#include "tavex/DListBox.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MComboBox.h"
#include "tavex/MDialog.h"

namespace Notify = Tavex::Notify;

namespace {

constexpr int kStyleOneButton = 0;
constexpr int kStyleYesNo = 4;
constexpr int kAnswerYes = 1;

constexpr int kTextProfileWord = 65;
constexpr int kTextTooManyProfiles = 295;
constexpr int kTextDeleteQuestion = 290;
constexpr int kCaptionDelete = 291;
constexpr int kTextBlockedName = 621;
constexpr int kTextEmptyName = 330;
constexpr int kCaptionRename = 33;
constexpr int kTextDeleteMenu = 27;
constexpr int kTextImport = 67;  // the import and export buttons' tooltips
constexpr int kTextExport = 68;
constexpr int kTextResetKeysQuestion = 165;
constexpr int kCaptionResetKeys = 166;
constexpr int kTextFactoryQuestion = 167;
constexpr int kCaptionFactory = 168;

constexpr const char* kExitModeSetting = "exit_mode";
constexpr const char* kProgramFile = "keywright";

}  // namespace

ProfileController::ProfileController(PageHost& host, KeyPageController& keys)
    : host_(host), keys_(keys) {
  host_.RegisterTask(kTaskFactoryReset, [this] { FactoryResetOnWorker(); });
}

Tavex::DListBox* ProfileController::List() const {
  return dynamic_cast<Tavex::DListBox*>(host_.Window().GetControl(ids::kProfileList));
}

std::string ProfileController::ShownName(const std::string& stored) const {
  return profiles::DisplayName(stored, GetCurrentLanguage(), GetLangText(kTextProfileWord));
}

bool ProfileController::OnMessage(unsigned id, unsigned code, unsigned, long lParam) {
  if (id == ids::kProfileList) {
    if (code == Notify::Click)
      SelectProfile();
    else if (code == Notify::EditEnded)
      FinishProfileRename(static_cast<int>(lParam));
    else if (code == Notify::RightClick)
      ShowProfileMenu();
    else
      return false;
    return true;
  }
  if (code != Notify::Click) return false;
  switch (id) {
    case ids::kProfileAdd: CreateProfile(); return true;
    case ids::kProfileDelete: RemoveProfile(); return true;
    case ids::kProfileRename: StartRename(); return true;
    case ids::kProfileReset:
    case ids::kResetProfileButton: ResetProfileKeys(); return true;
    case ids::kFactoryResetButton: RestoreFactorySettings(); return true;
    default: return false;
  }
}

bool ProfileController::OnWindowMessage(UINT msg, WPARAM, LPARAM lParam) {
  if (msg != Tavex::WM_PROFILEMENU) return false;
  if (lParam == kMenuDelete)
    RemoveProfile();
  else if (lParam == kMenuRename)
    StartRename();
  else if (lParam == kMenuImport)
    host_.Window().OnMessage(ids::kProfileImport, Tavex::Notify::Click, 0, 0);
  else if (lParam == kMenuExport)
    host_.Window().OnMessage(ids::kProfileExport, Tavex::Notify::Click, 0, 0);
  return true;
}

// ---- the list -----------------------------------------------------------------------------------

void ProfileController::ReloadForKeyboard(const CurrentKeyboard& keyboard) {
  if (keyboard.LightingOnly()) return;
  ProfileStore& store = host_.Services().Store();
  // The device switch opens the store for the type; a store still closed is opened here.
  if (!store.IsOpen()) {
    CreateFolderPath(GetDataFolder() + "db/");
    store.SetDeviceType(keyboard.type);
    store.OpenForDevice(GetDataFolder(), kStoreTypeName);
  }
  BuildProfileList();
}

void ProfileController::BuildProfileList() {
  Tavex::DListBox* list = List();
  if (list == nullptr) return;
  list->DeleteAllItems();
  ProfileStore& store = host_.Services().Store();
  std::vector<ProfileRecord> profiles;
  store.ListProfilesWithDefaults(GetLangText(kTextProfileWord), profiles);
  for (const ProfileRecord& p : profiles) list->AddString(ShownName(p.name).c_str(), p.profile, 0);
  const int32_t active = store.GetActiveProfile();
  keys_.SetActiveProfile(active);
  list->SetCurData(active);
  keys_.ShowAssignments(active);
}

void ProfileController::OnTextsChanged() {
  Tavex::DListBox* list = List();
  if (list == nullptr) return;
  for (int row = 0; row < list->GetItemCount(); ++row) {
    std::string stored;
    if (host_.Services().Store().GetProfileName(static_cast<int32_t>(list->GetItemData(row)),
                                                stored))
      list->ModifyItemString(row, ShownName(stored).c_str());
  }
}

void ProfileController::Activate(int32_t profile) {
  keys_.SetActiveProfile(profile);
  host_.Services().Store().SetActiveProfile(profile);
  keys_.ShowAssignments(profile);
}

void ProfileController::CreateProfile() {
  Tavex::DListBox* list = List();
  if (list == nullptr || !host_.Keyboard().Chosen()) return;
  if (list->GetItemCount() >= profiles::kMaxProfiles) {
    host_.ShowMessage(kTextTooManyProfiles, kTextProfileWord, kStyleOneButton);
    return;
  }
  std::vector<std::string> taken;
  for (int row = 0; row < list->GetItemCount(); ++row) taken.push_back(list->GetItemText(row));
  ProfileRecord record;
  record.name = profiles::FirstFreeName(GetLangText(kTextProfileWord), taken);
  if (record.name.empty()) return;
  const int32_t id = host_.Services().Store().AddProfile(record);
  if (id <= 0) return;
  list->AddString(record.name.c_str(), id, 0);
  list->SetCurData(id);
  // The new profile is what the keyboard gets, so the store marks it active too: a restart
  // then shows what the keyboard holds.
  Activate(id);
  keys_.SendAssignments();
}

void ProfileController::RemoveProfile() {
  Tavex::DListBox* list = List();
  if (list == nullptr || list->GetItemCount() <= 1) return;
  const int row = list->GetCurSel();
  if (row < 0) return;
  if (host_.ShowMessage(kTextDeleteQuestion, kCaptionDelete, kStyleYesNo) != kAnswerYes) return;
  if (host_.Keyboard().deviceIndex < 0) return;
  if (!host_.Services().Store().DeleteProfile(static_cast<int32_t>(list->GetItemData(row)))) return;
  list->DeleteItem(row);
  // The row before; after the first row, the one that took its place.
  list->SetCurSel(row > 0 ? row - 1 : 0);
  Activate(static_cast<int32_t>(list->GetCurData()));
  keys_.SendAssignments();
}

void ProfileController::StartRename() {
  if (Tavex::DListBox* list = List()) list->ShowEdit();
}

void ProfileController::FinishProfileRename(int row) {
  Tavex::DListBox* list = List();
  if (list == nullptr || row < 0 || row >= list->GetItemCount()) return;
  const auto id = static_cast<int32_t>(list->GetItemData(row));
  const std::string typed = list->GetItemText(row);
  ProfileStore& store = host_.Services().Store();
  std::string stored;
  store.GetProfileName(id, stored);
  const auto restore = [&] { list->ModifyItemString(row, ShownName(stored).c_str()); };
  if (profiles::HasBlockedWord(typed)) {
    host_.ShowMessage(kTextBlockedName, kCaptionRename, kStyleOneButton);
    restore();
  } else if (typed.empty()) {
    host_.ShowMessage(kTextEmptyName, kCaptionRename, kStyleOneButton);
    restore();
  } else if (!store.RenameProfile(id, typed)) {
    restore();
  }
}

void ProfileController::SelectProfile() {
  Tavex::DListBox* list = List();
  if (list == nullptr) return;
  auto* view = dynamic_cast<Tavex::KeyboardCtrl*>(host_.Window().GetControl(ids::kKeyKeyboard));
  if (list->GetCurSel() < 0) {
    if (view != nullptr) view->SetEnabled(0);
    return;
  }
  const auto chosen = static_cast<int32_t>(list->GetCurData());
  // While a transfer waits, a selection changes nothing: the list goes back to the active one.
  if (host_.PendingTasks() != 0) {
    list->SetCurData(keys_.ActiveProfile());
    return;
  }
  if (view != nullptr) view->SetEnabled(1);
  if (chosen == keys_.ActiveProfile()) return;
  Activate(chosen);
  keys_.SendAssignments();
}

void ProfileController::ShowProfileMenu() {
  ShowCursorMenu(host_.Window(), Tavex::WM_PROFILEMENU,
                 {{kTextDeleteMenu, kMenuDelete},
                  {kCaptionRename, kMenuRename},
                  {kTextImport, kMenuImport},
                  {kTextExport, kMenuExport}});
}

// ---- resets -------------------------------------------------------------------------------------

void ProfileController::ResetProfileKeys() {
  if (!host_.Keyboard().Chosen()) return;
  if (host_.ShowMessage(kTextResetKeysQuestion, kCaptionResetKeys, kStyleYesNo) != kAnswerYes)
    return;
  const int32_t profile = keys_.ActiveProfile();
  host_.Services().Store().ClearKeyAssignments(profile);
  host_.Window().PostMessageW(LightingController::kMsgFirstCustomSlot);
  keys_.ShowAssignments(profile);
  keys_.SendAssignments();
}

void ProfileController::RestoreFactorySettings() {
  if (host_.ShowMessage(kTextFactoryQuestion, kCaptionFactory, kStyleYesNo) != kAnswerYes) return;
  WriteSetting(kExitModeSetting, "0");

  const int language = DefaultLanguageFromUi();
  WriteLanguageSetting(language);
  SetCurrentLanguage(language);
  if (auto* list = dynamic_cast<Tavex::MComboBox*>(host_.Window().GetControl(ids::kLanguageList)))
    list->SelectData(language);
  host_.Window().PostMessageW(Tavex::WM_SETTEXTS);

  host_.Window().PostMessageW(LightingController::kMsgFirstCustomSlot);
  platform::SetAutostart(ids::kInstanceName, false, GetProgramFolder() + kProgramFile);
  if (auto* box =
          dynamic_cast<Tavex::CCheckButton*>(host_.Window().GetControl(ids::kAutostartCheck)))
    box->SetCheck(0);

  const CurrentKeyboard keyboard = host_.Keyboard();
  if (!keyboard.Chosen()) return;
  ProfileStore& store = host_.Services().Store();
  store.Close();
  ProfileStore::DeleteDatabaseFile(GetDataFolder(), kStoreTypeName);
  store.SetDeviceType(keyboard.type);
  store.OpenForDevice(GetDataFolder(), kStoreTypeName);
  host_.ReloadDeviceSettings();
  host_.QueueTask(kTaskFactoryReset);
  // The new store has no lighting rows or macros yet: every page is built again from it.
  host_.QueueTask(kTaskReloadPages);
  host_.ShowWaitDialog();
}

void ProfileController::FactoryResetOnWorker() {
  const CurrentKeyboard keyboard = host_.Keyboard();
  if (keyboard.deviceIndex < 0) return;
  host_.Services().Commands().SendFactoryReset(keyboard.deviceIndex, keyboard.type);
  if (!keyboard.LightingOnly()) BuildProfileList();
}

void AddKeyPageControllers(PageHost& host, std::vector<std::unique_ptr<PageController>>& out) {
  auto keys = std::make_unique<KeyPageController>(host);
  auto profiles = std::make_unique<ProfileController>(host, *keys);
  out.push_back(std::move(keys));
  out.push_back(std::move(profiles));
}
