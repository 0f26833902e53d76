// The key page's keyboard and function list: choosing a key, giving it a function, a key
// combination, a macro or shortcut (through the custom key dialog), resetting it, showing a
// profile's assignments with check marks and tips, sending them (task 6), and running the
// host-side functions the keyboard asks for (device events).
//
// Ownership: made by MakePageControllers, owned by the window; borrows the host for its life.
// Threads: UI thread, except the task 6 work (worker) and ActiveProfile (any thread).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "app/PageController.h"
#include "platform/TextPaste.h"
#include "store/StoreRecords.h"

class PageHost;
namespace Tavex {
class KeyboardCtrl;
class KeyFuncControl;
}  // namespace Tavex

class KeyPageController : public PageController {
 public:
  // Commands of the key menu (WM_KEYMENU).
  static constexpr unsigned kMenuReset = 606;
  static constexpr unsigned kMenuDisable = 607;  // not offered by the menu
  static constexpr unsigned kMenuMacro = 608;
  static constexpr unsigned kMenuShortcut = 609;
  // Key value of keys that cannot be assigned.
  static constexpr long kFixedKey = 255;

  explicit KeyPageController(PageHost& host);

  bool OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  bool OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnShutdown() override;

  // The profile whose assignments are shown and sent.
  int32_t ActiveProfile() const { return activeProfile_.load(); }
  void SetActiveProfile(int32_t profile) { activeProfile_.store(profile); }
  // Marks every layer-0 assignment of `profile` on the keyboard view. Any thread (the view's
  // setters post their repaints).
  void ShowAssignments(int32_t profile);
  // Queues task 6 and shows the wait dialog until the worker closes it. UI thread.
  void SendAssignments();
  // Stores `record` for the selected key of the active profile, marks the key, sends the set.
  void StoreAssignment(KeyAssignmentRecord record);

 private:
  Tavex::KeyboardCtrl* Keyboard() const;
  Tavex::KeyFuncControl* Functions() const;
  void ClearFunctionMarks() const;
  // Check mark and tip of one key for its assignment.
  void MarkKey(Tavex::KeyboardCtrl& view, const KeyAssignmentRecord& record) const;

  void SelectKey(bool rightButton, long keyValue);
  void ShowKeyMenu();
  // The active profile's layer-0 assignments except the selected key's.
  std::vector<KeyAssignmentRecord> OtherKeysOfProfile() const;
  void AssignFunction();
  void ResetKey();
  void DisableKey();
  void AssignMacroOrShortcut(int32_t presetKind);
  void RunHostFunction(int32_t rowId);
  void SendOnWorker();

  PageHost& host_;
  std::atomic<int32_t> activeProfile_{0};
  int32_t selectedKey_ = 0;
  platform::TextPaste paste_;
};
