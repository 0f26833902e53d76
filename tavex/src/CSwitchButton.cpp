#include "tavex/CheckButtons.h"

#include "tavex/Codes.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex {

CSwitchButton::CSwitchButton(MObject* parent, unsigned id, CRect rect, const char* title,
                             int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {}

const char* CSwitchButton::GetClassNameW() const { return "CSwitchButton"; }

void CSwitchButton::SetImage(const char* on, const char* off, int) {
  {
    std::lock_guard guard(m_dataLock);
    const CString a = on != nullptr ? on : "", b = off != nullptr ? off : "";
    if (a == m_onImage && b == m_offImage) return;
    m_onImage = a;
    m_offImage = b;
  }
  UpdateControl(1, 0);
}

void CSwitchButton::SetCheck(int check) {
  if (m_check.exchange(check ? 1 : 0) == (check ? 1 : 0)) return;
  UpdateControl(1, 0);
}

void CSwitchButton::DrawControl(Painter& painter, CRect) {
  const bool on = m_check.load() != 0;
  const BYTE alpha = m_enabled ? 255 : 110;
  const Image image = LoadSkinImage(on ? m_onImage : m_offImage);
  if (!image.IsNull()) {
    const int x = m_rect.left, y = m_rect.top + (m_rect.Height() - image.Height()) / 2;
    painter.DrawImage(image, x, y, alpha);
    return;
  }
  // A pill with a round knob, accent filled when on.
  const float h = static_cast<float>(std::min(m_rect.Height(), 22));
  const float w = std::min(static_cast<float>(m_rect.Width()), h * 2);
  const float x = static_cast<float>(m_rect.left);
  const float y = static_cast<float>(m_rect.top) + (static_cast<float>(m_rect.Height()) - h) / 2;
  ARGB track = on ? Manager::GetSelectColor() : 0xFF3A3A40;
  if (!m_enabled) track = (track & 0x00FFFFFF) | 0x60000000;
  painter.FillRoundRect(x, y, w, h, h / 2, h / 2, track);
  const float knob = h - 4;
  const float kx = on ? x + w - knob - 2 : x + 2;
  painter.FillEllipse(kx, y + 2, knob, knob, m_press.IsHover() ? 0xFFFFFFFF : 0xFFE6E6E6);
  if (m_title.empty()) return;
  const CRect text(static_cast<int>(x + w) + 8, m_rect.top, m_rect.right, m_rect.bottom);
  painter.DrawText(m_title, GetFontDesc(), text, m_enabled ? m_textColor : 0xFF6E6E6E,
                   DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
}

int CSwitchButton::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }

int CSwitchButton::OnControlMouseMove(unsigned, CPoint pt) {
  if (m_press.Move(m_enabled && PtInRect(pt))) UpdateControl(1, 0);
  return 1;
}

int CSwitchButton::OnControlLButtonDown(unsigned, CPoint pt) {
  const bool inside = m_enabled && PtInRect(pt);
  if (m_press.Down(inside)) UpdateControl(1, 0);
  return inside ? 1 : 0;
}

int CSwitchButton::OnControlLButtonUp(unsigned, CPoint pt) {
  bool clicked = false;
  if (m_press.Up(m_enabled && PtInRect(pt), &clicked)) UpdateControl(1, 0);
  if (!clicked) return 0;
  SetCheck(m_check.load() ? 0 : 1);
  SendMessageW(Notify::Click, 0, m_check.load());
  return 1;
}

void CSwitchButton::OnControlMouseLeave() {
  if (m_press.Leave()) UpdateControl(1, 0);
}

}  // namespace Tavex
