#include "X11Connection.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/cursorfont.h>

#include <atomic>
#include <climits>
#include <mutex>

#include "Clock.h"
#include "DisplayHooks.h"
#include "ThreadQueue.h"

namespace Tavex::Platform {
namespace {

std::mutex g_openMutex;
X11Connection* g_conn = nullptr;  // lives for the process once opened
std::atomic<DWORD> g_owner{0};

int IgnoreXErrors(Display*, XErrorEvent*) {
  // Requests on windows that another client destroyed (foreign windows, a closing peer) fail
  // harmlessly; the default handler would end the process.
  return 0;
}

}  // namespace

X11Connection* X11Connection::Current() {
  const DWORD owner = g_owner.load(std::memory_order_acquire);
  if (owner == 0 || owner != CurrentThreadId()) return nullptr;
  return g_conn;
}

X11Connection* X11Connection::Ensure() {
  if (X11Connection* c = Current()) return c;
  std::lock_guard lock(g_openMutex);
  if (g_owner.load() != 0) return nullptr;  // another thread is the UI thread
  Display* dpy = XOpenDisplay(nullptr);
  if (dpy == nullptr) return nullptr;
  XSetErrorHandler(IgnoreXErrors);
  auto* c = new X11Connection;
  c->dpy = dpy;
  c->screen = DefaultScreen(dpy);
  c->root = RootWindow(dpy, c->screen);
  c->owner = CurrentThreadId();
  Bool supported = False;
  XkbSetDetectableAutoRepeat(dpy, True, &supported);
  Atoms& a = c->atoms;
  auto intern = [dpy](const char* name) { return XInternAtom(dpy, name, False); };
  a.wmProtocols = intern("WM_PROTOCOLS");
  a.wmDeleteWindow = intern("WM_DELETE_WINDOW");
  a.wmState = intern("WM_STATE");
  a.netWmPing = intern("_NET_WM_PING");
  a.netWmName = intern("_NET_WM_NAME");
  a.utf8String = intern("UTF8_STRING");
  a.netWmIcon = intern("_NET_WM_ICON");
  a.motifWmHints = intern("_MOTIF_WM_HINTS");
  a.netWmWindowType = intern("_NET_WM_WINDOW_TYPE");
  a.typeNormal = intern("_NET_WM_WINDOW_TYPE_NORMAL");
  a.typeDialog = intern("_NET_WM_WINDOW_TYPE_DIALOG");
  a.typeUtility = intern("_NET_WM_WINDOW_TYPE_UTILITY");
  a.typePopupMenu = intern("_NET_WM_WINDOW_TYPE_POPUP_MENU");
  a.typeTooltip = intern("_NET_WM_WINDOW_TYPE_TOOLTIP");
  a.typeDropdownMenu = intern("_NET_WM_WINDOW_TYPE_DROPDOWN_MENU");
  a.netWmState = intern("_NET_WM_STATE");
  a.stateAbove = intern("_NET_WM_STATE_ABOVE");
  a.stateMaxVert = intern("_NET_WM_STATE_MAXIMIZED_VERT");
  a.stateMaxHorz = intern("_NET_WM_STATE_MAXIMIZED_HORZ");
  a.stateHidden = intern("_NET_WM_STATE_HIDDEN");
  a.stateSkipTaskbar = intern("_NET_WM_STATE_SKIP_TASKBAR");
  a.netActiveWindow = intern("_NET_ACTIVE_WINDOW");
  a.netWorkarea = intern("_NET_WORKAREA");
  a.netWmPid = intern("_NET_WM_PID");
  a.netWmMoveResize = intern("_NET_WM_MOVERESIZE");
  a.netWmWindowOpacity = intern("_NET_WM_WINDOW_OPACITY");
  a.netSupportingWmCheck = intern("_NET_SUPPORTING_WM_CHECK");
  a.tavexMessage = intern("_TAVEX_WINDOW_MESSAGE");
  a.cardinal = XA_CARDINAL;
  XVisualInfo info{};
  if (XMatchVisualInfo(dpy, c->screen, 32, TrueColor, &info)) {
    c->argbVisual = info.visual;
    c->argbColormap = XCreateColormap(dpy, c->root, info.visual, AllocNone);
  }
  c->ime = std::make_unique<InputMethod>(*c);
  c->ime->PrepareOnce();
  g_conn = c;
  g_owner.store(c->owner, std::memory_order_release);
  return c;
}

std::shared_ptr<WindowRecord> X11Connection::RecordOf(::Window xid) const {
  auto it = byXid.find(xid);
  if (it == byXid.end()) return nullptr;
  return FindWindow(it->second);
}

bool X11Connection::WindowManagerRunning() {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool running = false;
  if (XGetWindowProperty(dpy, root, atoms.netSupportingWmCheck, 0, 1, False, XA_WINDOW, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr && count == 1) {
    running = true;
  }
  if (data != nullptr) XFree(data);
  return running;
}

::Cursor X11Connection::CursorFor(UINT idc) {
  auto it = cursors.find(idc);
  if (it != cursors.end()) return it->second;
  unsigned shape = XC_left_ptr;
  switch (idc) {
    case IDC_IBEAM: shape = XC_xterm; break;
    case IDC_WAIT: shape = XC_watch; break;
    case IDC_CROSS: shape = XC_crosshair; break;
    case IDC_SIZENWSE: shape = XC_bottom_right_corner; break;
    case IDC_SIZENESW: shape = XC_bottom_left_corner; break;
    case IDC_SIZEWE: shape = XC_sb_h_double_arrow; break;
    case IDC_SIZENS: shape = XC_sb_v_double_arrow; break;
    case IDC_SIZEALL: shape = XC_fleur; break;
    case IDC_NO: shape = XC_X_cursor; break;
    case IDC_HAND: shape = XC_hand2; break;
    default: break;
  }
  const ::Cursor cursor = XCreateFontCursor(dpy, shape);
  cursors[idc] = cursor;
  return cursor;
}

void X11Connection::SetWindowState(const WindowRecord& rec, Atom state, bool on) {
  const ::Window xid = static_cast<::Window>(rec.xid);
  if (rec.visible) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = xid;
    ev.xclient.message_type = atoms.netWmState;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = on ? 1 : 0;
    ev.xclient.data.l[1] = static_cast<long>(state);
    ev.xclient.data.l[3] = 1;
    XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
  }
  // Keep the property right for a window that is mapped later (and for no manager at all).
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<Atom> states;
  if (XGetWindowProperty(dpy, xid, atoms.netWmState, 0, 64, False, XA_ATOM, &type, &format,
                         &count, &after, &data) == Success && data != nullptr && format == 32) {
    const auto* list = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count; ++i) {
      if (list[i] != state) states.push_back(list[i]);
    }
  }
  if (data != nullptr) XFree(data);
  if (on) states.push_back(state);
  XChangeProperty(dpy, xid, atoms.netWmState, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(states.data()),
                  static_cast<int>(states.size()));
}

// ---- hooks of the message loop ----------------------------------------------------------

bool IsUiThread() { return X11Connection::Current() != nullptr; }

void PumpDisplay() {
  X11Connection* c = X11Connection::Current();
  if (c == nullptr) return;
  while (XPending(c->dpy) > 0) {
    XEvent ev;
    XNextEvent(c->dpy, &ev);
    if (DeliverRawKey(*c, ev)) continue;
    // The input method sees every event first: it talks to its server through them and
    // swallows the keys that build a composition.
    if (c->ime->Filter(ev)) continue;
    c->Translate(ev);
  }
  c->ime->Idle();
}

void FlushDisplay() {
  if (X11Connection* c = X11Connection::Current()) XFlush(c->dpy);
}

bool DisplayHasQueuedEvents() {
  X11Connection* c = X11Connection::Current();
  return c != nullptr && XEventsQueued(c->dpy, QueuedAlready) > 0;
}

int DisplayFd() {
  X11Connection* c = X11Connection::Current();
  return c == nullptr ? -1 : ConnectionNumber(c->dpy);
}

std::uint64_t NextInputDeadline() {
  X11Connection* c = X11Connection::Current();
  if (c == nullptr || !c->hover.active) return UINT64_MAX;
  return c->hover.deadline;
}

void RunInputTimers(std::uint64_t now) {
  X11Connection* c = X11Connection::Current();
  if (c == nullptr || !c->hover.active || now < c->hover.deadline) return;
  HoverTrack h = c->hover;
  c->hover.active = false;  // one-shot, like the classic tracking
  UINT keys = 0;
  Window rootRet = 0, childRet = 0;
  int rx = 0, ry = 0, wx = 0, wy = 0;
  unsigned mask = 0;
  auto rec = FindOwnWindow(h.hwnd);
  if (!rec || !rec->alive.load()) return;
  if (XQueryPointer(c->dpy, static_cast<::Window>(rec->xid), &rootRet, &childRet, &rx, &ry,
                    &wx, &wy, &mask)) {
    if (mask & Button1Mask) keys |= MK_LBUTTON;
    if (mask & Button2Mask) keys |= MK_MBUTTON;
    if (mask & Button3Mask) keys |= MK_RBUTTON;
    if (mask & ShiftMask) keys |= MK_SHIFT;
    if (mask & ControlMask) keys |= MK_CONTROL;
  } else {
    wx = h.anchor.x;
    wy = h.anchor.y;
  }
  PostInput(h.hwnd, WM_MOUSEHOVER, keys, MAKELPARAM(wx, wy));
}

}  // namespace Tavex::Platform
