#include "app/CloseWindowTipDlg.h"

#include "app/CloseBehaviour.h"
#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "tavex/Buttons.h"
#include "tavex/CheckButtons.h"
#include "tavex/MText.h"

using Tavex::CRect;

namespace {
constexpr unsigned kQuestion = 30;
constexpr unsigned kHideChoice = 31;
constexpr unsigned kExitChoice = 32;
constexpr unsigned kConfirm = 33;
constexpr const char* kGroup = "exit_mode";
constexpr int kChoiceFontSize = 14;
constexpr int kButtonBottom = 24;

Tavex::CRadioButton* Choice(Tavex::MDialog& dialog, unsigned id) {
  return dynamic_cast<Tavex::CRadioButton*>(dialog.GetControl(id));
}
}  // namespace

void CloseWindowTipDlg::InitUI(CRect client) {
  UsePromptBackground();
  if (auto* question = static_cast<Tavex::MText*>(
          CreateControl("MText", kQuestion, CRect(30, 18, client.Width() - 30, 48),
                        GetLangText(ids::text::kCloseQuestion).c_str(), 1, 0))) {
    question->SetTextColor(kTextColour);
    question->SetFontWidth(kCaptionFontSize);
  }
  const auto radio = [&](unsigned id, int top, int text) {
    auto* r = static_cast<Tavex::CRadioButton*>(
        CreateControl("CRadioButton", id, CRect(40, top, client.Width() - 30, top + 26),
                      GetLangText(text).c_str(), 1, 1));
    if (r == nullptr) return;
    r->SetImage("btn_radiobox.png", 4);
    r->SetGroupName(kGroup);
    r->SetTextColor(kTextColour);
    r->SetFontWidth(kChoiceFontSize);
  };
  radio(kHideChoice, 62, ids::text::kHideToTray);
  radio(kExitChoice, 98, ids::text::kExitChoice);
  const int left = (client.Width() - kButtonWidth) / 2;
  const int top = client.Height() - kButtonBottom - kButtonHeight;
  if (auto* confirm = static_cast<Tavex::MButton*>(CreateControl(
          "MButton", kConfirm, CRect(left, top, left + kButtonWidth, top + kButtonHeight),
          GetLangText(ids::text::kConfirm).c_str(), 1, 1))) {
    confirm->SetImage("btn_apply.png", 4);
  }
}

int CloseWindowTipDlg::OnInitDialog() {
  MDialog::OnInitDialog();
  SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EnableDragging();
  const bool exits = ReadExitMode() == ExitMode::Exit;
  if (auto* r = Choice(*this, exits ? kExitChoice : kHideChoice)) r->SetCheck(1);
  return 1;
}

int CloseWindowTipDlg::OnMessage(unsigned id, unsigned code, unsigned, long) {
  if (id != kConfirm || code != Tavex::Notify::Click) return 0;
  const auto* hide = Choice(*this, kHideChoice);
  StoreExitMode(hide != nullptr && hide->GetCheck() ? ExitMode::Hide : ExitMode::Exit);
  DoOK();
  return 0;
}

int CloseWindowTipDlg::Run(Tavex::MWindow* parent) {
  if (Create(parent != nullptr ? parent->GetSafeHwnd() : nullptr, "CloseWindowTipDlg",
             ids::kDialogStyle, 0, CRect(0, 0, kWidth, kHeight)) == nullptr) {
    return 0;
  }
  CenterWindow(parent);
  return ShowModal(ids::kShowModalCmd);
}
