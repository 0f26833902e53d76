#include "InputMethod.h"

#include <langinfo.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>

#include "ThreadQueue.h"
#include "X11Connection.h"
#include "tavex/Native.h"
#include "platform/base/Utf8.h"

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
  const std::string_view bytes(text, length);
  std::u32string out;
  for (std::size_t i = 0; i < length;) {
    char32_t cp = 0;
    const std::size_t used = ::platform::DecodeUtf8(bytes, i, cp);
    if (used == 0) {
      ++i;  // not UTF-8: skipped
      continue;
    }
    out.push_back(cp);
    i += used;
  }
  return out;
}

void InputMethod::PrepareOnce() {
  if (localeTried_) return;
  localeTried_ = true;
  localeReady_ = PrepareLocale();
}

bool InputMethod::Open() {
  if (im_ != nullptr) return true;
  PrepareOnce();
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
  // On the spot first: the editor draws the composition itself, in its own font.
  const XIMStyle preferred[] = {
      XIMPreeditCallbacks | XIMStatusNothing, XIMPreeditCallbacks | XIMStatusNone,
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
    self->SetPreedit(w, {}, 0);
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
  const auto data = reinterpret_cast<XPointer>(&w);  // map nodes stay put until Forget
  XICCallback start{data, &InputMethod::OnPreeditStart};
  XICCallback done{data, &InputMethod::OnPreeditDone};
  XICCallback draw{data, &InputMethod::OnPreeditDraw};
  XICCallback caret{data, &InputMethod::OnPreeditCaret};
  if (style_ & XIMPreeditCallbacks) {
    preedit = XVaCreateNestedList(0, XNPreeditStartCallback, &start, XNPreeditDoneCallback, &done,
                                  XNPreeditDrawCallback, &draw, XNPreeditCaretCallback, &caret,
                                  nullptr);
  } else if (style_ & XIMPreeditPosition) {
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
  SetPreedit(w, {}, 0);
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
  Window& w = Slot(hwnd, static_cast<::Window>(rec->xid));
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
  }
  Window& w = Slot(hwnd, static_cast<::Window>(rec->xid));
  const bool was = w.editing;
  w.editing = active;
  if (caret != nullptr) w.caret = *caret;
  if (was && !active && w.ic != nullptr) {
    // A composition left unfinished belongs to the editor that lost the focus: drop it.
    if (char* rest = Xutf8ResetIC(w.ic)) XFree(rest);
  }
  if (was && !active) SetPreedit(w, {}, 0);
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

InputMethod::Window& InputMethod::Slot(HWND hwnd, ::Window xid) {
  Window& w = windows_[hwnd];
  w.owner = this;
  w.hwnd = hwnd;
  w.xid = xid;
  return w;
}

void InputMethod::SetPreedit(Window& w, std::u32string text, int caret) {
  caret = std::clamp(caret, 0, static_cast<int>(text.size()));
  if (text == w.preedit && caret == w.preeditCaret) return;
  const bool hadAny = !w.preedit.empty();
  w.preedit = std::move(text);
  w.preeditCaret = caret;
  if (hadAny || !w.preedit.empty()) PostInput(w.hwnd, WM_IME_COMPOSITION, 0, 0);
}

bool InputMethod::Composition(HWND hwnd, std::u32string* text, int* caret) const {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return false;
  if (text != nullptr) *text = it->second.preedit;
  if (caret != nullptr) *caret = it->second.preeditCaret;
  return true;
}

Bool InputMethod::OnPreeditStart(XIC, XPointer, XPointer) {
  return -1;  // no length limit
}

Bool InputMethod::OnPreeditDone(XIC, XPointer clientData, XPointer) {
  auto* w = reinterpret_cast<Window*>(clientData);
  w->owner->SetPreedit(*w, {}, 0);
  return True;
}

Bool InputMethod::OnPreeditDraw(XIC, XPointer clientData, XPointer callData) {
  auto* w = reinterpret_cast<Window*>(clientData);
  const auto* draw = reinterpret_cast<const XIMPreeditDrawCallbackStruct*>(callData);
  if (draw == nullptr) return False;
  std::u32string text = w->preedit;
  const int size = static_cast<int>(text.size());
  const int first = std::clamp(draw->chg_first, 0, size);
  const int length = std::clamp(draw->chg_length, 0, size - first);
  std::u32string inserted;
  if (draw->text != nullptr && draw->text->length > 0) {
    const XIMText& t = *draw->text;
    if (t.encoding_is_wchar && t.string.wide_char != nullptr) {
      for (unsigned short i = 0; i < t.length; ++i) {
        inserted.push_back(static_cast<char32_t>(t.string.wide_char[i]));
      }
    } else if (!t.encoding_is_wchar && t.string.multi_byte != nullptr) {
      // Text in the locale's encoding, which Open made UTF-8 where it could.
      const char* mb = t.string.multi_byte;
      if (CodesetIsUtf8()) {
        inserted = DecodeUtf8(mb, std::strlen(mb));
      } else {
        std::wstring wide(std::strlen(mb) + 1, L'\0');
        const std::size_t n = std::mbstowcs(wide.data(), mb, wide.size());
        if (n != static_cast<std::size_t>(-1)) {
          for (std::size_t i = 0; i < n; ++i) inserted.push_back(static_cast<char32_t>(wide[i]));
        }
      }
    }
  }
  text.replace(static_cast<std::size_t>(first), static_cast<std::size_t>(length), inserted);
  w->owner->SetPreedit(*w, std::move(text), draw->caret);
  return True;
}

Bool InputMethod::OnPreeditCaret(XIC, XPointer clientData, XPointer callData) {
  auto* w = reinterpret_cast<Window*>(clientData);
  auto* move = reinterpret_cast<XIMPreeditCaretCallbackStruct*>(callData);
  if (move == nullptr) return False;
  int caret = w->preeditCaret;
  const int size = static_cast<int>(w->preedit.size());
  switch (move->direction) {
    case XIMForwardChar: ++caret; break;
    case XIMBackwardChar: --caret; break;
    case XIMLineStart: caret = 0; break;
    case XIMLineEnd: caret = size; break;
    case XIMAbsolutePosition: caret = move->position; break;
    default: break;
  }
  caret = std::clamp(caret, 0, size);
  move->position = caret;
  w->owner->SetPreedit(*w, w->preedit, caret);
  return True;
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

bool GetCompositionText(HWND hwnd, std::string* text, int* caret) {
  X11Connection* c = X11Connection::Current();
  std::u32string preedit;
  int at = 0;
  if (c == nullptr || !c->ime || !c->ime->Composition(hwnd, &preedit, &at)) return false;
  if (text != nullptr) {
    text->clear();
    for (char32_t cp : preedit) *text += CodePointToUtf8(static_cast<std::uint32_t>(cp));
  }
  if (caret != nullptr) *caret = at;
  return true;
}

bool IsInputMethodActive(HWND hwnd) {
  X11Connection* c = X11Connection::Current();
  return c != nullptr && c->ime && c->ime->HasFocus(hwnd);
}

}  // namespace Tavex::Native
