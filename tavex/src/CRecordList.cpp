#include "tavex/CRecordList.h"

#include "InPlaceEditor.h"
#include "tavex/Codes.h"

#include <algorithm>
#include <string>

#include "tavex/Manager.h"

namespace Tavex {

namespace {
constexpr int kTextLeft = 0, kTextWidth = 160;
constexpr int kKindLeft = 180, kKindWidth = 100;

const char* KindText(int kind) {
  if (kind == 2) return "Key Down";
  if (kind == 3) return "Key Up";
  return "";
}
}  // namespace

CRecordList::CRecordList(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible), m_editor(std::make_unique<InPlaceEditor>(*this, [this](bool keep) { FinishEdit(keep); })) {
  m_hAlign = 1;
  m_editor->SetRules(static_cast<int>(kDelayDigits), true);
  m_editor->SetLook(m_selectedText, 0xFF080808);
}

CRecordList::~CRecordList() = default;

const char* CRecordList::GetClassNameW() const { return "CRecordList"; }

void CRecordList::AfterRowsChanged(bool resetScroll) {
  int content = 0;
  CRect box;
  {
    std::lock_guard guard(m_dataLock);
    if (m_editRow >= 0) box = EditBoxLocked(m_editRow);
    int y = 0;
    for (auto& row : m_rows) {
      row->rect = CRect(0, y, m_rect.Width(), y + m_rowHeight);
      y += m_rowHeight;
    }
    content = y;
  }
  const bool atEnd = m_vScroll->GetScrollPos() >= m_vScroll->GetScrollRange();
  SetVirtualHeight(content > m_rect.Height() ? content : 0);
  if (resetScroll && atEnd) m_vScroll->SetScrollPos(0);
  // An open box stays on its row when the rows change height.
  if (!box.IsRectEmpty()) m_editor->Move(box);
  UpdateControl(1, 0);
}

int CRecordList::AddString(const CString& text, int kind, int value, int delay) {
  int index = 0;
  {
    std::lock_guard guard(m_dataLock);
    auto row = std::make_unique<RecordItem>();
    row->text = text;
    row->kind = kind;
    row->value = value;
    row->delay = delay;
    m_rows.push_back(std::move(row));
    index = static_cast<int>(m_rows.size()) - 1;
  }
  AfterRowsChanged(false);
  return index;
}

bool CRecordList::UpdateDelayTime(int delay) {
  {
    std::lock_guard guard(m_dataLock);
    if (m_rows.empty()) return false;
    if (m_rows.back()->delay == delay) return true;
    m_rows.back()->delay = delay;
  }
  UpdateControl(1, 0);
  return true;
}

int CRecordList::GetItemCount() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(m_rows.size());
}

int CRecordList::GetCurSel() const {
  std::lock_guard guard(m_dataLock);
  return m_select;
}

int CRecordList::SetCurSel(int row) {
  {
    std::lock_guard guard(m_dataLock);
    if (row < -1 || row >= static_cast<int>(m_rows.size())) return 0;
    if (row == m_select) return 1;
    m_select = row;
  }
  UpdateControl(1, 0);
  return 1;
}

void CRecordList::SetItemHeight(int height) {
  {
    std::lock_guard guard(m_dataLock);
    if (height <= 0 || height == m_rowHeight) return;
    m_rowHeight = height;
  }
  AfterRowsChanged(false);
}

int CRecordList::DeleteItem(int row) {
  {
    std::lock_guard guard(m_dataLock);
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return 0;
    // A delete under a running edit drops the edit (its row is gone or moved).
    m_editRow = -1;
    m_rows.erase(m_rows.begin() + row);
    m_hover = -1;
    m_select = -1;
  }
  m_editor->Close();
  AfterRowsChanged(true);
  return 1;
}

void CRecordList::DeleteAllItems() {
  {
    std::lock_guard guard(m_dataLock);
    m_rows.clear();
    m_hover = m_select = m_editRow = -1;
  }
  m_editor->Close();
  m_vScroll->SetScrollPos(0);
  AfterRowsChanged(true);
}

bool CRecordList::SwapItem(int a, int b) {
  std::lock_guard guard(m_dataLock);
  const int count = static_cast<int>(m_rows.size());
  if (a < 0 || b < 0 || a >= count || b >= count || a == b) return false;
  std::swap(m_rows[a], m_rows[b]);
  std::swap(m_rows[a]->rect, m_rows[b]->rect);
  return true;
}

void CRecordList::EnableEdit(int on) {
  std::lock_guard guard(m_dataLock);
  m_editAllowed = on ? 1 : 0;
}

CRect CRecordList::EditBoxLocked(int row) const {
  // The delay column of the row, centred on the font height (virtual space: the box scrolls
  // with its row).
  const int middle = m_rect.top + row * m_rowHeight + m_rowHeight / 2;
  const int top = middle - m_fontSize / 2 - 3;
  return CRect(m_rect.left + kDelayLeft, top, m_rect.left + kDelayLeft + kDelayWidth,
               top + m_fontSize + 3);
}

void CRecordList::ShowEdit() {
  CRect box;
  std::string text;
  {
    std::lock_guard guard(m_dataLock);
    if (!m_editAllowed || !m_enabled || m_select < 0 || m_hover < 0) return;
    m_editRow = m_select;
    text = std::to_string(m_rows[m_select]->delay);
    box = EditBoxLocked(m_editRow);
  }
  m_editor->Open(box, text);
  UpdateControl(1, 0);
}

void CRecordList::EndEdit() { FinishEdit(true); }

void CRecordList::FinishEdit(bool keep) {
  int row = -1;
  {
    std::lock_guard guard(m_dataLock);
    if (m_editRow < 0) return;
    row = m_editRow;
    m_editRow = -1;
  }
  // Closing takes the box's focus, whose notification comes back here and finds no edit.
  const std::string typed = m_editor->Close();
  bool changed = false;
  if (keep) {
    std::lock_guard guard(m_dataLock);
    // At most five digits: always fits an int.
    const int delay = typed.empty() ? kEmptyDelay : std::stoi(typed);
    if (row < static_cast<int>(m_rows.size()) && m_rows[row]->delay != delay) {
      m_rows[row]->delay = delay;
      changed = true;
    }
  }
  if (changed) SendMessageW(Notify::EditEnded, 0, row);
  UpdateControl(1, 0);
}

int CRecordList::GetEditRow() const {
  std::lock_guard guard(m_dataLock);
  return m_editRow;
}

std::string CRecordList::GetEditText() const { return m_editor->Text(); }

MEdit* CRecordList::GetEditBox() const { return m_editor->Edit(); }

HWND CRecordList::GetEditWindow() const { return m_editor->GetPopupWindow(); }

std::vector<RecordItem*> CRecordList::GetRecordItems() const {
  std::lock_guard guard(m_dataLock);
  std::vector<RecordItem*> out;
  for (const auto& row : m_rows) out.push_back(row.get());
  return out;
}

int CRecordList::RowAt(CPoint pt) const {
  std::lock_guard guard(m_dataLock);
  if (!m_rect.PtInRect(pt) || m_rowHeight <= 0) return -1;
  const int y = pt.y - m_rect.top + GetScrollOffset().y;
  const int row = y / m_rowHeight;
  return y >= 0 && row < static_cast<int>(m_rows.size()) ? row : -1;
}

int CRecordList::GetHoverRow() const {
  std::lock_guard guard(m_dataLock);
  return m_hover;
}

CRect CRecordList::GetEditRect() const {
  if (!m_editor->IsOpen()) return {};
  CRect box = m_editor->Box();
  const CPoint scroll = GetScrollOffset();
  box.OffsetRect(-scroll.x, -scroll.y);
  return box;
}

int CRecordList::OnCheckMouseResponse(unsigned keys, CPoint pt) {
  return MPanel::OnCheckMouseResponse(keys, pt) || PtInRect(pt);
}

int CRecordList::OnControlMouseMove(unsigned, CPoint pt) {
  const int row = RowAt(pt);
  {
    std::lock_guard guard(m_dataLock);
    if (row == m_hover) return 1;
    m_hover = row;
  }
  UpdateControl(1, 0);
  return 1;
}

int CRecordList::OnControlLButtonDown(unsigned, CPoint pt) {
  const int row = RowAt(pt);
  bool selectionChanged = false;
  bool inDelay = false;
  {
    std::lock_guard guard(m_dataLock);
    m_hover = row;
    selectionChanged = row != m_select;
    m_select = row;
    const int x = pt.x - m_rect.left;
    inDelay = row >= 0 && x >= kDelayLeft && x < kDelayLeft + kDelayWidth;
  }
  const int editRow = GetEditRow();
  if (editRow >= 0 && editRow != row) EndEdit();
  if (inDelay && GetEditRow() < 0) ShowEdit();
  SendMessageW(Notify::Press, static_cast<unsigned>(row), 0);
  if (selectionChanged) UpdateControl(1, 0);
  return 1;
}

int CRecordList::OnControlRButtonUp(unsigned, CPoint pt) {
  const int row = RowAt(pt);
  bool changed = false;
  {
    std::lock_guard guard(m_dataLock);
    changed = m_select != m_hover;
    m_select = m_hover;
  }
  if (PtInRect(pt) && row >= 0) SendMessageW(Notify::RightClick, static_cast<unsigned>(row), 0);
  if (changed) UpdateControl(1, 0);
  return 1;
}

int CRecordList::OnControlKeyDown(unsigned key, unsigned, unsigned) {
  // Enter keeps the typed delay, Escape the old one; other keys go on to the box.
  return m_editor->TakeEndKey(key) ? 1 : 0;
}

int CRecordList::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  // The delay box reports to the list only; losing the focus ends the edit.
  if (m_editor->TakeBoxNotice(id, code)) return 1;
  if (code == Notify::Scrolled) UpdateControl(1, 0);
  return MPanel::OnMessage(id, code, wParam, lParam);
}

void CRecordList::OnControlMouseLeave() {
  {
    std::lock_guard guard(m_dataLock);
    if (m_hover < 0) return;
    m_hover = -1;
  }
  UpdateControl(1, 0);
}

void CRecordList::SetControlFocus(int focus) {
  MPanel::SetControlFocus(focus);
  if (!focus) EndEdit();
}

void CRecordList::DrawControl(Painter& painter, CRect) {
  std::lock_guard guard(m_dataLock);
  const FontDesc font = GetFontDesc();
  const int scroll = GetScrollOffset().y;
  const UINT centred = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
  painter.PushClip(m_rect);
  for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
    const RecordItem& row = *m_rows[i];
    const int top = m_rect.top + row.rect.top - scroll;
    if (top + m_rowHeight <= m_rect.top || top >= m_rect.bottom) continue;
    const int left = m_rect.left;
    const bool selected = i == m_select;
    if (selected || i == m_hover) {
      const CRect outline(left, top, left + m_rect.Width() - 2, top + m_rowHeight - 1);
      painter.DrawRect(outline, selected ? Manager::GetSelectColor() : m_hoverColour, 1);
    }
    const std::uint32_t colour = selected ? m_selectedText : m_rowText;
    const auto box = [&](int x, int w) { return CRect(left + x, top, left + x + w, top + m_rowHeight); };
    painter.DrawText(row.text, font, box(kTextLeft, kTextWidth), colour, centred);
    painter.DrawText(KindText(row.kind), font, box(kKindLeft, kKindWidth), colour, centred);
    if (i == m_editRow) {
      // The box draws itself over the column; the list frames it.
      CRect frame = m_editor->Box();
      frame.OffsetRect(0, -scroll);
      frame.InflateRect(1, 1);
      painter.DrawRect(frame, Manager::GetSelectColor(), 1);
      continue;
    }
    painter.DrawText(std::to_string(row.delay), font, box(kDelayLeft, kDelayWidth), colour,
                     centred);
  }
  painter.PopClip();
}

}  // namespace Tavex
