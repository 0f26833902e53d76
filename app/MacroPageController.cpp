#include "app/MacroPageController.h"
#include "app/MacroPageTexts.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/CUIMessageBox.h"
#include "app/PageHost.h"
#include "app/ProgramServices.h"
#include "app/TaskCodes.h"
#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "features/MacroNames.h"
#include "features/ProfileNames.h"
#include "macro/MacroBlock.h"
#include "tavex/Buttons.h"
#include "tavex/CRecordList.h"
#include "tavex/CheckButtons.h"
#include "tavex/Codes.h"
#include "tavex/DListBox.h"
#include "tavex/Edits.h"
#include "tavex/MDialog.h"
#include "tavex/MenuWnd.h"
#include "tavex/Native.h"

using Tavex::Notify::Click;
using Tavex::Notify::EditEnded;

namespace {

namespace text = macro_text;

// Commands of the macro list's context menu.
namespace command {
constexpr int kNew = 600;
constexpr int kDelete = 605;
constexpr int kCopy = 606;
constexpr int kImport = 607;
constexpr int kExport = 608;
constexpr int kRename = 609;
constexpr int kPaste = 610;
}  // namespace command

constexpr const char* kCopySuffix = " -";
constexpr const char* kDefaultFixedDelay = "10";
constexpr int kDefaultFixedDelayMs = 10;
constexpr const char* kDatabaseType = "Tarnwick_V3";

int ParseInt(const std::string& text) { return static_cast<int>(std::strtol(text.c_str(), nullptr, 10)); }

}  // namespace

MacroPageController::MacroPageController(PageHost& host, platform::Clock& clock)
    : host_(host), recorder_(clock) {}

MacroPageController::~MacroPageController() { OnShutdown(); }

Tavex::MControl* MacroPageController::Control(unsigned id) const {
  return host_.Window().GetControl(id);
}

ProfileStore& MacroPageController::Store() const { return host_.Services().Store(); }

int32_t MacroPageController::SelectedMacro() const {
  auto* list = Find<Tavex::DListBox>(ids::kMacroList);
  if (list == nullptr || list->GetCurSel() < 0) return 0;
  return static_cast<int32_t>(list->GetItemData(list->GetCurSel()));
}

// ---- routes --------------------------------------------------------------------------------

bool MacroPageController::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  (void)wParam;
  if (recorder_.Recording()) {
    // Only the stop button acts while recording; the rest of the page is disabled.
    if (id == ids::kRecordStop && code == Click) StopRecording();
    return id >= ids::kMacroListPanel && id <= ids::kRecordSave;
  }
  switch (id) {
    case ids::kMacroList:
      if (code == Tavex::Notify::Press) ShowMacro(SelectedMacro());
      if (code == Tavex::Notify::RightClick) ShowContextMenu();
      if (code == EditEnded) FinishRename(static_cast<int>(lParam));
      return true;
    case ids::kPlayCount:
      if (code == EditEnded) SavePlaySettings();
      return true;
    case ids::kRecordList:
      if (code == EditEnded) SaveRecords();
      return true;
    case ids::kKeyField:
      if (code == Tavex::Notify::EditStarted) StartKeyCapture();
      if (code == EditEnded) StopKeyCapture();
      return true;
    default:
      break;
  }
  if (code != Click) return false;
  switch (id) {
    case ids::kMacroNew: NewMacro(); return true;
    case ids::kMacroDelete: DeleteMacro(); return true;
    case ids::kMacroCopy: CopyMacro(); return true;
    case ids::kMacroImport: ImportMacro(); return true;
    case ids::kMacroExport: ExportMacro(); return true;
    case ids::kMacroRename:
      if (auto* list = Find<Tavex::DListBox>(ids::kMacroList)) list->ShowEdit();
      return true;
    case ids::kDelayRecorded:
    case ids::kDelayNone:
    case ids::kDelayFixed: OnDelayModeClicked(); return true;
    case ids::kRecordStart: StartRecording(); return true;
    case ids::kRecordUp: MoveRecord(-1); return true;
    case ids::kRecordDown: MoveRecord(1); return true;
    case ids::kRecordDelete: DeleteRecord(); return true;
    case ids::kRecordSave: SaveRecords(); return true;
    case ids::kEventKey:
    case ids::kEventMouse:
    case ids::kEventDelay: OnEventChoice(); return true;
    case ids::kInsertEventButton: InsertEvent(); return true;
    case ids::kInsertDelayButton: SetSelectedDelay(); return true;
    case ids::kProfileExport: ExportProfile(); return true;
    case ids::kProfileImport: ImportProfile(); return true;
    default: return false;
  }
}

bool MacroPageController::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kMsgLoadMacros:
      if (!recorder_.Recording()) LoadMacroList();
      return true;
    case Tavex::WM_MACROMENU:
      OnMenuCommand(static_cast<int>(lParam));
      return true;
    case Tavex::WM_KEYHOOK:
      OnKeyHook(wParam, static_cast<uint32_t>(lParam));
      return true;
    case kMsgRawInput:
      OnRawInput(wParam, static_cast<uint32_t>(lParam));
      return true;
    default:
      return false;
  }
}

void MacroPageController::ReloadForKeyboard(const CurrentKeyboard& keyboard) {
  if (keyboard.LightingOnly()) return;
  // Device detection opens the store for the keyboard's type; a store left closed is opened
  // here, so the list never shows an empty page over an existing database.
  ProfileStore& store = Store();
  if (!store.IsOpen()) store.OpenForDevice(GetDataFolder(), kDatabaseType);
  host_.Window().PostMessageW(kMsgLoadMacros);
}

void MacroPageController::OnTextsChanged() {
  // Display names depend on the language.
  if (!recorder_.Recording() && Find<Tavex::DListBox>(ids::kMacroList) != nullptr) {
    const int32_t selected = SelectedMacro();
    auto* list = Find<Tavex::DListBox>(ids::kMacroList);
    std::vector<MacroRecord> macros;
    Store().ListMacros(macros);
    for (const MacroRecord& m : macros) {
      const int row = list->FindItemData(m.macro_id);
      if (row >= 0)
        list->ModifyItemString(row, macro_names::DisplayName(m.name, GetCurrentLanguage(),
                                                             GetLangText(text::kMacroWord))
                                        .c_str());
    }
    if (selected > 0) list->SetCurData(selected);
  }
}

void MacroPageController::OnShutdown() {
  grab_.Stop();
  capture_.Stop();
}

// ---- the list ------------------------------------------------------------------------------

void MacroPageController::LoadMacroList() {
  auto* list = Find<Tavex::DListBox>(ids::kMacroList);
  auto* records = Find<Tavex::CRecordList>(ids::kRecordList);
  if (list == nullptr || records == nullptr) return;
  list->DeleteAllItems();
  records->DeleteAllItems();
  SetEditingEnabled(false);
  std::vector<MacroRecord> macros;
  Store().ListMacros(macros);
  for (const MacroRecord& m : macros) AddToList(m.macro_id, m.name);
  if (macros.empty()) return;
  list->SetCurSel(0);
  SetEditingEnabled(true);
  ShowMacro(macros.front().macro_id);
}

void MacroPageController::AddToList(int32_t id, const std::string& name) {
  if (auto* list = Find<Tavex::DListBox>(ids::kMacroList))
    list->AddString(macro_names::DisplayName(name, GetCurrentLanguage(),
                                             GetLangText(text::kMacroWord))
                        .c_str(),
                    id, 0);
}

void MacroPageController::EnableControls(std::span<const unsigned> ids, bool enabled) {
  for (const unsigned id : ids)
    if (Tavex::MControl* control = Control(id)) control->SetEnabled(enabled ? 1 : 0);
}

void MacroPageController::SetEditingEnabled(bool enabled) {
  EnableControls(kEditingControls, enabled);
  // The fixed delay field follows its radio.
  auto* fixed = Find<Tavex::CRadioButton>(ids::kDelayFixed);
  if (auto* field = Find<Tavex::MEdit>(ids::kFixedDelay))
    field->SetEnabled(enabled && fixed != nullptr && fixed->GetCheck() != 0 ? 1 : 0);
}

void MacroPageController::ShowMacro(int32_t id) {
  auto* records = Find<Tavex::CRecordList>(ids::kRecordList);
  if (records == nullptr) return;
  if (auto* key = Find<Tavex::CRadioButton>(ids::kEventKey)) key->SetCheck(1);
  OnEventChoice();
  if (auto* field = Find<Tavex::MEdit>(ids::kKeyField)) field->SetTitle("");
  capturedCode_ = 0;
  records->DeleteAllItems();
  MacroRecord macro;
  if (id <= 0 || !Store().GetMacro(id, macro)) return;
  if (auto* count = Find<Tavex::MEdit>(ids::kPlayCount))
    count->SetTitle(std::to_string(macro.play_times).c_str());
  const unsigned radio = macro.delay_type == MacroRecorder::NoDelay  ? ids::kDelayNone
                         : macro.delay_type == MacroRecorder::Fixed ? ids::kDelayFixed
                                                                     : ids::kDelayRecorded;
  if (auto* r = Find<Tavex::CRadioButton>(radio)) r->SetCheck(1);
  if (auto* fixed = Find<Tavex::MEdit>(ids::kFixedDelay)) {
    const bool isFixed = radio == ids::kDelayFixed;
    fixed->SetTitle(isFixed ? std::to_string(macro.delay_time).c_str() : kDefaultFixedDelay);
    fixed->SetEnabled(isFixed ? 1 : 0);
  }
  std::vector<MacroEventRecord> events;
  Store().ListMacroEvents(id, events);
  for (const MacroEventRecord& e : events) records->AddString(e.desc, e.type, e.value, e.delay_time);
}

std::string MacroPageController::UniqueName(const std::string& base) const {
  std::vector<std::string> taken;
  if (auto* list = Find<Tavex::DListBox>(ids::kMacroList))
    for (int i = 0; i < list->GetItemCount(); ++i) taken.push_back(list->GetItemText(i));
  return macro_names::UniqueName(base, taken);
}

void MacroPageController::NewMacro() {
  auto* list = Find<Tavex::DListBox>(ids::kMacroList);
  if (list == nullptr) return;
  const std::string name = UniqueName(GetLangText(text::kMacroWord));
  const int32_t id = Store().AddMacro(name);
  if (id <= 0) return;
  AddToList(id, name);
  list->SetCurSel(list->GetItemCount() - 1);
  ShowMacro(id);
  SetEditingEnabled(true);
}

void MacroPageController::DeleteMacro() {
  auto* list = Find<Tavex::DListBox>(ids::kMacroList);
  const int32_t id = SelectedMacro();
  if (list == nullptr || id <= 0 || !Store().DeleteMacro(id)) return;
  const int row = list->GetCurSel();
  list->DeleteItem(row);
  if (auto* records = Find<Tavex::CRecordList>(ids::kRecordList)) records->DeleteAllItems();
  if (list->GetItemCount() == 0) {
    SetEditingEnabled(false);
  } else {
    list->SetCurSel(std::max(0, row - 1));
    ShowMacro(SelectedMacro());
  }
  // Keys that played the macro lost their assignment: the keyboard gets the table again.
  host_.QueueTask(kTaskSendKeys);
  if (host_.Keyboard().deviceIndex >= 0) host_.ShowWaitDialog();
}

void MacroPageController::CopyMacro() {
  const int32_t id = SelectedMacro();
  if (id <= 0) return;
  pasteSource_ = id;
  PasteMacro();
}

void MacroPageController::PasteMacro() {
  MacroRecord source;
  if (pasteSource_ <= 0 || !Store().GetMacro(pasteSource_, source)) return;
  MacroRecord copy = source;
  copy.name = UniqueName(source.name + kCopySuffix);
  const int32_t id = Store().AddMacroFull(copy);
  if (id <= 0) return;
  std::vector<MacroEventRecord> events;
  Store().ListMacroEvents(source.macro_id, events);
  for (MacroEventRecord& e : events) e.macro_id = id;
  Store().AddMacroEvents(events);
  AddToList(id, copy.name);
}

void MacroPageController::FinishRename(int row) {
  auto* list = Find<Tavex::DListBox>(ids::kMacroList);
  if (list == nullptr || row < 0 || row >= list->GetItemCount()) return;
  const int32_t id = static_cast<int32_t>(list->GetItemData(row));
  MacroRecord stored;
  if (id <= 0 || !Store().GetMacro(id, stored)) return;
  const std::string name = list->GetItemText(row);
  // Macros take the profiles' name check: no empty name, no blocked word.
  const bool blocked = profiles::HasBlockedWord(name);
  if (!name.empty() && !blocked && Store().RenameMacro(id, name)) return;
  list->ModifyItemString(row, macro_names::DisplayName(stored.name, GetCurrentLanguage(),
                                                       GetLangText(text::kMacroWord))
                                  .c_str());
  if (name.empty())
    host_.ShowMessage(text::kEmptyName, text::kRename, CUIMessageBox::kStyleOneButton);
  else if (blocked)
    host_.ShowMessage(text::kBlockedName, text::kRename, CUIMessageBox::kStyleOneButton);
}

// ---- play settings -------------------------------------------------------------------------

int MacroPageController::DelayMode() const {
  const auto checked = [this](unsigned id) {
    auto* radio = Find<Tavex::CRadioButton>(id);
    return radio != nullptr && radio->GetCheck() != 0;
  };
  if (checked(ids::kDelayNone)) return MacroRecorder::NoDelay;
  if (checked(ids::kDelayFixed)) return MacroRecorder::Fixed;
  return MacroRecorder::Recorded;
}

int MacroPageController::FixedDelay() const {
  auto* field = Find<Tavex::MEdit>(ids::kFixedDelay);
  if (DelayMode() != MacroRecorder::Fixed || field == nullptr) return kDefaultFixedDelayMs;
  return std::clamp(ParseInt(field->GetTitle()), 0, kMacroMaxDelayMs);
}

void MacroPageController::SavePlaySettings() {
  auto* count = Find<Tavex::MEdit>(ids::kPlayCount);
  MacroRecord macro;
  if (count == nullptr || !Store().GetMacro(SelectedMacro(), macro)) return;
  const int typed = ParseInt(count->GetTitle());
  macro.play_times = std::clamp(typed, 1, kMacroMaxPlayTimes);
  if (macro.play_times != typed || count->GetTitle().empty())
    count->SetTitle(std::to_string(macro.play_times).c_str());
  macro.delay_type = DelayMode();
  macro.delay_time = FixedDelay();
  Store().UpdateMacroPlayback(macro);
}

void MacroPageController::OnDelayModeClicked() {
  if (auto* field = Find<Tavex::MEdit>(ids::kFixedDelay))
    field->SetEnabled(DelayMode() == MacroRecorder::Fixed ? 1 : 0);
}

// ---- records -------------------------------------------------------------------------------

void MacroPageController::SaveRecords() {
  auto* records = Find<Tavex::CRecordList>(ids::kRecordList);
  const int32_t id = SelectedMacro();
  if (records == nullptr || id <= 0) return;
  std::vector<MacroEventRecord> events;
  for (const Tavex::RecordItem* item : records->GetRecordItems()) {
    MacroEventRecord e;
    e.macro_id = id;
    e.type = item->kind;
    e.record_index = static_cast<int32_t>(events.size());
    e.desc = item->text;
    e.value = item->value;
    e.delay_time = item->delay;
    events.push_back(std::move(e));
  }
  Store().ReplaceMacroEvents(id, events);
}

void MacroPageController::MoveRecord(int by) {
  auto* records = Find<Tavex::CRecordList>(ids::kRecordList);
  if (records == nullptr) return;
  const int row = records->GetCurSel();
  const int other = row + by;
  if (row < 0 || other < 0 || other >= records->GetItemCount()) return;
  records->SwapItem(row, other);
  records->SetCurSel(other);
  records->UpdateControl();
  SaveRecords();
}

void MacroPageController::DeleteRecord() {
  auto* records = Find<Tavex::CRecordList>(ids::kRecordList);
  if (records == nullptr) return;
  const int row = records->GetCurSel();
  if (row < 0) return;
  records->DeleteItem(row);
  records->SetCurSel(std::min(row, records->GetItemCount() - 1));
  SaveRecords();
}

// ---- context menu --------------------------------------------------------------------------

void MacroPageController::ShowContextMenu() {
  Tavex::MDialog& window = host_.Window();
  POINT at{};
  Tavex::Native::GetCursorPos(&at);
  auto* menu = new Tavex::MenuWnd(&window);
  menu->AddMenu(GetLangText(text::kNew).c_str(), command::kNew);
  const bool selected = SelectedMacro() > 0;
  menu->AddMenu(GetLangText(text::kDelete).c_str(), command::kDelete, "", 0, selected ? 1 : 0);
  menu->AddMenu(GetLangText(text::kCopy).c_str(), command::kCopy, "", 0, selected ? 1 : 0);
  menu->AddMenu(GetLangText(text::kImport).c_str(), command::kImport);
  menu->AddMenu(GetLangText(text::kExport).c_str(), command::kExport, "", 0, selected ? 1 : 0);
  menu->AddMenu(GetLangText(text::kRename).c_str(), command::kRename, "", 0,
                selected ? 1 : 0);
  if (pasteSource_ > 0) menu->AddMenu(GetLangText(text::kPaste).c_str(), command::kPaste);
  // The menu deletes itself once its window is gone; one never created is ours to delete.
  if (menu->Create(window.GetSafeHwnd(), Tavex::CPoint(at.x, at.y), Tavex::WM_MACROMENU) == nullptr)
    delete menu;
}

void MacroPageController::OnMenuCommand(int chosen) {
  if (recorder_.Recording()) return;
  switch (chosen) {
    case command::kNew: NewMacro(); break;
    case command::kDelete: DeleteMacro(); break;
    case command::kCopy: CopyMacro(); break;
    case command::kImport: ImportMacro(); break;
    case command::kExport: ExportMacro(); break;
    case command::kRename:
      if (auto* list = Find<Tavex::DListBox>(ids::kMacroList)) list->ShowEdit();
      break;
    case command::kPaste: PasteMacro(); break;
    default: break;
  }
}
