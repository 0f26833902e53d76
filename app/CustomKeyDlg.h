// The custom key dialog: gives the selected key a key combination, a macro, one of the fixed
// keyboard or mouse functions, a shortcut, a program, a web address, a text to type or a profile
// to switch to. Confirming builds the assignment record (and its host-function row for the kinds
// that act on the computer) and ends with DoOK; the caller then stores the record. The key field
// captures one key from the X server's raw key events while it has the focus; the keys still reach
// their window.
//
// Ownership: a stack object of the key page's controller; borrows the store for its life.
// Threads: UI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "app/PromptDialog.h"
#include "app/WindowTexts.h"
#include "features/AssignmentKinds.h"
#include "store/StoreRecords.h"

class ProfileStore;

class CustomKeyDlg : public PromptDialog {
 public:
  static constexpr int kWidth = 500;
  static constexpr int kHeight = 280;
  // Control ids.
  static constexpr unsigned kTitlePanel = 30;
  static constexpr unsigned kTitle = 31;
  static constexpr unsigned kClose = 32;
  static constexpr unsigned kBodyPanel = 33;
  static constexpr unsigned kTypeLabel = 34;
  static constexpr unsigned kChoiceLabel = 35;
  static constexpr unsigned kTypeList = 36;
  static constexpr unsigned kChoiceList = 37;
  static constexpr unsigned kField = 38;
  static constexpr unsigned kShift = 39;
  static constexpr unsigned kCtrl = 40;
  static constexpr unsigned kWin = 41;
  static constexpr unsigned kAlt = 42;
  static constexpr unsigned kChooseProgram = 43;
  static constexpr unsigned kConfirm = 44;

  // `presetKind` is the type shown first (3 macro, 7 shortcut); `profile` the active one.
  CustomKeyDlg(ProfileStore& store, int32_t presetKind);

  // Shows the dialog modally over `parent`; 1 when confirmed (Record holds the assignment), 2
  // otherwise.
  int Run(Tavex::MDialog& parent);
  // The confirmed assignment, without profile and key (the caller's store step adds them).
  const KeyAssignmentRecord& Record() const { return record_; }

  void InitUI(Tavex::CRect client) override;
  int OnInitDialog() override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Escape ends the dialog like the close button (capture stopped first).
  int OnKeyDown(unsigned key, unsigned repeat, unsigned flags) override;

  // The chosen type (item data of list 36).
  int32_t Kind() const;

 private:
  // Shows the inputs of the chosen type and fills list 37 for it.
  void ShowInputsForKind();
  void FillChoices(int32_t kind);
  void StartCapture();
  void StopCapture();
  void OnRawKey(uint32_t virtualKey);
  void Confirm();
  // Button 43: the desktop's file chooser puts the chosen program's path into field 38.
  void ChooseProgram();
  // The record for the chosen type; false (with a message shown when it says why) when the
  // inputs do not make one.
  bool BuildRecord(KeyAssignmentRecord& record);
  std::string FieldText() const;
  void Finish(bool ok);

  ProfileStore& store_;
  const int32_t presetKind_;
  KeyAssignmentRecord record_;
  WindowTexts texts_;
  uint32_t capturedKey_ = 0;  // virtual-key code; 0: none
  std::string capturedName_;
  bool capturing_ = false;
};
