// Focus, capture, mouse tracking, cursors, key state, system metrics, synthesised input.
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>

#include <array>
#include <atomic>

#include "Clock.h"
#include "KeyMap.h"
#include "ThreadQueue.h"
#include "X11Connection.h"
#include "tavex/Native.h"

namespace Tavex::Platform {
namespace {

// Bit 0: down; bit 1: pressed since the last GetAsyncKeyState of that key.
std::array<std::atomic<std::uint8_t>, 256> g_keys{};

bool Down(UINT vk) { return vk < 256 && (g_keys[vk].load() & 1) != 0; }

// Modifiers of the key message this thread fetched last; -1 before the first.
thread_local int t_messageModifiers = -1;

}  // namespace

void SetMessageModifiers(int modifiers) { t_messageModifiers = modifiers; }

void SetKeyDown(UINT vk, bool down) {
  if (vk >= 256) return;
  if (down) {
    g_keys[vk].fetch_or(3);
  } else {
    g_keys[vk].fetch_and(static_cast<std::uint8_t>(~1u));
  }
}

void SyncModifiers(unsigned state) {
  // Modifiers pressed while another client had the focus still count.
  const bool shift = (state & ShiftMask) != 0;
  const bool ctrl = (state & ControlMask) != 0;
  const bool alt = (state & Mod1Mask) != 0;
  if (!shift) {
    SetKeyDown(VK_LSHIFT, false);
    SetKeyDown(VK_RSHIFT, false);
  }
  if (!ctrl) {
    SetKeyDown(VK_LCONTROL, false);
    SetKeyDown(VK_RCONTROL, false);
  }
  if (!alt) {
    SetKeyDown(VK_LMENU, false);
    SetKeyDown(VK_RMENU, false);
  }
  if (shift != Down(VK_SHIFT)) SetKeyDown(VK_SHIFT, shift);
  if (ctrl != Down(VK_CONTROL)) SetKeyDown(VK_CONTROL, ctrl);
  if (alt != Down(VK_MENU)) SetKeyDown(VK_MENU, alt);
}

}  // namespace Tavex::Platform

namespace Tavex::Native {
using namespace Tavex::Platform;

HWND SetFocus(HWND hwnd) {
  X11Connection* c = X11Connection::Current();
  if (c == nullptr) return nullptr;
  const HWND old = c->focus;
  if (hwnd == nullptr) {
    ChangeFocus(*c, nullptr);
    return old;
  }
  auto rec = FindOwnWindow(hwnd);
  if (!rec || !rec->alive.load()) return nullptr;
  if (rec->visible && !rec->iconic) {
    c->focusRequest = NextRequest(c->dpy);
    XSetInputFocus(c->dpy, static_cast<::Window>(rec->xid), RevertToParent, CurrentTime);
  }
  ChangeFocus(*c, hwnd);
  return old;
}

HWND GetFocus() {
  X11Connection* c = X11Connection::Current();
  return c == nullptr ? nullptr : c->focus;
}

bool SetForegroundWindow(HWND hwnd) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec || !rec->alive.load()) return false;
  const ::Window xid = static_cast<::Window>(rec->xid);
  if (c->WindowManagerRunning()) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = xid;
    ev.xclient.message_type = c->atoms.netActiveWindow;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 1;  // from an application
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(c->dpy, c->root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
  }
  XRaiseWindow(c->dpy, xid);
  SetFocus(hwnd);
  XFlush(c->dpy);
  return true;
}

HWND GetForegroundWindow() {
  X11Connection* c = X11Connection::Current();
  return c == nullptr ? nullptr : c->active;
}

HWND GetActiveWindow() { return GetForegroundWindow(); }

HWND SetCapture(HWND hwnd) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec || !rec->alive.load()) return nullptr;
  const HWND old = c->capture;
  XGrabPointer(c->dpy, static_cast<::Window>(rec->xid), False,
               ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                   LeaveWindowMask,
               GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  c->capture = hwnd;
  if (old != nullptr && old != hwnd) {
    SendNow(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  }
  return old;
}

bool ReleaseCapture() {
  X11Connection* c = X11Connection::Current();
  if (c == nullptr) return false;
  const HWND old = c->capture;
  if (old == nullptr) return true;
  c->capture = nullptr;
  XUngrabPointer(c->dpy, CurrentTime);
  XFlush(c->dpy);
  SendNow(old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

HWND GetCapture() {
  X11Connection* c = X11Connection::Current();
  return c == nullptr ? nullptr : c->capture;
}

bool TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  X11Connection* c = X11Connection::Current();
  if (c == nullptr || tme == nullptr) return false;
  auto rec = FindOwnWindow(tme->hwndTrack);
  if (!rec || !rec->alive.load()) return false;
  const HWND hwnd = tme->hwndTrack;
  if (tme->dwFlags & TME_CANCEL) {
    if (tme->dwFlags & TME_LEAVE) c->leaveTrack.erase(hwnd);
    if ((tme->dwFlags & TME_HOVER) && c->hover.hwnd == hwnd) c->hover.active = false;
    return true;
  }
  if (tme->dwFlags & TME_LEAVE) {
    if (c->pointerWindow != hwnd) {
      PostInput(hwnd, WM_MOUSELEAVE, 0, 0);
    } else {
      c->leaveTrack[hwnd] = true;
    }
  }
  if (tme->dwFlags & TME_HOVER) {
    ::Window rootRet = 0, childRet = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(c->dpy, static_cast<::Window>(rec->xid), &rootRet, &childRet, &rx, &ry, &wx,
                  &wy, &mask);
    const DWORD ms = (tme->dwHoverTime == HOVER_DEFAULT || tme->dwHoverTime == 0)
                         ? 400
                         : tme->dwHoverTime;
    c->hover = HoverTrack{true, hwnd, ms, POINT{wx, wy}, NowMs() + ms};
  }
  return true;
}

HCURSOR LoadCursor(HINSTANCE, UINT idc) {
  switch (idc) {
    case IDC_ARROW: case IDC_IBEAM: case IDC_WAIT: case IDC_CROSS: case IDC_SIZENWSE:
    case IDC_SIZENESW: case IDC_SIZEWE: case IDC_SIZENS: case IDC_SIZEALL: case IDC_NO:
    case IDC_HAND:
      return reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(idc));
    default:
      return nullptr;
  }
}

HCURSOR SetCursor(HCURSOR cursor) {
  X11Connection* c = X11Connection::Current();
  if (c == nullptr) return nullptr;
  const HCURSOR old = c->currentCursor;
  if (cursor == nullptr) return old;
  c->currentCursor = cursor;
  const HWND target = c->capture != nullptr ? c->capture : c->pointerWindow;
  auto rec = FindOwnWindow(target);
  if (!rec || !rec->alive.load()) return old;
  const UINT idc = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(cursor));
  if (rec->cursorShown != idc) {
    rec->cursorShown = idc;
    XDefineCursor(c->dpy, static_cast<::Window>(rec->xid), c->CursorFor(idc));
  }
  return old;
}

bool GetCursorPos(POINT* pt) {
  X11Connection* c = X11Connection::Current();
  if (c == nullptr || pt == nullptr) return false;
  ::Window rootRet = 0, childRet = 0;
  int rx = 0, ry = 0, wx = 0, wy = 0;
  unsigned mask = 0;
  if (!XQueryPointer(c->dpy, c->root, &rootRet, &childRet, &rx, &ry, &wx, &wy, &mask)) {
    return false;
  }
  *pt = POINT{rx, ry};
  return true;
}

bool SetCursorPos(int x, int y) {
  X11Connection* c = X11Connection::Current();
  if (c == nullptr) return false;
  XWarpPointer(c->dpy, None, c->root, 0, 0, 0, 0, x, y);
  XFlush(c->dpy);
  return true;
}

SHORT GetKeyState(int vk) {
  if (vk < 0 || vk >= 256) return 0;
  const int bit = vk == VK_SHIFT ? 1 : vk == VK_CONTROL ? 2 : vk == VK_MENU ? 4 : 0;
  if (bit != 0 && t_messageModifiers >= 0) {
    return (t_messageModifiers & bit) != 0 ? static_cast<SHORT>(0x8000) : 0;
  }
  return Down(static_cast<UINT>(vk)) ? static_cast<SHORT>(0x8000) : 0;
}

SHORT GetAsyncKeyState(int vk) {
  if (vk < 0 || vk >= 256) return 0;
  const std::uint8_t before = g_keys[vk].fetch_and(static_cast<std::uint8_t>(~2u));
  SHORT result = 0;
  if (before & 1) result = static_cast<SHORT>(0x8000);
  if (before & 2) result = static_cast<SHORT>(result | 1);
  return result;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    default: break;
  }
  X11Connection* c = X11Connection::Current();
  if (c == nullptr) return 0;
  if (index == SM_CXSCREEN) return DisplayWidth(c->dpy, c->screen);
  if (index == SM_CYSCREEN) return DisplayHeight(c->dpy, c->screen);
  return 0;
}

UINT GetDoubleClickTime() { return 500; }
UINT GetCaretBlinkTime() { return 530; }

bool GetWorkArea(HWND, RECT* rect) {
  X11Connection* c = X11Connection::Ensure();  // callable before the first window
  if (c == nullptr || rect == nullptr) return false;
  *rect = RECT{0, 0, DisplayWidth(c->dpy, c->screen), DisplayHeight(c->dpy, c->screen)};
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(c->dpy, c->root, c->atoms.netWorkarea, 0, 4, False, XA_CARDINAL, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr && format == 32 && count >= 4) {
    const long* v = reinterpret_cast<const long*>(data);
    if (v[2] > 0 && v[3] > 0) {
      *rect = RECT{static_cast<LONG>(v[0]), static_cast<LONG>(v[1]),
                   static_cast<LONG>(v[0] + v[2]), static_cast<LONG>(v[1] + v[3])};
    }
  }
  if (data != nullptr) XFree(data);
  return true;
}

bool DisplayAvailable() {
  Display* dpy = XOpenDisplay(nullptr);
  if (dpy == nullptr) return false;
  XCloseDisplay(dpy);
  return true;
}

UINT SendInput(const InputEvent* events, UINT count) {
  if (events == nullptr || count == 0) return 0;
  Display* dpy = XOpenDisplay(nullptr);
  if (dpy == nullptr) return 0;
  int ev = 0, err = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(dpy, &ev, &err, &major, &minor)) {
    XCloseDisplay(dpy);
    return 0;
  }
  UINT sent = 0;
  for (UINT i = 0; i < count; ++i) {
    const InputEvent& e = events[i];
    bool ok = true;
    switch (e.kind) {
      case InputEvent::KeyDown:
      case InputEvent::KeyUp: {
        UINT vk = e.vk;
        if (vk == VK_SHIFT) vk = VK_LSHIFT;
        if (vk == VK_CONTROL) vk = VK_LCONTROL;
        if (vk == VK_MENU) vk = VK_LMENU;
        const KeyCode code = XKeysymToKeycode(dpy, KeysymOfVirtualKey(vk));
        ok = code != 0 && XTestFakeKeyEvent(dpy, code, e.kind == InputEvent::KeyDown, 0);
        break;
      }
      case InputEvent::MouseMove:
        ok = XTestFakeMotionEvent(dpy, DefaultScreen(dpy), e.x, e.y, 0);
        break;
      case InputEvent::ButtonDown:
      case InputEvent::ButtonUp: {
        const unsigned button = e.vk == VK_RBUTTON ? 3 : e.vk == VK_MBUTTON ? 2 : 1;
        ok = XTestFakeButtonEvent(dpy, button, e.kind == InputEvent::ButtonDown, 0);
        break;
      }
      case InputEvent::Wheel: {
        const int steps = e.wheelDelta / WHEEL_DELTA;
        const unsigned up = e.horizontal ? 7 : 4;
        const unsigned down = e.horizontal ? 6 : 5;
        for (int s = 0; s < (steps < 0 ? -steps : steps) && ok; ++s) {
          const unsigned b = steps > 0 ? up : down;
          ok = XTestFakeButtonEvent(dpy, b, True, 0) && XTestFakeButtonEvent(dpy, b, False, 0);
        }
        break;
      }
    }
    if (!ok) break;
    ++sent;
  }
  XSync(dpy, False);
  XCloseDisplay(dpy);
  return sent;
}

}  // namespace Tavex::Native
