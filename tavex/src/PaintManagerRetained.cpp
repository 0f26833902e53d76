// PaintManager: retained paints. A control that animates a few pixels at a time (the keyboard
// preview) may write its change straight into the window's kept frame instead of having the
// rectangle around it composed again: only when the frame still holds the previous paint,
// nothing else was invalidated, and nothing is drawn over the control. Anything else falls
// back to composing the rectangle, which is always right.
#include "tavex/MPanel.h"
#include "tavex/MScroll.h"
#include "tavex/Native.h"
#include "tavex/PaintManager.h"

namespace Tavex {

namespace {

// Whether no visible control listed after `child` in `list` (nor a scroll bar anywhere in it,
// which its panel draws last) reaches `area`; false when `child` is not listed.
bool LaterAreClear(const ControlList& list, const MControl* child, const CRect& area) {
  bool found = false;
  const MControl* over = list.FindIf([&](MControl* c) {
    if (c == child) {
      found = true;
      return false;
    }
    const bool after = found || dynamic_cast<MScroll*>(c) != nullptr;
    return after && c->IsVisible() && c->GetRect().Intersects(area);
  });
  return found && over == nullptr;
}

}  // namespace

void PaintManager::OfferRetained(MControl* control) {
  MControl* before = m_retainedControl.exchange(control);
  if (before != nullptr && before != control) m_retainedConflict = true;
}

void PaintManager::KeepFrame(const std::uint8_t* pixels, int width, int height) {
  if (pixels == m_keptPixels && width == m_keptWidth && height == m_keptHeight) return;
  ++m_frameGeneration;
  m_keptPixels = pixels;
  m_keptWidth = width;
  m_keptHeight = height;
}

bool PaintManager::NothingDrawnOver(MControl* control, CRect area) {
  if (m_caret.IsVisible() && m_caret.GetRect().Intersects(area)) return false;
  if (m_overlay.IsShown() || !control->IsVisible()) return false;
  // Its children are drawn after it.
  if (control->GetChildControls().FindIf([](MControl* c) { return c->IsVisible(); }) != nullptr) {
    return false;
  }
  MControl* child = control;
  while (auto* parent = dynamic_cast<MControl*>(child->GetParantObject())) {
    // Only a panel draws its children as they are (see OpaqueArea); unscrolled, their space is
    // the window's.
    auto* panel = dynamic_cast<MPanel*>(parent);
    if (panel == nullptr || !panel->IsVisible() || panel->GetScrollOffset() != CPoint(0, 0) ||
        !LaterAreClear(panel->GetChildControls(), child, area)) {
      return false;
    }
    child = panel;
  }
  if (m_areas.Contains(child)) {
    return LaterAreClear(m_areas, child, area) &&
           m_controls.FindIf([&](MControl* c) { return c->IsVisible() && c->GetRect().Intersects(area); }) ==
               nullptr;
  }
  return LaterAreClear(m_controls, child, area);
}

bool PaintManager::PaintRetained(const Native::FrameBuffer& shared, CRect& update) {
  MControl* control = m_retainedControl.exchange(nullptr);
  const bool conflict = m_retainedConflict.exchange(false);
  if (control == nullptr || conflict || m_layered) return false;
  const CRect whole = control->GetRect();
  if (!NothingDrawnOver(control, whole)) return false;
  Surface frame = Surface::Borrow(shared.pixels, shared.width, shared.height, shared.stride);
  CRect written;
  switch (control->PaintRetained(frame, m_frameGeneration, written)) {
    case MControl::kRetainedPainted:
      break;
    case MControl::kRetainedNeedsWhole:
      update.UnionRect(update, whole);
      return false;
    default:
      return false;
  }
  frame = Surface();
  if (written.IntersectRect(written, CRect(0, 0, shared.width, shared.height))) {
    // Not waited for: a round trip a frame costs more than the frame. The next paint writes
    // only pixels it shows again, so a put read late still ends on the newest pixels.
    Native::PresentFrameBuffer(m_hWnd, written, false);
  }
  ++m_retainedPaintCount;
  return true;
}

}  // namespace Tavex
