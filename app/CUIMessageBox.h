// The program's message box: a caption, a message and one or two buttons, shown modally over
// its owner. Style 0 has one button (text 20) ending with 1; style 4 has two (texts 23 and 25)
// ending with 1 and 2; any other style has none. Closing it or Escape ends with 2.
// UI thread only.
#pragma once

#include <string>

#include "app/PromptDialog.h"

class CUIMessageBox : public PromptDialog {
 public:
  static constexpr int kStyleOneButton = 0;
  static constexpr int kStyleTwoButtons = 4;
  static constexpr int kWidth = 380;
  static constexpr int kHeight = 200;
  static constexpr int kFirst = 1;   // DoOK
  static constexpr int kSecond = 2;  // DoCancel, close, Escape

  CUIMessageBox(std::string message, std::string caption, int style);

  void InitUI(Tavex::CRect client) override;
  int OnInitDialog() override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;

 private:
  const std::string message_;
  const std::string caption_;
  const int style_;
};

// Shows a CUIMessageBox over `owner` (null: none) and returns 1 (first button) or 2 (second
// button, close, Escape).
int ShowMessage(Tavex::MWindow* owner, const std::string& message, const std::string& caption,
                int style);
