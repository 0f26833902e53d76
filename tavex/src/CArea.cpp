#include "tavex/CArea.h"

#include "tavex/MRender.h"
#include "tavex/Painter.h"

namespace Tavex {

CArea::CArea(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControl(parent, id, rect, visible, enabled) {}

const char* CArea::GetClassNameW() const { return "CArea"; }

void CArea::SetTransparent(int start, int end, COLORREF fill) {
  {
    std::lock_guard guard(m_dataLock);
    if (start == m_start && end == m_end && fill == m_fill) return;
    m_start = start;
    m_end = end;
    m_fill = fill;
  }
  if (m_visible) UpdateControl(1, 0);
}

void CArea::SetFrame(int on, std::uint32_t argb, int) {
  {
    std::lock_guard guard(m_dataLock);
    if ((on ? 1 : 0) == m_frame && argb == m_frameColor) return;
    m_frame = on ? 1 : 0;
    m_frameColor = argb;
  }
  if (m_visible) UpdateControl(1, 0);
}

void CArea::SetDirection(int vertical) {
  {
    std::lock_guard guard(m_dataLock);
    if ((vertical ? 1 : 0) == m_direction) return;
    m_direction = vertical ? 1 : 0;
  }
  if (m_visible) UpdateControl(1, 0);
}

void CArea::DrawControl(Painter& painter, CRect) {
  const CRect r = m_rect;
  if (r.IsRectEmpty()) return;
  if (m_start != 0 || m_end != 0) {
    const int n = m_direction ? r.Height() : r.Width();
    if (m_start == m_end) {
      const int alpha = MRender::TransitionAlpha(m_start, m_end, 0, n);
      painter.FillRect(r, ARGBFromCOLORREF(m_fill, static_cast<BYTE>(alpha)));
      return;
    }
    for (int i = 0; i < n; ++i) {
      const int alpha = MRender::TransitionAlpha(m_start, m_end, i, n);
      const RECT line = m_direction ? RECT{r.left, r.top + i, r.right, r.top + i + 1}
                                    : RECT{r.left + i, r.top, r.left + i + 1, r.bottom};
      painter.FillRect(line, ARGBFromCOLORREF(m_fill, static_cast<BYTE>(alpha)));
    }
    return;
  }
  painter.FillRect(r, ARGBFromCOLORREF(m_fill));
  if (m_frame) painter.DrawRect(r, m_frameColor, 1);
}

}  // namespace Tavex
