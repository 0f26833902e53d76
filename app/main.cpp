// Program entry: one running copy per user (a second start raises the first window and ends
// with 0), the language, the data folder, then the main window until it ends.
#include <cstdio>
#include <optional>
#include <string>

#include "app/KeyboardDlg.h"
#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "platform/InstanceLock.h"
#include "tavex/Manager.h"
#include "tavex/Native.h"

namespace {
constexpr int kAnotherCopyRuns = 0;
constexpr int kNoDisplay = 1;
}  // namespace

int main() {
  // Held for the whole process; a lock that could not be taken for another reason (no lock
  // file possible) leaves the program running without single-instance protection.
  std::optional<platform::InstanceLock> lock = platform::InstanceLock::Acquire(ids::kInstanceName);
  if (!lock) {
    if (const std::uint64_t first = Tavex::Native::FindExternalWindow(ids::kInstanceName))
      Tavex::Native::ActivateExternalWindow(first);
    return kAnotherCopyRuns;
  }
  if (!Tavex::Native::DisplayAvailable()) {
    std::fprintf(stderr, "keywright: no display (set DISPLAY)\n");
    return kNoDisplay;
  }

  ChooseStartupLanguage();
  Tavex::Manager::SetInstance(nullptr);
  CreateFolderPath(GetDataFolder() + "db");  // a failure shows later as an empty store
  Tavex::Manager::InitGdiplus();

  int exitCode = KeyboardDlg::kExitCodeClosed;
  {
    // The store, the device list and the command sender exist once and are handed down from here.
    ProgramServices services;
    KeyboardDlg window(services);
    exitCode = window.Run();
  }
  Tavex::Manager::UnInitGdiplus();
  return exitCode;
}
