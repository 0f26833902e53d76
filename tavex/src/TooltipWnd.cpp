#include "TooltipWnd.h"

#include <algorithm>

#include "tavex/Manager.h"
#include "tavex/Painter.h"

namespace Tavex {

namespace {
constexpr int kPadX = 6;
constexpr int kPadY = 4;
FontDesc TipFont() {
  FontDesc f;
  f.family = Manager::GetFontName();
  f.sizePx = 12;
  return f;
}
}  // namespace

const char* TooltipWnd::GetWindowClassName() const { return "TavexTooltip"; }

void TooltipWnd::ShowText(const CString& text, CPoint screenPt) {
  if (text.empty()) {
    Hide();
    return;
  }
  const SIZE s = MeasureText(text, TipFont(), kMaxWidth - 2 * kPadX, DT_WORDBREAK);
  const int w = std::min<int>(kMaxWidth, static_cast<int>(s.cx) + 2 * kPadX);
  const int h = static_cast<int>(s.cy) + 2 * kPadY;
  if (!IsValid()) {
    Create(nullptr, "", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
           CRect(screenPt.x, screenPt.y, screenPt.x + w, screenPt.y + h));
  }
  if (!IsValid()) return;
  m_text = text;
  MoveWindow(screenPt.x, screenPt.y, w, h, 1);
  ShowWindow(SW_SHOWNOACTIVATE);
  m_shown = true;
  Invalidate();
}

void TooltipWnd::Hide() {
  m_text.clear();
  if (m_shown) ShowWindow(SW_HIDE);
  m_shown = false;
}

void TooltipWnd::Paint() {
  PAINTSTRUCT ps{};
  Native::BeginPaint(m_hWnd, &ps);
  const CRect client = GetClientRect();
  if (client.Width() > 0 && client.Height() > 0) {
    Surface surface(client.Width(), client.Height());
    {
      Painter p(surface);
      p.Clear(0xFFFFFFFF);
      p.DrawRect(client, 0xFF767676);
      CRect text = client;
      text.DeflateRect(kPadX, kPadY);
      p.DrawText(m_text, TipFont(), text, 0xFF202020, DT_WORDBREAK | DT_LEFT | DT_TOP);
    }
    surface.Present(m_hWnd, client, 0, 0);
  }
  Native::EndPaint(m_hWnd, &ps);
}

LRESULT TooltipWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    Paint();
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  return MWindow::OnWindowMessage(msg, wParam, lParam);
}

}  // namespace Tavex
