#include "tavex/Palettes.h"

#include <algorithm>

#include "tavex/Codes.h"

namespace Tavex {

CColorSelect::CColorSelect(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible) {
  for (int i = 0; i < 7; ++i) m_presets.push_back(ColorFromHSV(i * 360.0 / 7, 1, 1));
  m_presets.push_back(RGB(255, 255, 255));
}

const char* CColorSelect::GetClassNameW() const { return "CColorSelect"; }

void CColorSelect::SetColor(COLORREF colour) {
  if (m_color.exchange(colour & 0xFFFFFF) == (colour & 0xFFFFFF)) return;
  UpdateControl(1, 0);
}

CRect CColorSelect::GetSwatchRect(int index) const {
  const CRect r = GetRect();
  const int n = static_cast<int>(m_presets.size()) + 1;
  if (index < 0 || index >= n) return {};
  const int side = std::min(r.Height(), std::max(1, (r.Width() - (n - 1) * 6) / n));
  const int left = r.left + index * (side + 6), top = r.top + (r.Height() - side) / 2;
  return CRect(left, top, left + side, top + side);
}

int CColorSelect::SwatchAt(CPoint pt) const {
  for (int i = 0; i < static_cast<int>(m_presets.size()); ++i) {
    if (GetSwatchRect(i).PtInRect(pt)) return i;
  }
  return -1;
}

void CColorSelect::DrawControl(Painter& painter, CRect) {
  const BYTE alpha = m_enabled ? 255 : 90;
  const COLORREF current = m_color.load();
  for (int i = 0; i < static_cast<int>(m_presets.size()); ++i) {
    const CRect s = GetSwatchRect(i);
    const COLORREF c = m_presets[static_cast<std::size_t>(i)];
    painter.FillEllipse(static_cast<float>(s.left), static_cast<float>(s.top),
                        static_cast<float>(s.Width()), static_cast<float>(s.Height()),
                        ARGBFromCOLORREF(c, alpha));
    if (c == current) {
      painter.DrawEllipse(static_cast<float>(s.left) - 2, static_cast<float>(s.top) - 2,
                          static_cast<float>(s.Width()) + 4, static_cast<float>(s.Height()) + 4,
                          0xFFFFFFFF, 1.5f);
    }
  }
  const CRect cur = GetSwatchRect(static_cast<int>(m_presets.size()));
  painter.FillRoundRect(static_cast<float>(cur.left), static_cast<float>(cur.top),
                        static_cast<float>(cur.Width()), static_cast<float>(cur.Height()), 3, 3,
                        ARGBFromCOLORREF(current, alpha));
  painter.DrawRoundRect(static_cast<float>(cur.left) + 0.5f, static_cast<float>(cur.top) + 0.5f,
                        static_cast<float>(cur.Width()) - 1, static_cast<float>(cur.Height()) - 1,
                        3, 3, 0xFFE6E6E6, 1.0f);
}

int CColorSelect::OnCheckMouseResponse(unsigned, CPoint pt) { return SwatchAt(pt) >= 0 ? 1 : 0; }

int CColorSelect::OnControlLButtonDown(unsigned, CPoint pt) {
  const int i = m_enabled ? SwatchAt(pt) : -1;
  if (i < 0) return 0;
  const COLORREF c = m_presets[static_cast<std::size_t>(i)];
  SetColor(c);
  SendMessageW(Notify::ColourChosen, 0, static_cast<long>(c));
  return 1;
}

}  // namespace Tavex
