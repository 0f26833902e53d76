#include "tavex/MenuWnd.h"

#include <algorithm>
#include <cctype>

#include "tavex/Codes.h"

namespace Tavex {

namespace {
constexpr int kSeparatorStep = 4;
constexpr DWORD kStyle = WS_POPUP | WS_VISIBLE;
// Placed by the library itself, above the other windows, without a taskbar entry.
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
}  // namespace

MenuWnd::MenuWnd(MObject* parent) : m_parentObject(parent) {
  SetBackColor(0x262626, 0x505050);
  EnableWndDrag(0);
}

MenuWnd::~MenuWnd() {
  m_inDestructor = true;
  if (IsValid()) DestroyWindow();
}

HWND MenuWnd::Create(HWND owner, CPoint at, unsigned message) {
  return CreateWindowAt(owner, at, message, m_width);
}

HWND MenuWnd::Create(HWND owner, CPoint at, unsigned message, const CString& background,
                     int corner, int width, enumBackMode mode) {
  if (!background.empty() && LoadBKImage(background)) SetBackMode(mode, corner);
  return CreateWindowAt(owner, at, message, width);
}

HWND MenuWnd::Create(HWND owner, CPoint at, unsigned message, unsigned resourceId, int corner,
                     int width, enumBackMode mode) {
  if (resourceId != 0 && LoadBKImage(resourceId, "PNG")) SetBackMode(mode, corner);
  return CreateWindowAt(owner, at, message, width);
}

HWND MenuWnd::CreateWindowAt(HWND owner, CPoint at, unsigned message, int width) {
  m_owner = owner;
  m_message = message;
  if (width > 0) m_width = width;
  SetMenuPoint();
  // A back picture with see-through corners needs layered output to show them (per-pixel
  // alpha under a compositor, else a shape cut from the alpha); the window's visual is chosen
  // when it is created.
  if (m_pm.GetBKImage().HasTransparency()) m_pm.SetLayeredWindow(1);
  const DWORD exStyle = m_pm.IsLayered() ? (kExStyle | WS_EX_LAYERED) : kExStyle;
  const HWND hwnd = MDialog::Create(owner, "Menu Window", kStyle, exStyle,
                                    CRect(at.x, at.y, at.x + m_width, at.y + m_height));
  if (hwnd == nullptr) return nullptr;
  ShowWindow(SW_SHOW);
  SetFocus();
  return hwnd;
}

FontDesc MenuWnd::MenuFont() const {
  FontDesc font;
  font.family = m_fontFamily;
  font.sizePx = m_fontSize;
  return font;
}

MenuItem* MenuWnd::AddEntry(const CString& text, unsigned id, const CString& icon, int checked,
                            int enabled, bool separator) {
  auto* item = new MenuItem(this, id, CRect(), text.c_str(), 1, enabled);
  item->SetFont(m_fontFamily.c_str(), m_fontSize);
  item->SetTextColor(m_textColour);
  item->SetHighlightColor(m_highlight);
  item->SetIconMargin(m_iconMargin);
  item->SetIcon(icon.c_str());
  item->SetCheck(checked);
  item->SetSeparator(separator ? 1 : 0);
  AddControl(item);
  m_items.push_back(item);
  SetMenuPoint();
  return item;
}

MenuItem* MenuWnd::AddMenu(const CString& text, unsigned id, const CString& icon, int checked,
                           int enabled) {
  return AddEntry(text, id, icon, checked, enabled, false);
}

MenuItem* MenuWnd::AddMenu(const CString& text, unsigned id, int, int checked, int enabled) {
  return AddEntry(text, id, "", checked, enabled, false);
}

MenuItem* MenuWnd::AddSeparator(unsigned id, const CString& title) {
  return AddEntry(title, id, "", 0, 1, true);
}

MenuItem* MenuWnd::FindItem(const CString& title) const {
  for (MenuItem* item : m_items) {
    if (item->GetTitle() == title) return item;
  }
  return nullptr;
}

void MenuWnd::SetItemTitle(const CString& title, const CString& newTitle) {
  if (MenuItem* item = FindItem(title)) {
    item->SetTitle(newTitle.c_str());
    SetMenuPoint();
  }
}

void MenuWnd::SetItemVisible(const CString& title, int visible) {
  if (MenuItem* item = FindItem(title)) {
    item->SetVisible(visible);
    SetMenuPoint();
  }
}

void MenuWnd::SetItemEnable(const CString& title, int enabled) {
  if (MenuItem* item = FindItem(title)) item->SetEnabled(enabled);
}

void MenuWnd::SetItemCheck(const CString& title, int checked) {
  if (MenuItem* item = FindItem(title)) item->SetCheck(checked);
}

void MenuWnd::SetMenuWidth(int width) {
  if (width <= 0 || width == m_width) return;
  m_width = width;
  SetMenuPoint();
}

void MenuWnd::SetItemHeight(int height) {
  if (height <= 0 || height == m_itemHeight) return;
  m_itemHeight = height;
  SetMenuPoint();
}

void MenuWnd::SetMargins(int top, int bottom) {
  m_topMargin = top == 0 ? 2 : top;
  m_bottomMargin = bottom == 0 ? 2 : bottom;
  SetMenuPoint();
}

void MenuWnd::SetMenuFont(const CString& family, int size) {
  m_fontFamily = family;
  m_fontSize = size;
  for (MenuItem* item : m_items) item->SetFont(family.c_str(), size);
  SetMenuPoint();
}

void MenuWnd::SetTextColor(std::uint32_t argb) {
  m_textColour = argb;
  for (MenuItem* item : m_items) item->SetTextColor(argb);
}

void MenuWnd::SetHighlightColor(std::uint32_t argb) {
  m_highlight = argb;
  for (MenuItem* item : m_items) item->SetHighlightColor(argb);
}

void MenuWnd::CloseWindow() {
  // One request is enough; activation loss during the close must not queue another.
  if (!IsValid() || m_closing) return;
  m_closing = true;
  PostMessageW(WM_USERCLOSEWINDOW, 2, 0);
}

int MenuWnd::SetMenuPoint() {
  // A long entry widens the menu so that its text fits beside the icon margin.
  const FontDesc font = MenuFont();
  for (MenuItem* item : m_items) {
    if (item->IsSeparator() || !item->IsVisible()) continue;
    const int need = MeasureText(item->GetTitle(), font).cx + m_iconMargin + 4;
    if (need > m_width) m_width = need;
  }
  int y = m_topMargin;
  for (MenuItem* item : m_items) {
    if (!item->IsVisible()) {
      item->SetRect(CRect());
      continue;
    }
    if (item->IsSeparator()) {
      const bool titled = !item->GetTitle().empty();
      const int left = titled ? m_iconMargin + 1 : m_iconMargin + 4;
      const int right = titled ? m_width - 1 : m_width - 9;
      item->SetRect(CRect(left, y + 1, right, y + 2));
      y += kSeparatorStep;
      continue;
    }
    item->SetRect(CRect(2, y, m_width - 2, y + m_itemHeight));
    y += m_itemHeight;
  }
  m_height = y + m_bottomMargin;
  if (IsValid()) {
    const CRect now = GetWindowRect();
    MoveWindow(now.left, now.top, m_width, m_height, 1);
  }
  return m_height;
}

void MenuWnd::InitUI(CRect) { SetMenuPoint(); }

bool MenuWnd::HandleKey(unsigned key) {
  const int count = static_cast<int>(m_items.size());
  // Keys queued behind the one that closed the menu (key repeat) belong to nobody.
  if (m_closing) return true;
  switch (key) {
    case VK_DOWN: Highlight(NextSelectable(m_current, 1)); return true;
    case VK_UP: Highlight(NextSelectable(m_current < 0 ? count : m_current, -1)); return true;
    case VK_HOME: Highlight(NextSelectable(-1, 1)); return true;
    case VK_END: Highlight(NextSelectable(count, -1)); return true;
    case VK_RETURN:
    case VK_SPACE:
      // The pointer may rest on a disabled entry: that is no choice, the menu just ends.
      if (m_current >= 0 && m_items[m_current]->IsSelectable()) {
        m_items[m_current]->Pick();
      } else {
        CloseWindow();
      }
      return true;
    case VK_ESCAPE: CloseWindow(); return true;
    default: {
      // Ctrl with a letter is a shortcut, not a search.
      if ((Native::GetKeyState(VK_CONTROL) & 0x8000) != 0) return false;
      const int found = NextStartingWith(key);
      if (found >= 0) Highlight(found);
      return found >= 0;
    }
  }
}

void MenuWnd::Highlight(int index) {
  // Clear every other entry, not only the last one the keys chose: the pointer may have lit one.
  for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
    if (i != index) m_items[i]->SetHighlight(false);
  }
  if (index >= 0) m_items[index]->SetHighlight(true);
  m_current = index;
}

int MenuWnd::NextSelectable(int from, int step) const {
  const int count = static_cast<int>(m_items.size());
  for (int i = 1; i <= count; ++i) {
    const int at = ((from + step * i) % count + count) % count;
    if (m_items[at]->IsSelectable()) return at;
  }
  return -1;
}

int MenuWnd::NextStartingWith(unsigned key) const {
  // Virtual keys of letters and digits are their upper-case ASCII codes.
  const bool letter = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
  const int count = static_cast<int>(m_items.size());
  if (!letter || count == 0) return -1;
  for (int i = 1; i <= count; ++i) {
    const int at = (m_current + i + count) % count;
    const MenuItem* item = m_items[at];
    if (!item->IsSelectable()) continue;
    const CString title = item->GetTitle();
    if (title.empty()) continue;
    const unsigned char first = static_cast<unsigned char>(title[0]);
    if (first < 0x80 && static_cast<unsigned>(std::toupper(first)) == key) return at;
  }
  return -1;
}

void MenuWnd::FollowPointer() {
  int entered = -1;
  for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
    if (i != m_current && m_items[i]->IsHighlighted()) entered = i;
  }
  if (entered >= 0) {
    Highlight(entered);
  } else if (m_current >= 0 && !m_items[m_current]->IsHighlighted()) {
    m_current = -1;
  }
}

int MenuWnd::OnMessage(unsigned id, unsigned code, unsigned wParam, long) {
  // Only a click is a choice; the press before it is not posted, so that one click runs the
  // owner's command once, and a menu already closing takes no further choice.
  if (code != Notify::Click || m_closing) return 1;
  if (m_owner != nullptr) Native::PostMessage(m_owner, m_message, wParam, id);
  CloseWindow();
  return 1;
}

LRESULT MenuWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  ++m_depth;
  if (msg == WM_ACTIVATE && wParam == WA_INACTIVE) CloseWindow();
  LRESULT r = 0;
  if (msg != WM_KEYDOWN || !HandleKey(static_cast<unsigned>(wParam))) {
    r = MDialog::OnWindowMessage(msg, wParam, lParam);
  }
  if ((msg == WM_MOUSEMOVE || msg == WM_MOUSELEAVE) && !m_windowGone) FollowPointer();
  // The window went away inside this message: the object may go now that nothing of it runs.
  if (--m_depth == 0 && m_windowGone && !m_inDestructor) delete this;
  return r;
}

void MenuWnd::OnDestroyMessage(HWND hwnd) {
  MDialog::OnDestroyMessage(hwnd);
  m_windowGone = true;
  if (m_depth == 0 && !m_inDestructor) delete this;
}

}  // namespace Tavex
