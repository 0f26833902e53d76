#include "tavex/Buttons.h"

#include "tavex/Manager.h"

namespace Tavex {

CTextButton::CTextButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible,
                         int enabled)
    : MButton(parent, id, rect, title, visible, enabled), m_hoverColor(Manager::GetSelectColor()) {}

const char* CTextButton::GetClassNameW() const { return "CTextButton"; }

void CTextButton::DrawControl(Painter& painter, CRect) {
  const PressBehaviour::Look look = GetLook();
  ARGB colour = m_textColor;
  if (look == PressBehaviour::kHover || look == PressBehaviour::kPressed) colour = m_hoverColor;
  if (look == PressBehaviour::kDisabled) colour = 0xFF6E6E6E;
  FontDesc font = GetFontDesc();
  font.underline = look == PressBehaviour::kHover;
  painter.DrawText(m_title, font, m_rect, colour, GetTextFormat());
}

}  // namespace Tavex
