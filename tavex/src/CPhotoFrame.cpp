#include "tavex/Pictures.h"

#include "tavex/Manager.h"

namespace Tavex {

CPhotoFrame::CPhotoFrame(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MPicture(parent, id, rect, visible, enabled) {
  m_response = 1;
}

const char* CPhotoFrame::GetClassNameW() const { return "CPhotoFrame"; }

void CPhotoFrame::DrawControl(Painter& painter, CRect) {
  const CRect r = m_rect;
  painter.FillRect(r, 0xFF141416);
  CRect inner = r;
  inner.DeflateRect(3, 3);
  DrawPicture(painter, m_picture, inner, m_enabled ? 255 : 110);
  const PressBehaviour::Look look = m_press.GetLook(m_enabled != 0);
  const ARGB frame = look == PressBehaviour::kHover || look == PressBehaviour::kPressed
                         ? Manager::GetSelectColor()
                         : m_frameColor;
  painter.DrawRect(r, frame, look == PressBehaviour::kPressed ? 3 : 2);
}

int CPhotoFrame::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }
int CPhotoFrame::OnControlMouseMove(unsigned, CPoint pt) { return PressMove(m_press, pt); }
int CPhotoFrame::OnControlLButtonDown(unsigned, CPoint pt) { return PressDown(m_press, pt); }
int CPhotoFrame::OnControlLButtonUp(unsigned, CPoint pt) { return PressUp(m_press, pt); }
void CPhotoFrame::OnControlMouseLeave() { PressLeave(m_press); }

}  // namespace Tavex
