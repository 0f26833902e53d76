#include "tavex/MWindow.h"

#include <algorithm>

#include "tavex/MRender.h"
#include "tavex/Manager.h"
#include "tavex/Painter.h"

namespace Tavex {

namespace {
constexpr char kObjectProp[] = "Control";
constexpr DWORD kDefaultStyle = 0x80B;
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;  // 11
}  // namespace

MWindow::MWindow() : m_prevProc(&Native::DefWindowProc) {}

MWindow::~MWindow() {
  // The object may go while its window lives (a local dialog left in scope): detach so the
  // window procedure never reaches a freed object, then close the window.
  if (IsValid()) {
    if (GetSuperClassName() == nullptr) {
      Native::SetWindowLongPtr(m_hWnd, GWLP_USERDATA, 0);
    } else {
      Native::RemoveProp(m_hWnd, kObjectProp);
    }
    const HWND hwnd = m_hWnd;
    m_hWnd = nullptr;
    Native::DestroyWindow(hwnd);
  }
  Manager::DeleteWnd(this);
}

const char* MWindow::GetWindowClassName() const { return "TavexClient"; }
const char* MWindow::GetSuperClassName() const { return nullptr; }

bool MWindow::IsValid() const {
  return m_hWnd != nullptr && m_hWnd != reinterpret_cast<HWND>(~std::uintptr_t{0}) &&
         Native::IsWindow(m_hWnd);
}

int MWindow::ShowWindow(int cmd) {
  if (!IsValid()) return 0;
  return Native::ShowWindow(m_hWnd, cmd) ? 1 : 0;
}

LRESULT MWindow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return Native::CallWindowProc(m_prevProc, m_hWnd, msg, wParam, lParam);
}

int MWindow::PreTranslateMessage(MSG*) { return 0; }
int MWindow::OnInitDialog() { return 1; }
void MWindow::OnDestroyMessage(HWND) {}

int MWindow::RegisterWindowClass() {
  WNDCLASS wc{};
  wc.style = kClassStyle;
  wc.lpfnWndProc = &MWindow::WndProc;
  wc.hInstance = Manager::GetInstance();
  wc.lpszClassName = GetWindowClassName();
  return Native::RegisterClass(wc) ? 1 : 0;
}

int MWindow::RegisterSuperClass() {
  WNDCLASS base{};
  if (!Native::GetClassInfo(nullptr, GetSuperClassName(), &base) &&
      !Native::GetClassInfo(Manager::GetInstance(), GetSuperClassName(), &base)) {
    return 0;
  }
  m_prevProc = base.lpfnWndProc != nullptr ? base.lpfnWndProc : &Native::DefWindowProc;
  WNDCLASS wc = base;
  wc.lpfnWndProc = &MWindow::ControlProc;
  wc.hInstance = Manager::GetInstance();
  wc.lpszClassName = GetWindowClassName();
  return Native::RegisterClass(wc) ? 1 : 0;
}

HWND MWindow::Create(HWND parent, const char* title, DWORD style, DWORD exStyle, CRect rect,
                     HMENU menu) {
  if (IsValid()) return m_hWnd;
  m_hParent = parent;
  const int registered =
      GetSuperClassName() != nullptr ? RegisterSuperClass() : RegisterWindowClass();
  if (!registered) return nullptr;
  // Make sure this thread has its message queue before the window exists, so that messages
  // posted to the window before the first loop runs (DoOK before ShowModal) are kept.
  MSG none{};
  Native::PeekMessage(&none, nullptr, WM_NULL, WM_NULL, PM_NOREMOVE);
  const HWND hwnd = Native::CreateWindowEx(exStyle, GetWindowClassName(), title, style, rect.left,
                                           rect.top, rect.Width(), rect.Height(), parent, menu,
                                           Manager::GetInstance(), this);
  // A window that could not be created gets no OnInitDialog: derived dialogs start threads
  // and timers there that would have no window to report to.
  if (hwnd == nullptr) return nullptr;
  Manager::AddWnd(this);
  OnInitDialog();
  return hwnd;
}

HWND MWindow::Create(HWND parent, const char* title, DWORD style, DWORD exStyle, CRect rect) {
  return Create(parent, title, style, exStyle, rect, nullptr);
}

HWND MWindow::Create(HWND parent, CRect rect) {
  return Create(parent, "TavexClient", kDefaultStyle, 0, rect, nullptr);
}

HWND MWindow::Create(HWND parent) { return Create(parent, CRect(0, 0, 800, 600)); }

int MWindow::ShowModal(int cmdShow) {
  if (!IsValid()) return kNoWindow;
  const HWND self = m_hWnd;
  ShowWindow(cmdShow);
  const HWND owner = Native::GetParent(self);
  if (owner != nullptr) Native::EnableWindow(owner, false);
  const auto releaseOwner = [owner] {
    if (owner != nullptr && Native::IsWindow(owner)) {
      Native::EnableWindow(owner, true);
      Native::SetFocus(owner);
    }
  };

  int result = 0;
  bool quit = false;
  int exitCode = 0;
  while (Native::IsWindow(self)) {
    MSG msg{};
    const int got = Native::GetMessage(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      exitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (got < 0) break;
    if (msg.message == WM_CLOSE && msg.hwnd == self) {
      result = static_cast<int>(msg.wParam);
      releaseOwner();
    }
    if (!PreTranslateMessage(&msg)) {
      Native::TranslateMessage(&msg);
      Native::DispatchMessage(&msg);
    }
  }
  releaseOwner();
  if (quit) Native::PostQuitMessage(exitCode);
  return result;
}

int MWindow::DestroyWindow() {
  if (!IsValid()) return 0;
  return Native::DestroyWindow(m_hWnd) ? 1 : 0;
}

int MWindow::EnableWindow(int enable) {
  if (!IsValid()) return 0;
  return Native::EnableWindow(m_hWnd, enable != 0) ? 1 : 0;
}

int MWindow::IsWindowEnabled() const { return IsValid() && Native::IsWindowEnabled(m_hWnd); }
int MWindow::IsWindowVisible() const { return IsValid() && Native::IsWindowVisible(m_hWnd); }
int MWindow::IsIconic() const { return IsValid() && Native::IsIconic(m_hWnd); }
HWND MWindow::SetFocus() { return IsValid() ? Native::SetFocus(m_hWnd) : nullptr; }
HWND MWindow::SetCapture() { return IsValid() ? Native::SetCapture(m_hWnd) : nullptr; }
int MWindow::ReleaseCapture() { return IsValid() && Native::ReleaseCapture() ? 1 : 0; }

int MWindow::GetClientRect(RECT* rect) const {
  return IsValid() && rect != nullptr && Native::GetClientRect(m_hWnd, rect) ? 1 : 0;
}
int MWindow::GetWindowRect(RECT* rect) const {
  return IsValid() && rect != nullptr && Native::GetWindowRect(m_hWnd, rect) ? 1 : 0;
}
CRect MWindow::GetClientRect() const {
  RECT r{};
  GetClientRect(&r);
  return r;
}
CRect MWindow::GetWindowRect() const {
  RECT r{};
  GetWindowRect(&r);
  return r;
}

int MWindow::ClientToScreen(POINT* pt) const {
  return IsValid() && pt != nullptr && Native::ClientToScreen(m_hWnd, pt) ? 1 : 0;
}
int MWindow::ClientToScreen(RECT* rect) const {
  if (rect == nullptr) return 0;
  POINT a{rect->left, rect->top};
  POINT b{rect->right, rect->bottom};
  if (!ClientToScreen(&a) || !ClientToScreen(&b)) return 0;
  *rect = RECT{a.x, a.y, b.x, b.y};
  return 1;
}
int MWindow::ScreenToClient(POINT* pt) const {
  return IsValid() && pt != nullptr && Native::ScreenToClient(m_hWnd, pt) ? 1 : 0;
}
int MWindow::ScreenToClient(RECT* rect) const {
  if (rect == nullptr) return 0;
  POINT a{rect->left, rect->top};
  POINT b{rect->right, rect->bottom};
  if (!ScreenToClient(&a) || !ScreenToClient(&b)) return 0;
  *rect = RECT{a.x, a.y, b.x, b.y};
  return 1;
}

int MWindow::MoveWindow(int x, int y, int width, int height, int repaint) {
  return IsValid() && Native::MoveWindow(m_hWnd, x, y, width, height, repaint != 0) ? 1 : 0;
}
int MWindow::MoveWindow(const RECT& rect, int repaint) {
  return MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
}
int MWindow::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  return IsValid() && Native::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags) ? 1 : 0;
}
int MWindow::InvalidateRect(CRect rect, int erase) {
  if (!IsValid()) return 0;
  const RECT r = rect;
  return Native::InvalidateRect(m_hWnd, &r, erase != 0) ? 1 : 0;
}
int MWindow::Invalidate(int erase) {
  return IsValid() && Native::InvalidateRect(m_hWnd, nullptr, erase != 0) ? 1 : 0;
}
int MWindow::SetWindowTextW(const char* text) {
  return IsValid() && Native::SetWindowText(m_hWnd, text != nullptr ? text : "") ? 1 : 0;
}
int MWindow::GetWindowTextW(CString& text) const {
  if (!IsValid()) return 0;
  text = Native::GetWindowText(m_hWnd);
  return static_cast<int>(text.size());
}
int MWindow::GetWindowTextLengthW() const {
  return IsValid() ? static_cast<int>(Native::GetWindowText(m_hWnd).size()) : 0;
}
DWORD MWindow::GetStyle() const {
  return IsValid() ? static_cast<DWORD>(Native::GetWindowLongPtr(m_hWnd, GWL_STYLE)) : 0;
}
DWORD MWindow::GetExStyle() const {
  return IsValid() ? static_cast<DWORD>(Native::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE)) : 0;
}
int MWindow::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
  if (!IsValid()) return 0;
  const DWORD style = GetStyle();
  const DWORD next = (style & ~remove) | add;
  if (next == style) return 0;
  Native::SetWindowLongPtr(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(next));
  if (swpFlags != 0) {
    Native::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
  }
  return 1;
}
int MWindow::ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags) {
  if (!IsValid()) return 0;
  const DWORD style = GetExStyle();
  const DWORD next = (style & ~remove) | add;
  if (next == style) return 0;
  Native::SetWindowLongPtr(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(next));
  if (swpFlags != 0) {
    Native::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
  }
  return 1;
}
LRESULT MWindow::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
  return IsValid() ? Native::SendMessage(m_hWnd, msg, wParam, lParam) : 0;
}
int MWindow::EnableInputMethod(int enable) {
  return IsValid() && Native::EnableInputMethod(m_hWnd, enable != 0) ? 1 : 0;
}
int MWindow::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
  return IsValid() && Native::PostMessage(m_hWnd, msg, wParam, lParam) ? 1 : 0;
}

UINT_PTR MWindow::SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  if (!IsValid()) return 0;
  const UINT_PTR got = Native::SetTimer(m_hWnd, id, elapseMs, proc);
  if (got != 0) m_userTimers.insert(got);
  return got;
}

int MWindow::KillTimer(UINT_PTR id) {
  if (!IsValid()) return 0;
  m_userTimers.erase(id);
  return Native::KillTimer(m_hWnd, id) ? 1 : 0;
}

namespace {
int SetIconImage(HWND hwnd, const Image& icon) {
  if (icon.IsNull()) return 0;
  int set = 0;
  for (const int metric : {SM_CXICON, SM_CXSMICON}) {
    const int size = std::max(1, Native::GetSystemMetrics(metric));
    Surface surface(size, size);
    {
      Painter painter(surface);
      painter.DrawImage(icon, RECT{0, 0, size, size}, RECT{0, 0, icon.Width(), icon.Height()});
    }
    const std::vector<std::uint32_t> pixels = surface.ToImage().ToARGB();
    if (Native::SetWindowIcon(hwnd, size, size, pixels.data())) set = 1;
  }
  return set;
}
}  // namespace

int MWindow::SetIconFile(const CString& path) {
  if (!IsValid()) return 0;
  return SetIconImage(m_hWnd, MRender::LoadImageFromFile(path));
}

int MWindow::SetIcon(unsigned resourceId) {
  if (!IsValid()) return 0;
  if (SetIconImage(m_hWnd, MRender::LoadImageFromIDResource(resourceId, "ICON", nullptr))) return 1;
  const CString base = Manager::GetProgramFolder() + std::to_string(resourceId);
  return SetIconFile(base + ".ico") || SetIconFile(base + ".png") ? 1 : 0;
}

CPoint MWindow::CenteredPosition(CSize size, CRect over, CRect bounds) {
  int x = over.left + (over.Width() - size.cx) / 2;
  int y = over.top + (over.Height() - size.cy) / 2;
  if (x + size.cx > bounds.right) x = bounds.right - size.cx;
  if (y + size.cy > bounds.bottom) y = bounds.bottom - size.cy;
  if (x < bounds.left) x = bounds.left;
  if (y < bounds.top) y = bounds.top;
  return {x, y};
}

void MWindow::CenterWindow(MWindow* other) {
  if (!IsValid()) return;
  const CRect mine = GetWindowRect();
  const bool child = (GetStyle() & WS_CHILD) != 0;
  const HWND parent = Native::GetParent(m_hWnd);
  CRect over;
  CRect bounds;
  if (child && parent != nullptr) {
    RECT pr{};
    Native::GetClientRect(parent, &pr);
    bounds = pr;
    over = pr;
    if (other != nullptr && other->IsValid()) {
      RECT orc = other->GetWindowRect();
      POINT a{orc.left, orc.top};
      POINT b{orc.right, orc.bottom};
      Native::ScreenToClient(parent, &a);
      Native::ScreenToClient(parent, &b);
      over = CRect(a.x, a.y, b.x, b.y);
    }
  } else {
    RECT work{};
    Native::GetWorkArea(m_hWnd, &work);
    bounds = work;
    over = work;
    if (other != nullptr && other->IsValid()) {
      over = other->GetWindowRect();
    } else if (parent != nullptr && Native::IsWindowVisible(parent) && !Native::IsIconic(parent)) {
      RECT pr{};
      Native::GetWindowRect(parent, &pr);
      over = pr;
    }
  }
  const CPoint at = CenteredPosition(mine.Size(), over, bounds);
  Native::SetWindowPos(m_hWnd, nullptr, at.x, at.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MWindow::BringToTop() {
  if (!IsValid()) return;
  Native::SetForegroundWindow(m_hWnd);
  Native::ShowWindow(m_hWnd, Native::IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW);
}

LRESULT MWindow::Route(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool property) {
  const auto attached = [&]() -> MWindow* {
    if (property) return static_cast<MWindow*>(Native::GetProp(hwnd, kObjectProp));
    return reinterpret_cast<MWindow*>(Native::GetWindowLongPtr(hwnd, GWLP_USERDATA));
  };
  if (msg == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
    auto* self = cs != nullptr ? static_cast<MWindow*>(cs->lpCreateParams) : nullptr;
    if (self != nullptr) {
      self->m_hWnd = hwnd;
      if (property) {
        Native::SetProp(hwnd, kObjectProp, self);
      } else {
        Native::SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      }
      self->OnWindowMessage(msg, wParam, lParam);
    }
    return TRUE;
  }
  MWindow* self = attached();
  if (msg == WM_NCDESTROY) {
    if (self == nullptr) return Native::DefWindowProc(hwnd, msg, wParam, lParam);
    const LRESULT r = Native::CallWindowProc(self->m_prevProc, hwnd, msg, wParam, lParam);
    if (property) {
      Native::RemoveProp(hwnd, kObjectProp);
    } else {
      Native::SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
    }
    self->m_hWnd = nullptr;
    self->m_userTimers.clear();
    Manager::DeleteWnd(self);
    self->OnDestroyMessage(hwnd);
    return r;
  }
  if (self == nullptr) return Native::DefWindowProc(hwnd, msg, wParam, lParam);
  return self->OnWindowMessage(msg, wParam, lParam);
}

LRESULT MWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return Route(hwnd, msg, wParam, lParam, false);
}

LRESULT MWindow::ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return Route(hwnd, msg, wParam, lParam, true);
}

void MWindow::PaintLayeredFrame(const Surface& frame) {
  PAINTSTRUCT ps{};
  Native::BeginPaint(m_hWnd, &ps);
  if (!frame.IsNull()) {
    Native::UpdateLayeredWindow(m_hWnd, frame.Data(), frame.Width(), frame.Height(), frame.Stride());
  }
  Native::EndPaint(m_hWnd, &ps);
}

}  // namespace Tavex
