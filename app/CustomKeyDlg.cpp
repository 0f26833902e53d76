#include "app/CustomKeyDlg.h"

#include <vector>

#include "app/CUIMessageBox.h"
#include "app/FileDialogs.h"
#include "app/WindowIds.h"
#include "app/pages/PageBuilder.h"
#include "docs/KeyTables.h"
#include "docs/LangSettings.h"
#include "features/ProfileNames.h"
#include "store/ProfileStore.h"
#include "tavex/Buttons.h"
#include "tavex/CheckButtons.h"
#include "tavex/Edits.h"
#include "tavex/MComboBox.h"
#include "tavex/MText.h"
#include "tavex/Native.h"

using Tavex::CRect;
namespace Notify = Tavex::Notify;

namespace {

constexpr unsigned kTitleFill = 0x141212;  // COLORREF
constexpr unsigned kBodyFill = 0x1E1A1A;
constexpr int kTitleHeight = 40;
constexpr int kTitleFontSize = 15;
constexpr int kTextTitle = 214;
constexpr int kTextTypeLabel = 215;
constexpr int kTextChoiceLabel = 216;
constexpr int kTextEmptyMacro = 217;
constexpr int kTextChooseProgram = 218;
constexpr int kTextProfileSwitch = 213;
constexpr int kTextProfileWord = 65;

// Inputs: left column of labels, right column of inputs.
constexpr int kLabelLeft = 30;
constexpr int kInputLeft = 160;
constexpr int kInputRight = 470;
constexpr int kTypeTop = 62;
constexpr int kChoiceTop = 112;
constexpr int kRowHeight = 30;
constexpr int kFileButtonSize = 30;
constexpr int kCheckTop = 162;
constexpr int kCheckWidth = 76;
constexpr int kConfirmWidth = 120;
constexpr int kConfirmHeight = 34;
constexpr int kConfirmBottom = 22;

// Types of list 36, in list order, with their names.
struct KindName {
  int32_t kind;
  int text;
};
constexpr KindName kKinds[] = {
    {assign::kKeyOrFunction, 205},
    {assign::kMacro, 206},
    {assign::kFirstChoice, 207},
    {assign::kSecondChoice, 208},
    {assign::kShortcut, 209},
    {assign::kProgram, 210},
    {assign::kWebAddress, 211},
    {assign::kText, 212},
    {assign::kProfileSwitch, kTextProfileSwitch},
};

constexpr unsigned kModifierBoxes[] = {CustomKeyDlg::kShift, CustomKeyDlg::kCtrl,
                                       CustomKeyDlg::kWin, CustomKeyDlg::kAlt};
constexpr const char* kModifierNames[] = {"Shift", "Ctrl", "Win", "Alt"};
constexpr const char* kProgramFilter = "Application";

bool UsesChoiceList(int32_t kind) {
  return kind == assign::kMacro || kind == assign::kFirstChoice || kind == assign::kSecondChoice ||
         kind == assign::kShortcut || kind == assign::kProfileSwitch;
}

template <typename T>
T* Find(Tavex::MDialog& dialog, unsigned id) {
  return dynamic_cast<T*>(dialog.GetControl(id));
}

}  // namespace

CustomKeyDlg::CustomKeyDlg(ProfileStore& store, int32_t presetKind)
    : store_(store), presetKind_(presetKind) {}

int CustomKeyDlg::Run(Tavex::MDialog& parent) {
  if (Create(parent.GetSafeHwnd(), "CustomKeyDlg", ids::kDialogStyle, 0,
             CRect(0, 0, kWidth, kHeight)) == nullptr)
    return CUIMessageBox::kSecond;
  CenterWindow(&parent);
  return ShowModal(ids::kShowModalCmd);
}

void CustomKeyDlg::InitUI(CRect client) {
  PageBuilder page(*this, nullptr, texts_);
  page.Area(kTitlePanel, CRect(0, 0, client.Width(), kTitleHeight), kTitleFill, 0);
  page.Area(kBodyPanel, CRect(0, kTitleHeight, client.Width(), client.Height()), kBodyFill, 0);
  page.Label(kTitle, CRect(16, 0, client.Width() - 60, kTitleHeight), kTextTitle, kTitleFontSize);
  page.ImageButton(kClose, CRect(client.Width() - 40, 8, client.Width() - 16, 32),
                   "sysbtn_close.png", 0);
  page.Label(kTypeLabel, CRect(kLabelLeft, kTypeTop, kInputLeft - 10, kTypeTop + kRowHeight),
             kTextTypeLabel);
  page.Label(kChoiceLabel, CRect(kLabelLeft, kChoiceTop, kInputLeft - 10, kChoiceTop + kRowHeight),
             kTextChoiceLabel);
  if (Tavex::MComboBox* types =
          page.Combo(kTypeList, CRect(kInputLeft, kTypeTop, kInputRight, kTypeTop + kRowHeight))) {
    for (const KindName& k : kKinds) types->AddItem(GetLangText(k.text).c_str(), k.kind);
  }
  page.Combo(kChoiceList, CRect(kInputLeft, kChoiceTop, kInputRight, kChoiceTop + kRowHeight));
  page.Edit(kField, CRect(kInputLeft, kChoiceTop, kInputRight, kChoiceTop + kRowHeight), "");
  page.ImageButton(
      kChooseProgram,
      CRect(kInputRight - kFileButtonSize, kChoiceTop, kInputRight, kChoiceTop + kRowHeight),
      "btn_openfile.png", kTextChooseProgram);
  for (size_t i = 0; i < std::size(kModifierBoxes); ++i) {
    const int left = kInputLeft + static_cast<int>(i) * kCheckWidth;
    if (Tavex::CCheckButton* box = page.Check(
            kModifierBoxes[i], CRect(left, kCheckTop, left + kCheckWidth - 4, kCheckTop + 26), 0))
      box->SetTitle(kModifierNames[i]);
  }
  const int left = (client.Width() - kConfirmWidth) / 2;
  const int top = client.Height() - kConfirmBottom - kConfirmHeight;
  page.Button(kConfirm, CRect(left, top, left + kConfirmWidth, top + kConfirmHeight),
              ids::text::kConfirm);
}

int CustomKeyDlg::OnInitDialog() {
  MDialog::OnInitDialog();
  EnableDragging();
  if (auto* types = Find<Tavex::MComboBox>(*this, kTypeList))
    if (types->SelectData(presetKind_) < 0) types->SetCurSel(0);
  ShowInputsForKind();
  return 1;
}

int32_t CustomKeyDlg::Kind() const {
  auto* types = dynamic_cast<Tavex::MComboBox*>(GetControl(kTypeList));
  return types != nullptr ? static_cast<int32_t>(types->GetCurData()) : presetKind_;
}

void CustomKeyDlg::ShowInputsForKind() {
  StopCapture();
  const int32_t kind = Kind();
  const bool choices = UsesChoiceList(kind);
  const bool field = kind == assign::kKeyOrFunction || kind == assign::kProgram ||
                     kind == assign::kWebAddress || kind == assign::kText;
  if (auto* list = Find<Tavex::MComboBox>(*this, kChoiceList)) list->SetVisible(choices ? 1 : 0);
  if (auto* edit = Find<Tavex::MEdit>(*this, kField)) {
    edit->SetVisible(field ? 1 : 0);
    edit->SetTitle("");
    // The program field leaves room for its chooser button.
    const int right = kind == assign::kProgram ? kInputRight - kFileButtonSize - 6 : kInputRight;
    edit->SetRect(kInputLeft, kChoiceTop, right, kChoiceTop + kRowHeight);
  }
  capturedKey_ = 0;
  capturedName_.clear();
  if (Tavex::MControl* button = GetControl(kChooseProgram))
    button->SetVisible(kind == assign::kProgram ? 1 : 0);
  for (unsigned id : kModifierBoxes) {
    if (auto* box = Find<Tavex::CCheckButton>(*this, id)) {
      box->SetVisible(kind == assign::kKeyOrFunction ? 1 : 0);
      box->SetCheck(0);
    }
  }
  if (choices) FillChoices(kind);
  Invalidate();
}

void CustomKeyDlg::FillChoices(int32_t kind) {
  auto* list = Find<Tavex::MComboBox>(*this, kChoiceList);
  if (list == nullptr) return;
  list->DelAllItems();
  if (kind == assign::kMacro) {
    std::vector<MacroRecord> macros;
    store_.ListMacros(macros);
    for (const MacroRecord& m : macros) list->AddItem(m.name.c_str(), m.macro_id);
  } else if (kind == assign::kProfileSwitch) {
    std::vector<ProfileRecord> profiles;
    store_.ListProfiles(profiles);
    for (const ProfileRecord& p : profiles)
      list->AddItem(
          profiles::DisplayName(p.name, GetCurrentLanguage(), GetLangText(kTextProfileWord))
              .c_str(),
          p.profile);
  } else {
    const int count = kind == assign::kFirstChoice    ? assign::kFirstChoiceCount
                      : kind == assign::kSecondChoice ? assign::kSecondChoiceCount
                                                      : assign::kShortcutCount;
    for (int n = 1; n <= count; ++n) {
      const int text = kind == assign::kFirstChoice    ? assign::FirstChoiceText(n)
                       : kind == assign::kSecondChoice ? assign::SecondChoiceText(n)
                                                       : assign::ShortcutText(n);
      list->AddItem(GetLangText(text).c_str(), n);
    }
  }
  list->SetCurSel(list->GetCount() > 0 ? 0 : -1);
}

int CustomKeyDlg::OnMessage(unsigned id, unsigned code, unsigned, long) {
  if (id == kTypeList && code == Notify::Click) {
    ShowInputsForKind();
  } else if (id == kField && code == Notify::EditStarted) {
    if (Kind() == assign::kKeyOrFunction) StartCapture();
  } else if (id == kField && code == Notify::EditEnded) {
    StopCapture();
  } else if (code == Notify::Click && id == kClose) {
    Finish(false);
  } else if (code == Notify::Click && id == kConfirm) {
    Confirm();
  } else if (code == Notify::Click && id == kChooseProgram) {
    ChooseProgram();
  }
  return 0;
}

LRESULT CustomKeyDlg::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == Tavex::Native::WM_INPUT) {
    OnRawKey(static_cast<uint32_t>(wParam));
    return 0;
  }
  return MDialog::OnWindowMessage(msg, wParam, lParam);
}

int CustomKeyDlg::OnKeyDown(unsigned key, unsigned repeat, unsigned flags) {
  if (key == VK_ESCAPE) StopCapture();
  return PromptDialog::OnKeyDown(key, repeat, flags);
}

void CustomKeyDlg::ChooseProgram() {
  // Programs here have no common file name ending: every file is offered, and what is chosen
  // is started when executable, else opened with its default handler.
  const platform::FileChooserResult result =
      ChooseFileToOpen(*this, GetLangText(kTextChooseProgram), {{kProgramFilter, {"*"}}});
  if (result.choice != platform::FileChoice::Chosen) return;
  if (auto* edit = Find<Tavex::MEdit>(*this, kField)) edit->SetTitle(result.path.c_str());
}

// ---- key capture --------------------------------------------------------------------------------

void CustomKeyDlg::StartCapture() {
  capturedKey_ = 0;
  capturedName_.clear();
  if (auto* edit = Find<Tavex::MEdit>(*this, kField)) {
    edit->SetTitle("");
    edit->SetKeyCapture(1);
  }
  capturing_ = Tavex::Native::RegisterRawKeys(GetSafeHwnd(), true);
}

void CustomKeyDlg::StopCapture() {
  if (auto* edit = Find<Tavex::MEdit>(*this, kField)) edit->SetKeyCapture(0);
  if (!capturing_) return;
  capturing_ = false;
  Tavex::Native::RegisterRawKeys(GetSafeHwnd(), false);
}

void CustomKeyDlg::OnRawKey(uint32_t virtualKey) {
  if (!capturing_ || virtualKey == 0) return;
  capturedKey_ = virtualKey;
  capturedName_ = VirtualKeyToDisplayName(virtualKey, KeyNameVariant::CustomKey);
  if (auto* edit = Find<Tavex::MEdit>(*this, kField)) edit->SetTitle(capturedName_.c_str());
}

// ---- confirming ---------------------------------------------------------------------------------

std::string CustomKeyDlg::FieldText() const {
  auto* edit = dynamic_cast<Tavex::MEdit*>(GetControl(kField));
  return edit != nullptr ? edit->GetTitle() : std::string();
}

bool CustomKeyDlg::BuildRecord(KeyAssignmentRecord& record) {
  const int32_t kind = Kind();
  record = KeyAssignmentRecord{};
  record.macro_type = kind;
  auto* list = Find<Tavex::MComboBox>(*this, kChoiceList);
  const long choice = list != nullptr && list->GetCurSel() >= 0 ? list->GetCurData() : 0;
  const std::string choiceText =
      list != nullptr && list->GetCurSel() >= 0 ? list->GetTitle() : std::string();
  switch (kind) {
    case assign::kKeyOrFunction: {
      assign::Modifiers mods;
      const auto checked = [&](unsigned id) {
        auto* box = Find<Tavex::CCheckButton>(*this, id);
        return box != nullptr && box->GetCheck() != 0;
      };
      mods.shift = checked(kShift);
      mods.ctrl = checked(kCtrl);
      mods.win = checked(kWin);
      mods.alt = checked(kAlt);
      const uint32_t usage = VirtualKeyToHid(capturedKey_);
      if (usage == 0) return false;
      record.macro_value = static_cast<int32_t>(usage);
      record.macro_value2 = assign::ModifierMask(mods);
      record.macro_desc = assign::CombinationDescription(mods, capturedName_);
      return true;
    }
    case assign::kMacro: {
      if (choice <= 0) return false;
      if (store_.CountMacroEvents(static_cast<int32_t>(choice)) == 0) {
        ::ShowMessage(this, GetLangText(kTextEmptyMacro), GetLangText(kTextTitle),
                      CUIMessageBox::kStyleOneButton);
        return false;
      }
      record.macro_value = static_cast<int32_t>(choice);
      record.macro_desc = choiceText;
      return true;
    }
    case assign::kFirstChoice:
    case assign::kSecondChoice:
    case assign::kShortcut:
      if (choice <= 0) return false;
      record.macro_value = static_cast<int32_t>(choice);
      record.macro_desc = choiceText;
      return true;
    case assign::kProgram:
    case assign::kWebAddress:
    case assign::kText: {
      const std::string text = FieldText();
      if (text.empty()) return false;
      // The program row keeps the path as its parameter too: that is what is started.
      record.macro_value = store_.AddKeyOtherData(text, kind == assign::kProgram ? text : "", kind);
      record.macro_desc = text;
      return record.macro_value > 0;
    }
    case assign::kProfileSwitch:
      if (choice <= 0) return false;
      record.macro_value = store_.AddKeyOtherData(choiceText, std::to_string(choice), kind);
      record.macro_desc = choiceText;
      return record.macro_value > 0;
    default: return false;
  }
}

void CustomKeyDlg::Confirm() {
  if (BuildRecord(record_)) Finish(true);
}

void CustomKeyDlg::Finish(bool ok) {
  StopCapture();
  if (ok)
    DoOK();
  else
    DoCancel();
}
