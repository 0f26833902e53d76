#include "tavex/MText.h"

namespace Tavex {

MText::MText(MObject* parent, unsigned id, CRect rect, const char* title, int visible)
    : MControlFont(parent, id, rect, title, visible, 0) {
  m_response = 0;
}

const char* MText::GetClassNameW() const { return "MText"; }

UINT MText::GetDrawFormat() const {
  std::lock_guard guard(m_dataLock);
  const bool multi = m_wrap || m_title.find('\n') != CString::npos;
  UINT format = multi ? (m_wrap ? DT_WORDBREAK : 0u) : (DT_SINGLELINE | DT_END_ELLIPSIS);
  format |= m_hAlign == 1 ? DT_CENTER : m_hAlign == 2 ? DT_RIGHT : DT_LEFT;
  format |= m_vAlign == 4 ? DT_VCENTER : m_vAlign == 8 ? DT_BOTTOM : DT_TOP;
  return format;
}

void MText::DrawControl(Painter& painter, CRect) {
  if (m_title.empty()) return;
  painter.DrawText(m_title, GetFontDesc(), m_rect, m_textColor, GetDrawFormat());
}

}  // namespace Tavex
