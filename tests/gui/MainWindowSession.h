// The real program (or a copy of it) in a private home, writing its control map, steered by
// control ids: start, quit request, choosing the virtual keyboard, opening a page, screen
// captures. End-to-end test fixtures hold one. Test thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ProgramProcess.h"
#include "app/WindowIds.h"
#include "support/ControlMap.h"

namespace GuiTest {

inline constexpr const char* kMainTitle = "Keywright";
// Tab items sit one under another in the strip, in this order.
inline constexpr int kItemOrder[] = {ids::kItemHome, ids::kItemKeys, ids::kItemMacros,
                                     ids::kItemLighting, ids::kItemSettings};

class MainWindowSession {
 protected:
  // Starts the program at `executable` (empty: bin/keywright) with LANG `lang` and waits for
  // its window and close button.
  void Start(const std::string& lang = "en_US.UTF-8", const std::string& executable = "");
  // Ends the program with the quit request; its exit status.
  int Quit();
  // Chooses the first keyboard of the device list once the virtual one shows connected.
  void SelectKeyboard();
  // Opens tab item `item` (ids::kItem...) and waits for its page.
  void OpenPage(int item);
  // The screen pixels of control `id` as PNG bytes.
  std::string Pixels(unsigned id);
  // Saves the screen into KW_SCREENSHOT_DIR when set (for looking at), else into the map's
  // folder; false when nothing was written.
  bool Screenshot(const std::string& name);

  TestSupport::ControlMap map_;
  ProgramHome home_;
  std::unique_ptr<Spawned> program_;
  std::uint64_t window_ = 0;
};

}  // namespace GuiTest
