#pragma once
// The X input method of the UI thread's connection (XIM): composed and foreign-script text for
// the library's drawn editors. One input context per window, created when an editor first takes
// the focus there; it has the input focus only while an editor of that window has the keyboard
// focus and the window is active (or the window asked for the method for itself). A server that
// starts later is picked up; one that dies leaves plain key input working. UI thread only.
#include <X11/Xlib.h>

#include <map>
#include <string>

#include "tavex/WinTypes.h"

namespace Tavex::Platform {

class X11Connection;

class InputMethod {
 public:
  explicit InputMethod(X11Connection& c) : c_(c) {}
  InputMethod(const InputMethod&) = delete;
  InputMethod& operator=(const InputMethod&) = delete;

  // Sets the C library's character type for input methods, once. Called when the connection
  // opens, before the program starts its other threads (setlocale is not safe beside them).
  void PrepareOnce();
  // Opens the method on first need (locale and modifiers set once); when no server answers,
  // waits for one to appear. False while none is open.
  bool Open();
  bool IsOpen() const { return im_ != nullptr; }

  // The window's own use of the method, apart from its editors (off by default). Turning it off
  // also drops the window's input context.
  void SetWindowEnabled(HWND hwnd, bool enable);
  // An editor drawn in the window took (active) or lost the keyboard focus; caret in client
  // coordinates places the composition.
  bool SetEditing(HWND hwnd, bool active, const RECT* caret);
  // Whether the window's input context currently has the input focus.
  bool HasFocus(HWND hwnd) const;
  // Re-applies the input focus of every context after a focus or activation change.
  void FocusChanged();
  // The window is being destroyed.
  void Forget(HWND hwnd);

  // XFilterEvent for every event; true when the method consumed it. Key events are offered to
  // the focused context's window whichever of our windows they name.
  bool Filter(XEvent& ev);
  // Work the server callbacks left for outside Xlib (reopen after a server appeared, wait again
  // after it died).
  void Idle();
  // The composition of the window's editor; false when the window has none.
  bool Composition(HWND hwnd, std::u32string* text, int* caret) const;
  // The context that has the input focus, else null (keys then go the plain way).
  XIC FocusedContext() const { return focused_; }

 private:
  struct Window {
    InputMethod* owner = nullptr;
    HWND hwnd = nullptr;
    ::Window xid = 0;
    bool own = false;
    bool editing = false;
    RECT caret{0, 0, 0, 0};
    XIC ic = nullptr;
    bool icFocused = false;
    XPoint spot{-1, -1};
    std::u32string preedit;  // composition drawn by the editor (on the spot)
    int preeditCaret = 0;
  };

  void Update(HWND hwnd, Window& w);
  bool CreateContext(Window& w);
  void DestroyContext(Window& w);
  void PlaceSpot(Window& w);
  bool Adopt(XIM im, bool fallback);
  // Replaces the local stand-in by the named server when that one answers now.
  void TryNamedServer();
  void ChooseStyle();
  void WaitForServer();
  Window& Slot(HWND hwnd, ::Window xid);
  void SetPreedit(Window& w, std::u32string text, int caret);
  static Bool OnPreeditStart(XIC ic, XPointer clientData, XPointer callData);
  static Bool OnPreeditDone(XIC ic, XPointer clientData, XPointer callData);
  static Bool OnPreeditDraw(XIC ic, XPointer clientData, XPointer callData);
  static Bool OnPreeditCaret(XIC ic, XPointer clientData, XPointer callData);
  static void OnInstantiate(Display* dpy, XPointer clientData, XPointer callData);
  static void OnDestroyed(XIM im, XPointer clientData, XPointer callData);

  X11Connection& c_;
  XIM im_ = nullptr;
  XIMStyle style_ = 0;
  XFontSet fontSet_ = nullptr;
  XIC focused_ = nullptr;
  ::Window focusedXid_ = 0;
  bool localeReady_ = false;
  bool localeTried_ = false;
  bool fallback_ = false;       // the local method, while the named server is missing
  bool waiting_ = false;        // instantiate callback registered
  bool serverAppeared_ = false;  // set by the callback, handled in Idle
  bool serverLost_ = false;
  std::map<HWND, Window> windows_;
};

// UTF-8 text to code points; malformed bytes are skipped.
std::u32string DecodeUtf8(const char* text, std::size_t length);

}  // namespace Tavex::Platform
