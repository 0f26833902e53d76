#include "DemoButton.h"

#include "tavex/Codes.h"
#include "tavex/Manager.h"
#include "tavex/Painter.h"

namespace Gallery {

using Tavex::CPoint;
using Tavex::CRect;

DemoButton::DemoButton(Tavex::MObject* parent, unsigned id, CRect rect, const char* title, Log log)
    : MControlFont(parent, id, rect, title, 1, 1), m_log(std::move(log)) {
  SetTabStop(1);
  SetAlignment(1, 4);
  SetFontWidth(14);
}

const char* DemoButton::GetClassNameW() const { return "DemoButton"; }

void DemoButton::DrawControl(Tavex::Painter& painter, CRect) {
  const CRect r = m_rect;
  ARGB fill = 0xFF2B2B2B;
  switch (m_press.GetLook(m_enabled != 0)) {
    case Tavex::PressBehaviour::kHover: fill = 0xFF3A3A3A; break;
    case Tavex::PressBehaviour::kPressed: fill = Tavex::Manager::GetSelectColor(); break;
    case Tavex::PressBehaviour::kDisabled: fill = 0xFF1C1C1C; break;
    default: break;
  }
  painter.FillRoundRect(static_cast<float>(r.left), static_cast<float>(r.top),
                        static_cast<float>(r.Width()), static_cast<float>(r.Height()), 4, 4, fill);
  if (m_focused) {
    painter.DrawRoundRect(static_cast<float>(r.left) + 0.5f, static_cast<float>(r.top) + 0.5f,
                          static_cast<float>(r.Width()) - 1, static_cast<float>(r.Height()) - 1,
                          4, 4, Tavex::Manager::GetSelectColor(), 1.0f);
  }
  painter.DrawText(m_title, GetFontDesc(), r, m_enabled ? m_textColor : 0xFF707070,
                   GetTextFormat());
}

int DemoButton::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }
int DemoButton::OnControlMouseMove(unsigned, CPoint pt) { return PressMove(m_press, pt); }
int DemoButton::OnControlLButtonDown(unsigned, CPoint pt) { return PressDown(m_press, pt); }
int DemoButton::OnControlLButtonUp(unsigned, CPoint pt) { return PressUp(m_press, pt); }
void DemoButton::OnControlMouseLeave() { PressLeave(m_press); }

int DemoButton::OnControlKeyDown(unsigned key, unsigned, unsigned modifiers) {
  if (!m_focused) return 0;
  m_log("key id=" + std::to_string(m_id) + " vk=" + std::to_string(key) +
        " mods=" + std::to_string(modifiers));
  if (key == VK_SPACE && modifiers == 0) {
    SendMessageW(Tavex::Notify::Click, 0, 0);
    return 1;
  }
  return 0;
}

void DemoButton::SetControlFocus(int focus) {
  const int was = m_focused;
  MControlFont::SetControlFocus(focus);
  if (focus && !was) m_log("focus id=" + std::to_string(m_id));
}

}  // namespace Gallery
