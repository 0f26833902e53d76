// The real program in a private home beside the virtual keyboard, steered through its controls
// by id for runs outside the test pass (the soak, the README pictures): start, choose the
// keyboard, open a page, choose a lighting mode, read the keyboard's state, quit. Results are
// values; every step says in its result whether it worked. One thread.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/ProgramProcess.h"
#include "support/ControlMap.h"

namespace drive {

class ProgramDriver {
 public:
  ProgramDriver() = default;
  ~ProgramDriver();
  ProgramDriver(const ProgramDriver&) = delete;
  ProgramDriver& operator=(const ProgramDriver&) = delete;

  // Starts the virtual keyboard (once) and the program with LANG `lang` and `extraEnv`, and
  // waits for its main window; false with Error() set when either did not come up.
  bool Start(const std::string& lang, const std::vector<std::string>& extraEnv = {});
  // Waits until the device list shows the keyboard connected, then chooses it and waits for the
  // tab strip and the lighting command the choice sends.
  bool ChooseKeyboard();
  // Opens the page at `position` of the tab strip (0 home ... 4 settings) and waits for it.
  bool OpenPage(int position);
  // Clicks row `row` of the lighting mode list (the page must show).
  bool ClickModeRow(int row);
  // The lighting commands the keyboard has received so far; -1 when it cannot be asked.
  int LightingCommands() const;
  // The keyboard's report log (`keywright-vkbd log 0 FIRST`) from entry `first` on, one line
  // per entry; nothing when it cannot be asked.
  std::optional<std::string> KeyboardLog(std::size_t first = 0) const;
  // Whether the program still runs.
  bool Running();
  // The program's process id, read from its control map; -1 before its window showed.
  pid_t Pid() const { return pid_; }
  // The main window's client area on the screen.
  TestSupport::ScreenRect WindowRect() const { return client_; }
  // Ends the program with the quit request; its exit status (-1 when it did not end).
  int Quit();
  const std::string& Error() const { return error_; }

 private:
  bool Fail(const std::string& what);
  std::string StateField(const std::string& line, const std::string& field) const;

  GuiTest::ProgramHome home_;
  TestSupport::ControlMap map_;
  std::unique_ptr<GuiTest::Spawned> program_;
  bool keyboardStarted_ = false;
  pid_t pid_ = -1;
  TestSupport::ScreenRect client_;
  std::string error_;
};

// Waits until `done` holds or `limit` passes; whether it held.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

}  // namespace drive
