#include "tavex/SpinCore.h"

#include <algorithm>
#include <cstdlib>

#include "tavex/Manager.h"

namespace Tavex {

bool SpinCore::SetValue(int value) {
  const int v = std::clamp(value, m_min.load(), m_max.load());
  return m_value.exchange(v) != v;
}

bool SpinCore::SetRange(int minimum, int maximum) {
  const int lo = std::min(minimum, maximum), hi = std::max(minimum, maximum);
  if (m_min.load() == lo && m_max.load() == hi) return false;
  m_min = lo;
  m_max = hi;
  m_value = std::clamp(m_value.load(), lo, hi);
  return true;
}

bool SpinCore::StepBy(int steps) {
  const long long target =
      static_cast<long long>(m_value.load()) + static_cast<long long>(steps) * m_step;
  return SetValue(static_cast<int>(std::clamp<long long>(target, m_min.load(), m_max.load())));
}

int SpinCore::DigitsNeeded() const {
  const auto digits = [](long long v) {
    int n = 1;
    for (v = std::llabs(v); v >= 10; v /= 10) ++n;
    return n;
  };
  return std::max(digits(m_min.load()), digits(m_max.load()));
}

CRect SpinCore::UpRect(CRect r) {
  return CRect(r.right - kArrowWidth, r.top, r.right, r.top + r.Height() / 2);
}

CRect SpinCore::DownRect(CRect r) {
  return CRect(r.right - kArrowWidth, r.top + r.Height() / 2, r.right, r.bottom);
}

SpinCore::Part SpinCore::PartAt(CRect field, CPoint pt) {
  return UpRect(field).PtInRect(pt) ? kUp : DownRect(field).PtInRect(pt) ? kDown : kNone;
}

bool SpinCore::Hover(Part part) {
  if (part == m_hoverPart) return false;
  m_hoverPart = part;
  return true;
}

bool SpinCore::Press(Part part) {
  const bool changed = part != m_pressPart;
  m_pressPart = part;
  return changed;
}

bool SpinCore::Release() { return Press(kNone); }

bool SpinCore::Leave() {
  if (m_hoverPart == kNone && m_pressPart == kNone) return false;
  m_hoverPart = kNone;
  m_pressPart = kNone;
  return true;
}

void SpinCore::DrawArrows(Painter& painter, CRect r, bool enabled) const {
  const auto arrow = [&](const CRect& part, bool up, Part id) {
    ARGB colour = 0xFF9A9AA0;
    if (m_hoverPart == id) colour = 0xFFFFFFFF;
    if (m_pressPart == id) colour = Manager::GetSelectColor();
    const bool atEnd = up ? m_value.load() >= m_max.load() : m_value.load() <= m_min.load();
    if (!enabled || atEnd) colour = 0xFF4A4A50;
    const int cx = (part.left + part.right) / 2, cy = (part.top + part.bottom) / 2;
    const int d = up ? 1 : -1;
    const POINT tri[3] = {{cx - 4, cy + 2 * d}, {cx + 4, cy + 2 * d}, {cx, cy - 3 * d}};
    painter.FillPolygon(tri, 3, colour);
  };
  painter.FillRect(CRect(r.right - kArrowWidth, r.top + 1, r.right - kArrowWidth + 1, r.bottom - 1),
                   0xFF3A3A40);
  arrow(UpRect(r), true, kUp);
  arrow(DownRect(r), false, kDown);
}

}  // namespace Tavex
