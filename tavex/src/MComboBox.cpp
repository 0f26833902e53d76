#include "tavex/MComboBox.h"

#include <algorithm>

#include "ComboPopupWnd.h"
#include "tavex/Codes.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"
#include "tavex/Native.h"
#include "tavex/PaintManager.h"

namespace Tavex {

namespace {
constexpr int kArrowWidth = 26;
constexpr int kGap = 2;
// States of img_combobox: normal, hover, open, disabled.
constexpr int kStates = 4;
}  // namespace

MComboBox::MComboBox(MObject* parent, unsigned id, CRect rect, const char* title, int visible,
                     int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
  m_imagePath = "img_combobox.png";
  m_imageStates = kStates;
}

MComboBox::~MComboBox() {
  if (m_popup) {
    m_popup->Detach();
    m_popup->DestroyWindow();
  }
}

const char* MComboBox::GetClassNameW() const { return "MComboBox"; }

CRect MComboBox::PopupRect(CRect control, int count, CRect workArea) {
  const int height = std::min(std::max(count, 0), kVisibleRows) * CComboBoxList::kRowHeight +
                     kPopupMargin;
  CRect r(control.left, control.bottom + kGap, control.right, control.bottom + kGap + height);
  if (r.bottom > workArea.bottom) r = CRect(control.left, control.top - height, control.right,
                                            control.top);
  return r;
}

int MComboBox::AddItem(const char* text, long data, const char* icon, std::uint32_t colour) {
  std::lock_guard guard(m_dataLock);
  m_entries.push_back({text != nullptr ? text : "", icon != nullptr ? icon : "", colour, data, {}});
  return static_cast<int>(m_entries.size()) - 1;
}

int MComboBox::InsertItem(int at, const char* text, long data, const char* icon,
                          std::uint32_t colour) {
  std::lock_guard guard(m_dataLock);
  const int count = static_cast<int>(m_entries.size());
  if (at == -1) {
    at = count;
  } else if (at < 0 || at >= count) {
    return -1;
  }
  m_entries.insert(m_entries.begin() + at,
                   {text != nullptr ? text : "", icon != nullptr ? icon : "", colour, data, {}});
  // The selection follows its entry.
  if (m_select >= at) ++m_select;
  return at;
}

int MComboBox::GetCount() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(m_entries.size());
}

int MComboBox::SetCurSel(int index) {
  {
    std::lock_guard guard(m_dataLock);
    if (index < -1 || index >= static_cast<int>(m_entries.size())) return 0;
    m_select = index;
  }
  SetTitle(index >= 0 ? GetItemText(index).c_str() : "");
  return 1;
}

int MComboBox::GetCurSel() const {
  std::lock_guard guard(m_dataLock);
  return m_select;
}

long MComboBox::GetCurData() const {
  std::lock_guard guard(m_dataLock);
  return m_select >= 0 ? m_entries[m_select].data : 0;
}

long MComboBox::GetItemData(int index) const {
  std::lock_guard guard(m_dataLock);
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return 0;
  return m_entries[index].data;
}

void MComboBox::SetItemData(int index, long data) {
  std::lock_guard guard(m_dataLock);
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return;
  m_entries[index].data = data;
}

int MComboBox::FindData(long data) const {
  std::lock_guard guard(m_dataLock);
  for (int i = 0; i < static_cast<int>(m_entries.size()); ++i) {
    if (m_entries[i].data == data) return i;
  }
  return -1;
}

int MComboBox::SelectData(long data) {
  const int index = FindData(data);
  if (index < 0) return 0;
  return SetCurSel(index);
}

CString MComboBox::GetItemText(int index) const {
  std::lock_guard guard(m_dataLock);
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return {};
  return m_entries[index].text;
}

void MComboBox::SetItemText(int index, const CString& text) {
  bool shown = false;
  {
    std::lock_guard guard(m_dataLock);
    if (index < 0 || index >= static_cast<int>(m_entries.size())) return;
    m_entries[index].text = text;
    shown = index == m_select;
  }
  if (shown) SetTitle(text.c_str());
}

void MComboBox::DeleteItem(int index) {
  bool selectionGone = false;
  {
    std::lock_guard guard(m_dataLock);
    if (index < 0 || index >= static_cast<int>(m_entries.size())) return;
    m_entries.erase(m_entries.begin() + index);
    if (m_select == index) {
      m_select = -1;
      selectionGone = true;
    } else if (m_select > index) {
      --m_select;
    }
  }
  if (selectionGone) SetTitle("");
}

void MComboBox::DelAllItems() {
  {
    std::lock_guard guard(m_dataLock);
    m_entries.clear();
    m_select = -1;
  }
  SetTitle("");
}

void MComboBox::SetBackImage(const char* file) {
  std::lock_guard guard(m_dataLock);
  m_look.backImage = file != nullptr ? file : "";
  m_look.backResource = 0;
}

void MComboBox::SetBackImage(unsigned resourceId, const CString& type) {
  std::lock_guard guard(m_dataLock);
  m_look.backImage.clear();
  m_look.backResource = resourceId;
  m_look.backType = type.empty() ? CString("PNG") : type;
}

void MComboBox::SetShowModeMID(int left, int top, int right, int bottom) {
  std::lock_guard guard(m_dataLock);
  m_look.borders = CRect(left, top, right, bottom);
}

void MComboBox::SetScrollResID(unsigned vertical, unsigned horizontal) {
  std::lock_guard guard(m_dataLock);
  m_look.scrollV = vertical;
  m_look.scrollH = horizontal;
}

ComboPopupLook MComboBox::GetPopupLook() const {
  std::lock_guard guard(m_dataLock);
  return m_look;
}

void MComboBox::SetTextRect(CRect rect) {
  {
    std::lock_guard guard(m_dataLock);
    if (m_textRectSet && rect == m_textRect) return;
    m_textRect = rect;
    m_textRectSet = true;
  }
  UpdateControl(1, 0);
}

CRect MComboBox::GetTextRect() const {
  std::lock_guard guard(m_dataLock);
  if (m_textRectSet) return m_textRect;
  // 3 pixels in on three sides, the arrow's 26 on the right.
  return CRect(3, 3, m_rect.Width() - kArrowWidth, m_rect.Height() - 3);
}

void MComboBox::SetControlRect(CRect rect) {
  std::lock_guard guard(m_dataLock);
  MControlFont::SetControlRect(rect);
}

bool MComboBox::OpenList() {
  CloseList();
  if (m_manager == nullptr) return false;
  MWindow* owner = m_manager->GetOwner();
  const HWND hwnd = m_manager->GetPaintWnd();
  if (owner == nullptr || hwnd == nullptr) return false;
  const CRect client = GetRect();
  POINT origin{client.left, client.top};
  if (!owner->ClientToScreen(&origin)) return false;
  CRect screen = client;
  screen.MoveToXY(origin.x, origin.y);
  RECT work{};
  if (!Native::GetWorkArea(hwnd, &work)) return false;
  std::vector<ComboEntry> entries;
  ComboPopupLook look;
  int selected = -1;
  {
    std::lock_guard guard(m_dataLock);
    entries = m_entries;
    look = m_look;
    selected = m_select;
  }
  const CRect at = PopupRect(screen, static_cast<int>(entries.size()), CRect(work));
  m_popup = std::make_unique<ComboPopupWnd>(this);
  if (!m_popup->Open(hwnd, at, entries, GetFontDesc(), GetTextColor(), look, selected)) {
    m_popup.reset();
    return false;
  }
  m_open = 1;
  m_press.Leave();
  UpdateControl(1, 0);
  return true;
}

void MComboBox::CloseList() {
  if (!m_popup) return;
  std::unique_ptr<ComboPopupWnd> popup = std::move(m_popup);
  popup->Detach();
  popup->DestroyWindow();
  if (m_open.exchange(0) != 0) UpdateControl(1, 0);
}

int MComboBox::OnWindowMessage(unsigned msg, unsigned wParam, long lParam) {
  if (!m_open || !m_popup) return 0;
  if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
    // A press on the control itself toggles the list on its release.
    const CPoint at(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (!PtInRect(at) || msg == WM_RBUTTONDOWN) CloseList();
  } else if ((msg == WM_ACTIVATE && wParam == WA_INACTIVE) || msg == WM_MOVE) {
    CloseList();
  } else if (msg == WM_KEYDOWN) {
    // The list never takes the focus: its keys arrive at the owner window.
    if (wParam == VK_ESCAPE || wParam == VK_F4) {
      CloseList();
      return 1;
    }
    return m_popup->HandleKey(wParam) ? 1 : 0;
  } else if (msg == WM_SYSKEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
    CloseList();
    return 1;
  } else if (msg == WM_CHAR) {
    return m_popup->HandleChar(wParam, Native::GetMessageTime()) ? 1 : 0;
  }
  return 0;
}

int MComboBox::OnControlKeyDown(unsigned key, unsigned, unsigned modifiers) {
  if (!m_focused || m_open) return 0;
  const bool alt = modifiers == PaintManager::KeyModifiers(true, false, false);
  if ((key == VK_F4 && modifiers == 0) || (alt && (key == VK_UP || key == VK_DOWN))) {
    OpenList();
    return 1;
  }
  if (modifiers != 0 || (key != VK_UP && key != VK_DOWN)) return 0;
  int index = -1;
  {
    std::lock_guard guard(m_dataLock);
    const int count = static_cast<int>(m_entries.size());
    if (count == 0) return 1;
    index = m_select < 0 ? 0 : std::clamp(m_select + (key == VK_DOWN ? 1 : -1), 0, count - 1);
    if (index == m_select) return 1;
  }
  SetCurSel(index);
  SendMessageW(Notify::Click, static_cast<unsigned>(index), 0);
  return 1;
}

HWND MComboBox::GetPopupWindow() const { return m_popup ? m_popup->GetSafeHwnd() : nullptr; }

MDialog* MComboBox::GetPopup() const { return m_popup.get(); }

void MComboBox::OnPopupClosed() {
  if (m_open.exchange(0) != 0) UpdateControl(1, 0);
}

int MComboBox::OnMessage(unsigned, unsigned code, unsigned wParam, long lParam) {
  if (code != Notify::Click || lParam != Notify::ComboPickFlag) return 0;
  const int index = static_cast<int>(wParam);
  SetCurSel(index);
  SendMessageW(Notify::Click, static_cast<unsigned>(index), 0);
  // The popup is inside its own message handling: close it by message, not at once.
  if (m_popup && m_popup->IsValid()) m_popup->PostMessageW(WM_CLOSE, 0, 0);
  OnPopupClosed();
  return 1;
}

int MComboBox::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }

int MComboBox::OnControlMouseMove(unsigned, CPoint pt) {
  if (m_press.Move(PtInRect(pt) != 0)) UpdateControl(1, 0);
  return 1;
}

int MComboBox::OnControlLButtonDown(unsigned, CPoint pt) {
  m_press.Down(PtInRect(pt) != 0);
  UpdateControl(1, 0);
  return 1;
}

int MComboBox::OnControlLButtonUp(unsigned, CPoint pt) {
  bool clicked = false;
  m_press.Up(PtInRect(pt) != 0, &clicked);
  if (clicked && m_enabled) {
    // A second click on an open list closes it.
    if (m_open) {
      CloseList();
    } else {
      OpenList();
    }
  }
  UpdateControl(1, 0);
  return 1;
}

void MComboBox::OnControlMouseLeave() {
  if (m_press.Leave()) UpdateControl(1, 0);
}

void MComboBox::DrawControl(Painter& painter, CRect) {
  std::lock_guard guard(m_dataLock);
  if (!m_arrowLoaded) {
    m_arrowImage = LoadSkinImage(m_imagePath);
    m_arrowLoaded = true;
  }
  const CRect r = m_rect;
  int state = m_press.GetLook(m_enabled != 0);
  if (m_open && m_enabled) state = 2;
  if (state == PressBehaviour::kPressed && !m_open) state = 1;
  if (!m_enabled) state = 3;
  if (!m_arrowImage.IsNull()) {
    const int sw = m_arrowImage.Width() / kStates;
    const int sh = m_arrowImage.Height();
    // The left part stretches, the arrow keeps its width.
    MRender::DrawImageFrameMID(painter, m_arrowImage, r, state * sw, 0, sw, sh, 4, 4,
                               kArrowWidth, 4);
  } else {
    painter.FillRect(r, state == 3 ? 0xFF3A3A3A : state == 0 ? 0xFF2A2A2A : 0xFF353535);
    painter.DrawRect(r, 0xFF606060, 1);
    const int cx = r.right - kArrowWidth / 2;
    const int cy = r.top + r.Height() / 2;
    const POINT tri[3] = {{cx - 5, cy - 2}, {cx + 5, cy - 2}, {cx, cy + 4}};
    painter.FillPolygon(tri, 3, 0xFFCCCCCC);
  }
  CRect text = GetTextRect();
  text.OffsetRect(r.left, r.top);
  painter.DrawText(m_title, GetFontDesc(), text, m_enabled ? m_textColor : 0xFF808080,
                   GetTextFormat());
}

}  // namespace Tavex
