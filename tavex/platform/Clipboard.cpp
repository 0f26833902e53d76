#include "tavex/Clipboard.h"

#include "Clipboard.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <chrono>
#include <vector>

#include "X11Connection.h"

namespace Tavex::Platform {

namespace {

// State of the UI thread's clipboard window (only that thread touches it).
struct ClipboardState {
  Display* dpy = nullptr;
  ::Window window = 0;
  Atom clipboard = 0, utf8 = 0, targets = 0, text = 0, property = 0;
  std::string owned;
  bool owner = false;
};

ClipboardState& State() {
  static ClipboardState state;
  return state;
}

ClipboardState* Ready() {
  X11Connection* c = X11Connection::Ensure();
  if (c == nullptr || c->dpy == nullptr) return nullptr;
  ClipboardState& s = State();
  if (s.dpy == c->dpy && s.window != 0) return &s;
  s = ClipboardState{};
  s.dpy = c->dpy;
  s.window = XCreateSimpleWindow(c->dpy, c->root, -10, -10, 1, 1, 0, 0, 0);
  if (s.window == 0) return nullptr;
  s.clipboard = XInternAtom(c->dpy, "CLIPBOARD", False);
  s.utf8 = XInternAtom(c->dpy, "UTF8_STRING", False);
  s.targets = XInternAtom(c->dpy, "TARGETS", False);
  s.text = XInternAtom(c->dpy, "TEXT", False);
  s.property = XInternAtom(c->dpy, "TAVEX_CLIPBOARD", False);
  return &s;
}

void Answer(ClipboardState& s, const XSelectionRequestEvent& req) {
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.display = req.display;
  reply.requestor = req.requestor;
  reply.selection = req.selection;
  reply.target = req.target;
  reply.time = req.time;
  // Obsolete clients leave the property out; the target names it then.
  const Atom property = req.property != None ? req.property : req.target;
  reply.property = None;
  if (s.owner && req.selection == s.clipboard) {
    if (req.target == s.targets) {
      const Atom list[] = {s.targets, s.utf8, XA_STRING, s.text};
      XChangeProperty(s.dpy, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(list), 4);
      reply.property = property;
    } else if (req.target == s.utf8 || req.target == XA_STRING || req.target == s.text) {
      const Atom type = req.target == XA_STRING ? XA_STRING : s.utf8;
      XChangeProperty(s.dpy, req.requestor, property, type, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(s.owned.data()),
                      static_cast<int>(s.owned.size()));
      reply.property = property;
    }
  }
  XSendEvent(s.dpy, req.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
  XFlush(s.dpy);
}

}  // namespace

bool HandleClipboardEvent(X11Connection& c, XEvent& ev) {
  ClipboardState& s = State();
  if (s.window == 0 || s.dpy != c.dpy || ev.xany.window != s.window) return false;
  if (ev.type == SelectionRequest) Answer(s, ev.xselectionrequest);
  if (ev.type == SelectionClear && ev.xselectionclear.selection == s.clipboard) {
    s.owner = false;
    s.owned.clear();
  }
  return true;
}

}  // namespace Tavex::Platform

namespace Tavex::Native {

using Platform::ClipboardState;

bool SetClipboardText(const std::string& text) {
  ClipboardState* s = Platform::Ready();
  if (s == nullptr) return false;
  s->owned = text;
  XSetSelectionOwner(s->dpy, s->clipboard, s->window, CurrentTime);
  s->owner = XGetSelectionOwner(s->dpy, s->clipboard) == s->window;
  XFlush(s->dpy);
  return s->owner;
}

bool OwnsClipboard() {
  ClipboardState* s = Platform::Ready();
  return s != nullptr && s->owner && XGetSelectionOwner(s->dpy, s->clipboard) == s->window;
}

bool GetClipboardText(std::string* text, int timeoutMs) {
  ClipboardState* s = Platform::Ready();
  if (s == nullptr || text == nullptr) return false;
  if (XGetSelectionOwner(s->dpy, s->clipboard) == None) return false;
  XDeleteProperty(s->dpy, s->window, s->property);
  XConvertSelection(s->dpy, s->clipboard, s->utf8, s->property, s->window, CurrentTime);
  XFlush(s->dpy);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  XEvent ev;
  bool answered = false;
  while (!answered) {
    // Our own window may be the owner: answer requests while waiting; other events stay queued.
    if (XCheckTypedWindowEvent(s->dpy, s->window, SelectionRequest, &ev)) {
      Platform::HandleClipboardEvent(*Platform::X11Connection::Current(), ev);
      continue;
    }
    if (XCheckTypedWindowEvent(s->dpy, s->window, SelectionNotify, &ev)) {
      answered = true;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    pollfd pfd{ConnectionNumber(s->dpy), POLLIN, 0};
    poll(&pfd, 1, 5);
  }
  if (ev.xselection.property == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int rc = XGetWindowProperty(s->dpy, s->window, s->property, 0, 1L << 24, True,
                                    AnyPropertyType, &type, &format, &count, &after, &data);
  if (rc != Success) return false;
  bool ok = false;
  if (data != nullptr && format == 8 && (type == s->utf8 || type == XA_STRING)) {
    text->assign(reinterpret_cast<const char*>(data), count);
    ok = true;
  }
  if (data != nullptr) XFree(data);
  return ok;
}

}  // namespace Tavex::Native
