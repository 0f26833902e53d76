#pragma once
// A small X client standing in for a program that receives a paste: a focused window that, on
// Ctrl+V, asks the clipboard's owner for UTF-8 text and keeps what arrived. Runs its own
// connection on a thread of its own. Header-only (tests only).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

namespace TestSupport {

class PasteReceiver {
 public:
  PasteReceiver() {
    dpy_ = XOpenDisplay(nullptr);
    if (dpy_ == nullptr) return;
    window_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 200, 100, 0, 0, 0);
    XSelectInput(dpy_, window_, KeyPressMask | FocusChangeMask | ExposureMask);
    XMapRaised(dpy_, window_);
    XSync(dpy_, False);
    thread_ = std::thread([this] { Loop(); });
  }
  ~PasteReceiver() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (dpy_ != nullptr) XCloseDisplay(dpy_);
  }
  PasteReceiver(const PasteReceiver&) = delete;
  PasteReceiver& operator=(const PasteReceiver&) = delete;

  bool Ready() const { return dpy_ != nullptr; }
  // Takes the keyboard focus (the window must be mapped first; retried until it holds).
  bool Focus(std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
    focusWanted_ = true;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!focused_ && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return focused_;
  }
  // The text of the last paste, once one arrived within `timeout`; else empty.
  std::string WaitForText(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
      {
        std::lock_guard lock(mutex_);
        if (received_) return text_;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
  }
  // Waits `delay` after Ctrl+V before asking for the text (a slow program).
  void SetFetchDelay(std::chrono::milliseconds delay) { delayMs_ = delay.count(); }

 private:
  void Loop() {
    const Atom clipboard = XInternAtom(dpy_, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(dpy_, "UTF8_STRING", False);
    const Atom property = XInternAtom(dpy_, "KW_PASTE", False);
    pollfd fd{ConnectionNumber(dpy_), POLLIN, 0};
    while (!stop_) {
      if (focusWanted_ && !focused_) {
        XSetInputFocus(dpy_, window_, RevertToParent, CurrentTime);
        Window now = 0;
        int revert = 0;
        XGetInputFocus(dpy_, &now, &revert);
        focused_ = now == window_;
      }
      while (XPending(dpy_) > 0) {
        XEvent ev;
        XNextEvent(dpy_, &ev);
        if (ev.type == KeyPress && (ev.xkey.state & ControlMask) != 0 &&
            XLookupKeysym(&ev.xkey, 0) == XK_v) {
          std::this_thread::sleep_for(std::chrono::milliseconds(delayMs_.load()));
          XConvertSelection(dpy_, clipboard, utf8, property, window_, ev.xkey.time);
          XFlush(dpy_);
        } else if (ev.type == SelectionNotify && ev.xselection.property != None) {
          Atom type = 0;
          int format = 0;
          unsigned long count = 0, after = 0;
          unsigned char* data = nullptr;
          if (XGetWindowProperty(dpy_, window_, property, 0, 1 << 16, True, AnyPropertyType, &type,
                                 &format, &count, &after, &data) == Success &&
              data != nullptr) {
            std::lock_guard lock(mutex_);
            text_.assign(reinterpret_cast<const char*>(data), count);
            received_ = true;
          }
          if (data != nullptr) XFree(data);
        }
      }
      ::poll(&fd, 1, 20);
    }
  }

  Display* dpy_ = nullptr;
  Window window_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> focusWanted_{false};
  std::atomic<bool> focused_{false};
  std::atomic<long> delayMs_{0};
  std::mutex mutex_;
  std::string text_;
  bool received_ = false;
};

}  // namespace TestSupport
