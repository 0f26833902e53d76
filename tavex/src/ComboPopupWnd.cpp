#include "ComboPopupWnd.h"

#include "tavex/Codes.h"
#include "tavex/MComboBox.h"
#include "tavex/Native.h"

namespace Tavex {

namespace {
constexpr DWORD kStyle = 0x96000000;
// Tool window kept above the others; the library places it itself.
constexpr DWORD kExStyle = 0x80 | WS_EX_TOPMOST;
constexpr int kInset = MComboBox::kPopupMargin / 2;
}  // namespace

bool ComboPopupWnd::Open(HWND ownerWindow, CRect screen, const std::vector<ComboEntry>& entries,
                         const FontDesc& font, std::uint32_t textColour,
                         const ComboPopupLook& look, int selected) {
  m_entries = entries;
  m_selected = selected;
  m_font = font;
  m_textColour = textColour;
  m_look = look;
  SetBackColor(0x262626, 0x606060);
  // Without its picture the popup keeps its plain colours.
  const bool picture = !look.backImage.empty()
                           ? LoadBKImage(look.backImage)
                           : look.backResource != 0 && LoadBKImage(look.backResource, look.backType);
  if (picture) {
    const CRect& b = look.borders;
    if (b.left == 0 && b.top == 0 && b.right == 0 && b.bottom == 0) {
      SetBackMode(BackModeNormal, 0);
    } else {
      m_pm.SetBackModeMID(b.left, b.top, b.right, b.bottom);
    }
  }
  EnableWndDrag(0);
  DWORD exStyle = kExStyle;
  if (picture && m_pm.GetBKImage().HasTransparency()) {
    m_pm.SetLayeredWindow(1);
    exStyle |= WS_EX_LAYERED;
  }
  if (Create(ownerWindow, "ComboWnd", kStyle, exStyle, screen) == nullptr) return false;
  ShowWindow(SW_SHOWNOACTIVATE);
  return true;
}

void ComboPopupWnd::InitUI(CRect client) {
  // The window's set-up has put the library's bar pictures in place; the combo's own win.
  if (m_look.scrollV != 0 || m_look.scrollH != 0) {
    SetScrollResID(m_look.scrollV != 0 ? m_look.scrollV : m_pm.GetScrollVID(),
                   m_look.scrollH != 0 ? m_look.scrollH : m_pm.GetScrollHID());
  }
  auto* list = new CComboBoxList(this, 1, CRect(0, kInset, client.right, client.bottom - kInset));
  list->SetFont(m_font.family.c_str(), m_font.sizePx);
  list->SetTextColor(m_textColour);
  list->SetEntries(m_entries);
  m_list = static_cast<CComboBoxList*>(AddControl(list));
  if (m_list != nullptr) {
    m_list->SetSelected(m_selected);
    m_list->ScrollToRow(m_selected);
  }
}

bool ComboPopupWnd::HandleKey(unsigned key) {
  if (m_list == nullptr) return false;
  switch (key) {
    case VK_UP: m_list->MoveHighlight(-1); return true;
    case VK_DOWN: m_list->MoveHighlight(1); return true;
    case VK_PRIOR: m_list->MoveHighlight(-m_list->GetPageRows()); return true;
    case VK_NEXT: m_list->MoveHighlight(m_list->GetPageRows()); return true;
    case VK_HOME: m_list->HighlightRow(0); return true;
    case VK_END: m_list->HighlightRow(m_list->GetRowCount() - 1); return true;
    case VK_RETURN:
      // Nothing highlighted: Enter ends the list like Escape.
      if (!m_list->PickHighlighted() && IsValid()) PostMessageW(WM_CLOSE, 0, 0);
      return true;
    case VK_ESCAPE:
      if (IsValid()) PostMessageW(WM_CLOSE, 0, 0);
      return true;
    default: return false;
  }
}

bool ComboPopupWnd::HandleChar(unsigned codePoint, std::uint32_t timeMs) {
  if (m_list == nullptr || codePoint < 0x20 || codePoint == 0x7F) return false;
  m_list->TypeToFind(static_cast<char32_t>(codePoint), timeMs);
  return true;
}

int ComboPopupWnd::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  if (m_owner != nullptr && code == Notify::Click && lParam == Notify::ComboPickFlag) {
    m_owner->OnMessage(id, code, wParam, lParam);
  }
  return 1;
}

LRESULT ComboPopupWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // Losing activation (a click elsewhere) ends the list.
  if (msg == WM_ACTIVATE && wParam == WA_INACTIVE && IsValid()) PostMessageW(WM_CLOSE, 0, 0);
  if (msg == WM_KEYDOWN && HandleKey(static_cast<unsigned>(wParam))) return 0;
  if (msg == WM_CHAR && HandleChar(static_cast<unsigned>(wParam), Native::GetMessageTime())) {
    return 0;
  }
  return MDialog::OnWindowMessage(msg, wParam, lParam);
}

void ComboPopupWnd::OnDestroyMessage(HWND hwnd) {
  m_list = nullptr;
  MDialog::OnDestroyMessage(hwnd);
  if (m_owner != nullptr) m_owner->OnPopupClosed();
}

}  // namespace Tavex
