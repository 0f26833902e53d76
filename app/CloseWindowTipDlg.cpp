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
constexpr int kBackCorner = 30;
constexpr unsigned kTextColour = 0xFFE6E6E6;
constexpr int kChoiceFontSize = 14;

Tavex::CRadioButton* Choice(Tavex::MDialog& dialog, unsigned id) {
  return dynamic_cast<Tavex::CRadioButton*>(dialog.GetControl(id));
}
}  // namespace

void CloseWindowTipDlg::InitUI(CRect client) {
  SetLayeredWindow(1);
  LoadBKImage("bk_prompt.png");
  SetBackMode(Tavex::BackModeFrame, kBackCorner);
  if (auto* question = static_cast<Tavex::MText*>(
          CreateControl("MText", kQuestion, CRect(30, 18, client.Width() - 30, 48),
                        GetLangText(ids::text::kCloseQuestion).c_str(), 1, 0))) {
    question->SetTextColor(kTextColour);
    question->SetFontWidth(15);
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
  const int left = (client.Width() - 120) / 2;
  if (auto* confirm = static_cast<Tavex::MButton*>(CreateControl(
          "MButton", kConfirm, CRect(left, client.Height() - 58, left + 120, client.Height() - 24),
          GetLangText(ids::text::kConfirm).c_str(), 1, 1))) {
    confirm->SetImage("btn_apply.png", 4);
  }
}

int CloseWindowTipDlg::OnInitDialog() {
  MDialog::OnInitDialog();
  SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EnableWndDrag(1);
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

int CloseWindowTipDlg::OnKeyDown(unsigned key, unsigned, unsigned) {
  if (key == VK_ESCAPE) DoCancel();
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
