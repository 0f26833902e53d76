#include "ProgramDriver.h"

#include <cstdlib>
#include <functional>
#include <sstream>
#include <thread>

#include "app/WindowIds.h"
#include "tavex/CDeviceCtrl.h"
#include "tavex/Codes.h"

namespace drive {
namespace {

using namespace std::chrono_literals;

constexpr const char* kMainTitle = "Keywright";
constexpr auto kPoll = 50ms;
constexpr auto kQuitWait = 10s;
constexpr auto kPageWait = 2s;
constexpr auto kChoiceWait = 15s;
// The first device refresh marks the keyboard connected shortly after the window shows.
constexpr auto kFirstRefresh = 700ms;
// The window takes no clicks while a transfer runs; a tab is clicked again.
constexpr int kTabAttempts = 4;
// Rows of the lighting mode list, and where in a row a click lands.
constexpr int kModeRowHeight = 26;
constexpr int kModeRowClickX = 60;

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

ProgramDriver::~ProgramDriver() {
  if (program_ && program_->Running()) Quit();
}

bool ProgramDriver::Fail(const std::string& what) {
  error_ = what;
  return false;
}

bool ProgramDriver::Start(const std::string& lang, const std::vector<std::string>& extraEnv) {
  if (!map_.Ready()) return Fail("no folder for the control map");
  if (!keyboardStarted_ && !(keyboardStarted_ = home_.StartVirtualKeyboard()))
    return Fail("the virtual keyboard did not start");
  std::vector<std::string> env = GuiTest::WithVariable(home_.Environment(lang), map_.Environment());
  env.insert(env.end(), extraEnv.begin(), extraEnv.end());
  program_ = std::make_unique<GuiTest::Spawned>(GuiTest::ProgramCommand(), env);
  if (!program_->Started() || GuiTest::WaitForMainWindow() == 0)
    return Fail("the main window did not show");
  map_.SetWindow(kMainTitle);
  const auto list = map_.WaitFor(ids::kDeviceList);
  if (!list) return Fail("the device list did not show");
  pid_ = list->pid;
  client_ = list->client;
  return true;
}

bool ProgramDriver::ChooseKeyboard() {
  std::this_thread::sleep_for(kFirstRefresh);
  const int before = LightingCommands();
  if (!map_.ClickAt(ids::kDeviceList, Tavex::CDeviceCtrl::kRowHeight * 2,
                    Tavex::CDeviceCtrl::kRowHeight / 2))
    return Fail("could not click the device list");
  if (!map_.WaitFor(ids::kTabStrip)) return Fail("the tab strip did not show");
  // Loading the keyboard ends with its lighting transfer; the window takes clicks after it.
  if (!WaitUntil([&] { return LightingCommands() > before; }, kChoiceWait))
    return Fail("choosing the keyboard sent no lighting command");
  return true;
}

bool ProgramDriver::OpenPage(int position) {
  const unsigned page = ids::kHomePage + static_cast<unsigned>(position);
  if (map_.ClickAtUntil(
          ids::kTabStrip, ids::kTabItemSize / 2, position * ids::kTabItemSize + ids::kTabItemSize / 2,
          [&] { return map_.WaitFor(page, 0ms).has_value(); },
          kTabAttempts, kPageWait))
    return true;
  return Fail("page " + std::to_string(page) + " did not show");
}

bool ProgramDriver::ClickModeRow(int row) {
  if (!map_.ClickAt(ids::kLightList, kModeRowClickX, row * kModeRowHeight + kModeRowHeight / 2))
    return Fail("could not click lighting mode row " + std::to_string(row));
  return true;
}

std::string ProgramDriver::StateField(const std::string& line, const std::string& field) const {
  std::istringstream lines(home_.Vkbd("state 0").value_or(""));
  std::string text;
  while (std::getline(lines, text)) {
    if (text.rfind(line + " ", 0) != 0) continue;
    const std::size_t at = text.find(" " + field + "=");
    if (at == std::string::npos) continue;
    const std::size_t start = at + field.size() + 2;
    return text.substr(start, text.find(' ', start) - start);
  }
  return {};
}

int ProgramDriver::LightingCommands() const {
  const std::string value = StateField("lighting", "commands");
  return value.empty() ? -1 : std::atoi(value.c_str());
}

std::optional<std::string> ProgramDriver::KeyboardLog(std::size_t first) const {
  return home_.Vkbd("log 0 " + std::to_string(first));
}

bool ProgramDriver::Running() { return program_ && program_->Running(); }

int ProgramDriver::Quit() {
  if (!program_) return -1;
  GuiTest::SendRequest(Tavex::kExternalQuit);
  const int status = program_->Wait(kQuitWait);
  program_.reset();
  return status;
}

}  // namespace drive
