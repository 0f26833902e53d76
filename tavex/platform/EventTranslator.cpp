// X11 events to window messages.
#include <X11/keysym.h>

#include <cstdlib>

#include "Clipboard.h"
#include "Clock.h"
#include "KeyMap.h"
#include "ThreadQueue.h"
#include "X11Connection.h"
#include "tavex/Native.h"

namespace Tavex::Platform {
namespace {

constexpr Time kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 4;
constexpr int kHoverBox = 4;

UINT MouseKeys(unsigned state) {
  UINT keys = 0;
  if (state & Button1Mask) keys |= MK_LBUTTON;
  if (state & Button2Mask) keys |= MK_MBUTTON;
  if (state & Button3Mask) keys |= MK_RBUTTON;
  if (state & ShiftMask) keys |= MK_SHIFT;
  if (state & ControlMask) keys |= MK_CONTROL;
  return keys;
}

UINT ButtonKey(unsigned button) {
  switch (button) {
    case Button1: return MK_LBUTTON;
    case Button2: return MK_MBUTTON;
    case Button3: return MK_RBUTTON;
    default: return 0;
  }
}

UINT ButtonVk(unsigned button) {
  switch (button) {
    case Button1: return VK_LBUTTON;
    case Button2: return VK_MBUTTON;
    case Button3: return VK_RBUTTON;
    default: return 0;
  }
}

bool Enabled(const WindowRecord& rec) {
  // A window takes input only when it and every parent are enabled.
  if (!rec.enabled) return false;
  if ((rec.style.load() & WS_CHILD) && rec.parent != nullptr) {
    auto parent = FindWindow(rec.parent);
    return !parent || Enabled(*parent);
  }
  return true;
}

void Mouse(X11Connection& c, const std::shared_ptr<WindowRecord>& rec, XEvent& ev) {
  HWND hwnd = rec->hwnd;
  switch (ev.type) {
    case MotionNotify: {
      // Only the latest position matters, as with the classic coalesced mouse moves.
      while (XCheckTypedWindowEvent(c.dpy, ev.xany.window, MotionNotify, &ev)) {
      }
      const XMotionEvent& m = ev.xmotion;
      SetLastCursorPos(POINT{m.x_root, m.y_root});
      if (!Enabled(*rec)) return;
      c.pointerWindow = hwnd;
      if (c.hover.active && c.hover.hwnd == hwnd &&
          (std::abs(m.x - c.hover.anchor.x) > kHoverBox / 2 ||
           std::abs(m.y - c.hover.anchor.y) > kHoverBox / 2)) {
        c.hover.anchor = POINT{m.x, m.y};
        c.hover.deadline = NowMs() + c.hover.hoverMs;
      }
      SendNow(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      PostInput(hwnd, WM_MOUSEMOVE, MouseKeys(m.state), MAKELPARAM(m.x, m.y));
      return;
    }
    case ButtonPress:
    case ButtonRelease: {
      const XButtonEvent& b = ev.xbutton;
      SetLastCursorPos(POINT{b.x_root, b.y_root});
      SyncModifiers(b.state);
      const bool press = ev.type == ButtonPress;
      if (UINT vk = ButtonVk(b.button)) SetKeyDown(vk, press);
      if (!Enabled(*rec)) return;
      if (b.button >= 4 && b.button <= 7) {
        if (!press) return;
        const int delta = (b.button == 4 || b.button == 7) ? WHEEL_DELTA : -WHEEL_DELTA;
        const UINT msg = b.button <= 5 ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
        PostInput(hwnd, msg, MAKEWPARAM(static_cast<int>(MouseKeys(b.state)), delta),
                  MAKELPARAM(b.x_root, b.y_root));
        return;
      }
      const UINT key = ButtonKey(b.button);
      if (key == 0) return;
      UINT keys = MouseKeys(b.state);
      keys = press ? (keys | key) : (keys & ~key);
      const UINT base = b.button == Button1 ? WM_LBUTTONDOWN
                        : b.button == Button3 ? WM_RBUTTONDOWN
                                              : WM_MBUTTONDOWN;
      if (!press) {
        PostInput(hwnd, base + 1, keys, MAKELPARAM(b.x, b.y));
        return;
      }
      // Click to focus a normal top-level window.
      HWND top = TopLevelOf(hwnd);
      if (auto topRec = FindWindow(top);
          topRec && top != c.focus && !topRec->overrideRedirect &&
          !(topRec->exStyle.load() & WS_EX_NOACTIVATE)) {
        Native::SetFocus(top);
      }
      ClickRecord& last = c.lastClick;
      const bool dbl = (rec->classStyle & CS_DBLCLKS) && last.hwnd == hwnd &&
                       last.button == b.button && !last.wasDouble &&
                       b.time - last.time <= kDoubleClickMs &&
                       std::abs(b.x - last.x) <= kDoubleClickDistance &&
                       std::abs(b.y - last.y) <= kDoubleClickDistance;
      last = ClickRecord{hwnd, b.button, b.time, b.x, b.y, dbl};
      PostInput(hwnd, dbl ? base + 2 : base, keys, MAKELPARAM(b.x, b.y));
      return;
    }
    default:
      return;
  }
}

// The text of a key press (or of a commit) through the input context, in code points.
std::u32string LookupText(XIC ic, XKeyEvent& k) {
  char buf[64];
  KeySym sym = NoSymbol;
  Status status = 0;
  int n = Xutf8LookupString(ic, &k, buf, sizeof buf, &sym, &status);
  if (status == XBufferOverflow && n > 0) {
    // A long commit: ask again with room for all of it.
    std::string big(static_cast<std::size_t>(n), '\0');
    n = Xutf8LookupString(ic, &k, big.data(), n, &sym, &status);
    if ((status == XLookupChars || status == XLookupBoth) && n > 0) {
      return DecodeUtf8(big.data(), static_cast<std::size_t>(n));
    }
    return {};
  }
  if ((status == XLookupChars || status == XLookupBoth) && n > 0) {
    return DecodeUtf8(buf, static_cast<std::size_t>(n));
  }
  return {};
}

void Key(X11Connection& c, const std::shared_ptr<WindowRecord>& rec, XEvent& ev) {
  XKeyEvent& k = ev.xkey;
  const bool press = ev.type == KeyPress;
  if (!press && XEventsQueued(c.dpy, QueuedAfterReading) > 0) {
    XEvent next;
    XPeekEvent(c.dpy, &next);
    if (next.type == KeyPress &&
        IsAutoRepeatRelease(RawKey{false, k.keycode, k.time},
                            RawKey{true, next.xkey.keycode, next.xkey.time})) {
      return;  // the key stays down; the press that follows is a repeat
    }
  }
  XIC ic = c.ime->FocusedContext();
  if (k.keycode == 0) {
    // Text the input method committed: no key stands behind it, the characters go straight
    // to the focus window.
    if (!press || ic == nullptr) return;
    HWND target = c.focus != nullptr && Native::IsWindow(c.focus) ? c.focus : rec->hwnd;
    for (char32_t cp : LookupText(ic, k)) {
      PostInput(target, WM_CHAR, static_cast<WPARAM>(cp), 1);
    }
    return;
  }
  char buf[16] = {};
  KeySym levelSym = NoSymbol;
  const int len = XLookupString(&k, buf, sizeof buf, &levelSym, nullptr);
  KeySym baseSym = XLookupKeysym(&k, 0);
  const bool keypad = baseSym >= XK_KP_Space && baseSym <= XK_KP_Equal;
  const KeySym vkSym = (keypad || baseSym == NoSymbol) ? levelSym : baseSym;
  UINT vk = VirtualKeyOfKeysym(static_cast<std::uint32_t>(vkSym));
  if (vk == 0) vk = VirtualKeyOfKeysym(static_cast<std::uint32_t>(levelSym));
  const UINT sided = SidedVirtualKeyOfKeysym(static_cast<std::uint32_t>(baseSym));

  const unsigned code = k.keycode & 0xFF;
  const bool wasDown = c.keyDown[code];
  c.keyDown[code] = press;
  SyncModifiers(k.state);
  if (vk != 0) SetKeyDown(vk, press);
  if (sided != 0) SetKeyDown(sided, press);
  if (vk == 0 || !Enabled(*rec)) return;

  const bool alt = (k.state & Mod1Mask) != 0 || (press && vk == VK_MENU);
  const bool ctrl = (k.state & ControlMask) != 0;
  const bool sys = (alt && !ctrl) || vk == VK_F10;
  LPARAM lParam = 1 | (static_cast<LPARAM>((k.keycode - 8) & 0xFF) << 16);
  if (IsExtendedKeysym(static_cast<std::uint32_t>(baseSym))) lParam |= KF_EXTENDED_BIT;
  if (alt) lParam |= KF_ALTDOWN_BIT;
  if (!press || wasDown) lParam |= KF_REPEAT_BIT;
  if (!press) lParam |= KF_UP_BIT;
  const UINT msg = press ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);

  std::u32string text;
  if (press && levelSym != XK_Delete && levelSym != XK_KP_Delete && ic != nullptr) {
    // Through the input context: composed characters come out here.
    text = LookupText(ic, k);
    if (text.empty()) {
      if (char32_t cp = CodePointOfKeysym(static_cast<std::uint32_t>(levelSym))) text.push_back(cp);
    }
  } else if (press && levelSym != XK_Delete && levelSym != XK_KP_Delete) {
    char32_t cp = 0;
    if (len == 1) {
      cp = static_cast<unsigned char>(buf[0]);  // Latin-1, or a control character
    } else {
      cp = CodePointOfKeysym(static_cast<std::uint32_t>(levelSym));
    }
    if (cp != 0) text.push_back(cp);
  }
  // The X state is the one before this event; a modifier key changes its own bit.
  bool shiftNow = (k.state & ShiftMask) != 0, ctrlNow = ctrl, altNow = (k.state & Mod1Mask) != 0;
  if (vk == VK_SHIFT) shiftNow = press;
  if (vk == VK_CONTROL) ctrlNow = press;
  if (vk == VK_MENU) altNow = press;
  const int modifiers = (shiftNow ? 1 : 0) | (ctrlNow ? 2 : 0) | (altNow ? 4 : 0);
  HWND target = rec->hwnd;
  if (c.focus != nullptr && Native::IsWindow(c.focus)) target = c.focus;
  PostInput(target, msg, vk, lParam, std::move(text), modifiers);
}

}  // namespace

HWND TopLevelOf(HWND hwnd) {
  for (int guard = 0; hwnd != nullptr && guard < 64; ++guard) {
    auto rec = FindWindow(hwnd);
    if (!rec) return nullptr;
    if (!(rec->style.load() & WS_CHILD)) return hwnd;
    hwnd = rec->parent;
  }
  return hwnd;
}

LRESULT SendNow(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcOf(hwnd, msg, wParam, lParam);
}

void ApplyGeometry(const std::shared_ptr<WindowRecord>& rec, const RECT& r, UINT flags) {
  const RECT old = rec->rect;
  const bool moved = old.left != r.left || old.top != r.top;
  const bool sized = (old.right - old.left) != (r.right - r.left) ||
                     (old.bottom - old.top) != (r.bottom - r.top);
  if (!moved && !sized) return;
  rec->rect = r;
  HWND hwnd = rec->hwnd;
  WINDOWPOS wp{hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               flags | (moved ? 0u : SWP_NOMOVE) | (sized ? 0u : SWP_NOSIZE)};
  SendNow(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  if (moved) SendNow(hwnd, WM_MOVE, 0, MAKELPARAM(r.left, r.top));
  if (sized) {
    const WPARAM kind = rec->iconic ? SIZE_MINIMIZED : rec->zoomed ? SIZE_MAXIMIZED : SIZE_RESTORED;
    SendNow(hwnd, WM_SIZE, kind, MAKELPARAM(r.right - r.left, r.bottom - r.top));
    if (rec->classStyle & (CS_HREDRAW | CS_VREDRAW)) Native::InvalidateRect(hwnd, nullptr, true);
  }
}

void ChangeFocus(X11Connection& c, HWND to) {
  const HWND old = c.focus;
  if (old == to) return;
  c.focus = to;
  if (old != nullptr && Native::IsWindow(old)) {
    SendNow(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(to), 0);
  }
  const HWND oldTop = c.active;
  const HWND newTop = to == nullptr ? nullptr : TopLevelOf(to);
  if (oldTop != newTop) {
    c.active = newTop;
    if (oldTop != nullptr && Native::IsWindow(oldTop)) {
      SendNow(oldTop, WM_NCACTIVATE, 0, 0);
      SendNow(oldTop, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(newTop));
    }
    if (newTop != nullptr) {
      SendNow(newTop, WM_NCACTIVATE, 1, 0);
      SendNow(newTop, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(oldTop));
    }
  }
  if (to != nullptr && Native::IsWindow(to)) {
    SendNow(to, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  }
  // The input context follows: active only in the window that has the focus now.
  if (c.ime) c.ime->FocusChanged();
}

bool X11Connection::StaleFocusNotice(unsigned long serial) const {
  // Serials wrap: compare by the signed distance.
  return static_cast<long>(serial - focusRequest) < 0;
}

void X11Connection::Translate(XEvent& ev) {
  if (HandleClipboardEvent(*this, ev)) return;
  if (moveDrag.active && ContinueWindowMove(*this, ev)) return;
  auto rec = RecordOf(ev.xany.window);
  if (!rec || !rec->alive.load()) return;
  const HWND hwnd = rec->hwnd;
  switch (ev.type) {
    case Expose: {
      const XExposeEvent& e = ev.xexpose;
      RECT r{e.x, e.y, e.x + e.width, e.y + e.height};
      Native::InvalidateRect(hwnd, &r, true);
      return;
    }
    case ConfigureNotify: {
      const XConfigureEvent& e = ev.xconfigure;
      int x = e.x, y = e.y;
      if (!(rec->style.load() & WS_CHILD) && !e.send_event) {
        ::Window child = 0;
        XTranslateCoordinates(dpy, e.window, root, 0, 0, &x, &y, &child);
      }
      ApplyGeometry(rec, RECT{x, y, x + e.width, y + e.height}, SWP_NOZORDER);
      return;
    }
    case MapNotify:
      if (!rec->visible) {
        if (static_cast<long>(ev.xmap.serial - rec->hiddenSerial) < 0) return;  // before the hide
        // Mapped by another client while hidden: shown again, as ShowWindow would.
        rec->visible = true;
        rec->style.fetch_or(WS_VISIBLE);
        SendNow(hwnd, WM_SHOWWINDOW, 1, 0);
        if (!rec->alive.load()) return;
      }
      if (rec->iconic) {
        rec->iconic = false;
        rec->visible = true;
        const RECT r = rec->rect;
        SendNow(hwnd, WM_SIZE, rec->zoomed ? SIZE_MAXIMIZED : SIZE_RESTORED,
                MAKELPARAM(r.right - r.left, r.bottom - r.top));
      }
      Native::InvalidateRect(hwnd, nullptr, true);
      if (rec->activateOnMap) {
        rec->activateOnMap = false;
        Native::SetFocus(hwnd);
      }
      return;
    case UnmapNotify:
      // Unmapped by the window manager (not by ShowWindow): minimised.
      if (rec->visible && !rec->iconic) {
        rec->iconic = true;
        SendNow(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
      }
      return;
    case DestroyNotify:
      // Destroyed by another client (a kill tool): the window is gone, so run the destruction
      // the program expects instead of keeping a handle to nothing.
      if (ev.xdestroywindow.window == static_cast<::Window>(rec->xid) && !rec->destroying) {
        Native::DestroyWindow(hwnd);
      }
      return;
    case ClientMessage: {
      const XClientMessageEvent& e = ev.xclient;
      if (e.message_type == atoms.wmProtocols && e.format == 32) {
        const Atom protocol = static_cast<Atom>(e.data.l[0]);
        if (protocol == atoms.wmDeleteWindow) {
          if (Enabled(*rec)) PostInput(hwnd, WM_CLOSE, 0, 0);
        } else if (protocol == atoms.netWmPing) {
          XEvent reply = ev;
          reply.xclient.window = root;
          XSendEvent(dpy, root, False, SubstructureNotifyMask | SubstructureRedirectMask, &reply);
        }
      } else if (e.message_type == atoms.tavexMessage && e.format == 32) {
        const UINT msg = static_cast<UINT>(static_cast<std::uint32_t>(e.data.l[0]));
        if (ExternalMessageAllowed(msg)) {
          PostInput(hwnd, msg, static_cast<WPARAM>(static_cast<std::uint32_t>(e.data.l[1])),
                    static_cast<LPARAM>(static_cast<std::int32_t>(e.data.l[2])));
        }
      }
      return;
    }
    case MotionNotify:
    case ButtonPress:
    case ButtonRelease:
      Mouse(*this, rec, ev);
      return;
    case KeyPress:
    case KeyRelease:
      Key(*this, rec, ev);
      return;
    case EnterNotify:
      if (ev.xcrossing.detail != NotifyInferior) {
        pointerWindow = hwnd;
        SetLastCursorPos(POINT{ev.xcrossing.x_root, ev.xcrossing.y_root});
      }
      return;
    case LeaveNotify: {
      const XCrossingEvent& e = ev.xcrossing;
      if (e.detail == NotifyInferior || e.mode == NotifyGrab) return;
      if (pointerWindow == hwnd) pointerWindow = nullptr;
      if (hover.active && hover.hwnd == hwnd) hover.active = false;
      auto it = leaveTrack.find(hwnd);
      if (it != leaveTrack.end()) {
        leaveTrack.erase(it);
        PostInput(hwnd, WM_MOUSELEAVE, 0, 0);
      }
      return;
    }
    case FocusIn:
      if (ev.xfocus.mode == NotifyGrab || ev.xfocus.mode == NotifyUngrab) return;
      if (StaleFocusNotice(ev.xfocus.serial)) return;
      if (ev.xfocus.detail == NotifyPointer) return;
      if (focus == nullptr || TopLevelOf(focus) != TopLevelOf(hwnd)) ChangeFocus(*this, hwnd);
      return;
    case FocusOut:
      if (ev.xfocus.mode == NotifyGrab || ev.xfocus.mode == NotifyUngrab) return;
      if (StaleFocusNotice(ev.xfocus.serial)) return;
      if (ev.xfocus.detail == NotifyPointer || ev.xfocus.detail == NotifyInferior) return;
      if (focus != nullptr && TopLevelOf(focus) == TopLevelOf(hwnd)) ChangeFocus(*this, nullptr);
      return;
    default:
      return;
  }
}

}  // namespace Tavex::Platform
