#include "app/CUIMessageBox.h"

#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "tavex/Buttons.h"
#include "tavex/MText.h"

using Tavex::CRect;

namespace {
constexpr unsigned kCaption = 31;
constexpr unsigned kMessage = 32;
constexpr unsigned kFirstButton = 33;
constexpr unsigned kSecondButton = 34;
constexpr int kButtonGap = 20;
constexpr int kButtonBottom = 24;
constexpr int kMessageFontSize = 13;
}  // namespace

CUIMessageBox::CUIMessageBox(std::string message, std::string caption, int style)
    : message_(std::move(message)), caption_(std::move(caption)), style_(style) {}

void CUIMessageBox::InitUI(CRect client) {
  UsePromptBackground();

  if (auto* caption = static_cast<Tavex::MText*>(
          CreateControl("MText", kCaption, CRect(20, 14, client.Width() - 20, 44),
                        caption_.c_str(), 1, 0))) {
    caption->SetTextColor(kTextColour);
    caption->SetFontWidth(kCaptionFontSize);
    caption->SetAlignment(DT_CENTER);
  }
  const int buttonTop = client.Height() - kButtonBottom - kButtonHeight;
  if (auto* message = static_cast<Tavex::MText*>(
          CreateControl("MText", kMessage, CRect(24, 50, client.Width() - 24, buttonTop - 8),
                        message_.c_str(), 1, 0))) {
    message->SetTextColor(kTextColour);
    message->SetFontWidth(kMessageFontSize);
    message->SetAlignment(DT_CENTER, DT_VCENTER);
    message->SetWordWrap(1);
  }

  const bool two = style_ == kStyleTwoButtons;
  if (style_ != kStyleOneButton && !two) return;
  const int buttons = two ? 2 : 1;
  int left = (client.Width() - buttons * kButtonWidth - (buttons - 1) * kButtonGap) / 2;
  const auto button = [&](unsigned id, int text) {
    auto* b = static_cast<Tavex::MButton*>(CreateControl(
        "MButton", id, CRect(left, buttonTop, left + kButtonWidth, buttonTop + kButtonHeight),
        GetLangText(text).c_str(), 1, 1));
    if (b != nullptr) b->SetImage("btn_apply.png", 4);
    left += kButtonWidth + kButtonGap;
  };
  button(kFirstButton, two ? ids::text::kYes : ids::text::kOk);
  if (two) button(kSecondButton, ids::text::kNo);
}

int CUIMessageBox::OnInitDialog() {
  MDialog::OnInitDialog();
  EnableDragging();
  return 1;
}

int CUIMessageBox::OnMessage(unsigned id, unsigned code, unsigned, long) {
  if (code != Tavex::Notify::Click) return 0;
  if (id == kFirstButton) DoOK();
  if (id == kSecondButton) DoCancel();
  return 0;
}

int ShowMessage(Tavex::MWindow* owner, const std::string& message, const std::string& caption,
                int style) {
  CUIMessageBox box(message, caption, style);
  const HWND parent = owner != nullptr ? owner->GetSafeHwnd() : nullptr;
  if (box.Create(parent, "MessageBox", ids::kDialogStyle, ids::kToolWindowExStyle,
                 CRect(0, 0, CUIMessageBox::kWidth, CUIMessageBox::kHeight)) == nullptr) {
    return CUIMessageBox::kSecond;
  }
  box.CenterWindow();
  const int result = box.ShowModal(ids::kShowModalCmd);
  return result == CUIMessageBox::kFirst ? CUIMessageBox::kFirst : CUIMessageBox::kSecond;
}
