// One page's logic behind the main window: the window routes control notifications and window
// messages to its controllers in turn until one takes them, and tells them when a keyboard was
// chosen, when the page changes, when the language changes and when the window shuts down.
// Controllers find their controls through the window by id (the page builders made them).
//
// Ownership: the window owns its controllers and destroys them after Shutdown. Threads: every
// call on the UI thread except ReloadForKeyboard, which runs on the worker (task 5).
#pragma once

#include "app/CurrentKeyboard.h"
#include "tavex/Native.h"

class PageController {
 public:
  virtual ~PageController() = default;

  // A control notification (see Tavex::Notify); true when this controller took it.
  virtual bool OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
    (void)id, (void)code, (void)wParam, (void)lParam;
    return false;
  }
  // A window message (menus 0x721-0x723, device events, posted results); true when taken.
  virtual bool OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    (void)msg, (void)wParam, (void)lParam;
    return false;
  }
  // Task 5: fill this page's lists for the keyboard the switch chose. Worker thread, with the
  // window disabled; touch controls only through their thread-safe setters or posted messages.
  virtual void ReloadForKeyboard(const CurrentKeyboard& keyboard) { (void)keyboard; }
  // The shown tab item changed from `left` to `shown`.
  virtual void OnPageChanged(int left, int shown) { (void)left, (void)shown; }
  // Every text was set again in the current language.
  virtual void OnTextsChanged() {}
  // The window shuts down: stop threads and end what is running; the worker has stopped.
  virtual void OnShutdown() {}
};
