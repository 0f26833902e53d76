#include "tavex/Buttons.h"

namespace Tavex {

CColorButton::CColorButton(MObject* parent, unsigned id, CRect rect, const char* title,
                           int visible, int enabled)
    : MButton(parent, id, rect, title, visible, enabled) {}

const char* CColorButton::GetClassNameW() const { return "CColorButton"; }

std::uint32_t CColorButton::GetColor() const {
  std::lock_guard guard(m_dataLock);
  return m_color;
}

void CColorButton::DrawControl(Painter& painter, CRect) {
  const PressBehaviour::Look look = GetLook();
  const CRect r = m_rect;
  const float x = static_cast<float>(r.left), y = static_cast<float>(r.top);
  const float w = static_cast<float>(r.Width()), h = static_cast<float>(r.Height());
  ARGB ring = 0xFF3A3A3E;
  if (look == PressBehaviour::kHover) ring = 0xFFB0B0B0;
  if (look == PressBehaviour::kPressed) ring = 0xFFFFFFFF;
  painter.FillRoundRect(x, y, w, h, 3, 3, ring);
  const ARGB fill = look == PressBehaviour::kDisabled ? ((m_color & 0x00FFFFFF) | 0x50000000)
                                                      : (m_color | 0xFF000000);
  painter.FillRoundRect(x + 2, y + 2, w - 4, h - 4, 2, 2, fill);
  if (!m_title.empty()) {
    painter.DrawText(m_title, GetFontDesc(), r, m_textColor, GetTextFormat());
  }
}

}  // namespace Tavex
