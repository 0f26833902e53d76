// The macro page's events entered by hand, and the import and export of macros and profiles.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/CUIMessageBox.h"
#include "app/FileDialogs.h"
#include "app/MacroPageController.h"
#include "app/MacroPageTexts.h"
#include "app/PageHost.h"
#include "app/ProgramServices.h"
#include "app/TaskCodes.h"
#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "features/MacroXml.h"
#include "macro/MacroBlock.h"
#include "tavex/CRecordList.h"
#include "tavex/CheckButtons.h"
#include "tavex/DListBox.h"
#include "tavex/Edits.h"
#include "tavex/MComboBox.h"
#include "tavex/MDialog.h"

namespace {

namespace text = macro_text;

// What the file chooser asks for: the filter's label and the chooser's title (a text number).
struct FileRequest {
  bool save = false;
  const char* filter = "";
  int title = 0;
};
constexpr FileRequest kSaveProfile{true, "Profile (*.xml)", text::kExportProfile};
constexpr FileRequest kOpenProfile{false, "Custom Key (*.xml)", text::kImport};
constexpr FileRequest kSaveMacro{true, "Macro (*.xml)", text::kExportMacro};
constexpr FileRequest kOpenMacro{false, "Macros (*.xml)", text::kImportMacro};
constexpr const char* kXmlPattern = "*.xml";
constexpr const char* kXmlExtension = ".xml";

// Mouse buttons of the choice field 93, in its order (texts 307-309), as virtual-key codes.
constexpr uint32_t kMouseChoiceCodes[] = {0x01, 0x02, 0x04};
constexpr const char* kMouseChoiceNames[] = {"mouse_left", "mouse_right", "mouse_middle"};
constexpr int kHandDelayMs = 10;  // the shortest pause the keyboard makes

// The desktop's file chooser over the main window; the chosen path, nothing when cancelled.
std::optional<std::string> ChooseFile(Tavex::MDialog& owner, const FileRequest& request,
                                      const std::string& suggestedName = "") {
  const std::vector<platform::FileFilter> filters{{request.filter, {kXmlPattern}}};
  const std::string title = GetLangText(request.title);
  const platform::FileChooserResult result =
      request.save ? ChooseFileToSave(owner, title, suggestedName + kXmlExtension, filters)
                   : ChooseFileToOpen(owner, title, filters);
  if (result.choice != platform::FileChoice::Chosen || result.path.empty()) return std::nullopt;
  return result.path;
}

}  // namespace

// ---- events by hand ------------------------------------------------------------------------

void MacroPageController::OnEventChoice() {
  const auto checked = [this](unsigned id) {
    auto* radio = Find<Tavex::CRadioButton>(id);
    return radio != nullptr && radio->GetCheck() != 0;
  };
  const bool mouse = checked(ids::kEventMouse);
  const bool delay = checked(ids::kEventDelay);
  if (auto* key = Find<Tavex::MEdit>(ids::kKeyField)) key->SetVisible(!mouse && !delay ? 1 : 0);
  if (auto* field = Find<Tavex::MComboBox>(ids::kMouseField)) field->SetVisible(mouse ? 1 : 0);
  if (auto* field = Find<Tavex::MEdit>(ids::kDelayField)) field->SetVisible(delay ? 1 : 0);
}

// Inserts the chosen key or mouse button, pressed and released, after the selected record (at
// the end without a selection); with the delay choice, sets the selected record's delay.
void MacroPageController::InsertEvent() {
  auto* records = Find<Tavex::CRecordList>(ids::kRecordList);
  if (records == nullptr || SelectedMacro() <= 0) return;
  auto* delayChoice = Find<Tavex::CRadioButton>(ids::kEventDelay);
  if (delayChoice != nullptr && delayChoice->GetCheck() != 0) {
    SetSelectedDelay();
    return;
  }
  std::string name;
  uint32_t code = 0;
  auto* mouseChoice = Find<Tavex::CRadioButton>(ids::kEventMouse);
  if (mouseChoice != nullptr && mouseChoice->GetCheck() != 0) {
    auto* field = Find<Tavex::MComboBox>(ids::kMouseField);
    const int index = field != nullptr ? field->GetCurSel() : -1;
    if (index < 0 || index >= static_cast<int>(std::size(kMouseChoiceCodes))) return;
    name = kMouseChoiceNames[index];
    code = kMouseChoiceCodes[index];
  } else {
    auto* field = Find<Tavex::MEdit>(ids::kKeyField);
    if (field == nullptr || capturedCode_ == 0) return;
    name = field->GetTitle();
    code = capturedCode_;
  }
  if (records->GetItemCount() + 2 > kMacroMaxEvents) {
    host_.ShowMessage(text::kFull, text::kRecordingCaption, CUIMessageBox::kStyleOneButton);
    return;
  }
  // The control appends only: rebuild the rows with the pair in place.
  struct Row {
    std::string text;
    int kind, value, delay;
  };
  std::vector<Row> rows;
  for (const Tavex::RecordItem* item : records->GetRecordItems())
    rows.push_back({item->text, item->kind, item->value, item->delay});
  const int at = records->GetCurSel() < 0 ? static_cast<int>(rows.size()) : records->GetCurSel() + 1;
  const Row press{name, kMacroEventPress, static_cast<int>(code), kHandDelayMs};
  const Row release{name, kMacroEventRelease, static_cast<int>(code), kHandDelayMs};
  rows.insert(rows.begin() + at, {press, release});
  records->DeleteAllItems();
  for (const Row& r : rows) records->AddString(r.text, r.kind, r.value, r.delay);
  records->SetCurSel(at + 1);
  SaveRecords();
}

void MacroPageController::SetSelectedDelay() {
  auto* records = Find<Tavex::CRecordList>(ids::kRecordList);
  auto* field = Find<Tavex::MEdit>(ids::kDelayField);
  if (records == nullptr || field == nullptr || records->GetCurSel() < 0) return;
  const std::string typed = field->GetTitle();
  if (typed.empty()) return;
  const int delay = std::clamp(static_cast<int>(std::strtol(typed.c_str(), nullptr, 10)), 0,
                               kMacroMaxDelayMs);
  std::vector<Tavex::RecordItem*> items = records->GetRecordItems();
  items[static_cast<size_t>(records->GetCurSel())]->delay = delay;
  records->UpdateControl();
  SaveRecords();
}

// ---- import and export ---------------------------------------------------------------------

void MacroPageController::ExportMacro() {
  const int32_t id = SelectedMacro();
  if (id <= 0) {
    host_.ShowMessage(text::kNoMacro, text::kExportMacro, CUIMessageBox::kStyleOneButton);
    return;
  }
  MacroRecord macro;
  Store().GetMacro(id, macro);
  if (const auto path = ChooseFile(host_.Window(), kSaveMacro, macro.name))
    MacroXml(Store()).ExportMacro(id, *path);
}

void MacroPageController::ImportMacro() {
  const auto path = ChooseFile(host_.Window(), kOpenMacro);
  if (!path) return;
  const MacroXml::NewMacro macro = MacroXml(Store()).ImportMacro(*path, GetLangText(text::kMacroWord));
  if (macro.id <= 0) return;
  AddToList(macro.id, macro.name);
  SetEditingEnabled(true);
}

void MacroPageController::ExportProfile() {
  // The profile list's items carry the profile ids and the names the user sees; before that
  // list is filled, the active profile stands for the selection.
  auto* profiles = Find<Tavex::DListBox>(ids::kProfileList);
  const int row = profiles != nullptr ? profiles->GetCurSel() : -1;
  int32_t profile = row >= 0 ? static_cast<int32_t>(profiles->GetItemData(row)) : 0;
  std::string name = row >= 0 ? std::string(profiles->GetItemText(row)) : std::string();
  if (row < 0 && (profiles == nullptr || profiles->GetItemCount() == 0)) {
    profile = Store().GetActiveProfile();
    if (!Store().GetProfileName(profile, name)) profile = 0;
  }
  if (profile <= 0) {
    host_.ShowMessage(text::kNoProfile, text::kExportProfile, CUIMessageBox::kStyleOneButton);
    return;
  }
  if (const auto path = ChooseFile(host_.Window(), kSaveProfile, name))
    MacroXml(Store()).ExportProfile(profile, name, *path);
}

void MacroPageController::ImportProfile() {
  const auto path = ChooseFile(host_.Window(), kOpenProfile);
  if (!path) return;
  const MacroXml::ProfileImport imported =
      MacroXml(Store()).ImportProfile(*path, GetLangText(text::kProfileWord));
  if (imported.profile <= 0) return;
  auto* list = Find<Tavex::DListBox>(ids::kMacroList);
  for (const MacroXml::NewMacro& m : imported.macros) AddToList(m.id, m.name);
  if (list != nullptr && !imported.macros.empty()) {
    list->SetCurSel(list->GetItemCount() - 1);
    ShowMacro(SelectedMacro());
    SetEditingEnabled(true);
  }
  // Task 5 reloads every page's lists (the profile list shows the new, active profile), then
  // task 6 sends its keys.
  host_.QueueTask(kTaskReloadPages);
  host_.QueueTask(kTaskSendKeys);
  if (host_.Keyboard().deviceIndex >= 0) host_.ShowWaitDialog();
}
