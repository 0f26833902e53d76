#include "InputMethod.h"

#include <langinfo.h>

#include <clocale>
#include <cstring>

#include "X11Connection.h"
#include "tavex/Native.h"

namespace Tavex::Platform {
namespace {

bool CodesetIsUtf8() {
  const char* set = nl_langinfo(CODESET);
  return set != nullptr && (std::strcmp(set, "UTF-8") == 0 || std::strcmp(set, "utf8") == 0);
}

// Input methods work in the character type of the C library's locale. A program that never
// chose one runs in "C", where no server offers anything beyond ASCII: take the user's
// locale, or C.UTF-8 when that is not a UTF-8 one X knows. Only LC_CTYPE is touched, once.
bool PrepareLocale() {
  const char* current = std::setlocale(LC_CTYPE, nullptr);
  const std::string saved = current != nullptr ? current : "C";
  if (saved == "C" || saved == "POSIX") {
    if (std::setlocale(LC_CTYPE, "") == nullptr || !CodesetIsUtf8() || !XSupportsLocale()) {
      if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr || !XSupportsLocale()) {
        std::setlocale(LC_CTYPE, saved.c_str());
      }
    }
  }
  return XSupportsLocale() == True;
}

HWND TopOf(HWND hwnd) { return hwnd == nullptr ? nullptr : TopLevelOf(hwnd); }

}  // namespace

std::u32string DecodeUtf8(const char* text, std::size_t length) {
  std::u32string out;
  std::size_t i = 0;
  while (i < length) {
    const auto b = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t cp = 0;
    if (b < 0x80) {
      cp = b;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F;
      extra = 1;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F;
      extra = 2;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07;
      extra = 3;
    } else {
      ++i;
      continue;
    }
    if (i + static_cast<std::size_t>(extra) >= length) break;  // cut inside a character
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok) {
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(extra) + 1;
    const bool overlong = (extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) ||
                          (extra == 3 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) continue;
    out.push_back(cp);
  }
  return out;
}

bool InputMethod::Open() {
  if (im_ != nullptr) return true;
  if (!localeTried_) {
    localeTried_ = true;
    localeReady_ = PrepareLocale();
  }
  if (!localeReady_) return false;
  // XMODIFIERS names the method; read again on every open, so a restarted session's choice holds.
  XSetLocaleModifiers("");
  if (XIM named = XOpenIM(c_.dpy, nullptr, nullptr, nullptr)) return Adopt(named, false);
  // The named server is not running (yet): wait for it, and compose locally meanwhile.
  WaitForServer();
  XSetLocaleModifiers("@im=none");
  XIM local = XOpenIM(c_.dpy, nullptr, nullptr, nullptr);
  XSetLocaleModifiers("");
  return local != nullptr && Adopt(local, true);
}

bool InputMethod::Adopt(XIM im, bool fallback) {
  im_ = im;
  fallback_ = fallback;
  if (!fallback && waiting_) {
    XUnregisterIMInstantiateCallback(c_.dpy, nullptr, nullptr, nullptr, &InputMethod::OnInstantiate,
                                     reinterpret_cast<XPointer>(this));
    waiting_ = false;
  }
  XIMCallback destroyed{reinterpret_cast<XPointer>(this), &InputMethod::OnDestroyed};
  XSetIMValues(im_, XNDestroyCallback, &destroyed, nullptr);
  ChooseStyle();
  if (style_ == 0) {
    XCloseIM(im_);
    im_ = nullptr;
    return false;
  }
  return true;
}

void InputMethod::TryNamedServer() {
  if (im_ != nullptr && !fallback_) return;
  XSetLocaleModifiers("");
  XIM named = XOpenIM(c_.dpy, nullptr, nullptr, nullptr);
  if (named == nullptr) return;
  if (im_ != nullptr) {
    for (auto& [hwnd, w] : windows_) DestroyContext(w);
    XCloseIM(im_);
    im_ = nullptr;
  }
  if (Adopt(named, false)) FocusChanged();
}

void InputMethod::ChooseStyle() {
  style_ = 0;
  XIMStyles* styles = nullptr;
  if (XGetIMValues(im_, XNQueryInputStyle, &styles, nullptr) != nullptr || styles == nullptr) {
    return;
  }
  const auto offered = [styles](XIMStyle s) {
    for (unsigned short i = 0; i < styles->count_styles; ++i) {
      if (styles->supported_styles[i] == s) return true;
    }
    return false;
  };
  // Over the spot first: the composition appears at the caret. It needs a font set.
  if (fontSet_ == nullptr &&
      (offered(XIMPreeditPosition | XIMStatusNothing) || offered(XIMPreeditPosition | XIMStatusNone))) {
    char** missing = nullptr;
    int missingCount = 0;
    char* fallbackText = nullptr;
    fontSet_ = XCreateFontSet(c_.dpy, "-*-*-medium-r-normal--16-*-*-*-*-*-*-*,-*-*-*-*-*--16-*,*",
                              &missing, &missingCount, &fallbackText);
    if (missing != nullptr) XFreeStringList(missing);
  }
  const XIMStyle preferred[] = {
      XIMPreeditPosition | XIMStatusNothing, XIMPreeditPosition | XIMStatusNone,
      XIMPreeditNothing | XIMStatusNothing,  XIMPreeditNothing | XIMStatusNone,
      XIMPreeditNone | XIMStatusNone,
  };
  for (XIMStyle s : preferred) {
    if ((s & XIMPreeditPosition) && fontSet_ == nullptr) continue;
    if (offered(s)) {
      style_ = s;
      break;
    }
  }
  XFree(styles);
}

void InputMethod::WaitForServer() {
  if (waiting_) return;
  waiting_ = XRegisterIMInstantiateCallback(c_.dpy, nullptr, nullptr, nullptr,
                                            &InputMethod::OnInstantiate,
                                            reinterpret_cast<XPointer>(this)) == True;
}

void InputMethod::OnInstantiate(Display*, XPointer clientData, XPointer) {
  // Called from inside Xlib's event filtering: only note it.
  reinterpret_cast<InputMethod*>(clientData)->serverAppeared_ = true;
}

void InputMethod::OnDestroyed(XIM, XPointer clientData, XPointer) {
  // The server went away; its method and every context are gone with it and must not be
  // touched again (not even destroyed).
  auto* self = reinterpret_cast<InputMethod*>(clientData);
  self->im_ = nullptr;
  self->focused_ = nullptr;
  self->focusedXid_ = 0;
  for (auto& [hwnd, w] : self->windows_) {
    w.ic = nullptr;
    w.icFocused = false;
    w.spot = XPoint{-1, -1};
  }
  self->serverLost_ = true;
}

void InputMethod::Idle() {
  if (serverLost_) {
    serverLost_ = false;
    Open();
    FocusChanged();
  }
  if (serverAppeared_) {
    serverAppeared_ = false;
    if (im_ == nullptr) {
      Open();
      FocusChanged();
    } else {
      TryNamedServer();
    }
  }
}

bool InputMethod::CreateContext(Window& w) {
  if (im_ == nullptr || w.xid == 0) return false;
  XPoint spot{static_cast<short>(w.caret.left), static_cast<short>(w.caret.bottom)};
  XVaNestedList preedit = nullptr;
  if (style_ & XIMPreeditPosition) {
    preedit = XVaCreateNestedList(0, XNSpotLocation, &spot, XNFontSet, fontSet_, nullptr);
  }
  // A null attribute name ends the list early when there is no preedit list.
  w.ic = XCreateIC(im_, XNInputStyle, style_, XNClientWindow, w.xid, XNFocusWindow, w.xid,
                   preedit != nullptr ? XNPreeditAttributes : nullptr, preedit, nullptr);
  if (preedit != nullptr) XFree(preedit);
  if (w.ic == nullptr) return false;
  w.icFocused = false;
  w.spot = spot;
  long wanted = 0;
  XGetICValues(w.ic, XNFilterEvents, &wanted, nullptr);
  XWindowAttributes attrs{};
  if (wanted != 0 && XGetWindowAttributes(c_.dpy, w.xid, &attrs)) {
    XSelectInput(c_.dpy, w.xid, attrs.your_event_mask | wanted);
  }
  return true;
}

void InputMethod::DestroyContext(Window& w) {
  if (w.ic == nullptr) return;
  if (focused_ == w.ic) {
    focused_ = nullptr;
    focusedXid_ = 0;
  }
  if (im_ != nullptr) XDestroyIC(w.ic);
  w.ic = nullptr;
  w.icFocused = false;
  w.spot = XPoint{-1, -1};
}

void InputMethod::PlaceSpot(Window& w) {
  if (w.ic == nullptr || !(style_ & XIMPreeditPosition)) return;
  XPoint spot{static_cast<short>(w.caret.left), static_cast<short>(w.caret.bottom)};
  if (spot.x == w.spot.x && spot.y == w.spot.y) return;
  w.spot = spot;
  XVaNestedList preedit = XVaCreateNestedList(0, XNSpotLocation, &spot, nullptr);
  if (preedit == nullptr) return;
  XSetICValues(w.ic, XNPreeditAttributes, preedit, nullptr);
  XFree(preedit);
}

void InputMethod::Update(HWND hwnd, Window& w) {
  const bool active = c_.focus != nullptr && Native::IsWindow(c_.focus) &&
                      TopOf(c_.focus) == TopOf(hwnd);
  bool want = im_ != nullptr && active && (w.editing || w.own);
  if (want && w.ic == nullptr && !CreateContext(w)) want = false;
  if (want) {
    PlaceSpot(w);
    if (!w.icFocused) {
      XSetICFocus(w.ic);
      w.icFocused = true;
    }
    focused_ = w.ic;
    focusedXid_ = w.xid;
    return;
  }
  if (w.ic != nullptr && w.icFocused) {
    XUnsetICFocus(w.ic);
    w.icFocused = false;
  }
  if (w.ic != nullptr && focused_ == w.ic) {
    focused_ = nullptr;
    focusedXid_ = 0;
  }
}

void InputMethod::SetWindowEnabled(HWND hwnd, bool enable) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || !rec->alive.load()) return;
  if (enable) Open();
  Window& w = windows_[hwnd];
  w.xid = static_cast<::Window>(rec->xid);
  w.own = enable;
  // "Off" leaves the window without a context of its own; an editor that is active keeps one.
  if (!enable && !w.editing) DestroyContext(w);
  Update(hwnd, w);
}

bool InputMethod::SetEditing(HWND hwnd, bool active, const RECT* caret) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || !rec->alive.load()) return false;
  if (active) Open();
  auto it = windows_.find(hwnd);
  // Editing begins: a server that came up while the local composer stood in (its announcement
  // may have gone by before we listened) is looked for again.
  if (active && fallback_ && (it == windows_.end() || !it->second.editing)) TryNamedServer();
  if (it == windows_.end()) {
    if (!active) return true;
    it = windows_.emplace(hwnd, Window{}).first;
  }
  Window& w = it->second;
  w.xid = static_cast<::Window>(rec->xid);
  const bool was = w.editing;
  w.editing = active;
  if (caret != nullptr) w.caret = *caret;
  if (was && !active && w.ic != nullptr) {
    // A composition left unfinished belongs to the editor that lost the focus: drop it.
    if (char* rest = Xutf8ResetIC(w.ic)) XFree(rest);
  }
  Update(hwnd, w);
  return true;
}

bool InputMethod::HasFocus(HWND hwnd) const {
  auto it = windows_.find(hwnd);
  return it != windows_.end() && it->second.ic != nullptr && it->second.icFocused &&
         focused_ == it->second.ic;
}

void InputMethod::FocusChanged() {
  // Unfocus first, so that the context that gains the focus is the last one set.
  for (auto& [hwnd, w] : windows_) {
    if (w.icFocused) Update(hwnd, w);
  }
  for (auto& [hwnd, w] : windows_) {
    if (!w.icFocused) Update(hwnd, w);
  }
}

void InputMethod::Forget(HWND hwnd) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  DestroyContext(it->second);
  windows_.erase(it);
}

bool InputMethod::Filter(XEvent& ev) {
  ::Window target = None;
  if ((ev.type == KeyPress || ev.type == KeyRelease) && focused_ != nullptr) {
    target = focusedXid_;
  }
  return XFilterEvent(&ev, target) == True;
}

}  // namespace Tavex::Platform

namespace Tavex::Native {
using namespace Tavex::Platform;

bool SetTextInput(HWND hwnd, bool active, const RECT* caret) {
  X11Connection* c = X11Connection::Current();
  if (c == nullptr || !c->ime) return false;
  return c->ime->SetEditing(hwnd, active, caret);
}

bool EnableInputMethod(HWND hwnd, bool enable) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !c->ime || !rec || !rec->alive.load()) return false;
  c->ime->SetWindowEnabled(hwnd, enable);
  return true;
}

bool IsInputMethodActive(HWND hwnd) {
  X11Connection* c = X11Connection::Current();
  return c != nullptr && c->ime && c->ime->HasFocus(hwnd);
}

}  // namespace Tavex::Native
