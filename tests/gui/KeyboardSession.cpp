#include "KeyboardSession.h"

#include <regex>
#include <sstream>
#include <thread>

#include "GalleryProcess.h"
#include "app/CustomKeyDlg.h"
#include "app/KeyPageController.h"
#include "support/TimeScale.h"

namespace GuiTest {
namespace {

using namespace std::chrono_literals;

constexpr auto kPoll = 100ms;
// The window settles after a transfer's wait dialog, a menu or a box closes.
constexpr auto kSettle = 300ms;
constexpr auto kAfterTransfer = 400ms;
constexpr auto kBoxWait = 5s;
// Where the function list sits in the key page.
const Tavex::CRect kFunctionArea(296, 468, 1199, 712);
// The custom key dialog's first type.
constexpr int kCombinationRow = 0;

}  // namespace

bool Eventually(const std::function<bool()>& test, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + TestSupport::Scaled(limit);
  while (std::chrono::steady_clock::now() < end) {
    if (test()) return true;
    std::this_thread::sleep_for(kPoll);
  }
  return test();
}

KeyboardSession::KeyboardSession() : functions_(nullptr, ids::kKeyFunctions, kFunctionArea) {
  layout_.LoadLayout(ProgramFolder() + "layouts/tarnwick_k87.xml");
  functions_.InitItemInfo();
}

std::string KeyboardSession::Sql(const std::string& query) const {
  return Capture("sqlite3 '" + Database() + "' \"" + query + "\" 2>/dev/null");
}

std::string KeyboardSession::State() const { return home_.Vkbd("state 0").value_or(""); }

int KeyboardSession::StateNumber(const char* pattern) const {
  std::smatch m;
  const std::string state = State();
  return std::regex_search(state, m, std::regex(pattern)) ? std::stoi(m[1]) : -1;
}

bool KeyboardSession::WaitDialogShown() const { return map_.WindowShown(kWaitTitle); }

bool KeyboardSession::WaitForTransfer(int n) {
  const bool arrived = Eventually([&] { return KeyTableTransfers() >= n; }) &&
                       Eventually([&] { return !WaitDialogShown(); });
  std::this_thread::sleep_for(TestSupport::Scaled(kAfterTransfer));
  return arrived;
}

std::vector<std::string> KeyboardSession::KeyTable() const {
  std::vector<std::string> lines;
  const std::string state = State();
  const std::regex line("key \\d+ code=[0-9a-f]+ value=[0-9a-f]+");
  for (auto it = std::sregex_iterator(state.begin(), state.end(), line);
       it != std::sregex_iterator(); ++it)
    lines.push_back(it->str());
  return lines;
}

std::string KeyboardSession::MacroBlock(int index) const {
  const std::string state = State();
  std::smatch m;
  const std::regex line("macroblock " + std::to_string(index) + " ([0-9a-f ]+)");
  return std::regex_search(state, m, line) ? m[1].str() : std::string();
}

std::string KeyboardSession::LastRefresh() const {
  std::istringstream in(home_.ReadFile(home_.DeviceTraceFile()));
  std::string last;
  for (std::string line; std::getline(in, line);)
    if (line.rfind("refresh ", 0) == 0) last = line;
  return last;
}

const LayoutKey* KeyboardSession::FindKey(int code) const {
  for (const LayoutKey& key : layout_.Keys())
    if (key.code == static_cast<uint32_t>(code)) return &key;
  return nullptr;
}

bool KeyboardSession::KeyButton(int code, bool right) {
  const LayoutKey* key = FindKey(code);
  const TestSupport::ScreenRect view = map_.RectOf(ids::kKeyKeyboard);
  if (key == nullptr || view.Empty()) return false;
  const int dx = (view.Width() - layout_.Width()) / 2 + (key->left + key->right) / 2;
  const int dy = (key->top + key->bottom) / 2;
  return right ? map_.RightClickAt(ids::kKeyKeyboard, dx, dy)
               : map_.ClickAt(ids::kKeyKeyboard, dx, dy);
}

bool KeyboardSession::ClickFunction(int value) {
  for (int i = 0; i < functions_.GetItemCount(); ++i) {
    const Tavex::KeyFuncItem* item = functions_.GetItem(i);
    if (item->code != value) continue;
    return map_.ClickAt(ids::kKeyFunctions, (item->rect.left + item->rect.right) / 2,
                        (item->rect.top + item->rect.bottom) / 2);
  }
  return false;
}

bool KeyboardSession::KeyMenu(int code, unsigned command) {
  if (!KeyButton(code, true)) return false;
  map_.SetWindow(kMenuTitle);
  const bool clicked = map_.Click(command);
  map_.SetWindow(kMainTitle);
  return clicked;
}

std::string KeyboardSession::AnswerMessage() {
  map_.SetWindow(kMessageTitle);
  const auto message = map_.WaitFor(kMessageText, kBoxWait);
  if (message) map_.Click(kMessageFirstButton);
  map_.SetWindow(kMainTitle);
  std::this_thread::sleep_for(TestSupport::Scaled(kSettle));
  return message ? message->text : std::string();
}

bool KeyboardSession::InDialog(const std::function<bool()>& steps) {
  map_.SetWindow(kCustomKeyTitle);
  const bool ok = map_.WaitFor(CustomKeyDlg::kConfirm, kBoxWait).has_value() && steps();
  map_.SetWindow(kMainTitle);
  return ok;
}

bool KeyboardSession::PickRow(unsigned id, int row) {
  if (!map_.Click(id)) return false;
  std::this_thread::sleep_for(TestSupport::Scaled(kSettle));
  bool ok = TestSupport::RunXDoTool("key Home");
  for (int i = 0; i < row; ++i) ok = ok && TestSupport::RunXDoTool("key Down");
  ok = ok && TestSupport::RunXDoTool("key Return");
  std::this_thread::sleep_for(TestSupport::Scaled(kSettle));
  return ok;
}

bool KeyboardSession::AssignShiftCtrlCombination(int code, const std::string& key) {
  return KeyMenu(code, KeyPageController::kMenuShortcut) && InDialog([&] {
    return PickRow(CustomKeyDlg::kTypeList, kCombinationRow) && map_.Click(CustomKeyDlg::kField) &&
           TestSupport::RunXDoTool("key " + key) && map_.Click(CustomKeyDlg::kShift) &&
           map_.Click(CustomKeyDlg::kCtrl) && map_.Click(CustomKeyDlg::kConfirm);
  });
}

}  // namespace GuiTest
