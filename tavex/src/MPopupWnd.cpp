#include "tavex/MPopupWnd.h"

#include <algorithm>

namespace Tavex {

namespace {
constexpr DWORD kStyle = WS_POPUP | WS_VISIBLE;
// Placed by the library itself, above the other windows, without a taskbar entry.
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
}  // namespace

MPopupWnd::MPopupWnd(MObject* owner) : m_ownerObject(owner) {
  SetBackColor(0x262626, 0x505050);
  // A press outside every control must not start moving the popup.
  EnableWndDrag(0);
}

MPopupWnd::~MPopupWnd() {
  m_inDestructor = true;
  if (IsValid()) DestroyWindow();
}

const char* MPopupWnd::GetClassNameW() const { return "MPopupWnd"; }
const char* MPopupWnd::GetWindowClassName() const { return "TavexPopup"; }

CRect MPopupWnd::FitIntoWorkArea(CRect wanted, CRect work) {
  CRect r = wanted;
  if (work.IsRectEmpty()) return r;
  if (r.right > work.right) r.OffsetRect(work.right - r.right, 0);
  if (r.bottom > work.bottom) r.OffsetRect(0, work.bottom - r.bottom);
  if (r.left < work.left) r.OffsetRect(work.left - r.left, 0);
  if (r.top < work.top) r.OffsetRect(0, work.top - r.top);
  return r;
}

HWND MPopupWnd::Create(HWND ownerWindow, CRect screen, unsigned flags) {
  if (IsValid()) return m_hWnd;
  CRect at = screen;
  if (!(flags & kKeepPosition)) {
    RECT work{};
    if (Native::GetWorkArea(ownerWindow, &work)) at = FitIntoWorkArea(screen, CRect(work));
  }
  const bool activate = !(flags & kNoActivate);
  DWORD exStyle = kExStyle;
  if (!activate) exStyle |= WS_EX_NOACTIVATE;
  if (m_pm.IsLayered()) exStyle |= WS_EX_LAYERED;
  m_closing = false;
  m_result = 0;
  m_windowGone = false;
  if (MDialog::Create(ownerWindow, "Popup Window", kStyle, exStyle, at) == nullptr) return nullptr;
  ShowWindow(activate ? SW_SHOW : SW_SHOWNA);
  if (activate) SetFocus();
  return m_hWnd;
}

HWND MPopupWnd::CreateOver(HWND ownerWindow, CRect client, unsigned flags) {
  POINT origin{client.left, client.top};
  if (ownerWindow != nullptr) Native::ClientToScreen(ownerWindow, &origin);
  return Create(ownerWindow,
                CRect(origin.x, origin.y, origin.x + client.Width(), origin.y + client.Height()),
                flags);
}

void MPopupWnd::Close(int result) {
  // One request is enough; activation loss during the close must not queue another.
  if (!IsValid() || m_closing) return;
  m_closing = true;
  PostMessageW(WM_USERCLOSEWINDOW, static_cast<WPARAM>(result), 0);
}

int MPopupWnd::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  if (m_ownerObject == nullptr) return 0;
  return m_ownerObject->OnBaseMessage(id, code, wParam, lParam);
}

LRESULT MPopupWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  ++m_depth;
  switch (msg) {
    case WM_ACTIVATE:
      if (wParam == WA_INACTIVE && m_closeOnDeactivate) Close(kResultDismissed);
      break;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE && m_closeOnEscape) Close(kResultDismissed);
      break;
    case WM_USERCLOSEWINDOW:
      m_closing = true;
      break;
    case WM_CLOSE:
      m_result = static_cast<int>(wParam);
      break;
    case WM_DESTROY:
      // The focused control ends its editing (an edit box reports 29) while the owner still
      // hears it.
      SetFocusControl(nullptr);
      break;
    default:
      break;
  }
  const LRESULT r = MDialog::OnWindowMessage(msg, wParam, lParam);
  // The window went away inside this message: the object may go now that nothing of it runs.
  if (--m_depth == 0 && m_windowGone && m_autoDelete && !m_inDestructor) delete this;
  return r;
}

void MPopupWnd::OnDestroyMessage(HWND hwnd) {
  MDialog::OnDestroyMessage(hwnd);
  m_windowGone = true;
  m_closing = false;
  if (m_onClose) {
    // A copy: the handler may replace itself or reuse the object.
    const auto handler = m_onClose;
    handler(m_result);
  }
  if (m_depth == 0 && m_autoDelete && !m_inDestructor) delete this;
}

}  // namespace Tavex
