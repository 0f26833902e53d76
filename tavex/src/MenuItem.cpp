#include "tavex/MenuItem.h"

#include "tavex/Codes.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex {

MenuItem::MenuItem(MObject* parent, unsigned id, CRect rect, const char* title, int visible,
                   int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {}

const char* MenuItem::GetClassNameW() const { return "MenuItem"; }

void MenuItem::SetCheck(int checked) { Assign(m_checked, checked ? 1 : 0); }

int MenuItem::GetCheck() const {
  std::lock_guard guard(m_dataLock);
  return m_checked;
}

void MenuItem::SetSeparator(int on) { Assign(m_separator, on ? 1 : 0); }

void MenuItem::SetIcon(const char* file) {
  {
    std::lock_guard guard(m_dataLock);
    const CString icon = file != nullptr ? file : "";
    if (icon == m_icon) return;
    m_icon = icon;
    m_iconLoaded = false;
  }
  UpdateControl(1, 0);
}

CString MenuItem::GetIcon() const {
  std::lock_guard guard(m_dataLock);
  return m_icon;
}

void MenuItem::SetIconMargin(int margin) { Assign(m_iconMargin, margin); }

int MenuItem::OnCheckMouseResponse(unsigned, CPoint pt) {
  return !m_separator && PtInRect(pt) ? 1 : 0;
}

int MenuItem::OnControlMouseMove(unsigned, CPoint pt) {
  if (m_press.Move(!m_separator && PtInRect(pt))) UpdateControl(1, 0);
  return 1;
}

int MenuItem::OnControlLButtonDown(unsigned, CPoint pt) {
  if (m_separator) return 0;
  m_press.Down(PtInRect(pt) != 0);
  UpdateControl(1, 0);
  SendMessageW(Notify::CheckToggled, static_cast<unsigned>(GetCheck()), 1);
  return 1;
}

int MenuItem::OnControlLButtonUp(unsigned, CPoint pt) {
  if (m_separator) return 0;
  bool clicked = false;
  m_press.Up(PtInRect(pt) != 0, &clicked);
  UpdateControl(1, 0);
  if (clicked) SendMessageW(Notify::Click, static_cast<unsigned>(GetCheck()), 0);
  return 1;
}

void MenuItem::SetHighlight(bool on) {
  if (on ? m_press.Move(true) : m_press.Leave()) UpdateControl(1, 0);
}

bool MenuItem::IsSelectable() const {
  std::lock_guard guard(m_dataLock);
  return !m_separator && m_visible && m_enabled;
}

void MenuItem::Pick() { SendMessageW(Notify::Click, static_cast<unsigned>(GetCheck()), 0); }

void MenuItem::OnControlMouseLeave() {
  if (m_press.Leave()) UpdateControl(1, 0);
}

void MenuItem::DrawControl(Painter& painter, CRect) {
  std::lock_guard guard(m_dataLock);
  const CRect r = m_rect;
  if (r.IsRectEmpty()) return;
  if (m_separator) {
    painter.FillRect(r, 0xFF4A4A4A);
    return;
  }
  const int look = m_press.GetLook(m_enabled != 0);
  if (m_enabled && look != PressBehaviour::kNormal) painter.FillRect(r, m_highlight);
  if (!m_iconLoaded) {
    m_iconImage = LoadSkinImage(m_icon);
    m_iconLoaded = true;
  }
  int left = r.left + m_iconMargin;
  if (!m_iconImage.IsNull()) {
    const int sw = m_iconImage.Width() / 4;
    const int sh = m_iconImage.Height();
    const int y = r.top + (r.Height() - sh) / 2;
    const RECT src{look * sw, 0, (look + 1) * sw, sh};
    painter.DrawImage(m_iconImage, RECT{left, y, left + sw, y + sh}, src);
    left += sw + m_iconMargin;
  } else if (m_checked) {
    // Check mark where an icon would be.
    const float cx = static_cast<float>(left + 8), cy = static_cast<float>(r.top + r.Height() / 2);
    painter.DrawLine(cx - 5, cy, cx - 1, cy + 4, m_textColor, 2.0f);
    painter.DrawLine(cx - 1, cy + 4, cx + 6, cy - 5, m_textColor, 2.0f);
    left += 20;
  }
  const std::uint32_t colour = m_enabled ? m_textColor : 0xFF7A7A7A;
  painter.DrawText(m_title, GetFontDesc(), CRect(left, r.top, r.right - 4, r.bottom), colour,
                   DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

}  // namespace Tavex
