#include "tavex/Buttons.h"

#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex {

namespace {
constexpr int kFrameCorner = 6;
}

MButton::MButton(MObject* parent, unsigned id, CRect rect, const char* title, int visible,
                 int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
  m_hAlign = 1;
  m_vAlign = 4;
}

const char* MButton::GetClassNameW() const { return "MButton"; }

PressBehaviour::Look MButton::GetLook() const { return m_press.GetLook(m_enabled != 0); }

void MButton::DrawFace(Painter& painter, const CRect& r, PressBehaviour::Look look) {
  const Image image = LoadSkinImage(m_imagePath);
  if (!image.IsNull()) {
    SetImageSize(image.Width(), image.Height());
    const RECT s = MRender::StateRect(image, m_imageStates, look);
    if (s.right - s.left == r.Width() && s.bottom - s.top == r.Height()) {
      MRender::DrawState(painter, image, m_imageStates, look, r);
    } else {
      MRender::DrawStateFrame(painter, image, m_imageStates, look, r, kFrameCorner);
    }
    return;
  }
  ARGB fill = 0xFF26262A;
  switch (look) {
    case PressBehaviour::kHover: fill = 0xFF34343A; break;
    case PressBehaviour::kPressed: fill = Manager::GetSelectColor(); break;
    case PressBehaviour::kDisabled: fill = 0xFF1A1A1C; break;
    default: break;
  }
  painter.FillRoundRect(static_cast<float>(r.left), static_cast<float>(r.top),
                        static_cast<float>(r.Width()), static_cast<float>(r.Height()), 4, 4, fill);
}

void MButton::DrawTitle(Painter& painter, const CRect& r, PressBehaviour::Look look) {
  if (m_title.empty()) return;
  const ARGB colour = look == PressBehaviour::kDisabled ? 0xFF6E6E6E : m_textColor;
  painter.DrawText(m_title, GetFontDesc(), r, colour, GetTextFormat());
}

void MButton::DrawControl(Painter& painter, CRect) {
  const PressBehaviour::Look look = GetLook();
  DrawFace(painter, m_rect, look);
  if (m_drawTitle) DrawTitle(painter, m_rect, look);
}

int MButton::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }
int MButton::OnControlMouseMove(unsigned, CPoint pt) { return PressMove(m_press, pt); }
int MButton::OnControlLButtonDown(unsigned, CPoint pt) { return PressDown(m_press, pt); }
int MButton::OnControlLButtonUp(unsigned, CPoint pt) { return PressUp(m_press, pt); }
void MButton::OnControlMouseLeave() { PressLeave(m_press); }

void MButton::SetControlEnabled(int enabled) {
  MControlFont::SetControlEnabled(enabled);
  // A disabled button forgets a press in progress, so enabling it later cannot complete a click.
  if (!enabled) m_press.Leave();
}

}  // namespace Tavex
