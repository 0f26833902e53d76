// The busy animation shown over the main window while the worker sends to the keyboard: a
// 102 x 102 window centred on its owner with "loading.gif" running. Another thread ends it with
// RequestClose. UI thread, except RequestClose.
#pragma once

#include <atomic>

#include "tavex/MDialog.h"

class WaitDlg : public Tavex::MDialog {
 public:
  static constexpr int kSize = 102;

  void InitUI(Tavex::CRect client) override;
  int OnInitDialog() override;

  // Creates the window centred on `owner` and runs it modally; returns the dialog result, 0
  // when the window could not be created.
  int Run(Tavex::MWindow& owner);

  // Ends the dialog with OK from any thread, also when its window is not created yet (it then
  // ends as soon as it is).
  void RequestClose();

 private:
  std::atomic<bool> closeRequested_{false};
};
