#include "app/WaitDlg.h"

#include "app/WindowIds.h"
#include "tavex/Pictures.h"

using Tavex::CRect;

namespace {
constexpr unsigned kAnimation = 30;
constexpr COLORREF kBackColour = 0x333333;
}  // namespace

void WaitDlg::InitUI(CRect) {
  SetLayeredWindow(1);
  auto* gif = static_cast<Tavex::CGifPicture*>(
      CreateControl("CGifPicture", kAnimation, CRect(1, 1, kSize - 1, kSize - 1), nullptr, 1, 1));
  if (gif == nullptr) return;
  gif->LoadGif("loading.gif");
  gif->SetRunState(1, 0);
}

int WaitDlg::OnInitDialog() {
  MDialog::OnInitDialog();
  SetBackColor(kBackColour, kBackColour);
  SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetMTimer(ids::kAnimationTickMs);
  EnableWndDrag(1);
  if (closeRequested_.load()) DoOK();
  return 1;
}

void WaitDlg::RequestClose() {
  closeRequested_.store(true);
  if (IsValid()) DoOK();
}

int WaitDlg::Run(Tavex::MWindow& owner) {
  const CRect area = owner.GetWindowRect();
  const int left = area.left + (area.Width() - kSize) / 2;
  const int top = area.top + (area.Height() - kSize) / 2;
  if (Create(owner.GetSafeHwnd(), "WaitDlg", ids::kDialogStyle, ids::kToolWindowExStyle,
             CRect(left, top, left + kSize, top + kSize)) == nullptr) {
    return 0;
  }
  return ShowModal(ids::kShowModalCmd);
}
