#include "tavex/SpinButtons.h"

#include <algorithm>
#include <string>

#include "tavex/Manager.h"

namespace Tavex {

MSpinButton::MSpinButton(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible) {
  m_tabStop = 1;
}

const char* MSpinButton::GetClassNameW() const { return "MSpinButton"; }

void MSpinButton::SetValue(int value) {
  const int v = std::clamp(value, m_min.load(), m_max.load());
  if (m_value.exchange(v) == v) return;
  UpdateControl(1, 0);
}

void MSpinButton::SetRange(int minimum, int maximum) {
  const int lo = std::min(minimum, maximum), hi = std::max(minimum, maximum);
  if (m_min.load() == lo && m_max.load() == hi) return;
  m_min = lo;
  m_max = hi;
  m_value = std::clamp(m_value.load(), lo, hi);
  UpdateControl(1, 0);
}

CRect MSpinButton::GetUpRect() const {
  const CRect r = GetRect();
  return CRect(r.right - kArrowWidth, r.top, r.right, r.top + r.Height() / 2);
}

CRect MSpinButton::GetDownRect() const {
  const CRect r = GetRect();
  return CRect(r.right - kArrowWidth, r.top + r.Height() / 2, r.right, r.bottom);
}

bool MSpinButton::StepBy(int steps) {
  const long long target = static_cast<long long>(m_value.load()) +
                           static_cast<long long>(steps) * m_step;
  const int v = static_cast<int>(std::clamp<long long>(target, m_min.load(), m_max.load()));
  if (m_value.exchange(v) == v) return false;
  UpdateControl(1, 0);
  SendMessageW(28, 0, 0);
  return true;
}

void MSpinButton::DrawControl(Painter& painter, CRect) {
  const CRect r = m_rect;
  painter.FillRoundRect(static_cast<float>(r.left), static_cast<float>(r.top),
                        static_cast<float>(r.Width()), static_cast<float>(r.Height()), 3, 3,
                        m_enabled ? 0xFF1B1B1F : 0xFF151517);
  painter.DrawRoundRect(static_cast<float>(r.left) + 0.5f, static_cast<float>(r.top) + 0.5f,
                        static_cast<float>(r.Width()) - 1, static_cast<float>(r.Height()) - 1, 3,
                        3, m_focused ? Manager::GetSelectColor() : 0xFF3A3A40, 1.0f);
  CRect text(r.left + 8, r.top, r.right - kArrowWidth - 4, r.bottom);
  std::string label = std::to_string(m_value.load());
  if (!m_unit.empty()) label += " " + m_unit;
  painter.DrawText(label, GetFontDesc(), text, m_enabled ? m_textColor : 0xFF6E6E6E,
                   DT_SINGLELINE | DT_LEFT | DT_VCENTER);
  const auto arrow = [&](const CRect& part, bool up, int partId) {
    ARGB colour = 0xFF9A9AA0;
    if (m_hoverPart == partId) colour = 0xFFFFFFFF;
    if (m_pressPart == partId) colour = Manager::GetSelectColor();
    const bool atEnd = up ? m_value.load() >= m_max.load() : m_value.load() <= m_min.load();
    if (!m_enabled || atEnd) colour = 0xFF4A4A50;
    const int cx = (part.left + part.right) / 2, cy = (part.top + part.bottom) / 2;
    const int d = up ? 1 : -1;
    const POINT tri[3] = {{cx - 4, cy + 2 * d}, {cx + 4, cy + 2 * d}, {cx, cy - 3 * d}};
    painter.FillPolygon(tri, 3, colour);
  };
  painter.FillRect(CRect(r.right - kArrowWidth, r.top + 1, r.right - kArrowWidth + 1, r.bottom - 1),
                   0xFF3A3A40);
  arrow(GetUpRect(), true, 1);
  arrow(GetDownRect(), false, 2);
}

int MSpinButton::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }

int MSpinButton::OnControlMouseMove(unsigned, CPoint pt) {
  const int part = GetUpRect().PtInRect(pt) ? 1 : GetDownRect().PtInRect(pt) ? 2 : 0;
  if (part != m_hoverPart) {
    m_hoverPart = part;
    UpdateControl(1, 0);
  }
  return 1;
}

int MSpinButton::OnControlLButtonDown(unsigned, CPoint pt) {
  if (!m_enabled) return 0;
  m_pressPart = GetUpRect().PtInRect(pt) ? 1 : GetDownRect().PtInRect(pt) ? 2 : 0;
  if (m_pressPart == 0) return 1;
  if (!StepBy(m_pressPart == 1 ? 1 : -1)) UpdateControl(1, 0);
  return 1;
}

int MSpinButton::OnControlLButtonUp(unsigned, CPoint) {
  if (m_pressPart == 0) return 0;
  m_pressPart = 0;
  UpdateControl(1, 0);
  return 1;
}

int MSpinButton::OnControlScroll(int, unsigned direction, CPoint) {
  if (!m_enabled) return 0;
  StepBy(direction == 0 ? 1 : -1);
  return 1;
}

int MSpinButton::OnControlKeyDown(unsigned key, unsigned, unsigned modifiers) {
  if (!m_focused || !m_enabled || modifiers != 0) return 0;
  if (key == VK_UP) return StepBy(1), 1;
  if (key == VK_DOWN) return StepBy(-1), 1;
  return 0;
}

void MSpinButton::OnControlMouseLeave() {
  if (m_hoverPart == 0 && m_pressPart == 0) return;
  m_hoverPart = 0;
  m_pressPart = 0;
  UpdateControl(1, 0);
}

}  // namespace Tavex
