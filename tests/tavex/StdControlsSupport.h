#pragma once
// Helpers for the standard control tests: a parent that records notifications and repaints,
// and counting helpers over what it saw.
#include <algorithm>

#include "TavexTestSupport.h"

namespace TavexTest {

inline int CountCode(const RecordingParent& p, unsigned code) {
  return static_cast<int>(std::count_if(p.notes.begin(), p.notes.end(),
                                        [&](const Notification& n) { return n.code == code; }));
}

inline const Notification* LastCode(const RecordingParent& p, unsigned code) {
  for (auto it = p.notes.rbegin(); it != p.notes.rend(); ++it) {
    if (it->code == code) return &*it;
  }
  return nullptr;
}

// A press and release at `pt` (window coordinates) through the control's input entry points.
inline void Click(Tavex::MControl& c, CPoint pt) {
  c.OnMouseMove(0, pt);
  c.OnLButtonDown(MK_LBUTTON, pt);
  c.OnLButtonUp(0, pt);
}

}  // namespace TavexTest
