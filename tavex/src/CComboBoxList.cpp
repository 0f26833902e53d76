#include "tavex/CComboBoxList.h"

#include <algorithm>
#include <string_view>

#include "tavex/Codes.h"
#include "tavex/EditBuffer.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex {

namespace {
constexpr int kIconGap = 8;
constexpr int kMarkerWidth = 3;

// Type-to-find ignores case for ASCII letters only, as the prefix is matched code point by
// code point without a locale.
char32_t Fold(char32_t cp) { return cp >= 'A' && cp <= 'Z' ? cp + ('a' - 'A') : cp; }

bool StartsWith(const std::string& text, std::u32string_view prefix) {
  std::size_t i = 0;
  for (const char32_t want : prefix) {
    if (i >= text.size()) return false;
    std::size_t len = 0;
    if (Fold(DecodeUtf8(text, i, &len)) != want) return false;
    i += len;
  }
  return true;
}

bool Printable(char32_t cp) {
  return cp >= 0x20 && cp != 0x7F && !(cp >= 0x80 && cp < 0xA0) && cp <= 0x10FFFF;
}
}  // namespace

CComboBoxList::CComboBoxList(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible), m_accent(Manager::GetSelectColor()) {}

const char* CComboBoxList::GetClassNameW() const { return "CComboBoxList"; }

void CComboBoxList::SetEntries(const std::vector<ComboEntry>& entries) {
  std::vector<Image> icons;
  for (const ComboEntry& e : entries) {
    icons.push_back(LoadSkinImage(e.icon));
  }
  int rows = 0;
  {
    std::lock_guard guard(m_dataLock);
    m_entries = entries;
    m_icons = std::move(icons);
    m_hover = -1;
    m_typed.clear();
    if (m_selected >= static_cast<int>(entries.size())) m_selected = -1;
    LayoutLocked();
    rows = static_cast<int>(m_entries.size());
  }
  const int content = rows * kRowHeight;
  SetVirtualHeight(content > m_rect.Height() ? content : 0);
  UpdateControl(1, 0);
}

void CComboBoxList::LayoutLocked() {
  int y = 0;
  const int right = m_rect.Width();
  for (ComboEntry& e : m_entries) {
    e.rect = CRect(0, y, right, y + kRowHeight);
    y += kRowHeight;
  }
}

int CComboBoxList::GetRowCount() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(m_entries.size());
}

int CComboBoxList::RowAt(CPoint pt) const {
  std::lock_guard guard(m_dataLock);
  if (!m_rect.PtInRect(pt)) return -1;
  const CPoint scroll = GetScrollOffset();
  const CPoint local(pt.x - m_rect.left + scroll.x, pt.y - m_rect.top + scroll.y);
  for (int i = 0; i < static_cast<int>(m_entries.size()); ++i) {
    if (m_entries[i].rect.PtInRect(local)) return i;
  }
  return -1;
}

int CComboBoxList::GetHoverRow() const {
  std::lock_guard guard(m_dataLock);
  return m_hover;
}

void CComboBoxList::SetSelected(int row) {
  {
    std::lock_guard guard(m_dataLock);
    m_selected = row >= 0 && row < static_cast<int>(m_entries.size()) ? row : -1;
  }
  UpdateControl(1, 0);
}

int CComboBoxList::GetSelected() const {
  std::lock_guard guard(m_dataLock);
  return m_selected;
}

void CComboBoxList::ScrollToRow(int row) {
  CScrollVertical* bar = GetVScroll();
  if (bar == nullptr || !bar->IsVisible() || row < 0 || row >= GetRowCount()) return;
  const int view = m_rect.Height();
  const int top = row * kRowHeight;
  const int pos = bar->GetScrollPos();
  if (top < pos) {
    bar->SetScrollPos(top);
  } else if (top + kRowHeight > pos + view) {
    bar->SetScrollPos(top + kRowHeight - view);
  }
  UpdateControl(1, 0);
}

int CComboBoxList::MoveHighlight(int delta) {
  int row = -1;
  {
    std::lock_guard guard(m_dataLock);
    const int count = static_cast<int>(m_entries.size());
    if (count == 0) return -1;
    const int from = m_hover >= 0 ? m_hover : m_selected;
    if (from < 0) {
      // Nothing to start from: Down lands on the first row, Up on the last.
      row = delta >= 0 ? delta - 1 : count + delta;
    } else {
      row = from + delta;
    }
    row = std::clamp(row, 0, count - 1);
    m_hover = row;
  }
  ScrollToRow(row);
  UpdateControl(1, 0);
  return row;
}

int CComboBoxList::HighlightRow(int row) {
  {
    std::lock_guard guard(m_dataLock);
    const int count = static_cast<int>(m_entries.size());
    if (count == 0) return -1;
    row = std::clamp(row, 0, count - 1);
    m_hover = row;
  }
  ScrollToRow(row);
  UpdateControl(1, 0);
  return row;
}

int CComboBoxList::GetPageRows() const { return std::max(1, m_rect.Height() / kRowHeight); }

int CComboBoxList::TypeToFind(char32_t cp, std::uint32_t timeMs) {
  if (!Printable(cp)) return -1;
  int row = -1;
  {
    std::lock_guard guard(m_dataLock);
    const int count = static_cast<int>(m_entries.size());
    if (count == 0) return -1;
    // Unsigned difference: also right across the tick counter's wrap; a clock running
    // backwards starts afresh.
    if (m_typed.empty() || timeMs - m_typedAt >= kTypeAheadMs) m_typed.clear();
    m_typed.push_back(Fold(cp));
    m_typedAt = timeMs;
    const bool repeated = std::all_of(m_typed.begin(), m_typed.end(),
                                      [&](char32_t c) { return c == m_typed.front(); });
    const std::u32string_view prefix =
        repeated ? std::u32string_view(m_typed).substr(0, 1) : std::u32string_view(m_typed);
    // A first (or repeated) letter moves on from the current row; a longer prefix may still
    // fit the row its start found.
    const int current = m_hover >= 0 ? m_hover : m_selected;
    const int start = repeated ? current + 1 : std::max(current, 0);
    for (int i = 0; i < count && row < 0; ++i) {
      const int r = (start + i) % count;
      if (StartsWith(m_entries[r].text, prefix)) row = r;
    }
    if (row < 0) return -1;
    m_hover = row;
  }
  ScrollToRow(row);
  UpdateControl(1, 0);
  return row;
}

bool CComboBoxList::PickHighlighted() {
  const int row = GetHoverRow();
  if (row < 0) return false;
  SendMessageW(Notify::Click, static_cast<unsigned>(row), Notify::ComboPickFlag);
  return true;
}

int CComboBoxList::OnCheckMouseResponse(unsigned keys, CPoint pt) {
  return MPanel::OnCheckMouseResponse(keys, pt) || PtInRect(pt);
}

int CComboBoxList::OnControlMouseMove(unsigned, CPoint pt) {
  const int row = RowAt(pt);
  {
    std::lock_guard guard(m_dataLock);
    if (row == m_hover) return 1;
    m_hover = row;
  }
  UpdateControl(1, 0);
  return 1;
}

int CComboBoxList::OnControlLButtonUp(unsigned, CPoint pt) {
  const int row = RowAt(pt);
  if (row >= 0) SendMessageW(Notify::Click, static_cast<unsigned>(row), Notify::ComboPickFlag);
  return 1;
}

void CComboBoxList::OnControlMouseLeave() {
  {
    std::lock_guard guard(m_dataLock);
    if (m_hover < 0) return;
    m_hover = -1;
  }
  UpdateControl(1, 0);
}

void CComboBoxList::DrawControl(Painter& painter, CRect) {
  std::lock_guard guard(m_dataLock);
  const FontDesc font = GetFontDesc();
  const CPoint scroll = GetScrollOffset();
  painter.PushClip(m_rect);
  for (int i = 0; i < static_cast<int>(m_entries.size()); ++i) {
    const ComboEntry& e = m_entries[i];
    CRect row = e.rect;
    row.OffsetRect(m_rect.left - scroll.x, m_rect.top - scroll.y);
    if (row.bottom <= m_rect.top || row.top >= m_rect.bottom) continue;
    if (i == m_hover) painter.FillRect(row, m_highlight);
    const bool selected = i == m_selected;
    if (selected) {
      painter.FillRect(CRect(row.left, row.top + 4, row.left + kMarkerWidth, row.bottom - 4),
                       m_accent);
    }
    int textLeft = row.left + 10;
    const Image& icon = m_icons[i];
    if (!icon.IsNull()) {
      const int y = row.top + (row.Height() - icon.Height()) / 2;
      painter.DrawImage(icon, textLeft, y);
      textLeft += icon.Width() + kIconGap;
    }
    const CRect text(textLeft, row.top, row.right - 10, row.bottom);
    const std::uint32_t colour = selected ? m_accent : e.colour != 0 ? e.colour : m_textColor;
    painter.DrawText(e.text, font, text, colour,
                     DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  }
  painter.PopClip();
}

}  // namespace Tavex
