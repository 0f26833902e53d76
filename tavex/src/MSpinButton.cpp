#include "tavex/SpinButtons.h"

#include <algorithm>
#include <string>

#include "tavex/Codes.h"
#include "tavex/Manager.h"

namespace Tavex {

MSpinButton::MSpinButton(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible) {
  m_tabStop = 1;
}

const char* MSpinButton::GetClassNameW() const { return "MSpinButton"; }

void MSpinButton::SetValue(int value) {
  if (m_spin.SetValue(value)) UpdateControl(1, 0);
}

void MSpinButton::SetRange(int minimum, int maximum) {
  if (m_spin.SetRange(minimum, maximum)) UpdateControl(1, 0);
}

CRect MSpinButton::GetUpRect() const { return SpinCore::UpRect(GetRect()); }

CRect MSpinButton::GetDownRect() const { return SpinCore::DownRect(GetRect()); }

bool MSpinButton::StepBy(int steps) {
  if (!m_spin.StepBy(steps)) return false;
  UpdateControl(1, 0);
  SendMessageW(Notify::SpinChanged, 0, 0);
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
  std::string label = std::to_string(m_spin.Value());
  if (!m_unit.empty()) label += " " + m_unit;
  painter.DrawText(label, GetFontDesc(), text, m_enabled ? m_textColor : 0xFF6E6E6E,
                   DT_SINGLELINE | DT_LEFT | DT_VCENTER);
  m_spin.DrawArrows(painter, r, m_enabled != 0);
}

int MSpinButton::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }

int MSpinButton::OnControlMouseMove(unsigned, CPoint pt) {
  if (m_spin.Hover(SpinCore::PartAt(GetRect(), pt))) UpdateControl(1, 0);
  return 1;
}

int MSpinButton::OnControlLButtonDown(unsigned, CPoint pt) {
  if (!m_enabled) return 0;
  const SpinCore::Part part = SpinCore::PartAt(GetRect(), pt);
  m_spin.Press(part);
  if (part == SpinCore::kNone) return 1;
  if (!StepBy(part == SpinCore::kUp ? 1 : -1)) UpdateControl(1, 0);
  return 1;
}

int MSpinButton::OnControlLButtonUp(unsigned, CPoint) {
  if (!m_spin.Release()) return 0;
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
  if (m_spin.Leave()) UpdateControl(1, 0);
}

}  // namespace Tavex
