#include "platform/TextPaste.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>

#include <vector>

namespace platform {

namespace {

constexpr int kPollStepMs = 20;

struct DisplayCloser {
  void operator()(Display* d) const {
    if (d != nullptr) XCloseDisplay(d);
  }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

void FakeKey(Display* dpy, KeySym sym, bool press) {
  const KeyCode code = XKeysymToKeycode(dpy, sym);
  if (code != 0) XTestFakeKeyEvent(dpy, code, press ? True : False, CurrentTime);
  XFlush(dpy);
}

}  // namespace

struct TextPaste::Session {
  DisplayPtr dpy;
  Window window = 0;
  Atom clipboard = 0, targets = 0, utf8 = 0, text = 0, textPlain = 0, textPlainUtf8 = 0;
  std::string data;

  // Answers one request for the clipboard; true when the text itself went out.
  bool Answer(const XSelectionRequestEvent& rq) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = rq.display;
    reply.requestor = rq.requestor;
    reply.selection = rq.selection;
    reply.target = rq.target;
    reply.time = rq.time;
    reply.property = rq.property != None ? rq.property : rq.target;
    bool sentText = false;
    if (rq.target == targets) {
      const Atom offered[] = {targets, utf8, XA_STRING, text, textPlain, textPlainUtf8};
      XChangeProperty(dpy.get(), rq.requestor, reply.property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered),
                      static_cast<int>(sizeof offered / sizeof offered[0]));
    } else if (rq.target == utf8 || rq.target == XA_STRING || rq.target == text ||
               rq.target == textPlain || rq.target == textPlainUtf8) {
      XChangeProperty(dpy.get(), rq.requestor, reply.property, rq.target == text ? utf8 : rq.target,
                      8, PropModeReplace, reinterpret_cast<const unsigned char*>(data.data()),
                      static_cast<int>(data.size()));
      sentText = true;
    } else {
      reply.property = None;
    }
    XSendEvent(dpy.get(), rq.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(dpy.get());
    return sentText;
  }
};

TextPaste::~TextPaste() { Stop(); }

void TextPaste::Stop() {
  std::lock_guard lock(mutex_);
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  stop_.store(false);
}

bool TextPaste::Paste(const std::string& text) {
  Stop();
  auto session = std::make_shared<Session>();
  session->dpy.reset(XOpenDisplay(nullptr));
  Display* dpy = session->dpy.get();
  if (dpy == nullptr) return false;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(dpy, &event, &error, &major, &minor)) return false;
  session->window = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
  session->clipboard = XInternAtom(dpy, "CLIPBOARD", False);
  session->targets = XInternAtom(dpy, "TARGETS", False);
  session->utf8 = XInternAtom(dpy, "UTF8_STRING", False);
  session->text = XInternAtom(dpy, "TEXT", False);
  session->textPlain = XInternAtom(dpy, "text/plain", False);
  session->textPlainUtf8 = XInternAtom(dpy, "text/plain;charset=utf-8", False);
  session->data = text;
  XSetSelectionOwner(dpy, session->clipboard, session->window, CurrentTime);
  if (XGetSelectionOwner(dpy, session->clipboard) != session->window) return false;

  std::lock_guard lock(mutex_);
  busy_.store(true);
  thread_ = std::thread(&TextPaste::Serve, this, std::move(session));
  return true;
}

void TextPaste::Serve(std::shared_ptr<Session> session) {
  Display* dpy = session->dpy.get();
  FakeKey(dpy, XK_Control_L, true);
  FakeKey(dpy, XK_v, true);
  const auto start = std::chrono::steady_clock::now();
  bool released = false;
  bool fetched = false;
  pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
  while (!stop_.load() && !fetched) {
    const auto now = std::chrono::steady_clock::now();
    if (!released && now - start >= kKeyHold) {
      FakeKey(dpy, XK_v, false);
      FakeKey(dpy, XK_Control_L, false);
      released = true;
    }
    if (now - start >= kOfferTime) break;
    while (XPending(dpy) > 0) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      if (ev.type == SelectionRequest && ev.xselectionrequest.selection == session->clipboard)
        fetched = session->Answer(ev.xselectionrequest) || fetched;
      else if (ev.type == SelectionClear)
        stop_.store(true);  // another program took the clipboard: our offer is over
    }
    ::poll(&fd, 1, kPollStepMs);
  }
  if (!released) {
    FakeKey(dpy, XK_v, false);
    FakeKey(dpy, XK_Control_L, false);
  }
  // Give the clipboard up empty, as it was taken; only when it is still ours.
  if (XGetSelectionOwner(dpy, session->clipboard) == session->window)
    XSetSelectionOwner(dpy, session->clipboard, None, CurrentTime);
  XDestroyWindow(dpy, session->window);
  XFlush(dpy);
  busy_.store(false);
}

}  // namespace platform
