#include "tavex/Palettes.h"

#include <algorithm>

#include "tavex/Codes.h"

namespace Tavex {

MPalette::MPalette(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, nullptr, visible, enabled) {
  // The library's default set: greys, then twelve hues at full colour.
  m_colors = {RGB(255, 255, 255), RGB(160, 160, 160), RGB(80, 80, 80), RGB(0, 0, 0)};
  for (int i = 0; i < 12; ++i) m_colors.push_back(ColorFromHSV(i * 30.0, 1.0, 1.0));
}

const char* MPalette::GetClassNameW() const { return "MPalette"; }

void MPalette::SetColors(const std::vector<COLORREF>& colours) {
  {
    std::lock_guard guard(m_dataLock);
    if (colours == m_colors) return;
    m_colors = colours;
  }
  UpdateControl(1, 0);
}

std::vector<COLORREF> MPalette::GetColors() const {
  std::lock_guard guard(m_dataLock);
  return m_colors;
}

void MPalette::SetColumns(int columns) { Assign(m_columns, std::max(1, columns)); }

void MPalette::SetColor(COLORREF colour) {
  if (m_color.exchange(colour) == colour) return;
  UpdateControl(1, 0);
}

CRect MPalette::GetSwatchRect(int index) const {
  std::lock_guard guard(m_dataLock);
  const int n = static_cast<int>(m_colors.size());
  if (index < 0 || index >= n) return {};
  const int cols = std::max(1, m_columns);
  const int rows = (n + cols - 1) / cols;
  const int w = m_rect.Width() / cols, h = m_rect.Height() / std::max(1, rows);
  const int left = m_rect.left + (index % cols) * w, top = m_rect.top + (index / cols) * h;
  return CRect(left + 2, top + 2, left + w - 2, top + h - 2);
}

int MPalette::SwatchAt(CPoint pt) const {
  std::lock_guard guard(m_dataLock);
  for (int i = 0; i < static_cast<int>(m_colors.size()); ++i) {
    if (GetSwatchRect(i).PtInRect(pt)) return i;
  }
  return -1;
}

void MPalette::DrawControl(Painter& painter, CRect) {
  for (int i = 0; i < static_cast<int>(m_colors.size()); ++i) {
    const CRect s = GetSwatchRect(i);
    const COLORREF c = m_colors[static_cast<std::size_t>(i)];
    painter.FillRect(s, ARGBFromCOLORREF(c, m_enabled ? 255 : 90));
    if (c == m_color.load()) {
      CRect ring = s;
      ring.InflateRect(2, 2);
      painter.DrawRect(ring, 0xFFFFFFFF, 2);
    }
  }
}

int MPalette::OnCheckMouseResponse(unsigned, CPoint pt) { return SwatchAt(pt) >= 0 ? 1 : 0; }

int MPalette::OnControlLButtonDown(unsigned, CPoint pt) {
  const int i = m_enabled ? SwatchAt(pt) : -1;
  if (i < 0) return 0;
  COLORREF c = 0;
  {
    std::lock_guard guard(m_dataLock);
    c = m_colors[static_cast<std::size_t>(i)];
  }
  SetColor(c);
  SendMessageW(Notify::ColourChosen, c, 0);
  return 1;
}

}  // namespace Tavex
