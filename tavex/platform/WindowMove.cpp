// Interactive window moves: through the window manager when one runs, else by the library.
#include "ThreadQueue.h"
#include "X11Connection.h"
#include "tavex/Native.h"

namespace Tavex::Platform {
namespace {
::Window XidOf(const WindowRecord& rec) { return static_cast<::Window>(rec.xid); }
}  // namespace

void StartWindowMove(X11Connection& c, HWND hwnd, const POINT* pressRoot) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || (rec->style.load() & WS_CHILD)) return;
  ::Window rootRet = 0, childRet = 0;
  int rx = 0, ry = 0, wx = 0, wy = 0;
  unsigned mask = 0;
  XQueryPointer(c.dpy, c.root, &rootRet, &childRet, &rx, &ry, &wx, &wy, &mask);
  if (c.capture != nullptr) Native::ReleaseCapture();
  const int startX = pressRoot != nullptr ? pressRoot->x : rx;
  const int startY = pressRoot != nullptr ? pressRoot->y : ry;
  if (!(mask & Button1Mask)) {
    // The press was handled after its button came up (a busy moment): the drag is over, so
    // finish it at once where the pointer is; a grab now would never see its release.
    const RECT s = rec->rect;
    if (rx != startX || ry != startY) {
      Native::SetWindowPos(hwnd, nullptr, s.left + rx - startX, s.top + ry - startY, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SendNow(hwnd, WM_EXITSIZEMOVE, 0, 0);
    return;
  }
  if (!rec->overrideRedirect && c.WindowManagerRunning()) {
    XUngrabPointer(c.dpy, CurrentTime);
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = XidOf(*rec);
    ev.xclient.message_type = c.atoms.netWmMoveResize;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = rx;
    ev.xclient.data.l[1] = ry;
    ev.xclient.data.l[2] = 8;  // _NET_WM_MOVERESIZE_MOVE
    ev.xclient.data.l[3] = Button1;
    ev.xclient.data.l[4] = 1;
    XSendEvent(c.dpy, c.root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XFlush(c.dpy);
    return;
  }
  c.moveDrag = MoveDrag{true, hwnd, startX, startY, rec->rect};
  XGrabPointer(c.dpy, XidOf(*rec), False, ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
               GrabModeAsync, None, None, CurrentTime);
}

bool ContinueWindowMove(X11Connection& c, XEvent& ev) {
  MoveDrag& d = c.moveDrag;
  if (ev.type == MotionNotify) {
    while (XCheckTypedEvent(c.dpy, MotionNotify, &ev)) {
    }
    const RECT& s = d.startRect;
    Native::SetWindowPos(d.hwnd, nullptr, s.left + ev.xmotion.x_root - d.startX,
                         s.top + ev.xmotion.y_root - d.startY, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
  }
  if (ev.type == ButtonRelease && ev.xbutton.button == Button1) {
    d.active = false;
    XUngrabPointer(c.dpy, CurrentTime);
    SendNow(d.hwnd, WM_EXITSIZEMOVE, 0, 0);
    return true;
  }
  if (ev.type == ButtonPress) return true;
  return false;
}

}  // namespace Tavex::Platform
