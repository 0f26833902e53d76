#include "tavex/MPanel.h"

#include "tavex/Codes.h"
#include "tavex/ControlFactory.h"
#include "tavex/PaintManager.h"
#include "tavex/Painter.h"

namespace Tavex {

MPanel::MPanel(MObject* parent, unsigned id, CRect rect, int visible)
    : MControlFont(parent, id, rect, nullptr, visible, 1),
      m_vScroll(new CScrollVertical(this, 1, CRect(), 0)),
      m_hScroll(new CScrollHorizontal(this, 2, CRect(), 0)) {
  m_childList.Add(m_vScroll);
  m_childList.Add(m_hScroll);
  m_vScroll->SetStep(m_scrollSteps);
  m_hScroll->SetStep(m_scrollSteps);
  LayoutScrollBars();
}

const char* MPanel::GetClassNameW() const { return "MPanel"; }

MControl* MPanel::CreateArea(const char* name, unsigned id, CRect rect, const char* title, int a,
                             int b) {
  return CreateControl(0, this, name, id, rect, title, a, b);
}

MControl* MPanel::CreateControl(const char* name, unsigned id, CRect rect, const char* title, int a,
                                int b) {
  return CreateControl(1, this, name, id, rect, title, a, b);
}

MControl* MPanel::CreateControl(unsigned kind, MObject* parent, const char* name, unsigned id,
                                CRect rect, const char* title, int a, int b) {
  MControl* control =
      ControlFactory::Create(ControlFactory::Table::Panel, name, parent, id, rect, title, a, b);
  if (control == nullptr) return nullptr;
  return AddControl(control, kind);
}

MControl* MPanel::AddControl(MControl* control, unsigned kind) {
  if (control == nullptr) return nullptr;
  if (m_manager != nullptr) {
    control->SetManager(m_manager);
    control->InitControl(m_manager);
  }
  if (kind == 0) {
    m_drawList.Add(control);
  } else {
    m_childList.Add(control);
  }
  return control;
}

int MPanel::OnControlKeyUp(unsigned, unsigned, unsigned) { return 0; }

void MPanel::InitControl(PaintManager* manager) {
  MControlFont::InitControl(manager);
  m_childList.ForEach([&](MControl* c) {
    if (c->GetManager() != manager) {
      c->SetManager(manager);
      c->InitControl(manager);
    }
  });
  m_drawList.ForEach([&](MControl* c) {
    if (c->GetManager() != manager) {
      c->SetManager(manager);
      c->InitControl(manager);
    }
  });
  m_initialised = 1;
  LayoutScrollBars();
}

void MPanel::SetVirtualHeight(int height) {
  {
    std::lock_guard guard(m_dataLock);
    if (height == m_virtualHeight) return;
    m_virtualHeight = height;
  }
  LayoutScrollBars();
  UpdateControl(1, 0);
}

void MPanel::SetVirtualWidth(int width) {
  {
    std::lock_guard guard(m_dataLock);
    if (width == m_virtualWidth) return;
    m_virtualWidth = width;
  }
  LayoutScrollBars();
  UpdateControl(1, 0);
}

void MPanel::SetEnableScroll(int on) {
  {
    std::lock_guard guard(m_dataLock);
    if ((on ? 1 : 0) == m_enableScroll) return;
    m_enableScroll = on ? 1 : 0;
  }
  LayoutScrollBars();
  UpdateControl(1, 0);
}

void MPanel::SetScrollSteps(int step) {
  m_scrollSteps = step > 0 ? step : 1;
  m_vScroll->SetStep(m_scrollSteps);
  m_hScroll->SetStep(m_scrollSteps);
}

void MPanel::SetControlRect(CRect rect) {
  MControlFont::SetControlRect(rect);
  LayoutScrollBars();
}

void MPanel::LayoutScrollBars() {
  const CRect r = m_rect;
  const bool vert = m_enableScroll && m_virtualHeight > r.Height();
  bool horz = m_enableScroll && m_virtualWidth > r.Width() - (vert ? kScrollBarSize : 0);
  const int viewH = r.Height() - (horz ? kScrollBarSize : 0);
  const int viewW = r.Width() - (vert ? kScrollBarSize : 0);
  // The bars' rectangles are in the panel's parent space: they do not scroll.
  m_vScroll->SetControlRect(CRect(r.right - kScrollBarSize, r.top, r.right, r.top + viewH));
  m_hScroll->SetControlRect(CRect(r.left, r.bottom - kScrollBarSize, r.left + viewW, r.bottom));
  m_vScroll->SetScrollInfo(vert ? m_virtualHeight : 0, viewH);
  m_hScroll->SetScrollInfo(horz ? m_virtualWidth : 0, viewW);
  m_vScroll->SetControlVisible(vert ? 1 : 0);
  m_hScroll->SetControlVisible(horz ? 1 : 0);
  if (!vert) m_vScroll->SetScrollPos(0);
  if (!horz) m_hScroll->SetScrollPos(0);
}

CPoint MPanel::GetScrollOffset() const {
  return {m_hScroll->IsVisible() ? m_hScroll->GetScrollPos() : 0,
          m_vScroll->IsVisible() ? m_vScroll->GetScrollPos() : 0};
}

CPoint MPanel::ScrollOffsetOfChain(const MObject* from) {
  CPoint shift;
  for (const auto* panel = dynamic_cast<const MPanel*>(from); panel != nullptr;
       panel = dynamic_cast<const MPanel*>(panel->GetParantObject())) {
    const CPoint off = panel->GetScrollOffset();
    shift.x += off.x;
    shift.y += off.y;
  }
  return shift;
}

void MPanel::DrawControl(Painter&, CRect) {}

int MPanel::OnWindowMessage(unsigned msg, unsigned wParam, long lParam) {
  if (!m_visible) return 0;
  return m_childList.Dispatch([&](MControl* c) {
           return c->OnWindowMessage(msg, wParam, lParam) != 0;
         }) != nullptr
             ? 1
             : 0;
}

void MPanel::DrawSubControls(Painter& painter, CRect paint) {
  const CPoint off = GetScrollOffset();
  CRect clip;
  if (!clip.IntersectRect(paint, GetRect())) return;
  CRect virtualPaint = clip;
  virtualPaint.OffsetRect(off.x, off.y);
  painter.Save();
  painter.PushClip(clip);
  painter.Translate(-off.x, -off.y);
  m_childList.ForEach([&](MControl* c) {
    if (c == m_vScroll || c == m_hScroll) return;
    if (c->IsVisible() && c->GetRect().Intersects(virtualPaint)) c->Draw(painter, virtualPaint);
  });
  painter.PopClip();
  painter.Restore();
  for (MScroll* bar : {static_cast<MScroll*>(m_vScroll), static_cast<MScroll*>(m_hScroll)}) {
    if (bar->IsVisible() && bar->GetRect().Intersects(paint)) bar->Draw(painter, paint);
  }
}

CRect MPanel::OpaqueArea() {
  if (!m_visible) return CRect();
  const CPoint off = GetScrollOffset();
  const CRect own = GetRect();
  CRect best;
  m_childList.ForEach([&](MControl* c) {
    if (c == m_vScroll || c == m_hScroll || !c->IsVisible()) return;
    CRect area = c->OpaqueArea();
    if (area.IsRectEmpty() || !area.IntersectRect(area, c->GetRect())) return;
    area.OffsetRect(-off.x, -off.y);
    if (area.IntersectRect(area, own) && RectArea(area) > RectArea(best)) best = area;
  });
  return best;
}

void MPanel::OnMousePointChange(CPoint& pt) {
  const CPoint off = GetScrollOffset();
  pt.x += off.x;
  pt.y += off.y;
}

int MPanel::OnCheckMouseResponse(unsigned keys, CPoint pt) {
  if (!GetRect().PtInRect(pt)) return 0;
  if (m_vScroll->IsVisible() || m_hScroll->IsVisible()) return 1;
  CPoint local = pt;
  OnMousePointChange(local);
  MControl* wants = m_childList.FindIf([&](MControl* c) {
    return c->IsVisible() && c->GetRresponse() && c->PtInRect(local) &&
           c->OnCheckMouseResponse(keys, local);
  });
  return wants != nullptr ? 1 : 0;
}

int MPanel::OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  return OnMessage(id, code, wParam, lParam);
}

int MPanel::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  if ((id == 1 || id == 2) && code == Notify::Scrolled) UpdateControl(1, 0);
  return m_parent != nullptr ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
}

int MPanel::OnControlUpdate(CRect rect, int flag, MControl* control) {
  if (!m_visible) return 0;
  if (control != m_vScroll && control != m_hScroll) {
    const CPoint off = GetScrollOffset();
    rect.OffsetRect(-off.x, -off.y);
  }
  CRect clipped;
  if (!clipped.IntersectRect(rect, GetRect())) return 0;
  if (ImageStale(flag)) m_imageValid = 0;
  return m_parent != nullptr ? m_parent->OnControlUpdate(clipped, flag, this) : 0;
}

int MPanel::OnControlScroll(int bar, unsigned direction, CPoint pt) {
  if (m_vScroll->IsVisible()) return m_vScroll->OnControlScroll(bar, direction, pt);
  if (m_hScroll->IsVisible()) return m_hScroll->OnControlScroll(bar, direction, pt);
  return 0;
}

}  // namespace Tavex
