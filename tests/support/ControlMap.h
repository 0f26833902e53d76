#pragma once
// Finds controls of a running program on the screen by their id, from the map file the library
// writes when TAVEX_CONTROL_MAP names it, and clicks them with xdotool. End-to-end tests start
// the program with Environment() and then work with ids only, never with pixel positions.
//
// A ControlMap owns a fresh temporary folder that holds the map file; tests keep their
// screenshots there too (Folder()), and the folder goes when the object does. One thread.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/TempFolder.h"

namespace TestSupport {

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  int CentreX() const { return left + Width() / 2; }
  int CentreY() const { return top + Height() / 2; }
  bool operator==(const ScreenRect&) const = default;
};

// One control line of the map, with the window it belongs to.
struct MappedControl {
  unsigned id = 0;
  std::string className;
  bool visible = false;
  ScreenRect rect;   // the whole control, moved by the scrolling of its panels
  ScreenRect shown;  // the part the panels let through
  std::uint64_t window = 0;
  pid_t pid = 0;
  ScreenRect client;  // the window's client area
  std::string title;  // the window's
  std::string text;   // the control's own (caption, message, edit text)
};

// Parses a map file's text; lines it does not understand are skipped.
std::vector<MappedControl> ParseControlMap(const std::string& text);

class ControlMap {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kDefaultWait{10000};

  ControlMap();
  ~ControlMap();
  ControlMap(const ControlMap&) = delete;
  ControlMap& operator=(const ControlMap&) = delete;

  // False when the temporary folder could not be made.
  bool Ready() const { return !m_folder.Path().empty(); }
  const std::string& Folder() const { return m_folder.Path(); }
  const std::string& Path() const { return m_path; }
  // The variable to give the program under test.
  std::pair<std::string, std::string> Environment() const;

  // Restricts every look-up to windows whose title contains `text` (empty: any window).
  void SetWindow(std::string text) { m_window = std::move(text); }

  // Every control now in the file.
  std::vector<MappedControl> Read() const;
  // Waits until a visible control `id` shows a non-empty part on the screen and `accept` (when
  // given) agrees; the first such control in file order (parents before children), or nothing
  // at the deadline.
  std::optional<MappedControl> WaitFor(
      unsigned id, std::chrono::milliseconds timeout = kDefaultWait,
      const std::function<bool(const MappedControl&)>& accept = nullptr) const;
  // The shown rectangle of control `id`, waited for as above; an empty one on time-out.
  ScreenRect RectOf(unsigned id, std::chrono::milliseconds timeout = kDefaultWait) const;

  // Pointer actions at the centre of a control's shown part (or at `dx`, `dy` from its rect's
  // top-left corner); false when the control did not appear or xdotool failed.
  bool Click(unsigned id) const { return ButtonAt(id, kLeftButton, std::nullopt); }
  bool RightClick(unsigned id) const { return ButtonAt(id, kRightButton, std::nullopt); }
  bool ClickAt(unsigned id, int dx, int dy) const {
    return ButtonAt(id, kLeftButton, std::make_pair(dx, dy));
  }
  bool RightClickAt(unsigned id, int dx, int dy) const {
    return ButtonAt(id, kRightButton, std::make_pair(dx, dy));
  }
  bool MoveTo(unsigned id) const;

  // The program drops clicks while a transfer holds its window: these click (at the centre, or
  // at `dx`, `dy`) until `done` holds, polled for `wait` after each click, at most `attempts`
  // times. False when the control did not appear, xdotool failed or no click had the effect.
  bool ClickUntil(unsigned id, const std::function<bool()>& done, int attempts,
                  std::chrono::milliseconds wait) const {
    return ButtonUntil(id, std::nullopt, done, attempts, wait);
  }
  bool ClickAtUntil(unsigned id, int dx, int dy, const std::function<bool()>& done, int attempts,
                    std::chrono::milliseconds wait) const {
    return ButtonUntil(id, std::make_pair(dx, dy), done, attempts, wait);
  }

  // Whether a window whose title contains `title` shows a visible control now (any window,
  // whatever SetWindow chose).
  bool WindowShown(const std::string& title) const;
  // Whether some visible control `id` is in the map now, in any window; no waiting.
  bool Visible(unsigned id) const;

 private:
  // xdotool's button numbers.
  static constexpr int kLeftButton = 1;
  static constexpr int kRightButton = 3;
  bool ButtonAt(unsigned id, int button, std::optional<std::pair<int, int>> offset) const;
  bool ButtonUntil(unsigned id, std::optional<std::pair<int, int>> offset,
                   const std::function<bool()>& done, int attempts,
                   std::chrono::milliseconds wait) const;
  TempFolder m_folder;
  std::string m_path;
  std::string m_window;
};

// Moves the pointer to (x, y) on the screen and waits until it got there. A synced move to
// where the pointer already is would wait for motion that never comes, so the pointer first
// steps a pixel aside (unless it is there already, or one pixel off already).
bool MovePointer(int x, int y);
// Runs "xdotool <args>" with a time limit; true when it exited 0.
bool RunXDoTool(const std::string& args);
// What a shell command prints on stdout (empty when it cannot be started).
std::string CommandOutput(const std::string& command);

}  // namespace TestSupport
