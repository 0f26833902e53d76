// The key page's profile list and the two resets: the list filled on a device switch (with the
// three default profiles on a fresh store), adding, deleting, renaming in place (with the name
// check) and selecting profiles, resetting the active profile's keys and restoring the factory
// state of the program and the keyboard (task 10). Both resets return the lighting page to its
// first custom slot through a posted message; the factory reset then rebuilds every page.
//
// Ownership: made with the key page's controller, which it borrows for the shown profile; both
// are owned by the window. Threads: UI thread, except ReloadForKeyboard and the task 10 work
// (worker), which touch the list only through its thread-safe setters.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/PageController.h"

class KeyPageController;
class PageHost;
namespace Tavex {
class DListBox;
}

class ProfileController : public PageController {
 public:
  // Commands of the profile menu (Tavex::WM_PROFILEMENU).
  static constexpr unsigned kMenuDelete = 605;
  static constexpr unsigned kMenuRename = 606;
  // Import and export act as the page's import and export buttons, whose controller owns them.
  static constexpr unsigned kMenuImport = 607;
  static constexpr unsigned kMenuExport = 608;
  // The store's file name stem, the same for every keyboard type.
  static constexpr const char* kStoreTypeName = "Tarnwick_V3";

  ProfileController(PageHost& host, KeyPageController& keys);

  bool OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  bool OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void ReloadForKeyboard(const CurrentKeyboard& keyboard) override;
  void OnTextsChanged() override;

  // Fills the list from the store (defaults on a fresh one) and shows the active profile.
  void BuildProfileList();

 private:
  Tavex::DListBox* List() const;
  std::string ShownName(const std::string& stored) const;

  void CreateProfile();
  void RemoveProfile();
  void StartRename();
  void FinishProfileRename(int row);
  void SelectProfile();
  void ResetProfileKeys();
  void RestoreFactorySettings();
  void ShowProfileMenu();
  // Makes `profile` the shown and stored active profile and shows its assignments.
  void Activate(int32_t profile);
  void FactoryResetOnWorker();

  PageHost& host_;
  KeyPageController& keys_;
};

// Adds the key page's two controllers (keys first, then profiles, which borrows it).
void AddKeyPageControllers(PageHost& host, std::vector<std::unique_ptr<PageController>>& out);
