#include "tavex/Clipboard.h"

#include "Clipboard.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "X11Connection.h"

namespace Tavex::Platform {

namespace {

using Clock = std::chrono::steady_clock;

// A text larger than one request, handed to a requestor in pieces (INCR): the next piece goes
// out when the requestor deleted the previous one; a zero-length piece ends it.
struct Transfer {
  ::Window requestor = 0;
  Atom property = 0;
  Atom type = 0;
  std::string data;  // a copy: the selection may change hands while the transfer runs
  std::size_t offset = 0;
  bool finishing = false;  // the last piece is out; the empty one follows its deletion
  Clock::time_point last;
};

// A requestor that stops reading for this long is forgotten.
constexpr auto kTransferIdle = std::chrono::seconds(10);

// State of the UI thread's clipboard window (only that thread touches it).
struct ClipboardState {
  Display* dpy = nullptr;
  ::Window window = 0;
  Atom clipboard = 0, utf8 = 0, targets = 0, text = 0, property = 0, incr = 0;
  std::string owned;
  bool owner = false;
  std::size_t chunk = 0;  // largest piece one request carries
  std::vector<Transfer> transfers;
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
  // Pieces of an incoming INCR transfer are announced as property changes.
  XSelectInput(c->dpy, s.window, PropertyChangeMask);
  s.clipboard = XInternAtom(c->dpy, "CLIPBOARD", False);
  s.utf8 = XInternAtom(c->dpy, "UTF8_STRING", False);
  s.targets = XInternAtom(c->dpy, "TARGETS", False);
  s.text = XInternAtom(c->dpy, "TEXT", False);
  s.property = XInternAtom(c->dpy, "TAVEX_CLIPBOARD", False);
  s.incr = XInternAtom(c->dpy, "INCR", False);
  // The classic request limit (without big requests), less the request header.
  const long words = XMaxRequestSize(c->dpy);
  s.chunk = static_cast<std::size_t>(std::max(1024L, words * 4 - 64));
  return &s;
}

void EndTransfer(ClipboardState& s, std::size_t index) {
  const ::Window w = s.transfers[index].requestor;
  s.transfers.erase(s.transfers.begin() + static_cast<std::ptrdiff_t>(index));
  const bool more = std::any_of(s.transfers.begin(), s.transfers.end(),
                                [w](const Transfer& t) { return t.requestor == w; });
  if (!more && w != s.window) XSelectInput(s.dpy, w, NoEventMask);
}

void DropIdleTransfers(ClipboardState& s) {
  const auto now = Clock::now();
  for (std::size_t i = s.transfers.size(); i-- > 0;) {
    if (now - s.transfers[i].last > kTransferIdle) EndTransfer(s, i);
  }
}

void StartTransfer(ClipboardState& s, ::Window requestor, Atom property, Atom type) {
  Transfer t;
  t.requestor = requestor;
  t.property = property;
  t.type = type;
  t.data = s.owned;
  t.last = Clock::now();
  // Property deletions drive the pieces; the window's destruction ends the transfer.
  XSelectInput(s.dpy, requestor, PropertyChangeMask | StructureNotifyMask);
  const long size = static_cast<long>(t.data.size());
  XChangeProperty(s.dpy, requestor, property, s.incr, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&size), 1);
  s.transfers.push_back(std::move(t));
}

// The requestor deleted the property: the next piece, or the empty piece that ends it.
void NextPiece(ClipboardState& s, std::size_t index) {
  Transfer& t = s.transfers[index];
  t.last = Clock::now();
  if (t.finishing) {
    XChangeProperty(s.dpy, t.requestor, t.property, t.type, 8, PropModeReplace, nullptr, 0);
    EndTransfer(s, index);
    return;
  }
  const std::size_t n = std::min(s.chunk, t.data.size() - t.offset);
  XChangeProperty(s.dpy, t.requestor, t.property, t.type, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(t.data.data() + t.offset),
                  static_cast<int>(n));
  t.offset += n;
  t.finishing = t.offset >= t.data.size();
}

bool HandleTransferEvent(ClipboardState& s, const XEvent& ev) {
  bool mine = false;
  for (std::size_t i = s.transfers.size(); i-- > 0;) {
    const Transfer& t = s.transfers[i];
    if (t.requestor != ev.xany.window) continue;
    mine = true;
    if (ev.type == DestroyNotify) {
      EndTransfer(s, i);
    } else if (ev.type == PropertyNotify && ev.xproperty.atom == t.property &&
               ev.xproperty.state == PropertyDelete) {
      NextPiece(s, i);
    }
  }
  if (mine) XFlush(s.dpy);
  return mine;
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
      if (s.owned.size() > s.chunk) {
        StartTransfer(s, req.requestor, property, type);
      } else {
        XChangeProperty(s.dpy, req.requestor, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(s.owned.data()),
                        static_cast<int>(s.owned.size()));
      }
      reply.property = property;
    }
  }
  XSendEvent(s.dpy, req.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
  XFlush(s.dpy);
}

// Reads and deletes our property. False when it is not there (a stale notice).
bool TakeProperty(ClipboardState& s, Atom* type, std::string* out) {
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  // Up to 256 MB in one read: more than any text the program handles.
  const int rc = XGetWindowProperty(s.dpy, s.window, s.property, 0, 1L << 26, True,
                                    AnyPropertyType, type, &format, &count, &after, &data);
  if (rc != Success) return false;
  const bool present = *type != None;
  if (data != nullptr && present) {
    const std::size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
    out->assign(reinterpret_cast<const char*>(data), count * unit);
  }
  if (data != nullptr) XFree(data);
  return present;
}

// Waits for an event of `type` on our window, answering selection requests meanwhile (this
// program may be the owner). False at the deadline.
bool WaitFor(ClipboardState& s, int type, Clock::time_point deadline, XEvent* ev) {
  for (;;) {
    if (XCheckTypedWindowEvent(s.dpy, s.window, SelectionRequest, ev)) {
      Answer(s, ev->xselectionrequest);
      continue;
    }
    if (XCheckTypedWindowEvent(s.dpy, s.window, type, ev)) return true;
    if (Clock::now() >= deadline) return false;
    pollfd pfd{ConnectionNumber(s.dpy), POLLIN, 0};
    poll(&pfd, 1, 5);
    XEventsQueued(s.dpy, QueuedAfterReading);
  }
}

// Collects the pieces of an INCR transfer (our read already deleted the INCR property, which
// asks the owner for the first piece). Each piece must come within `timeout`.
bool ReadIncremental(ClipboardState& s, std::chrono::milliseconds timeout, std::string* text) {
  std::string all;
  auto deadline = Clock::now() + timeout;
  XEvent ev;
  for (;;) {
    if (!WaitFor(s, PropertyNotify, deadline, &ev)) return false;
    if (ev.xproperty.atom != s.property || ev.xproperty.state != PropertyNewValue) continue;
    Atom type = None;
    std::string piece;
    if (!TakeProperty(s, &type, &piece)) continue;
    if (type == s.incr) continue;
    if (type != s.utf8 && type != XA_STRING) return false;
    if (piece.empty()) break;
    all += piece;
    deadline = Clock::now() + timeout;
  }
  *text = std::move(all);
  return true;
}

}  // namespace

bool HandleClipboardEvent(X11Connection& c, XEvent& ev) {
  ClipboardState& s = State();
  if (s.window == 0 || s.dpy != c.dpy) return false;
  if (!s.transfers.empty()) {
    DropIdleTransfers(s);
    if (ev.xany.window != s.window && HandleTransferEvent(s, ev)) return true;
  }
  if (ev.xany.window != s.window) return false;
  if (ev.type == SelectionRequest) Answer(s, ev.xselectionrequest);
  // A notice of a loss may arrive after the program took the selection back: only a real
  // loss drops the text.
  if (ev.type == SelectionClear && ev.xselectionclear.selection == s.clipboard &&
      XGetSelectionOwner(s.dpy, s.clipboard) != s.window) {
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

int ClipboardTransfersInFlight() {
  ClipboardState* s = Platform::Ready();
  return s != nullptr ? static_cast<int>(s->transfers.size()) : 0;
}

bool GetClipboardText(std::string* text, int timeoutMs) {
  ClipboardState* s = Platform::Ready();
  if (s == nullptr || text == nullptr) return false;
  const ::Window owner = XGetSelectionOwner(s->dpy, s->clipboard);
  if (owner == None) return false;
  // Our own large text: the server would only hand it back to us in pieces.
  if (owner == s->window && s->owner && s->owned.size() > s->chunk) {
    *text = s->owned;
    return true;
  }
  XDeleteProperty(s->dpy, s->window, s->property);
  XConvertSelection(s->dpy, s->clipboard, s->utf8, s->property, s->window, CurrentTime);
  XFlush(s->dpy);
  const auto timeout = std::chrono::milliseconds(std::max(0, timeoutMs));
  XEvent ev;
  if (!Platform::WaitFor(*s, SelectionNotify, Platform::Clock::now() + timeout, &ev)) return false;
  if (ev.xselection.property == None) return false;
  Atom type = None;
  std::string value;
  if (!Platform::TakeProperty(*s, &type, &value)) return false;
  if (type == s->incr) return Platform::ReadIncremental(*s, timeout, text);
  if (type != s->utf8 && type != XA_STRING) return false;
  *text = std::move(value);
  return true;
}

}  // namespace Tavex::Native
