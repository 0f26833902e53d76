// Asks what the main window's close button does: hide to the tray or exit. Stores the choice as
// the setting "exit_mode" (1 hide, 2 exit) on confirm. UI thread only.
#pragma once

#include "app/PromptDialog.h"

class CloseWindowTipDlg : public PromptDialog {
 public:
  static constexpr int kWidth = 360;
  static constexpr int kHeight = 200;

  void InitUI(Tavex::CRect client) override;
  int OnInitDialog() override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;

  // Creates the window centred over `parent` and runs it modally; returns the dialog result.
  int Run(Tavex::MWindow* parent);
};
