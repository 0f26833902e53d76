#include "support/ControlMap.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "support/TimeScale.h"

namespace TestSupport {
namespace {

constexpr const char* kVariable = "TAVEX_CONTROL_MAP";
constexpr const char* kTitleTag = " title=";
constexpr const char* kTextTag = " text=";
constexpr std::chrono::milliseconds kPollInterval{30};
constexpr int kXDoToolSeconds = 10;
constexpr int kClassNameMax = 63;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::vector<MappedControl> ParseControlMap(const std::string& text) {
  std::vector<MappedControl> controls;
  MappedControl window;  // the window fields of the lines that follow
  bool inWindow = false;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    unsigned long long native = 0;
    int pid = 0;
    ScreenRect r;
    if (std::sscanf(line.c_str(), "window native=%llu pid=%d client=%d,%d,%d,%d", &native, &pid,
                    &r.left, &r.top, &r.right, &r.bottom) == 6) {
      const std::size_t title = line.find(kTitleTag);
      window = MappedControl{};
      window.window = native;
      window.pid = pid;
      window.client = r;
      window.title = title == std::string::npos ? "" : line.substr(title + std::strlen(kTitleTag));
      inWindow = true;
      continue;
    }
    MappedControl c = window;
    char name[kClassNameMax + 1] = {};
    int visible = 0;
    if (inWindow &&
        std::sscanf(line.c_str(),
                    "control id=%u class=%63s visible=%d rect=%d,%d,%d,%d shown=%d,%d,%d,%d", &c.id,
                    name, &visible, &c.rect.left, &c.rect.top, &c.rect.right, &c.rect.bottom,
                    &c.shown.left, &c.shown.top, &c.shown.right, &c.shown.bottom) == 11) {
      c.className = name;
      c.visible = visible != 0;
      const std::size_t text = line.find(kTextTag);
      c.text = text == std::string::npos ? "" : line.substr(text + std::strlen(kTextTag));
      controls.push_back(std::move(c));
    }
  }
  return controls;
}

ControlMap::ControlMap() : m_folder("kw-e2e") {
  if (Ready()) m_path = m_folder / "controls.map";
}

ControlMap::~ControlMap() = default;

std::pair<std::string, std::string> ControlMap::Environment() const { return {kVariable, m_path}; }

std::vector<MappedControl> ControlMap::Read() const { return ParseControlMap(ReadAll(m_path)); }

std::optional<MappedControl> ControlMap::WaitFor(
    unsigned id, std::chrono::milliseconds timeout,
    const std::function<bool(const MappedControl&)>& accept) const {
  const auto deadline = Clock::now() + Scaled(timeout);
  for (;;) {
    for (const MappedControl& c : Read()) {
      if (c.id != id || !c.visible || c.shown.Empty()) continue;
      if (!m_window.empty() && c.title.find(m_window) == std::string::npos) continue;
      if (accept && !accept(c)) continue;
      return c;
    }
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(kPollInterval);
  }
}

ScreenRect ControlMap::RectOf(unsigned id, std::chrono::milliseconds timeout) const {
  const auto c = WaitFor(id, timeout);
  return c ? c->shown : ScreenRect{};
}

bool ControlMap::MoveTo(unsigned id) const {
  const auto c = WaitFor(id);
  return c && MovePointer(c->shown.CentreX(), c->shown.CentreY());
}

bool ControlMap::ButtonAt(unsigned id, int button,
                          std::optional<std::pair<int, int>> offset) const {
  const auto c = WaitFor(id);
  if (!c) return false;
  const int x = offset ? c->rect.left + offset->first : c->shown.CentreX();
  const int y = offset ? c->rect.top + offset->second : c->shown.CentreY();
  return MovePointer(x, y) && RunXDoTool("click " + std::to_string(button));
}

bool ControlMap::ButtonUntil(unsigned id, std::optional<std::pair<int, int>> offset,
                             const std::function<bool()>& done, int attempts,
                             std::chrono::milliseconds wait) const {
  for (int attempt = 0; attempt < attempts; ++attempt) {
    if (!ButtonAt(id, kLeftButton, offset)) return false;
    const auto deadline = Clock::now() + Scaled(wait);
    for (;;) {
      if (done()) return true;
      if (Clock::now() >= deadline) break;
      std::this_thread::sleep_for(kPollInterval);
    }
  }
  return false;
}

bool ControlMap::WindowShown(const std::string& title) const {
  for (const MappedControl& c : Read())
    if (c.visible && c.title.find(title) != std::string::npos) return true;
  return false;
}

bool ControlMap::Visible(unsigned id) const {
  for (const MappedControl& c : Read())
    if (c.id == id && c.visible) return true;
  return false;
}

bool RunXDoTool(const std::string& args) {
  const std::string cmd =
      "timeout " + std::to_string(kXDoToolSeconds) + " xdotool " + args + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

std::string CommandOutput(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  pclose(pipe);
  return out;
}

bool MovePointer(int x, int y) {
  int px = 0, py = 0;
  const std::string where = CommandOutput("xdotool getmouselocation 2>/dev/null");
  const bool known = std::sscanf(where.c_str(), "x:%d y:%d", &px, &py) == 2;
  const auto move = [](int mx, int my) {
    return RunXDoTool("mousemove --sync " + std::to_string(mx) + " " + std::to_string(my));
  };
  if (known && px == x && py == y) return true;
  if (!(known && px == x + 1 && py == y) && !move(x + 1, y)) return false;
  return move(x, y);
}

}  // namespace TestSupport
