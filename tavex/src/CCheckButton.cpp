#include "tavex/CheckButtons.h"

#include <algorithm>

#include "tavex/Codes.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex {

namespace {
constexpr int kDefaultBox = 18;
}

CCheckButton::CCheckButton(MObject* parent, unsigned id, CRect rect, const char* title,
                           int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
  m_tabStop = 1;
}

const char* CCheckButton::GetClassNameW() const { return "CCheckButton"; }

void CCheckButton::SetCheck(int check) {
  if (m_check.exchange(check ? 1 : 0) == (check ? 1 : 0)) return;
  UpdateControl(1, 0);
}

bool CCheckButton::UserSetCheck(int check) {
  const int was = m_check.load();
  SetCheck(check);
  return was != m_check.load();
}

int CCheckButton::GetStateIndex() const {
  const bool hover = m_enabled && m_press.IsHover();
  return (m_check.load() ? 2 : 0) + (hover ? 1 : 0);
}

CRect CCheckButton::GetBoxRect() const {
  std::lock_guard guard(m_dataLock);
  const Image image = LoadSkinImage(m_imagePath);
  const int side = image.IsNull() ? kDefaultBox : image.Width() / std::max(1, m_imageStates);
  const int h = image.IsNull() ? kDefaultBox : image.Height();
  const int top = m_rect.top + (m_rect.Height() - h) / 2;
  return CRect(m_rect.left, top, m_rect.left + side, top + h);
}

void CCheckButton::DrawControl(Painter& painter, CRect) {
  const CRect box = GetBoxRect();
  const int state = GetStateIndex();
  const Image image = LoadSkinImage(m_imagePath);
  const BYTE alpha = m_enabled ? 255 : 110;
  if (!image.IsNull()) {
    painter.DrawImage(image, box, MRender::StateRect(image, m_imageStates, state), alpha);
  } else {
    const ARGB edge = (state & 1) ? Manager::GetSelectColor() : 0xFF6A6A6A;
    painter.FillRoundRect(static_cast<float>(box.left), static_cast<float>(box.top),
                          static_cast<float>(box.Width()), static_cast<float>(box.Height()), 3, 3,
                          m_check.load() ? Manager::GetSelectColor() : 0xFF1E1E22);
    painter.DrawRoundRect(static_cast<float>(box.left) + 0.5f, static_cast<float>(box.top) + 0.5f,
                          static_cast<float>(box.Width()) - 1, static_cast<float>(box.Height()) - 1,
                          3, 3, edge, 1.0f);
    if (m_check.load()) {
      const float x = static_cast<float>(box.left), y = static_cast<float>(box.top);
      const float s = static_cast<float>(box.Width()) / 18.0f;
      painter.DrawLine(x + 4 * s, y + 9 * s, x + 8 * s, y + 13 * s, 0xFFFFFFFF, 2.0f);
      painter.DrawLine(x + 8 * s, y + 13 * s, x + 14 * s, y + 5 * s, 0xFFFFFFFF, 2.0f);
    }
  }
  if (m_title.empty()) return;
  const CRect text(box.right + kBoxGap, m_rect.top, m_rect.right, m_rect.bottom);
  painter.DrawText(m_title, GetFontDesc(), text, m_enabled ? m_textColor : 0xFF6E6E6E,
                   DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
}

int CCheckButton::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }

int CCheckButton::OnControlMouseMove(unsigned, CPoint pt) {
  if (m_press.Move(m_enabled && PtInRect(pt))) UpdateControl(1, 0);
  return 1;
}

int CCheckButton::OnControlLButtonDown(unsigned, CPoint pt) {
  const bool inside = m_enabled && PtInRect(pt);
  if (m_press.Down(inside)) UpdateControl(1, 0);
  return inside ? 1 : 0;
}

int CCheckButton::OnControlLButtonUp(unsigned, CPoint pt) {
  bool clicked = false;
  if (m_press.Up(m_enabled && PtInRect(pt), &clicked)) UpdateControl(1, 0);
  if (!clicked) return 0;
  UserSetCheck(NextCheck());
  SendMessageW(Notify::Click, 0, 0);
  return 1;
}

int CCheckButton::OnControlKeyDown(unsigned key, unsigned, unsigned modifiers) {
  if (!m_enabled) return 0;
  const bool space = key == VK_SPACE && modifiers == 0 && m_focused;
  const bool shortcut = m_shortcut != 0 && key == m_shortcut;
  if (!space && !shortcut) return 0;
  UserSetCheck(NextCheck());
  SendMessageW(Notify::CheckToggled, 0, m_check.load());
  return 1;
}

void CCheckButton::OnControlMouseLeave() {
  if (m_press.Leave()) UpdateControl(1, 0);
}

void CCheckButton::SetControlEnabled(int enabled) {
  MControlFont::SetControlEnabled(enabled);
  if (!enabled) m_press.Leave();
}

}  // namespace Tavex
