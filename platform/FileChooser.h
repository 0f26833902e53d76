// The desktop's file chooser for opening and saving one file: the XDG desktop portal's
// FileChooser over the session bus when a portal answers there, else the dialog program zenity,
// else kdialog. Run blocks until the user chose, so the UI thread calls it through a thread of
// its own (see app/FileDialogs); Cancel may come from any thread.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FileChoice.h"
#include "platform/PortalFileChooser.h"

namespace platform {

// Runs the chooser once. Any thread; one Run at a time per object. A cancelled chooser stays
// cancelled: a later Run returns Cancelled at once.
class FileChooser {
 public:
  FileChooser() = default;
  FileChooser(const FileChooser&) = delete;
  FileChooser& operator=(const FileChooser&) = delete;

  FileChooserResult Run(const FileChooserRequest& request);

  // Closes the open chooser (the portal's request, or the dialog program) and makes Run return
  // Cancelled. Any thread.
  void Cancel();

  // The command lines of the fallback programs, for the request (exposed for tests).
  static std::vector<std::string> ZenityArguments(const FileChooserRequest& request);
  static std::vector<std::string> KdialogArguments(const FileChooserRequest& request);

 private:
  enum class ProgramOutcome { Answered, NotRun };
  ProgramOutcome RunProgram(const std::vector<std::string>& argv, FileChooserResult& result);

  PortalFileChooser portal_;
  std::atomic<bool> cancelled_{false};
  std::mutex childMutex_;
  pid_t child_ = 0;  // the running dialog program, 0 for none
};

}  // namespace platform
