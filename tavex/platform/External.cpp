// Finding, raising and messaging windows of other processes (single instance, quit request).
#include <X11/Xatom.h>

#include <memory>

#include "X11Connection.h"
#include "tavex/Native.h"

namespace Tavex::Platform {
namespace {

struct DisplayCloser {
  void operator()(Display* d) const {
    if (d != nullptr) XCloseDisplay(d);
  }
};
using OwnDisplay = std::unique_ptr<Display, DisplayCloser>;

OwnDisplay OpenOwn() {
  OwnDisplay d(XOpenDisplay(nullptr));
  return d;
}

bool HasProperty(Display* dpy, ::Window w, Atom property) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const bool found = XGetWindowProperty(dpy, w, property, 0, 0, False, AnyPropertyType, &type,
                                        &format, &count, &after, &data) == Success &&
                     type != None;
  if (data != nullptr) XFree(data);
  return found;
}

// Ignores X errors while it lives: the window of another process may vanish at any moment, and
// the default handler would end this process. The previous handler comes back afterwards.
class ErrorTrap {
 public:
  ErrorTrap() : previous_(XSetErrorHandler(Ignore)) {}
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  ~ErrorTrap() { XSetErrorHandler(previous_); }

 private:
  static int Ignore(Display*, XErrorEvent*) { return 0; }
  XErrorHandler previous_;
};

bool WindowManagerRunning(Display* dpy) {
  const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", True);
  return check != None && HasProperty(dpy, DefaultRootWindow(dpy), check);
}

// Our windows are children of the root, or grandchildren when a window manager framed them.
::Window Search(Display* dpy, ::Window parent, Atom property, int depth) {
  ::Window rootRet = 0, parentRet = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(dpy, parent, &rootRet, &parentRet, &children, &count)) return 0;
  ::Window found = 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    if (HasProperty(dpy, children[i], property)) found = children[i];
  }
  for (unsigned i = 0; i < count && found == 0 && depth > 1; ++i) {
    found = Search(dpy, children[i], property, depth - 1);
  }
  if (children != nullptr) XFree(children);
  return found;
}

}  // namespace
}  // namespace Tavex::Platform

namespace Tavex::Native {
using namespace Tavex::Platform;

std::uint64_t GetNativeId(HWND hwnd) {
  auto rec = FindOwnWindow(hwnd);
  return rec ? rec->xid : 0;
}

bool SetExternalMark(HWND hwnd, const char* name, const std::string& value) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec || name == nullptr || *name == '\0') return false;
  const Atom property = XInternAtom(c->dpy, name, False);
  XChangeProperty(c->dpy, static_cast<::Window>(rec->xid), property, c->atoms.utf8String, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(value.data()),
                  static_cast<int>(value.size()));
  XFlush(c->dpy);
  return true;
}

std::uint64_t FindExternalWindow(const char* name) {
  if (name == nullptr || *name == '\0') return 0;
  OwnDisplay dpy = OpenOwn();
  if (!dpy) return 0;
  const Atom property = XInternAtom(dpy.get(), name, True);
  if (property == None) return 0;
  return Search(dpy.get(), DefaultRootWindow(dpy.get()), property, 2);
}

bool ActivateExternalWindow(std::uint64_t nativeId) {
  if (nativeId == 0) return false;
  OwnDisplay dpy = OpenOwn();
  if (!dpy) return false;
  Display* d = dpy.get();
  const ::Window w = static_cast<::Window>(nativeId);
  const ErrorTrap trap;
  XWindowAttributes before{};
  if (!XGetWindowAttributes(d, w, &before)) return false;
  // Mapping brings back a window withdrawn to the tray as well as an iconified one.
  XMapRaised(d, w);
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = 2;  // from a pager-like tool: honoured even without user time
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &ev);
  XSync(d, False);
  // Without a window manager nobody answers the activation request: focus it ourselves, once
  // the map has made it viewable (focusing an unviewable window is an error).
  XWindowAttributes after{};
  if (!WindowManagerRunning(d) && XGetWindowAttributes(d, w, &after) &&
      after.map_state == IsViewable) {
    XSetInputFocus(d, w, RevertToParent, CurrentTime);
    XSync(d, False);
  }
  return true;
}

bool PostExternalMessage(std::uint64_t nativeId, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (nativeId == 0) return false;
  OwnDisplay dpy = OpenOwn();
  if (!dpy) return false;
  Display* d = dpy.get();
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = static_cast<::Window>(nativeId);
  ev.xclient.message_type = XInternAtom(d, "_TAVEX_WINDOW_MESSAGE", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(msg);
  ev.xclient.data.l[1] = static_cast<long>(static_cast<std::uint32_t>(wParam));
  ev.xclient.data.l[2] = static_cast<long>(static_cast<std::int32_t>(lParam));
  const Status ok = XSendEvent(d, ev.xclient.window, False, NoEventMask, &ev);
  XSync(d, False);
  return ok != 0;
}

}  // namespace Tavex::Native
