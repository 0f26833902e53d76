#pragma once
// The UI thread's X11 connection and the input state the translator keeps. Only tavex/platform
// includes this header. Everything here is used by the UI thread alone.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "InputMethod.h"
#include "WindowTable.h"
#include "tavex/WinTypes.h"

namespace Tavex::Platform {

struct Atoms {
  Atom wmProtocols, wmDeleteWindow, wmState, netWmPing, netWmName, utf8String, netWmIcon,
      motifWmHints, netWmWindowType, typeNormal, typeDialog, typeUtility, typePopupMenu,
      typeTooltip, typeDropdownMenu, netWmState, stateAbove, stateMaxVert, stateMaxHorz,
      stateHidden, stateSkipTaskbar, netActiveWindow, netWorkarea, netWmPid,
      netWmMoveResize, netWmWindowOpacity, netSupportingWmCheck, tavexMessage, cardinal;
};

struct ClickRecord {
  HWND hwnd = nullptr;
  unsigned button = 0;
  Time time = 0;
  int x = 0;
  int y = 0;
  bool wasDouble = false;
};

struct HoverTrack {
  bool active = false;
  HWND hwnd = nullptr;
  DWORD hoverMs = 400;
  POINT anchor{0, 0};  // client coordinates
  std::uint64_t deadline = 0;
};

// A window move driven by the library itself (no window manager, or an override window).
struct MoveDrag {
  bool active = false;
  HWND hwnd = nullptr;
  int startX = 0;
  int startY = 0;
  RECT startRect{0, 0, 0, 0};
};

class X11Connection {
 public:
  static X11Connection* Current();  // the UI thread's connection, else null
  static X11Connection* Ensure();   // opens it on first use; null on another thread / failure

  Display* dpy = nullptr;
  int screen = 0;
  ::Window root = 0;
  DWORD owner = 0;
  Atoms atoms{};
  Visual* argbVisual = nullptr;
  Colormap argbColormap = 0;
  std::unordered_map<::Window, HWND> byXid;
  std::map<UINT, ::Cursor> cursors;

  HWND focus = nullptr;
  HWND active = nullptr;
  // Request number of our last focus change: the server's focus notices from before it are
  // stale (they would hand the focus back to a window we have just left).
  unsigned long focusRequest = 0;
  HWND capture = nullptr;
  HWND pointerWindow = nullptr;
  ::Cursor shownCursor = 0;
  HCURSOR currentCursor = nullptr;
  ClickRecord lastClick;
  HoverTrack hover;
  std::map<HWND, bool> leaveTrack;
  MoveDrag moveDrag;
  bool keyDown[256] = {};
  // XInput2 raw key watching (RegisterRawKeys): the extension's opcode once queried (0: not
  // yet, -1: missing) and the windows told about raw key presses.
  int xiOpcode = 0;
  std::vector<HWND> rawKeyTargets;
  std::unique_ptr<InputMethod> ime;  // created with the connection, opened on first need

  std::shared_ptr<WindowRecord> RecordOf(::Window xid) const;
  bool WindowManagerRunning();
  ::Cursor CursorFor(UINT idc);
  void SetWindowState(const WindowRecord& rec, Atom state, bool on);
  void Translate(XEvent& ev);
  bool StaleFocusNotice(unsigned long serial) const;

 private:
  X11Connection() = default;
};

// Sends a window message the way the classic API sends it (a direct call on this thread).
LRESULT SendNow(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Applies a new screen rectangle learnt from the server or set by us: stores it and sends
// WM_WINDOWPOSCHANGED, WM_MOVE and WM_SIZE for what changed.
void ApplyGeometry(const std::shared_ptr<WindowRecord>& rec, const RECT& rect, UINT flags);
// The top-level window a window belongs to (itself for a top-level one); null when stale.
HWND TopLevelOf(HWND hwnd);
// Sends WM_KILLFOCUS / WM_ACTIVATE / WM_SETFOCUS for a focus change.
void ChangeFocus(X11Connection& c, HWND to);
bool ExternalMessageAllowed(UINT msg);
// Posts a raw key press to the registered windows; true when the event was one.
bool DeliverRawKey(X11Connection& c, XEvent& ev);
// Key and button state seen by our windows (GetKeyState).
void SetKeyDown(UINT vk, bool down);
void SyncModifiers(unsigned xstate);
// Starts an interactive move of a top-level window (the left button is down).
// Starts an interactive move of a top-level window. pressRoot is the screen point of the button
// press that began it (null: the pointer's current position).
void StartWindowMove(X11Connection& c, HWND hwnd, const POINT* pressRoot = nullptr);
// Handles pointer events of a running move; true when the event was used.
bool ContinueWindowMove(X11Connection& c, XEvent& ev);

}  // namespace Tavex::Platform
