#include "tavex/Palettes.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tavex/Codes.h"

namespace Tavex {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

CirclePalette::CirclePalette(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, nullptr, visible, enabled) {}

const char* CirclePalette::GetClassNameW() const { return "CirclePalette"; }

void CirclePalette::SetColor(COLORREF colour) {
  if (m_color.exchange(colour & 0xFFFFFF) == (colour & 0xFFFFFF)) return;
  UpdateControl(1, 0);
}

bool CirclePalette::ColorAt(CPoint pt, COLORREF* colour) const {
  const CRect r = GetRect();
  const double radius = std::min(r.Width(), r.Height()) / 2.0;
  const double cx = r.left + r.Width() / 2.0, cy = r.top + r.Height() / 2.0;
  const double dx = pt.x + 0.5 - cx, dy = pt.y + 0.5 - cy;
  const double dist = std::sqrt(dx * dx + dy * dy);
  if (radius <= 0 || dist > radius) return false;
  double angle = std::atan2(-dy, dx) * 180.0 / kPi;
  if (angle < 0) angle += 360.0;
  *colour = ColorFromHSV(angle, dist / radius, 1.0);
  return true;
}

void CirclePalette::DrawControl(Painter& painter, CRect) {
  const CRect r = m_rect;
  const int side = std::min(r.Width(), r.Height());
  if (side <= 0) return;
  if (m_wheel.Width() != side) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(side) * side, 0);
    const CRect local(0, 0, side, side);
    const double radius = side / 2.0;
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        const double dx = x + 0.5 - radius, dy = y + 0.5 - radius;
        const double dist = std::sqrt(dx * dx + dy * dy);
        if (dist > radius) continue;
        double angle = std::atan2(-dy, dx) * 180.0 / kPi;
        if (angle < 0) angle += 360.0;
        const COLORREF c = ColorFromHSV(angle, dist / radius, 1.0);
        // A soft one-pixel rim.
        const double edge = std::clamp(radius - dist, 0.0, 1.0);
        px[static_cast<std::size_t>(y) * side + x] =
            ARGBFromCOLORREF(c, static_cast<BYTE>(edge * 255));
      }
    }
    m_wheel = Image::FromARGB(side, side, px.data());
  }
  const int left = r.left + (r.Width() - side) / 2, top = r.top + (r.Height() - side) / 2;
  painter.DrawImage(m_wheel, left, top, m_enabled ? 255 : 90);
  // Marker at the current colour.
  double h = 0, s = 0, v = 0;
  ColorToHSV(m_color.load(), &h, &s, &v);
  const double radius = side / 2.0;
  const double mx = left + radius + std::cos(h * kPi / 180.0) * s * radius;
  const double my = top + radius - std::sin(h * kPi / 180.0) * s * radius;
  painter.DrawEllipse(static_cast<float>(mx) - 5, static_cast<float>(my) - 5, 10, 10, 0xFF000000,
                      2.0f);
}

int CirclePalette::OnCheckMouseResponse(unsigned, CPoint pt) {
  COLORREF c = 0;
  return ColorAt(pt, &c) ? 1 : 0;
}

int CirclePalette::OnControlLButtonDown(unsigned, CPoint pt) {
  COLORREF c = 0;
  if (!m_enabled || !ColorAt(pt, &c)) return 0;
  m_drag = 1;
  SetColor(c);
  SendMessageW(Notify::ColourChosen, 0, static_cast<long>(c));
  return 1;
}

int CirclePalette::OnControlMouseMove(unsigned, CPoint pt) {
  COLORREF c = 0;
  if (m_drag && ColorAt(pt, &c) && c != m_color.load()) {
    SetColor(c);
    SendMessageW(Notify::ColourChosen, 0, static_cast<long>(c));
  }
  return 1;
}

void CirclePalette::OnControlMouseLeave() {
  // Disabled or hidden mid-drag: the release will not reach this control.
  if (!m_enabled || !m_visible) m_drag = 0;
}

int CirclePalette::OnControlLButtonUp(unsigned, CPoint) {
  const int was = m_drag;
  m_drag = 0;
  return was;
}

}  // namespace Tavex
