#include "tavex/MControl.h"

#include "tavex/Codes.h"
#include "tavex/PaintManager.h"

namespace Tavex {

MControl::MControl(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : m_parent(parent), m_id(id), m_rect(rect), m_visible(visible ? 1 : 0),
      m_enabled(enabled ? 1 : 0) {}

MControl::~MControl() = default;

const char* MControl::GetClassNameW() const { return "FSControl"; }

int MControl::OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
  return OnMessage(id, code, wParam, lParam);
}

int MControl::OnControlUpdate(CRect rect, int flag, MControl*) {
  if (!m_visible) return 0;
  if (ImageStale(flag)) m_imageValid = 0;
  return m_parent != nullptr ? m_parent->OnControlUpdate(rect, flag, this) : 0;
}

void MControl::PrepareDelete() {
  m_childList.ForEach([](MControl* c) { c->PrepareDelete(); });
  m_drawList.ForEach([](MControl* c) { c->PrepareDelete(); });
  if (m_manager != nullptr) m_manager->ForgetControl(this);
}

void MControl::InitControl(PaintManager* manager) { m_manager = manager; }

int MControl::PtInRect(CPoint pt) { return m_rect.PtInRect(pt) ? 1 : 0; }

void MControl::DrawSubControls(Painter& painter, CRect paint) {
  m_childList.ForEach([&](MControl* c) {
    if (c->IsVisible() && c->GetRect().Intersects(paint)) c->Draw(painter, paint);
  });
}

int MControl::IsDraw(CPoint pt) { return m_visible && m_rect.PtInRect(pt) ? 1 : 0; }

void MControl::SetUpdate(int update, unsigned flags) {
  m_imageValid = update;
  const CRect own = GetRect();
  // Tried, not waited for: repaint requests come also from inside walks of inner lists, and
  // lists are taken outer first. Children of a list another thread holds keep their mark.
  const std::unique_lock lock(m_childList.Lock(), std::try_to_lock);
  if (!lock.owns_lock()) return;
  m_childList.ForEach([&](MControl* c) {
    if (c->GetRect().Intersects(own)) c->SetUpdate(update, flags);
  });
}

void MControl::SetControlFocus(int focus) {
  const int was = m_focused;
  m_focused = focus ? 1 : 0;
  if (!focus) {
    m_childList.ForEach([](MControl* c) {
      if (c->IsFocused()) c->SetControlFocus(0);
    });
  }
  if (was != m_focused) UpdateControl(1, 0);
}

void MControl::InitUI(CRect) {}

void MControl::OnMousePointChange(CPoint&) {}

int MControl::OnCheckMouseResponse(unsigned, CPoint) { return 0; }

int MControl::OnWindowMessage(unsigned, unsigned, long) { return 0; }

int MControl::OnMessage(unsigned, unsigned, unsigned, long) { return 0; }

void MControl::SetControlRect(CRect rect) { m_rect = rect; }
void MControl::SetControlVisible(int visible) { m_visible = visible ? 1 : 0; }
void MControl::SetControlWndVisible(int) {}
void MControl::SetControlEnabled(int enabled) { m_enabled = enabled ? 1 : 0; }

int MControl::OnControlTimer() { return 0; }
int MControl::OnControlTimerKey(unsigned) { return OnTimer(); }
int MControl::OnControlMouseMove(unsigned, CPoint) { return 0; }
int MControl::OnControlSetCursor(unsigned, CPoint) { return 0; }
int MControl::OnControlLButtonDown(unsigned, CPoint) { return 0; }
int MControl::OnControlLButtonUp(unsigned, CPoint) { return 0; }
int MControl::OnControlLButtonDblClk(unsigned, CPoint) { return 0; }
int MControl::OnControlScroll(int, unsigned, CPoint) { return 0; }
int MControl::OnControlRButtonDown(unsigned, CPoint) { return 0; }
int MControl::OnControlRButtonUp(unsigned, CPoint) { return 0; }
int MControl::OnControlRButtonDblClk(unsigned, CPoint) { return 0; }
int MControl::OnControlKeyDown(unsigned, unsigned, unsigned) { return 0; }
int MControl::OnControlKeyUp(unsigned, unsigned, unsigned) { return 0; }
void MControl::OnPositionChange() {}
void MControl::OnControlMouseLeave() {}

void MControl::InvalidateRect(const RECT* rect, int) {
  if (rect != nullptr) {
    UpdateControl(CRect(*rect), 1, 0);
  } else {
    UpdateControl(1, 0);
  }
}

int MControl::ResponsiveNow() const { return m_visible && m_enabled && m_response; }

// The one switch for mouse input: disabled, hidden and non-responsive controls drop it here.
int MControl::RouteMouse(Input kind, unsigned keys, CPoint pt) {
  if (!ResponsiveNow()) return 0;
  CPoint local = pt;
  OnMousePointChange(local);
  const auto childPoint = [&](const MControl* c) {
    const unsigned cid = c->GetControlID();
    return cid == 1 || cid == 2 ? pt : local;
  };
  const auto hitChild = [&]() {
    return m_childList.FindLastIf([&](MControl* c) {
      return c->IsVisible() && c->IsEnabled() && c->GetRresponse() && c->PtInRect(childPoint(c));
    });
  };

  switch (kind) {
    case Input::LDown:
    case Input::RDown:
    case Input::LDbl:
    case Input::RDbl: {
      if (MControl* child = hitChild()) {
        m_hoverChild = child;
        if (kind == Input::LDown || kind == Input::LDbl) {
          // The focus follows a left press down the tree: this control holds it (so that keys
          // reach the child through it) and a sibling that had it loses it.
          if (!m_focused) SetControlFocus(1);
          m_childList.ForEach([&](MControl* c) {
            if (c != child && c->IsFocused()) c->SetControlFocus(0);
          });
        }
        if (kind == Input::LDown) return child->OnLButtonDown(keys, childPoint(child));
        if (kind == Input::RDown) return child->OnRButtonDown(keys, childPoint(child));
        if (kind == Input::LDbl) return child->OnLButtonDblClk(keys, childPoint(child));
        return child->OnRButtonDblClk(keys, childPoint(child));
      }
      if (kind == Input::RDown) return OnControlRButtonDown(keys, pt);
      if (kind == Input::RDbl) return m_dblClk ? OnControlRButtonDblClk(keys, pt)
                                               : OnControlRButtonDown(keys, pt);
      if (kind == Input::LDbl && m_dblClk) {
        CPoint at = pt;
        SendMessageW(Notify::DoubleClick, keys,
                     static_cast<long>(reinterpret_cast<std::intptr_t>(&at)));
        return OnControlLButtonDblClk(keys, pt);
      }
      // A press (or a double click acting as a second press) focuses this control.
      if (!m_focused) SetControlFocus(1);
      m_pressed = 1;
      return OnControlLButtonDown(keys, pt);
    }
    case Input::LUp:
    case Input::RUp: {
      MControl* child = m_hoverChild;
      if (child != nullptr && m_childList.Contains(child) &&
          (child->IsPressed() || child->PtInRect(childPoint(child)))) {
        const int r = kind == Input::LUp ? child->OnLButtonUp(keys, childPoint(child))
                                         : child->OnRButtonUp(keys, childPoint(child));
        if (!child->PtInRect(childPoint(child))) m_hoverChild = nullptr;
        return r;
      }
      if (kind == Input::RUp) return OnControlRButtonUp(keys, pt);
      m_pressed = 0;
      return OnControlLButtonUp(keys, pt);
    }
    case Input::Move: {
      MControl* child = m_hoverChild;
      if (child != nullptr && m_childList.Contains(child)) {
        const CPoint cp = childPoint(child);
        if ((child->PtInRect(cp) && child->OnCheckMouseResponse(keys, cp)) || child->IsPressed()) {
          return child->OnMouseMove(keys, cp);
        }
      }
      if (m_manager != nullptr) {
        if (!m_tooltip.empty() && OnCheckMouseResponse(keys, pt)) m_manager->ShowTooltip(this);
        if (!m_cursor.empty() && PtInRect(pt)) m_manager->SetCursorName(m_cursor);
      }
      OnControlSetCursor(keys, pt);
      const int r = OnControlMouseMove(keys, pt);
      MControl* hover = nullptr;
      m_childList.Dispatch([&](MControl* c) {
        const CPoint cp = childPoint(c);
        c->OnMouseMove(keys, cp);
        if (c->IsVisible() && c->GetRresponse() && c->PtInRect(cp)) hover = c;
        return false;
      });
      if (m_hoverChild != nullptr && m_hoverChild != hover && m_childList.Contains(m_hoverChild)) {
        m_hoverChild->OnMouseLeave();
      }
      m_hoverChild = hover;
      return r;
    }
  }
  return 0;
}

int MControl::OnMouseMove(unsigned keys, CPoint pt) { return RouteMouse(Input::Move, keys, pt); }
int MControl::OnLButtonDown(unsigned keys, CPoint pt) { return RouteMouse(Input::LDown, keys, pt); }
int MControl::OnLButtonUp(unsigned keys, CPoint pt) {
  // A release always clears the pressed state, even when the control was disabled meanwhile.
  if (!ResponsiveNow()) {
    m_pressed = 0;
    return 0;
  }
  return RouteMouse(Input::LUp, keys, pt);
}
int MControl::OnLButtonDblClk(unsigned keys, CPoint pt) { return RouteMouse(Input::LDbl, keys, pt); }
int MControl::OnRButtonDown(unsigned keys, CPoint pt) { return RouteMouse(Input::RDown, keys, pt); }
int MControl::OnRButtonUp(unsigned keys, CPoint pt) { return RouteMouse(Input::RUp, keys, pt); }
int MControl::OnRButtonDblClk(unsigned keys, CPoint pt) { return RouteMouse(Input::RDbl, keys, pt); }

int MControl::OnScroll(int bar, unsigned direction, CPoint pt) {
  if (!ResponsiveNow()) return 0;
  CPoint local = pt;
  OnMousePointChange(local);
  MControl* child = m_childList.FindLastIf([&](MControl* c) {
    const CPoint cp = c->GetControlID() == 1 || c->GetControlID() == 2 ? pt : local;
    return c->IsVisible() && c->IsEnabled() && c->GetRresponse() && c->PtInRect(cp);
  });
  if (child != nullptr) {
    const CPoint cp = child->GetControlID() == 1 || child->GetControlID() == 2 ? pt : local;
    if (child->OnScroll(bar, direction, cp)) return 1;
  }
  return OnControlScroll(bar, direction, pt);
}

int MControl::OnKeyDown(unsigned key, unsigned repeat, unsigned modifiers) {
  if (!m_visible || !m_enabled) return 0;
  m_keyDown = 1;
  if (int r = OnControlKeyDown(key, repeat, modifiers)) return r;
  MControl* taker = m_childList.Dispatch([&](MControl* c) {
    return c->IsFocused() && c->OnKeyDown(key, repeat, modifiers) != 0;
  });
  return taker != nullptr ? 1 : 0;
}

int MControl::OnKeyUp(unsigned key, unsigned repeat, unsigned modifiers) {
  m_keyDown = 0;
  if (!m_visible || !m_enabled) return 0;
  if (int r = OnControlKeyUp(key, repeat, modifiers)) return r;
  MControl* taker = m_childList.Dispatch([&](MControl* c) {
    return c->IsFocused() && c->OnKeyUp(key, repeat, modifiers) != 0;
  });
  return taker != nullptr ? 1 : 0;
}

void MControl::OnMouseLeave() {
  if (m_hoverChild != nullptr && m_childList.Contains(m_hoverChild)) m_hoverChild->OnMouseLeave();
  m_hoverChild = nullptr;
  OnControlMouseLeave();
}

int MControl::OnTimer() {
  if (!m_visible) return 0;
  int redraw = 0;
  {
    std::lock_guard guard(m_dataLock);
    redraw = OnControlTimer();
  }
  m_childList.ForEach([&](MControl* c) {
    if (c->IsRunTimer() && c->IsVisible()) redraw |= c->OnTimer();
  });
  return redraw;
}

void MControl::Draw(Painter& painter, CRect paint) {
  if (!m_visible) return;
  m_drawList.ForEach([&](MControl* c) {
    if (c->IsVisible() && c->GetRect().Intersects(paint)) c->Draw(painter, paint);
  });
  {
    std::lock_guard guard(m_dataLock);
    DrawControl(painter, paint);
    m_imageValid = 1;
  }
  DrawSubControls(painter, paint);
}

void MControl::SetRect(CRect rect) {
  CRect old;
  {
    std::lock_guard guard(m_dataLock);
    if (rect == m_rect) return;
    old = m_rect;
    SetControlRect(rect);
  }
  OnPositionChange();
  if (m_visible) {
    CRect both;
    both.UnionRect(old, rect);
    UpdateControl(both, 1, 0);
  }
}

void MControl::SetRect(int left, int top, int right, int bottom) {
  SetRect(CRect(left, top, right, bottom));
}

CRect MControl::GetRect() const {
  std::lock_guard guard(m_dataLock);
  return m_rect;
}

void MControl::SetVisible(int visible) { SetVisible(visible, 1); }

void MControl::SetVisible(int visible, int repaint) {
  {
    std::lock_guard guard(m_dataLock);
    if ((visible ? 1 : 0) == m_visible) return;
    SetControlVisible(visible);
  }
  if (!visible) {
    if (m_pressed) m_pressed = 0;
    OnControlMouseLeave();
    if (m_manager != nullptr) m_manager->OnControlHidden(this);
  } else {
    WakeAnimation();  // it, or a running control inside it, may move again
  }
  if (repaint) UpdateControl(1, 1);
}

void MControl::SetEnabled(int enabled) {
  {
    std::lock_guard guard(m_dataLock);
    if ((enabled ? 1 : 0) == m_enabled) return;
    SetControlEnabled(enabled);
  }
  if (!enabled) OnControlMouseLeave();
  if (m_visible) UpdateControl(1, 0);
}

int MControl::IsParentVisible() const {
  if (!m_visible) return 0;
  const auto* parent = dynamic_cast<const MControl*>(m_parent);
  return parent == nullptr ? 1 : parent->IsParentVisible();
}

void MControl::SetTooltip(const char* text) {
  std::lock_guard guard(m_dataLock);
  m_tooltip = text != nullptr ? text : "";
}

void MControl::SetTooltip(const CString& text, CRect) { SetTooltip(text.c_str()); }

void MControl::ClearTooltip() {
  {
    std::lock_guard guard(m_dataLock);
    m_tooltip.clear();
  }
  if (m_manager != nullptr) m_manager->HideTooltip(this);
}

CString MControl::GetTooltip() const {
  std::lock_guard guard(m_dataLock);
  return m_tooltip;
}

void MControl::SetCursorEx(const char* cursorName) {
  std::lock_guard guard(m_dataLock);
  m_cursor = cursorName != nullptr ? cursorName : "";
}

void MControl::UpdateControl(int flag, int force) { UpdateControl(GetRect(), flag, force); }

void MControl::UpdateControl(CRect rect, int flag, int force) {
  if (!m_visible && !force) return;
  if (ImageStale(flag)) m_imageValid = 0;
  if (m_parent != nullptr) m_parent->OnControlUpdate(rect, flag, this);
}

void MControl::UpdateAControl(int flag, int force) {
  m_animate = 1;
  UpdateControl(flag, force);
}

void MControl::AddMTimer() {
  if (m_manager != nullptr) m_manager->AddMTimer(this);
}

void MControl::SetRunTimer(int run) {
  m_timerRunning = run ? 1 : 0;
  if (run) WakeAnimation();
}

void MControl::WakeAnimation() {
  if (m_manager != nullptr) m_manager->WakeAnimation();
}

Surface& MControl::UpdateMemDC(int width, int height) {
  m_imageValid = 1;
  if (m_memImage.IsNull() || m_memImage.Width() != width || m_memImage.Height() != height) {
    m_memImage = width > 0 && height > 0 ? Surface(width, height) : Surface();
  }
  return m_memImage;
}

Surface& MControl::UpdateAnimateDC(int width, int height) {
  if (m_animImage.IsNull() || m_animImage.Width() != width || m_animImage.Height() != height) {
    m_animImage = width > 0 && height > 0 ? Surface(width, height) : Surface();
  }
  return m_animImage;
}

MControl* MControl::GetControl(unsigned id) {
  MControl* found = nullptr;
  m_childList.FindIf([&](MControl* c) {
    if (c->GetControlID() == id) {
      found = c;
    } else {
      found = c->GetControl(id);
    }
    return found != nullptr;
  });
  return found;
}

bool MControl::RemoveControl(MControl* control) {
  if (control == m_hoverChild) m_hoverChild = nullptr;
  return m_childList.Remove(control) || m_drawList.Remove(control);
}

void MControl::RemoveAllControl() {
  m_hoverChild = nullptr;
  m_childList.Clear();
  m_drawList.Clear();
}

int MControl::SendMessageW(unsigned code, unsigned wParam, long lParam) {
  return m_parent != nullptr ? m_parent->OnBaseMessage(m_id, code, wParam, lParam) : 0;
}

int MControl::PressMove(PressBehaviour& press, CPoint pt) {
  if (press.Move(m_enabled && PtInRect(pt))) UpdateControl(1, 0);
  return 1;
}

int MControl::PressDown(PressBehaviour& press, CPoint pt) {
  const bool inside = m_enabled && PtInRect(pt);
  if (press.Down(inside)) UpdateControl(1, 0);
  if (inside) SendMessageW(Notify::Press, 0, 0);
  return inside ? 1 : 0;
}

int MControl::PressUp(PressBehaviour& press, CPoint pt) {
  bool clicked = false;
  if (press.Up(m_enabled && PtInRect(pt), &clicked)) UpdateControl(1, 0);
  if (clicked) SendMessageW(Notify::Click, 0, 0);
  return clicked ? 1 : 0;
}

void MControl::PressLeave(PressBehaviour& press) {
  if (press.Leave()) UpdateControl(1, 0);
}

Image MControl::GetControlDropBitmap() { return Image(); }

CRect MControl::OpaqueArea() { return CRect(); }

MControl::RetainedResult MControl::PaintRetained(Surface&, std::uint64_t, CRect&) {
  return kRetainedCannot;
}

}  // namespace Tavex
