#include "tavex/DListBox.h"

#include "InPlaceEditor.h"

#include <algorithm>

#include "tavex/Codes.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex {

namespace {
constexpr int kEditCorner = 6;
constexpr int kEditLeft = 27;
}  // namespace

DListBox::DListBox(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible), m_editor(std::make_unique<InPlaceEditor>(*this, [this](bool keep) { FinishEdit(keep); })) {
  m_textColor = m_listTextColour;
  m_imageStates = 2;
  m_editor->SetLook(m_listTextColour, 0xFF080808);
}

DListBox::~DListBox() = default;

const char* DListBox::GetClassNameW() const { return "DListBox"; }

void DListBox::UpdateScrollLocked() {
  int y = 0;
  for (ListEntry& e : m_entries) {
    e.rect = CRect(0, y, m_rect.Width(), y + m_rowHeight);
    y += m_rowHeight;
  }
}

void DListBox::AfterRowsChanged() {
  int content = 0;
  {
    std::lock_guard guard(m_dataLock);
    UpdateScrollLocked();
    content = static_cast<int>(m_entries.size()) * m_rowHeight;
  }
  SetVirtualHeight(content > m_rect.Height() ? content : 0);
  MoveEditBox();
  UpdateControl(1, 0);
}

int DListBox::AddString(const char* text, long data, int image) {
  int index = 0;
  {
    std::lock_guard guard(m_dataLock);
    m_entries.push_back({text != nullptr ? text : "", image, data, {}});
    index = static_cast<int>(m_entries.size()) - 1;
  }
  AfterRowsChanged();
  return index;
}

int DListBox::AddString(const char* text, int image) { return AddString(text, 0L, image); }

int DListBox::InsertString(int at, const char* text, int image, long data) {
  int last = 0;
  {
    std::lock_guard guard(m_dataLock);
    const int count = static_cast<int>(m_entries.size());
    if (at == -1) {
      at = count;
    } else if (at < 0 || at >= count) {
      return -1;
    }
    m_entries.insert(m_entries.begin() + at, {text != nullptr ? text : "", image, data, {}});
    // Selection and edit follow their entries.
    if (m_select >= at) ++m_select;
    if (m_editRow >= at) ++m_editRow;
    m_hover = -1;
    last = static_cast<int>(m_entries.size()) - 1;
  }
  AfterRowsChanged();
  return last;
}

void DListBox::DeleteItem(int row) {
  bool dropEdit = false;
  {
    std::lock_guard guard(m_dataLock);
    if (row < 0 || row >= static_cast<int>(m_entries.size())) return;
    if (m_editRow == row) {
      m_editRow = -1;
      dropEdit = true;
    }
    m_entries.erase(m_entries.begin() + row);
    if (m_select == row) {
      m_select = -1;
    } else if (m_select > row) {
      --m_select;
    }
    if (m_editRow > row) --m_editRow;
    m_hover = -1;
  }
  if (dropEdit) m_editor->Close();
  AfterRowsChanged();
}

int DListBox::DeleteAllItems() {
  {
    std::lock_guard guard(m_dataLock);
    m_entries.clear();
    m_hover = m_select = m_editRow = -1;
  }
  m_editor->Close();
  AfterRowsChanged();
  return 1;
}

int DListBox::GetItemCount() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(m_entries.size());
}

CString DListBox::GetItemText(int row) const {
  std::lock_guard guard(m_dataLock);
  if (row < 0 || row >= static_cast<int>(m_entries.size())) return {};
  return m_entries[row].text;
}

void DListBox::ModifyItemString(int row, const char* text) {
  {
    std::lock_guard guard(m_dataLock);
    if (row < 0 || row >= static_cast<int>(m_entries.size())) return;
    const CString value = text != nullptr ? text : "";
    if (m_entries[row].text == value) return;
    m_entries[row].text = value;
  }
  UpdateControl(1, 0);
}

long DListBox::GetItemData(int row) const {
  std::lock_guard guard(m_dataLock);
  if (row < 0 || row >= static_cast<int>(m_entries.size())) return 0;
  return m_entries[row].data;
}

void DListBox::SetItemData(int row, long data) {
  std::lock_guard guard(m_dataLock);
  if (row < 0 || row >= static_cast<int>(m_entries.size())) return;
  m_entries[row].data = data;
}

int DListBox::FindString(const char* text) const {
  std::lock_guard guard(m_dataLock);
  const CString value = text != nullptr ? text : "";
  for (int i = 0; i < static_cast<int>(m_entries.size()); ++i) {
    if (m_entries[i].text == value) return i;
  }
  return -1;
}

int DListBox::FindItemData(long data) const {
  std::lock_guard guard(m_dataLock);
  for (int i = 0; i < static_cast<int>(m_entries.size()); ++i) {
    if (m_entries[i].data == data) return i;
  }
  return -1;
}

CRect DListBox::GetItemRect(int row) const {
  std::lock_guard guard(m_dataLock);
  if (row < 0 || row >= static_cast<int>(m_entries.size())) return {};
  const CPoint scroll = GetScrollOffset();
  CRect r = m_entries[row].rect;
  r.OffsetRect(m_rect.left - scroll.x, m_rect.top - scroll.y);
  return r;
}

bool DListBox::SwapItem(int a, int b) {
  {
    std::lock_guard guard(m_dataLock);
    const int count = static_cast<int>(m_entries.size());
    if (a < 0 || b < 0 || a >= count || b >= count) return false;
    if (a == b) return true;
    std::swap(m_entries[a].text, m_entries[b].text);
    std::swap(m_entries[a].image, m_entries[b].image);
    std::swap(m_entries[a].data, m_entries[b].data);
  }
  UpdateControl(1, 0);
  return true;
}

void DListBox::SetItemHeight(int height) {
  {
    std::lock_guard guard(m_dataLock);
    if (height <= 0 || height == m_rowHeight) return;
    m_rowHeight = height;
  }
  AfterRowsChanged();
}

int DListBox::GetItemHeight() const {
  std::lock_guard guard(m_dataLock);
  return m_rowHeight;
}

int DListBox::SetCurSel(int row) {
  {
    std::lock_guard guard(m_dataLock);
    if (row < -1 || row >= static_cast<int>(m_entries.size())) return 0;
    if (row == m_select) return 1;
    m_select = row;
  }
  UpdateControl(1, 0);
  return 1;
}

int DListBox::GetCurSel() const {
  std::lock_guard guard(m_dataLock);
  return m_select;
}

int DListBox::SetCurData(long data) {
  const int row = FindItemData(data);
  if (row >= 0) SetCurSel(row);
  return row;
}

long DListBox::GetCurData() const {
  std::lock_guard guard(m_dataLock);
  return m_select >= 0 ? m_entries[m_select].data : 0;
}

int DListBox::GetHoverRow() const {
  std::lock_guard guard(m_dataLock);
  return m_hover;
}

int DListBox::RowAt(CPoint pt) const {
  std::lock_guard guard(m_dataLock);
  if (!m_rect.PtInRect(pt)) return -1;
  const CPoint scroll = GetScrollOffset();
  const int y = pt.y - m_rect.top + scroll.y;
  if (y < 0 || m_rowHeight <= 0) return -1;
  const int row = y / m_rowHeight;
  return row < static_cast<int>(m_entries.size()) ? row : -1;
}

void DListBox::SetImage(const char* file, int states) {
  {
    std::lock_guard guard(m_dataLock);
    m_imagesLoaded = false;
  }
  MPanel::SetImage(file, states);
}

void DListBox::SetEditImage(const char* file, int states) {
  {
    std::lock_guard guard(m_dataLock);
    m_editImagePath = file != nullptr ? file : "";
    m_editStates = states > 0 ? states : 1;
    m_imagesLoaded = false;
  }
  UpdateControl(1, 0);
}

void DListBox::EnableShowEdit(int on) {
  std::lock_guard guard(m_dataLock);
  m_renameOn = on ? 1 : 0;
}

CRect DListBox::EditBoxLocked(int row) const {
  if (row < 0 || row >= static_cast<int>(m_entries.size())) return {};
  // The row's text area, centred on the font size; virtual space, so it scrolls with the row.
  CRect r = m_entries[row].rect;
  r.OffsetRect(m_rect.left, m_rect.top);
  const int top = r.top + (r.Height() - m_fontSize - 6) / 2;
  return CRect(r.left + kTextLeft, top, r.right - 10, top + m_fontSize + 6);
}

void DListBox::MoveEditBox() {
  CRect box;
  {
    std::lock_guard guard(m_dataLock);
    if (m_editRow < 0) return;
    box = EditBoxLocked(m_editRow);
  }
  m_editor->Move(box);
}

void DListBox::ShowEdit() {
  CRect box;
  std::string text;
  {
    std::lock_guard guard(m_dataLock);
    if (!m_renameOn || !m_enabled || m_select < 0) return;
    m_editRow = m_select;
    text = m_entries[m_select].text;
    box = EditBoxLocked(m_editRow);
  }
  m_editor->Open(box, text);
  UpdateControl(1, 0);
}

void DListBox::EndEdit() { FinishEdit(true); }

void DListBox::CancelEdit() { FinishEdit(false); }

void DListBox::FinishEdit(bool keep) {
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
    if (row < static_cast<int>(m_entries.size()) && m_entries[row].text != typed) {
      m_entries[row].text = typed;
      changed = true;
    }
  }
  if (changed) SendMessageW(Notify::EditEnded, 0, row);
  UpdateControl(1, 0);
}

int DListBox::GetEditRow() const {
  std::lock_guard guard(m_dataLock);
  return m_editRow;
}

std::string DListBox::GetEditText() const { return m_editor->Text(); }

MEdit* DListBox::GetEditBox() const { return m_editor->Edit(); }

HWND DListBox::GetEditWindow() const { return m_editor->GetPopupWindow(); }

CRect DListBox::GetEditRect() const {
  if (!m_editor->IsOpen()) return {};
  CRect box = m_editor->Box();
  const CPoint scroll = GetScrollOffset();
  box.OffsetRect(-scroll.x, -scroll.y);
  return box;
}

int DListBox::OnCheckMouseResponse(unsigned keys, CPoint pt) {
  return MPanel::OnCheckMouseResponse(keys, pt) || PtInRect(pt);
}

int DListBox::OnControlMouseMove(unsigned, CPoint pt) {
  const int row = RowAt(pt);
  CString tip;
  {
    std::lock_guard guard(m_dataLock);
    if (row == m_hover) return 1;
    m_hover = row;
    if (row >= 0) tip = m_entries[row].text;
  }
  if (tip.empty()) {
    ClearTooltip();
  } else {
    SetTooltip(tip.c_str());
  }
  UpdateControl(1, 0);
  return 1;
}

int DListBox::OnControlLButtonDown(unsigned, CPoint pt) {
  const int row = RowAt(pt);
  const int editRow = GetEditRow();
  // A press on another row ends the rename; a press inside the box keeps it.
  if (editRow >= 0 && row != editRow) EndEdit();
  if (row < 0) return 1;
  SetCurSel(row);
  SendMessageW(Notify::Press, static_cast<unsigned>(row), 0);
  return 1;
}

int DListBox::OnControlLButtonUp(unsigned, CPoint pt) {
  const int row = RowAt(pt);
  if (row >= 0) SendMessageW(Notify::Click, static_cast<unsigned>(row), 0);
  return 1;
}

int DListBox::OnControlRButtonUp(unsigned, CPoint pt) {
  if (!PtInRect(pt)) return 0;
  const int row = GetHoverRow();
  if (row >= 0) SetCurSel(row);
  SendMessageW(Notify::RightClick, static_cast<unsigned>(row), 0);
  return 1;
}

int DListBox::OnControlKeyDown(unsigned key, unsigned, unsigned) {
  // Enter keeps the new name, Escape the old one; other keys go on to the box.
  return m_editor->TakeEndKey(key) ? 1 : 0;
}

int DListBox::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  // The rename box reports to the list only; losing the focus ends the rename.
  if (m_editor->TakeBoxNotice(id, code)) return 1;
  return MPanel::OnMessage(id, code, wParam, lParam);
}

void DListBox::OnControlMouseLeave() {
  {
    std::lock_guard guard(m_dataLock);
    if (m_hover < 0) return;
    m_hover = -1;
  }
  ClearTooltip();
  UpdateControl(1, 0);
}

void DListBox::SetControlFocus(int focus) {
  MPanel::SetControlFocus(focus);
  if (!focus) EndEdit();
}

void DListBox::DrawControl(Painter& painter, CRect) {
  std::lock_guard guard(m_dataLock);
  if (!m_imagesLoaded) {
    m_stateIcon = LoadSkinImage(m_imagePath);
    m_editFrame = LoadSkinImage(m_editImagePath);
    m_imagesLoaded = true;
  }
  const FontDesc font = GetFontDesc();
  const CPoint scroll = GetScrollOffset();
  painter.PushClip(m_rect);
  for (int i = 0; i < static_cast<int>(m_entries.size()); ++i) {
    CRect row = m_entries[i].rect;
    row.OffsetRect(m_rect.left - scroll.x, m_rect.top - scroll.y);
    if (row.bottom <= m_rect.top || row.top >= m_rect.bottom) continue;
    if (i == m_hover) {
      painter.FillRect(CRect(row.left + 1, row.top, row.right, row.bottom), m_hoverColour);
    } else if (i == m_select) {
      painter.FillRect(row, Manager::GetSelectColor());
    }
    if (!m_stateIcon.IsNull()) {
      const int states = std::max(m_imageStates, 1);
      const int sw = m_stateIcon.Width() / states;
      const int sh = m_stateIcon.Height();
      const int state = std::min(i == m_select ? 1 : 0, states - 1);
      const int y = row.top + (row.Height() - sh) / 2;
      painter.DrawImage(m_stateIcon, RECT{row.left, y, row.left + sw, y + sh},
                        RECT{state * sw, 0, (state + 1) * sw, sh});
    }
    if (i == m_editRow) {
      const CRect box(row.left + kEditLeft, row.top + 2, row.right - 6, row.bottom - 2);
      if (!m_editFrame.IsNull()) {
        const int sw = m_editFrame.Width() / m_editStates;
        MRender::DrawImageFrame(painter, m_editFrame, box, 0, 0, sw, m_editFrame.Height(),
                                kEditCorner);
      } else {
        painter.FillRect(box, 0xFF080808);
        painter.DrawRect(box, Manager::GetSelectColor(), 1);
      }
      continue;
    }
    const CRect text(row.left + kTextLeft, row.top, row.right, row.bottom);
    painter.DrawText(m_entries[i].text, font, text, m_listTextColour,
                     DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  }
  painter.PopClip();
}

}  // namespace Tavex
