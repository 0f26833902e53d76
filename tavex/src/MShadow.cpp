#include "tavex/MShadow.h"

#include <algorithm>
#include <cmath>

#include "tavex/MRender.h"
#include "tavex/Native.h"

namespace Tavex {

MShadow::MShadow() = default;
MShadow::~MShadow() { DestroyWindow(); }

const char* MShadow::GetWindowClassName() const { return "TavexShadow"; }

bool MShadow::Create(HWND owner, int size, bool show) {
  m_owner = owner;
  m_size = std::max(size, 0);
  m_show = show;
  if (IsValid()) return true;
  if (MWindow::Create(owner, "", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW, CRect(0, 0, 1, 1)) ==
      nullptr) {
    return false;
  }
  Follow(owner);
  return true;
}

LRESULT MShadow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      PaintLayeredFrame(m_frame);
      return 0;
    default:
      return MWindow::OnWindowMessage(msg, wParam, lParam);
  }
}

Surface MShadow::Render(int ownerWidth, int ownerHeight) const {
  const int s = m_size;
  Surface out(ownerWidth + 2 * s, ownerHeight + 2 * s);
  if (out.IsNull()) return out;
  Painter painter(out);
  if (!m_image.IsNull()) {
    MRender::DrawImageFrameMID(painter, m_image, CRect(0, 0, out.Width(), out.Height()), 0, 0,
                               m_image.Width(), m_image.Height(), m_nine.left, m_nine.top,
                               m_nine.right, m_nine.bottom);
    return out;
  }
  // Concentric one-pixel rings from the outside in; the dialog covers the middle.
  const double power = 1.0 + std::clamp(m_sharpness, 0, 20) / 5.0;
  for (int i = 0; i < s; ++i) {
    const double t = static_cast<double>(i + 1) / s;  // 0 outside .. 1 at the edge
    const int alpha = static_cast<int>(std::lround(m_darkness * std::pow(t, power)));
    const ARGB colour = ARGBFromCOLORREF(m_colour, static_cast<BYTE>(std::clamp(alpha, 0, 255)));
    const CRect ring(i, i, out.Width() - i, out.Height() - i);
    painter.DrawRect(ring, colour, 1);
  }
  return out;
}

void MShadow::Refresh() {
  if (!IsValid()) return;
  m_frame = Render(m_ownerSize.cx, m_ownerSize.cy);
  Native::InvalidateRect(m_hWnd, nullptr, false);
}

void MShadow::Follow(HWND owner) {
  if (!IsValid() || owner == nullptr) return;
  RECT r{};
  Native::GetWindowRect(owner, &r);
  const CSize size(r.right - r.left, r.bottom - r.top);
  const bool visible = m_show && Native::IsWindowVisible(owner) && !Native::IsIconic(owner);
  Native::SetWindowPos(m_hWnd, nullptr, r.left - m_size + m_x, r.top - m_size + m_y,
                       size.cx + 2 * m_size, size.cy + 2 * m_size,
                       SWP_NOZORDER | SWP_NOACTIVATE);
  if (!(size == m_ownerSize) || m_frame.IsNull()) {
    m_ownerSize = size;
    Refresh();
  }
  if (visible && !Native::IsWindowVisible(m_hWnd)) {
    Native::ShowWindow(m_hWnd, SW_SHOWNA);
    // Behind the dialog: the dialog goes back on top of its shadow.
    Native::SetWindowPos(owner, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else if (!visible && Native::IsWindowVisible(m_hWnd)) {
    Native::ShowWindow(m_hWnd, SW_HIDE);
  }
}

void MShadow::SetSize(int size) {
  m_size = std::max(size, 0);
  m_frame = Surface();
  Follow(m_owner);
}

void MShadow::SetSharpness(int sharpness) {
  m_sharpness = sharpness;
  Refresh();
}

void MShadow::SetDarkness(int darkness) {
  m_darkness = std::clamp(darkness, 0, 255);
  Refresh();
}

void MShadow::SetPosition(int x, int y) {
  m_x = x;
  m_y = y;
  Follow(m_owner);
}

void MShadow::SetColor(COLORREF colour) {
  m_colour = colour;
  Refresh();
}

bool MShadow::SetImage(const Image& image, CRect nine) {
  if (image.IsNull()) return false;
  m_image = image;
  m_nine = nine;
  Refresh();
  return true;
}

void MShadow::SetShow(bool show) {
  m_show = show;
  Follow(m_owner);
}

}  // namespace Tavex
