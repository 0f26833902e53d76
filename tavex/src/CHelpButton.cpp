#include "tavex/Buttons.h"

#include <algorithm>

#include "tavex/Manager.h"

namespace Tavex {

CHelpButton::CHelpButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible,
                         int enabled)
    : MButton(parent, id, rect, title, visible, enabled) {}

const char* CHelpButton::GetClassNameW() const { return "CHelpButton"; }

void CHelpButton::DrawControl(Painter& painter, CRect) {
  const PressBehaviour::Look look = GetLook();
  if (!m_imagePath.empty()) {
    DrawFace(painter, m_rect, look);
    return;
  }
  const int d = std::min(m_rect.Width(), m_rect.Height());
  const float x = static_cast<float>(m_rect.left + (m_rect.Width() - d) / 2);
  const float y = static_cast<float>(m_rect.top + (m_rect.Height() - d) / 2);
  ARGB ring = 0xFF8A8A8A;
  if (look == PressBehaviour::kHover || look == PressBehaviour::kPressed) {
    ring = Manager::GetSelectColor();
  }
  if (look == PressBehaviour::kDisabled) ring = 0xFF4A4A4A;
  if (look == PressBehaviour::kPressed) {
    painter.FillEllipse(x, y, static_cast<float>(d), static_cast<float>(d), ring);
  }
  painter.DrawEllipse(x + 0.5f, y + 0.5f, static_cast<float>(d) - 1, static_cast<float>(d) - 1,
                      ring, 1.0f);
  FontDesc font = GetFontDesc();
  font.sizePx = std::max(8, d * 2 / 3);
  const CRect circle(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x) + d,
                     static_cast<int>(y) + d);
  painter.DrawText("?", font, circle, look == PressBehaviour::kPressed ? 0xFFFFFFFF : ring,
                   DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

}  // namespace Tavex
