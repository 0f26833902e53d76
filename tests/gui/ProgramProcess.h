// Runs the real program (bin/keywright beside the test executable) in a private set of user
// folders, optionally beside a virtual keyboard, and finds its main window on the display, so
// that end-to-end tests can start, steer and end it as a user and another process would.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace GuiTest {

// A started process; killed and reaped when it goes out of scope, and sent SIGTERM when the
// thread that started it ends (so when the test process dies).
class Spawned {
 public:
  Spawned(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv);
  ~Spawned();
  Spawned(const Spawned&) = delete;
  Spawned& operator=(const Spawned&) = delete;

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  // Exit status once ended (128 + signal for a killed one); -1 while it still runs after
  // `timeout`.
  int Wait(std::chrono::milliseconds timeout);
  bool Running() { return Wait(std::chrono::milliseconds(0)) < 0; }

 private:
  pid_t pid_ = -1;
  int exit_ = -1;
};

// The user's folders and environment of one program run: config, data and runtime folders below
// a private temporary folder, English locale, the shell opener and pkexec logging instead of
// running.
class ProgramHome {
 public:
  ProgramHome();
  ~ProgramHome();
  ProgramHome(const ProgramHome&) = delete;
  ProgramHome& operator=(const ProgramHome&) = delete;

  const std::string& Path() const { return path_; }
  std::string ConfigFolder() const { return path_ + "/config"; }
  std::string SettingsFile() const { return ConfigFolder() + "/Tarnwick/settings.ini"; }
  std::string AutostartFile() const { return ConfigFolder() + "/autostart/Tarnwick.desktop"; }
  std::string ShellLog() const { return path_ + "/shell-open.log"; }
  // What the program would have run through pkexec (never run under a test).
  std::string PrivilegedLog() const { return path_ + "/privileged-run.log"; }
  // Writes the settings file before a start.
  void WriteSettings(const std::string& text) const;
  std::string ReadFile(const std::string& path) const;

  // Environment entries ("NAME=value") for a program of this home; `lang` sets LANG.
  std::vector<std::string> Environment(const std::string& lang = "en_US.UTF-8") const;

  // Starts the virtual keyboard server with keyboards of `models` ("vid:pid"; the first one
  // 24AE:4076 when none is given) and makes Environment preload the HID shim that reaches it.
  // False when the server did not come up.
  bool StartVirtualKeyboard(const std::vector<std::string>& models = {});
  bool StartVirtualKeyboard(const std::string& model) {
    return StartVirtualKeyboard(std::vector<std::string>{model});
  }
  // Runs a command of the server's command line ("unplug 0", "log 1"); what it printed, or
  // nothing when it failed.
  std::optional<std::string> Vkbd(const std::string& command) const;
  // The program's device trace (KW_DEVICE_TRACE, see app/DeviceTrace.h).
  std::string DeviceTraceFile() const { return path_ + "/device-trace.log"; }

 private:
  std::string path_;
  std::string socket_;
  Spawned* keyboard_ = nullptr;
};

// A copy of the program in a folder of its own (a trailing '/'), so that a test can change the
// files shipped beside it: the executable copied, the libraries beside it linked, and of the
// shipped files only those the test keeps or writes.
class ProgramCopy {
 public:
  explicit ProgramCopy(std::string folder);
  const std::string& Folder() const { return folder_; }
  std::string Executable() const { return folder_ + "keywright"; }
  // Links shipped file or folder `name` into the copy.
  void Keep(const std::string& name) const;
  // Links every shipped file and folder but those named.
  void KeepAllBut(const std::vector<std::string>& names) const;
  void Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string folder_;
};

// bin/keywright (or another copy of it at `executable`) started with `env`.
std::vector<std::string> ProgramCommand(const std::string& executable = "");
// `env` with one more variable (a name and value pair, as the control map gives it).
std::vector<std::string> WithVariable(std::vector<std::string> env,
                                      const std::pair<std::string, std::string>& variable);

// Output of a shell command; `status` (when given) gets its wait status, -1 when not started.
std::string Capture(const std::string& command, int* status = nullptr);

// The main window marked "Tarnwick" on the display; 0 when there is none.
std::uint64_t FindMainWindow();
// Waits until the main window exists and is viewable; its id or 0 on time-out.
std::uint64_t WaitForMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(20));
// Whether the X window is mapped and viewable now.
bool IsViewable(std::uint64_t window);
// Runs bin/keywright-request with `lparam`; its exit status.
int SendRequest(long lparam);
// Saves the whole screen as PNG; true on success.
bool SaveScreen(const std::string& path);

}  // namespace GuiTest
