#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "tavex/Codes.h"
#include "tavex/Manager.h"
#include "tavex/SpinButtons.h"

namespace Tavex {

CSpinButton::CSpinButton(MObject* parent, unsigned id, CRect rect, int visible)
    : MRichEdit(parent, id, rect, "0", visible) {
  SetSingleLine();
  // Digits take no composition, as native numeric boxes do not.
  SetPlainKeys(1);
}

const char* CSpinButton::GetClassNameW() const { return "CSpinButton"; }

void CSpinButton::ShowValue() {
  SetControlTitle(std::to_string(m_spin.Value()).c_str());
  UpdateControl(1, 0);
}

void CSpinButton::SetValue(int value) {
  m_spin.SetValue(value);
  ShowValue();
}

void CSpinButton::SetRange(int minimum, int maximum) {
  m_spin.SetRange(minimum, maximum);
  ShowValue();
}

void CSpinButton::SetUnit(const char* unit) {
  Assign(m_unit, CString(unit ? unit : ""));
}

CRect CSpinButton::GetUpRect() const { return SpinCore::UpRect(GetRect()); }

CRect CSpinButton::GetDownRect() const { return SpinCore::DownRect(GetRect()); }

bool CSpinButton::AcceptText(const std::string& text) const {
  std::size_t digits = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '-' && i == 0 && m_spin.Min() < 0) continue;
    if (c < '0' || c > '9') return false;
    ++digits;
  }
  return digits <= static_cast<std::size_t>(m_spin.DigitsNeeded());
}

int CSpinButton::UnitWidth() const {
  std::lock_guard guard(m_dataLock);
  if (m_unit.empty()) return 0;
  return static_cast<int>(MeasureText(" " + m_unit, GetFontDesc()).cx);
}

CRect CSpinButton::TextBox() const {
  const CRect r = GetRect();
  const int lineH = std::max(1, static_cast<int>(MeasureText("Ag", GetFontDesc()).cy));
  const int top = r.top + std::max(0, (r.Height() - lineH) / 2);
  const int right = r.right - kArrowWidth - 4 - UnitWidth();
  return CRect(r.left + 8, top, std::max(r.left + 8, right), std::min(r.bottom, top + lineH));
}

bool CSpinButton::Commit() {
  const std::string text = GetControlTitle();
  errno = 0;
  char* end = nullptr;
  const long long typed = std::strtoll(text.c_str(), &end, 10);
  const bool number = !text.empty() && end != nullptr && *end == '\0' && end != text.c_str() &&
                      errno == 0;
  bool changed = false;
  if (number) {
    changed = m_spin.SetValue(
        static_cast<int>(std::clamp<long long>(typed, m_spin.Min(), m_spin.Max())));
  }
  ShowValue();
  PlaceCaret();
  if (changed) SendMessageW(Notify::SpinChanged, 0, 0);
  return changed;
}

bool CSpinButton::Revert() {
  const std::string shown = std::to_string(m_spin.Value());
  if (std::string(GetControlTitle()) == shown) return false;
  ShowValue();
  PlaceCaret();
  return true;
}

bool CSpinButton::StepBy(int steps) {
  // Typing not yet committed is where the step starts from.
  const bool committed = Commit();
  const bool stepped = m_spin.StepBy(steps);
  ShowValue();
  PlaceCaret();
  if (stepped) SendMessageW(Notify::SpinChanged, 0, 0);
  return committed || stepped;
}

void CSpinButton::DrawControl(Painter& painter, CRect paint) {
  MRichEdit::DrawControl(painter, paint);
  const CRect r = m_rect;
  CString unit;
  {
    std::lock_guard guard(m_dataLock);
    unit = m_unit;
  }
  if (!unit.empty()) {
    const CRect box = TextBox();
    const FontDesc font = GetFontDesc();
    const int x = box.left + static_cast<int>(MeasureText(GetControlTitle(), font).cx);
    painter.DrawText(" " + unit, font, CRect(x, r.top, r.right - kArrowWidth - 2, r.bottom),
                     m_enabled ? 0xFF9A9AA0 : 0xFF6E6E6E, DT_SINGLELINE | DT_LEFT | DT_VCENTER);
  }
  m_spin.DrawArrows(painter, r, m_enabled != 0);
}

int CSpinButton::OnControlMouseMove(unsigned keys, CPoint pt) {
  if (m_spin.Hover(SpinCore::PartAt(GetRect(), pt))) UpdateControl(1, 0);
  return MRichEdit::OnControlMouseMove(keys, pt);
}

int CSpinButton::OnControlLButtonDown(unsigned keys, CPoint pt) {
  if (!m_enabled) return 0;
  const SpinCore::Part part = SpinCore::PartAt(GetRect(), pt);
  if (part == SpinCore::kNone) return MRichEdit::OnControlLButtonDown(keys, pt);
  m_spin.Press(part);
  StepBy(part == SpinCore::kUp ? 1 : -1);
  UpdateControl(1, 0);
  return 1;
}

int CSpinButton::OnControlLButtonUp(unsigned keys, CPoint pt) {
  if (m_spin.Release()) {
    UpdateControl(1, 0);
    return 1;
  }
  return MRichEdit::OnControlLButtonUp(keys, pt);
}

int CSpinButton::OnControlScroll(int, unsigned direction, CPoint) {
  if (!m_enabled) return 0;
  StepBy(direction == 0 ? 1 : -1);
  return 1;
}

int CSpinButton::OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) {
  if (!m_focused || !m_enabled) return 0;
  if (modifiers == 0) {
    if (key == VK_UP) return StepBy(1), 1;
    if (key == VK_DOWN) return StepBy(-1), 1;
    if (key == VK_RETURN) return Commit(), 1;
    if (key == VK_ESCAPE && Revert()) return 1;
  }
  return MRichEdit::OnControlKeyDown(key, repeat, modifiers);
}

void CSpinButton::OnControlMouseLeave() {
  if (m_spin.Leave()) UpdateControl(1, 0);
  MRichEdit::OnControlMouseLeave();
}

void CSpinButton::SetControlFocus(int focus) {
  const int was = m_focused;
  MRichEdit::SetControlFocus(focus);
  if (was && !focus) Commit();
}

}  // namespace Tavex
