#include "tavex/Palettes.h"

#include <algorithm>

#include "tavex/Codes.h"

namespace Tavex {

CColorPalette::CColorPalette(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible) {}

const char* CColorPalette::GetClassNameW() const { return "CColorPalette"; }

void CColorPalette::SetColor(COLORREF colour) {
  {
    std::lock_guard guard(m_dataLock);
    if (ColorFromHSV(m_hue, m_sat, m_val) == (colour & 0xFFFFFF)) return;
    double h = 0, s = 0, v = 0;
    ColorToHSV(colour, &h, &s, &v);
    // Greys have no hue: keep the one shown.
    if (s > 0) m_hue = h;
    m_sat = s;
    m_val = v;
  }
  UpdateControl(1, 0);
}

COLORREF CColorPalette::GetColor() const {
  std::lock_guard guard(m_dataLock);
  return ColorFromHSV(m_hue, m_sat, m_val);
}

CRect CColorPalette::GetFieldRect() const {
  const CRect r = GetRect();
  return CRect(r.left, r.top, r.right - kHueBarWidth - kGap, r.bottom);
}

CRect CColorPalette::GetHueRect() const {
  const CRect r = GetRect();
  return CRect(r.right - kHueBarWidth, r.top, r.right, r.bottom);
}

bool CColorPalette::ColorAt(CPoint pt, COLORREF* colour) const {
  const CRect field = GetFieldRect(), hue = GetHueRect();
  std::lock_guard guard(m_dataLock);
  if (field.PtInRect(pt) && field.Width() > 1 && field.Height() > 1) {
    const double s = static_cast<double>(pt.x - field.left) / (field.Width() - 1);
    const double v = 1.0 - static_cast<double>(pt.y - field.top) / (field.Height() - 1);
    *colour = ColorFromHSV(m_hue, s, v);
    return true;
  }
  if (hue.PtInRect(pt) && hue.Height() > 1) {
    *colour = ColorFromHSV(360.0 * (pt.y - hue.top) / hue.Height(), 1, 1);
    return true;
  }
  return false;
}

bool CColorPalette::Pick(CPoint pt) {
  const CRect field = GetFieldRect(), hue = GetHueRect();
  {
    std::lock_guard guard(m_dataLock);
    if (m_drag == 1) {
      const int x = std::clamp(pt.x, field.left, field.right - 1);
      const int y = std::clamp(pt.y, field.top, field.bottom - 1);
      m_sat = static_cast<double>(x - field.left) / std::max(1, field.Width() - 1);
      m_val = 1.0 - static_cast<double>(y - field.top) / std::max(1, field.Height() - 1);
    } else if (m_drag == 2) {
      const int y = std::clamp(pt.y, hue.top, hue.bottom - 1);
      m_hue = 360.0 * (y - hue.top) / std::max(1, hue.Height());
    } else {
      return false;
    }
  }
  UpdateControl(1, 0);
  SendMessageW(Notify::ColourChosen, 0, static_cast<long>(GetColor()));
  return true;
}

void CColorPalette::DrawControl(Painter& painter, CRect) {
  const CRect field = GetFieldRect(), hue = GetHueRect();
  // Field: white to the hue left to right, then darkened to black top to bottom.
  painter.FillGradient(field, 0xFFFFFFFF, ARGBFromCOLORREF(ColorFromHSV(m_hue, 1, 1)), false);
  painter.FillGradient(field, 0x00000000, 0xFF000000, true);
  // Row by row with the mapping ColorAt uses, so the bar shows exactly the hue a press picks.
  for (int y = hue.top; y < hue.bottom; ++y) {
    const double h = 360.0 * (y - hue.top) / std::max(1, hue.Height());
    painter.FillRect(CRect(hue.left, y, hue.right, y + 1), ARGBFromCOLORREF(ColorFromHSV(h, 1, 1)));
  }
  const int fx = field.left + static_cast<int>(m_sat * (field.Width() - 1));
  const int fy = field.top + static_cast<int>((1 - m_val) * (field.Height() - 1));
  painter.DrawEllipse(static_cast<float>(fx) - 5, static_cast<float>(fy) - 5, 10, 10,
                      m_val > 0.5 ? 0xFF000000 : 0xFFFFFFFF, 2.0f);
  const int hy = hue.top + static_cast<int>(m_hue / 360.0 * hue.Height());
  painter.DrawRect(CRect(hue.left - 2, hy - 2, hue.right + 2, hy + 3), 0xFFFFFFFF, 2);
  if (!m_enabled) painter.FillRect(m_rect, 0x99101012);
}

int CColorPalette::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }

int CColorPalette::OnControlLButtonDown(unsigned, CPoint pt) {
  if (!m_enabled) return 0;
  m_drag = GetFieldRect().PtInRect(pt) ? 1 : GetHueRect().PtInRect(pt) ? 2 : 0;
  return Pick(pt) ? 1 : 0;
}

int CColorPalette::OnControlMouseMove(unsigned, CPoint pt) {
  if (m_drag != 0) Pick(pt);
  return 1;
}

void CColorPalette::OnControlMouseLeave() {
  // Disabled or hidden mid-drag: the release will not reach this control.
  if (!m_enabled || !m_visible) m_drag = 0;
}

int CColorPalette::OnControlLButtonUp(unsigned, CPoint) {
  const int was = m_drag;
  m_drag = 0;
  return was != 0 ? 1 : 0;
}

}  // namespace Tavex
