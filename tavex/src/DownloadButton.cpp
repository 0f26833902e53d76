#include "tavex/Buttons.h"

namespace Tavex {

DownloadButton::DownloadButton(MObject* parent, unsigned id, CRect rect, const char* title,
                               int visible, int enabled)
    : MButton(parent, id, rect, title, visible, enabled) {}

const char* DownloadButton::GetClassNameW() const { return "DownloadButton"; }

void DownloadButton::DrawControl(Painter& painter, CRect) {
  const PressBehaviour::Look look = GetLook();
  DrawFace(painter, m_rect, look);
  const ARGB colour = look == PressBehaviour::kDisabled ? 0xFF6E6E6E : m_textColor;
  // An arrow onto a tray, 12 × 12, left of the title.
  const SIZE text = MeasureText(m_title, GetFontDesc());
  const int group = 12 + (m_title.empty() ? 0 : 6 + static_cast<int>(text.cx));
  const int x = m_rect.left + std::max(4, (m_rect.Width() - group) / 2);
  const int y = m_rect.top + (m_rect.Height() - 12) / 2;
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  painter.DrawLine(fx + 6, fy, fx + 6, fy + 8, colour, 1.6f);
  const POINT head[3] = {{x + 2, y + 5}, {x + 10, y + 5}, {x + 6, y + 10}};
  painter.FillPolygon(head, 3, colour);
  painter.DrawLine(fx, fy + 11.5f, fx + 12, fy + 11.5f, colour, 1.2f);
  if (m_title.empty()) return;
  const CRect textRect(x + 18, m_rect.top, m_rect.right, m_rect.bottom);
  painter.DrawText(m_title, GetFontDesc(), textRect, colour,
                   DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
}

}  // namespace Tavex
