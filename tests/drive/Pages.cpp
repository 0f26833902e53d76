#include "Pages.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "ProgramDriver.h"

namespace drive {
namespace {

using namespace std::chrono_literals;

// The tab strip's pages in order, by the names their pictures get.
constexpr const char* kPageNames[] = {"home", "keys", "macros", "lighting", "settings"};
// Hover effects, the preview's first frames and the first device refresh settle.
constexpr auto kSettle = 1500ms;

bool SaveWindow(const ProgramDriver& program, const std::string& path) {
  const TestSupport::ScreenRect r = program.WindowRect();
  if (r.Empty()) return false;
  const std::string command = "import -window root -crop " + std::to_string(r.Width()) + "x" +
                              std::to_string(r.Height()) + "+" + std::to_string(r.left) + "+" +
                              std::to_string(r.top) + " +repage '" + path + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0 && std::filesystem::file_size(path) > 0;
}

}  // namespace

int RunPages(const std::string& folder, const std::string& lang) {
  std::filesystem::create_directories(folder);
  ProgramDriver program;
  const auto failed = [&](const std::string& what) {
    std::fprintf(stderr, "pages: %s%s%s\n", what.c_str(), program.Error().empty() ? "" : ": ",
                 program.Error().c_str());
    return 1;
  };
  if (!program.Start(lang)) return failed("start");
  std::this_thread::sleep_for(kSettle);
  if (!SaveWindow(program, folder + "/devices.png")) return failed("devices.png");
  if (!program.ChooseKeyboard()) return failed("choosing the keyboard");
  int position = 0;
  for (const char* name : kPageNames) {
    if (!program.OpenPage(position++)) return failed(name);
    std::this_thread::sleep_for(kSettle);
    if (!SaveWindow(program, folder + "/" + name + ".png")) return failed(name);
  }
  if (program.Quit() != 0) return failed("the quit request");
  return 0;
}

}  // namespace drive
