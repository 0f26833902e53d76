#pragma once
// Caret: the text cursor of the window's rich edit control. The window keeps one; the edit
// that owns it places it (client coordinates) and the window draws it after the controls while
// it is visible and in the "on" phase of its blink. The phase follows the animation clock
// from the moment the caret was shown (on for one system blink time, then off, ...); the blink
// timer of the window (PaintManager, timer 6553 at the blink time) only repaints it.
//
// Threads: UI thread.
#include <cstdint>

#include "tavex/Geometry.h"
#include "tavex/Painter.h"

namespace Tavex {

class MControl;

// Whether a caret that started blinking at `sinceMs` (animation clock) is in its "on" phase
// now: on for the system blink time, then off for as long, and so on. Any thread.
TAVEX_API bool BlinkPhaseOn(std::int64_t sinceMs);

class TAVEX_API Caret {
 public:
  // A caret of width × height; with a picture it is drawn instead of the solid bar.
  void Create(const Image& bitmap, int width, int height);
  void SetPos(MControl* owner, int x, int y);
  // Returns whether visibility changed. Showing starts in the "on" phase.
  bool Show(bool visible);
  // Forgets the owner (control removed) and hides.
  void Release(MControl* owner);

  bool IsVisible() const { return m_visible; }
  bool IsPhaseOn() const;
  MControl* GetOwner() const { return m_owner; }
  CRect GetRect() const { return m_rect; }
  // Draws when visible, in the "on" phase and inside `paint`.
  void Draw(Painter& painter, const CRect& paint) const;
  void SetColor(ARGB colour) { m_colour = colour; }

 private:
  CRect m_rect{0, 0, 1, 16};
  Image m_bitmap;
  MControl* m_owner = nullptr;
  bool m_visible = false;
  std::int64_t m_shownMs = 0;  // animation clock when it was shown
  ARGB m_colour = 0xFFFFFFFF;
};

}  // namespace Tavex
