#include "MainWindowSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "support/TimeScale.h"
#include "tavex/CDeviceCtrl.h"

namespace GuiTest {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr long kQuit = 610;
// The window takes no clicks while the worker loads a keyboard: a tab is clicked again.
constexpr int kTabAttempts = 4;

}  // namespace

void MainWindowSession::Start(const std::string& lang, const std::string& executable) {
  ASSERT_TRUE(map_.Ready());
  program_ = std::make_unique<Spawned>(ProgramCommand(executable),
                                       WithVariable(home_.Environment(lang), map_.Environment()));
  window_ = WaitForMainWindow();
  ASSERT_NE(window_, 0u);
  map_.SetWindow(kMainTitle);
  ASSERT_TRUE(map_.WaitFor(ids::kCloseButton).has_value());
}

int MainWindowSession::Quit() {
  EXPECT_EQ(SendRequest(kQuit), 0);
  return program_->Wait(10s);
}

void MainWindowSession::SelectKeyboard() {
  ASSERT_TRUE(map_.WaitFor(ids::kDeviceList).has_value());
  // The first device refresh marks it connected.
  std::this_thread::sleep_for(TestSupport::Scaled(700ms));
  ASSERT_TRUE(map_.ClickAt(ids::kDeviceList, Tavex::CDeviceCtrl::kRowHeight * 2,
                           Tavex::CDeviceCtrl::kRowHeight / 2));
  ASSERT_TRUE(map_.WaitFor(ids::kTabStrip).has_value()) << "the tab strip did not show";
}

void MainWindowSession::OpenPage(int item) {
  int position = 0;
  while (kItemOrder[position] != item) ++position;
  const unsigned page = ids::kHomePage + static_cast<unsigned>(position);
  ASSERT_TRUE(map_.ClickAtUntil(
      ids::kTabStrip, ids::kTabItemSize / 2, position * ids::kTabItemSize + ids::kTabItemSize / 2,
      [&] { return map_.WaitFor(page, 0ms).has_value(); }, kTabAttempts, 2s))
      << "page " << item << " did not show";
}

std::string MainWindowSession::Pixels(unsigned id) {
  const TestSupport::ScreenRect r = map_.RectOf(id);
  const std::string path = map_.Folder() + "/crop-" + std::to_string(id) + ".png";
  const std::string command = "import -window root -crop " + std::to_string(r.Width()) + "x" +
                              std::to_string(r.Height()) + "+" + std::to_string(r.left) + "+" +
                              std::to_string(r.top) + " '" + path + "' >/dev/null 2>&1";
  if (r.Empty() || std::system(command.c_str()) != 0) return {};
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool MainWindowSession::Screenshot(const std::string& name) {
  const char* dir = std::getenv("KW_SCREENSHOT_DIR");
  const std::string folder = dir != nullptr && *dir != '\0' ? dir : map_.Folder();
  fs::create_directories(folder);
  const std::string path = folder + "/" + name + ".png";
  return SaveScreen(path) && fs::file_size(path) > 0;
}

}  // namespace GuiTest
