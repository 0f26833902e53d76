// Native top-level and child windows over X11.
#include <X11/Xatom.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "Clock.h"
#include "ThreadQueue.h"
#include "X11Connection.h"
#include "tavex/Native.h"

namespace Tavex::Platform {
namespace {

struct MotifHints {
  unsigned long flags;
  unsigned long functions;
  unsigned long decorations;
  long inputMode;
  unsigned long status;
};

bool IsOverrideStyle(DWORD style, DWORD exStyle) {
  if (style & WS_CHILD) return false;
  if (exStyle & WS_EX_NOACTIVATE) return true;
  return (style & WS_POPUP) && (exStyle & WS_EX_TOOLWINDOW) && (exStyle & WS_EX_TOPMOST);
}

::Window XidOf(const WindowRecord& rec) { return static_cast<::Window>(rec.xid); }

// Client origin of a window in screen coordinates.
POINT ScreenOrigin(const WindowRecord& rec) {
  POINT p{rec.rect.left, rec.rect.top};
  if ((rec.style.load() & WS_CHILD) && rec.parent != nullptr) {
    if (auto parent = FindWindow(rec.parent)) {
      const POINT o = ScreenOrigin(*parent);
      p.x += o.x;
      p.y += o.y;
    }
  }
  return p;
}

void SetUtf8Property(X11Connection& c, ::Window xid, Atom property, const std::string& text) {
  XChangeProperty(c.dpy, xid, property, c.atoms.utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(text.data()),
                  static_cast<int>(text.size()));
}

void MapNow(X11Connection& c, const std::shared_ptr<WindowRecord>& rec, bool activate) {
  rec->visible = true;
  rec->style.fetch_or(WS_VISIBLE);
  SendNow(rec->hwnd, WM_SHOWWINDOW, 1, 0);
  rec->activateOnMap = activate && !rec->overrideRedirect && !(rec->style.load() & WS_CHILD);
  if (rec->style.load() & WS_CHILD) {
    XMapWindow(c.dpy, XidOf(*rec));
  } else {
    XMapRaised(c.dpy, XidOf(*rec));
  }
  Native::InvalidateRect(rec->hwnd, nullptr, true);
}

void UnmapNow(X11Connection& c, const std::shared_ptr<WindowRecord>& rec) {
  rec->visible = false;
  rec->style.fetch_and(~WS_VISIBLE);
  rec->hiddenSerial = NextRequest(c.dpy);
  if (rec->style.load() & WS_CHILD) {
    XUnmapWindow(c.dpy, XidOf(*rec));
  } else {
    XWithdrawWindow(c.dpy, XidOf(*rec), c.screen);
  }
}

}  // namespace

}  // namespace Tavex::Platform

namespace Tavex::Native {
using namespace Tavex::Platform;

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menu, HINSTANCE hInstance,
                    void* param) {
  X11Connection* c = X11Connection::Ensure();
  if (c == nullptr || className == nullptr) return nullptr;
  // The owner's queue exists from the start, so that other threads can post to the window
  // before its thread first asks for a message.
  CurrentQueue();
  ClassRecord cls;
  if (!FindClass(className, &cls)) return nullptr;
  const bool child = (style & WS_CHILD) != 0;
  std::shared_ptr<WindowRecord> parentRec;
  if (parent != nullptr) {
    parentRec = FindOwnWindow(parent);
    if (!parentRec) return nullptr;
  } else if (child) {
    return nullptr;
  }
  auto rec = std::make_shared<WindowRecord>();
  rec->thread = CurrentThreadId();
  rec->style.store(style & ~WS_VISIBLE);
  rec->exStyle.store(exStyle);
  rec->proc = cls.proc;
  rec->className = cls.name;
  rec->classStyle = cls.style;
  rec->classCursor = cls.cursor;
  rec->parent = parent;
  rec->instance = hInstance;
  rec->id = child ? static_cast<LONG_PTR>(reinterpret_cast<std::uintptr_t>(menu)) : 0;
  rec->title = title != nullptr ? title : "";
  rec->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  rec->restoreRect = rec->rect;
  rec->enabled = (style & WS_DISABLED) == 0;
  rec->overrideRedirect = IsOverrideStyle(style, exStyle);

  XSetWindowAttributes attrs{};
  unsigned long mask = CWEventMask | CWBackPixmap | CWBorderPixel | CWBitGravity;
  attrs.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask |
                     ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                     EnterWindowMask | LeaveWindowMask | FocusChangeMask | PropertyChangeMask;
  attrs.background_pixmap = None;
  attrs.border_pixel = 0;
  attrs.bit_gravity = NorthWestGravity;
  Visual* visual = CopyFromParent;
  int depth = CopyFromParent;
  if (!child && (exStyle & WS_EX_LAYERED) && c->argbVisual != nullptr) {
    visual = c->argbVisual;
    depth = 32;
    attrs.colormap = c->argbColormap;
    mask |= CWColormap;
    rec->alphaVisual = true;
  }
  if (rec->overrideRedirect) {
    attrs.override_redirect = True;
    mask |= CWOverrideRedirect;
  }
  const ::Window xparent = child ? XidOf(*parentRec) : c->root;
  const ::Window xid =
      XCreateWindow(c->dpy, xparent, x, y, static_cast<unsigned>(std::max(width, 1)),
                    static_cast<unsigned>(std::max(height, 1)), 0, depth, InputOutput, visual,
                    mask, &attrs);
  if (xid == 0) return nullptr;
  rec->xid = xid;
  rec->depth = rec->alphaVisual ? 32 : DefaultDepth(c->dpy, c->screen);
  rec->gc = XCreateGC(c->dpy, xid, 0, nullptr);
  const HWND hwnd = AddWindow(rec);
  c->byXid[xid] = hwnd;

  if (!child) {
    Atom protocols[] = {c->atoms.wmDeleteWindow, c->atoms.netWmPing};
    XSetWMProtocols(c->dpy, xid, protocols, 2);
    const long pid = static_cast<long>(getpid());
    XChangeProperty(c->dpy, xid, c->atoms.netWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    if (!(style & WS_CAPTION)) {
      MotifHints hints{2, 0, 0, 0, 0};  // decorations given, none of them
      XChangeProperty(c->dpy, xid, c->atoms.motifWmHints, c->atoms.motifWmHints, 32,
                      PropModeReplace, reinterpret_cast<const unsigned char*>(&hints), 5);
    }
    Atom type = c->atoms.typeNormal;
    if (rec->overrideRedirect) {
      type = (exStyle & WS_EX_NOACTIVATE) ? c->atoms.typeTooltip : c->atoms.typePopupMenu;
    } else if (exStyle & WS_EX_TOOLWINDOW) {
      type = c->atoms.typeUtility;
    } else if (parent != nullptr) {
      type = c->atoms.typeDialog;
    }
    XChangeProperty(c->dpy, xid, c->atoms.netWmWindowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&type), 1);
    if (parent != nullptr) XSetTransientForHint(c->dpy, xid, XidOf(*parentRec));
    XSizeHints size{};
    size.flags = USPosition | PPosition | PSize;
    size.x = x;
    size.y = y;
    size.width = std::max(width, 1);
    size.height = std::max(height, 1);
    XSetWMNormalHints(c->dpy, xid, &size);
    XClassHint classHint{};
    std::string resName = program_invocation_short_name;
    std::string resClass = "Tavex";
    classHint.res_name = resName.data();
    classHint.res_class = resClass.data();
    XSetClassHint(c->dpy, xid, &classHint);
    std::vector<Atom> states;
    if (exStyle & WS_EX_TOPMOST) states.push_back(c->atoms.stateAbove);
    if (exStyle & WS_EX_TOOLWINDOW) states.push_back(c->atoms.stateSkipTaskbar);
    if (!states.empty()) {
      XChangeProperty(c->dpy, xid, c->atoms.netWmState, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(states.data()),
                      static_cast<int>(states.size()));
    }
    SetUtf8Property(*c, xid, c->atoms.netWmName, rec->title);
    SetUtf8Property(*c, xid, XA_WM_NAME, rec->title);
  }

  CREATESTRUCT cs{};
  cs.lpCreateParams = param;
  cs.hInstance = hInstance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = rec->title.c_str();
  cs.lpszClass = rec->className.c_str();
  cs.dwExStyle = exStyle;
  if (SendNow(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) == 0) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!IsWindow(hwnd)) return nullptr;
  if (SendNow(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!IsWindow(hwnd)) return nullptr;
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

bool DestroyWindow(HWND hwnd) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec || !rec->alive.load()) return false;
  if (rec->destroying) return true;
  rec->destroying = true;
  for (auto& owned : OwnedWindows(hwnd)) DestroyWindow(owned->hwnd);
  if (c->capture == hwnd) ReleaseCapture();
  if (c->focus == hwnd) {
    // An owned window that goes with the keyboard (a menu, a popup box) hands it back to its
    // owner, as the system does; otherwise it would fall to the desktop.
    const auto owner = (rec->style.load() & WS_CHILD) == 0 ? FindOwnWindow(rec->parent) : nullptr;
    if (owner && owner->alive.load() && owner->visible && owner->enabled && !owner->iconic) {
      SetFocus(owner->hwnd);
    } else {
      ChangeFocus(*c, nullptr);
    }
  }
  if (rec->visible) UnmapNow(*c, rec);
  SendNow(hwnd, WM_DESTROY, 0, 0);
  SendNow(hwnd, WM_NCDESTROY, 0, 0);
  rec->alive.store(false);
  KillWindowTimers(hwnd);
  c->leaveTrack.erase(hwnd);
  if (c->hover.hwnd == hwnd) c->hover.active = false;
  if (c->pointerWindow == hwnd) c->pointerWindow = nullptr;
  if (c->lastClick.hwnd == hwnd) c->lastClick = ClickRecord{};
  if (c->moveDrag.hwnd == hwnd) c->moveDrag = MoveDrag{};
  if (c->active == hwnd) c->active = nullptr;
  c->ime->Forget(hwnd);
  c->byXid.erase(XidOf(*rec));
  if (rec->gc != nullptr) XFreeGC(c->dpy, static_cast<GC>(rec->gc));
  XDestroyWindow(c->dpy, XidOf(*rec));
  XFlush(c->dpy);
  RemoveWindow(hwnd);
  return true;
}

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec) return 0;
  switch (msg) {
    case WM_NCCREATE:
    case WM_NCACTIVATE:
    case WM_MOUSEACTIVATE:
      return 1;
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_NCLBUTTONDOWN:
      if (wParam == HTCAPTION) {
        SendNow(hwnd, WM_ENTERSIZEMOVE, 0, 0);
        const POINT press{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        StartWindowMove(*c, hwnd, &press);
      }
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
        case SC_CLOSE: PostMessage(hwnd, WM_CLOSE, 0, 0); break;
        case SC_MOVE: StartWindowMove(*c, hwnd); break;
        default: break;
      }
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(static_cast<std::uintptr_t>(lParam)) == HTCLIENT) {
        SetCursor(rec->classCursor != nullptr ? rec->classCursor : LoadCursor(nullptr, IDC_ARROW));
        return 1;
      }
      return 0;
    case WM_PAINT:
      ValidateRect(hwnd, nullptr);
      return 0;
    case WM_SETTEXT:
      return SetWindowText(hwnd, reinterpret_cast<const char*>(lParam)) ? 1 : 0;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(rec->title.size());
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0) return 0;
      const std::size_t n = std::min<std::size_t>(rec->title.size(), wParam - 1);
      std::memcpy(reinterpret_cast<char*>(lParam), rec->title.data(), n);
      reinterpret_cast<char*>(lParam)[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    default:
      return 0;
  }
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
  auto rec = FindWindow(hwnd);
  if (!rec) return 0;
  switch (index) {
    case GWL_STYLE: return static_cast<LONG_PTR>(rec->style.load());
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(rec->exStyle.load());
    case GWLP_USERDATA: return rec->userData.load();
    default: break;
  }
  if (rec->thread != CurrentThreadId()) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(rec->proc);
    case GWLP_ID: return rec->id;
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(rec->parent);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(rec->instance);
    default: return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
  auto rec = FindWindow(hwnd);
  if (!rec) return 0;
  if (index == GWLP_USERDATA) return rec->userData.exchange(value);
  if (rec->thread != CurrentThreadId()) return 0;
  X11Connection* c = X11Connection::Current();
  switch (index) {
    case GWL_STYLE: {
      const DWORD old = rec->style.load();
      const DWORD now = static_cast<DWORD>(value);
      rec->style.store((now & ~(WS_VISIBLE | WS_DISABLED)) | (old & (WS_VISIBLE | WS_DISABLED)));
      if ((now ^ old) & WS_DISABLED) EnableWindow(hwnd, !(now & WS_DISABLED));
      if ((now ^ old) & WS_VISIBLE) ShowWindow(hwnd, (now & WS_VISIBLE) ? SW_SHOWNA : SW_HIDE);
      return static_cast<LONG_PTR>(old);
    }
    case GWL_EXSTYLE: {
      const DWORD old = rec->exStyle.exchange(static_cast<DWORD>(value));
      if (c != nullptr && ((old ^ static_cast<DWORD>(value)) & WS_EX_TOPMOST)) {
        c->SetWindowState(*rec, c->atoms.stateAbove, (value & WS_EX_TOPMOST) != 0);
      }
      return static_cast<LONG_PTR>(old);
    }
    case GWLP_WNDPROC: {
      const WNDPROC old = rec->proc;
      rec->proc = reinterpret_cast<WNDPROC>(value);
      return reinterpret_cast<LONG_PTR>(old);
    }
    case GWLP_ID: {
      const LONG_PTR old = rec->id;
      rec->id = value;
      return old;
    }
    case GWLP_HWNDPARENT: {
      const HWND old = rec->parent;
      rec->parent = reinterpret_cast<HWND>(value);
      return reinterpret_cast<LONG_PTR>(old);
    }
    default:
      return 0;
  }
}

bool SetProp(HWND hwnd, const char* name, void* value) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || name == nullptr) return false;
  rec->props[name] = value;
  return true;
}

void* GetProp(HWND hwnd, const char* name) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || name == nullptr) return nullptr;
  auto it = rec->props.find(name);
  return it == rec->props.end() ? nullptr : it->second;
}

void* RemoveProp(HWND hwnd, const char* name) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || name == nullptr) return nullptr;
  auto it = rec->props.find(name);
  if (it == rec->props.end()) return nullptr;
  void* value = it->second;
  rec->props.erase(it);
  return value;
}

HWND GetParent(HWND hwnd) {
  auto rec = FindOwnWindow(hwnd);
  return rec ? rec->parent : nullptr;
}

bool ShowWindow(HWND hwnd, int cmd) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec || !rec->alive.load()) return false;
  const bool wasVisible = rec->visible;
  const bool topLevel = !(rec->style.load() & WS_CHILD);
  switch (cmd) {
    case SW_HIDE:
      if (rec->visible) {
        UnmapNow(*c, rec);
        SendNow(hwnd, WM_SHOWWINDOW, 0, 0);
        if (c->capture == hwnd) ReleaseCapture();
      }
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE: {
      if (rec->iconic || !topLevel) break;
      rec->iconic = true;
      rec->style.fetch_or(WS_MINIMIZE);
      const bool managed = !rec->overrideRedirect && c->WindowManagerRunning();
      if (managed) {
        if (!rec->visible) MapNow(*c, rec, false);
        XIconifyWindow(c->dpy, XidOf(*rec), c->screen);
      } else if (rec->visible) {
        XUnmapWindow(c->dpy, XidOf(*rec));
      }
      rec->visible = true;
      rec->style.fetch_or(WS_VISIBLE);
      if (c->focus == hwnd) ChangeFocus(*c, nullptr);
      SendNow(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
      break;
    }
    case SW_MAXIMIZE: {
      if (!topLevel) break;
      if (rec->iconic) ShowWindow(hwnd, SW_RESTORE);
      if (!rec->zoomed) rec->restoreRect = rec->rect;
      rec->zoomed = true;
      rec->style.fetch_or(WS_MAXIMIZE);
      RECT work{};
      GetWorkArea(hwnd, &work);
      // The window may limit its maximised size and place (offsets inside the work area).
      MINMAXINFO mmi{};
      mmi.ptMaxSize = POINT{work.right - work.left, work.bottom - work.top};
      mmi.ptMaxPosition = POINT{0, 0};
      mmi.ptMinTrackSize = POINT{1, 1};
      mmi.ptMaxTrackSize = POINT{DisplayWidth(c->dpy, c->screen), DisplayHeight(c->dpy, c->screen)};
      SendNow(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
      if (!IsWindow(hwnd)) break;
      work.left += mmi.ptMaxPosition.x;
      work.top += mmi.ptMaxPosition.y;
      work.right = work.left + std::max<LONG>(mmi.ptMaxSize.x, 1);
      work.bottom = work.top + std::max<LONG>(mmi.ptMaxSize.y, 1);
      if (!rec->visible) MapNow(*c, rec, true);
      // WM_SIZE reports SIZE_MAXIMIZED even when the size stays.
      const RECT old = rec->rect;
      SetWindowPos(hwnd, nullptr, work.left, work.top, work.right - work.left,
                   work.bottom - work.top, SWP_NOZORDER);
      if (old.right - old.left == work.right - work.left &&
          old.bottom - old.top == work.bottom - work.top) {
        SendNow(hwnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(work.right - work.left, work.bottom - work.top));
      }
      break;
    }
    case SW_RESTORE:
    case SW_SHOWNORMAL:
      if (rec->iconic) {
        rec->iconic = false;
        rec->style.fetch_and(~WS_MINIMIZE);
        MapNow(*c, rec, true);
        const RECT r = rec->rect;
        SendNow(hwnd, WM_SIZE, rec->zoomed ? SIZE_MAXIMIZED : SIZE_RESTORED,
                MAKELPARAM(r.right - r.left, r.bottom - r.top));
        break;
      }
      if (rec->zoomed) {
        rec->zoomed = false;
        rec->style.fetch_and(~WS_MAXIMIZE);
        const RECT r = rec->restoreRect;
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER);
      }
      if (!rec->visible) MapNow(*c, rec, true);
      break;
    case SW_SHOW:
    case SW_SHOWDEFAULT:
      if (!rec->visible) MapNow(*c, rec, true);
      break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
      if (!rec->visible) MapNow(*c, rec, false);
      break;
    default:
      return false;
  }
  XFlush(c->dpy);
  return wasVisible;
}

bool IsWindowVisible(HWND hwnd) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || !rec->alive.load() || !rec->visible) return false;
  if ((rec->style.load() & WS_CHILD) && rec->parent != nullptr) return IsWindowVisible(rec->parent);
  return true;
}

bool IsIconic(HWND hwnd) {
  auto rec = FindOwnWindow(hwnd);
  return rec && rec->iconic;
}

bool IsZoomed(HWND hwnd) {
  auto rec = FindOwnWindow(hwnd);
  return rec && rec->zoomed;
}

bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : SWP_NOREDRAW));
}

bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec || !rec->alive.load()) return false;
  const RECT old = rec->rect;
  WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) {
    wp.x = old.left;
    wp.y = old.top;
  }
  if (flags & SWP_NOSIZE) {
    wp.cx = old.right - old.left;
    wp.cy = old.bottom - old.top;
  }
  SendNow(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
  if (!IsWindow(hwnd)) return false;
  wp.cx = std::max(wp.cx, 0);
  wp.cy = std::max(wp.cy, 0);
  const RECT now{wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
  const ::Window xid = XidOf(*rec);
  if (now.left != old.left || now.top != old.top || wp.cx != old.right - old.left ||
      wp.cy != old.bottom - old.top) {
    XMoveResizeWindow(c->dpy, xid, now.left, now.top, static_cast<unsigned>(std::max(wp.cx, 1)),
                      static_cast<unsigned>(std::max(wp.cy, 1)));
    if (!(rec->style.load() & WS_CHILD)) {
      XSizeHints size{};
      size.flags = USPosition | PPosition | USSize | PSize;
      size.x = now.left;
      size.y = now.top;
      size.width = std::max(wp.cx, 1);
      size.height = std::max(wp.cy, 1);
      XSetWMNormalHints(c->dpy, xid, &size);
    }
    ApplyGeometry(rec, now, flags);
  }
  if (!(flags & SWP_NOZORDER)) {
    if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
      const bool top = insertAfter == HWND_TOPMOST;
      const DWORD ex = rec->exStyle.load();
      rec->exStyle.store(top ? (ex | WS_EX_TOPMOST) : (ex & ~WS_EX_TOPMOST));
      c->SetWindowState(*rec, c->atoms.stateAbove, top);
      if (top) XRaiseWindow(c->dpy, xid);
    } else if (insertAfter == HWND_BOTTOM) {
      XLowerWindow(c->dpy, xid);
    } else {
      XRaiseWindow(c->dpy, xid);
    }
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  XFlush(c->dpy);
  return true;
}

bool GetWindowRect(HWND hwnd, RECT* rect) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || rect == nullptr) return false;
  const POINT o = ScreenOrigin(*rec);
  *rect = RECT{o.x, o.y, o.x + (rec->rect.right - rec->rect.left),
               o.y + (rec->rect.bottom - rec->rect.top)};
  return true;
}

bool GetClientRect(HWND hwnd, RECT* rect) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || rect == nullptr) return false;
  *rect = RECT{0, 0, rec->rect.right - rec->rect.left, rec->rect.bottom - rec->rect.top};
  return true;
}

bool ClientToScreen(HWND hwnd, POINT* pt) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || pt == nullptr) return false;
  const POINT o = ScreenOrigin(*rec);
  pt->x += o.x;
  pt->y += o.y;
  return true;
}

bool ScreenToClient(HWND hwnd, POINT* pt) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || pt == nullptr) return false;
  const POINT o = ScreenOrigin(*rec);
  pt->x -= o.x;
  pt->y -= o.y;
  return true;
}

bool EnableWindow(HWND hwnd, bool enable) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec) return false;
  const bool wasDisabled = !rec->enabled;
  if (rec->enabled == enable) return wasDisabled;
  rec->enabled = enable;
  if (enable) {
    rec->style.fetch_and(~WS_DISABLED);
  } else {
    rec->style.fetch_or(WS_DISABLED);
    if (c->capture == hwnd) ReleaseCapture();
    if (c->moveDrag.active && c->moveDrag.hwnd == hwnd) {
      c->moveDrag.active = false;
      XUngrabPointer(c->dpy, CurrentTime);
    }
  }
  SendNow(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled;
}

bool IsWindowEnabled(HWND hwnd) {
  auto rec = FindOwnWindow(hwnd);
  return rec && rec->alive.load() && rec->enabled;
}

bool SetWindowText(HWND hwnd, const char* text) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec) return false;
  rec->title = text != nullptr ? text : "";
  if (!(rec->style.load() & WS_CHILD)) {
    SetUtf8Property(*c, XidOf(*rec), c->atoms.netWmName, rec->title);
    SetUtf8Property(*c, XidOf(*rec), XA_WM_NAME, rec->title);
  }
  return true;
}

std::string GetWindowText(HWND hwnd) {
  auto rec = FindOwnWindow(hwnd);
  return rec ? rec->title : std::string();
}

bool SetWindowIcon(HWND hwnd, int width, int height, const std::uint32_t* argb) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec || argb == nullptr || width <= 0 || height <= 0 ||
      width > 1024 || height > 1024) {
    return false;
  }
  rec->icons[{width, height}] =
      std::vector<std::uint32_t>(argb, argb + static_cast<std::size_t>(width) * height);
  std::vector<long> data;  // format-32 properties travel as longs
  for (const auto& [size, pixels] : rec->icons) {
    data.push_back(size.first);
    data.push_back(size.second);
    for (std::uint32_t p : pixels) data.push_back(static_cast<long>(p));
  }
  XChangeProperty(c->dpy, XidOf(*rec), c->atoms.netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(data.data()),
                  static_cast<int>(data.size()));
  return true;
}

bool SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
  X11Connection* c = X11Connection::Current();
  auto rec = FindOwnWindow(hwnd);
  if (c == nullptr || !rec) return false;
  if (flags & LWA_COLORKEY) rec->colorKey = key;
  if (flags & LWA_ALPHA) {
    rec->constantAlpha = alpha;
    if (alpha == 255) {
      XDeleteProperty(c->dpy, XidOf(*rec), c->atoms.netWmWindowOpacity);
    } else {
      const long opacity = static_cast<long>(static_cast<std::uint32_t>(alpha) * 0x01010101u);
      XChangeProperty(c->dpy, XidOf(*rec), c->atoms.netWmWindowOpacity, XA_CARDINAL, 32,
                      PropModeReplace, reinterpret_cast<const unsigned char*>(&opacity), 1);
    }
  }
  return true;
}

bool HasAlphaVisual(HWND hwnd) {
  auto rec = FindOwnWindow(hwnd);
  return rec && rec->alphaVisual;
}

}  // namespace Tavex::Native
