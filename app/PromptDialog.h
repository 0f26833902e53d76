// The base of the program's small prompts (message box, close options): the rounded prompt
// background, window dragging, and Escape ending the prompt with DoCancel. UI thread only.
#pragma once

#include "tavex/MDialog.h"

class PromptDialog : public Tavex::MDialog {
 public:
  int OnKeyDown(unsigned key, unsigned repeat, unsigned flags) override;

 protected:
  static constexpr unsigned kTextColour = 0xFFE6E6E6;
  static constexpr int kCaptionFontSize = 15;
  static constexpr int kButtonWidth = 120;
  static constexpr int kButtonHeight = 34;

  // Layered window drawn on "bk_prompt.png"; call from InitUI.
  void UsePromptBackground();
  // Lets the prompt be dragged by its background; call from OnInitDialog.
  void EnableDragging() { EnableWndDrag(1); }
};
