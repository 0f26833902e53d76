#include "tavex/CheckButtons.h"

#include <cstring>

#include "tavex/MRender.h"
#include "tavex/Manager.h"
#include "tavex/PaintManager.h"

namespace Tavex {

CRadioButton::CRadioButton(MObject* parent, unsigned id, CRect rect, const char* title,
                           int visible, int enabled)
    : CCheckButton(parent, id, rect, title, visible, enabled) {}

const char* CRadioButton::GetClassNameW() const { return "CRadioButton"; }

void CRadioButton::SetGroupName(const char* name) {
  std::lock_guard guard(m_dataLock);
  m_group = name != nullptr ? name : "";
}

CString CRadioButton::GetGroupName() const {
  std::lock_guard guard(m_dataLock);
  return m_group;
}

void CRadioButton::SetCheck(int check) {
  CCheckButton::SetCheck(check);
  if (check) ResetGroupCheck();
}

void CRadioButton::ResetGroupCheck() {
  const CString group = GetGroupName();
  const auto clear = [&](MControl* c) {
    if (c == this || c->GetParantObject() != m_parent) return;
    if (std::strcmp(c->GetClassNameW(), "CRadioButton") != 0) return;
    auto* radio = static_cast<CRadioButton*>(c);
    if (radio->GetGroupName() != group) return;
    // CCheckButton::SetCheck repaints the visible ones that change.
    radio->CCheckButton::SetCheck(0);
  };
  // Siblings live in the parent control's child list, or in the manager's lists for controls
  // of the dialog itself.
  if (auto* parent = dynamic_cast<MControl*>(m_parent)) {
    parent->GetChildControls().ForEach(clear);
    parent->GetDrawControls().ForEach(clear);
  } else if (m_manager != nullptr) {
    m_manager->GetControls().ForEach(clear);
    m_manager->GetAreas().ForEach(clear);
  }
}

void CRadioButton::DrawControl(Painter& painter, CRect paint) {
  if (!m_imagePath.empty()) {
    CCheckButton::DrawControl(painter, paint);
    return;
  }
  const CRect box = GetBoxRect();
  const int state = GetStateIndex();
  const float x = static_cast<float>(box.left), y = static_cast<float>(box.top);
  const float w = static_cast<float>(box.Width()), h = static_cast<float>(box.Height());
  const ARGB edge = (state & 1) ? Manager::GetSelectColor() : 0xFF6A6A6A;
  painter.FillEllipse(x, y, w, h, 0xFF1E1E22);
  painter.DrawEllipse(x + 0.5f, y + 0.5f, w - 1, h - 1, m_enabled ? edge : 0xFF3A3A3A, 1.0f);
  if (m_check.load()) {
    painter.FillEllipse(x + w * 0.28f, y + h * 0.28f, w * 0.44f, h * 0.44f,
                        m_enabled ? Manager::GetSelectColor() : 0xFF5A3A2A);
  }
  if (m_title.empty()) return;
  const CRect text(box.right + kBoxGap, m_rect.top, m_rect.right, m_rect.bottom);
  painter.DrawText(m_title, GetFontDesc(), text, m_enabled ? m_textColor : 0xFF6E6E6E,
                   DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
}

}  // namespace Tavex
