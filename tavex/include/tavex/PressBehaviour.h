#pragma once
// The hover and press state every clickable control shares. A click is a press inside
// followed by a release inside; a release outside only restores the normal look.
// Pure state: the owning control turns the results into notifications and repaints.
#include "tavex/Version.h"

namespace Tavex {

class TAVEX_API PressBehaviour {
 public:
  enum Look { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };

  // Each returns true when the look changed.
  bool Move(bool inside);
  bool Down(bool inside);
  // Sets *clicked when the release completes a click.
  bool Up(bool inside, bool* clicked);
  // Pointer left the control (or the control was hidden): back to normal.
  bool Leave();

  bool IsHover() const { return m_hover; }
  bool IsPressed() const { return m_pressed; }
  // The state image to draw: disabled wins, then pressed (held and inside), then hover.
  Look GetLook(bool enabled) const;

 private:
  bool m_hover = false;
  bool m_pressed = false;
};

}  // namespace Tavex
