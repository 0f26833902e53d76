#include "app/PromptDialog.h"

namespace {
constexpr int kBackCorner = 30;
}  // namespace

int PromptDialog::OnKeyDown(unsigned key, unsigned, unsigned) {
  if (key == VK_ESCAPE) DoCancel();
  return 0;
}

void PromptDialog::UsePromptBackground() {
  SetLayeredWindow(1);
  LoadBKImage("bk_prompt.png");
  SetBackMode(Tavex::BackModeFrame, kBackCorner);
}
