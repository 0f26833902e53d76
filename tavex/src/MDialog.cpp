#include "tavex/MDialog.h"

namespace Tavex {

namespace {
CPoint PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
unsigned KeysOf(WPARAM wParam) { return static_cast<unsigned>(wParam & 0xFFFF); }
// The close request of the window's close button carries no dialog result.
constexpr WPARAM kNoResult = 0;
}  // namespace

MDialog::MDialog() = default;

MDialog::~MDialog() {
  // Controls may post repaints to the window while it goes; close the window first.
  DestroyWindow();
}

const char* MDialog::GetClassNameW() const { return "MDialog"; }

int MDialog::OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  if (m_cancelResult && m_closeButton != 0 && id == m_closeButton && code == Notify::Click) {
    DoCancel();
    return 1;
  }
  return OnMessage(id, code, wParam, lParam);
}

void MDialog::SetCancelResult(int on, unsigned closeButton) {
  m_cancelResult = on ? 1 : 0;
  m_closeButton = closeButton;
}

int MDialog::OnControlUpdate(CRect rect, int flag, MControl* control) {
  return m_pm.OnControlUpdate(rect, flag, control);
}

LRESULT MDialog::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: OnCreate(reinterpret_cast<CREATESTRUCT*>(lParam)); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_SIZE:
      OnSize(static_cast<unsigned>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
             HIWORD(static_cast<std::uintptr_t>(lParam)));
      break;
    case WM_PAINT: OnPaint(); break;
    case WM_CLOSE:
      if (m_cancelResult && wParam == kNoResult) {
        DoCancel();
        return 0;
      }
      OnClose();
      break;
    case WM_WINDOWPOSCHANGING: OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)); break;
    case WM_WINDOWPOSCHANGED: OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam)); break;
    case WM_NCACTIVATE: OnNcActivate(static_cast<int>(wParam)); break;
    case WM_TIMER: OnTimer(static_cast<unsigned>(wParam)); break;
    case WM_MOUSEMOVE: OnMouseMove(KeysOf(wParam), PointOf(lParam)); break;
    case WM_LBUTTONDOWN: OnLButtonDown(KeysOf(wParam), PointOf(lParam)); break;
    case WM_LBUTTONUP: OnLButtonUp(KeysOf(wParam), PointOf(lParam)); break;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(KeysOf(wParam), PointOf(lParam)); break;
    case WM_RBUTTONDOWN: OnRButtonDown(KeysOf(wParam), PointOf(lParam)); break;
    case WM_RBUTTONUP: OnRButtonUp(KeysOf(wParam), PointOf(lParam)); break;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(KeysOf(wParam), PointOf(lParam)); break;
    case WM_MOUSEHOVER: OnMouseHover(KeysOf(wParam), PointOf(lParam)); break;
    case WM_MOUSELEAVE: OnMouseLeave(); break;
    case WM_MOUSEWHEEL:
      OnMouseWheel(GET_KEYSTATE_WPARAM(wParam), static_cast<short>(GET_WHEEL_DELTA_WPARAM(wParam)),
                   PointOf(lParam));
      break;
    case WM_KEYDOWN:
      OnKeyDown(static_cast<unsigned>(wParam), static_cast<unsigned>(lParam & 0xFFFF),
                static_cast<unsigned>((lParam >> 16) & 0xFFFF));
      break;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); break;
    case WM_ERASEBKGND: return 1;
    case WM_USERCLOSEWINDOW: return OnUserCloseWindow(wParam, lParam);
    default: break;
  }
  LRESULT result = 0;
  if (m_pm.OnWindowMessage(msg, wParam, lParam, &result)) return result;
  if (msg == WM_KEYDOWN && wParam == VK_ESCAPE && m_cancelResult) {
    DoCancel();
    return 0;
  }
  return MWindow::OnWindowMessage(msg, wParam, lParam);
}

int MDialog::PreTranslateMessage(MSG* msg) { return m_pm.PreTranslateMessage(msg); }

int MDialog::OnInitDialog() {
  m_pm.Init(m_hWnd, this);
  m_client = MWindow::GetClientRect();
  InitUI(m_client);
  return 1;
}

void MDialog::OnDestroyMessage(HWND) {
  m_pm.DestroyData();
  PostNcDestroy();
}

CPoint MDialog::GetAirBladderPoint(MControl* control, unsigned where) {
  if (control == nullptr) return {};
  const CRect r = control->GetRect();
  const CPoint c = r.CenterPoint();
  switch (where) {
    case AIRBLADDER_MODE_BOTTOM: return {c.x, r.bottom};
    case AIRBLADDER_MODE_LEFT: return {r.left, c.y};
    case AIRBLADDER_MODE_RIGHT: return {r.right, c.y};
    default: return {c.x, r.top};
  }
}

void MDialog::OnMinimize() { ShowWindow(SW_MINIMIZE); }

void MDialog::OnMaximize() {
  if (!IsValid()) return;
  ShowWindow(Native::IsZoomed(m_hWnd) ? SW_RESTORE : SW_MAXIMIZE);
}

void MDialog::InitUI(CRect) {}
void MDialog::UISize(CRect) {}
int MDialog::OnMessage(unsigned, unsigned, unsigned, long) { return 0; }

LRESULT MDialog::OnUserCloseWindow(WPARAM wParam, LPARAM lParam) {
  return PostMessageW(WM_CLOSE, wParam, lParam);
}

int MDialog::OnCreate(CREATESTRUCT*) {
  if (!IsValid()) return 0;
  const DWORD style = (GetStyle() & 0xFF3BFFFFu) | 0x06000008u;
  Native::SetWindowLongPtr(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(style));
  return 0;
}

void MDialog::SetupBackTranslucent(COLORREF key, BYTE alpha) {
  m_colorKey = key;
  m_alpha = alpha;
  if (IsValid()) {
    ApplyTranslucency();
    Invalidate(0);
  }
}

void MDialog::ApplyTranslucency() {
  if (m_alpha < 255) {
    Native::SetLayeredWindowAttributes(m_hWnd, 0, m_alpha, LWA_ALPHA);
  } else if (m_colorKey != 0xFFFFFF) {
    Native::SetLayeredWindowAttributes(m_hWnd, m_colorKey, 255, LWA_COLORKEY);
  }
}

int MDialog::OnSize(unsigned type, int, int) {
  if (type == SIZE_MINIMIZED || !IsValid()) return 0;
  ApplyTranslucency();
  m_client = MWindow::GetClientRect();
  if (m_client.Width() > 1 && m_client.Height() > 1) UISize(m_client);
  Invalidate(0);
  return 0;
}

int MDialog::OnMouseMove(unsigned, CPoint) { return 0; }
int MDialog::OnMouseLeave() { return 0; }
int MDialog::OnMouseHover(unsigned, CPoint) { return 0; }
int MDialog::OnMouseWheel(unsigned, short, CPoint) { return 0; }
int MDialog::OnLButtonDown(unsigned, CPoint) { return 0; }
int MDialog::OnLButtonUp(unsigned, CPoint) { return 0; }
int MDialog::OnLButtonDblClk(unsigned, CPoint) { return 0; }
int MDialog::OnRButtonDown(unsigned, CPoint) { return 0; }
int MDialog::OnRButtonUp(unsigned, CPoint) { return 0; }
int MDialog::OnRButtonDblClk(unsigned, CPoint) { return 0; }
int MDialog::OnKeyDown(unsigned, unsigned, unsigned) { return 0; }
int MDialog::OnNcHitTest(CPoint) { return 0; }
int MDialog::OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
int MDialog::OnNcCalcSize(WPARAM, LPARAM) { return 0; }
int MDialog::OnNcActivate(int) { return 0; }
int MDialog::OnWindowPosChanging(WINDOWPOS*) { return 0; }
int MDialog::OnWindowPosChanged(WINDOWPOS*) { return 0; }
int MDialog::OnPaint() { return 0; }
int MDialog::OnTimer(unsigned) { return 0; }
int MDialog::OnNcPaint() { return 0; }
int MDialog::OnClose() { return 1; }
int MDialog::OnDestroy() { return 0; }
void MDialog::PostNcDestroy() {}

MControl* MDialog::CreateControl(const char* className, unsigned id, CRect rect,
                                 const char* title, int a, int b) {
  return m_pm.CreateControl(this, className, id, rect, title, a, b, 1);
}

MControl* MDialog::CreateArea(const char* className, unsigned id, CRect rect, const char* title,
                              int a, int b) {
  return m_pm.CreateControl(this, className, id, rect, title, a, b, 0);
}

MControl* MDialog::AddControl(MControl* control, unsigned kind) {
  if (control == nullptr) return nullptr;
  control->SetParent(this);
  return m_pm.AddControl(control, kind);
}

MControl* MDialog::GetControl(unsigned id) const { return m_pm.GetControl(id); }

void MDialog::DoOK() { PostMessageW(WM_USERCLOSEWINDOW, 1, 0); }
void MDialog::DoCancel() { PostMessageW(WM_USERCLOSEWINDOW, 2, 0); }
void MDialog::DoClose() { PostMessageW(WM_USERCLOSEWINDOW, 2, 0); }
void MDialog::DoYes() { PostMessageW(WM_USERCLOSEWINDOW, 6, 0); }
void MDialog::DoNo() { PostMessageW(WM_USERCLOSEWINDOW, 7, 0); }

}  // namespace Tavex
