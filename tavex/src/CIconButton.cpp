#include "tavex/Buttons.h"

#include "tavex/MRender.h"

namespace Tavex {

namespace {
constexpr int kIconGap = 6;
}

CIconButton::CIconButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible,
                         int enabled)
    : MButton(parent, id, rect, title, visible, enabled) {}

const char* CIconButton::GetClassNameW() const { return "CIconButton"; }

void CIconButton::SetIcon(const char* file) { Assign(m_icon, CString(file != nullptr ? file : "")); }

CString CIconButton::GetIcon() const {
  std::lock_guard guard(m_dataLock);
  return m_icon;
}

void CIconButton::DrawControl(Painter& painter, CRect) {
  const PressBehaviour::Look look = GetLook();
  DrawFace(painter, m_rect, look);
  const Image icon = LoadSkinImage(m_icon);
  const SIZE text = m_title.empty() ? SIZE{0, 0} : MeasureText(m_title, GetFontDesc());
  const int iconW = icon.IsNull() ? 0 : icon.Width();
  const int iconH = icon.IsNull() ? 0 : icon.Height();
  const int gap = iconW > 0 && text.cx > 0 ? kIconGap : 0;
  // Icon and title centred together as one group.
  const int total = std::min(iconW + gap + static_cast<int>(text.cx), m_rect.Width());
  int x = m_rect.left + (m_rect.Width() - total) / 2;
  if (iconW > 0) {
    const int y = m_rect.top + (m_rect.Height() - iconH) / 2;
    painter.DrawImage(icon, x, y, look == PressBehaviour::kDisabled ? 110 : 255);
    x += iconW + gap;
  }
  CRect textRect(x, m_rect.top, m_rect.right, m_rect.bottom);
  const ARGB colour = look == PressBehaviour::kDisabled ? 0xFF6E6E6E : m_textColor;
  painter.DrawText(m_title, GetFontDesc(), textRect, colour,
                   DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
}

}  // namespace Tavex
